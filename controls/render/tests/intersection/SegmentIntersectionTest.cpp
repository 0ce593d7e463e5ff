// Segment crossings on their edge cases: shared and coincident end points, margins of adjacent
// segments, collinear overlaps, tangent lines, loops, identical curves and degenerate input.
#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

#include "render/SegmentIntersection.h"

namespace {

// Two records for a line (the line and a closing record), five for a cubic's points and its end.
std::vector<SegmentDesc> Line(double x0, double y0, double x1, double y1) {
    std::vector<SegmentDesc> r(2);
    r[0].kind = SegmentLine;
    r[0].pt1 = {x0, y0}, r[0].pt2 = {x1, y1};
    r[1].kind = SegmentEnd;
    r[1].pt1 = {x1, y1};
    return r;
}

std::vector<SegmentDesc> Cubic(double x0, double y0, double x1, double y1, double x2, double y2, double x3,
                               double y3) {
    std::vector<SegmentDesc> r(2);
    r[0].kind = SegmentCubic;
    r[0].pt1 = {x0, y0}, r[0].pt2 = {x1, y1}, r[0].pt3 = {x2, y2};
    r[1].kind = SegmentEnd;
    r[1].pt1 = {x3, y3};
    return r;
}

std::vector<SegmentCrossing> Cross(const std::vector<SegmentDesc>& a, const std::vector<SegmentDesc>& b,
                                   bool adjacent = false) {
    SegmentCrossing out[kMaxSegmentCrossings];
    const int n = IntersectSegments(a.data(), b.data(), out, adjacent);
    return std::vector<SegmentCrossing>(out, out + n);
}

TEST(IntersectLines, EndPointsCrossingsAndMargins) {
    // Shared start, even when parallel.
    auto c = Cross(Line(0, 0, 10, 0), Line(0, 0, 5, 0));
    ASSERT_GE(c.size(), 1u);
    EXPECT_EQ(0.0, c[0].tP);
    EXPECT_EQ(0.0, c[0].tQ);
    // Joined end to start: the joint (1, 0), adjacent or not.
    for (bool adjacent : {false, true}) {
        c = Cross(Line(0, 0, 10, 0), Line(10, 0, 10, 10), adjacent);
        ASSERT_EQ(1u, c.size()) << adjacent;
        EXPECT_EQ(1.0, c[0].tP);
        EXPECT_EQ(0.0, c[0].tQ);
        EXPECT_EQ(100.0, c[0].cross);
    }
    // A crossing 1e-9 beyond an end: reported for other segments, not for adjacent ones.
    EXPECT_EQ(1u, Cross(Line(0, 0, 10, 0), Line(10 + 1e-8, -5, 10 + 1e-8, 5)).size());
    EXPECT_EQ(0u, Cross(Line(0, 0, 10, 0), Line(10 - 1e-8, -5, 10 - 1e-8, 5), true).size());
    c = Cross(Line(0, 0, 10, 10), Line(0, 10, 10, 0));
    ASSERT_EQ(1u, c.size());
    EXPECT_DOUBLE_EQ(0.5, c[0].tP);
    EXPECT_DOUBLE_EQ(5.0, c[0].point.x);
    EXPECT_DOUBLE_EQ(-200.0, c[0].cross);
    EXPECT_DOUBLE_EQ(0.0, c[0].dot);
    EXPECT_DOUBLE_EQ(40000.0, c[0].lengths);
}

// The parameter margins: other segments take crossings up to 1e-8 beyond an end, adjacent ones
// only from 1e-8 inside it; end points that coincide exactly are reported either way.
TEST(IntersectLines, MarginsMoveInwardsForAdjacentSegmentsButEqualEndsStay) {
    const struct {
        const char* name;
        double x;           // the second line crosses the first (0,0)-(10,0) at this x, or joins it there
        bool joined;        // the second line starts at (x, 0) instead of crossing there
        bool adjacent;
        size_t crossings;
        double tP;
    } cases[] = {
        {"inside, other", 5, false, false, 1, 0.5},
        {"inside, adjacent", 5, false, true, 1, 0.5},
        {"1e-9 beyond the end, other", 10 + 1e-8, false, false, 1, 1 + 1e-9},
        {"1e-9 beyond the end, adjacent", 10 + 1e-8, false, true, 0, 0},
        {"1e-9 inside the end, adjacent", 10 - 1e-8, false, true, 0, 0},
        {"1e-9 inside the end, other", 10 - 1e-8, false, false, 1, 1 - 1e-9},
        {"1e-8 inside the start, adjacent", 2e-7, false, true, 1, 2e-8},
        {"1e-7 beyond the start, other", -1e-6, false, false, 0, 0},
        {"equal end points, adjacent", 10, true, true, 1, 1},
        {"equal end points, other", 10, true, false, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto second = c.joined ? Line(c.x, 0, c.x, 10) : Line(c.x, -5, c.x, 5);
        const auto found = Cross(Line(0, 0, 10, 0), second, c.adjacent);
        ASSERT_EQ(c.crossings, found.size());
        if (c.crossings == 0) continue;
        EXPECT_NEAR(c.tP, found[0].tP, 1e-15);
        if (c.joined) EXPECT_EQ(0.0, found[0].tQ);
    }
}

TEST(IntersectLines, CollinearOverlapsAndDegenerateLines) {
    auto c = Cross(Line(0, 0, 10, 0), Line(5, 0, 15, 0));
    ASSERT_EQ(2u, c.size());
    for (const auto& k : c) EXPECT_EQ(0.0, k.cross);
    EXPECT_EQ(0u, Cross(Line(0, 0, 10, 0), Line(3, 0, 7, 0)).size());     // wholly inside
    EXPECT_EQ(0u, Cross(Line(0, 0, 10, 0), Line(12, 0, 15, 0)).size());   // apart on one line
    EXPECT_EQ(0u, Cross(Line(0, 0, 10, 0), Line(0, 1, 10, 1)).size());    // parallel
    EXPECT_EQ(0u, Cross(Line(5, 5, 5, 5), Line(0, 0, 10, 10)).size());    // zero length
    EXPECT_EQ(0u, Cross(Line(0, 0, 10, 10), Line(5, 5, 5, 5)).size());
    const auto line = Line(0, 0, 10, 10);
    SegmentCrossing out[kMaxSegmentCrossings];
    EXPECT_EQ(0, IntersectSegments(line.data(), line.data(), out, false));
    EXPECT_EQ(0, IntersectSegments(&line[1], line.data(), out, false));   // kind 2
    for (const auto& k : Cross(Line(0, 0, 1e-300, 0), Line(0, 1, 0, -1)))
        EXPECT_TRUE(std::isfinite(k.tP) && std::isfinite(k.tQ));
}

TEST(IntersectLineCubic, TangentStartAndCrossings) {
    // A line along the cubic's first control leg touches it at its start.
    auto c = Cross(Line(-5, 0, 5, 0), Cubic(0, 0, 3, 0, 6, 5, 9, 5));
    ASSERT_EQ(1u, c.size());
    EXPECT_EQ(0.0, c[0].tQ);
    EXPECT_EQ(0.0, c[0].cross);
    // A horizontal line through the upper lobe of an S curve: two crossings; the third root of the
    // cubic (t = 1.008) lies beyond the curve's end.
    const auto s = Cubic(0, 0, 10, 20, 0, -20, 10, 0);
    c = Cross(Line(-1, 0.5, 11, 0.5), s);
    ASSERT_EQ(2u, c.size());
    for (const auto& k : c) EXPECT_NEAR(0.5, 60 * k.tQ * (1 - k.tQ) * (1 - 2 * k.tQ), 1e-12);
    // The cubic first: parameters and the cross product follow the callers' order.
    auto swapped = Cross(s, Line(-1, 0.5, 11, 0.5));
    ASSERT_EQ(c.size(), swapped.size());
    for (size_t i = 0; i < c.size(); ++i) {
        EXPECT_EQ(c[i].tP, swapped[i].tQ);
        EXPECT_EQ(-c[i].cross, swapped[i].cross);
    }
    // An end point shared exactly is reported for adjacent segments too.
    c = Cross(Line(-5, -5, 0, 0), Cubic(0, 0, 3, 4, 6, 5, 9, 5), true);
    ASSERT_EQ(1u, c.size());
    EXPECT_EQ(1.0, c[0].tP);
    EXPECT_EQ(0.0, c[0].tQ);
}

TEST(IntersectCubics, LoopsIdenticalCurvesAndClipping) {
    const auto loop = Cubic(0, 0, 10, 10, 0, 10, 10, 0);
    SegmentCrossing out[kMaxSegmentCrossings];
    ASSERT_EQ(1, IntersectSegments(loop.data(), loop.data(), out, false));
    EXPECT_NEAR(out[0].tP + out[0].tQ, out[0].tP + out[0].tQ, 0);
    const tagPointF a = out[0].point;
    EXPECT_NEAR(5.0, a.x, 1e-9);
    const auto arch = Cubic(0, 0, 3, 5, 7, 5, 10, 0);
    EXPECT_EQ(0, IntersectSegments(arch.data(), arch.data(), out, false));
    // Identical curves that are not neighbours meet at their two ends.
    const auto twin = arch;
    auto c = Cross(arch, twin);
    ASSERT_EQ(2u, c.size());
    EXPECT_EQ(0.0, c[0].tP);
    EXPECT_EQ(1.0, c[1].tQ);
    EXPECT_EQ(0u, Cross(arch, twin, true).size());
    // Two arches crossing twice.
    c = Cross(arch, Cubic(0, 3, 3, -2, 7, -2, 10, 3));
    EXPECT_EQ(2u, c.size());
    double t0, t1;
    const tagPointF inside[4] = {{1, 1}, {2, 2}, {3, 1}, {4, 2}};
    ClipBezierToRect(inside, tagRectF{0, 0, 10, 10}, t0, t1);
    EXPECT_EQ(0.0, t0);
    EXPECT_EQ(1.0, t1);
    const tagPointF away[4] = {{20, 20}, {21, 22}, {23, 21}, {24, 22}};
    ClipBezierToRect(away, tagRectF{0, 0, 10, 10}, t0, t1);
    EXPECT_EQ(10.0, t0);
    EXPECT_EQ(-10.0, t1);
}

// A curve beside a copy of itself moved by a few millionths: chords of one cut the other, but only
// points where the curves truly meet are crossings.
TEST(IntersectCubics, NearlyCoincidentCurvesGiveOnlyTrueCrossings) {
    const double dx = 5.2274528e-06, dy = -8.0254032e-06;
    const auto a = Cubic(0, 0, 3, 9, 8, -4, 10, 5);
    const auto b = Cubic(dx, dy, 3 + dx, 9 + dy, 8 + dx, -4 + dy, 10 + dx, 5 + dy);
    for (const auto& c : Cross(a, b)) {
        auto at = [](const std::vector<SegmentDesc>& r, double t) {
            const double u = 1 - t;
            const tagPointF p0 = r[0].pt1, p1 = r[0].pt2, p2 = r[0].pt3, p3 = r[1].pt1;
            return tagPointF{u * u * u * p0.x + 3 * u * u * t * p1.x + 3 * u * t * t * p2.x + t * t * t * p3.x,
                             u * u * u * p0.y + 3 * u * u * t * p1.y + 3 * u * t * t * p2.y + t * t * t * p3.y};
        };
        const tagPointF p = at(a, c.tP), q = at(b, c.tQ);
        EXPECT_LT(std::hypot(p.x - q.x, p.y - q.y), 1e-8) << c.tP << " " << c.tQ;
    }
}

// Coordinates that are not finite or very large give some answer, never a fault or a crossing that
// is not finite.
TEST(IntersectSegments, BrokenCoordinatesAnswerQuietly) {
    const double bad[] = {std::nan(""), INFINITY, -INFINITY, 1e300, -1e300, 1e-300};
    for (double v : bad) {
        const std::vector<std::vector<SegmentDesc>> shapes = {
            Line(0, 0, v, 10), Line(v, v, 3, 3), Cubic(0, 0, v, 1, 2, 2, 3, 0), Cubic(0, v, 4, 1, 2, v, 3, 0),
            Cubic(0, 0, 1, 5, 2, 5, 3, 0), Line(-1, 2, 4, 2)};
        for (const auto& a : shapes)
            for (const auto& b : shapes)
                for (bool adjacent : {false, true}) {
                    SegmentCrossing out[kMaxSegmentCrossings];
                    const int n = IntersectSegments(a.data(), b.data(), out, adjacent);
                    ASSERT_GE(n, 0);
                    ASSERT_LE(n, kMaxSegmentCrossings);
                    for (int i = 0; i < n; ++i) EXPECT_FALSE(std::isnan(out[i].tP) && std::isnan(out[i].tQ));
                }
    }
}

// The march keeps its working state per call: threads get the answers of a single thread.
TEST(IntersectCubics, ConcurrentCallsAgree) {
    const auto a = Cubic(0, 0, 30, 40, -10, 40, 20, 0), b = Cubic(-5, 10, 40, 0, -20, 30, 25, 20);
    const auto expected = Cross(a, b);
    ASSERT_GE(expected.size(), 2u);
    std::vector<std::thread> threads;
    std::vector<int> wrong(4, 0);
    for (int k = 0; k < 4; ++k)
        threads.emplace_back([&, k] {
            for (int i = 0; i < 300; ++i) {
                const auto got = Cross(a, b);
                if (got.size() != expected.size()) { ++wrong[k]; continue; }
                for (size_t j = 0; j < got.size(); ++j)
                    if (got[j].tP != expected[j].tP || got[j].tQ != expected[j].tQ) ++wrong[k];
            }
        });
    for (auto& t : threads) t.join();
    for (int w : wrong) EXPECT_EQ(0, w);
}

}  // namespace
