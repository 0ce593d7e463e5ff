#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "render/AlphaBlendBitmaps.h"
#include "TestRaster.h"

namespace {

const AlphaBlendPath kPaths[] = {AlphaBlendPath::Plain, AlphaBlendPath::Vector};

void SetArgb(TestRaster& r, int x, int y, uint8_t a, uint8_t red, uint8_t green, uint8_t blue) {
    uint8_t* p = r.Pixel(x, y);
    p[0] = blue; p[1] = green; p[2] = red; p[3] = a;
}

// The vector arithmetic stated independently: a' = a + 1 from 128 up, two truncated products.
unsigned VectorFormula(unsigned s, unsigned d, unsigned a) {
    const unsigned w = a + (a >= 128 ? 1 : 0);
    const unsigned v = (s * w) / 256 + (d * (256 - w)) / 256;
    return v > 255 ? 255 : v;
}

// Every source value against every destination value at every partial alpha, through the row code.
TEST(AlphaBlendBitmapRects, VectorPathMatchesItsFormulaEverywhere) {
    TestRaster src(256, 1, 32);
    for (int x = 0; x < 256; ++x) SetArgb(src, x, 0, 0, uint8_t((x * 7) & 255), uint8_t(255 - x), uint8_t(x));
    for (unsigned a = 1; a < 255; ++a) {
        for (int x = 0; x < 256; ++x) src.Pixel(x, 0)[3] = uint8_t(a);
        TestRaster dst(256, 256, 24);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) std::memset(dst.Pixel(x, y), y, 3);
        for (int y = 0; y < 256; ++y)
            ASSERT_TRUE(AlphaBlendRasterRects(dst.View(), 0, y, 256, 1, src.View(), 0, 0, AlphaBlendPath::Vector));
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                const uint8_t* p = dst.Pixel(x, y);
                if (p[0] != VectorFormula(x, y, a) || p[1] != VectorFormula(255 - x, y, a) ||
                    p[2] != VectorFormula((x * 7) & 255, y, a))
                    FAIL() << "s=" << x << " d=" << y << " a=" << a;
            }
    }
}

TEST(AlphaBlendChannel, PlainPathRoundsToNearest) {
    for (unsigned a = 1; a < 255; ++a)
        for (unsigned s = 0; s < 256; s += 5)
            for (unsigned d = 0; d < 256; d += 3) {
                const double exact = (s * a + d * (255.0 - a)) / 255.0;
                ASSERT_LE(std::fabs(PlainBlendBlueGreen(s, d, a) - exact), 0.5) << s << " " << d << " " << a;
                // Red goes through 8.8 weights, which lose at most one level.
                ASSERT_LE(std::fabs(PlainBlendRed(s, d, a) - exact), 1.0) << s << " " << d << " " << a;
            }
    EXPECT_EQ(PlainBlendRed(255, 0, 128), 128);  // w = 127: (255 * 129 + 128) >> 8
    EXPECT_EQ(PlainBlendRed(0, 255, 127), 128);  // w = 129: (255 * 129 + 128) >> 8
}

// Every pixel of a 4 x 4 source against a mid-grey destination, one case per alpha class.
TEST(AlphaBlendBitmapRects, TransparentKeepsOpaqueReplacesPartialBlends) {
    struct Case { uint8_t alpha; uint8_t r, g, b; };
    const Case cases[] = {{0, 250, 10, 99}, {255, 250, 10, 99}, {1, 255, 255, 255}, {128, 200, 0, 33},
                          {200, 0, 255, 12}};
    for (AlphaBlendPath path : kPaths)
        for (const Case& c : cases) {
            TestRaster dst(4, 4, 24, 100), src(4, 4, 32);
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 4; ++x) SetArgb(src, x, y, c.alpha, c.r, c.g, c.b);
            ASSERT_TRUE(AlphaBlendRasterRects(dst.View(), 0, 0, 4, 4, src.View(), 0, 0, path));
            const uint8_t* p = dst.Pixel(2, 3);
            if (c.alpha == 0) {
                EXPECT_EQ(p[0], 100); EXPECT_EQ(p[1], 100); EXPECT_EQ(p[2], 100);
            } else if (c.alpha == 255) {
                EXPECT_EQ(p[0], c.b); EXPECT_EQ(p[1], c.g); EXPECT_EQ(p[2], c.r);
            } else if (path == AlphaBlendPath::Vector) {
                EXPECT_EQ(p[0], VectorFormula(c.b, 100, c.alpha));
                EXPECT_EQ(p[1], VectorFormula(c.g, 100, c.alpha));
                EXPECT_EQ(p[2], VectorFormula(c.r, 100, c.alpha));
            } else {
                EXPECT_NEAR(p[0], (c.b * c.alpha + 100.0 * (255 - c.alpha)) / 255, 0.5);
                EXPECT_NEAR(p[2], (c.r * c.alpha + 100.0 * (255 - c.alpha)) / 255, 1.0);
            }
            EXPECT_TRUE(dst.OutsideUntouched());
        }
}

