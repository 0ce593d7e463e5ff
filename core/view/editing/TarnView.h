#pragma once
// The editing view: one site of a card document in a scrolling window, at any zoom. The view
// never draws the document into the window directly: its off-screen canvas keeps the visible
// area, asks the view (through the view's events interface) to render the parts it lacks, and a
// paint copies the canvas to the window.
#include <windows.h>
#include <ocidl.h>

#include <map>

#include "ClScrollView.h"
#include "PointF.h"
#include "RectF.h"
#include "TarnApi.h"
#include "TarnControls.h"
#include "ViewMapping.h"

class CTarnDoc;
class CDrawOptions;

// Command ids of the view.
#define ID_VIEW_ZOOM_IN 10010
#define ID_VIEW_ZOOM_OUT 10011
#define ID_VIEW_REFRESH 10012
#define ID_VIEW_ZOOM_TO_PAGE 10016
#define ID_VIEW_ZOOM_TO_ALL_CONTROLS 10129
#define ID_TOOL_ARROW 10034
#define ID_OLE_INSERT_NEW 57856
// "The object could not be inserted."
#define IDP_FAILED_TO_CREATE 12086

class TARN_API CTarnView : public CScrollView {
    DECLARE_DYNCREATE(CTarnView)
public:
    CTarnView();
    ~CTarnView() override;

    // The view's shared resources: loaded once by the application before the rendering object.
    static void InitializeStatic();
    static void UninitializeStatic();
    static HCURSOR m_crPanTool;
    static HCURSOR m_crMagnGlass;

    CTarnDoc* GetDocument() const;
    int GetSiteID() const { return m_nSiteID; }
    int GetID() const { return m_nID; }
    double GetZoomValue() const { return m_dZoom; }
    double GetMinZoom() const { return m_dMinZoom; }
    double GetMaxZoom() const { return m_dMaxZoom; }
    CPoint GetSiteOffset() const { return m_ptSiteOffset; }
    BOOL IsRegistered() const { return m_bRegistered; }
    BOOL IsClipped() const { return m_bClipView; }
    ITarnViewEvents* GetIViewEvents() { return reinterpret_cast<ITarnViewEvents*>(&m_xViewEvents); }
    ITarnCanvas* GetCanvas() const { return m_pCanvas; }

    // ---- coordinates: document inches, view pixels, window pixels
    CViewMapping GetMapping() const;
    double GetPixelsPerZoomedInch() const { return kViewPixelsPerInch * m_dZoom; }
    CPoint DocToView(const CPointF& p) const { return GetMapping().DocToView(p); }
    CPointF ViewToDoc(const CPoint& p) const { return GetMapping().ViewToDoc(p); }
    CPoint WinToView(const CPoint& p) const { return GetMapping().WinToView(p); }
    CPoint ViewToWin(const CPoint& p) const { return GetMapping().ViewToWin(p); }
    CPoint DocToWin(const CPointF& p) const { return GetMapping().DocToWin(p); }
    CPointF WinToDoc(const CPoint& p) const { return GetMapping().WinToDoc(p); }
    CPointF GetDocPositionInCenter() const;
    void SetDocPositionInCenter(const CPointF& p);
    void SetDocPositionInWinPoint(const CPointF& p, const CPoint& winPoint);
    // Scrolls as near the position as the scroll range allows.
    void SafeScrollToPosition(const CPoint& position);
    // A scrolling key (arrows, Page Up and Down, Home, End; with Shift to the site's edges). TRUE
    // when the position changed; nothing moves while the view is frozen.
    virtual BOOL PerformKeyScrolling(UINT vk, BOOL shift);

    // ---- zoom
    // Returns the previous zoom.
    double SetZoomValue(double zoom, int keepCentre, int force);
    double SetZoomValue(double zoom) { return SetZoomValue(zoom, 1, 0); }
    virtual void ZoomToRect(const CRectF& rect, int withMargins, int force);
    virtual void ZoomToPage();
    // The union of the site's controls, when it holds any.
    virtual void ZoomToAllControls();
    virtual double GetPageZoomValue();
    virtual void UpdateMinMaxZoomVal();
    virtual void UpdateSiteOffset();
    virtual void UpdateCanvasOffset(int bCopy);
    virtual void UpdateAll(int force) { SetZoomValue(m_dZoom, 1, force); }
    // Follows the option "RestrictVisibleArea" when it changed.
    virtual void UpdateVisibleAreaRestriction();
    // The site's area in inches: with the room around the sheet (the scroll area) or the sheet
    // itself, with or without its margins.
    virtual CRectF GetSiteArea(int withExtra, int withMargins);

    // ---- the site shown
    // Shows another site: the zoom and centre the view had when it last showed that site come
    // back; a site never shown opens zoomed to page.
    virtual void SetSiteID(int id);
    void DetachFromSite();
    virtual void RemoveSiteInfo(int id) { m_mapSitePos.erase(id); }
    virtual void ClearSitePosMap() { m_mapSitePos.clear(); }

