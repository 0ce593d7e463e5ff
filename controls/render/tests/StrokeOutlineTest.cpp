// The wide outline decides pixels through the exact end points of its edges and the order in which
// they reach the rasteriser. These cases compare it, bit for bit, with a plain reference outline on
// paths of every kind: curves cut into short chords, sharp and gentle corners, straight runs,
// reversals, repeated points, far coordinates, open and closed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "StrokeOutline.h"

namespace {

// The outline as it was first written (straightforward: two passes, one Line per edge). The
// faster outline must hand the rasteriser exactly the same edges: their end points, snapped to
// the grid, fix every pixel, and their order fixes the passages.
class ReferenceOutline {
public:
    template <class EdgeSink>
    int Build(const StrokePoint* points, int count, bool closed, double h, EdgeSink& sink)
    {
        // Sides of no length are dropped; the points are copied only when there is one.
        auto tooShort = [](const StrokePoint& a, const StrokePoint& b) {
            const double dx = b.x - a.x, dy = b.y - a.y;
            return dx * dx + dy * dy < 1e-12;
        };
        int first = 1;
        while (first < count && !tooShort(points[first - 1], points[first])) ++first;
        int n = count;
        if (first < count) {
            pts_.assign(points, points + first);
            for (int i = first; i < count; ++i)
                if (!tooShort(pts_.back(), points[i])) pts_.push_back(points[i]);
            points = pts_.data();
            n = static_cast<int>(pts_.size());
        }
        if (closed && n > 2 && tooShort(points[n - 1], points[0])) --n;
        pt_ = points;
        n_ = n;
        if (n < 2 || !(h > 0)) return 0;
        if (n == 2) closed = false;   // a closed two-point path is its own line there and back
        const int segs = closed ? n : n - 1;
        dirs_.resize(segs);
        lengths_.resize(segs);
        for (int s = 0; s < segs; ++s) {
            const StrokePoint& a = points[s];
            const StrokePoint& b = points[(s + 1) % n];
            const double dx = b.x - a.x, dy = b.y - a.y, len = std::sqrt(dx * dx + dy * dy);
            dirs_[s] = {dx / len, dy / len};
            lengths_[s] = len;
        }
        Side(true, h, closed);
        Side(false, h, closed);
        const int nl = static_cast<int>(left_.size()), nr = static_cast<int>(right_.size());
        if (closed) {
            // Two rings of opposite turn: the band between them winds once.
            for (int i = 0; i < nl; ++i) sink.Line(left_[i].x, left_[i].y, left_[(i + 1) % nl].x, left_[(i + 1) % nl].y);
            for (int i = 0; i < nr; ++i) sink.Line(right_[(i + 1) % nr].x, right_[(i + 1) % nr].y, right_[i].x, right_[i].y);
        } else {
            // Left side forward, flat end, right side back, flat start.
            for (int i = 0; i + 1 < nl; ++i) sink.Line(left_[i].x, left_[i].y, left_[i + 1].x, left_[i + 1].y);
            sink.Line(left_[nl - 1].x, left_[nl - 1].y, right_[nr - 1].x, right_[nr - 1].y);
            for (int i = nr - 1; i > 0; --i) sink.Line(right_[i].x, right_[i].y, right_[i - 1].x, right_[i - 1].y);
            sink.Line(right_[0].x, right_[0].y, left_[0].x, left_[0].y);
        }
        return nl + nr;
    }

private:
    struct Dir { double x, y; };
    void Side(bool leftSide, double h, bool closed)
    {
        std::vector<StrokePoint>& out = leftSide ? left_ : right_;
        out.clear();
        const StrokePoint* pts = pt_;
        const int n = n_;
        const int segs = static_cast<int>(dirs_.size());
        const double sgn = leftSide ? 1.0 : -1.0;
        auto offset = [&](int p, int s) {
            // Left of direction (dx, dy) is (x + dy, y - dx) in y-down pixels.
            return StrokePoint{pts[p].x + sgn * dirs_[s].y * h, pts[p].y - sgn * dirs_[s].x * h};
        };
        const double e = h * h;
        auto join = [&](int vertex, int in, int outSeg) {
            const Dir& u1 = dirs_[in];
            const Dir& u2 = dirs_[outSeg];
            const StrokePoint before = offset(vertex, in), after = offset(vertex, outSeg);
            out.push_back(before);
            // c = d1 . e with d1 = h u1 and e = -h u2 (the new direction reversed).
            const double c = -e * (u1.x * u2.x + u1.y * u2.y);
            const double cross = u1.x * u2.y - u1.y * u2.x;
            const bool outer = leftSide ? cross > 0 : cross <= 0;
            if (!outer && cross != 0) {
                // Inside a turn the two offset sides cross; meeting at their crossing (when it lies on
                // both sides) covers the same pixels as joining the ends straight across, without the
                // small loop that would make the outline double back.
                const double cosine = u1.x * u2.x + u1.y * u2.y;
                if (cosine > -0.9) {
                    const double reach = h * std::sqrt((1 - cosine) / (1 + cosine));
                    if (reach <= lengths_[in] && reach <= lengths_[outSeg]) {
                        const double ox = before.x - pts[vertex].x + after.x - pts[vertex].x;
                        const double oy = before.y - pts[vertex].y + after.y - pts[vertex].y;
                        const double k = 1 / (1 + cosine);
                        out.back() = {pts[vertex].x + ox * k, pts[vertex].y + oy * k};
                        return;
                    }
                }
            }
            if (outer && !pts[vertex].smooth && c > -0.923 * e && c < 0.923 * e) {
                const double mx = h * (u1.x - u2.x), my = h * (u1.y - u2.y);
                const double g = (e - c) * (mx * mx + my * my) / 2;
                if (g > 0) {
                    const double k = e / std::sqrt(g);
                    out.push_back({pts[vertex].x + mx * k, pts[vertex].y + my * k});
                }
            }
            out.push_back(after);
        };
        if (closed) {
            for (int v = 0; v < n; ++v) join(v, (v - 1 + segs) % segs, v % segs);
        } else {
            out.push_back(offset(0, 0));
            for (int v = 1; v < n - 1; ++v) join(v, v - 1, v);
            out.push_back(offset(n - 1, segs - 1));
        }
    }

