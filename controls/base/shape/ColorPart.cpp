#include "ColorPart.h"

#include "render/FillInfo.h"

void CColorPart::PrepareFill(FillInfo& fill) const {
    fill = FillInfo{};
    fill.FillType = closed && slots[0].fillType != FillNone ? FillSolid : -1;
    fill.FillColor = slots[0].color;
    fill.OutlineType = OutlineNone;
}

bool CColorPart::PrepareStroke(FillInfo& fill, double pixelsPerUnit) const {
    fill = FillInfo{};
    if (!outlineOn || slots[1].fillType == FillNone) return false;
    fill.FillType = -1;
    fill.OutlineType = OutlineSolid;
    fill.OutlineWidth = outlineWidth * pixelsPerUnit;
    fill.OutlineColor = slots[1].color;
    return true;
}

bool CColorPart::IsEqual(const CColorPart& other, bool ignoreOutline) const {
    const int last = ignoreOutline ? 1 : 2;
    for (int i = 0; i < last; ++i)
        if (slots[i].fillType != other.slots[i].fillType || slots[i].color != other.slots[i].color ||
            slots[i].color2 != other.slots[i].color2)
            return false;
    if (!ignoreOutline && (outlineOn != other.outlineOn || outlineWidth != other.outlineWidth)) return false;
    return closed == other.closed;
}
