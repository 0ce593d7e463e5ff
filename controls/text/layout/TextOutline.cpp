// Which glyphs are drawn, and their outlines in the control's unit frame.
#include <algorithm>
#include <cmath>

#include "TextLayout.h"
#include "fonts/GlyphCache.h"
#include "model/TextFrame.h"
#include "render/EngineState.h"

bool CTextLayout::IsGlyphVisible(size_t index) const {
    const auto& chars = model_.Chars();
    if (index >= chars.size()) return false;
    const TextCharRecord& c = chars[index];
    if (c.ch == L'\n') return false;
    const GlyphEntry& g = GlyphOf(c);
    if (g.count <= 0) return false;
    // Glyphs outside the frame still show while loading, in preview and along a curve.
    if (frame_.IsLoading() || frame_.IsPreview() || model_.Type() == kAlongCurveText) return true;
    const double x0 = c.x, x1 = c.x + (g.metrics.gmptGlyphOrigin.x + double(g.metrics.gmBlackBoxX)) * c.xScale;
    const double y0 = c.y - g.metrics.gmptGlyphOrigin.y * c.yScale;
    const double y1 = c.y + (double(g.metrics.gmBlackBoxY) - g.metrics.gmptGlyphOrigin.y) * c.yScale;
    const double left = std::min(x0, x1) - frameAllowance, right = std::max(x0, x1) + frameAllowance;
    const double top = std::min(y0, y1) - frameAllowance, bottom = std::max(y0, y1) + frameAllowance;
    return left >= 0 && top >= 0 && right - AvailableWidth() < 1e-10 && bottom - AvailableHeight() < 1e-10;
}

tagPointF CTextLayout::MapGlyphPoint(const TextCharRecord& c, tagPointF p) const {
    const double xs = std::fabs(frame_.XScale()), ys = std::fabs(frame_.YScale());
    return {p.x * c.xScale / xs + c.x / xs + (model_.Margin(kLeftMargin) / xs - 1),
            c.y / ys - p.y * c.yScale / ys + (model_.Margin(kTopMargin) / ys - 1)};
}

void CTextLayout::BuildTextOutline() {
    CriticalSectionHolder hold(CacheLock());
    segments_.clear();
    glyphCounts_.clear();
    auto& chars = model_.MutableChars();
    // A frame without extent maps nothing: no division by zero.
    const bool mappable = model_.Type() == kAlongCurveText ||
                          (std::fabs(frame_.XScale()) > 0 && std::fabs(frame_.YScale()) > 0);
    for (size_t i = 0; i < chars.size(); ++i) {
        chars[i].hasOutline = mappable && IsGlyphVisible(i);
        if (!chars[i].hasOutline) continue;
        const GlyphEntry& g = GlyphOf(chars[i]);
        glyphCounts_.push_back(g.count);
        for (const SegmentDesc& s : g.segments) {
            SegmentDesc mapped = s;
            mapped.pt1 = MapGlyphPoint(chars[i], s.pt1);
            mapped.pt2 = MapGlyphPoint(chars[i], s.pt2);
            if (s.kind == kSegmentBezier) mapped.pt3 = MapGlyphPoint(chars[i], s.pt3);
            segments_.push_back(mapped);
        }
    }
}