    std::vector<StrokePoint> pts_;
    const StrokePoint* pt_ = nullptr;
    int n_ = 0;
    std::vector<Dir> dirs_;
    std::vector<double> lengths_;
    std::vector<StrokePoint> left_, right_;
};

// Records every edge as it arrives, polygons edge by edge in the order the edge feed sends them.
struct EdgeRecorder {
    std::vector<double> edges;
    void Line(double x1, double y1, double x2, double y2) { edges.insert(edges.end(), {x1, y1, x2, y2}); }
    template <class Point>
    void Polygon(const Point* points, int count)
    {
        if (count < 2) return;
        for (int k = 0; k < count; ++k) {
            const Point& a = points[k];
            const Point& b = points[k + 1 < count ? k + 1 : 0];
            Line(a.x, a.y, b.x, b.y);
        }
    }
};

struct OutlineCase {
    std::vector<StrokePoint> points;
    bool closed;
    double halfWidth;
};

void ExpectSameEdges(const OutlineCase& c, StrokeOutline& outline, const char* what, int index)
{
    ReferenceOutline reference;
    EdgeRecorder expected, got;
    const int count = static_cast<int>(c.points.size());
    const int expectedPoints = reference.Build(c.points.data(), count, c.closed, c.halfWidth, expected);
    const int gotPoints = outline.Build(c.points.data(), count, c.closed, c.halfWidth, got);
    EXPECT_EQ(expectedPoints, gotPoints) << what << " " << index;
    ASSERT_EQ(expected.edges.size(), got.edges.size()) << what << " " << index;
    for (std::size_t i = 0; i < got.edges.size(); ++i) {
        if (std::isnan(expected.edges[i]) && std::isnan(got.edges[i])) continue;   // the feed drops both
        std::uint64_t a, b;
        std::memcpy(&a, &expected.edges[i], sizeof a);
        std::memcpy(&b, &got.edges[i], sizeof b);
        ASSERT_EQ(a, b) << what << " " << index << ": edge " << i / 4 << " coordinate " << i % 4 << " "
                        << expected.edges[i] << " vs " << got.edges[i];
    }
}

// A wandering path: chords of a curve (smooth points), corners of every angle, and now and then a
// repeated point, a reversal or a straight axis-aligned run.
OutlineCase Wander(std::mt19937& rng, double scale, double offset)
{
    std::uniform_real_distribution<double> unit(0, 1);
    OutlineCase c;
    const int count = 2 + static_cast<int>(unit(rng) * 120);
    double x = offset + unit(rng) * 500 * scale, y = offset + unit(rng) * 500 * scale;
    double heading = unit(rng) * 6.283185307179586;
    const int style = static_cast<int>(unit(rng) * 4);
    for (int i = 0; i < count; ++i) {
        const double roll = unit(rng);
        bool smooth = false;
        double step = (0.3 + unit(rng) * 30) * scale;
        if (style == 0 || roll < 0.4) {
            heading += (unit(rng) - 0.5) * 0.5;   // a gentle bend, as along a flattened curve
            smooth = unit(rng) < 0.8;
            step = (0.2 + unit(rng) * 3) * scale;
        } else if (roll < 0.5) {
            heading += 3.14159265358979 * (unit(rng) < 0.5 ? 1 : -1);   // back the way it came
        } else if (roll < 0.55) {
            step = unit(rng) < 0.5 ? 0 : 1e-7;   // a repeated point, or one a hair away
        } else if (roll < 0.7) {
            heading = 1.5707963267948966 * static_cast<int>(unit(rng) * 4);   // axis-aligned
        } else {
            heading += (unit(rng) - 0.5) * 6.2;
        }
        c.points.push_back({x, y, smooth});
        x += std::cos(heading) * step;
        y += std::sin(heading) * step;
        if (style == 1 && roll < 0.7) { x = std::round(x); y = std::round(y); }
    }
    c.closed = unit(rng) < 0.5;
    static const double halves[] = {0.525, 1.0, 1.5, 2.5, 10.0, 37.0, 1e-3};
    c.halfWidth = halves[static_cast<int>(unit(rng) * 7)];
    return c;
}

TEST(StrokeOutlineTest, HandsTheRasteriserTheReferenceEdges)
{
    std::mt19937 rng(20261210);
    StrokeOutline outline;   // one outline for all, as the tile renderer keeps it
    for (int i = 0; i < 4000; ++i) {
        const double scale = i % 5 == 0 ? 0.01 : i % 7 == 0 ? 40.0 : 1.0;
        const double offset = i % 11 == 0 ? 3e6 : i % 13 == 0 ? -1e9 : 0;
        ExpectSameEdges(Wander(rng, scale, offset), outline, "wander", i);
        if (HasFatalFailure()) return;
    }
}

TEST(StrokeOutlineTest, HandsTheRasteriserTheReferenceEdgesOnFixedShapes)
{
    auto make = [](std::vector<StrokePoint> p, bool closed, double h) { return OutlineCase{p, closed, h}; };
    const std::vector<OutlineCase> cases = {
        make({{10, 10}, {20, 10}}, false, 1.5),                              // one side
        make({{10, 10}, {20, 10}}, true, 1.5),                               // there and back
        make({{10, 10}, {20, 10}, {10, 10}}, false, 1.5),                    // a reversal
        make({{10, 10}, {20, 10}, {30, 10}, {40, 10}}, false, 1.5),          // straight through
        make({{10, 10}, {20, 10}, {20, 20}, {10, 20}}, true, 1.5),           // a square
        make({{10, 10}, {20, 10}, {20, 20}, {10, 20}, {10, 10}}, true, 3),   // closed on its start
        make({{10, 10}, {10, 10}, {10, 10}}, false, 1.5),                    // nothing but one point
        make({{10, 10}, {20, 10}, {20, 10}, {20, 20}}, false, 1.5),          // a repeated corner
        make({{0, 0}, {100, 1}, {0, 2}}, false, 2),                          // a needle
        make({{0, 0}, {10, 0}, {20, 0.0001}, {30, 0}}, false, 2),           // nearly straight
        make({{0, 0}, {4, 0}, {4.5, 3}, {9, 3}}, false, 10),                 // sides shorter than the width
        make({{5, 5}, {15, 5}}, false, 0),                                   // no width
        // Inner sides that cross exactly at the end of a side, and a hair beyond it.
        make({{0, 0}, {2, 0}, {2, 2}, {4, 2}}, false, 2),
        make({{0, 0}, {2, 0}, {2, 2 - 1e-12}, {4, 2}}, false, 2),
        make({{0, 0}, {2 + 1e-12, 0}, {2 + 1e-12, 2}, {0, 2}}, true, 2),
        // Damaged input: far, infinite and undefined coordinates, enormous and infinite widths.
        make({{0, 0}, {1e120, 5}, {3, 1e-120}, {7, 9}}, false, 2),
        make({{0, 0}, {HUGE_VAL, 5}, {3, 4}, {7, 9}}, true, 2),
        make({{0, 0}, {std::nan(""), 5}, {3, 4}, {7, 9}}, false, 2),
        make({{0, 0}, {10, 5}, {3, 4}, {7, 9}}, true, 1e200),
        make({{0, 0}, {10, 5}, {3, 4}, {7, 9}}, false, HUGE_VAL),
        make({{1e-150, 0}, {2e-150, 1e-150}, {3e-150, 0}}, false, 1e-140),
        // A closing side shorter than the sides dropped as too short, left after the last point went.
        make({{0, 0}, {5, 0}, {5, 5}, {-9e-7, 0}, {9e-7, 0}}, true, 2),
    };
    StrokeOutline outline;
    for (std::size_t i = 0; i < cases.size(); ++i) ExpectSameEdges(cases[i], outline, "shape", static_cast<int>(i));
}

}  // namespace
