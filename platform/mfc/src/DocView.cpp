#include "ClDocView.h"
#include "ClBars.h"
#include "ClCmdUI.h"
#include "ClPrint.h"
#include "ClException.h"
#include "ClModule.h"
#include "ClResourceIds.h"
#include "ClWinApp.h"

#include <algorithm>
#include <commdlg.h>
#include <cstring>
#include <vector>

IMPLEMENT_DYNAMIC(CView, CWnd)
IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)
IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)
IMPLEMENT_DYNAMIC(CDocManager, CObject)

// ---------------------------------------------------------------------------------------------
// Views

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
END_MESSAGE_MAP()

CView::CView() : m_pDocument(nullptr) {}

CView::~CView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

CFrameWnd* CView::GetParentFrame() const
{
    for (HWND parent = ::GetParent(m_hWnd); parent; parent = ::GetParent(parent))
        if (CFrameWnd* frame = DYNAMIC_DOWNCAST(CFrameWnd, CWnd::FromHandlePermanent(parent)))
            return frame;
    return nullptr;
}

int CView::OnCreate(LPCREATESTRUCTA lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    auto* context = static_cast<CCreateContext*>(lpcs->lpCreateParams);
    if (context && context->m_pCurrentDoc)
        context->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnPaint()
{
    CPaintDC dc(this);
    OnPrepareDC(&dc, nullptr);
    OnDraw(&dc);
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM)
{
    OnInitialUpdate();
    return 0;
}

void CView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    // A printed page ends after the last page of the range.
    if (pInfo && pInfo->m_nCurPage > pInfo->GetToPage())
        pInfo->m_bContinuePrinting = FALSE;
    (void)pDC;
}

BOOL CView::OnPreparePrinting(CPrintInfo* pInfo) { return DoPreparePrinting(pInfo); }

BOOL CView::DoPreparePrinting(CPrintInfo* pInfo)
{
    CWinApp* app = AfxGetApp();
    CPrintDialog* dialog = pInfo->m_pPD;
    dialog->m_pd.nFromPage = static_cast<WORD>(pInfo->GetMinPage());
    dialog->m_pd.nToPage = static_cast<WORD>(pInfo->GetMaxPage());
    if (pInfo->m_bDirect || pInfo->m_bPreview) {
        if (!app || !app->GetPrinterDeviceDefaults(&dialog->m_pd))
            return FALSE;
        if (!dialog->m_pd.hDC)
            dialog->m_pd.hDC = dialog->CreatePrinterDC();
    } else if (!app || app->DoPrintDialog(dialog) != IDOK) {
        return FALSE;
    }
    return dialog->m_pd.hDC != nullptr;
}

void CView::OnBeginPrinting(CDC*, CPrintInfo*) {}
void CView::OnPrint(CDC* pDC, CPrintInfo*) { OnDraw(pDC); }
void CView::OnEndPrinting(CDC*, CPrintInfo*) {}

void CView::OnFilePrint()
{
    CPrintInfo info;
    if (!OnPreparePrinting(&info))
        return;
    CDC printer;
    printer.Attach(info.m_pPD->m_pd.hDC);
    info.m_pPD->m_pd.hDC = nullptr;   // the CDC owns it now
    printer.m_bPrinting = TRUE;
    OnBeginPrinting(&printer, &info);

    CString title = m_pDocument ? m_pDocument->GetTitle() : CString();
    DOCINFOA docInfo = {};
    docInfo.cbSize = sizeof docInfo;
    docInfo.lpszDocName = title;
    if (printer.StartDoc(&docInfo) <= 0) {
        OnEndPrinting(&printer, &info);
        AfxMessageBox(AFX_IDP_FAILED_TO_START_PRINT, MB_ICONEXCLAMATION);
        return;
    }
    bool failed = false;
    for (info.m_nCurPage = info.GetFromPage(); info.m_nCurPage <= info.GetToPage(); ++info.m_nCurPage) {
        OnPrepareDC(&printer, &info);
        if (!info.m_bContinuePrinting)
            break;
        if (printer.StartPage() <= 0) {
            failed = true;
            break;
        }
        info.m_rectDraw.SetRect(0, 0, printer.GetDeviceCaps(HORZRES), printer.GetDeviceCaps(VERTRES));
        OnPrint(&printer, &info);
        if (printer.EndPage() <= 0) {
            failed = true;
            break;
        }
    }
    if (failed)
        printer.AbortDoc();
    else
        printer.EndDoc();
    OnEndPrinting(&printer, &info);
}
void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }
void CView::OnUpdate(CView*, LPARAM, CObject*) { Invalidate(TRUE); }
void CView::OnActivateView(BOOL, CView*, CView*) {}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocument && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CView::PostNcDestroy() { delete this; }