// Destination pixel (px, py) takes source pixel (px - x + srcX, py - y + srcY), clipped to both.
TEST(AlphaBlendBitmapRects, MapsAndClipsRectangles) {
    struct Case { int x, y, w, h, srcX, srcY; };
    const Case cases[] = {
        {0, 0, 6, 5, 0, 0}, {2, 1, 3, 3, 0, 0}, {-2, -1, 10, 10, 0, 0}, {1, 1, 10, 10, 2, 1},
        {3, 2, 10, 10, -1, -2}, {4, 4, 100, 100, 0, 0}, {-100, 0, 50, 5, 0, 0},
    };
    for (AlphaBlendPath path : kPaths)
        for (const Case& c : cases) {
            TestRaster dst(6, 5, 24, 7), src(4, 4, 32);
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 4; ++x) SetArgb(src, x, y, 255, uint8_t(10 * x + 1), uint8_t(10 * y + 1), 200);
            ASSERT_TRUE(AlphaBlendRasterRects(dst.View(), c.x, c.y, c.w, c.h, src.View(), c.srcX, c.srcY, path));
            for (int py = 0; py < 5; ++py)
                for (int px = 0; px < 6; ++px) {
                    const int sx = px - c.x + c.srcX, sy = py - c.y + c.srcY;
                    const bool inside = px >= c.x && px < c.x + c.w && py >= c.y && py < c.y + c.h && sx >= 0 &&
                                        sx < 4 && sy >= 0 && sy < 4;
                    const uint8_t* p = dst.Pixel(px, py);
                    if (inside) {
                        EXPECT_EQ(p[2], 10 * sx + 1) << px << "," << py;
                        EXPECT_EQ(p[1], 10 * sy + 1) << px << "," << py;
                    } else {
                        EXPECT_EQ(p[0], 7) << px << "," << py;
                    }
                }
            EXPECT_TRUE(dst.OutsideUntouched());
        }
}

TEST(AlphaBlendBitmapRects, RectangleOutsideChangesNothing) {
    TestRaster dst(6, 5, 24, 9), src(4, 4, 32, 255);
    const auto before = dst.Bytes();
    for (AlphaBlendPath path : kPaths) {
        EXPECT_TRUE(AlphaBlendRasterRects(dst.View(), 6, 0, 3, 3, src.View(), 0, 0, path));
        EXPECT_TRUE(AlphaBlendRasterRects(dst.View(), 0, 0, 3, 3, src.View(), 4, 0, path));
        EXPECT_TRUE(AlphaBlendRasterRects(dst.View(), 0, 0, 0, 3, src.View(), 0, 0, path));
        EXPECT_TRUE(AlphaBlendRasterRects(dst.View(), 2147483600, 0, 2147483600, 3, src.View(), 0, 0, path));
        EXPECT_TRUE(AlphaBlendRasterRects(dst.View(), -2147483647, -5, 3, 3, src.View(), 2147483647, 0, path));
    }
    EXPECT_EQ(dst.Bytes(), before);
}

TEST(AlphaBlendBitmapRects, RefusesWrongDepths) {
    TestRaster dst24(4, 4, 24), dst32(4, 4, 32), src32(4, 4, 32, 255), src24(4, 4, 24);
    const auto before = dst32.Bytes();
    EXPECT_FALSE(AlphaBlendRasterRects(dst32.View(), 0, 0, 4, 4, src32.View(), 0, 0, AlphaBlendPath::Plain));
    EXPECT_FALSE(AlphaBlendRasterRects(dst24.View(), 0, 0, 4, 4, src24.View(), 0, 0, AlphaBlendPath::Vector));
    EXPECT_FALSE(AlphaBlendRasterRects(dst24.View(), 0, 0, 4, 4, RasterBits{}, 0, 0, AlphaBlendPath::Vector));
    EXPECT_EQ(dst32.Bytes(), before);
}

}  // namespace
