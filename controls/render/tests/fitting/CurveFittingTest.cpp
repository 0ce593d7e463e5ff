// Corner splitting and Bezier fitting on their edge cases: smoothing passes by pen width, strokes of
// fewer than two points, straight runs, zig-zags and the starting handles.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "render/CurveFitting.h"

namespace {

struct Split {
    std::vector<tagPointF> points;
    std::vector<int> breaks;
};

Split SplitStroke(const std::vector<tagPointF>& in, int width, tagPointF origin = {0, 0}, double scale = 1) {
    int* breaks = nullptr;
    int count = -1;
    tagPointF* out = SplitPolylineAtCorners(in.data(), int(in.size()), origin, scale, &breaks, &count, width);
    Split s;
    if (out) {
        s.breaks.assign(breaks, breaks + count);
        s.points.assign(out, out + s.breaks.back() + 1);
    }
    delete[] out;
    delete[] breaks;
    return s;
}

std::vector<tagPointF> Wave(int n) {
    std::vector<tagPointF> p;
    for (int i = 0; i < n; ++i) p.push_back({double(5 * i), std::round(20 * std::sin(i * 0.3))});
    return p;
}

TEST(SmoothPolylinePoint, RunEndsStayAndInnerPointsAverage) {
    const tagPointF p[4] = {{0, 0}, {4, 8}, {8, 0}, {12, 8}};
    EXPECT_DOUBLE_EQ(0, SmoothPolylinePoint(p, 0, 0, 3).y);
    EXPECT_DOUBLE_EQ(8, SmoothPolylinePoint(p, 3, 0, 3).y);
    EXPECT_DOUBLE_EQ(4, SmoothPolylinePoint(p, 1, 0, 3).y);
    EXPECT_DOUBLE_EQ(4, SmoothPolylinePoint(p, 1, 0, 3).x);
    EXPECT_DOUBLE_EQ(8, SmoothPolylinePoint(p, 1, 1, 1).y);   // a run of one point
}

TEST(SplitPolylineAtCorners, SmoothingPassesFollowThePenWidth) {
    const std::vector<tagPointF> wave = Wave(60);
    const Split none = SplitStroke(wave, -17), one = SplitStroke(wave, -16), three = SplitStroke(wave, 0), four = SplitStroke(wave, 8);
    ASSERT_EQ(none.points.size(), three.points.size());
    // Without smoothing the kept points are input points; each further pass moves them again.
    for (const tagPointF& p : none.points) {
        bool found = false;
        for (const tagPointF& q : wave) found = found || (p.x == q.x && p.y == q.y);
        EXPECT_TRUE(found);
    }
    double moved13 = 0, moved34 = 0;
    for (size_t i = 0; i < three.points.size(); ++i) {
        moved13 += std::fabs(three.points[i].y - one.points[i].y);
        moved34 += std::fabs(four.points[i].y - three.points[i].y);
    }
    EXPECT_GT(moved13, 0);
    EXPECT_GT(moved34, 0);
    // Origin and scale map the output.
    const Split mapped = SplitStroke(wave, 0, {100, -50}, 2);
    for (size_t i = 0; i < three.points.size(); ++i) {
        EXPECT_DOUBLE_EQ(100 + 2 * three.points[i].x, mapped.points[i].x);
        EXPECT_DOUBLE_EQ(-50 + 2 * three.points[i].y, mapped.points[i].y);
    }
}

TEST(SplitPolylineAtCorners, FewerThanTwoPoints) {
    int* breaks = reinterpret_cast<int*>(1);
    int count = 7;
    EXPECT_EQ(nullptr, SplitPolylineAtCorners(nullptr, 5, {0, 0}, 1, &breaks, &count, 0));
    EXPECT_EQ(nullptr, breaks);
    EXPECT_EQ(0, count);
    const tagPointF one[1] = {{3, 4}};
    EXPECT_EQ(nullptr, SplitPolylineAtCorners(one, 0, {0, 0}, 1, &breaks, &count, 0));
    const Split single = SplitStroke({{3, 4}}, 0, {1, 1}, 2);
    ASSERT_EQ(1u, single.points.size());
    EXPECT_EQ(std::vector<int>{0}, single.breaks);
    EXPECT_DOUBLE_EQ(7, single.points[0].x);
    SegmentDesc* fitted = FitBezierToPolyline(single.points.data(), single.breaks.data(), 1, 0.5, 5);
    ASSERT_NE(nullptr, fitted);
    EXPECT_EQ(SegmentEnd, fitted[0].kind);
    delete[] fitted;
    EXPECT_EQ(nullptr, FitBezierToPolyline(single.points.data(), nullptr, 1, 0.5, 5));
    const Split pair = SplitStroke({{0, 0}, {10, 0}}, 0);
    EXPECT_EQ(2u, pair.points.size());
    EXPECT_EQ((std::vector<int>{0, 1}), pair.breaks);
}

TEST(FitBezierToPolyline, StraightRunsZigZagsAndStartingHandles) {
    std::vector<tagPointF> line;
    for (int i = 0; i <= 20; ++i) line.push_back({double(i), 2.0 * i});
    const int ends[2] = {0, 20};
    for (int iterations : {0, 5}) {
        SegmentDesc* fitted = FitBezierToPolyline(line.data(), ends, 2, 0.1, iterations);
        ASSERT_EQ(SegmentCubic, fitted[0].kind) << iterations;
        EXPECT_EQ(SegmentEnd, fitted[1].kind);
        for (const tagPointF& c : {fitted[0].pt2, fitted[0].pt3}) EXPECT_NEAR(2 * c.x, c.y, 1e-9);
        if (iterations == 0) {
            const double chord = std::hypot(20.0, 40.0);
            EXPECT_NEAR(0.3 * chord, std::hypot(fitted[0].pt2.x, fitted[0].pt2.y), 1e-9);
        }
        delete[] fitted;
    }
    std::vector<tagPointF> zigzag;
    for (int i = 0; i < 9; ++i) zigzag.push_back({10.0 * i, i % 2 ? 10.0 : 0.0});
    const int zigEnds[2] = {0, 8};
    SegmentDesc* fitted = FitBezierToPolyline(zigzag.data(), zigEnds, 2, 0.5, 5);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(SegmentLine, fitted[i].kind) << i;
    EXPECT_EQ(SegmentEnd, fitted[8].kind);
    delete[] fitted;
    const int unordered[3] = {0, 5, 3};
    EXPECT_EQ(nullptr, FitBezierToPolyline(zigzag.data(), unordered, 3, 0.5, 5));
}

// Points that are not finite or huge end in some records, never in a fault or an endless search.
TEST(FitBezierToPolyline, BrokenPointsAnswerQuietly) {
    for (double v : {std::nan(""), double(INFINITY), 1e300}) {
        std::vector<tagPointF> stroke = Wave(40);
        stroke[7].y = v;
        stroke[20].x = v;
        const Split split = SplitStroke(stroke, 0);
        ASSERT_FALSE(split.points.empty());
        SegmentDesc* fitted =
            FitBezierToPolyline(split.points.data(), split.breaks.data(), int(split.breaks.size()), 0.5, 5);
        ASSERT_NE(nullptr, fitted);
        int records = 0;
        while (fitted[records].kind != SegmentEnd) ASSERT_LT(++records, 1000);
        delete[] fitted;
    }
}

TEST(CubicDeviationAtX, DeviationOrOneWithoutAParameter) {
    EXPECT_NEAR(-1.0, CubicDeviationAtX(0, 0, 1, 1, 2, 2, 3, 3, 1.5, 2.5), 1e-12);
    EXPECT_EQ(1.0, CubicDeviationAtX(0, 0, 1, 1, 2, 2, 3, 3, 7, 0));
}

}  // namespace