// ---------------------------------------------------------------------------------------------
// Frames

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_CLOSE()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_INITMENUPOPUP, OnInitMenuPopup)
    ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
    ON_MESSAGE(WM_MENUSELECT, OnMenuSelectMessage)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

CFrameWnd::CFrameWnd()
    : m_hAccelTable(nullptr), m_nIDHelp(0), m_bAutoMenuEnable(TRUE), m_hMenuDefault(nullptr), m_pViewActive(nullptr)
{
}

CFrameWnd::~CFrameWnd() = default;

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    // The style bits of the frame itself are not the system's.
    cs.style &= ~static_cast<DWORD>(FWS_ADDTOTITLE);
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDHelp = nIDResource;
    CString strings;
    if (strings.LoadString(nIDResource)) {
        const int newline = strings.Find('\n');
        m_strTitle = newline >= 0 ? strings.Left(newline) : strings;
    }
    LPCSTR resource = MAKEINTRESOURCEA(nIDResource);
    HINSTANCE iconModule = AfxFindResourceHandle(resource, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    HICON icon = ::LoadIconA(iconModule, resource);
    LPCSTR windowClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                             reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), icon);
    HINSTANCE menuModule = AfxFindResourceHandle(resource, MAKEINTRESOURCEA(4) /* RT_MENU */);
    m_hMenuDefault = ::LoadMenuA(menuModule, resource);
    HINSTANCE accelModule = AfxFindResourceHandle(resource, MAKEINTRESOURCEA(9) /* RT_ACCELERATOR */);
    m_hAccelTable = ::LoadAcceleratorsA(accelModule, resource);

    if (!CreateEx(0, windowClass, m_strTitle, dwDefaultStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, pParentWnd ? pParentWnd->m_hWnd : nullptr, m_hMenuDefault, pContext)) {
        // The frame's object may be gone already (it deletes itself when its window ends).
        return FALSE;
    }
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCTA lpcs)
{
    auto* context = static_cast<CCreateContext*>(lpcs->lpCreateParams);
    if (!OnCreateClient(lpcs, context))
        return -1;
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCTA, CCreateContext* pContext)
{
    if (pContext && pContext->m_pNewViewClass)
        return CreateView(pContext, AFX_IDW_PANE_FIRST) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    CObject* made = pContext->m_pNewViewClass->CreateObject();
    CWnd* view = DYNAMIC_DOWNCAST(CWnd, made);
    if (!view) {
        delete made;
        return nullptr;
    }
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, nID, pContext)) {
        // A view whose window failed deletes itself (PostNcDestroy).
        return nullptr;
    }
    return view;
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
    CView* old = m_pViewActive;
    if (old == pViewNew)
        return;
    m_pViewActive = pViewNew;
    if (bNotify) {
        if (old)
            old->OnActivateView(FALSE, pViewNew, old);
        if (pViewNew)
            pViewNew->OnActivateView(TRUE, pViewNew, old);
    }
}

CDocument* CFrameWnd::GetActiveDocument()
{
    return m_pViewActive ? m_pViewActive->GetDocument() : nullptr;
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible)
{
    if (!m_pViewActive) {
        CView* pane = DYNAMIC_DOWNCAST(CView, CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST)));
        if (pane)
            SetActiveView(pane, FALSE);
    }
    SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    (void)pDoc;
    if (bMakeVisible) {
        ActivateFrame();
        OnUpdateFrameTitle(TRUE);
    }
}

void CFrameWnd::ActivateFrame(int nCmdShow)
{
    if (nCmdShow == -1)
        nCmdShow = IsIconic() ? SW_RESTORE : SW_SHOW;
    ShowWindow(nCmdShow);
    BringWindowToTop();
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    CDocument* doc = GetActiveDocument();
    if (!bAddToTitle || !doc || doc->GetTitle().IsEmpty()) {
        SetWindowText(m_strTitle);
        return;
    }
    SetWindowText(m_strTitle.IsEmpty() ? doc->GetTitle() : doc->GetTitle() + " - " + m_strTitle);
}

