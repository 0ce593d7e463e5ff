#pragma once
// First stage of a tile: the path's segments flattened into sub-path polylines in destination
// pixels. Cubics are cut into a number of equal parameter steps fixed by their own control points,
// so every tile of a drawing sees the same points; a cubic whose control box lies wholly outside
// the tile's extended clip is replaced by its chord, which changes nothing inside the tile (what
// lies left of a tile acts only through the height it spans).
#include <cstdint>
#include <vector>

#include "render/SegmentDesc.h"

struct WalkPoint {
    double x, y;
    double length;   // path length from the previous point of its sub-path (0 for a sub-path's first point)
};

struct WalkSubpath {
    int first;
    int count;
};

struct WalkRequest {
    const SegmentDesc* segments = nullptr;
    int count = 0;
    tagRectF clip{};                     // extended clip: cubics wholly outside are chords
    double tolerance = 0.1;              // greatest distance of a flattened chord from its curve
    bool needLengths = false;            // chords of culled cubics carry the curve's length (dashes)
    unsigned short* dashKey = nullptr;   // caller's cache key slot, with needLengths
};

class PathWalk {
public:
    explicit PathWalk(int capacity);

    // False when the points do not fit the pool (the tile must be split); checked on every point.
    bool Run(const WalkRequest& request);

    const std::vector<WalkPoint>& points() const { return points_; }
    const std::vector<WalkSubpath>& subpaths() const { return subpaths_; }
    int capacity() const { return capacity_; }

    // Number of equal parameter steps that keep a cubic's chords within tolerance of it.
    static int CubicSteps(const tagPointF& p0, const tagPointF& p1, const tagPointF& p2, const tagPointF& p3,
                          double tolerance);

private:
    bool Append(double x, double y, double length);
    double Distance(const tagPointF& p, const WalkRequest& request) const;
    void EndSubpath();
    bool FlattenCubic(const tagPointF& p0, const tagPointF& p1, const tagPointF& p2, const tagPointF& p3,
                      const WalkRequest& request);
    double CachedCubicLength(const tagPointF& p0, const tagPointF& p1, const tagPointF& p2, const tagPointF& p3,
                             const WalkRequest& request);

    int capacity_;
    std::vector<WalkPoint> points_;
    std::vector<WalkSubpath> subpaths_;
    int subpathStart_ = 0;
    bool haveCurrent_ = false;
    double curX_ = 0, curY_ = 0;
};
