#include <gtest/gtest.h>

#include "ClGeometry.h"
#include "geometry/RectF.h"

namespace {

// The double-precision values meet the class library's integer point, size and rectangle.
TEST(ValueInteropTest, IntegerWrappersConvertBothWays)
{
    const CPointF fromPoint(CPoint(3, -4));
    const CPointF fromSize(CSize(5, 6));
    const CSizeF sizeFromSize(CSize(7, 8));
    const CRectF fromRect(CRect(1, 2, 3, 4));
    EXPECT_TRUE(fromPoint == CPointF(3, -4));
    EXPECT_TRUE(fromSize == CPointF(5, 6));
    EXPECT_TRUE(sizeFromSize == CSizeF(7, 8));
    EXPECT_TRUE(fromRect == CRectF(1, 2, 3, 4));

    const CPoint rounded = CPointF(2.5, 3.5).intPoint();
    const CSize size = CSizeF(0.5, 1.5).intSize();
    const CRect rect = CRectF(0.4, 0.6, 10.5, 11.5).intRect();
    EXPECT_EQ(rounded.x, 2);
    EXPECT_EQ(rounded.y, 4);
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, 2);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 1);
    EXPECT_EQ(rect.right, 10);
    EXPECT_EQ(rect.bottom, 12);
}

}  // namespace