void CFrameWnd::RecalcLayout(BOOL)
{
    // The bars take their strips first; the pane gets what they leave.
    AFX_SIZEPARENTPARAMS layout = {};
    ::GetClientRect(m_hWnd, &layout.rect);
    layout.sizeTotal = {layout.rect.right, layout.rect.bottom};
    layout.bStretch = TRUE;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const UINT id = static_cast<UINT>(::GetDlgCtrlID(child));
        if (id >= AFX_IDW_CONTROLBAR_FIRST && id <= AFX_IDW_CONTROLBAR_LAST)
            ::SendMessageA(child, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }
    HWND pane = ::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST);
    if (!pane)
        return;
    const RECT& r = layout.rect;
    ::MoveWindow(pane, r.left, r.top, std::max(0L, r.right - r.left), std::max(0L, r.bottom - r.top), TRUE);
}

void CFrameWnd::GetMessageString(UINT nID, CString& rMessage) const
{
    rMessage.Empty();
    CString text;
    if (!text.LoadString(nID))
        return;
    const int newline = text.Find('\n');
    rMessage = newline >= 0 ? text.Left(newline) : text;
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam)
{
    CString message;
    if (wParam != 0)
        GetMessageString(static_cast<UINT>(wParam), message);
    else if (lParam != 0)
        message = reinterpret_cast<LPCSTR>(lParam);
    else
        message.LoadString(AFX_IDS_IDLEMESSAGE);
    auto* bar = DYNAMIC_DOWNCAST(CStatusBar, CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, AFX_IDW_STATUS_BAR)));
    if (bar)
        bar->SetPaneText(0, message);
    return 0;
}

LRESULT CFrameWnd::OnMenuSelectMessage(WPARAM wParam, LPARAM lParam)
{
    const UINT item = LOWORD(wParam);
    const UINT flags = HIWORD(wParam);
    if (flags == 0xFFFF && lParam == 0)   // the menu closed
        return OnSetMessageString(0, 0);
    if (flags & (MF_POPUP | MF_SEPARATOR | MF_SYSMENU))
        return OnSetMessageString(0, reinterpret_cast<LPARAM>(""));
    return OnSetMessageString(item, 0);
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM)
{
    HMENU bar = (GetStyle() & WS_CHILD) ? nullptr : ::GetMenu(m_hWnd);
    if (!bar || !m_bAutoMenuEnable)
        return 0;
    // Only the bar's own command items: popups update when they open.
    bool changed = false;
    CCmdUI state;
    state.m_hMenu = bar;
    state.m_nIndexMax = static_cast<UINT>(::GetMenuItemCount(bar));
    for (UINT i = 0; i < state.m_nIndexMax; ++i) {
        const UINT id = ::GetMenuItemID(bar, static_cast<int>(i));
        if (id == 0 || id == static_cast<UINT>(-1))
            continue;
        const UINT before = ::GetMenuState(bar, i, MF_BYPOSITION);
        state.m_nID = id;
        state.m_nIndex = i;
        state.DoUpdate(this, TRUE);
        changed = changed || ::GetMenuState(bar, i, MF_BYPOSITION) != before;
    }
    if (changed)
        ::DrawMenuBar(m_hWnd);
    return 0;
}

void CFrameWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

BOOL CFrameWnd::OnEraseBkgnd(CDC* pDC)
{
    // The view covers the client area; erasing under it would only flicker.
    if (::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST))
        return TRUE;
    return CWnd::OnEraseBkgnd(pDC);
}

namespace {
thread_local CView* t_routingView = nullptr;

// Marks the view a command is routed through for as long as the routing lasts.
class RoutingViewScope
{
public:
    explicit RoutingViewScope(CView* view) : m_previous(t_routingView) { t_routingView = view; }
    ~RoutingViewScope() { t_routingView = m_previous; }
    RoutingViewScope(const RoutingViewScope&) = delete;
    RoutingViewScope& operator=(const RoutingViewScope&) = delete;

private:
    CView* m_previous;
};
}  // namespace

