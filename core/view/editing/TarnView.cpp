#include "TarnView.h"

#include <algorithm>
#include <cmath>

#include "ClDC.h"
#include "ClException.h"
#include "ClModule.h"
#include "ComHelpers.h"
#include "DrawOptions.h"
#include "OptionsManager.h"
#include "TarnDoc.h"
#include "TarnSite.h"
#include "ViewHints.h"
#include "ViewScrolling.h"
#include "ViewUpdateHint.h"
#include "ViewZoom.h"

IMPLEMENT_DYNCREATE(CTarnView, CScrollView)

BEGIN_MESSAGE_MAP(CTarnView, CScrollView)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_COMMAND(ID_VIEW_ZOOM_IN, OnZoomIn)
    ON_COMMAND(ID_VIEW_ZOOM_OUT, OnZoomOut)
    ON_UPDATE_COMMAND_UI(ID_VIEW_ZOOM_IN, OnUpdateZoomIn)
    ON_UPDATE_COMMAND_UI(ID_VIEW_ZOOM_OUT, OnUpdateZoomOut)
    ON_COMMAND(ID_VIEW_ZOOM_TO_PAGE, OnZoomToPage)
    ON_COMMAND(ID_VIEW_ZOOM_TO_ALL_CONTROLS, OnZoomToAllControls)
    ON_COMMAND(ID_VIEW_REFRESH, OnRefresh)
    ON_COMMAND(ID_OLE_INSERT_NEW, OnInsertObject)
END_MESSAGE_MAP()

BEGIN_INTERFACE_MAP(CTarnView, CScrollView)
    INTERFACE_PART(CTarnView, IID_ITarnViewEvents, ViewEvents)
END_INTERFACE_MAP()

int CTarnView::m_ViewCounter = 0;
HCURSOR CTarnView::m_crPanTool = nullptr;
HCURSOR CTarnView::m_crMagnGlass = nullptr;

namespace {
constexpr UINT kPanCursorId = 12017;
constexpr UINT kMagnifierCursorId = 12014;

const CTarnOptions& ViewOptions()
{
    static const CTarnOptions defaults;
    const COptionsManager* options = GetOptionsManager();
    return options ? static_cast<const CTarnOptions&>(*options) : defaults;
}

// Advises the view's events part on an object's connection point for that interface.
DWORD AdviseViewEvents(IUnknown* source, IUnknown* sink)
{
    DWORD cookie = 0;
    IConnectionPointContainer* container = nullptr;
    if (FAILED(source->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))))
        return 0;
    IConnectionPoint* point = nullptr;
    if (SUCCEEDED(container->FindConnectionPoint(IID_ITarnViewEvents, &point))) {
        if (FAILED(point->Advise(sink, &cookie))) cookie = 0;
        point->Release();
    }
    container->Release();
    return cookie;
}

void UnadviseViewEvents(IUnknown* source, DWORD cookie)
{
    if (!source || !cookie) return;
    IConnectionPointContainer* container = nullptr;
    if (FAILED(source->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))))
        return;
    IConnectionPoint* point = nullptr;
    if (SUCCEEDED(container->FindConnectionPoint(IID_ITarnViewEvents, &point))) {
        point->Unadvise(cookie);
        point->Release();
    }
    container->Release();
}
}  // namespace

void CTarnView::InitializeStatic()
{
    m_crPanTool = ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(kPanCursorId));
    m_crMagnGlass = ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(kMagnifierCursorId));
}

void CTarnView::UninitializeStatic() {}

CTarnView::CTarnView()
{
    m_bCenter = FALSE;   // the site offset centres a small site
    const CTarnOptions& options = ViewOptions();
    m_bClipView = options.m_bClipView;
    m_bShowMargins = options.m_bShowMargins;
    m_bShowRulers = options.m_bShowRulers;
    m_bRestrictVisibleArea = options.m_nRestrictVisibleArea;
    m_nID = m_ViewCounter++;

    HRESULT hr = ::CoCreateInstance(CLSID_TarnCanvas, nullptr, CLSCTX_INPROC_SERVER, IID_ITarnCanvas,
                                    reinterpret_cast<void**>(&m_pCanvas));
    if (FAILED(hr)) AfxThrowOleException(hr);
    hr = ::CoCreateInstance(CLSID_NewControlNotificator, nullptr, CLSCTX_INPROC_SERVER, IID_IOleInPlaceObjectWindowless,
                            reinterpret_cast<void**>(&m_pNotificator));
    if (FAILED(hr)) {
        m_pCanvas->Release();
        m_pCanvas = nullptr;
        AfxThrowOleException(hr);
    }
    m_dwCanvasCookie = AdviseViewEvents(m_pCanvas, GetIViewEvents());
    m_dwNotificatorCookie = AdviseViewEvents(m_pNotificator, GetIViewEvents());
}

