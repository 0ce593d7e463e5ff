#include <gtest/gtest.h>

#include "geometry/RectF.h"
#include "geometry/SharedConstants.h"

namespace {

TEST(PointFTest, EqualityUsesTheToleranceButSizesAreExact)
{
    EXPECT_TRUE(CPointF(1.0, 2.0) == CPointF(1.0 + 5e-11, 2.0 - 5e-11));
    EXPECT_FALSE(CPointF(1.0, 2.0) == CPointF(1.0 + 2e-10, 2.0));
    EXPECT_TRUE(CPointF(1.0, 2.0) != CPointF(1.0, 2.0 + 2e-10));
    EXPECT_FALSE(CSizeF(1.0, 2.0) == CSizeF(1.0 + 5e-11, 2.0));
    EXPECT_TRUE(CSizeF(1.0, 2.0) == CSizeF(1.0, 2.0));
}

TEST(PointFTest, RoundingAccessors)
{
    struct Case {
        double value;
        int round32;
        long long round64;
    };
    const Case cases[] = {
        {2.5, 2, 3}, {-2.5, -2, -3}, {1.5, 2, 2}, {-1.5, -2, -2}, {0.5, 0, 1}, {-0.5, 0, -1},
        {3.2, 3, 3}, {-3.7, -4, -4}, {5e9, 0, 5000000000LL},
    };
    for (const auto& c : cases) {
        const CPointF p(c.value, -c.value);
        if (c.value < 2e9) {
            EXPECT_EQ(p.intX(), c.round32) << c.value;
            EXPECT_EQ(CSizeF(c.value, 0).intCX(), c.round32) << c.value;
        }
        EXPECT_EQ(p.int64_X(), c.round64) << c.value;
        EXPECT_EQ(p.int64_Y(), -c.round64) << c.value;
        EXPECT_EQ(CSizeF(0, c.value).int64_CY(), c.round64) << c.value;
    }
}

TEST(PointFTest, Arithmetic)
{
    const CPointF a(3.0, 4.0), b(1.0, -2.0);
    EXPECT_EQ(a * b, 3.0 - 8.0);
    EXPECT_EQ(a ^ b, 3.0 * -2.0 - 4.0 * 1.0);
    EXPECT_EQ(a.len(), 5.0);
    EXPECT_EQ(a.len_sqr(), 25.0);
    EXPECT_TRUE(a + b == CPointF(4.0, 2.0));
    EXPECT_TRUE(a - b == CPointF(2.0, 6.0));
    EXPECT_TRUE(-a == CPointF(-3.0, -4.0));
    EXPECT_TRUE(a * 2.0 == CPointF(6.0, 8.0));
    // Division multiplies by the reciprocal computed once.
    const CPointF third = CPointF(1.0, 2.0) / 3.0;
    EXPECT_EQ(third.x, 1.0 * (1.0 / 3.0));
    CPointF c = a;
    c += CSizeF(1.0, 1.0);
    c.Offset(0.5, 0.5);
    EXPECT_TRUE(c == CPointF(4.5, 5.5));
    POINTFX fx;
    fx.x.value = 2;
    fx.x.fract = 0x8000;
    fx.y.value = -1;
    fx.y.fract = 0x4000;
    const CPointF glyph(fx);
    EXPECT_EQ(glyph.x, 2.5);
    EXPECT_EQ(glyph.y, -0.75);
    POINT ip = CPointF(2.5, 3.5).intPoint();
    EXPECT_EQ(ip.x, 2);
    EXPECT_EQ(ip.y, 4);
}

TEST(RectFTest, EmptinessNullnessAndContainment)
{
    EXPECT_TRUE(CRectF(0, 0, 5e-11, 1).IsRectEmpty());
    EXPECT_TRUE(CRectF(2, 0, 1, 1).IsRectEmpty());  // inverted
    EXPECT_FALSE(CRectF(0, 0, 1, 1).IsRectEmpty());
    EXPECT_TRUE(CRectF(5e-11, -5e-11, 0, 0).IsRectNull());
    EXPECT_FALSE(CRectF(0, 0, 0, 1e-9).IsRectNull());

    const CRectF r(0, 0, 10, 5);
    struct Case {
        double x, y;
        bool inside;
    };
    const Case cases[] = {
        {10, 5, true}, {0, 0, true}, {10 + 5e-11, 2, true}, {-5e-11, 5 + 5e-11, true},
        {10 + 2e-10, 2, false}, {5, -2e-10, false}, {5, 2.5, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(r.PtInRect(CPointF(c.x, c.y)), c.inside) << c.x << "," << c.y;
}

TEST(RectFTest, NormalizeLeavesDifferencesWithinTheTolerance)
{
    CRectF a(10, 0, 2, 5);
    a.NormalizeRect();
    EXPECT_EQ(a.left, 2);
    EXPECT_EQ(a.right, 10);
    CRectF b(2 + 5e-11, 0, 2, 5);
    b.NormalizeRect();
    EXPECT_EQ(b.left, 2 + 5e-11);
    EXPECT_EQ(b.right, 2);
    CRectF c(0, 7, 1, 3);
    c.NormalizeRect();
    EXPECT_EQ(c.top, 3);
    EXPECT_EQ(c.bottom, 7);
}

TEST(RectFTest, UnionAndIntersection)
{
    const CRectF empty(0, 0, 0, 0), other(3, 3, 4, 4);
    CRectF u;
    u.UnionRect(empty, CRectF(1, 2, 1, 9));  // both empty: the second one comes back
    EXPECT_EQ(u.left, 1);
    EXPECT_EQ(u.bottom, 9);
    u.UnionRect(other, empty);
    EXPECT_TRUE(u == other);
    u.UnionRect(CRectF(0, 0, 1, 1), other);
    EXPECT_TRUE(u == CRectF(0, 0, 4, 4));
    u |= CRectF(-1, 2, 2, 8);
    EXPECT_TRUE(u == CRectF(-1, 0, 4, 8));
    // The target may be one of the arguments.
    CRectF self(0, 0, 1, 1);
    self.UnionRect(self, other);
    EXPECT_TRUE(self == CRectF(0, 0, 4, 4));

    CRectF i;
    EXPECT_EQ(i.IntersectRect(CRectF(0, 0, 1, 1), CRectF(2, 2, 3, 3)), 0);
    EXPECT_EQ(i.left, 2);   // inverted, not reset
    EXPECT_EQ(i.right, 1);
    EXPECT_EQ(i.IntersectRect(CRectF(0, 0, 2, 2), CRectF(1, 1, 3, 3)), 1);
    EXPECT_TRUE(i == CRectF(1, 1, 2, 2));
    const CRectF both = CRectF(0, 0, 2, 2) & CRectF(1, -1, 5, 1);
    EXPECT_TRUE(both == CRectF(1, 0, 2, 1));

    CRectF n;
    n.UnionNotEmptyRect(CRectF(5, 5, 5, 5), CRectF(0, 0, 1, 1));
    EXPECT_TRUE(n == CRectF(0, 0, 5, 5));
}

TEST(RectFTest, SizesRoundTheDifference)
{
    const CRectF r(0.4, 0, 1.6, 0);
    EXPECT_EQ(r.intWidth(), 1);
    EXPECT_EQ(r.intRight() - r.intLeft(), 2);
    const CRectF h(0, -2.5, 0, 0);
    EXPECT_EQ(h.int64_Top(), -3);
    EXPECT_EQ(h.int64_Height(), 3);
    EXPECT_EQ(h.intTop(), -2);
    RECT ir = CRectF(0.5, 1.5, 2.5, 3.5).intRect();
    EXPECT_EQ(ir.left, 0);
    EXPECT_EQ(ir.top, 2);
    EXPECT_EQ(ir.right, 2);
    EXPECT_EQ(ir.bottom, 4);
}

TEST(RectFTest, InscribeInflateAndCorners)
{
    struct Case {
        double ratio;
        CRectF expected;
    };
    const Case cases[] = {
        {1.0, CRectF(25, 0, 75, 50)}, {4.0, CRectF(0, 12.5, 100, 37.5)}, {2.0, CRectF(0, 0, 100, 50)},
    };
    for (const auto& c : cases) {
        CRectF r;
        r.InscribeRect(CRectF(0, 0, 100, 50), c.ratio);
        EXPECT_TRUE(r == c.expected) << c.ratio;
    }

    CRectF r(0, 0, 10, 10);
    r.InflateRect(1, 2, 3, 4);
    EXPECT_TRUE(r == CRectF(-1, -2, 13, 14));
    r.DeflateRect(1, 2, 3, 4);
    EXPECT_TRUE(r == CRectF(0, 0, 10, 10));
    r.InflateRect(CSizeF(1, 2));
    EXPECT_TRUE(r == CRectF(-1, -2, 11, 12));
    r.DeflateRect(CRectF(1, 2, 1, 2));
    EXPECT_TRUE(r == CRectF(0, 0, 10, 10));
    r *= 0.5;
    EXPECT_TRUE(r == CRectF(0, 0, 5, 5));
    r.TopLeft() = CPointF(1, 1);
    r.BottomRight().Offset(1, 1);
    EXPECT_TRUE(r == CRectF(1, 1, 6, 6));
    EXPECT_TRUE(r.CenterPoint() == CPointF(3.5, 3.5));
    EXPECT_TRUE(CRectF(CPointF(1, 2), CSizeF(3, 4)) == CRectF(1, 2, 4, 6));
    EXPECT_TRUE(kDefaultMargins == CRectF(1, 1, 1, 1));
    EXPECT_TRUE(kPageSizeLimits.BottomRight() == CPointF(40, 40));
}

}  // namespace
