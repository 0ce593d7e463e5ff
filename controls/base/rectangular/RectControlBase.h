#pragma once
// The layer of every drawing control whose geometry is the unit frame (-1,-1)..(1,1) placed on the
// page by a linear transform: IRectangularControl and its undoable twin, the geometric IBaseControl
// operations, the 0x4002 records, placing by dragging, the selection frame and handles, and the
// interactive reshaping through those handles (TransformTracking.cpp).
#include <windows.h>

#include <memory>

#include "tarn/DrawControlBase.h"
#include "tarn/LinearTransform.h"

// Record ids of the layer's saved properties.
const long kRecordXOffset = 0x40020001;
const long kRecordYOffset = 0x40020002;
const long kRecordXScale = 0x40020003;
const long kRecordYScale = 0x40020004;
const long kRecordRotateAngle = 0x40020005;
const long kRecordShearAngle = 0x40020006;
const long kRecordDefRotationPoint = 0x40020007;

// Interaction states of the handle drags.
enum : short {
    kStateResizing = 100,
    kStateRotating = 101,
    kStateMovingRotationPoint = 102,
    kStateSkewing = 103,
};

// Captions of the layer's undo records.
const UINT kCaptionRotateFrame = 21217;
const UINT kCaptionSkewFrame = 21218;
const UINT kCaptionRotationPoint = 21219;
const UINT kCaptionTransform = 21226;
const UINT kCaptionXScale = 21227;
const UINT kCaptionYScale = 21228;

// Frame pen and background of the placing frame and the outline feedback.
const COLORREF kFramePenColour = 0x00FFFF;
const COLORREF kFrameBackColour = 0x000080;

// Resource ids of the handle bitmaps and the transform-handle cursors.
const UINT kBitmapCornerHandle = 21104;
const UINT kBitmapEdgeHandle = 21105;
const UINT kCursorRotate = 21124;
const UINT kCursorSkewHorizontal = 21125;
const UINT kCursorSkewVertical = 21126;
const UINT kCursorRotationPoint = 21128;

// Per view: the base record and the handle mode shown in that view.
class CRectViewData : public CControlViewData {
public:
    explicit CRectViewData(ITarnViewEvents* view) : CControlViewData(view) {}
    bool transformHandles = false;  // false: size handles
};

// One handle drag in progress (resize, rotate, rotation point or skew); owned by the control.
struct CTransformTrack {
    ITarnViewEvents* view = nullptr;  // no reference: the view outlives the drag
    bool moved = false;
    int handle = -1;
    tagPointF grabOffset{0, 0};
    tagPointF press{0, 0};
    tagPointF lastPoint{0, 0};
    tagPointF rotationPoint{0, 0};
    tagPointF startCorners[4]{};
    tagPointF corners[4]{};  // the outline shown while the control does not reshape live
    CLinearTransform start;  // the transform at the press
    double angle = 0;        // rotation so far
    bool alt = false;
    // Skew: coefficient, factors and reference point, now and one step before.
    struct Skew {
        double coeff = 1, kx = 0, ky = 0;
        tagPointF ref{0, 0};
    } skew, previousSkew;
};