CTarnView::~CTarnView()
{
    if (m_pNotificator) {
        UnadviseViewEvents(m_pNotificator, m_dwNotificatorCookie);
        m_pNotificator->Release();
    }
    if (m_pCanvas) {
        UnadviseViewEvents(m_pCanvas, m_dwCanvasCookie);
        m_pCanvas->Release();
    }
}

CTarnDoc* CTarnView::GetDocument() const { return DYNAMIC_DOWNCAST(CTarnDoc, m_pDocument); }

BOOL CTarnView::PreCreateWindow(CREATESTRUCTA& cs)
{
    if (!CScrollView::PreCreateWindow(cs)) return FALSE;
    static const char* viewClass = nullptr;
    if (!viewClass) viewClass = _strdup(AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW)));
    cs.lpszClass = viewClass;
    return TRUE;
}

// ---- coordinates

CViewMapping CTarnView::GetMapping() const
{
    return CViewMapping(m_dZoom, m_hWnd ? GetScrollPosition() : CPoint(0, 0), m_ptSiteOffset);
}

CPointF CTarnView::GetDocPositionInCenter() const
{
    return WinToDoc(CPoint(m_sizeClient.cx / 2, m_sizeClient.cy / 2));
}

void CTarnView::SetDocPositionInCenter(const CPointF& p)
{
    SetDocPositionInWinPoint(p, CPoint(m_sizeClient.cx / 2, m_sizeClient.cy / 2));
}

void CTarnView::SetDocPositionInWinPoint(const CPointF& p, const CPoint& winPoint)
{
    const CPoint view = DocToView(p);
    SafeScrollToPosition(CPoint(view.x + m_ptSiteOffset.x - winPoint.x, view.y + m_ptSiteOffset.y - winPoint.y));
}

void CTarnView::SafeScrollToPosition(const CPoint& position)
{
    if (m_hWnd) ScrollToPosition(ClampViewScroll(position, GetTotalSize(), ClientSize()));
    UpdateCanvasOffset(1);
}

void CTarnView::SetSiteID(int id)
{
    if (id != m_nSiteID) {
        if (m_nSiteID != -1) {
            m_nSelMode = 0;
            m_mapSitePos[m_nSiteID] = SitePosition{m_dZoom, GetDocPositionInCenter()};
        }
        m_nSiteID = id;
        UpdateMinMaxZoomVal();
        Invalidate(1, 1);
        const auto known = m_mapSitePos.find(id);
        if (known != m_mapSitePos.end()) {
            SetZoomValue(known->second.zoom, 0, 1);
            SetDocPositionInCenter(known->second.centre);
        } else {
            ZoomToPage();
        }
    }
    if (CFrameWnd* frame = m_hWnd ? GetParentFrame() : nullptr) frame->OnUpdateFrameTitle(TRUE);
}

void CTarnView::DetachFromSite() { m_nSiteID = -1; }

BOOL CTarnView::PerformKeyScrolling(UINT vk, BOOL shift)
{
    if (m_bFrozen) return FALSE;
    CTarnDoc* doc = GetDocument();
    CTarnSite* site = doc ? doc->GetSite(m_nSiteID) : nullptr;
    ViewSiteEdges edges{0, 0, 0, 0};
    if (site) {
        // The site's farthest point in each arrow direction, as a scroll position.
        auto horizontal = [&](unsigned direction) {
            const double e = site->GetExtremeSitePoint(direction, m_bShowMargins, 1);
            return DocToView(CPointF(e, 0)).x + m_ptSiteOffset.x;
        };
        auto vertical = [&](unsigned direction) {
            const double e = site->GetExtremeSitePoint(direction, m_bShowMargins, 1);
            return DocToView(CPointF(0, e)).y + m_ptSiteOffset.y;
        };
        edges = {horizontal(VK_LEFT), vertical(VK_UP), horizontal(VK_RIGHT), vertical(VK_DOWN)};
    }
    const CPoint before = GetScrollPosition();
    SafeScrollToPosition(ViewKeyScrollTarget(vk, shift != 0, before, ClientSize(), edges));
    const CPoint after = GetScrollPosition();
    return after.x != before.x || after.y != before.y;
}

