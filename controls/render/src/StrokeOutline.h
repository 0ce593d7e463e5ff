#pragma once
// Outline of a stroked polyline as closed polygons for non-zero filling: both sides offset by the
// half width, flat ends, and at each vertex a miter point on the outside of turns between about
// 22.6 and 157.4 degrees (sharper and flatter turns are joined straight across). Vertices inside a
// flattened curve get no miter: the curve turns there only because it was cut into chords, and a
// miter at a tight bend would reach beyond the stroked curve's bounds.
#include <vector>

struct StrokePoint {
    double x, y;
    bool smooth = false;   // inside a curve: the sides follow it without a miter
};

struct StrokeBounds {
    double left = 1e300, top = 1e300, right = -1e300, bottom = -1e300;
    void Add(double x, double y)
    {
        if (x < left) left = x;
        if (x > right) right = x;
        if (y < top) top = y;
        if (y > bottom) bottom = y;
    }
    bool empty() const { return left > right; }
};

class StrokeOutline {
public:
    // Builds the outline of points[0..count) with half width h; closed joins the end back to the
    // start (adding the closing side when the ends differ). Returns the number of offset points.
    // The sink takes Line(x1, y1, x2, y2) and Polygon(points, count) (the closed ring through them).
    template <class EdgeSink>
    int Build(const StrokePoint* points, int count, bool closed, double h, EdgeSink& sink);

private:
    struct Side {
        double ux, uy;     // unit direction
        double ox, oy;     // uy * h and ux * h: the left offset is (+ox, -oy), the right (-ox, +oy)
        double length;
        double lengthSquared;   // as summed from the coordinates
    };
    struct OutlinePoint { double x, y; };
    void Sides(bool closed, double h);
    std::vector<StrokePoint> pts_;   // the points less sides of no length, when there are such
    const StrokePoint* pt_ = nullptr;   // the points being outlined
    int n_ = 0;
    bool moderateSides_ = true;   // every side's length between 1e-100 and 1e100
    std::vector<Side> sides_;
    // Both sides of the outline in one buffer: the left from the front, the right from the back
    // (so that it lies reversed, as an open outline goes round).
    std::vector<OutlinePoint> ring_;
    int leftCount_ = 0, rightCount_ = 0, rightFirst_ = 0;
};

#include "StrokeOutline.inl"