    // ---- drawing and invalidation (bCanvas: the off-screen canvas too)
    virtual void Invalidate(int bCanvas, int bErase);
    virtual void InvalidateRect(int bCanvas, const CRectF& docRect);
    virtual void InvalidateRect(int bCanvas, const CRect& viewRect);
    virtual void ValidateRect(int bCanvas, const CRectF& docRect);
    virtual void ValidateRect(int bCanvas, const CRect& viewRect);
    virtual void OnPaintCount(int count);
    virtual void DrawToCanvas(CRect* viewRect);
    virtual void DrawViewBackground(CDC* pDC, const CRect& viewRect);
    virtual void ModifyDrawOptions(CDrawOptions*) {}
    virtual int IsTemporary() { return 0; }

    void OnDraw(CDC* pDC) override;
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    BOOL OnScrollBy(CSize sizeScroll, BOOL bDoScroll = TRUE) override;
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;

    void OnSize(UINT nType, int cx, int cy);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnPaint();
    void OnZoomIn();
    void OnZoomOut();
    void OnUpdateZoomIn(CCmdUI* pCmdUI);
    void OnUpdateZoomOut(CCmdUI* pCmdUI);
    void OnZoomToPage() { ZoomToPage(); }
    void OnZoomToAllControls() { ZoomToAllControls(); }
    void OnRefresh() { Invalidate(1, 1); }
    void OnInsertObject();

protected:
    // A drawing request for the view rectangle, filled the way every drawing of the view is.
    CDrawOptions* MakeDrawOptions(const CRect& viewRect);
    CSize ClientSize() const { return CSize(m_sizeClient.cx, m_sizeClient.cy); }
    // The window area the paint in progress covers.
    CRect m_paintRect{0, 0, 0, 0};

    BEGIN_INTERFACE_PART(ViewEvents, ITarnViewEvents)
        STDMETHOD(RegisterNewControlInserter)(IControlInserter* inserter) override;
        STDMETHOD(UpdateCanvas)(RECT* pRect) override;
        STDMETHOD(TransferCoordinates)(tagPointData* point) override;
        STDMETHOD(TransferSize)(tagSizeData* sizeData) override;
        STDMETHOD(Invalidate)(RECT* viewRect, long MakeValid, long IncludingOffscreenDCs) override;
        STDMETHOD(GetDC)(HDC* hdc) override;
        STDMETHOD(GetControlIndex)(IBaseControl* control, long* index) override;
        STDMETHOD(RegisterNewControl)(IBaseControl* control, long bSelect) override;
        STDMETHOD(InsertControl)(IBaseControl* control, long index) override;
        STDMETHOD(InsertControlList)(IBaseControl** controls, long* indices, int nCount) override;
        STDMETHOD(DeleteControl)(IBaseControl* control) override;
        STDMETHOD(DeleteControlList)(IBaseControl** controls, int nCount) override;
        STDMETHOD(GetHWND)(LONG_PTR* hwnd) override;
        STDMETHOD(HitTestControlList)(tagPointF point, long idHitTest, IBaseControl** control) override;
        STDMETHOD(SetSelMode)(long mode) override;
        STDMETHOD(GetSelMode)(long* mode) override;
        STDMETHOD(IsControlSelected)(IBaseControl* control) override;
        STDMETHOD(SelectControl)(IBaseControl* control) override;
        STDMETHOD(FreezeView)(long bFreeze) override;
        STDMETHOD(SnapPoint)(tagPointF* point, long lMode) override;
        STDMETHOD(SnapRect)(tagRectF* rect) override;
        STDMETHOD(ForceUndo)(long bExecute) override;
        STDMETHOD(ForceRedo)(long bExecute) override;
    END_INTERFACE_PART(ViewEvents)
    DECLARE_INTERFACE_MAP()
    DECLARE_MESSAGE_MAP()

public:
    int m_nSiteID = -1;
    int m_bFirstPaintDone = 0;
    int m_bFitPageOnResize = 0;
    SIZE m_sizeClient = {0, 0};
    double m_dZoom = 1.0;
    double m_dMinZoom = 0.05;
    double m_dMaxZoom = 1.0;
    CPoint m_ptSiteOffset{0, 0};
    int m_nCursorMode = 0;
    int m_bRestrictVisibleArea = 0;
    int m_bShowMargins = 1;
    int m_bShowRulers = 1;
    int m_bClipView = 1;
    int m_bDrawFlag = 1;
    int m_bShowPrintDialog = 1;
    int m_nSelMode = 0;
    int m_bRegistered = 0;
    int m_bFrozen = 0;
    int m_bInCommand = 0;
    UINT m_nPrevTool = ID_TOOL_ARROW;
    UINT m_nCurTool = ID_TOOL_ARROW;
    int m_nID = 0;
    ITarnCanvas* m_pCanvas = nullptr;
    IOleInPlaceObjectWindowless* m_pNotificator = nullptr;
    DWORD m_dwNotificatorCookie = 0;
    DWORD m_dwCanvasCookie = 0;

    // Per site: the zoom and the document point in the centre when the view last left it.
    struct SitePosition {
        double zoom;
        CPointF centre;
    };
    std::map<int, SitePosition> m_mapSitePos;

    static int m_ViewCounter;
};
