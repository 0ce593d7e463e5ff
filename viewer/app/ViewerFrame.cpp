#include "ViewerFrame.h"

#include "FrameLayout.h"
#include "MediaPanelDlg.h"
#include "ResString.h"
#include "SiteGeometry.h"
#include "ViewerDoc.h"
#include "ViewerMessages.h"
#include "SoundStore.h"

#include <commctrl.h>

namespace {
std::string LoadText(UINT id)
{
    CResString text;
    text.Load(id);
    return text.Text();
}
}  // namespace

CViewerFrame::CViewerFrame() : CViewerWnd("PavaneApp"), m_keyTable(BuildKeyTable(LoadText)) {}

CViewerFrame::~CViewerFrame()
{
    // The windows of the parts go before the frame's own window, the panels before the lists.
    m_soundPanels[0].reset();
    m_soundPanels[1].reset();
    m_view.reset();
    m_toolbar.reset();
    m_document.reset();
}

std::unique_ptr<CViewerPageWnd> CViewerFrame::CreateView() const { return std::make_unique<CViewerPageWnd>(); }
std::unique_ptr<CViewerDoc> CViewerFrame::CreateDocument() const { return std::make_unique<CViewerDoc>(); }
std::unique_ptr<CViewerToolbar> CViewerFrame::CreateToolbar() const { return std::make_unique<CViewerToolbar>(); }

int CViewerFrame::CurrentPageIndex() const
{
    if (!m_view || !m_document)
        return -1;
    for (size_t i = 0; i < m_document->GetSiteCount(); ++i)
        if (&m_document->GetSiteByIndex(i) == m_view->GetSite())
            return static_cast<int>(i);
    return -1;
}

double CViewerFrame::CurrentPageAspect() const
{
    const CViewerSite* site = m_view ? m_view->GetSite() : nullptr;
    return site && site->GetBackground() ? CardSiteAspect(*site->GetBackground()) : 0;
}

void CViewerFrame::GoToPage(int index)
{
    if (!m_document || index < 0 || static_cast<size_t>(index) >= m_document->GetSiteCount())
        return;
    CViewerSite& site = m_document->GetSiteByIndex(static_cast<size_t>(index));
    m_view->SetSite(&site);
    m_view->ZoomToPage();
    m_view->RedrawAll();
    m_toolbar->Enable(ID_ZOOMTOPAGE, false);
    PlaySiteSounds(site.GetID());
}

void CViewerFrame::PlaySiteSounds(int siteId)
{
    // Lists are filed by site id, whatever the site's place in the document.
    const SourceType kinds[2] = {stWave, stMIDI};
    for (int i = 0; i < 2; ++i) {
        CMediaPanelDlg* panel = m_soundPanels[i].get();
        if (!panel)
            continue;
        panel->SetList(m_document->GetSoundStore().FindList(siteId, kinds[i]));
        panel->Seek(0);
        panel->Play();
    }
}

bool CViewerFrame::StartUp()
{
    m_document = CreateDocument();
    const CardLoadResult loaded = m_document->Load(CViewerDoc::kCardResourceType, 1);
    // A program without a card it can read has nothing to show: start-up stops here and the program
    // tells the user instead of opening an empty window.
    if (loaded != CardLoadResult::kCardLoaded || m_document->GetSiteCount() == 0) {
        m_noCard = true;
        return false;
    }

    m_view = CreateView();
    m_toolbar = CreateToolbar();
    m_toolbar->Create(m_hwnd, *m_document);
    m_toolbar->SelectTool(ID_PAN);

    // Panels only for a card with sound lists: the others keep the whole client area for the view.
    if (!m_document->GetSoundStore().IsEmpty()) {
        const HINSTANCE module = GetModuleHandleA(nullptr);
        for (auto& panel : m_soundPanels) {
            panel = std::make_unique<CMediaPanelDlg>();
            if (!panel->Create(m_hwnd, module))
                panel.reset();
        }
    }

    m_view->SetMode(CViewerPageWnd::kPanMode);
    GoToPage(0);
    m_toolbar->Enable(ID_ZOOMTOPAGE, false);

    m_view->Create(m_hwnd, "", WS_CHILD, RECT{0, 0, 0, 0}, WS_EX_CLIENTEDGE);
    m_view->Show();

    m_view->SetClipToMargins(true);
    m_toolbar->SetPressed(ID_CLIPMARGINS, true);

    const SIZE size = StartupFrameSize(m_toolbar->MaxSize().cx, CurrentPageAspect());
    MoveWindow(m_hwnd, 30, 30, size.cx, size.cy, TRUE);
    return true;
}

