// The layer's message maps: placing a fresh control by dragging its frame open (map 101) and
// routing presses, moves, releases and Escape to the handle drags (map 0).
#include "RectControlBase.h"

namespace {
POINT PointFromLParam(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

bool IsHandleDrag(short state) { return state >= kStateResizing && state <= kStateSkewing; }
}  // namespace

BOOL CRectControlBase::ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                                            DWORD mapId) {
    if (mapId == kMapInserting) {
        bool handled = false;
        if (msg == WM_LBUTTONDOWN)
            handled = OnPlacingButtonDown(lParam);
        else if (msg == WM_MOUSEMOVE)
            handled = OnPlacingMouseMove(wParam, lParam);
        else if (msg == WM_LBUTTONUP)
            handled = OnPlacingButtonUp();
        if (handled) {
            result = 0;
            return TRUE;
        }
    } else if (mapId == kMapNormal) {
        bool handled = false;
        if (msg == WM_LBUTTONDOWN)
            handled = OnTrackButtonDown(wParam, lParam);
        else if (msg == WM_MOUSEMOVE && IsHandleDrag(state_))
            handled = OnTrackMouseMove(lParam);
        else if (msg == WM_LBUTTONUP && IsHandleDrag(state_))
            handled = OnTrackEnd(true, false);
        else if (msg == WM_KEYDOWN && wParam == VK_ESCAPE && IsHandleDrag(state_))
            handled = OnTrackEnd(false, true);
        if (handled) {
            result = 0;
            return TRUE;
        }
    }
    return CDrawControlBase::ProcessWindowMessage(hwnd, msg, wParam, lParam, result, mapId);
}

// Placing ---------------------------------------------------------------------------------------------

namespace {
// The pointer in document units, snapped by the view that placed it; without a view the inserter
// converts the window point and nothing snaps.
bool PlacingPoint(CDrawControlBase& control, ITarnViewEvents* view, LPARAM lParam, tagPointF& doc) {
    const POINT p = PointFromLParam(lParam);
    if (view) {
        if (FAILED(CDrawControlBase::WinToDocPoint(view, p, doc))) return false;
        view->SnapPoint(&doc, 0);
        return true;
    }
    return SUCCEEDED(control.DCUnitsToInches(p, doc));
}
}  // namespace

bool CRectControlBase::OnPlacingButtonDown(LPARAM lParam) {
    if (insertState_ != Cir_InProgress) return false;
    tagPointF p;
    if (!PlacingPoint(*this, callingView_, lParam, p)) return false;
    transform_.XOffset = p.x;
    transform_.YOffset = p.y;
    transform_.XScale = 0;
    transform_.YScale = 0;
    placingStarted_ = true;
    return true;
}

bool CRectControlBase::OnPlacingMouseMove(WPARAM wParam, LPARAM lParam) {
    if (insertState_ != Cir_InProgress || !(wParam & MK_LBUTTON) || !placingStarted_) return false;
    tagPointF corner;
    transform_.MapPoint(tagPointF{-1, -1}, corner);
    Inserter_Redraw();
    tagPointF p;
    if (!PlacingPoint(*this, callingView_, lParam, p)) return true;
    transform_.RotateAngle = 0;
    transform_.SkewAngle = 0;
    defRotationPoint_ = tagPointF{0, 0};
    transform_.XScale = (p.x - corner.x) / 2.0;
    transform_.YScale = (p.y - corner.y) / 2.0;
    transform_.XOffset = (corner.x + p.x) / 2.0;
    transform_.YOffset = (corner.y + p.y) / 2.0;
    transform_.Normalize();
    OnChanged(false);
    Inserter_Redraw();
    return true;
}

bool CRectControlBase::OnPlacingButtonUp() {
    if (insertState_ != Cir_InProgress || !placingStarted_) return false;
    placingStarted_ = false;
    tagRectF r;
    get_Rect(&r);
    // A click without a move leaves no frame: the placing is cancelled.
    insertState_ = (r.left >= r.right || r.top >= r.bottom) ? Cir_Cancelled : Cir_Completed;
    GetUnknown()->AddRef();  // the inserter may let the control go
    if (inserter_) inserter_->ControlInsertionIsCompleted();
    state_ = kStateIdle;
    GetUnknown()->Release();
    return true;
}
