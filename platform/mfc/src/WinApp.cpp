#include "ClWinApp.h"
#include "ClBars.h"
#include "ClDC.h"
#include "ClException.h"
#include "ClModule.h"
#include "ClResourceIds.h"
#include "ClWnd.h"
#include "ClMenu.h"
#include "ClDocView.h"
#include "ClPrint.h"

#include <cstdlib>
#include <cstring>
#include <vector>

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)
IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

namespace {
bool g_controlContainer = false;
}

void AFXAPI AfxEnableControlContainer() { g_controlContainer = true; }
BOOL AFXAPI AfxIsControlContainerEnabled() { return g_controlContainer; }

// ---------------------------------------------------------------------------------------------

CWinThread::CWinThread()
    : m_pMainWnd(nullptr), m_pActiveWnd(nullptr), m_bAutoDelete(FALSE), m_hThread(GetCurrentThread()),
      m_nThreadID(GetCurrentThreadId()), m_msgCur()
{
}

CWinThread::~CWinThread() = default;

BOOL CWinThread::InitInstance() { return FALSE; }
int CWinThread::ExitInstance() { return static_cast<int>(m_msgCur.wParam); }
BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    HWND stop = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
        if (pWnd && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (hWnd == stop)
            break;
    }
    return FALSE;
}

