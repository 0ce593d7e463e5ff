// The colour part's setters: each stores into the current slot by the slot's rule and keeps the
// part's modified and geometry-changed flags.
#include "ColorPart.h"

void CColorPart::SetHasOutlineValue(long on) {
    Slot& slot = Current();
    if (slot.hasOutline != on) geometryChanged = true;
    slot.hasOutline = on;
    modified = true;
}

bool CColorPart::SetOutlineWidthValue(double inches) {
    bool clamped = false;
    const double width = ClampOutlineWidth(inches, &clamped);
    Slot& slot = Current();
    if (slot.outlineWidth != width) geometryChanged = true;
    slot.outlineWidth = width;
    modified = true;
    return clamped;
}

void CColorPart::SetOutlineStyleValue(long style) {
    Slot& slot = Current();
    if (slot.outlineStyle != style) geometryChanged = true;
    slot.outlineStyle = style;
    modified = true;
}

void CColorPart::SetColorOutlineValue(COLORREF colour) {
    Current().outlineColor = colour;
    modified = true;
}

void CColorPart::SetColorValue(COLORREF colour) {
    Current().color = colour;
    modified = true;
}

void CColorPart::SetGradientAngleValue(double degrees) {
    Current().gradAngle = ReduceGradientAngle(degrees);
    modified = true;
}

void CColorPart::SetParentAngleValue(double degrees) { Current().parentAngle = degrees; }

void CColorPart::SetBindRotationValue(long bind) {
    Current().bindRotation = bind;
    modified = true;
}

bool CColorPart::SetGradientDensityValue(double density) {
    bool clamped = false;
    Current().gradDensity = ClampGradientDensity(density, &clamped);
    modified = true;
    return clamped;
}

bool CColorPart::SetGradientCYValue(double offset) {
    bool clamped = false;
    Current().gradCY = ClampGradientCY(offset, &clamped);
    modified = true;
    return clamped;
}

bool CColorPart::SetGradientCXValue(double offset) {
    bool clamped = false;
    Current().gradCX = ClampGradientCX(offset, &clamped);
    modified = true;
    return clamped;
}

void CColorPart::SetColor2Value(COLORREF colour) {
    Current().color2 = colour;
    modified = true;
}

void CColorPart::SetColor1Value(COLORREF colour) {
    Current().color1 = colour;
    modified = true;
}

void CColorPart::SetFillTypeValue(long fillType) {
    Slot& slot = Current();
    // A linear gradient is built along the path; no fill draws no coverage.
    const bool linearMoves = (slot.fillType == kFillLinear) != (fillType == kFillLinear);
    const bool fillMoves = (slot.fillType == kFillNone) != (fillType == kFillNone);
    if (linearMoves || fillMoves) geometryChanged = true;
    slot.fillType = fillType;
    modified = true;
}

void CColorPart::SetGradientTypeValue(long type) {
    Current().gradType = type;
    modified = true;
}

void CColorPart::SetGradientCyclicValue(long cyclic) {
    Current().gradCyclic = cyclic;
    modified = true;
}

void CColorPart::SetGradParamTypeValue(long type) { Current().gradParamType = type; }

void CColorPart::SetGradBoundValue(int index, const tagPointF& point) {
    if (index < 0 || index > 2) return;
    Current().bound[index] = point;
}