CRectF CTarnView::GetSiteArea(int withExtra, int withMargins)
{
    CTarnDoc* doc = GetDocument();
    CTarnSite* site = doc ? doc->GetSite(m_nSiteID) : nullptr;
    return site ? site->GetTotalArea(withExtra, withMargins, 0) : CRectF(0, 0, 0, 0);
}

// ---- zoom

void CTarnView::UpdateMinMaxZoomVal()
{
    const ViewZoomLimits limits =
        ComputeViewZoomLimits(GetSiteArea(1, 0), ClientSize(), m_bRestrictVisibleArea != 0, IsOldScrollRangeSystem());
    m_dMinZoom = limits.minZoom;
    m_dMaxZoom = limits.maxZoom;
}

double CTarnView::SetZoomValue(double zoom, int keepCentre, int force)
{
    const double old = m_dZoom;
    const CPointF centre = keepCentre ? GetDocPositionInCenter() : CPointF(0, 0);
    m_dZoom = ClampViewZoom(zoom, old, ViewZoomLimits{m_dMinZoom, m_dMaxZoom});
    if (!IsViewZoomChange(old, m_dZoom, force != 0)) return old;

    const CRectF area = GetSiteArea(1, 0);
    if (m_hWnd) {
        SetRedraw(FALSE);
        SetScrollSizes(MM_TEXT, ViewScrollTotal(area, GetPixelsPerZoomedInch()), ViewScrollPage(ClientSize()));
    }
    UpdateSiteOffset();
    if (keepCentre) SetDocPositionInCenter(centre);
    if (m_bRegistered) UpdateCanvasOffset(1);
    if (m_hWnd) SetRedraw(TRUE);
    Invalidate(1, 1);
    return old;
}

void CTarnView::UpdateSiteOffset()
{
    m_ptSiteOffset =
        ViewSiteOffset(GetSiteArea(1, 0), GetPixelsPerZoomedInch(), ClientSize(), m_bRestrictVisibleArea != 0);
    Invalidate(1, 1);
}

void CTarnView::ZoomToRect(const CRectF& rect, int withMargins, int force)
{
    const DWORD style = m_hWnd ? GetStyle() : 0;
    const CSize fitClient = ViewFitClientSize(ClientSize(), (style & WS_HSCROLL) != 0, (style & WS_VSCROLL) != 0,
                                              ::GetSystemMetrics(SM_CYHSCROLL), ::GetSystemMetrics(SM_CXVSCROLL));
    const ViewRectFit fit = FitViewToRect(rect, fitClient, withMargins != 0);
    if (fit.setZoom) SetZoomValue(fit.zoom, 0, force);
    SetDocPositionInCenter(fit.centre);
}

void CTarnView::ZoomToPage() { ZoomToRect(GetSiteArea(0, m_bShowMargins), 1, 1); }

void CTarnView::ZoomToAllControls()
{
    CTarnDoc* doc = GetDocument();
    CTarnSite* site = doc ? doc->GetSite(m_nSiteID) : nullptr;
    if (!site || site->GetControlCount() == 0) return;
    CRectF all(0, 0, 0, 0);
    bool first = true;
    for (int i = 0; i < site->GetControlCount(); ++i) {
        IBaseControl* control = site->GetControlAt(i);
        tagRectF rect = {};
        if (!control || FAILED(control->get_Rect(&rect))) continue;
        const CRectF r(rect);
        if (first) {
            all = r;
            first = false;
        } else {
            all = CRectF(std::min(all.left, r.left), std::min(all.top, r.top), std::max(all.right, r.right),
                         std::max(all.bottom, r.bottom));
        }
    }
    if (!first) ZoomToRect(all, 1, 0);
}

double CTarnView::GetPageZoomValue() { return ViewPageZoom(GetSiteArea(0, m_bShowMargins), ClientSize()); }

void CTarnView::UpdateCanvasOffset(int bCopy)
{
    if (!m_pCanvas) return;
    const CPoint origin = WinToView(CPoint(0, 0));
    POINT current = {0, 0};
    if (FAILED(m_pCanvas->GetOffset(&current))) return;
    if (current.x != origin.x || current.y != origin.y) m_pCanvas->SetOffset(origin, bCopy);
}

void CTarnView::OnZoomIn() { SetZoomValue(m_dZoom * ViewOptions().m_dZoomFactor, 1, 0); }
void CTarnView::OnZoomOut() { SetZoomValue(m_dZoom / ViewOptions().m_dZoomFactor, 1, 0); }
void CTarnView::OnUpdateZoomIn(CCmdUI* pCmdUI) { pCmdUI->Enable(m_dZoom < m_dMaxZoom); }
void CTarnView::OnUpdateZoomOut(CCmdUI* pCmdUI) { pCmdUI->Enable(m_dZoom > m_dMinZoom); }

