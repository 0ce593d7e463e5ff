// The rule for the direction of text fitted to a path.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "TestPaths.h"
#include "geometry/CurveGeometry.h"


TEST(TextDirection, TextRunsTheSameWayWhicheverWayTheCircleIsDrawn) {
    // The text's middle line above the circle's centre, left to right.
    for (bool clockwise : {true, false}) {
        const auto circle = CirclePath(1, clockwise);
        tagPointF ends[2] = {{-0.7, -0.7}, {0.7, -0.7}};
        const int direction = ComputeCentroidAxisExtent(circle.data(), 13, ends);
        EXPECT_TRUE(direction == 0 || direction == 1);
        EXPECT_EQ(-10.0, ends[0].x);
        EXPECT_EQ(-10.0, ends[1].x);
        // The ends resolve onto the upper half of the circle (y below 0 on screen).
        for (const tagPointF& end : ends) {
            const int k = int(std::floor(end.y));
            const int index = k - k % 3;
            const double t = (end.y - index) * 4;
            ASSERT_GE(index, 0);
            ASSERT_LE(index, 9);
            EXPECT_LT(EvaluateBezier(&circle[size_t(index)], t).y, 0) << end.y;
        }
        // Over the top, left to right, is the clockwise way round on screen.
        EXPECT_EQ(clockwise, direction == 1);
    }
}

TEST(TextDirection, DegenerateInputsGiveAnAnswerWithoutNaN) {
    const tagPointF line[4] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}};
    tagPointF ends[2] = {{1.5, 0}, {1.5, 0}};  // the middle on the path's centre: no axis
    const int direction = ComputeCentroidAxisExtent(line, 4, ends);
    EXPECT_TRUE(direction == 0 || direction == 1);
    EXPECT_TRUE(std::isfinite(ends[0].y) && std::isfinite(ends[1].y));
    tagPointF few[2] = {{0, 0}, {1, 1}};
    EXPECT_EQ(1, ComputeCentroidAxisExtent(line, 3, few));
    EXPECT_EQ(0, few[0].x);  // fewer than four points: the ends are left alone
}
