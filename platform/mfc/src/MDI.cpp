#include "ClMDI.h"
#include "ClException.h"
#include "ClModule.h"
#include "ClResourceIds.h"
#include "ClWinApp.h"

IMPLEMENT_DYNCREATE(CMDIFrameWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)
IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
    ON_COMMAND_EX(ID_WINDOW_ARRANGE, OnWindowCommand)
    ON_COMMAND_EX(ID_WINDOW_CASCADE, OnWindowCommand)
    ON_COMMAND_EX(ID_WINDOW_TILE_HORZ, OnWindowCommand)
    ON_COMMAND_EX(ID_WINDOW_TILE_VERT, OnWindowCommand)
END_MESSAGE_MAP()

CMDIFrameWnd::CMDIFrameWnd() : m_hWndMDIClient(nullptr) {}

HMENU CMDIFrameWnd::GetWindowMenuPopup(HMENU hMenuBar)
{
    if (!hMenuBar)
        return nullptr;
    const int count = ::GetMenuItemCount(hMenuBar);
    for (int i = count - 1; i >= 0; --i) {
        HMENU popup = ::GetSubMenu(hMenuBar, i);
        if (!popup)
            continue;
        const int items = ::GetMenuItemCount(popup);
        for (int j = 0; j < items; ++j) {
            const UINT id = ::GetMenuItemID(popup, j);
            if (id >= ID_WINDOW_NEW && id <= ID_WINDOW_TILE_VERT)
                return popup;
        }
    }
    return nullptr;
}

BOOL CMDIFrameWnd::OnCreateClient(LPCREATESTRUCTA lpcs, CCreateContext*)
{
    return CreateClient(lpcs, CMenu::FromHandle(GetWindowMenuPopup(lpcs->hMenu)));
}

BOOL CMDIFrameWnd::CreateClient(LPCREATESTRUCTA, CMenu* pWindowMenu)
{
    CLIENTCREATESTRUCT client = {};
    client.hWindowMenu = pWindowMenu ? pWindowMenu->m_hMenu : nullptr;
    client.idFirstChild = AFX_IDM_FIRST_MDICHILD;
    m_hWndMDIClient = ::CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL, 0, 0, 0, 0,
                                        m_hWnd, reinterpret_cast<HMENU>(AFX_IDW_PANE_FIRST), AfxGetInstanceHandle(), &client);
    return m_hWndMDIClient != nullptr;
}