BOOL CWinThread::PumpMessage()
{
    if (!::GetMessageA(&m_msgCur, nullptr, 0, 0))
        return FALSE;
    if (!PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageA(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::OnIdle(LONG lCount)
{
    if (lCount <= 0) {
        // First idle pass: frames and their bars bring menus, buttons and panes up to date.
        if (m_pMainWnd && m_pMainWnd->m_hWnd && ::IsWindowVisible(m_pMainWnd->m_hWnd)) {
            ::SendMessageA(m_pMainWnd->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
            m_pMainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
        }
        return TRUE;
    }
    CGdiObject::DeleteTempMap();
    CDC::DeleteTempMap();
    CWnd::DeleteTempMap();
    CMenu::DeleteTempMap();
    return FALSE;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg)
{
    // Mouse moves that move nothing and the caret's blink wake no idle processing.
    static POINT lastPoint = {-1, -1};
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        if (pMsg->pt.x == lastPoint.x && pMsg->pt.y == lastPoint.y)
            return FALSE;
        lastPoint = pMsg->pt;
        return TRUE;
    }
    return pMsg->message != WM_PAINT && pMsg->message != 0x0118 /* WM_SYSTIMER */;
}

int CWinThread::Run()
{
    bool idle = true;
    LONG idleCount = 0;
    for (;;) {
        while (idle && !::PeekMessageA(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++))
                idle = false;
        }
        do {
            if (!PumpMessage())
                return ExitInstance();
            if (IsIdleMessage(&m_msgCur)) {
                idle = true;
                idleCount = 0;
            }
        } while (::PeekMessageA(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE));
    }
}

// ---------------------------------------------------------------------------------------------

CWinApp::CWinApp(LPCSTR lpszAppName)
    : m_pszAppName(nullptr), m_pszRegistryKey(nullptr), m_pszProfileName(nullptr), m_pszExeName(nullptr),
      m_pszHelpFilePath(nullptr), m_hInstance(nullptr), m_lpCmdLine(nullptr), m_nCmdShow(SW_SHOWNORMAL),
      m_pRecentFileList(nullptr), m_pDocManager(nullptr), m_hDevMode(nullptr), m_hDevNames(nullptr)
{
    AFX_MODULE_STATE* state = AfxGetModuleState();
    state->m_pCurrentWinApp = this;
    m_hInstance = state->m_hCurrentInstanceHandle;
    if (lpszAppName)
        SetOwnedString(m_pszAppName, lpszAppName);
}

CWinApp::~CWinApp()
{
    if (m_hDevMode)
        ::GlobalFree(m_hDevMode);
    if (m_hDevNames)
        ::GlobalFree(m_hDevNames);
    delete m_pDocManager;
    delete m_pRecentFileList;
    for (LPCSTR* name : {&m_pszAppName, &m_pszRegistryKey, &m_pszProfileName, &m_pszExeName, &m_pszHelpFilePath})
        free(const_cast<char*>(*name));
    AFX_MODULE_STATE* state = AfxGetModuleState();
    if (state->m_pCurrentWinApp == this)
        state->m_pCurrentWinApp = nullptr;
    if (state->m_lpszCurrentAppName == m_pszAppName)
        state->m_lpszCurrentAppName = nullptr;
}

void CWinApp::SetOwnedString(LPCSTR& target, LPCSTR value)
{
    free(const_cast<char*>(target));
    target = value ? _strdup(value) : nullptr;
    if (value && !target)
        AfxThrowMemoryException();
}

BOOL CWinApp::InitApplication()
{
    // Names the application would otherwise lack: the program's file title, the title string.
    char path[MAX_PATH] = "";
    GetModuleFileNameA(m_hInstance, path, MAX_PATH);
    CString title(path);
    title = title.Mid(title.ReverseFind('\\') + 1);
    if (title.ReverseFind('.') > 0)
        title = title.Left(title.ReverseFind('.'));
    if (!m_pszExeName)
        SetOwnedString(m_pszExeName, title);
    if (!m_pszAppName) {
        CString appTitle;
        SetOwnedString(m_pszAppName, appTitle.LoadString(AFX_IDS_APP_TITLE) ? static_cast<LPCSTR>(appTitle) : m_pszExeName);
    }
    if (!m_pszProfileName)
        SetOwnedString(m_pszProfileName, CString(m_pszExeName) + ".INI");
    AfxGetModuleState()->m_lpszCurrentAppName = m_pszAppName;
    return TRUE;
}

int CWinApp::ExitInstance()
{
    SaveStdProfileSettings();
    return CWinThread::ExitInstance();
}

BOOL CWinApp::OnIdle(LONG lCount) { return CWinThread::OnIdle(lCount); }

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (!m_pDocManager)
        m_pDocManager = new CDocManager;
    m_pDocManager->AddDocTemplate(pTemplate);
}

CDocument* CWinApp::OpenDocumentFile(LPCSTR lpszFileName)
{
    return m_pDocManager ? m_pDocManager->OpenDocumentFile(lpszFileName) : nullptr;
}

BOOL CWinApp::GetPrinterDeviceDefaults(tagPDA* pPrintDlg)
{
    if (!m_hDevNames) {
        CPrintDialog defaults(TRUE);
        if (!defaults.GetDefaults())
            return FALSE;
        m_hDevMode = defaults.m_pd.hDevMode;
        m_hDevNames = defaults.m_pd.hDevNames;
        defaults.m_pd.hDevMode = defaults.m_pd.hDevNames = nullptr;
    }
    pPrintDlg->hDevMode = m_hDevMode;
    pPrintDlg->hDevNames = m_hDevNames;
    return TRUE;
}

INT_PTR CWinApp::DoPrintDialog(CPrintDialog* pPD)
{
    GetPrinterDeviceDefaults(&pPD->m_pd);
    const INT_PTR result = pPD->DoModal();
    // The dialog may have replaced the settings' blocks; the application keeps the current ones.
    m_hDevMode = pPD->m_pd.hDevMode;
    m_hDevNames = pPD->m_pd.hDevNames;
    return result;
}

BOOL CWinApp::CreatePrinterDC(CDC& dc)
{
    CPrintDialog dialog(FALSE);
    if (!GetPrinterDeviceDefaults(&dialog.m_pd))
        return FALSE;
    HDC printer = dialog.CreatePrinterDC();
    dialog.m_pd.hDevMode = dialog.m_pd.hDevNames = nullptr;   // still the application's
    return printer && dc.Attach(printer);
}

void CWinApp::OnFilePrintSetup()
{
    CPrintDialog dialog(TRUE);
    DoWaitCursor(1);
    DoPrintDialog(&dialog);
    DoWaitCursor(-1);
    dialog.m_pd.hDevMode = dialog.m_pd.hDevNames = nullptr;
}

void CWinApp::OnFileNew()
{
    if (m_pDocManager)
        m_pDocManager->OnFileNew();
}

void CWinApp::OnFileOpen()
{
    if (m_pDocManager)
        m_pDocManager->OnFileOpen();
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* pCmdUI)
{
    if (m_pRecentFileList)
        m_pRecentFileList->UpdateMenu(pCmdUI);
    else
        pCmdUI->Enable(FALSE);
}

BOOL CWinApp::OnOpenRecentFile(UINT nID)
{
    if (!m_pRecentFileList)
        return FALSE;
    const int index = static_cast<int>(nID) - ID_FILE_MRU_FILE1;
    if (index < 0 || index >= m_pRecentFileList->GetSize() || (*m_pRecentFileList)[index].IsEmpty())
        return FALSE;
    const CString path = (*m_pRecentFileList)[index];
    if (!OpenDocumentFile(path))
        m_pRecentFileList->Remove(index);
    return TRUE;
}

BOOL CWinApp::SaveAllModified() { return m_pDocManager ? m_pDocManager->SaveAllModified() : TRUE; }

void CWinApp::CloseAllDocuments(BOOL bEndSession)
{
    if (m_pDocManager)
        m_pDocManager->CloseAllDocuments(bEndSession);
}

void CWinApp::AddToRecentFileList(LPCSTR lpszPathName)
{
    if (m_pRecentFileList)
        m_pRecentFileList->Add(lpszPathName);
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    if (nMaxMRU == 0)
        return;
    delete m_pRecentFileList;
    m_pRecentFileList = new CRecentFileList(0, "Recent File List", "File%d", static_cast<int>(nMaxMRU));
    m_pRecentFileList->ReadList();
}

void CWinApp::SaveStdProfileSettings()
{
    if (m_pRecentFileList && !m_pRecentFileList->m_strSectionName.IsEmpty())
        m_pRecentFileList->WriteList();
}

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey)
{
    SetOwnedString(m_pszRegistryKey, lpszRegistryKey);
    SetOwnedString(m_pszProfileName, m_pszAppName ? m_pszAppName : m_pszExeName);
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
    CString key;
    if (key.LoadString(nIDRegistryKey))
        SetRegistryKey(key);
}