class CRectControlBase : public CDrawControlBase,
                         public IDispatchFromTypeLib<IRectangularControlDispatch, &IID_IRectangularControlDispatch>,
                         public IRectangularControl {
public:
    CRectControlBase();
    ~CRectControlBase() override;

    HRESULT QueryControlInterface(REFIID iid, void** ppv) override;

    // IRectangularControl
    STDMETHOD(get_XScale)(double* pVal) override;
    STDMETHOD(put_XScale)(double newVal) override;
    STDMETHOD(get_YScale)(double* pVal) override;
    STDMETHOD(put_YScale)(double newVal) override;
    STDMETHOD(get_RotateAngle)(double* pVal) override;
    STDMETHOD(put_RotateAngle)(double newVal) override;
    STDMETHOD(get_SkewAngle)(double* pVal) override;
    STDMETHOD(put_SkewAngle)(double newVal) override;
    STDMETHOD(get_RotationPoint)(tagPointF* pVal) override;
    STDMETHOD(put_RotationPoint)(tagPointF newVal) override;
    STDMETHOD(GetLinearTransformParams)(double* xScale, double* yScale, tagPointF* offset, double* rotateAngle,
                                        double* skewAngle) override;
    STDMETHOD(SetLinearTransformParams)(double xScale, double yScale, tagPointF offset, double rotateAngle,
                                        double skewAngle) override;

    // IRectangularControlDispatch
    STDMETHOD(SetXScale)(double newVal) override;
    STDMETHOD(SetYScale)(double newVal) override;
    STDMETHOD(SetRotateAngle)(double newVal) override;
    STDMETHOD(SetSkewAngle)(double newVal) override;
    STDMETHOD(SetRotationPoint)(double x, double y) override;
    STDMETHOD(SetLinearTransformParams_Disp)(double xScale, double yScale, double offsetX, double offsetY,
                                             double rotateAngle, double skewAngle) override;

    // IBaseControl slots of the layer
    STDMETHOD(get_CenterPoint)(tagPointF* pVal) override;
    STDMETHOD(get_BoundingRect)(tagRectF* pVal) override;
    STDMETHOD(get_Rect)(tagRectF* pVal) override;
    STDMETHOD(put_Rect)(tagRectF newVal) override;
    STDMETHOD(get_FilledRect)(tagRectF* pVal) override;
    STDMETHOD(get_RectForAlignment)(tagRectF* pVal) override;
    STDMETHOD(get_FrameRect)(tagRectF* pVal) override;
    STDMETHOD(RotateBy)(double angle, tagPointF refPoint) override;
    STDMETHOD(RotateBy180)() override;
    STDMETHOD(SkewBy)(double coeff, double skewX, double skewY, tagPointF refPoint) override;
    STDMETHOD(MoveBy)(tagSizeF offset) override;
    STDMETHOD(ScaleBy)(double scaleX, double scaleY) override;
    STDMETHOD(FlipHorizontally)() override;
    STDMETHOD(FlipVertically)() override;
    STDMETHOD(ContainsPoint)(tagPointF DocPoint, double maxDelta, ITarnViewEvents* view) override;
    STDMETHOD(OverlapsWithRect)(tagRectF docRect, ITarnViewEvents* view) override;
    STDMETHOD(Draw)(tagDrawOptions* options) override;
    STDMETHOD(DrawUIShapes)(HDC hDC, ITarnViewEvents* view, tagDrawOptions* options) override;
    STDMETHOD(InvalidateUIShapesInView)(ITarnViewEvents* view) override;
    STDMETHOD(DrawOutlineFast)(HDC hDC, tagDrawOptions* options, ITarnViewEvents* view, double* matrix) override;
    STDMETHOD(InvalidateOutlineFast)(ITarnViewEvents* view, double* matrix) override;
    STDMETHOD(put_Active)(ITarnViewEvents* view, LONG newVal) override;
    STDMETHOD(GetCursor)(tagPointF DocPoint, ITarnViewEvents* view, HICON* cursor) override;

    // Virtual operations added by the layer.
    virtual void DrawXorFrame(HDC hdc, const tagDrawOptions& options, const tagPointF corners[4],
                              COLORREF penColour, COLORREF backColour);
    virtual void PaintFrame(const tagDrawOptions& options, COLORREF penColour, COLORREF backColour);
    virtual void StoreXScale(double value);
    virtual void StoreYScale(double value);
    virtual void StoreRotationPoint(double x, double y);
    virtual void StoreRotateAngle(double value);
    virtual void StoreSkewAngle(double value);
    virtual void PutLinearTransform(double xScale, double yScale, double xOffset, double yOffset,
                                    double rotateAngle, double skewAngle);
    virtual HRESULT SkewFrame(double coeff, double skewX, double skewY, double refX, double refY);
    virtual HRESULT ScaleFrame(double scaleX, double scaleY);
    virtual bool GetHandlePoint(int i, ITarnViewEvents* view, POINT* point);
    virtual bool GetHandleRect(int i, ITarnViewEvents* view, RECT* rect);
    virtual void DrawRotationCentre(HDC hdc, int x, int y);
    virtual bool ResizesLive();
    virtual bool BeginResize(int x, int y, ITarnViewEvents* view);
    virtual bool EndResize(bool commit, bool cancel);
    virtual bool TrackResize(int x, int y);
    virtual bool RotatesLive();
    virtual bool BeginRotate(int x, int y, ITarnViewEvents* view);
    virtual bool EndRotate(bool commit, bool cancel);
    virtual bool TrackRotate(int x, int y);
    virtual bool SkewsLive();
    virtual bool BeginSkew(int x, int y, ITarnViewEvents* view);
    virtual bool EndSkew(bool commit, bool cancel);
    virtual bool TrackSkew(int x, int y);
    virtual bool BeginMoveRotationPoint(int x, int y, ITarnViewEvents* view);
    virtual bool EndMoveRotationPoint(bool commit, bool cancel);
    virtual bool TrackRotationPoint(int x, int y);
    virtual void InvalidateRotationCentre(ITarnViewEvents* view);
    virtual void OnTransformChanged(const CLinearTransform& old);

    // Overrides of the base's virtual operations.
    HRESULT FitToRect(const tagRectF& rect) override;
    HRESULT LoadProperties(CTarnPropertyBag& bag) override;
    HRESULT SaveProperties(IStream* stream) override;
    CControlViewData* CreateViewData(ITarnViewEvents* view) override;
    bool BeginDrag(int x, int y, ITarnViewEvents* view) override;
    bool EndDrag(bool commit, bool cancel) override;
    bool HitTestUIShapes(const tagPointF& point, double tolerance, ITarnViewEvents* view) override;
    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId) override;

    // Handle hit testing: -1 for none, 0-7 clockwise from the top-left corner, 8 the centre or the
    // rotation point.
    int HitTestHandles(const tagPointF& point, ITarnViewEvents* view);
    bool IsNearRotationPoint(const tagPointF& point, ITarnViewEvents* view);

    const CLinearTransform& Transform() const { return transform_; }
    const tagPointF& DefRotationPoint() const { return defRotationPoint_; }
    const CTransformTrack* Track() const { return track_.get(); }
    // The handle mode of a view: true when it shows the transform handles.
    bool ShowsTransformHandles(ITarnViewEvents* view);

