// The colour part's setters: each stores into the current slot by the slot's rule and keeps the
// part's modified and geometry-changed flags.
#include "ColorPart.h"

namespace {
// Stores a recorded value and marks the part modified; answers the old value.
template <class T>
T Store(CColorPart& part, T& field, T value) {
    const T old = field;
    field = value;
    part.modified = true;
    return old;
}
}  // namespace

void CColorPart::SetHasOutlineValue(long on) {
    if (Store(*this, Current().hasOutline, on) != on) geometryChanged = true;
}

bool CColorPart::SetOutlineWidthValue(double inches) {
    bool clamped = false;
    const double width = ClampOutlineWidth(inches, &clamped);
    if (Store(*this, Current().outlineWidth, width) != width) geometryChanged = true;
    return clamped;
}

void CColorPart::SetOutlineStyleValue(long style) {
    if (Store(*this, Current().outlineStyle, style) != style) geometryChanged = true;
}

void CColorPart::SetColorOutlineValue(COLORREF colour) {
    Store(*this, Current().outlineColor, colour);
}

void CColorPart::SetColorValue(COLORREF colour) {
    Store(*this, Current().color, colour);
}

void CColorPart::SetGradientAngleValue(double degrees) {
    Store(*this, Current().gradAngle, ReduceGradientAngle(degrees));
}

void CColorPart::SetParentAngleValue(double degrees) { Current().parentAngle = degrees; }

void CColorPart::SetBindRotationValue(long bind) {
    Store(*this, Current().bindRotation, bind);
}

bool CColorPart::SetGradientDensityValue(double density) {
    bool clamped = false;
    Store(*this, Current().gradDensity, ClampGradientDensity(density, &clamped));
    return clamped;
}

bool CColorPart::SetGradientCYValue(double offset) {
    bool clamped = false;
    Store(*this, Current().gradCY, ClampGradientCY(offset, &clamped));
    return clamped;
}

bool CColorPart::SetGradientCXValue(double offset) {
    bool clamped = false;
    Store(*this, Current().gradCX, ClampGradientCX(offset, &clamped));
    return clamped;
}

void CColorPart::SetColor2Value(COLORREF colour) {
    Store(*this, Current().color2, colour);
}

void CColorPart::SetColor1Value(COLORREF colour) {
    Store(*this, Current().color1, colour);
}

void CColorPart::SetFillTypeValue(long fillType) {
    const long old = Store(*this, Current().fillType, fillType);
    // A linear gradient is built along the path; no fill draws no coverage.
    const bool linearMoves = (old == kFillLinear) != (fillType == kFillLinear);
    const bool fillMoves = (old == kFillNone) != (fillType == kFillNone);
    if (linearMoves || fillMoves) geometryChanged = true;
}

void CColorPart::SetGradientTypeValue(long type) {
    Store(*this, Current().gradType, type);
}

void CColorPart::SetGradientCyclicValue(long cyclic) {
    Store(*this, Current().gradCyclic, cyclic);
}

void CColorPart::SetGradParamTypeValue(long type) { Current().gradParamType = type; }

void CColorPart::SetGradBoundValue(int index, const tagPointF& point) {
    if (index < 0 || index > 2) return;
    Current().bound[index] = point;
}
