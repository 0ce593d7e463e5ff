#include "AlongCurveLayout.h"

#include <cmath>

#include "fonts/GlyphCache.h"
#include "render/EngineState.h"

void CAlongCurveLayout::PlaceAlongCurve() {
    CriticalSectionHolder hold(CacheLock());
    lines_.clear();
    feedPens_.clear();
    auto& chars = model_.MutableChars();
    std::vector<double> advances(chars.size());
    for (size_t i = 0; i < chars.size(); ++i) advances[i] = GlyphOf(chars[i]).metrics.gmCellIncX;
    double lastWidth = 0;
    if (!chars.empty()) {
        const GlyphEntry& last = GlyphOf(chars.back());
        lastWidth = last.count > 0 ? last.box.right - last.box.left : 0;
    }
    const CurvePlacement placed = PlaceAlongPath(path_.data(), static_cast<int>(path_.size()), first_, second_,
                                                 model_.TextDir() == kBackwardText, advances, lastWidth);
    glyphScale_ = placed.glyphScale;
    for (size_t i = 0; i < chars.size(); ++i) {
        chars[i].x = placed.origins[i].x;
        chars[i].y = placed.origins[i].y;
        chars[i].rotation = placed.rotations[i];
    }
}

tagPointF CAlongCurveLayout::MapGlyphPoint(const TextCharRecord& c, tagPointF p) const {
    if (model_.Type() != kAlongCurveText) return CTextLayout::MapGlyphPoint(c, p);
    // Scaled (the font's y axis turned down), turned, and moved to the character's origin.
    const double sx = p.x * glyphScale_, sy = -p.y * glyphScale_;
    const double cosR = std::cos(c.rotation), sinR = std::sin(c.rotation);
    return {c.x + sx * cosR - sy * sinR, c.y + sx * sinR + sy * cosR};
}