protected:
    // The change sequence of every transform edit around `store`; normalises afterwards on request.
    template <class Store>
    void ChangeTransform(Store store, bool normalise);
    void ChangeTail(const CLinearTransform& old);
    // Records the old value of one placement value around the put that changes it.
    HRESULT RecordedPut(const wchar_t* method, UINT caption, double old, HRESULT (STDMETHODCALLTYPE CRectControlBase::*put)(double),
                        double newVal);
    // Starts a handle drag: the state, a fresh record and the press in document units.
    bool StartTrack(short state, int x, int y, ITarnViewEvents* view);
    // One step of the drag in `state`: the pointer in document units; the first step hides the handles.
    bool TrackStep(short state, int x, int y, tagPointF& pointer);
    void Corners(tagPointF out[4]) const { transform_.GetCorners(out); }
    CRectViewData* RectViewData(ITarnViewEvents* view);
    bool IsActiveIn(ITarnViewEvents* view);
    bool DragHasMovedFrame(ITarnViewEvents* view) const;
    void InvalidateFeedback(ITarnViewEvents* view);
    HRESULT RotateTransform(double angle, const tagPointF& ref);

    // Placing by dragging (message map 101).
    bool OnPlacingButtonDown(LPARAM lParam);
    bool OnPlacingMouseMove(WPARAM wParam, LPARAM lParam);
    bool OnPlacingButtonUp();

    // The handle drags' message handlers (message map 0).
    bool OnTrackButtonDown(WPARAM wParam, LPARAM lParam);
    bool OnTrackMouseMove(LPARAM lParam);
    bool OnTrackEnd(bool commit, bool cancel);

    CLinearTransform transform_;
    tagPointF defRotationPoint_{0, 0};
    std::unique_ptr<CTransformTrack> track_;
    bool placingStarted_ = false;
    bool dragHandleMode_ = false;  // the view's handle mode when a move drag started
};

template <class Store>
void CRectControlBase::ChangeTransform(Store store, bool normalise) {
    Invalidate();
    const CLinearTransform old = transform_;
    store();
    if (normalise) transform_.Normalize();
    ChangeTail(old);
}

// The four handle anchors of a rectangle, clockwise from the top-left, and the centre.
tagPointF HandleAnchor(const tagRectF& frame, int i);