CView* AfxGetRoutingView() { return t_routingView; }

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (m_pViewActive) {
        RoutingViewScope routing(m_pViewActive);
        if (m_pViewActive->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
    }
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (m_hAccelTable && pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST)
        return ::TranslateAcceleratorA(m_hWnd, m_hAccelTable, pMsg);
    return FALSE;
}

LRESULT CFrameWnd::OnInitMenuPopup(WPARAM wParam, LPARAM lParam)
{
    const BOOL systemMenu = HIWORD(lParam);
    CMenu* popup = CMenu::FromHandle(reinterpret_cast<HMENU>(wParam));
    if (!m_bAutoMenuEnable || systemMenu || !popup)
        return Default();
    // Each command item takes its state from the command route.
    CCmdUI state;
    state.m_pMenu = popup;
    state.m_nIndexMax = popup->GetMenuItemCount();
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        const UINT id = popup->GetMenuItemID(static_cast<int>(state.m_nIndex));
        if (id == 0 || id == static_cast<UINT>(-1))
            continue;   // separators and submenus
        state.m_nID = id;
        state.DoUpdate(this, TRUE);
    }
    return 0;
}

void CFrameWnd::OnClose()
{
    CWinApp* app = AfxGetApp();
    const bool isMain = app && app->m_pMainWnd == this;
    if (isMain) {
        // The application ends: every document settles its changes first.
        if (!app->SaveAllModified())
            return;
    } else if (CDocument* doc = GetActiveDocument()) {
        if (!doc->CanCloseFrame(this))
            return;
    }
    if (!isMain) {
        DestroyWindow();   // a document losing its last view closes itself
        return;
    }
    // Closing the documents may destroy this frame (and its object) already.
    HWND hWnd = m_hWnd;
    app->CloseAllDocuments(FALSE);
    if (::IsWindow(hWnd))
        ::DestroyWindow(hWnd);
}

void CFrameWnd::PostNcDestroy()
{
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    if (m_hMenuDefault && !::IsMenu(m_hMenuDefault))
        m_hMenuDefault = nullptr;   // went with the window
    else if (m_hMenuDefault)
        ::DestroyMenu(m_hMenuDefault);
    if (m_hAccelTable)
        ::DestroyAcceleratorTable(m_hAccelTable);
    delete this;
}

// ---------------------------------------------------------------------------------------------
// Document templates

CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                           CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass)
{
    m_strDocStrings.LoadString(nIDResource);
}

CDocTemplate::~CDocTemplate() = default;

BOOL CDocTemplate::GetDocString(CString& rString, DocStringIndex index) const
{
    rString.Empty();
    int start = 0;
    for (int field = 0; field < index; ++field) {
        start = m_strDocStrings.Find('\n', start);
        if (start < 0)
            return FALSE;
        ++start;
    }
    const int end = m_strDocStrings.Find('\n', start);
    rString = end < 0 ? m_strDocStrings.Mid(start) : m_strDocStrings.Mid(start, end - start);
    return TRUE;
}

void CDocTemplate::AddDocument(CDocument* pDoc) { pDoc->m_pDocTemplate = this; }

void CDocTemplate::RemoveDocument(CDocument* pDoc)
{
    if (pDoc->m_pDocTemplate == this)
        pDoc->m_pDocTemplate = nullptr;
}

