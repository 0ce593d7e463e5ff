// Start-up and shut-down of an application built on the library, in this process: the servers are
// registered from the program's folder, the options are loaded, the rendering object is made and
// checked, the controls' values are answered through ITarnApp and stored at exit. Every failure
// ends start-up with its message, which the tests collect instead of showing.
#include <gtest/gtest.h>
#include <windows.h>
#include <commdlg.h>
#include <winspool.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "TarnDocManager.h"
#include "ClDocView.h"
#include "ClDocument.h"
#include "ClString.h"
#include "ControlInfo.h"
#include "MeasurementUnits.h"
#include "OptionsManager.h"
#include "Profiler.h"
#include "TarnApp.h"
#include "TarnDoc.h"
#include "TarnThumbnail.h"

namespace {
const char kFamily[] = "TarnTestsApp";
const char kAppKey[] = "SOFTWARE\\TarnTestsApp\\TestApp\\TarnControls";

struct Message {
    std::string text, caption;
    UINT type;
};

int Collect(void* context, const char* text, const char* caption, UINT type) {
    static_cast<std::vector<Message>*>(context)->push_back(Message{text, caption, type});
    return IDOK;
}

class CTestApp : public CTarnApp {
public:
    explicit CTestApp(bool failOptions = false) : failOptions_(failOptions) { SetMessageSink(Collect, &messages); }
    CString GetAppRegistryRootName() override { return "TestApp"; }
    // The printer the application prints on, as its print dialog leaves it.
    void UsePrinterNames(HGLOBAL names) { m_hDevNames = names; }
    CString GetAppEngineRootName() override { return "TestEngine"; }
    CString GetAppFamilyRootName() override { return kFamily; }
    COptionsManager* CreateOptionsManager() override {
        if (!failOptions_) return CTarnApp::CreateOptionsManager();
        return new RefusingOptions(m_pRecentFileList);
    }
    // The application answers its interface without a reference of its own: callers do not release it.
    ITarnApp* AppInterface() { return static_cast<ITarnApp*>(GetInterface(&IID_ITarnApp)); }

    std::vector<Message> messages;

private:
    struct RefusingOptions : COptionsManager {
        explicit RefusingOptions(CRecentFileList* recent)
            : COptionsManager(recent, kFamily, "TestEngine", "TestApp") {}
        BOOL AfterLoading() override { return FALSE; }
    };
    bool failOptions_;
};

// A stand-in for the rendering object, registered in this process in place of the server's class.
class FakeRendering : public ITarnRendering {
public:
    HRESULT checkResult = S_OK;
    const wchar_t* checkText = L"ok";
    ULONG refs = 1;

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ITarnRendering)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }
    STDMETHOD(DrawAntialiasedPolyBezier)(long*, RECT*, SegmentDesc*, long, long*) override { return E_NOTIMPL; }
    STDMETHOD(PtInPolyBezier)(tagPointF, SegmentDesc*, long, long) override { return E_NOTIMPL; }
    STDMETHOD(LoadDIB)(long*, long*) override { return E_NOTIMPL; }
    STDMETHOD(CheckAlpha)(long*) override { return E_NOTIMPL; }
    STDMETHOD(TransformBitmap)(long*, long*, RECT*, long*, long, long) override { return E_NOTIMPL; }
    STDMETHOD(AlphaBlendBitmapRects)(long*, long, long, long, long, long*, long, long) override { return E_NOTIMPL; }
    STDMETHOD(CheckHardwareCompatibility)(BSTR* text) override {
        *text = SysAllocString(checkText);
        return checkResult;
    }
    STDMETHOD(ParseEnhMetafile)(LONG_PTR, tagPointF, tagPointF, IControlArray**) override { return E_NOTIMPL; }
    STDMETHOD(SetTarnApp)(IUnknown* app) override {
        handedApp = app;
        return S_OK;
    }
    STDMETHOD(BooleanOperation)(LONG_PTR*, long*, long, LONG_PTR*, long*, long, LONG_PTR*, LONG_PTR*, LONG_PTR*,
                                long*, long, long) override {
        return E_NOTIMPL;
    }
    STDMETHOD(PolyDrawW95)(HDC, long*, long*, long) override { return E_NOTIMPL; }
    STDMETHOD(GetMinMaxOutlineWidth)(double*, double*) override { return E_NOTIMPL; }

    IUnknown* handedApp = nullptr;
};

