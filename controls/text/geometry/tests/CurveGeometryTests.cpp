// Points, pieces, lengths and nearest positions on poly-Bezier paths.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "TestPaths.h"
#include "geometry/CurveGeometry.h"
#include "render/BezierGeometry.h"

namespace {

const tagPointF kCubic[4] = {{0, 0}, {1, 2}, {3, 2}, {4, 0}};


}  // namespace

TEST(CurveGeometry, EvaluationIsExactAtTheEnds) {
    const tagPointF p0 = EvaluateBezier(kCubic, 0), p3 = EvaluateBezier(kCubic, 1);
    EXPECT_EQ(0, p0.x);
    EXPECT_EQ(4, p3.x);
    EXPECT_EQ(0, p3.y);
    const tagPointF mid = EvaluateBezier(kCubic, 0.5);
    EXPECT_DOUBLE_EQ(2, mid.x);
    EXPECT_DOUBLE_EQ(1.5, mid.y);
}

TEST(CurveGeometry, SplitPiecesRetraceTheCurve) {
    for (double t : {0.25, 0.5, 0.9}) {
        tagPointF first[4], second[4], window[4];
        SplitBezierSegment(kCubic, t, false, first);
        SplitBezierSegment(kCubic, t, true, second);
        CutBezierWindow(kCubic, 0.2, 0.7, window);
        for (double u : {0.0, 0.3, 1.0}) {
            const tagPointF a = EvaluateBezier(first, u), b = EvaluateBezier(kCubic, u * t);
            EXPECT_NEAR(b.x, a.x, 1e-12);
            EXPECT_NEAR(b.y, a.y, 1e-12);
            const tagPointF c = EvaluateBezier(second, u), d = EvaluateBezier(kCubic, t + u * (1 - t));
            EXPECT_NEAR(d.x, c.x, 1e-12);
            EXPECT_NEAR(d.y, c.y, 1e-12);
            const tagPointF e = EvaluateBezier(window, u), f = EvaluateBezier(kCubic, 0.2 + u * 0.5);
            EXPECT_NEAR(f.x, e.x, 1e-12);
            EXPECT_NEAR(f.y, e.y, 1e-12);
        }
    }
}

TEST(CurveGeometry, LengthCountsWholeSegmentsOnly) {
    const double one = GetBezierLength(0, 0, 1, 2, 3, 2, 4, 0, 20);
    std::vector<tagPointF> two(kCubic, kCubic + 4);
    two.insert(two.end(), {{5, -2}, {7, -2}, {8, 0}});
    struct { int count; double want; } cases[] = {{0, 0}, {1, 0}, {4, one}, {5, one}, {6, one}, {7, 2 * one}};
    for (const auto& c : cases) EXPECT_NEAR(c.want, GetPolyBezierLength(two.data(), c.count), 1e-12) << c.count;
    EXPECT_EQ(0, GetPolyBezierLength(nullptr, 7));
    const auto circle = CirclePath(1);
    EXPECT_NEAR(2 * 3.14159265358979323846, GetPolyBezierLength(circle.data(), 13), 2e-3);
}

TEST(CurveGeometry, NearestPositions) {
    const auto circle = CirclePath(2);
    struct { tagPointF p; int index; double t, tolerance; } cases[] = {
        {{2, 0}, 0, 0, 0},               // the first point of a closed path: segment 0 at 0
        {{5, 0.0001}, 0, 0, 0.002},
        {{0, 3}, 0, 1, 0.002},           // the end of segment 0, not the start of segment 1
        {{-1.5, 1.5}, 3, 0.5, 0.002},
        {{2, -0.01}, 9, 1, 0.01},        // just before the closing point: the last segment
    };
    for (const auto& c : cases) {
        const PathPosition at = FindNearestPointOnPolyBezier(c.p, circle.data(), 13);
        EXPECT_EQ(c.index, at.index) << c.p.x << " " << c.p.y;
        EXPECT_NEAR(c.t, at.t, c.tolerance) << c.p.x << " " << c.p.y;
        EXPECT_LE(at.t, 1.0);
        EXPECT_EQ(-10.0, at.Stored().x);
        EXPECT_DOUBLE_EQ(at.index + at.t / 4, at.Stored().y);
    }
    // Off the circle, the nearest point is about as far as the radius says.
    for (tagPointF p : {tagPointF{0.2, -2.2}, tagPointF{-3, 1}, tagPointF{0.5, 0.1}, tagPointF{1.9, -1.9}}) {
        const PathPosition at = FindNearestPointOnPolyBezier(p, circle.data(), 13);
        const tagPointF q = EvaluateBezier(&circle[size_t(at.index)], at.t);
        EXPECT_NEAR(std::fabs(std::hypot(p.x, p.y) - 2), std::hypot(p.x - q.x, p.y - q.y), 2e-3) << p.x << " " << p.y;
    }
    const PathPosition start = FindNearestPointOnPolyBezier({2, 0}, circle.data(), 13);
    EXPECT_EQ(0.0, start.Stored().y);
}

TEST(CurveGeometry, PathsOfFewerThanFourPointsHaveNoNearestSegment) {
    const tagPointF two[2] = {{0, 0}, {1, 1}};
    for (int n : {0, 1, 2, 3}) {
        const PathPosition at = FindNearestPointOnPolyBezier({0.5, 0.5}, two, n < 3 ? n : 2);
        EXPECT_EQ(0, at.index);
        EXPECT_EQ(0, at.t);
    }
    EXPECT_EQ(0, FindNearestPointOnPolyBezier({1, 1}, nullptr, 7).t);
}
