#include "TarnApp.h"

#include <commdlg.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "ClModule.h"
#include "ControlInfo.h"
#include "DrawOptions.h"
#include "MeasurementUnits.h"
#include "OptionsManager.h"
#include "Profiler.h"
#include "TarnDocManager.h"
#include "TarnThumbnail.h"
#include "TarnView.h"

namespace {
const UINT kIdsControlsUnavailable = 12156;
const UINT kIdsCaption = 12209;
const UINT kIdsOptionsNotLoaded = 12212;
// Shown when the resource library itself is missing, so it cannot come from there.
const char kNoResourcesText[] = "The resource library TarnRes.dll could not be loaded. Please reinstall the application.";
const char kNoResourcesCaption[] = "Tarn";

std::string ExeFolder() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::string();
    std::string folder(path, n);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

typedef HRESULT(STDAPICALLTYPE* RegisterEntry)();

int BoxSink(void*, const char* text, const char* caption, UINT type) {
    return MessageBoxA(AfxGetMainWindowHandle(), text, caption, type);
}
}  // namespace

CTarnApp::CTarnApp()
    : m_pOptionsManager(nullptr), m_pProfiler(nullptr), m_pRendering(nullptr), m_hDevMode(nullptr), m_hDevNames(nullptr),
      m_messageSink(BoxSink), m_messageContext(nullptr), m_bOptionsLoaded(FALSE) {}

CTarnApp::~CTarnApp() {
    delete m_pOptionsManager;
    delete m_pProfiler;
    if (m_hDevMode) GlobalFree(m_hDevMode);
    if (m_hDevNames) GlobalFree(m_hDevNames);
}

void CTarnApp::SetMessageSink(MessageSink sink, void* context) {
    m_messageSink = sink ? sink : BoxSink;
    m_messageContext = sink ? context : nullptr;
}

int CTarnApp::ShowMessage(const char* text, UINT captionId, UINT type) {
    CString caption;
    if (!caption.LoadString(captionId)) caption = kNoResourcesCaption;
    return m_messageSink(m_messageContext, text, caption, type);
}

int CTarnApp::ShowMessage(UINT textId, UINT captionId, UINT type) {
    CString text;
    if (!text.LoadString(textId)) text.Format("Message %u", textId);
    return ShowMessage(static_cast<const char*>(text), captionId, type);
}

// Cards carry the size of each site with its preview.
CTarnThumbnail* CTarnApp::CreateThumbnail() { return new CSiteSizeThumbnail; }

CDrawOptions* CTarnApp::CreateDrawOptions() { return new CDrawOptions(); }

CString CTarnApp::GetAppRegistryRootName() { return CString(); }
CString CTarnApp::GetAppEngineRootName() { return CString(); }
CString CTarnApp::GetAppFamilyRootName() { return CString(); }

COptionsManager* CTarnApp::CreateOptionsManager() {
    return new COptionsManager(m_pRecentFileList, GetAppFamilyRootName(), GetAppEngineRootName(),
                               GetAppRegistryRootName());
}

CProfiler* CTarnApp::CreateProfiler() { return new CProfiler; }

void CTarnApp::ClearOptions() {}

void CTarnApp::LoadProfile() {
    m_pProfiler->m_strFamilyRootName = GetAppFamilyRootName();
    m_pProfiler->LoadDataFromRegistry(GetAppRegistryRootName());
}

void CTarnApp::SetTarnRegistryKey(LPCSTR familyName, LPCSTR applicationName) {
    if (familyName && *familyName) SetRegistryKey(familyName);
    if (applicationName && *applicationName) {
        free(const_cast<char*>(m_pszProfileName));
        m_pszProfileName = _strdup(applicationName);
    }
}

void CTarnApp::SetDefaultMeasurementUnits() {
    if (m_pOptionsManager && !m_pOptionsManager->m_strMeasurementUnits.IsEmpty())
        SetDefaultMeasurementUnitByName(m_pOptionsManager->m_strMeasurementUnits);
}

void CTarnApp::InitControlsCLSID() {
    const tagControlInfo known[] = {
        {20999, &CLSID_LineControl, 101, 201, 0},         {20998, &CLSID_PolybezierControl, 102, 202, 0},
        {20991, &CLSID_PolybezierControl, 109, 202, 0},   {20997, &CLSID_ImageControl, 103, 203, 0},
        {20996, &CLSID_TextControl, 104, 204, 0},         {20992, &CLSID_TextAlongCurveControl, 105, 205, 0},
        {20995, &CLSID_FigureControl, 106, 206, 0},       {20994, &CLSID_FigureControl, 107, 206, 0},
        {20993, &CLSID_FigureControl, 108, 206, 0},       {10125, &CLSID_ImageControl, 201, 203, 0},
    };
    for (const tagControlInfo& info : known) g_arrControlInfo.Add(info);
}

