#include "ColorPart.h"

#include "render/FillInfo.h"

CColorPart::CColorPart() {
    static_cast<ColorSlotValues&>(slots[1]) = ColorSlotValues::Defaults(1);
}

HRESULT CColorPart::LoadProperties(CTarnPropertyBag& bag) {
    ColorSlotValues values[2] = {slots[0], slots[1]};
    LoadColorRecords(bag, values);
    for (int s = 0; s < 2; ++s) {
        static_cast<ColorSlotValues&>(slots[s]) = values[s];
        ForgetGradient(s);
    }
    modified = true;
    geometryChanged = true;
    return S_OK;
}

HRESULT CColorPart::SaveProperties(IStream* stream) {
    const ColorSlotValues values[2] = {slots[0], slots[1]};
    return SaveColorRecords(stream, values);
}

void CColorPart::PrepareFill(FillInfo& fill) const {
    fill = FillInfo{};
    fill.FillType = closed && slots[0].fillType != FillNone ? ::FillSolid : ::FillNone;
    fill.FillColor = slots[0].fillType == FillSolid ? slots[0].color : slots[0].color1;
    fill.OutlineType = OutlineNone;
}

bool CColorPart::PrepareStroke(FillInfo& fill, double pixelsPerUnit, bool thumbnail) const {
    fill = FillInfo{};
    const Slot& slot = slots[0];
    if (!slot.hasOutline) return false;
    fill.FillType = ::FillNone;
    // The rasteriser's stroke styles follow "none" in the order of the outline styles.
    const bool hairline = slot.outlineWidth == 0 && thumbnail;
    fill.OutlineType = hairline ? OutlineSolid : slot.outlineStyle + 1;
    fill.OutlineWidth = slot.outlineWidth != 0 ? slot.outlineWidth * pixelsPerUnit : hairline ? 0.15 : 1.0;
    fill.OutlineColor = slot.outlineColor;
    return true;
}

bool CColorPart::IsEqual(const CColorPart& other, bool ignoreOutline) const {
    for (int i = 0; i < 2; ++i) {
        ColorSlotValues a = slots[i], b = other.slots[i];
        if (ignoreOutline) {
            const ColorSlotValues none = ColorSlotValues::Defaults(i);
            a.hasOutline = b.hasOutline = none.hasOutline;
            a.outlineWidth = b.outlineWidth = none.outlineWidth;
            a.outlineColor = b.outlineColor = none.outlineColor;
            a.outlineStyle = b.outlineStyle = none.outlineStyle;
        }
        if (!SameSlotValues(a, b)) return false;
    }
    return closed == other.closed;
}