CDocument* CDocTemplate::CreateNewDocument()
{
    CObject* made = m_pDocClass ? m_pDocClass->CreateObject() : nullptr;
    CDocument* doc = DYNAMIC_DOWNCAST(CDocument, made);
    if (!doc) {
        delete made;
        return nullptr;
    }
    AddDocument(doc);
    return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther)
{
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    CObject* made = m_pFrameClass ? m_pFrameClass->CreateObject() : nullptr;
    CFrameWnd* frame = DYNAMIC_DOWNCAST(CFrameWnd, made);
    if (!frame) {
        delete made;
        return nullptr;
    }
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
        return nullptr;   // the frame deleted itself
    return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

void CDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString title;
    if (!GetDocString(title, docName) || title.IsEmpty())
        title.LoadString(AFX_IDS_UNTITLED);
    pDocument->SetTitle(title);
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(LPCSTR lpszPathName, CDocument*& rpDocMatch)
{
    rpDocMatch = nullptr;
    for (POSITION pos = GetFirstDocPosition(); pos;) {
        CDocument* doc = GetNextDoc(pos);
        if (doc->GetPathName().CompareNoCase(lpszPathName) == 0) {
            rpDocMatch = doc;
            return yesAlreadyOpen;
        }
    }
    CString extension;
    if (GetDocString(extension, filterExt) && !extension.IsEmpty()) {
        const CString path(lpszPathName);
        const int dot = path.ReverseFind('.');
        if (dot >= 0 && path.Mid(dot).CompareNoCase(extension) == 0)
            return yesAttemptNative;
    }
    return yesAttemptForeign;
}

BOOL CDocTemplate::SaveAllModified()
{
    for (POSITION pos = GetFirstDocPosition(); pos;)
        if (!GetNextDoc(pos)->SaveModified())
            return FALSE;
    return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL)
{
    for (POSITION pos = GetFirstDocPosition(); pos;) {
        CDocument* doc = GetNextDoc(pos);
        doc->OnCloseDocument();
        pos = GetFirstDocPosition();   // the list changed
    }
}

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                       CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass), m_pOnlyDoc(nullptr)
{
}

CSingleDocTemplate::~CSingleDocTemplate()
{
    if (m_pOnlyDoc)
        m_pOnlyDoc->m_pDocTemplate = nullptr;
}

void CSingleDocTemplate::AddDocument(CDocument* pDoc)
{
    CDocTemplate::AddDocument(pDoc);
    m_pOnlyDoc = pDoc;
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc)
{
    CDocTemplate::RemoveDocument(pDoc);
    if (m_pOnlyDoc == pDoc)
        m_pOnlyDoc = nullptr;
}

POSITION CSingleDocTemplate::GetFirstDocPosition() const
{
    return m_pOnlyDoc ? BEFORE_START_POSITION : nullptr;
}

CDocument* CSingleDocTemplate::GetNextDoc(POSITION& rPos) const
{
    CDocument* doc = rPos == BEFORE_START_POSITION ? m_pOnlyDoc : nullptr;
    rPos = nullptr;
    return doc;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* doc = m_pOnlyDoc;
    CFrameWnd* frame = nullptr;
    bool created = false;
    if (doc) {
        if (!doc->SaveModified())
            return nullptr;
        POSITION pos = doc->GetFirstViewPosition();
        if (pos)
            frame = doc->GetNextView(pos)->GetParentFrame();
    } else {
        doc = CreateNewDocument();
        if (!doc)
            return nullptr;
        created = true;
    }
    if (!frame) {
        // The document must outlive a frame that fails to be made.
        const BOOL autoDelete = doc->m_bAutoDelete;
        doc->m_bAutoDelete = FALSE;
        frame = CreateNewFrame(doc, nullptr);
        doc->m_bAutoDelete = autoDelete;
        if (!frame) {
            if (created)
                delete doc;
            return nullptr;
        }
    }
    if (!lpszPathName) {
        SetDefaultTitle(doc);
        doc->m_strPathName.Empty();
        if (!doc->OnNewDocument()) {
            if (created)
                frame->DestroyWindow();   // takes the view and the new document with it
            return nullptr;
        }
    } else {
        if (!doc->OnOpenDocument(lpszPathName)) {
            if (created)
                frame->DestroyWindow();
            return nullptr;
        }
        doc->SetPathName(lpszPathName);
    }
    CWinApp* app = AfxGetApp();
    if (app && !app->m_pMainWnd)
        app->m_pMainWnd = frame;
    InitialUpdateFrame(frame, doc, bMakeVisible);
    return doc;
}

// ---------------------------------------------------------------------------------------------
// Document manager

CDocManager::CDocManager() = default;

CDocManager::~CDocManager()
{
    while (!m_templateList.IsEmpty())
        delete static_cast<CDocTemplate*>(m_templateList.RemoveHead());
}

void CDocManager::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (pTemplate && !m_templateList.Find(pTemplate))
        m_templateList.AddTail(pTemplate);
}

