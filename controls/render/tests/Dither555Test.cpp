#include <gtest/gtest.h>

#include "render/Dither555.h"
#include "TestRaster.h"

namespace {

const int kThreshold[4][4] = {{0, 6, 1, 7}, {4, 2, 6, 3}, {1, 7, 0, 6}, {5, 3, 4, 2}};

void FillRgb(TestRaster& r, uint8_t red, uint8_t green, uint8_t blue) {
    for (int y = 0; y < r.View().height; ++y)
        for (int x = 0; x < r.View().width; ++x) {
            uint8_t* p = r.Pixel(x, y);
            p[0] = blue; p[1] = green; p[2] = red;
        }
}

uint16_t At(const TestRaster& r, int x, int y) { return *reinterpret_cast<const uint16_t*>(r.Pixel(x, y)); }

TEST(DitherChannel, FollowsCarryRuleNotClamp) {
    struct Case { unsigned c, t, expected; };
    const Case cases[] = {
        {0, 0, 0}, {0, 7, 0},       // black stays 0
        {7, 0, 0}, {7, 6, 0},       // 0 + carry 1, less one: 0
        {8, 0, 0}, {15, 0, 1}, {15, 7, 0},
        {255, 0, 31}, {255, 6, 31}, {255, 7, 30},
        {128, 3, 15}, {133, 4, 16}, {133, 5, 15},
    };
    for (const Case& c : cases) EXPECT_EQ(DitherChannel(c.c, c.t), c.expected) << "c=" << c.c << " t=" << c.t;
}

TEST(DitherTo555, BlackAndWholeWhite) {
    TestRaster src(8, 8, 24), dst(8, 8, 16);
    ASSERT_TRUE(DitherRasterTo555(dst.View(), 0, 0, 8, 8, src.View(), 0, 0, 0, 0));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(At(dst, x, y), 0);

    FillRgb(src, 255, 255, 255);
    ASSERT_TRUE(DitherRasterTo555(dst.View(), 0, 0, 8, 8, src.View(), 0, 0, 0, 0));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(At(dst, x, y), kThreshold[y & 3][x & 3] == 7 ? 0x7BDE : 0x7FFF) << x << "," << y;
    EXPECT_TRUE(dst.OutsideUntouched());
}

TEST(DitherTo555, ChannelsLandInTheirBits) {
    TestRaster src(4, 4, 24), dst(4, 4, 16);
    FillRgb(src, 255, 0, 0);
    ASSERT_TRUE(DitherRasterTo555(dst.View(), 0, 0, 4, 4, src.View(), 0, 0, 0, 0));
    EXPECT_EQ(At(dst, 0, 0), 31 << 10);
    FillRgb(src, 0, 255, 0);
    ASSERT_TRUE(DitherRasterTo555(dst.View(), 0, 0, 4, 4, src.View(), 0, 0, 0, 0));
    EXPECT_EQ(At(dst, 0, 0), 31 << 5);
    FillRgb(src, 0, 0, 255);
    ASSERT_TRUE(DitherRasterTo555(dst.View(), 0, 0, 4, 4, src.View(), 0, 0, 0, 0));
    EXPECT_EQ(At(dst, 0, 0), 31);
}

// A source whose grey ramp makes every threshold visible: value 4 carries exactly where t < 4.
TEST(DitherTo555, PhasesStartAtRequestedPositionWhenClipped) {
    struct Case { int srcX, srcY, originX, originY, destX, destY; };
    const Case cases[] = {
        {0, 0, 0, 0, 0, 0},
        {1, 2, 0, 0, 0, 0},
        {1, 2, 3, 5, 0, 0},   // area starts at (-2, -3): clipped on the left and on top
        {5, 7, 6, 9, 1, 1},
        {2, 3, 0, 0, -3, -1}, // clipped by the destination instead
    };
    for (const Case& c : cases) {
        TestRaster src(12, 12, 24), dst(12, 12, 16);
        FillRgb(src, 12, 12, 12);  // (12 >> 3) = 1, carry when t < 4 -> 1 else 0
        ASSERT_TRUE(DitherRasterTo555(dst.View(), c.destX, c.destY, 8, 8, src.View(), c.srcX, c.srcY, c.originX,
                                      c.originY));
        const int areaX = c.srcX - c.originX, areaY = c.srcY - c.originY;
        int cutX = areaX < 0 ? -areaX : 0, cutY = areaY < 0 ? -areaY : 0;
        int outX = c.destX + cutX, outY = c.destY + cutY;
        if (outX < 0) outX = 0;
        if (outY < 0) outY = 0;
        // The first written pixel takes the phase of the requested position.
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col) {
                const int t = kThreshold[(c.srcY + row) & 3][(c.srcX + col) & 3];
                const uint16_t v = t < 4 ? 1 : 0;
                EXPECT_EQ(At(dst, outX + col, outY + row), (v << 10) | (v << 5) | v)
                    << "case src " << c.srcX << "," << c.srcY << " pixel " << col << "," << row;
            }
        EXPECT_TRUE(dst.OutsideUntouched());
    }
}

TEST(DitherTo555, ClipsToSourceAndDestination) {
    TestRaster src(6, 5, 24), dst(4, 4, 16);
    FillRgb(src, 255, 255, 255);
    // Far larger than both bitmaps and partly off to the left and right.
    ASSERT_TRUE(DitherRasterTo555(dst.View(), 2, 1, 50, 50, src.View(), 0, 0, 1, 0));
    EXPECT_TRUE(dst.OutsideUntouched());
    EXPECT_EQ(At(dst, 0, 0), 0);          // left of the landing point: untouched
    EXPECT_NE(At(dst, 3, 3), 0);
    ASSERT_TRUE(DitherRasterTo555(dst.View(), 2000000000, 2000000000, 2000000000, 5, src.View(), 0, 0,
                                  -2000000000, 0));
    EXPECT_TRUE(dst.OutsideUntouched());
}

TEST(DitherTo555, RefusesWrongDepthsAndEmptyBitmaps) {
    TestRaster src24(4, 4, 24), dst16(4, 4, 16), src32(4, 4, 32), dst24(4, 4, 24);
    EXPECT_FALSE(DitherRasterTo555(dst24.View(), 0, 0, 4, 4, src24.View(), 0, 0, 0, 0));
    EXPECT_FALSE(DitherRasterTo555(dst16.View(), 0, 0, 4, 4, src32.View(), 0, 0, 0, 0));
    EXPECT_FALSE(DitherRasterTo555(dst16.View(), 0, 0, 4, 4, RasterBits{}, 0, 0, 0, 0));
    EXPECT_TRUE(dst24.OutsideUntouched());
}

}  // namespace
