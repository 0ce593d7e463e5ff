#include <gtest/gtest.h>

#include "tarn/LinearTransform.h"

namespace {
const tagPointF kSquare[4] = {{0, 0}, {2, 0}, {2, 2}, {0, 2}};
}

TEST(Quad, PointInQuad) {
    struct Case {
        const char* name;
        tagPointF point;
        bool inside;
    };
    const Case cases[] = {
        {"centre", {1, 1}, true},
        {"corner itself is outside", {0, 0}, false},
        {"outside right", {3, 1}, false},
        {"just inside", {1e-6, 1e-6}, true},
    };
    for (const Case& c : cases) EXPECT_EQ(IsPointInQuad(kSquare, c.point), c.inside) << c.name;

    const tagPointF collapsed[4] = {{1, 1}, {1, 1}, {1, 1}, {1, 1}};
    EXPECT_TRUE(IsPointInQuad(collapsed, tagPointF{1, 1}));
    EXPECT_FALSE(IsPointInQuad(collapsed, tagPointF{1, 1.5}));
}

TEST(Quad, SegmentsTouchingCountAsIntersecting) {
    struct Case {
        const char* name;
        tagPointF a, b, c, d;
        bool intersect;
    };
    const Case cases[] = {
        {"crossing", {0, 0}, {2, 2}, {0, 2}, {2, 0}, true},
        {"touching at an end", {0, 0}, {1, 1}, {1, 1}, {2, 0}, true},
        {"parallel apart", {0, 0}, {2, 0}, {0, 1}, {2, 1}, false},
        {"disjoint on one side", {0, 0}, {1, 0}, {2, -1}, {2, 1}, false},
    };
    for (const Case& c : cases) EXPECT_EQ(SegmentsIntersect(c.a, c.b, c.c, c.d), c.intersect) << c.name;
}

TEST(Quad, IntersectsRectAndBounds) {
    struct Case {
        const char* name;
        tagRectF rect;
        bool intersect;
    };
    const Case cases[] = {
        {"rect inside quad", {0.5, 0.5, 1.5, 1.5}, true},
        {"quad inside rect", {-1, -1, 3, 3}, true},
        {"edges crossing", {1, -1, 1.5, 3}, true},
        {"apart", {3, 3, 4, 4}, false},
    };
    for (const Case& c : cases) EXPECT_EQ(QuadIntersectsRect(kSquare, c.rect), c.intersect) << c.name;

    const tagPointF diamond[4] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    const tagRectF b = GetQuadBoundingRect(diamond);
    EXPECT_EQ(b.left, -1);
    EXPECT_EQ(b.top, -1);
    EXPECT_EQ(b.right, 1);
    EXPECT_EQ(b.bottom, 1);
}

TEST(Quad, SkewAboutCentreThenMove) {
    tagPointF q[4] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    SkewQuadAboutCentre(q, 2.0, 0.5, 0.0, 10, 0);
    const tagPointF expected[4] = {{10 - 3, -2}, {10 + 1, -2}, {10 + 3, 2}, {10 - 1, 2}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(q[i].x, expected[i].x) << i;
        EXPECT_DOUBLE_EQ(q[i].y, expected[i].y) << i;
    }
}
