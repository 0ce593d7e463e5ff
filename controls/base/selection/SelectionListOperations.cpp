// The list transforms: workers that move every control of a list by one transform of the whole
// group, the seven undoable list methods, and the selection's own placement setters, which record
// the same list transforms.
#include <cmath>

#include "ComControlList.h"
#include "atlcomptr.h"
#include "selection/SelectionControl.h"
#include "tarn/UndoCallRecord.h"

namespace {
const double kPi = 3.14159265358979323846;

// A control bound to a buddy follows that buddy instead of being transformed itself.
bool IsBound(IBaseControl* control) {
    IBaseControl* buddy = nullptr;
    if (control->GetNextBuddy(&buddy) != S_OK) return false;
    if (!buddy) return false;
    buddy->Release();
    return true;
}

// Runs `change` on every free control of the list with its own undo recording off.
template <class Change>
void ForEachFree(const std::vector<IBaseControl*>& list, Change change) {
    for (IBaseControl* control : list) {
        if (IsBound(control)) continue;
        control->put_UseSetDirty(0);
        change(control);
        control->put_UseSetDirty(1);
    }
}

bool IsHalfTurn(double angle) { return std::fabs(std::fabs(angle) - kPi) < 1e-10; }

tagPointF CentreOf(const tagRectF& r) { return tagPointF{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// One coordinate of a control's new centre after a list scale (see ApplyListScale).
double ScaledCoordinate(double s, double fromLowEdge, double low, double high, bool halfTurn) {
    if (!halfTurn) return s >= 0 ? low + s * fromLowEdge : high + s * fromLowEdge;
    return s >= 0 ? high - s * fromLowEdge : low - s * fromLowEdge;
}

// A new coordinate of ApplyListRect: scaled about the old centre onto the new one; an axis on
// which the old frame is flat has no scale, and its controls only follow the centre.
double Refit(double v, double oldCentre, double oldSize, double newCentre, double newSize) {
    if (oldSize == 0) return newCentre + (v - oldCentre);
    return newCentre + newSize * (v - oldCentre) / oldSize;
}

bool SkewIsSingular(double coeff, double skewX, double skewY) { return (1 - skewX * skewY) * coeff == 0; }
}  // namespace

// Workers ----------------------------------------------------------------------------------------------

void CSelectionControl::ApplyListMove(const ControlVector& list, const tagSizeF& offset) {
    ForEachFree(list, [&](IBaseControl* c) { c->MoveBy(offset); });
}

void CSelectionControl::ApplyListRotate(const ControlVector& list, double angle, const tagPointF& ref) {
    ForEachFree(list, [&](IBaseControl* c) { c->RotateBy(angle, ref); });
}

void CSelectionControl::ApplyListRotate180(const ControlVector& list) {
    ForEachFree(list, [&](IBaseControl* c) { c->RotateBy180(); });
}

void CSelectionControl::ApplyListRect(const ControlVector& list, const tagRectF& newRect) {
    tagRectF old;
    GetListRects(list, &old, nullptr);
    const tagPointF oc = CentreOf(old), nc = CentreOf(newRect);
    const double w = old.right - old.left, h = old.bottom - old.top;
    const double nw = newRect.right - newRect.left, nh = newRect.bottom - newRect.top;
    ForEachFree(list, [&](IBaseControl* c) {
        tagRectF r;
        if (FAILED(c->get_Rect(&r))) return;
        c->put_Rect(tagRectF{Refit(r.left, oc.x, w, nc.x, nw), Refit(r.top, oc.y, h, nc.y, nh),
                             Refit(r.right, oc.x, w, nc.x, nw), Refit(r.bottom, oc.y, h, nc.y, nh)});
    });
}

void CSelectionControl::ApplyListScale(const ControlVector& list, double scaleX, double scaleY, double offsetX,
                                       double offsetY, double angle) {
    tagRectF r;
    GetListRects(list, &r, nullptr);
    const tagPointF c = CentreOf(r);
    tagRectF n{(r.left - c.x) * scaleX, (r.top - c.y) * scaleY, (r.right - c.x) * scaleX, (r.bottom - c.y) * scaleY};
    if (n.left > n.right) std::swap(n.left, n.right);
    if (n.top > n.bottom) std::swap(n.top, n.bottom);
    n.left += c.x + offsetX, n.right += c.x + offsetX;
    n.top += c.y + offsetY, n.bottom += c.y + offsetY;
    const bool half = IsHalfTurn(angle);
    ForEachFree(list, [&](IBaseControl* control) {
        tagPointF p;
        if (FAILED(control->get_CenterPoint(&p))) return;
        const double x = ScaledCoordinate(scaleX, p.x - r.left, n.left, n.right, half);
        const double y = ScaledCoordinate(scaleY, p.y - r.top, n.top, n.bottom, half);
        control->ScaleBy(half ? -scaleX : scaleX, half ? -scaleY : scaleY);
        control->MoveBy(tagSizeF{x - p.x, y - p.y});
    });
}

void CSelectionControl::ApplyListSkew(const ControlVector& list, double coeff, double skewX, double skewY,
                                      const tagPointF& ref) {
    tagRectF r;
    GetListRects(list, &r, nullptr);
    const tagPointF c = CentreOf(r);
    const double tx = ref.x + coeff * ((c.x - ref.x) + (c.y - ref.y) * skewX);
    const double ty = ref.y + coeff * ((c.y - ref.y) + (c.x - ref.x) * skewY);
    ForEachFree(list, [&](IBaseControl* control) {
        control->SkewBy(coeff, skewX, skewY, c);
        control->MoveBy(tagSizeF{tx - c.x, ty - c.y});
    });
}

// Records ----------------------------------------------------------------------------------------------

void CSelectionControl::RecordList(IUnknown* list, const wchar_t* method, const double* numbers, int count,
                                   UINT caption, IDispatch* target) {
    CUndoCallRecord undo(this, count + 1);
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_UNKNOWN;
    v.punkVal = list;  // the record copies it with a reference of its own
    undo.AddArg(v);
    for (int i = 0; i < count; ++i) undo.AddArg(numbers[i]);
    undo.Fire(method, target, caption);
}

void CSelectionControl::RecordInteractive(const wchar_t* method, const double* numbers, int count, UINT caption) {
    CComPtr<ISelectionControlDispatch> target;
    if (FAILED(CreateUndoSelection(&target))) return;
    CComControlList* list = new CComControlList;
    list->AddRef();
    for (IBaseControl* control : selected_) list->Add(control, 0);
    RecordList(static_cast<IUnknown*>(list), method, numbers, count, caption, target);
    list->Release();
}

// The seven list methods ---------------------------------------------------------------------------------

STDMETHODIMP CSelectionControl::MoveListBy(IUnknown* pList, double offsetCX, double offsetCY) {
    const ControlVector list = ControlsOfList(pList);
    ResetSelectionList();
    ApplyListMove(list, tagSizeF{offsetCX, offsetCY});
    AdoptList(list);
    UpdateSelectionFrame();
    SetModified(true);
    const double inverse[] = {-offsetCX, -offsetCY};
    RecordList(pList, L"MoveListBy", inverse, 2, kCaptionMoveList, SelfDispatch());
    return S_OK;
}

STDMETHODIMP CSelectionControl::ScaleListBy(IUnknown* pList, double scaleX, double scaleY, double offsetCX,
                                            double offsetCY, double fRotateAngle) {
    // A zero factor cannot be undone: its inverse would be a division by zero.
    if (scaleX == 0 || scaleY == 0) return E_INVALIDARG;
    const ControlVector list = ControlsOfList(pList);
    ResetSelectionList();
    ApplyListScale(list, scaleX, scaleY, offsetCX, offsetCY, fRotateAngle);
    AdoptList(list);
    UpdateSelectionFrame();
    SetModified(true);
    const double inverse[] = {1 / scaleX, 1 / scaleY, -offsetCX, -offsetCY, -fRotateAngle};
    RecordList(pList, L"ScaleListBy", inverse, 5, kCaptionScaleList, SelfDispatch());
    return S_OK;
}

STDMETHODIMP CSelectionControl::RotateListBy(IUnknown* pList, double fRotateAngle, double fRotatePointX,
                                             double fRotatePointY) {
    const ControlVector list = ControlsOfList(pList);
    ResetSelectionList();
    ApplyListRotate(list, fRotateAngle, tagPointF{fRotatePointX, fRotatePointY});
    AdoptList(list);
    UpdateSelectionFrame();
    StoreDocRotationPoint(tagPointF{fRotatePointX, fRotatePointY});
    SetModified(true);
    const double inverse[] = {-fRotateAngle, fRotatePointX, fRotatePointY};
    RecordList(pList, L"RotateListBy", inverse, 3, kCaptionRotateList, SelfDispatch());
    return S_OK;
}

STDMETHODIMP CSelectionControl::SetListRotationPoint(IUnknown* pList, double fRotatePointX, double fRotatePointY) {
    tagPointF old{0, 0};
    get_RotationPoint(&old);
    const ControlVector list = ControlsOfList(pList);
    ResetSelectionList();
    AdoptList(list);
    UpdateSelectionFrame();
    StoreDocRotationPoint(tagPointF{fRotatePointX, fRotatePointY});
    SetModified(true);
    const double inverse[] = {old.x, old.y};
    RecordList(pList, L"SetListRotationPoint", inverse, 2, kCaptionListRotationPoint, SelfDispatch());
    return S_OK;
}

STDMETHODIMP CSelectionControl::SkewListBy(IUnknown* pList, double coeff, double skewX, double skewY,
                                           double refPointX, double refPointY) {
    // A singular skew flattens the group for good: no inverse exists.
    if (SkewIsSingular(coeff, skewX, skewY)) return E_INVALIDARG;
    const ControlVector list = ControlsOfList(pList);
    ResetSelectionList();
    ApplyListSkew(list, coeff, skewX, skewY, tagPointF{refPointX, refPointY});
    AdoptList(list);
    UpdateSelectionFrame();
    SetModified(true);
    const double inverse[] = {1 / ((1 - skewX * skewY) * coeff), -skewX, -skewY, refPointX, refPointY};
    RecordList(pList, L"SkewListBy", inverse, 5, kCaptionSkewList, SelfDispatch());
    return S_OK;
}

STDMETHODIMP CSelectionControl::SetListCenterPoint(IUnknown* pList, double CenterX, double CenterY) {
    const ControlVector list = ControlsOfList(pList);
    ResetSelectionList();
    tagRectF frame;
    GetListRects(list, &frame, nullptr);
    const tagPointF old = CentreOf(frame);
    ApplyListMove(list, tagSizeF{CenterX - old.x, CenterY - old.y});
    AdoptList(list);
    UpdateSelectionFrame();
    SetModified(true);
    const double inverse[] = {old.x, old.y};
    RecordList(pList, L"SetListCenterPoint", inverse, 2, kCaptionMoveList, SelfDispatch());
    return S_OK;
}

STDMETHODIMP CSelectionControl::SetListRect(IUnknown* pList, double left, double top, double right, double bottom) {
    const ControlVector list = ControlsOfList(pList);
    tagRectF old;
    GetListRects(list, &old, nullptr);
    ResetSelectionList();
    ApplyListRect(list, tagRectF{left, top, right, bottom});
    AdoptList(list);
    UpdateSelectionFrame();
    SetModified(true);
    const double inverse[] = {old.left, old.top, old.right, old.bottom};
    RecordList(pList, L"SetListRect", inverse, 4, kCaptionScaleList, SelfDispatch());
    return S_OK;
}

// The selection's own transforms with controls selected --------------------------------------------------

STDMETHODIMP CSelectionControl::put_Rect(tagRectF newVal) {
    if (!hasList_) return E_FAIL;
    ApplyListRect(selected_, newVal);
    return StandardFinish();
}

STDMETHODIMP CSelectionControl::RotateBy(double angle, tagPointF refPoint) {
    if (!hasList_) return S_FALSE;
    ApplyListRotate(selected_, angle, refPoint);
    const HRESULT hr = StandardFinish();
    StoreDocRotationPoint(refPoint);
    return hr;
}

STDMETHODIMP CSelectionControl::RotateBy180() {
    if (!hasList_) return S_FALSE;
    ApplyListRotate180(selected_);
    return StandardFinish();
}

STDMETHODIMP CSelectionControl::SkewBy(double coeff, double skewX, double skewY, tagPointF refPoint) {
    if (!hasList_) return S_FALSE;
    if (SkewIsSingular(coeff, skewX, skewY)) return E_INVALIDARG;
    ApplyListSkew(selected_, coeff, skewX, skewY, refPoint);
    return StandardFinish();
}

STDMETHODIMP CSelectionControl::MoveBy(tagSizeF offset) {
    if (!hasList_) return S_FALSE;
    ApplyListMove(selected_, offset);
    return StandardFinish();
}

STDMETHODIMP CSelectionControl::ScaleBy(double scaleX, double scaleY) {
    if (!hasList_) return S_FALSE;
    if (scaleX == 0 || scaleY == 0) return E_INVALIDARG;
    ApplyListScale(selected_, scaleX, scaleY, 0, 0, 0);
    return StandardFinish();
}

STDMETHODIMP CSelectionControl::FlipHorizontally() {
    if (!hasList_) return S_FALSE;
    ApplyListScale(selected_, -1, 1, 0, 0, 0);
    return StandardFinish();
}

STDMETHODIMP CSelectionControl::FlipVertically() {
    if (!hasList_) return S_FALSE;
    ApplyListScale(selected_, 1, -1, 0, 0, 0);
    return StandardFinish();
}

STDMETHODIMP CSelectionControl::put_XScale(double newVal) {
    if (!hasList_) return CRectControlBase::put_XScale(newVal);
    if (newVal == 0 || transform_.XScale == 0) return E_INVALIDARG;
    ApplyListScale(selected_, newVal / transform_.XScale, 1, 0, 0, 0);
    return StandardFinish();
}

STDMETHODIMP CSelectionControl::put_YScale(double newVal) {
    if (!hasList_) return CRectControlBase::put_YScale(newVal);
    if (newVal == 0 || transform_.YScale == 0) return E_INVALIDARG;
    ApplyListScale(selected_, 1, newVal / transform_.YScale, 0, 0, 0);
    return StandardFinish();
}

STDMETHODIMP CSelectionControl::put_RotateAngle(double newVal) {
    if (!hasList_) return CRectControlBase::put_RotateAngle(newVal);
    const double change = newVal - transform_.RotateAngle;
    tagPointF centre;
    get_CenterPoint(&centre);
    ApplyListRotate(selected_, change, centre);
    appliedRotation_ += change;
    return StandardFinish();
}

STDMETHODIMP CSelectionControl::put_SkewAngle(double newVal) {
    if (!hasList_) return CRectControlBase::put_SkewAngle(newVal);
    const double change = newVal - transform_.SkewAngle;
    if (std::cos(change) == 0) return E_INVALIDARG;
    ApplyListSkew(selected_, std::cos(change), std::tan(change), 0,
                  tagPointF{transform_.XOffset, transform_.YOffset});
    appliedSkew_ += change;
    return StandardFinish();
}

STDMETHODIMP CSelectionControl::put_RotationPoint(tagPointF newVal) {
    if (!hasList_) return CRectControlBase::put_RotationPoint(newVal);
    Invalidate();
    StoreDocRotationPoint(newVal);
    SetModified(true);
    Invalidate();
    return S_OK;
}

STDMETHODIMP CSelectionControl::SetLinearTransformParams(double xScale, double yScale, tagPointF offset,
                                                         double rotateAngle, double skewAngle) {
    if (!hasList_)
        return CRectControlBase::SetLinearTransformParams(xScale, yScale, offset, rotateAngle, skewAngle);
    const double turn = rotateAngle - transform_.RotateAngle;
    const double tilt = std::fabs(skewAngle - transform_.SkewAngle);
    const double a = std::fabs(turn);
    const bool turnAllowed = a < 1e-10 || std::fabs(a - kPi) < 1e-10 || std::fabs(a - 2 * kPi) < 1e-10;
    if (tilt >= 1e-10 || !turnAllowed) return E_NOTIMPL;
    if (xScale == 0 || yScale == 0 || transform_.XScale == 0 || transform_.YScale == 0) return E_INVALIDARG;
    ApplyListScale(selected_, xScale / transform_.XScale, yScale / transform_.YScale, offset.x - transform_.XOffset,
                   offset.y - transform_.YOffset, turn);
    Invalidate();
    transform_ = CLinearTransform(offset.x, offset.y, xScale, yScale, rotateAngle, skewAngle);
    SetModified(true);
    Invalidate();
    return S_OK;
}

// Setters that record a list transform at a fresh undo selection ------------------------------------------

STDMETHODIMP CSelectionControl::SetCenterPoint(double x, double y) {
    if (!hasList_) return CRectControlBase::SetCenterPoint(x, y);
    tagPointF old;
    get_CenterPoint(&old);
    const double inverse[] = {-(x - old.x), -(y - old.y)};
    RecordInteractive(L"MoveListBy", inverse, 2, kCaptionMoveList);
    return MoveBy(tagSizeF{x - old.x, y - old.y});
}

STDMETHODIMP CSelectionControl::SetRect(double left, double top, double right, double bottom) {
    if (!hasList_) return CRectControlBase::SetRect(left, top, right, bottom);
    tagRectF old;
    get_Rect(&old);
    const double inverse[] = {std::fmin(old.left, old.right), std::fmin(old.top, old.bottom),
                              std::fmax(old.left, old.right), std::fmax(old.top, old.bottom)};
    RecordInteractive(L"SetListRect", inverse, 4, kCaptionScaleList);
    return put_Rect(tagRectF{left, top, right, bottom});
}

STDMETHODIMP CSelectionControl::SetXScale(double newVal) {
    if (!hasList_) return CRectControlBase::SetXScale(newVal);
    if (newVal == 0 || transform_.XScale == 0) return E_INVALIDARG;
    const double inverse[] = {transform_.XScale / newVal, 1.0, 0, 0, 0};
    RecordInteractive(L"ScaleListBy", inverse, 5, kCaptionXScale);
    return put_XScale(newVal);
}

STDMETHODIMP CSelectionControl::SetYScale(double newVal) {
    if (!hasList_) return CRectControlBase::SetYScale(newVal);
    if (newVal == 0 || transform_.YScale == 0) return E_INVALIDARG;
    const double inverse[] = {1.0, transform_.YScale / newVal, 0, 0, 0};
    RecordInteractive(L"ScaleListBy", inverse, 5, kCaptionYScale);
    return put_YScale(newVal);
}

STDMETHODIMP CSelectionControl::SetRotateAngle(double newVal) {
    if (!hasList_) return CRectControlBase::SetRotateAngle(newVal);
    const tagPointF centre{transform_.XOffset, transform_.YOffset};
    const HRESULT hr = put_RotateAngle(newVal);
    if (FAILED(hr)) return hr;
    const double inverse[] = {-appliedRotation_, centre.x, centre.y};
    RecordInteractive(L"RotateListBy", inverse, 3, kCaptionRotateList);
    appliedRotation_ = 0;
    return hr;
}

STDMETHODIMP CSelectionControl::SetSkewAngle(double newVal) {
    if (!hasList_) return CRectControlBase::SetSkewAngle(newVal);
    const tagPointF centre{transform_.XOffset, transform_.YOffset};
    const HRESULT hr = put_SkewAngle(newVal);
    if (FAILED(hr)) return hr;
    const double s = appliedSkew_;
    const double inverse[] = {1 / std::cos(s), -std::tan(s), 0, centre.x, centre.y};
    RecordInteractive(L"SkewListBy", inverse, 5, kCaptionSkewList);
    appliedSkew_ = 0;
    return hr;
}