class FakeFactory : public IClassFactory {
public:
    FakeRendering object;
    int creationsAllowed = 1000;
    int creations = 0;

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *ppv = this;
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(CreateInstance)(IUnknown*, REFIID iid, void** ppv) override {
        *ppv = nullptr;
        if (creations++ >= creationsAllowed) return E_OUTOFMEMORY;
        return object.QueryInterface(iid, ppv);
    }
    STDMETHOD(LockServer)(BOOL) override { return S_OK; }
};

// Replaces the rendering class in this process for the life of the object.
class ScopedFakeClass {
public:
    explicit ScopedFakeClass(FakeFactory& factory) {
        EXPECT_EQ(S_OK, CoRegisterClassObject(CLSID_TarnRendering, &factory, CLSCTX_INPROC_SERVER,
                                              REGCLS_MULTIPLEUSE, &cookie_));
    }
    ~ScopedFakeClass() { CoRevokeClassObject(cookie_); }

private:
    DWORD cookie_ = 0;
};

std::string ReadText(HKEY root, const char* path, const char* name) {
    char buffer[MAX_PATH * 2] = {};
    DWORD size = sizeof(buffer);
    if (RegGetValueA(root, path, name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) return "<missing>";
    return buffer;
}

DWORD ReadDword(HKEY root, const char* path, const char* name) {
    DWORD value = 0xDEADBEEF, size = sizeof(value);
    RegGetValueA(root, path, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

std::string ExeFolder() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return s;
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\TarnTestsApp");
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\TarnTestsApp");
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\TarnTestsApp");
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\TarnTestsApp");
        CoUninitialize();
    }
};

TEST_F(StartupTest, StartsWithTheServersOfItsFolderAndStoresOptionsAtExit) {
    HKEY section = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kAppKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                             &section, nullptr));
    RegSetValueExA(section, "Probe", 0, REG_SZ, reinterpret_cast<const BYTE*>("hello"), 6);
    RegCloseKey(section);

    CTestApp app;
    ASSERT_TRUE(app.InitInstance());
    EXPECT_TRUE(app.messages.empty()) << app.messages.front().text;
    ASSERT_NE(nullptr, app.GetRendering());
    EXPECT_EQ(app.GetRendering(), GetRendering());
    EXPECT_EQ(&app, GetTarnApp());
    ASSERT_NE(nullptr, app.GetProfiler());
    EXPECT_EQ(app.GetProfiler(), GetProfiler());
    EXPECT_TRUE(app.GetProfiler()->IsLoaded());
    EXPECT_STREQ(kFamily, app.GetProfiler()->m_strFamilyRootName);
    EXPECT_STREQ("TestApp", GetAppRegistryRootName());
    const std::string exe = Lower(GetExeFileName());
    EXPECT_EQ(exe.size() - strlen("tarnapptests.exe"), exe.rfind("tarnapptests.exe"));
    EXPECT_EQ(SW_SHOWMAXIMIZED, app.m_nCmdShow);
    EXPECT_STREQ("TestApp", app.m_pszProfileName);
    EXPECT_STREQ(kFamily, app.m_pszRegistryKey);
    ASSERT_NE(nullptr, app.m_pRecentFileList);
    EXPECT_EQ(5, app.m_pRecentFileList->GetSize());

    // Both servers were registered from this program's folder.
    const std::string folder = Lower(ExeFolder());
    EXPECT_EQ(folder + "tarncontrols.dll",
              Lower(ReadText(HKEY_CLASSES_ROOT, "CLSID\\{7627C150-A27F-11D3-A6D1-00A0C943F4D3}\\InprocServer32", "")));
    EXPECT_EQ(folder + "mosk.dll",
              Lower(ReadText(HKEY_CLASSES_ROOT, "CLSID\\{8A22656D-3F49-4561-B6E6-F1E6967E1527}\\InprocServer32", "")));

    ITarnApp* tarnApp = app.AppInterface();
    ASSERT_NE(nullptr, tarnApp);
    BSTR text = nullptr;
    ASSERT_EQ(S_OK, tarnApp->GetValueText("Probe", &text));
    EXPECT_STREQ(L"hello", text);
    SysFreeString(text);
    int number = 0;
    EXPECT_EQ(S_OK, tarnApp->GetValueInt("ParseMetafiles", &number));
    EXPECT_EQ(1, number);
    EXPECT_EQ(E_FAIL, tarnApp->GetValueInt("Probe", &number));
    BYTE* block = reinterpret_cast<BYTE*>(1);
    LONG length = 5;
    EXPECT_EQ(E_FAIL, tarnApp->GetValueBlock("Nothing", &block, &length));
    EXPECT_EQ(nullptr, block);
    EXPECT_EQ(0, length);

    // A value longer than any fixed buffer comes back whole, in memory sized for it.
    std::vector<BYTE> big(40000);
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<BYTE>(i * 7);
    ASSERT_EQ(S_OK, tarnApp->SetValueBlock("Big", big.data(), static_cast<LONG>(big.size()), 0, 1));
    ASSERT_EQ(S_OK, tarnApp->GetValueBlock("Big", &block, &length));
    ASSERT_EQ(static_cast<LONG>(big.size()), length);
    EXPECT_EQ(0, memcmp(block, big.data(), big.size()));
    CoTaskMemFree(block);
    const BYTE empty = 0;
    ASSERT_EQ(S_OK, tarnApp->SetValueBlock("Empty", const_cast<BYTE*>(&empty), 0, 0, 1));
    ASSERT_EQ(S_OK, tarnApp->GetValueBlock("Empty", &block, &length));
    EXPECT_EQ(0, length);
    CoTaskMemFree(block);
    const std::string longText(3000, 'q');
    ASSERT_EQ(S_OK, tarnApp->SetValueText("LongText", longText.c_str(), 0, 1));
    ASSERT_EQ(S_OK, tarnApp->GetValueText("LongText", &text));
    EXPECT_EQ(3000u, SysStringLen(text));
    EXPECT_EQ(std::wstring(3000, L'q'), std::wstring(text, SysStringLen(text)));
    SysFreeString(text);
    EXPECT_EQ(E_FAIL, tarnApp->GetValueText("Big", &text));  // a block is not a text
    EXPECT_EQ(nullptr, text);
    ASSERT_EQ(S_OK, tarnApp->SetValueInt("Written", 42, 0, 1));
    ASSERT_EQ(S_OK, tarnApp->SetValueText("MachineText", "m", 1, 0));

    double inches = -1;
    EXPECT_EQ(S_OK, tarnApp->ParseUnitsText(const_cast<char*>("not a length"), 1, &inches));
    EXPECT_EQ(0.0, inches);
    EXPECT_EQ(S_OK, tarnApp->ParseUnitsText(const_cast<char*>("2"), 1, &inches));
    EXPECT_DOUBLE_EQ(2.0, inches);
    MeasurementUnit* unit = nullptr;
    EXPECT_EQ(S_OK, tarnApp->GetDefaultMeasurementUnit(&unit));
    ASSERT_NE(nullptr, unit);
    MeasurementUnit* next = nullptr;
    EXPECT_EQ(S_OK, tarnApp->GetNextMeasurementUnit(unit, &next));
    EXPECT_NE(unit, next);

    app.ExitInstance();
    EXPECT_EQ(nullptr, app.GetRendering());
    EXPECT_EQ("hello", ReadText(HKEY_CURRENT_USER, kAppKey, "Probe"));
    EXPECT_EQ(42u, ReadDword(HKEY_CURRENT_USER, kAppKey, "Written"));
    EXPECT_EQ(1u, ReadDword(HKEY_CURRENT_USER, kAppKey, "ParseMetafiles"));
    EXPECT_EQ("m", ReadText(HKEY_LOCAL_MACHINE, "SOFTWARE\\TarnTestsApp\\TestEngine\\TarnControls", "MachineText"));
}