void CViewerFrame::LayOut()
{
    if (!m_view || !m_toolbar)
        return;
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    const bool sounds = m_soundPanels[0] || m_soundPanels[1];
    const FrameLayoutRects layout = LayOutFrame(client, m_toolbar->Height(), sounds);
    MoveWindow(m_view->GetHwnd(), layout.view.left, layout.view.top, layout.view.right - layout.view.left,
               layout.view.bottom - layout.view.top, TRUE);
    const RECT strip[2] = {layout.soundPanelOne, layout.soundPanelTwo};
    for (int i = 0; i < 2; ++i) {
        if (m_soundPanels[i] && layout.soundPanelsPlaced)
            MoveWindow(m_soundPanels[i]->GetHwnd(), strip[i].left, strip[i].top, strip[i].right - strip[i].left,
                       strip[i].bottom - strip[i].top, TRUE);
    }
}

void CViewerFrame::RefreshCursor()
{
    POINT cursor = {};
    RECT view = {};
    GetCursorPos(&cursor);
    GetWindowRect(m_view->GetHwnd(), &view);
    if (PtInRect(&view, cursor))
        SendMessageA(m_view->GetHwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(m_view->GetHwnd()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

void CViewerFrame::OnCommand(UINT command, WPARAM wParam, LPARAM lParam)
{
    switch (command) {
    case ID_PAN:
        m_view->SetMode(CViewerPageWnd::kPanMode);
        m_toolbar->SelectTool(ID_PAN);
        RefreshCursor();
        break;
    case ID_ZOOM:
        m_view->SetMode(CViewerPageWnd::kZoomMode);
        m_toolbar->SelectTool(ID_ZOOM);
        RefreshCursor();
        break;
    case ID_CLIPMARGINS:
        m_view->SetClipToMargins(!m_view->GetClipToMargins());
        m_toolbar->SetPressed(ID_CLIPMARGINS, m_view->GetClipToMargins());
        m_view->RedrawAll();
        break;
    case ID_ZOOMTOPAGE:
        m_view->ZoomToPage();
        m_view->RedrawAll();
        m_toolbar->Enable(ID_ZOOMTOPAGE, false);
        break;
    case ID_PAGESETUP:
    case ID_PRINT:
        // Printing and its page setup are not offered by this viewer yet.
        break;
    default:
        SendMessageA(m_view->GetHwnd(), WM_COMMAND, wParam, lParam);
        break;
    }
}

LRESULT CViewerFrame::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case VWM_START:
        StartUp();
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        if ((wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) && m_toolbar) {
            m_toolbar->AutoSize();
            LayOut();
        }
        break;
    case WM_KEYDOWN:
        if (!m_view)
            break;
        if (m_keyTable.count(static_cast<UINT>(wParam)))
            SendMessageA(hwnd, WM_COMMAND, m_keyTable[static_cast<UINT>(wParam)], 0);
        else
            SendMessageA(m_view->GetHwnd(), WM_KEYDOWN, wParam, lParam);
        break;
    case WM_COMMAND:
        if (m_view)
            OnCommand(LOWORD(wParam), wParam, lParam);
        break;
    case WM_SIZING:
        if (m_view && m_view->IsFitted()) {
            KeepAspectWhileSizing(static_cast<UINT>(wParam), *reinterpret_cast<RECT*>(lParam), CurrentPageAspect());
            return 1;
        }
        break;
    case VWM_VIEWCHANGED:
        if (m_toolbar)
            m_toolbar->Enable(ID_ZOOMTOPAGE, true);
        break;
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
