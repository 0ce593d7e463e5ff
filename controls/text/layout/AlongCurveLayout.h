#pragma once
// Layout of text set along a curve: the characters' origins and turns come from the path between
// the two handles, and every glyph is drawn at the one glyph scale that makes the text fit.
#include <vector>

#include "AlongCurvePlacement.h"
#include "TextLayout.h"

class CAlongCurveLayout : public CTextLayout {
public:
    using CTextLayout::CTextLayout;

    // The path's point list (four points for the first cubic, three for each further one) in
    // the coordinates the glyphs are placed in, and the text's start and end on it.
    void SetPath(std::vector<tagPointF> points) { path_ = std::move(points); }
    void SetHandles(PathPosition first, PathPosition second) {
        first_ = first;
        second_ = second;
    }
    double GlyphScale() const { return glyphScale_; }
    const std::vector<tagPointF>& Path() const { return path_; }

protected:
    void PlaceAlongCurve() override;
    tagPointF MapGlyphPoint(const TextCharRecord& c, tagPointF p) const override;

private:
    std::vector<tagPointF> path_;
    PathPosition first_, second_;
    double glyphScale_ = 0;
};