TEST_F(StartupTest, RenderingObjectGetsTheApplicationInterface) {
    FakeFactory factory;
    ScopedFakeClass fake(factory);
    CTestApp app;
    ASSERT_TRUE(app.InitInstance());
    EXPECT_EQ(2, factory.creations);  // the probe, then the application's own object
    ITarnApp* expected = app.AppInterface();
    EXPECT_EQ(static_cast<IUnknown*>(expected), factory.object.handedApp);
    // Start-up ends with the application's own document manager.
    EXPECT_NE(nullptr, DYNAMIC_DOWNCAST(CTarnDocManager, app.m_pDocManager));
    app.ExitInstance();
    EXPECT_EQ(nullptr, factory.object.handedApp);  // taken back before the object was let go
    EXPECT_EQ(1u, factory.object.refs);
}

struct FailureCase {
    const char* name;
    HRESULT checkResult;
    const wchar_t* checkText;
    int creationsAllowed;
    bool failOptions;
    const char* expectedText;  // null: the resource string's text
    UINT expectedId;
};

class StartupFailure : public StartupTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(StartupFailure, EndsWithItsMessage) {
    const FailureCase& c = GetParam();
    FakeFactory factory;
    factory.object.checkResult = c.checkResult;
    factory.object.checkText = c.checkText;
    factory.creationsAllowed = c.creationsAllowed;
    ScopedFakeClass fake(factory);
    CTestApp app(c.failOptions);
    EXPECT_FALSE(app.InitInstance()) << c.name;
    ASSERT_EQ(1u, app.messages.size()) << c.name;
    CString expected(c.expectedText);
    if (!c.expectedText) {
        ASSERT_TRUE(expected.LoadString(c.expectedId));
    }
    EXPECT_EQ(std::string(static_cast<const char*>(expected)), app.messages[0].text) << c.name;
    CString caption;
    ASSERT_TRUE(caption.LoadString(12209));
    EXPECT_EQ(std::string(static_cast<const char*>(caption)), app.messages[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), app.messages[0].type);
    EXPECT_EQ(nullptr, factory.object.handedApp) << c.name;
    app.ExitInstance();
    EXPECT_EQ(1u, factory.object.refs) << c.name;
    // Options are written back only when they were loaded.
    HKEY written = nullptr;
    const bool stored = RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\TarnTestsApp\\TestApp", 0, KEY_READ, &written) ==
                        ERROR_SUCCESS;
    if (written) RegCloseKey(written);
    EXPECT_EQ(!c.failOptions, stored) << c.name;
}