CDocument* CDocManager::OpenDocumentFile(LPCSTR lpszFileName)
{
    if (!lpszFileName || !*lpszFileName || m_templateList.IsEmpty())
        return nullptr;
    char full[MAX_PATH];
    const DWORD n = ::GetFullPathNameA(lpszFileName, MAX_PATH, full, nullptr);
    const CString path = (n > 0 && n < MAX_PATH) ? CString(full) : CString(lpszFileName);

    CDocTemplate* best = nullptr;
    CDocTemplate::Confidence bestMatch = CDocTemplate::noAttempt;
    CDocument* openDoc = nullptr;
    for (POSITION pos = m_templateList.GetHeadPosition(); pos;) {
        auto* candidate = static_cast<CDocTemplate*>(m_templateList.GetNext(pos));
        CDocument* match = nullptr;
        const CDocTemplate::Confidence confidence = candidate->MatchDocType(path, match);
        if (confidence > bestMatch) {
            bestMatch = confidence;
            best = candidate;
            openDoc = match;
        }
        if (confidence == CDocTemplate::yesAlreadyOpen)
            break;
    }
    if (openDoc) {
        // Already open: show it.
        POSITION pos = openDoc->GetFirstViewPosition();
        if (pos)
            if (CFrameWnd* frame = openDoc->GetNextView(pos)->GetParentFrame())
                frame->ActivateFrame();
        return openDoc;
    }
    return best ? best->OpenDocumentFile(path) : nullptr;
}

void CDocManager::OnFileNew()
{
    if (m_templateList.IsEmpty())
        return;
    static_cast<CDocTemplate*>(m_templateList.GetHead())->OpenDocumentFile(nullptr);
}

void CDocManager::OnFileOpen()
{
    CString name;
    if (!DoPromptFileName(name, AFX_IDS_OPENFILE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, TRUE, nullptr))
        return;
    OpenDocumentFile(name);
}

BOOL CDocManager::SaveAllModified()
{
    for (POSITION pos = m_templateList.GetHeadPosition(); pos;)
        if (!static_cast<CDocTemplate*>(m_templateList.GetNext(pos))->SaveAllModified())
            return FALSE;
    return TRUE;
}

void CDocManager::CloseAllDocuments(BOOL bEndSession)
{
    for (POSITION pos = m_templateList.GetHeadPosition(); pos;)
        static_cast<CDocTemplate*>(m_templateList.GetNext(pos))->CloseAllDocuments(bEndSession);
}

int CDocManager::GetOpenDocumentCount()
{
    int count = 0;
    for (POSITION pos = m_templateList.GetHeadPosition(); pos;) {
        auto* docTemplate = static_cast<CDocTemplate*>(m_templateList.GetNext(pos));
        for (POSITION doc = docTemplate->GetFirstDocPosition(); doc;) {
            docTemplate->GetNextDoc(doc);
            ++count;
        }
    }
    return count;
}

BOOL CDocManager::DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                                   CDocTemplate* pTemplate)
{
    // Filter "name\0*.ext\0" from the template's strings, then all files.
    CString filter;
    CDocTemplate* source = pTemplate;
    if (!source && !m_templateList.IsEmpty())
        source = static_cast<CDocTemplate*>(m_templateList.GetHead());
    CString filterName, extension;
    if (source && source->GetDocString(filterName, CDocTemplate::filterName) && !filterName.IsEmpty() &&
        source->GetDocString(extension, CDocTemplate::filterExt) && !extension.IsEmpty())
        filter = filterName + '\n' + "*" + extension + '\n';
    filter += "All Files (*.*)\n*.*\n\n";
    std::vector<char> filterText(static_cast<LPCSTR>(filter), static_cast<LPCSTR>(filter) + filter.GetLength() + 1);
    for (char& ch : filterText)
        if (ch == '\n')
            ch = 0;

    CString title;
    title.LoadString(nIDSTitle);
    char path[MAX_PATH];
    lstrcpynA(path, fileName, MAX_PATH);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    CWnd* main = AfxGetMainWnd();
    ofn.hwndOwner = main ? main->m_hWnd : nullptr;
    ofn.lpstrFilter = filterText.data();
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = title.IsEmpty() ? nullptr : static_cast<LPCSTR>(title);
    ofn.Flags = lFlags | OFN_EXPLORER;
    ofn.lpstrDefExt = extension.IsEmpty() ? nullptr : static_cast<LPCSTR>(extension) + 1;
    const BOOL chosen = bOpenFileDialog ? ::GetOpenFileNameA(&ofn) : ::GetSaveFileNameA(&ofn);
    if (chosen)
        fileName = path;
    return chosen;
}