// ---- life

void CTarnView::OnInitialUpdate()
{
    CScrollView::OnInitialUpdate();
    CTarnDoc* doc = GetDocument();
    CTarnSite* first = doc ? doc->GetSiteByIndex(0) : nullptr;
    m_nSiteID = first ? first->GetID() : -1;
    CRect client;
    GetClientRect(&client);
    m_sizeClient = client.Size();
    UpdateMinMaxZoomVal();
    m_dZoom = 0;   // forces the whole layout below
    SetZoomValue(1.0, 0, 0);
    m_bRegistered = 1;
    if (m_pCanvas) m_pCanvas->Initialize(reinterpret_cast<LONG_PTR>(m_hWnd), m_sizeClient.cx, m_sizeClient.cy);
    UpdateCanvasOffset(0);
}

void CTarnView::OnSize(UINT nType, int cx, int cy)
{
    const CPointF centre = m_bRegistered ? GetDocPositionInCenter() : CPointF(0, 0);
    m_sizeClient = {cx, cy};
    CScrollView::OnSize(nType, cx, cy);
    if (!m_bRegistered) return;
    if (m_pCanvas && FAILED(m_pCanvas->Resize(cx, cy))) return;
    if (m_bRestrictVisibleArea) {
        UpdateMinMaxZoomVal();
        if (m_dZoom < m_dMinZoom && !m_bFitPageOnResize) SetZoomValue(m_dMinZoom, 0, 0);
    }
    UpdateSiteOffset();
    if (m_bFitPageOnResize)
        ZoomToPage();
    else
        SetDocPositionInCenter(centre);
    UpdateCanvasOffset(1);
}

void CTarnView::OnUpdate(CView*, LPARAM lHint, CObject* pHint)
{
    auto* update = dynamic_cast<CViewUpdateHint*>(pHint);
    switch (DecideViewHintAction(lHint, m_nSiteID, update != nullptr, update ? update->m_nKind : 0, m_bRegistered != 0)) {
    case ViewHintAction::Ignore: break;
    case ViewHintAction::InvalidateAll: Invalidate(1, 1); break;
    case ViewHintAction::ValidateDocRect: ValidateRect(update->m_nFlag, update->m_rectF); break;
    case ViewHintAction::InvalidateDocRect: InvalidateRect(update->m_nFlag, update->m_rectF); break;
    case ViewHintAction::ValidateViewRect: ValidateRect(update->m_nFlag, update->m_rect); break;
    case ViewHintAction::InvalidateViewRect: InvalidateRect(update->m_nFlag, update->m_rect); break;
    case ViewHintAction::UpdateSiteOffset: UpdateSiteOffset(); break;
    case ViewHintAction::UpdateAll: UpdateAll(0); break;
    case ViewHintAction::UpdateAllForced: UpdateAll(1); break;
    case ViewHintAction::HideParent:
        if (CWnd* parent = GetParent()) parent->ShowWindow(SW_HIDE);
        break;
    case ViewHintAction::UpdateVisibleAreaRestriction: UpdateVisibleAreaRestriction(); break;
    case ViewHintAction::NormalSelectionMode: m_nSelMode = 0; break;
    }
}

void CTarnView::UpdateVisibleAreaRestriction()
{
    const int wanted = ViewOptions().m_nRestrictVisibleArea ? 1 : 0;
    if ((m_bRestrictVisibleArea ? 1 : 0) == wanted) return;
    m_bRestrictVisibleArea = wanted;
    const CPointF centre = GetDocPositionInCenter();
    UpdateMinMaxZoomVal();
    if (m_bRestrictVisibleArea && m_dZoom < m_dMinZoom)
        SetZoomValue(m_dMinZoom, 0, 0);
    else
        UpdateSiteOffset();
    SetDocPositionInCenter(centre);
    UpdateCanvasOffset(1);
}

BOOL CTarnView::OnScrollBy(CSize sizeScroll, BOOL bDoScroll)
{
    const BOOL moved = CScrollView::OnScrollBy(sizeScroll, bDoScroll);
    if (moved && bDoScroll) UpdateCanvasOffset(1);
    return moved;
}

void CTarnView::OnInsertObject()
{
    // Embedded objects have no container here yet: the insertion fails and says so.
    AfxMessageBox(IDP_FAILED_TO_CREATE);
}

// ---- drawing