const FailureCase kFailures[] = {
    {"hardware refused", E_FAIL, L"needs a better processor", 1000, false, "needs a better processor", 0},
    {"rendering object not made after the probe", S_OK, L"ok", 1, false, nullptr, 12156},
    {"options not loaded", S_OK, L"ok", 1000, true, nullptr, 12212},
};

INSTANTIATE_TEST_SUITE_P(Cases, StartupFailure, ::testing::ValuesIn(kFailures));

TEST_F(StartupTest, UnitChosenInTheOptionsBecomesTheDefaultAndKnownControlsAreListed) {
    HKEY general = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\TarnTestsApp\\TestApp\\General", 0,
                                             nullptr, 0, KEY_ALL_ACCESS, nullptr, &general, nullptr));
    CString centimeters;
    ASSERT_TRUE(centimeters.LoadString(12148));
    RegSetValueExA(general, "MeasurementUnits", 0, REG_SZ, reinterpret_cast<const BYTE*>(static_cast<LPCSTR>(centimeters)),
                   centimeters.GetLength() + 1);
    RegCloseKey(general);
    g_arrControlInfo.RemoveAll();

    FakeFactory factory;
    ScopedFakeClass fake(factory);
    CTestApp app;
    ASSERT_TRUE(app.InitInstance());
    ASSERT_NE(nullptr, GetDefaultMeasurementUnit());
    EXPECT_STREQ("cm", GetDefaultMeasurementUnit()->ShortName);

    struct Known {
        int command;
        const CLSID* clsid;
        int tool, type;
    };
    const Known known[] = {
        {20999, &CLSID_LineControl, 101, 201},       {20998, &CLSID_PolybezierControl, 102, 202},
        {20991, &CLSID_PolybezierControl, 109, 202}, {20997, &CLSID_ImageControl, 103, 203},
        {20996, &CLSID_TextControl, 104, 204},       {20992, &CLSID_TextAlongCurveControl, 105, 205},
        {20995, &CLSID_FigureControl, 106, 206},     {20994, &CLSID_FigureControl, 107, 206},
        {20993, &CLSID_FigureControl, 108, 206},     {10125, &CLSID_ImageControl, 201, 203},
    };
    ASSERT_EQ(10, g_arrControlInfo.GetSize());
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(static_cast<DWORD>(known[i].command), g_arrControlInfo[i].commandId & 0xFFFF) << i;
        EXPECT_TRUE(IsEqualCLSID(*known[i].clsid, *g_arrControlInfo[i].clsid)) << i;
        EXPECT_EQ(static_cast<DWORD>(known[i].tool), g_arrControlInfo[i].toolId) << i;
        EXPECT_EQ(static_cast<DWORD>(known[i].type), g_arrControlInfo[i].typeId) << i;
        EXPECT_EQ(0u, g_arrControlInfo[i].reserved) << i;
    }
    EXPECT_EQ(4, FindControlInfoIndex(20996));
    app.ExitInstance();
    SetDefaultMeasurementUnit(GetMeasurementUnit(0));
}