HKEY CWinApp::GetAppRegistryKey()
{
    if (!m_pszRegistryKey || !m_pszProfileName)
        return nullptr;
    HKEY software = nullptr, company = nullptr, app = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_WRITE | KEY_READ, &software) != ERROR_SUCCESS)
        return nullptr;
    DWORD disposition;
    if (RegCreateKeyExA(software, m_pszRegistryKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ,
                        nullptr, &company, &disposition) == ERROR_SUCCESS) {
        RegCreateKeyExA(company, m_pszProfileName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ, nullptr,
                        &app, &disposition);
        RegCloseKey(company);
    }
    RegCloseKey(software);
    return app;
}

HKEY CWinApp::GetSectionKey(LPCSTR lpszSection)
{
    HKEY app = GetAppRegistryKey();
    if (!app)
        return nullptr;
    HKEY section = nullptr;
    DWORD disposition;
    RegCreateKeyExA(app, lpszSection, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ, nullptr, &section,
                    &disposition);
    RegCloseKey(app);
    return section;
}

namespace {
struct KeyHolder {
    HKEY key;
    ~KeyHolder() { if (key) RegCloseKey(key); }
};
}

UINT CWinApp::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault)
{
    if (!m_pszRegistryKey)
        return GetPrivateProfileIntA(lpszSection, lpszEntry, nDefault, m_pszProfileName);
    KeyHolder section{GetSectionKey(lpszSection)};
    if (!section.key)
        return static_cast<UINT>(nDefault);
    DWORD value = 0, type = 0, size = sizeof value;
    if (RegQueryValueExA(section.key, lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return static_cast<UINT>(nDefault);
    return value;
}

CString CWinApp::GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault)
{
    if (!m_pszRegistryKey) {
        std::vector<char> buffer(4096);
        GetPrivateProfileStringA(lpszSection, lpszEntry, lpszDefault ? lpszDefault : "", buffer.data(),
                                 static_cast<DWORD>(buffer.size()), m_pszProfileName);
        return CString(buffer.data());
    }
    KeyHolder section{GetSectionKey(lpszSection)};
    DWORD type = 0, size = 0;
    if (!section.key || RegQueryValueExA(section.key, lpszEntry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return CString(lpszDefault);
    CString value;
    char* text = value.GetBuffer(static_cast<int>(size) + 1);
    if (RegQueryValueExA(section.key, lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS) {
        value.ReleaseBuffer(0);
        return CString(lpszDefault);
    }
    text[size] = 0;   // a stored value need not end in a terminator
    value.ReleaseBuffer();
    return value;
}

BOOL CWinApp::GetProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, LPBYTE* ppData, UINT* pBytes)
{
    *ppData = nullptr;
    *pBytes = 0;
    if (!m_pszRegistryKey) {
        // Stored in the .INI file as two letters per byte ('A' + each half).
        const CString text = GetProfileString(lpszSection, lpszEntry);
        if (text.IsEmpty() || text.GetLength() % 2 != 0)
            return FALSE;
        const UINT n = static_cast<UINT>(text.GetLength() / 2);
        *ppData = new BYTE[n];
        for (UINT i = 0; i < n; ++i)
            (*ppData)[i] = static_cast<BYTE>(((text[2 * i] - 'A') << 4) | ((text[2 * i + 1] - 'A') & 0x0F));
        *pBytes = n;
        return TRUE;
    }
    KeyHolder section{GetSectionKey(lpszSection)};
    DWORD type = 0, size = 0;
    if (!section.key || RegQueryValueExA(section.key, lpszEntry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_BINARY)
        return FALSE;
    auto* data = new BYTE[size ? size : 1];
    if (RegQueryValueExA(section.key, lpszEntry, nullptr, &type, data, &size) != ERROR_SUCCESS) {
        delete[] data;
        return FALSE;
    }
    *ppData = data;
    *pBytes = size;
    return TRUE;
}

BOOL CWinApp::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue)
{
    if (!m_pszRegistryKey) {
        char text[16];
        wsprintfA(text, "%d", nValue);
        return WritePrivateProfileStringA(lpszSection, lpszEntry, text, m_pszProfileName);
    }
    KeyHolder section{GetSectionKey(lpszSection)};
    const DWORD value = static_cast<DWORD>(nValue);
    return section.key && RegSetValueExA(section.key, lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                         sizeof value) == ERROR_SUCCESS;
}

BOOL CWinApp::WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue)
{
    if (!m_pszRegistryKey)
        return WritePrivateProfileStringA(lpszSection, lpszEntry, lpszValue, m_pszProfileName);
    if (!lpszEntry) {
        KeyHolder app{GetAppRegistryKey()};
        return app.key && RegDeleteKeyA(app.key, lpszSection) == ERROR_SUCCESS;
    }
    KeyHolder section{GetSectionKey(lpszSection)};
    if (!section.key)
        return FALSE;
    if (!lpszValue)
        return RegDeleteValueA(section.key, lpszEntry) == ERROR_SUCCESS;
    return RegSetValueExA(section.key, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                          static_cast<DWORD>(strlen(lpszValue) + 1)) == ERROR_SUCCESS;
}

BOOL CWinApp::WriteProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, LPBYTE pData, UINT nBytes)
{
    if (!m_pszRegistryKey) {
        CString text;
        char* p = text.GetBufferSetLength(static_cast<int>(nBytes * 2));
        for (UINT i = 0; i < nBytes; ++i) {
            p[2 * i] = static_cast<char>('A' + (pData[i] >> 4));
            p[2 * i + 1] = static_cast<char>('A' + (pData[i] & 0x0F));
        }
        return WriteProfileString(lpszSection, lpszEntry, text);
    }
    KeyHolder section{GetSectionKey(lpszSection)};
    return section.key && RegSetValueExA(section.key, lpszEntry, 0, REG_BINARY, pData, nBytes) == ERROR_SUCCESS;
}

HCURSOR CWinApp::LoadCursor(LPCSTR lpszResourceName) const
{
    return ::LoadCursorA(AfxFindResourceHandle(lpszResourceName, MAKEINTRESOURCEA(12) /* RT_GROUP_CURSOR */),
                         lpszResourceName);
}

HICON CWinApp::LoadIcon(LPCSTR lpszResourceName) const
{
    return ::LoadIconA(AfxFindResourceHandle(lpszResourceName, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */),
                       lpszResourceName);
}

void CWinApp::ProcessWndProcException(CException* e, const MSG*) { e->ReportError(); }

void CWinApp::DoWaitCursor(int nCode) { AfxDoWaitCursor(nCode); }

int CWinApp::DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT)
{
    return ::MessageBoxA(AfxGetMainWindowHandle(), lpszPrompt, m_pszAppName ? m_pszAppName : "", nType);
}