LRESULT CMDIFrameWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefFrameProcA(m_hWnd, m_hWndMDIClient, message, wParam, lParam);
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* pbMaximized) const
{
    if (!m_hWndMDIClient)
        return nullptr;
    BOOL maximized = FALSE;
    HWND active = reinterpret_cast<HWND>(::SendMessageA(m_hWndMDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
    if (pbMaximized)
        *pbMaximized = maximized;
    return DYNAMIC_DOWNCAST(CMDIChildWnd, CWnd::FromHandlePermanent(active));
}

CDocument* CMDIFrameWnd::GetActiveDocument()
{
    CMDIChildWnd* child = MDIGetActive();
    return child ? child->GetActiveDocument() : nullptr;
}

BOOL CMDIFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    CMDIChildWnd* child = MDIGetActive();
    if (child && child->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CMDIFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
        if (m_hWndMDIClient && ::TranslateMDISysAccel(m_hWndMDIClient, pMsg))
            return TRUE;
        CMDIChildWnd* child = MDIGetActive();
        if (child && child->m_hAccelTable && ::TranslateAcceleratorA(m_hWnd, child->m_hAccelTable, pMsg))
            return TRUE;
    }
    return CFrameWnd::PreTranslateMessage(pMsg);
}

void CMDIFrameWnd::OnUpdateFrameTitle(BOOL) { SetWindowText(m_strTitle); }

BOOL CMDIFrameWnd::OnWindowCommand(UINT nID)
{
    switch (nID) {
    case ID_WINDOW_ARRANGE: MDIIconArrange(); break;
    case ID_WINDOW_CASCADE: MDICascade(); break;
    case ID_WINDOW_TILE_HORZ: MDITile(MDITILE_HORIZONTAL); break;
    case ID_WINDOW_TILE_VERT: MDITile(MDITILE_VERTICAL); break;
    default: return FALSE;
    }
    return TRUE;
}

// ---------------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
    ON_WM_CREATE()
    ON_MESSAGE(WM_MDIACTIVATE, OnMDIActivate)
END_MESSAGE_MAP()

CMDIChildWnd::CMDIChildWnd() : m_hMenuShared(nullptr) {}

CMDIChildWnd::~CMDIChildWnd() = default;

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const
{
    HWND client = ::GetParent(m_hWnd);
    return client ? DYNAMIC_DOWNCAST(CMDIFrameWnd, CWnd::FromHandlePermanent(::GetParent(client))) : nullptr;
}

BOOL CMDIChildWnd::PreCreateWindow(CREATESTRUCTA& cs)
{
    if (!CFrameWnd::PreCreateWindow(cs))
        return FALSE;
    cs.style |= WS_CHILD;
    cs.dwExStyle |= WS_EX_MDICHILD;
    return TRUE;
}

BOOL CMDIChildWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    CMDIFrameWnd* frame = DYNAMIC_DOWNCAST(CMDIFrameWnd, pParentWnd ? pParentWnd : AfxGetMainWnd());
    if (!frame || !frame->m_hWndMDIClient) {
        PostNcDestroy();   // the object ends as a failed window would
        return FALSE;
    }
    m_nIDHelp = nIDResource;
    CString strings;
    if (strings.LoadString(nIDResource)) {
        const int newline = strings.Find('\n');
        m_strTitle = newline >= 0 ? strings.Left(newline) : strings;
    }
    LPCSTR resource = MAKEINTRESOURCEA(nIDResource);
    m_hMenuShared = ::LoadMenuA(AfxFindResourceHandle(resource, MAKEINTRESOURCEA(4)), resource);
    m_hAccelTable = ::LoadAcceleratorsA(AfxFindResourceHandle(resource, MAKEINTRESOURCEA(9)), resource);
    HICON icon = ::LoadIconA(AfxFindResourceHandle(resource, MAKEINTRESOURCEA(14)), resource);
    LPCSTR windowClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                             reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), icon);
    // A maximised sibling keeps the new child maximised too.
    BOOL maximized = FALSE;
    frame->MDIGetActive(&maximized);
    DWORD style = dwDefaultStyle | WS_CHILD;
    if (maximized)
        style |= WS_MAXIMIZE;
    return CreateEx(WS_EX_MDICHILD, windowClass, m_strTitle, style & ~static_cast<DWORD>(WS_VISIBLE), CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, frame->m_hWndMDIClient, nullptr, pContext);
}

int CMDIChildWnd::OnCreate(LPCREATESTRUCTA lpcs)
{
    // A child made through the MDI client gets its creation data wrapped.
    auto* mdi = static_cast<MDICREATESTRUCTA*>(lpcs->lpCreateParams);
    CCreateContext* context = mdi ? reinterpret_cast<CCreateContext*>(mdi->lParam) : nullptr;
    if (!OnCreateClient(lpcs, context))
        return -1;
    return 0;
}

LRESULT CMDIChildWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefMDIChildProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CMDIChildWnd::OnMDIActivate(WPARAM, LPARAM lParam)
{
    Default();
    CMDIFrameWnd* frame = GetMDIFrame();
    if (!frame)
        return 0;
    const bool activating = reinterpret_cast<HWND>(lParam) == m_hWnd;
    HMENU menu = activating && m_hMenuShared ? m_hMenuShared : (activating ? nullptr : frame->m_hMenuDefault);
    if (activating || !frame->MDIGetActive()) {
        if (!menu)
            menu = frame->m_hMenuDefault;
        if (menu) {
            ::SendMessageA(frame->m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(menu),
                           reinterpret_cast<LPARAM>(frame->GetWindowMenuPopup(menu)));
            ::DrawMenuBar(frame->m_hWnd);
        }
    }
    return 0;
}

