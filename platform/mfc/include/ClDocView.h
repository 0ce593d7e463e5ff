#pragma once
// The document/view frame of a single-document application: views show a document inside a
// frame window; a document template makes document, frame and view together; the document
// manager keeps the templates and opens files with them.
//
// Commands travel: active view, its document, the document's template, the frame, the application.
#include "ClDocument.h"
#include "ClWnd.h"

class CDocTemplate;
class CFrameWnd;
class CView;
struct CPrintInfo;

// Sent to every view of a frame once its document is loaded.
#define WM_INITIALUPDATE 0x0364
// Child id of the frame's main pane (its view).
#define AFX_IDW_PANE_FIRST 0xE900
// Frame style: the document's title is part of the frame's caption.
#define FWS_ADDTOTITLE 0x00008000L
// File commands of the framework.
#define ID_FILE_NEW 0xE100
#define ID_FILE_OPEN 0xE101
#define ID_FILE_CLOSE 0xE102
#define ID_FILE_SAVE 0xE103
#define ID_FILE_SAVE_AS 0xE104
#define ID_APP_EXIT 0xE141

// What a frame and its view are made for.
struct CCreateContext
{
    CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

class CLASSLIB_API CView : public CWnd
{
    DECLARE_DYNAMIC(CView)
public:
    CView();
    ~CView() override;   // leaves its document

    CDocument* GetDocument() const { return m_pDocument; }
    CFrameWnd* GetParentFrame() const;

    virtual void OnDraw(CDC* pDC) = 0;
    // Before drawing a paint or a printed page (pInfo set when printing).
    virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr);

    // Printing: the whole job runs in OnFilePrint. OnPreparePrinting decides whether to print
    // (the base asks through DoPreparePrinting); OnPrint draws one page (the base: OnDraw).
    virtual BOOL OnPreparePrinting(CPrintInfo* pInfo);
    // The print dialog (or the default printer when direct) and the printer's DC.
    BOOL DoPreparePrinting(CPrintInfo* pInfo);
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);
    void OnFilePrint();
    // After the document is loaded: the base calls OnUpdate(nullptr, 0, nullptr).
    virtual void OnInitialUpdate();
    // The document changed: the base repaints the view.
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
    // Commands: the view's map, then its document's.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    // Views are made by their frame and delete themselves with their window.
    void PostNcDestroy() override;

    CDocument* m_pDocument;

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnPaint();
    LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);

protected:
    DECLARE_MESSAGE_MAP()
    friend class CDocument;
};

class CLASSLIB_API CFrameWnd : public CWnd
{
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd();
    ~CFrameWnd() override;

    // Caption (first line of string nIDResource), menu, accelerators and icon of that id, all
    // through the resource chain; the context's view class gives the frame its view.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    virtual BOOL OnCreateClient(LPCREATESTRUCTA lpcs, CCreateContext* pContext);
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);

    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CDocument* GetActiveDocument();
    // Shows the frame after its document is loaded: WM_INITIALUPDATE to the views first.
    void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    virtual void ActivateFrame(int nCmdShow = -1);
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    // Places the view over the whole client area.
    virtual void RecalcLayout(BOOL bNotify = TRUE);

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    // Frames are made on the heap and delete themselves with their window; the main frame's end
    // ends the application's message loop.
    void PostNcDestroy() override;

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnSize(UINT nType, int cx, int cy);
    void OnClose();
    LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
    BOOL OnEraseBkgnd(CDC* pDC);

    // The prompt of a command: the first line of its string.
    virtual void GetMessageString(UINT nID, CString& rMessage) const;
    // Shows a prompt in the status bar's first pane: wParam a command id (0: lParam is the
    // text; both 0: the idle prompt).
    LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    LRESULT OnMenuSelectMessage(WPARAM wParam, LPARAM lParam);
    // On idle: the command items of the frame's own menu bar follow their update handlers.
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);

    HACCEL m_hAccelTable;
    UINT m_nIDHelp;
    BOOL m_bAutoMenuEnable;   // menu items without a handler are disabled
    CString m_strTitle;
    HMENU m_hMenuDefault;

protected:
    CView* m_pViewActive;
    DECLARE_MESSAGE_MAP()
};

class CLASSLIB_API CDocTemplate : public CCmdTarget
{
    DECLARE_DYNAMIC(CDocTemplate)
public:
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };
    enum Confidence { noAttempt, maybeAttemptForeign, maybeAttemptNative, yesAttemptForeign, yesAttemptNative, yesAlreadyOpen };

    ~CDocTemplate() override;

    // The fields of string nIDResource ("title\ndoc name\nnew name\nfilter\n.ext\ntype id\ntype name").
    virtual BOOL GetDocString(CString& rString, DocStringIndex index) const;
    virtual void AddDocument(CDocument* pDoc);
    virtual void RemoveDocument(CDocument* pDoc);
    virtual POSITION GetFirstDocPosition() const = 0;
    virtual CDocument* GetNextDoc(POSITION& rPos) const = 0;
    virtual CDocument* CreateNewDocument();
    virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
    virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);
    virtual void SetDefaultTitle(CDocument* pDocument);
    // Null path: a new document. Null result: nothing opened (the user was told why).
    virtual CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;
    virtual Confidence MatchDocType(LPCSTR lpszPathName, CDocument*& rpDocMatch);
    virtual BOOL SaveAllModified();
    virtual void CloseAllDocuments(BOOL bEndSession);

    UINT m_nIDResource;
    CRuntimeClass* m_pDocClass;
    CRuntimeClass* m_pFrameClass;
    CRuntimeClass* m_pViewClass;
    CString m_strDocStrings;

protected:
    CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);
};

class CLASSLIB_API CSingleDocTemplate : public CDocTemplate
{
    DECLARE_DYNAMIC(CSingleDocTemplate)
public:
    CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);
    ~CSingleDocTemplate() override;

    void AddDocument(CDocument* pDoc) override;
    void RemoveDocument(CDocument* pDoc) override;
    POSITION GetFirstDocPosition() const override;
    CDocument* GetNextDoc(POSITION& rPos) const override;
    // The one document is reused: its changes are settled first, then it is loaded again.
    CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible = TRUE) override;

    CDocument* m_pOnlyDoc;
};

class CLASSLIB_API CDocManager : public CObject
{
    DECLARE_DYNAMIC(CDocManager)
public:
    CDocManager();
    ~CDocManager() override;   // deletes the templates

    virtual void AddDocTemplate(CDocTemplate* pTemplate);
    POSITION GetFirstDocTemplatePosition() const { return m_templateList.GetHeadPosition(); }
    CDocTemplate* GetNextDocTemplate(POSITION& pos) const { return static_cast<CDocTemplate*>(m_templateList.GetNext(pos)); }
    // The template that claims the file best; an open document of that file is just shown.
    virtual CDocument* OpenDocumentFile(LPCSTR lpszFileName);
    virtual void OnFileNew();
    virtual void OnFileOpen();
    virtual BOOL SaveAllModified();
    virtual void CloseAllDocuments(BOOL bEndSession);
    virtual int GetOpenDocumentCount();
    // The system's file dialog; FALSE when the user cancels.
    virtual BOOL DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                                  CDocTemplate* pTemplate);

    CPtrList m_templateList;
};