CWinApp* AFXAPI AfxGetApp()
{
    CWinApp* app = AfxGetModuleState()->m_pCurrentWinApp;
    return app ? app : AfxGetAppModuleState()->m_pCurrentWinApp;
}

int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->m_hInstance = hInstance;
    app->m_lpCmdLine = lpCmdLine;
    app->m_nCmdShow = nCmdShow;
    AfxGetAppModuleState()->m_hCurrentInstanceHandle = hInstance;
    if (!app->InitApplication())
        return app->ExitInstance();
    if (!app->InitInstance())
        return app->ExitInstance();
    return app->Run();
}

// ---------------------------------------------------------------------------------------------

CRecentFileList::CRecentFileList(UINT nStart, LPCSTR lpszSection, LPCSTR lpszEntryFormat, int nSize, int nMaxDispLen)
    : m_nSize(nSize > 0 ? nSize : 1), m_arrNames(new CString[static_cast<size_t>(m_nSize)]),
      m_strSectionName(lpszSection), m_strEntryFormat(lpszEntryFormat), m_nStart(nStart),
      m_nMaxDisplayLength(nMaxDispLen)
{
}

CRecentFileList::~CRecentFileList() { delete[] m_arrNames; }

CString& CRecentFileList::operator[](int nIndex)
{
    if (nIndex < 0 || nIndex >= m_nSize)
        AfxThrowInvalidArgException();
    return m_arrNames[nIndex];
}