BOOL CTarnApp::InitInstance() {
    // Without its resource library the library can tell the user nothing; stop before anything
    // relies on its texts.
    if (!GetTarnResourceHandle()) {
        m_messageSink(m_messageContext, kNoResourcesText, kNoResourcesCaption, MB_OK | MB_ICONERROR);
        return FALSE;
    }

    const std::string folder = ExeFolder();
    for (const char* server : {"TarnControls.dll", "Mosk.dll"}) {
        // The servers stay loaded for the life of the process; their results do not decide start-up.
        HMODULE library = LoadLibraryA((folder + server).c_str());
        if (!library) continue;
        if (auto entry = reinterpret_cast<RegisterEntry>(GetProcAddress(library, "DllRegisterServer"))) entry();
    }

    AfxEnableControlContainer();
    Enable3dControls();
    m_nCmdShow = SW_SHOWMAXIMIZED;
    SetTarnRegistryKey(GetAppFamilyRootName(), GetAppRegistryRootName());
    InitControlsCLSID();
    LoadMeasurementUnits(1033);

    delete m_pRecentFileList;
    m_pRecentFileList = new CRecentFileList(0, "", "File%d", 5, 30);

    delete m_pOptionsManager;
    m_bOptionsLoaded = FALSE;
    m_pOptionsManager = CreateOptionsManager();
    if (m_pOptionsManager) m_pOptionsManager->Initialize();
    if (!m_pOptionsManager || !LoadOptions()) {
        ShowMessage(kIdsOptionsNotLoaded, kIdsCaption, MB_OK | MB_ICONERROR);
        return FALSE;
    }
    m_bOptionsLoaded = TRUE;
    delete m_pProfiler;
    m_pProfiler = CreateProfiler();
    if (m_pProfiler) LoadProfile();
    SetDefaultMeasurementUnits();

    // The views' shared cursors come before the rendering object.
    CTarnView::InitializeStatic();
    if (!RegisterControlsServer() || !CreateRenderingObject()) {
        ShowMessage(kIdsControlsUnavailable, kIdsCaption, MB_OK | MB_ICONERROR);
        return FALSE;
    }

    BSTR text = nullptr;
    const HRESULT suitable = m_pRendering->CheckHardwareCompatibility(&text);
    if (suitable != S_OK) {
        const int length = text ? WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr) : 0;
        std::string message(length > 0 ? length : 1, '\0');
        if (length > 0) WideCharToMultiByte(CP_ACP, 0, text, -1, &message[0], length, nullptr, nullptr);
        SysFreeString(text);
        ShowMessage(message.c_str(), kIdsCaption, MB_OK | MB_ICONERROR);
        return FALSE;
    }
    SysFreeString(text);
    m_pRendering->SetTarnApp(reinterpret_cast<IUnknown*>(&m_xTarnApp));
    // Cards open through the application's own document manager.
    if (!m_pDocManager) m_pDocManager = new CTarnDocManager;
    return TRUE;
}

// The probe: when the rendering object cannot be made, the controls server is loaded and registered
// once; the probe is not repeated.
BOOL CTarnApp::RegisterControlsServer() {
    ITarnRendering* probe = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_TarnRendering, nullptr, CLSCTX_INPROC_SERVER, IID_ITarnRendering,
                                   reinterpret_cast<void**>(&probe))) &&
        probe) {
        probe->Release();
        return TRUE;
    }
    HMODULE library = LoadLibraryA("TarnControls.dll");
    if (!library) library = LoadLibraryA((ExeFolder() + "TarnControls.dll").c_str());
    if (!library) return FALSE;
    auto entry = reinterpret_cast<RegisterEntry>(GetProcAddress(library, "DllRegisterServer"));
    return entry && SUCCEEDED(entry());
}

BOOL CTarnApp::CreateRenderingObject() {
    if (m_pRendering) m_pRendering->Release();
    m_pRendering = nullptr;
    // Creation can still fail after the probe: start-up then ends instead of using a null object.
    if (FAILED(CoCreateInstance(CLSID_TarnRendering, nullptr, CLSCTX_INPROC_SERVER, IID_ITarnRendering,
                                reinterpret_cast<void**>(&m_pRendering)))) {
        m_pRendering = nullptr;
    }
    return m_pRendering != nullptr;
}

