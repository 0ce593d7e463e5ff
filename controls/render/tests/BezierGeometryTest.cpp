#include "render/BezierGeometry.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

namespace {

SegmentDesc Line(double x0, double y0, double x1, double y1)
{
    SegmentDesc s{};
    s.kind = SegmentLine;
    s.pt1 = {x0, y0};
    s.pt2 = {x1, y1};
    return s;
}

SegmentDesc Cubic(double x0, double y0, double x1, double y1, double x2, double y2)
{
    SegmentDesc s{};
    s.kind = SegmentCubic;
    s.pt1 = {x0, y0};
    s.pt2 = {x1, y1};
    s.pt3 = {x2, y2};
    return s;
}

SegmentDesc End(double x, double y)
{
    SegmentDesc s{};
    s.kind = SegmentEnd;
    s.pt1 = {x, y};
    return s;
}

void ExpectBox(const tagRectF& box, double l, double t, double r, double b, double eps = 1e-9)
{
    EXPECT_NEAR(l, box.left, eps);
    EXPECT_NEAR(t, box.top, eps);
    EXPECT_NEAR(r, box.right, eps);
    EXPECT_NEAR(b, box.bottom, eps);
}

std::vector<SegmentDesc> Square(double x, double y, double side)
{
    return {Line(x, y, x + side, y), Line(x + side, y, x + side, y + side), Line(x + side, y + side, x, y + side),
            Line(x, y + side, x, y), End(x, y)};
}

TEST(PathBounds, EmptyArrayGivesZeroBoxOrLeavesIt)
{
    tagRectF box{1, 2, 3, 4};
    GetPathBounds(nullptr, 0, box, true, false);
    ExpectBox(box, 1, 2, 3, 4);
    GetPathBounds(nullptr, 0, box, false, false);
    ExpectBox(box, 0, 0, 0, 0);
}

TEST(PathBounds, CubicExtremesAndControlPoints)
{
    // A bulge to y = -7.5 at its middle (control points at -10).
    std::vector<SegmentDesc> path = {Cubic(0, 0, 0, -10, 10, -10), End(10, 0)};
    tagRectF exact, hull;
    GetPathBounds(path.data(), 2, exact, false, false);
    GetPathBounds(path.data(), 2, hull, false, true);
    ExpectBox(exact, 0, -7.5, 10, 0);
    ExpectBox(hull, 0, -10, 10, 0);
}

TEST(PathBounds, CubicAlongItsChordHasNoInnerExtremes)
{
    tagRectF box;
    GetBezierBoundingBox(0, 0, 1, 1, 2, 2, 3, 3, box, false);
    ExpectBox(box, 0, 0, 3, 3);
}

TEST(StrokedBounds, LineAndClosedSquare)
{
    std::vector<SegmentDesc> line = {Line(0, 0, 10, 0), End(10, 0)};
    for (bool closed : {false, true}) {
        tagRectF box{1e60, 1e60, -1e60, -1e60};
        GetSegmentsBoundsWithStroke(line.data(), 2, 2.0, box, closed, false);
        ExpectBox(box, 0, -1, 10, 1);
    }
    // Square of side 10, half width 1: miter tips at distance sqrt(2) from each corner.
    const auto square = Square(0, 0, 10);
    tagRectF open{1e60, 1e60, -1e60, -1e60}, closedBox{1e60, 1e60, -1e60, -1e60};
    GetSegmentsBoundsWithStroke(square.data(), 5, 2.0, open, false, false);
    GetSegmentsBoundsWithStroke(square.data(), 5, 2.0, closedBox, true, false);
    ExpectBox(closedBox, -1, -1, 11, 11);
    // Without closing, the start corner (0, 0) has only butt ends: left stays -1 from the last line
    // but the top-left tip is missing, which the box does not show; the other three tips are there.
    ExpectBox(open, -1, -1, 11, 11);
}

TEST(StrokedBounds, CubicCollapsedToAPointStaysFinite)
{
    std::vector<SegmentDesc> path = {Cubic(5, 5, 5, 5, 5, 5), End(5, 5)};
    tagRectF box{1e60, 1e60, -1e60, -1e60};
    GetSegmentsBoundsWithStroke(path.data(), 2, 4.0, box, true, false);
    ASSERT_TRUE(std::isfinite(box.left) && std::isfinite(box.top) && std::isfinite(box.right) && std::isfinite(box.bottom));
    ExpectBox(box, 3, 3, 7, 7);
}

TEST(StrokedBounds, ShortLineAddsUnwidenedEnds)
{
    std::vector<SegmentDesc> path = {Line(1, 1, 1 + 1e-7, 1), End(1 + 1e-7, 1)};
    tagRectF box{1e60, 1e60, -1e60, -1e60};
    GetSegmentsBoundsWithStroke(path.data(), 2, 4.0, box, false, false);
    ExpectBox(box, 1, 1, 1 + 1e-7, 1, 1e-12);
}

struct XExtremeCase {
    double p[8];
    double expect[4];
};

TEST(BezierXExtremes, Table)
{
    const XExtremeCase cases[] = {
        {{0, 0, 1, 0, 2, 0, 3, 0}, {0, 0, 3, 0}},
        {{3, 1, 2, 1, 1, 1, 0, 1}, {0, 1, 3, 1}},
        // Loops out to x = 7.5 at t = 0.5 with y 0.
        {{0, -1, 10, -1, 10, 1, 0, 1}, {0, 1, 7.5, 0}},
    };
    for (const XExtremeCase& c : cases) {
        double out[4];
        GetBezierXExtremes(c.p[0], c.p[1], c.p[2], c.p[3], c.p[4], c.p[5], c.p[6], c.p[7], out);
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(c.expect[i], out[i], 1e-12) << i;
    }
}

TEST(BezierLength, ChordsOfAStraightCubic)
{
    EXPECT_NEAR(30.0, GetBezierLength(0, 0, 10, 0, 20, 0, 30, 0, 16), 1e-9);
    EXPECT_EQ(0.0, GetBezierLength(0, 0, 10, 0, 20, 0, 30, 0, 0));
}

struct RootCase {
    double a, b, c, d;
    int count;
    double roots[3];
};

TEST(Solvers, QuadraticAndCubicTable)
{
    double r[3];
    EXPECT_EQ(0, SolveQuadratic(0, 0, 5, r, 1e-12));
    ASSERT_EQ(1, SolveQuadratic(0, 2, -4, r, 1e-12));
    EXPECT_DOUBLE_EQ(2, r[0]);
    ASSERT_EQ(2, SolveQuadratic(1, -3, 2, r, 1e-12));
    EXPECT_DOUBLE_EQ(2, r[0]);
    EXPECT_DOUBLE_EQ(1, r[1]);
    EXPECT_EQ(0, SolveQuadratic(1, 0, 1, r, 1e-12));

    const RootCase cases[] = {
        {1, -6, 11, -6, 3, {3, 2, 1}},
        {1, 0, 0, -8, 1, {2}},
        {1e-12, 1, -3, 2, 2, {2, 1}},   // below eps: the quadratic remains
    };
    for (const RootCase& c : cases) {
        const int n = SolveCubic(c.a, c.b, c.c, c.d, r, 1e-8);
        ASSERT_EQ(c.count, n);
        for (int i = 0; i < n; ++i) EXPECT_NEAR(c.roots[i], r[i], 1e-9) << i;
    }
}

} // namespace
