#pragma once
// CWinThread and CWinApp: the application object with its message loop, names, registry profile
// and recent-file list. One application object per process; AfxGetApp finds it.
#include "ClCmdTarget.h"
#include "ClString.h"

class CWnd;
class CDocument;
class CRecentFileList;
class CException;
class CDocManager;
class CDocTemplate;
class CPrintDialog;
class CDC;
struct tagPDA;

class CLASSLIB_API CWinThread : public CCmdTarget
{
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();
    ~CWinThread() override;

    CWnd* m_pMainWnd;
    CWnd* m_pActiveWnd;
    BOOL m_bAutoDelete;
    HANDLE m_hThread;
    DWORD m_nThreadID;
    MSG m_msgCur;

    virtual BOOL InitInstance();
    // Answers the exit code: the WM_QUIT code once the loop has run.
    virtual int ExitInstance();
    // The message loop: messages until WM_QUIT, OnIdle while the queue is empty (the base frees
    // the temporary GDI, DC and window objects there).
    virtual int Run();
    // Offers the message to the windows from its own up to the main window (their
    // PreTranslateMessage); TRUE when one of them took it.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Gets and dispatches one message; FALSE on WM_QUIT.
    virtual BOOL PumpMessage();
    // lCount counts the calls since the last message; answer TRUE to be called again. The base
    // frees the temporary GDI and DC wrappers on its second call.
    virtual BOOL OnIdle(LONG lCount);
    virtual BOOL IsIdleMessage(MSG* pMsg);
};

class CLASSLIB_API CWinApp : public CWinThread
{
    DECLARE_DYNAMIC(CWinApp)
public:
    // Registers the object as the application of the current module state.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    // Names are owned by the object and allocated with malloc (free and replace them with
    // _strdup when a subclass changes them).
    LPCSTR m_pszAppName;       // default: string AFX_IDS_APP_TITLE, else the program's name
    LPCSTR m_pszRegistryKey;   // null: the profile is an .INI file named m_pszProfileName
    LPCSTR m_pszProfileName;
    LPCSTR m_pszExeName;
    LPCSTR m_pszHelpFilePath;
    HINSTANCE m_hInstance;
    LPSTR m_lpCmdLine;
    int m_nCmdShow;
    CRecentFileList* m_pRecentFileList;

    // Profile under HKEY_CURRENT_USER\Software\<key>\<profile name>; the profile name becomes
    // the application name.
    void SetRegistryKey(LPCSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);
    // Open keys of the profile, created when missing; the caller closes them. Null on failure.
    HKEY GetAppRegistryKey();
    HKEY GetSectionKey(LPCSTR lpszSection);