TEST_F(StartupTest, PrinterInfoWithoutAPrinterIsRefusedWithZeroMargins) {
    DWORD needed = 0, count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed, &count);
    CTestApp app;
    PrinterInfo info;
    info.left = info.top = info.right = info.bottom = 7.0;
    const BOOL answered = app.GetPrinterInfo(&info, nullptr);
    if (needed == 0) {
        EXPECT_FALSE(answered);
        EXPECT_EQ(0.0, info.left);
        EXPECT_EQ(0.0, info.top);
        EXPECT_EQ(0.0, info.right);
        EXPECT_EQ(0.0, info.bottom);
    } else {
        EXPECT_TRUE(answered);
        EXPECT_GE(info.left, 0.0);
        EXPECT_FALSE(info.deviceName.IsEmpty());
    }
    EXPECT_FALSE(app.GetPrinterInfo(nullptr, nullptr));
}

// A derived application decides the kind of the thumbnails its documents write.
class CPlainThumbnailApp : public CTestApp {
public:
    CTarnThumbnail* CreateThumbnail() override
    {
        ++made;
        return new CTarnThumbnail;
    }
    int made = 0;
};

TEST_F(StartupTest, DocumentsMakeTheApplicationsThumbnails) {
    {
        CTestApp app;
        CTarnDoc doc;
        std::unique_ptr<CTarnThumbnail> thumbnail(doc.CreateThumbnail());
        EXPECT_NE(nullptr, dynamic_cast<CSiteSizeThumbnail*>(thumbnail.get())) << "the framework's kind carries sizes";
    }
    CPlainThumbnailApp app;
    CTarnDoc doc;
    std::unique_ptr<CTarnThumbnail> thumbnail(doc.CreateThumbnail());
    EXPECT_EQ(1, app.made);
    EXPECT_EQ(nullptr, dynamic_cast<CSiteSizeThumbnail*>(thumbnail.get()));
}

// The calibration of the printer named "" is the entry of the printer the application prints on
// now, not of the system's default printer.
TEST_F(StartupTest, PrinterOptionsForNoNameAreTheApplicationsPrinter) {
    CTestApp app;
    const char driver[] = "winspool", device[] = "Label Printer", output[] = "LPT9:";
    const size_t size = sizeof(DEVNAMES) + sizeof driver + sizeof device + sizeof output;
    HGLOBAL names = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    ASSERT_NE(nullptr, names);
    auto* block = static_cast<DEVNAMES*>(GlobalLock(names));
    char* text = reinterpret_cast<char*>(block);
    block->wDriverOffset = sizeof(DEVNAMES);
    block->wDeviceOffset = static_cast<WORD>(block->wDriverOffset + sizeof driver);
    block->wOutputOffset = static_cast<WORD>(block->wDeviceOffset + sizeof device);
    std::memcpy(text + block->wDriverOffset, driver, sizeof driver);
    std::memcpy(text + block->wDeviceOffset, device, sizeof device);
    std::memcpy(text + block->wOutputOffset, output, sizeof output);
    GlobalUnlock(names);
    app.UsePrinterNames(names);

    COptionsManager options(nullptr, kFamily, "TestEngine", "TestApp");
    options.Initialize();
    COptionsItem* entry = options.GetOptionsForPrinter("");
    ASSERT_NE(nullptr, entry);
    EXPECT_STRCASEEQ("Label Printer", entry->m_strName);
    EXPECT_EQ(entry, options.GetOptionsForPrinter("label printer")) << "the same entry by its own name";
    app.UsePrinterNames(nullptr);
    GlobalFree(names);
}

