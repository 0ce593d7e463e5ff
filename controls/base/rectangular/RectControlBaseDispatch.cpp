// IRectangularControlDispatch: each setter records the call that restores the present values and
// then performs the change. The record is handed on whatever the change answers, so a refused
// value leaves a record that restores the value still in place.
#include "RectControlBase.h"
#include "tarn/UndoCallRecord.h"

HRESULT CRectControlBase::RecordedPut(const wchar_t* method, UINT caption, double old,
                                      HRESULT (STDMETHODCALLTYPE CRectControlBase::*put)(double),
                                      double newVal) {
    CUndoCallRecord undo(this, 1);
    undo.AddArg(old);
    const HRESULT hr = (this->*put)(newVal);
    undo.Fire(method, static_cast<IRectangularControlDispatch*>(this), caption);
    return hr;
}

STDMETHODIMP CRectControlBase::SetXScale(double newVal) {
    return RecordedPut(L"SetXScale", kCaptionXScale, transform_.XScale, &CRectControlBase::put_XScale, newVal);
}

STDMETHODIMP CRectControlBase::SetYScale(double newVal) {
    return RecordedPut(L"SetYScale", kCaptionYScale, transform_.YScale, &CRectControlBase::put_YScale, newVal);
}

STDMETHODIMP CRectControlBase::SetRotateAngle(double newVal) {
    return RecordedPut(L"SetRotateAngle", kCaptionRotateFrame, transform_.RotateAngle, &CRectControlBase::put_RotateAngle, newVal);
}

STDMETHODIMP CRectControlBase::SetSkewAngle(double newVal) {
    return RecordedPut(L"SetSkewAngle", kCaptionSkewFrame, transform_.SkewAngle, &CRectControlBase::put_SkewAngle, newVal);
}

STDMETHODIMP CRectControlBase::SetRotationPoint(double x, double y) {
    tagPointF old{};
    get_RotationPoint(&old);
    CUndoCallRecord undo(this, 2);
    undo.AddArg(old.x);
    undo.AddArg(old.y);
    const HRESULT hr = put_RotationPoint(tagPointF{x, y});
    undo.Fire(L"SetRotationPoint", static_cast<IRectangularControlDispatch*>(this), kCaptionRotationPoint);
    return hr;
}

STDMETHODIMP CRectControlBase::SetLinearTransformParams_Disp(double xScale, double yScale, double offsetX,
                                                             double offsetY, double rotateAngle, double skewAngle) {
    CUndoCallRecord undo(this, 6);
    undo.AddArg(transform_.XScale);
    undo.AddArg(transform_.YScale);
    undo.AddArg(transform_.XOffset);
    undo.AddArg(transform_.YOffset);
    undo.AddArg(transform_.RotateAngle);
    undo.AddArg(transform_.SkewAngle);
    const HRESULT hr = SetLinearTransformParams(xScale, yScale, tagPointF{offsetX, offsetY}, rotateAngle, skewAngle);
    undo.Fire(L"SetLinearTransformParams_Disp", static_cast<IRectangularControlDispatch*>(this), kCaptionTransform);
    return hr;
}