BOOL CTarnView::OnEraseBkgnd(CDC*) { return TRUE; }

void CTarnView::OnPaint()
{
    CPaintDC dc(this);
    OnPrepareDC(&dc, nullptr);
    m_paintRect = dc.m_ps.rcPaint;
    OnDraw(&dc);
}

void CTarnView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    pDC->SetMapMode(MM_TEXT);
    if (pDC->IsPrinting()) {
        pDC->SetViewportOrg(0, 0);
    } else {
        const CPoint scroll = GetScrollPosition();
        pDC->SetViewportOrg(m_ptSiteOffset.x - scroll.x, m_ptSiteOffset.y - scroll.y);
    }
    CView::OnPrepareDC(pDC, pInfo);
}

void CTarnView::OnPaintCount(int) { ZoomToPage(); }

CDrawOptions* CTarnView::MakeDrawOptions(const CRect& viewRect)
{
    CDrawOptions* options = CDrawOptions::Create();
    options->Init(m_pCanvas, viewRect, m_dZoom, kViewPixelsPerInch, m_nID, nullptr, 0, m_bClipView, m_bShowMargins,
                  m_bShowMargins, m_bDrawFlag, GetIViewEvents(), 0, 0, nullptr);
    ModifyDrawOptions(options);
    return options;
}

void CTarnView::OnDraw(CDC* pDC)
{
    if (pDC->IsPrinting()) return;
    if (!m_bFirstPaintDone) {
        OnPaintCount(0);
        m_bFirstPaintDone = 1;
        return;
    }
    const CRect& update = m_paintRect;
    if (update.IsRectEmpty()) return;
    const CPoint topLeft = WinToView(CPoint(update.left, update.top));
    const CPoint bottomRight = WinToView(CPoint(update.right, update.bottom));
    const CRect viewRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
    CDrawOptions* options = MakeDrawOptions(viewRect);
    if (m_pCanvas) {
        // The window's own DC, without the view's origin: the canvas places its copy itself.
        const int saved = ::SaveDC(pDC->m_hDC);
        ::SetViewportOrgEx(pDC->m_hDC, 0, 0, nullptr);
        try {
            m_pCanvas->Paint(pDC->m_hDC, viewRect, 0, 0.0, 0, 0);
        } catch (...) {
            // A failing canvas leaves this paint without the document; the next one tries again.
        }
        ::RestoreDC(pDC->m_hDC, saved);
    }
    delete options;
}

void CTarnView::DrawToCanvas(CRect* viewRect)
{
    if (!viewRect || !m_pCanvas) return;
    CDrawOptions* options = MakeDrawOptions(*viewRect);
    HDC dc = nullptr;
    if (FAILED(m_pCanvas->GetHDC(&dc)) || !dc) {
        delete options;
        return;
    }
    DrawViewBackground(CDC::FromHandle(dc), *viewRect);
    if (CTarnDoc* doc = GetDocument()) doc->OnDraw(dc, options, m_nSiteID);
    delete options;
}

void CTarnView::DrawViewBackground(CDC* pDC, const CRect& viewRect)
{
    ::FillRect(pDC->m_hDC, &viewRect, ::GetSysColorBrush(COLOR_APPWORKSPACE));
}

// ---- invalidation

void CTarnView::Invalidate(int bCanvas, int bErase)
{
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, bErase);
    if (bCanvas && m_pCanvas) m_pCanvas->Invalidate();
}

void CTarnView::InvalidateRect(int bCanvas, const CRectF& docRect)
{
    CRect view = GetMapping().DocToView(docRect);
    view.InflateRect(1, 1);
    InvalidateRect(bCanvas, view);
}

void CTarnView::ValidateRect(int bCanvas, const CRectF& docRect)
{
    ValidateRect(bCanvas, GetMapping().DocToView(docRect));
}

void CTarnView::InvalidateRect(int bCanvas, const CRect& viewRect)
{
    const CRect win = GetMapping().ViewToWin(viewRect);
    if (m_hWnd) ::InvalidateRect(m_hWnd, &win, FALSE);
    if (bCanvas && m_pCanvas) {
        CRect copy = viewRect;
        m_pCanvas->InvalidateRect(&copy);
    }
}

void CTarnView::ValidateRect(int bCanvas, const CRect& viewRect)
{
    const CRect win = GetMapping().ViewToWin(viewRect);
    if (m_hWnd) ::ValidateRect(m_hWnd, &win);
    if (bCanvas && m_pCanvas) {
        CRect copy = viewRect;
        m_pCanvas->ValidateRect(&copy);
    }
}