void CMDIChildWnd::MDIActivate()
{
    if (CMDIFrameWnd* frame = GetMDIFrame())
        frame->MDIActivate(this);
}

void CMDIChildWnd::MDIDestroy()
{
    if (CMDIFrameWnd* frame = GetMDIFrame())
        ::SendMessageA(frame->m_hWndMDIClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

BOOL CMDIChildWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    CMDIFrameWnd* frame = GetMDIFrame();
    if (!frame || !frame->m_hWndMDIClient)
        return CFrameWnd::DestroyWindow();
    MDIDestroy();
    return TRUE;
}

void CMDIChildWnd::ActivateFrame(int nCmdShow)
{
    ShowWindow(nCmdShow == -1 ? SW_SHOW : nCmdShow);
    MDIActivate();
}

void CMDIChildWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    CDocument* doc = GetActiveDocument();
    SetWindowText(bAddToTitle && doc ? doc->GetTitle() : m_strTitle);
}

void CMDIChildWnd::PostNcDestroy()
{
    // The shared menu may still be the frame's bar; only a menu nobody shows is destroyed.
    if (m_hMenuShared) {
        CMDIFrameWnd* frame = DYNAMIC_DOWNCAST(CMDIFrameWnd, AfxGetMainWnd());
        if (frame && frame->m_hWnd && ::GetMenu(frame->m_hWnd) == m_hMenuShared && frame->m_hMenuDefault) {
            ::SendMessageA(frame->m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(frame->m_hMenuDefault),
                           reinterpret_cast<LPARAM>(frame->GetWindowMenuPopup(frame->m_hMenuDefault)));
            ::DrawMenuBar(frame->m_hWnd);
        }
        if (!frame || !frame->m_hWnd || ::GetMenu(frame->m_hWnd) != m_hMenuShared)
            ::DestroyMenu(m_hMenuShared);
        m_hMenuShared = nullptr;
    }
    CFrameWnd::PostNcDestroy();
}

// ---------------------------------------------------------------------------------------------

CMultiDocTemplate::CMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                     CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass), m_nUntitledCount(0)
{
}

CMultiDocTemplate::~CMultiDocTemplate()
{
    while (!m_docList.IsEmpty())
        static_cast<CDocument*>(m_docList.RemoveHead())->m_pDocTemplate = nullptr;
}

void CMultiDocTemplate::AddDocument(CDocument* pDoc)
{
    CDocTemplate::AddDocument(pDoc);
    if (!m_docList.Find(pDoc))
        m_docList.AddTail(pDoc);
}

void CMultiDocTemplate::RemoveDocument(CDocument* pDoc)
{
    CDocTemplate::RemoveDocument(pDoc);
    if (POSITION pos = m_docList.Find(pDoc))
        m_docList.RemoveAt(pos);
}

void CMultiDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString name;
    if (!GetDocString(name, docName) || name.IsEmpty())
        name.LoadString(AFX_IDS_UNTITLED);
    CString title;
    title.Format("%s%u", static_cast<LPCSTR>(name), ++m_nUntitledCount);
    pDocument->SetTitle(title);
}

CDocument* CMultiDocTemplate::OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* doc = CreateNewDocument();
    if (!doc)
        return nullptr;
    const BOOL autoDelete = doc->m_bAutoDelete;
    doc->m_bAutoDelete = FALSE;   // the document must outlive a frame that fails to be made
    CFrameWnd* frame = CreateNewFrame(doc, nullptr);
    doc->m_bAutoDelete = autoDelete;
    if (!frame) {
        delete doc;
        return nullptr;
    }
    if (!lpszPathName) {
        SetDefaultTitle(doc);
        if (!doc->OnNewDocument()) {
            frame->DestroyWindow();   // takes the view and the document with it
            return nullptr;
        }
    } else {
        if (!doc->OnOpenDocument(lpszPathName)) {
            frame->DestroyWindow();
            return nullptr;
        }
        doc->SetPathName(lpszPathName);
    }
    InitialUpdateFrame(frame, doc, bMakeVisible);
    return doc;
}