TEST(ResourceLibrary, IsLoadedAtAttachAndHoldsTheFileSignature) {
    ASSERT_NE(nullptr, GetTarnResourceHandle());
    CString signature;
    ASSERT_TRUE(signature.LoadString(12067));
    EXPECT_STREQ("TARN", signature);
    EXPECT_NE(TLS_OUT_OF_INDEXES, dwTlsIdxDocVersion);
}
// A document that counts its saves and may refuse to be closed.
class CountingView : public CView {
public:
    int updates = 0;
    void OnUpdate(CView*, LPARAM, CObject*) override { ++updates; }
    void OnDraw(CDC*) override {}
};

class CountingDoc : public CDocument {
public:
    int saves = 0;
    BOOL allowClose = TRUE;
    BOOL DoFileSave() override {
        ++saves;
        return TRUE;
    }
    BOOL SaveModified() override { return allowClose; }
};

struct CommandCase {
    const char* name;
    BOOL allowClose;
    int expectedSaves;
    int expectedOpenAfterCloseAll;
};

TEST(ApplicationCommands, UpdateSaveAllAndCloseAllReachEveryDocumentOfEveryTemplate) {
    const CommandCase cases[] = {
        {"close allowed", TRUE, 1, 0},
        {"one document refuses to close", FALSE, 1, 2},
    };
    for (const CommandCase& c : cases) {
        CTestApp app;
        CSingleDocTemplate* first = new CSingleDocTemplate(0, RUNTIME_CLASS(CDocument), nullptr, nullptr);
        CSingleDocTemplate* second = new CSingleDocTemplate(0, RUNTIME_CLASS(CDocument), nullptr, nullptr);
        app.AddDocTemplate(first);
        app.AddDocTemplate(second);
        CountingDoc* a = new CountingDoc;
        CountingDoc* b = new CountingDoc;
        b->allowClose = c.allowClose;
        first->AddDocument(a);
        second->AddDocument(b);

        // The views leave by hand: the documents must not close when their last view goes.
        a->m_bAutoDelete = b->m_bAutoDelete = FALSE;
        CountingView viewA, viewB1, viewB2;
        a->AddView(&viewA);
        b->AddView(&viewB1);
        b->AddView(&viewB2);
        app.UpdateAllViews();
        EXPECT_EQ(1, viewA.updates);
        EXPECT_EQ(1, viewB1.updates);
        EXPECT_EQ(1, viewB2.updates);
        a->RemoveView(&viewA);
        b->RemoveView(&viewB1);
        b->RemoveView(&viewB2);
        a->m_bAutoDelete = b->m_bAutoDelete = TRUE;

        EXPECT_TRUE(app.OnCmdMsg(10074, CN_COMMAND, nullptr, nullptr)) << c.name;
        EXPECT_EQ(c.expectedSaves, a->saves) << c.name;
        EXPECT_EQ(c.expectedSaves, b->saves) << c.name;

        EXPECT_TRUE(app.OnCmdMsg(10028, CN_COMMAND, nullptr, nullptr)) << c.name;
        EXPECT_EQ(c.expectedOpenAfterCloseAll, app.m_pDocManager->GetOpenDocumentCount()) << c.name;
        if (c.expectedOpenAfterCloseAll) {
            first->RemoveDocument(a);
            second->RemoveDocument(b);
            delete a;
            delete b;
        }
    }
}
}  // namespace
