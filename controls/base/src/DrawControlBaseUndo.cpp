// The dispatch twin: each undoable method records the call that reverts it, then performs the edit.
#include <cmath>

#include "tarn/DrawControlBase.h"
#include "tarn/UndoCallRecord.h"

namespace {
const UINT kCaptionMove = 21215;
const UINT kCaptionResize = 21216;
const UINT kCaptionRotate = 21217;
const UINT kCaptionSkew = 21218;
const UINT kCaptionRotate180 = 21220;
const UINT kCaptionFlipVertically = 21221;
const UINT kCaptionFlipHorizontally = 21222;
const UINT kCaptionVisibility = 21223;
const UINT kCaptionRename = 21224;
}  // namespace

void CDrawControlBase::RectOrientedLike(const tagRectF& oldRect, const tagRectF& newRect, tagRectF& inverse) {
    inverse = oldRect;
    if (newRect.left > newRect.right) std::swap(inverse.left, inverse.right);
    if (newRect.top > newRect.bottom) std::swap(inverse.top, inverse.bottom);
}

STDMETHODIMP CDrawControlBase::SetCenterPoint(double x, double y) {
    tagPointF old{};
    get_CenterPoint(&old);
    CUndoCallRecord undo(this, 2);
    undo.AddArg(old.x);
    undo.AddArg(old.y);
    const HRESULT hr = static_cast<IBaseControl*>(this)->put_CenterPoint(tagPointF{x, y});
    undo.Fire(L"SetCenterPoint", DispatchInterface(), kCaptionMove);
    return hr;
}

STDMETHODIMP CDrawControlBase::SetRect(double left, double top, double right, double bottom) {
    tagRectF old{};
    get_Rect(&old);
    const tagRectF wanted{left, top, right, bottom};
    tagRectF inverse;
    RectOrientedLike(old, wanted, inverse);
    CUndoCallRecord undo(this, 4);
    undo.AddArg(inverse.left);
    undo.AddArg(inverse.top);
    undo.AddArg(inverse.right);
    undo.AddArg(inverse.bottom);
    const HRESULT hr = static_cast<IBaseControl*>(this)->put_Rect(wanted);
    undo.Fire(L"SetRect", DispatchInterface(), kCaptionResize);
    return hr;
}

STDMETHODIMP CDrawControlBase::SetSize(double cx, double cy) {
    tagRectF r{};
    HRESULT hr = get_Rect(&r);
    if (FAILED(hr)) return hr;
    return SetRect(r.left, r.top, r.left + cx, r.top + cy);
}

STDMETHODIMP CDrawControlBase::SetWidth(double width) {
    tagRectF r{};
    HRESULT hr = get_Rect(&r);
    if (FAILED(hr)) return hr;
    return SetRect(r.left, r.top, r.left + width, r.bottom);
}

STDMETHODIMP CDrawControlBase::SetHeight(double height) {
    tagRectF r{};
    HRESULT hr = get_Rect(&r);
    if (FAILED(hr)) return hr;
    return SetRect(r.left, r.top, r.right, r.top + height);
}

STDMETHODIMP CDrawControlBase::SetLeft(double left) {
    tagRectF r{};
    HRESULT hr = get_Rect(&r);
    if (FAILED(hr)) return hr;
    return SetRect(left, r.top, r.right, r.bottom);
}

STDMETHODIMP CDrawControlBase::SetRight(double right) {
    tagRectF r{};
    HRESULT hr = get_Rect(&r);
    if (FAILED(hr)) return hr;
    return SetRect(r.left, r.top, right, r.bottom);
}

STDMETHODIMP CDrawControlBase::SetTop(double top) {
    tagRectF r{};
    HRESULT hr = get_Rect(&r);
    if (FAILED(hr)) return hr;
    return SetRect(r.left, top, r.right, r.bottom);
}

STDMETHODIMP CDrawControlBase::SetBottom(double bottom) {
    tagRectF r{};
    HRESULT hr = get_Rect(&r);
    if (FAILED(hr)) return hr;
    return SetRect(r.left, r.top, r.right, bottom);
}

STDMETHODIMP CDrawControlBase::SetVisible(LONG visible) {
    CUndoCallRecord undo(this, 1);
    undo.AddArg(static_cast<long>(visible_ ? 1 : 0));
    const HRESULT hr = static_cast<IBaseControl*>(this)->put_Visible(visible);
    undo.Fire(L"SetVisible", DispatchInterface(), kCaptionVisibility);
    return hr;
}

STDMETHODIMP CDrawControlBase::get_ControlName_Disp(BSTR* pVal) { return get_ControlName(pVal); }

STDMETHODIMP CDrawControlBase::put_ControlName_Disp(BSTR newVal) { return SetControlName(newVal); }

// Undo records are replayed as method calls, so the rename records this method, which exists in
// the dispatch interface, rather than the property put.
STDMETHODIMP CDrawControlBase::SetControlName(BSTR name) {
    CUndoCallRecord undo(this, 1);
    undo.AddArg(name_.c_str());
    const HRESULT hr = static_cast<IBaseControl*>(this)->put_ControlName(name);
    undo.Fire(L"SetControlName", DispatchInterface(), kCaptionRename);
    return hr;
}