void CRecentFileList::Add(LPCSTR lpszPathName)
{
    if (!lpszPathName || !*lpszPathName)
        return;
    char full[MAX_PATH];
    const DWORD n = GetFullPathNameA(lpszPathName, MAX_PATH, full, nullptr);
    const CString path = (n > 0 && n < MAX_PATH) ? CString(full) : CString(lpszPathName);
    // Where it was (or the last place), everything before it moves down one.
    int at = m_nSize - 1;
    for (int i = 0; i < m_nSize; ++i) {
        if (m_arrNames[i].CompareNoCase(path) == 0) {
            at = i;
            break;
        }
    }
    for (int i = at; i > 0; --i)
        m_arrNames[i] = m_arrNames[i - 1];
    m_arrNames[0] = path;
}

void CRecentFileList::Remove(int nIndex)
{
    if (nIndex < 0 || nIndex >= m_nSize)
        return;
    for (int i = nIndex; i < m_nSize - 1; ++i)
        m_arrNames[i] = m_arrNames[i + 1];
    m_arrNames[m_nSize - 1].Empty();
}

BOOL CRecentFileList::GetDisplayName(CString& strName, int nIndex, LPCSTR lpszCurDir, int nCurDir, BOOL bAtLeastName) const
{
    if (nIndex < 0 || nIndex >= m_nSize || m_arrNames[nIndex].IsEmpty())
        return FALSE;
    CString path = m_arrNames[nIndex];
    if (lpszCurDir && nCurDir > 0 && path.GetLength() > nCurDir &&
        _strnicmp(path, lpszCurDir, static_cast<size_t>(nCurDir)) == 0 && path.Find('\\', nCurDir) < 0)
        path = path.Mid(nCurDir);
    strName = AfxAbbreviatePath(path, m_nMaxDisplayLength, bAtLeastName);
    return TRUE;
}