    UINT GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
    CString GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault = nullptr);
    // *ppData is allocated with new[]; the caller deletes it.
    BOOL GetProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, LPBYTE* ppData, UINT* pBytes);
    BOOL WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);
    // A null entry deletes the section, a null value deletes the entry.
    BOOL WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue);
    BOOL WriteProfileBinary(LPCSTR lpszSection, LPCSTR lpszEntry, LPBYTE pData, UINT nBytes);

    virtual BOOL InitApplication();
    int ExitInstance() override;
    BOOL OnIdle(LONG lCount) override;
    // Documents through the document manager (made by the first AddDocTemplate, deleted with
    // the application together with its templates).
    void AddDocTemplate(CDocTemplate* pTemplate);
    // Null without a document manager.
    virtual CDocument* OpenDocumentFile(LPCSTR lpszFileName);
    void OnFileNew();
    void OnFileOpen();
    // The recent-file commands (map them with ON_UPDATE_COMMAND_UI(ID_FILE_MRU_FILE1, ...) and
    // ON_COMMAND_EX_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16, ...)). A file that no longer
    // opens leaves the list.
    void OnUpdateRecentFileMenu(CCmdUI* pCmdUI);
    BOOL OnOpenRecentFile(UINT nID);
    virtual BOOL SaveAllModified();
    void CloseAllDocuments(BOOL bEndSession);
    CDocManager* m_pDocManager;

    // The application's printer: its settings (DEVMODE and DEVNAMES handles, owned), the default
    // printer until the user picks another.
    BOOL GetPrinterDeviceDefaults(tagPDA* pPrintDlg);   // PRINTDLGA
    // The print dialog over the application's printer settings; IDOK keeps the choice.
    virtual INT_PTR DoPrintDialog(CPrintDialog* pPD);
    // A DC for the application's printer; FALSE without a printer.
    BOOL CreatePrinterDC(CDC& dc);
    void OnFilePrintSetup();
    HGLOBAL m_hDevMode;
    HGLOBAL m_hDevNames;
    virtual void AddToRecentFileList(LPCSTR lpszPathName);
    // Makes the recent-file list (section "Recent File List", entries "File%d") and reads it.
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    void SaveStdProfileSettings();

    HCURSOR LoadCursor(LPCSTR lpszResourceName) const;
    HCURSOR LoadCursor(UINT nIDResource) const { return LoadCursor(MAKEINTRESOURCEA(nIDResource)); }
    HCURSOR LoadStandardCursor(LPCSTR lpszCursorName) const { return ::LoadCursorA(nullptr, lpszCursorName); }
    HICON LoadIcon(LPCSTR lpszResourceName) const;
    HICON LoadIcon(UINT nIDResource) const { return LoadIcon(MAKEINTRESOURCEA(nIDResource)); }
    HICON LoadStandardIcon(LPCSTR lpszIconName) const { return ::LoadIconA(nullptr, lpszIconName); }

    // A handler of pMsg threw: the base reports the exception to the user.
    virtual void ProcessWndProcException(CException* e, const MSG* pMsg);
    virtual void DoWaitCursor(int nCode);
    virtual int DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT nIDPrompt);
    // Kept for the start-up order of classic applications; controls draw 3-D by themselves.
    BOOL Enable3dControls() { return TRUE; }

private:
    void SetOwnedString(LPCSTR& target, LPCSTR value);
};

CLASSLIB_API CWinApp* AFXAPI AfxGetApp();
// Entry of a program whose application object is a global: start-up, message loop, exit code.
CLASSLIB_API int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
// Records that the application hosts controls; the window classes that host them consult it.
CLASSLIB_API void AFXAPI AfxEnableControlContainer();
CLASSLIB_API BOOL AFXAPI AfxIsControlContainerEnabled();

// The most recently used files, newest first.
class CLASSLIB_API CRecentFileList
{
public:
    CRecentFileList(UINT nStart, LPCSTR lpszSection, LPCSTR lpszEntryFormat, int nSize,
                    int nMaxDispLen = 30);
    virtual ~CRecentFileList();
    CRecentFileList(const CRecentFileList&) = delete;
    CRecentFileList& operator=(const CRecentFileList&) = delete;

    int GetSize() const { return m_nSize; }
    CString& operator[](int nIndex);
    // Puts the file (as a full path) first; an entry of the same file (case ignored) moves up.
    virtual void Add(LPCSTR lpszPathName);
    virtual void Remove(int nIndex);
    // The name for a menu: the path, shortened to the display length by leaving out folders;
    // relative to lpszCurDir when the file lies there. FALSE for an empty entry.
    virtual BOOL GetDisplayName(CString& strName, int nIndex, LPCSTR lpszCurDir, int nCurDir,
                                BOOL bAtLeastName = TRUE) const;
    virtual void ReadList();
    virtual void WriteList();
    // The menu item of the update (the first file command) becomes one item per file:
    // "&1 name", "&2 name" ... with the commands ID_FILE_MRU_FILE1 + index; with no files the
    // item stays and is disabled.
    virtual void UpdateMenu(CCmdUI* pCmdUI);

    int m_nSize;
    CString* m_arrNames;
    CString m_strSectionName;
    CString m_strEntryFormat;
    UINT m_nStart;
    int m_nMaxDisplayLength;
};

#define ID_FILE_MRU_FILE1 0xE110
#define ID_FILE_MRU_FILE16 0xE11F

// Shortens a path to at most nMaxLength characters by replacing folders with "...".
CLASSLIB_API CString AFXAPI AfxAbbreviatePath(LPCSTR lpszPath, int nMaxLength, BOOL bAtLeastName = TRUE);