STDMETHODIMP CDrawControlBase::get_Storable_Disp(LONG* pVal) { return get_Storable(pVal); }
STDMETHODIMP CDrawControlBase::put_Storable_Disp(LONG newVal) { return put_Storable(newVal); }

STDMETHODIMP CDrawControlBase::RotateBy_Disp(double angle, double refPointX, double refPointY) {
    CUndoCallRecord undo(this, 3);
    undo.AddArg(-angle);
    undo.AddArg(refPointX);
    undo.AddArg(refPointY);
    const HRESULT hr = static_cast<IBaseControl*>(this)->RotateBy(angle, tagPointF{refPointX, refPointY});
    undo.Fire(L"RotateBy_Disp", DispatchInterface(), kCaptionRotate);
    return hr;
}

STDMETHODIMP CDrawControlBase::RotateBy180_Disp() {
    CUndoCallRecord undo(this, 0);
    const HRESULT hr = static_cast<IBaseControl*>(this)->RotateBy180();
    undo.Fire(L"RotateBy180_Disp", DispatchInterface(), kCaptionRotate180);
    return hr;
}

STDMETHODIMP CDrawControlBase::SkewBy_Disp(double coeff, double skewX, double skewY, double refPointX,
                                           double refPointY) {
    // A flattening skew has no inverse; it is refused rather than recorded with a division by zero.
    const double determinant = coeff * (1.0 - skewX * skewY);
    if (determinant == 0.0 || !std::isfinite(1.0 / determinant))
        return ReportError(L"This skew flattens the object and could not be undone; it was not applied.",
                           IID_IBaseControlDispatch, E_INVALIDARG);
    CUndoCallRecord undo(this, 5);
    undo.AddArg(1.0 / (1.0 - skewX * skewY) / coeff);
    undo.AddArg(-skewX);
    undo.AddArg(-skewY);
    undo.AddArg(refPointX);
    undo.AddArg(refPointY);
    const HRESULT hr = static_cast<IBaseControl*>(this)->SkewBy(coeff, skewX, skewY, tagPointF{refPointX, refPointY});
    undo.Fire(L"SkewBy_Disp", DispatchInterface(), kCaptionSkew);
    return hr;
}

STDMETHODIMP CDrawControlBase::MoveBy_Disp(double offsetCX, double offsetCY) {
    CUndoCallRecord undo(this, 2);
    undo.AddArg(-offsetCX);
    undo.AddArg(-offsetCY);
    const HRESULT hr = static_cast<IBaseControl*>(this)->MoveBy(tagSizeF{offsetCX, offsetCY});
    undo.Fire(L"MoveBy_Disp", DispatchInterface(), kCaptionMove);
    return hr;
}

STDMETHODIMP CDrawControlBase::ScaleBy_Disp(double scaleX, double scaleY) {
    // Scaling by zero collapses the object for good; it is refused rather than recorded as 1/0.
    if (scaleX == 0.0 || scaleY == 0.0 || !std::isfinite(1.0 / scaleX) || !std::isfinite(1.0 / scaleY))
        return ReportError(L"A scale factor of zero could not be undone; the object was not scaled.",
                           IID_IBaseControlDispatch, E_INVALIDARG);
    CUndoCallRecord undo(this, 2);
    undo.AddArg(1.0 / scaleX);
    undo.AddArg(1.0 / scaleY);
    const HRESULT hr = static_cast<IBaseControl*>(this)->ScaleBy(scaleX, scaleY);
    undo.Fire(L"ScaleBy_Disp", DispatchInterface(), kCaptionResize);
    return hr;
}

STDMETHODIMP CDrawControlBase::FlipHorizontally_Disp() {
    CUndoCallRecord undo(this, 0);
    const HRESULT hr = static_cast<IBaseControl*>(this)->FlipHorizontally();
    undo.Fire(L"FlipHorizontally_Disp", DispatchInterface(), kCaptionFlipHorizontally);
    return hr;
}

STDMETHODIMP CDrawControlBase::FlipVertically_Disp() {
    CUndoCallRecord undo(this, 0);
    const HRESULT hr = static_cast<IBaseControl*>(this)->FlipVertically();
    undo.Fire(L"FlipVertically_Disp", DispatchInterface(), kCaptionFlipVertically);
    return hr;
}

STDMETHODIMP CDrawControlBase::StartGroupUndo(LONG bStart, LONG idDescription) {
    CUndoCallRecord undo(this, 2);
    undo.AddBoolArg(bStart == 0);  // the opposite flag: replaying closes what this opened
    undo.AddArg(static_cast<long>(idDescription));
    undo.Fire(L"StartGroupUndo", DispatchInterface(), static_cast<UINT>(idDescription),
              bStart == 0 ? UDT_GroupOpen : UDT_GroupClose);
    return S_OK;
}

STDMETHODIMP CDrawControlBase::get_TypeID_Disp(LONG* pVal) { return get_TypeID(pVal); }
STDMETHODIMP CDrawControlBase::put_TypeID_Disp(LONG newVal) { return put_TypeID(newVal); }