BOOL CTarnApp::LoadOptions() {
    const BOOL ready = m_pOptionsManager->BeforeLoading();
    const CString root = GetAppRegistryRootName();
    m_pOptionsManager->LoadOptions(1, nullptr);
    m_pOptionsManager->LoadOptions(0, nullptr);
    m_pOptionsManager->LoadOptions(1, root);
    m_pOptionsManager->LoadOptions(0, root);
    m_pOptionsManager->LoadStyleLibrary();
    m_pOptionsManager->LoadColorPalettes();
    return ready && m_pOptionsManager->AfterLoading();
}

void CTarnApp::StoreOptions() {
    const CString root = GetAppRegistryRootName();
    m_pOptionsManager->BeforeStoring();
    m_pOptionsManager->StoreOptions(1, nullptr);
    m_pOptionsManager->StoreOptions(0, nullptr);
    m_pOptionsManager->StoreOptions(1, root);
    m_pOptionsManager->StoreOptions(0, root);
    m_pOptionsManager->StoreStyleLibrary();
    m_pOptionsManager->StoreColorPalettes();
    m_pOptionsManager->AfterStoring();
}

int CTarnApp::ExitInstance() {
    CTarnView::UninitializeStatic();
    if (m_pRendering) {
        // The controls keep the interface without a reference: take it back before the object goes.
        m_pRendering->SetTarnApp(nullptr);
        m_pRendering->Release();
        m_pRendering = nullptr;
    }
    // Options that failed to load hold defaults: storing them would overwrite the user's settings.
    if (m_pOptionsManager && m_bOptionsLoaded) {
        StoreOptions();
        ClearOptions();
    }
    return CWinApp::ExitInstance();
}

BOOL CTarnApp::GetPrinterInfo(PrinterInfo* info, HDC hdc) {
    if (!info) return FALSE;
    info->left = info->top = info->right = info->bottom = 0.0;
    HDC owned = nullptr;
    if (!hdc) {
        if (!m_hDevNames) {
            PRINTDLGA request = {};
            request.lStructSize = sizeof(request);
            request.Flags = PD_RETURNDEFAULT;
            if (!PrintDlgA(&request) || !request.hDevNames) return FALSE;
            m_hDevMode = request.hDevMode;
            m_hDevNames = request.hDevNames;
        }
        const DEVNAMES* names = static_cast<const DEVNAMES*>(GlobalLock(m_hDevNames));
        if (!names) return FALSE;
        const char* base = reinterpret_cast<const char*>(names);
        DEVMODEA* mode = m_hDevMode ? static_cast<DEVMODEA*>(GlobalLock(m_hDevMode)) : nullptr;
        info->deviceName = base + names->wDeviceOffset;
        owned = CreateICA(base + names->wDriverOffset, base + names->wDeviceOffset, base + names->wOutputOffset, mode);
        if (mode) GlobalUnlock(m_hDevMode);
        GlobalUnlock(m_hDevNames);
        info->hDevMode = m_hDevMode;
        info->hDevNames = m_hDevNames;
        if (!owned) return FALSE;
        hdc = owned;
    }
    const double dpiX = GetDeviceCaps(hdc, LOGPIXELSX), dpiY = GetDeviceCaps(hdc, LOGPIXELSY);
    if (dpiX > 0 && dpiY > 0) {
        const int offsetX = GetDeviceCaps(hdc, PHYSICALOFFSETX), offsetY = GetDeviceCaps(hdc, PHYSICALOFFSETY);
        info->left = offsetX / dpiX;
        info->top = offsetY / dpiY;
        info->right = (GetDeviceCaps(hdc, PHYSICALWIDTH) - GetDeviceCaps(hdc, HORZRES) - offsetX) / dpiX;
        info->bottom = (GetDeviceCaps(hdc, PHYSICALHEIGHT) - GetDeviceCaps(hdc, VERTRES) - offsetY) / dpiY;
    }
    if (owned) DeleteDC(owned);
    return TRUE;
}

BEGIN_INTERFACE_MAP(CTarnApp, CWinApp)
    INTERFACE_PART(CTarnApp, IID_ITarnApp, TarnApp)
END_INTERFACE_MAP()

CTarnApp* GetTarnApp() { return dynamic_cast<CTarnApp*>(AfxGetApp()); }

CProfiler* GetProfiler() {
    CTarnApp* app = GetTarnApp();
    return app ? app->GetProfiler() : nullptr;
}

ITarnRendering* GetRendering() {
    CTarnApp* app = GetTarnApp();
    return app ? app->GetRendering() : nullptr;
}

CString GetAppRegistryRootName() {
    CTarnApp* app = GetTarnApp();
    return app ? app->GetAppRegistryRootName() : CString();
}

const char* GetExeFileName() {
    static char path[MAX_PATH + 1];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    path[n < MAX_PATH ? n : MAX_PATH] = '\0';
    return path;
}