void CRecentFileList::UpdateMenu(CCmdUI* pCmdUI)
{
    CMenu* menu = pCmdUI->m_pMenu;
    HMENU hMenu = menu ? menu->m_hMenu : pCmdUI->m_hMenu;
    if (!hMenu)
        return;
    if (m_arrNames[0].IsEmpty()) {
        pCmdUI->Enable(FALSE);
        return;
    }
    // Earlier file items go; the one being updated marks where the list starts.
    for (int i = 0; i < m_nSize; ++i)
        ::DeleteMenu(hMenu, ID_FILE_MRU_FILE1 + i, MF_BYCOMMAND);
    char currentDir[MAX_PATH] = "";
    ::GetCurrentDirectoryA(MAX_PATH, currentDir);
    CString directory(currentDir);
    if (!directory.IsEmpty() && directory.Right(1) != "\\")
        directory += '\\';
    int added = 0;
    for (int i = 0; i < m_nSize; ++i) {
        CString name;
        if (!GetDisplayName(name, i, directory, directory.GetLength()))
            break;
        name.Replace("&", "&&");   // an ampersand of the name is not a mnemonic
        CString text;
        text.Format("&%d %s", i + 1, static_cast<LPCSTR>(name));
        ::InsertMenuA(hMenu, pCmdUI->m_nIndex + added, MF_STRING | MF_BYPOSITION, ID_FILE_MRU_FILE1 + i, text);
        ++added;
    }
    // The update loop continues after the inserted items.
    pCmdUI->m_nIndex += added - 1;
    pCmdUI->m_nIndexMax = ::GetMenuItemCount(hMenu);
    pCmdUI->m_bEnableChanged = TRUE;
}

void CRecentFileList::ReadList()
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    for (int i = 0; i < m_nSize; ++i) {
        CString entry;
        entry.Format(m_strEntryFormat, i + 1);
        m_arrNames[i] = app->GetProfileString(m_strSectionName, entry);
    }
}

void CRecentFileList::WriteList()
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    app->WriteProfileString(m_strSectionName, nullptr, nullptr);
    for (int i = 0; i < m_nSize && !m_arrNames[i].IsEmpty(); ++i) {
        CString entry;
        entry.Format(m_strEntryFormat, i + 1);
        app->WriteProfileString(m_strSectionName, entry, m_arrNames[i]);
    }
}

CString AFXAPI AfxAbbreviatePath(LPCSTR lpszPath, int nMaxLength, BOOL bAtLeastName)
{
    const CString path(lpszPath);
    if (path.GetLength() <= nMaxLength)
        return path;
    const int lastSlash = path.ReverseFind('\\');
    const CString name = path.Mid(lastSlash + 1);
    // The root stays: "c:\" or "\\server\share\".
    int rootEnd = 0;
    if (path.Left(2) == "\\\\") {
        const int server = path.Find('\\', 2);
        const int share = server >= 0 ? path.Find('\\', server + 1) : -1;
        rootEnd = share >= 0 ? share + 1 : 0;
    } else if (path.GetLength() > 2 && path[1] == ':' && path[2] == '\\') {
        rootEnd = 3;
    }
    const CString root = path.Left(rootEnd);
    if (lastSlash < rootEnd || root.GetLength() + 4 + name.GetLength() > nMaxLength)
        return bAtLeastName ? name : CString();
    // Leave out folders after the root, from the left, until the rest fits.
    CString rest = path.Mid(rootEnd, lastSlash - rootEnd + 1);
    while (root.GetLength() + 4 + rest.GetLength() + name.GetLength() > nMaxLength) {
        const int next = rest.Find('\\');
        rest = rest.Mid(next + 1);
    }
    return root + "...\\" + rest + name;
}
