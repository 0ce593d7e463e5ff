#include <gtest/gtest.h>

#include <cstring>

#include "render/MaskListFill.h"
#include "MaskListBuilder.h"
#include "TestRaster.h"

namespace {

const RECT kNoClip{-1000000, -1000000, 1000000, 1000000};

// (c * a + d * (255 - a)) / 255 as the 16-bit lanes compute it, stated independently.
unsigned Lane(unsigned c, unsigned d, unsigned a) {
    const unsigned x = c * a + d * (255 - a);
    return (x + (x >> 8) + 1) >> 8;
}

void ExpectPixel(const TestRaster& r, int x, int y, unsigned blue, unsigned green, unsigned red) {
    const uint8_t* p = r.Pixel(x, y);
    EXPECT_EQ(p[0], blue) << "blue at " << x << "," << y;
    EXPECT_EQ(p[1], green) << "green at " << x << "," << y;
    EXPECT_EQ(p[2], red) << "red at " << x << "," << y;
}

MaskPaint Solid(uint32_t fill, uint32_t outline) {
    MaskPaint paint;
    paint.fillColor = fill;
    paint.outlineColor = outline;
    return paint;
}

TEST(FillMaskRuns, SolidNodesUseTheirColours) {
    const std::vector<uint8_t> list = MaskListBuilder()
                                          .Entries(CoverageFill, {0, 0, 8, 3}, {RunEntry(1, 0, 3), PixelEntry(5, 0, 128)})
                                          .Entries(CoverageOutline, {0, 1, 8, 2}, {RunEntry(0, 1, 2), PixelEntry(4, 1, 64)})
                                          .Raster({0, 2, 3, 3}, {0, 255, 100})
                                          .Bytes();
    TestRaster dst(8, 3, 24, 40);
    // Fill 0x00BBGGRR = blue 0x10, green 0x20, red 0x30; outline blue 0xC0, green 0xB0, red 0xA0.
    ASSERT_EQ(FillMaskRunsBits(dst.View(), list.data(), list.size(), kNoClip, 0, 0, Solid(0x102030, 0xC0B0A0)),
              MaskFillError::None);
    ExpectPixel(dst, 0, 0, 40, 40, 40);
    for (int x = 1; x <= 3; ++x) ExpectPixel(dst, x, 0, 0x10, 0x20, 0x30);
    ExpectPixel(dst, 5, 0, Lane(0x10, 40, 128), Lane(0x20, 40, 128), Lane(0x30, 40, 128));
    ExpectPixel(dst, 1, 1, 0xC0, 0xB0, 0xA0);
    ExpectPixel(dst, 4, 1, Lane(0xC0, 40, 64), Lane(0xB0, 40, 64), Lane(0xA0, 40, 64));
    ExpectPixel(dst, 0, 2, 40, 40, 40);
    ExpectPixel(dst, 1, 2, 0x10, 0x20, 0x30);
    ExpectPixel(dst, 2, 2, Lane(0x10, 40, 100), Lane(0x20, 40, 100), Lane(0x30, 40, 100));
    EXPECT_TRUE(dst.OutsideUntouched());
}

TEST(FillMaskRuns, ClipIsInListCoordinatesAndOffsetMoves) {
    const std::vector<uint8_t> list =
        MaskListBuilder().Entries(CoverageFill, {0, 0, 10, 3}, {RunEntry(0, 0, 10), PixelEntry(2, 1, 255), RunEntry(0, 2, 10)}).Bytes();
    TestRaster dst(12, 5, 24, 0);
    ASSERT_EQ(FillMaskRunsBits(dst.View(), list.data(), list.size(), RECT{3, 0, 7, 2}, 2, 1, Solid(0xFFFFFF, 0)),
              MaskFillError::None);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool painted = y == 1 && x >= 5 && x < 9;  // row 0 of the list, columns [3, 7) moved by (2, 1)
            EXPECT_EQ(dst.Pixel(x, y)[0], painted ? 255 : 0) << x << "," << y;
        }
}

TEST(FillMaskRuns, NeverWritesOutsideTheDestination) {
    const std::vector<uint8_t> list = MaskListBuilder()
                                          .Entries(CoverageFill, {-50, -5, 50, 9},
                                                   {RunEntry(-50, -5, 100), RunEntry(-3, 0, 20), PixelEntry(-1, 1, 200),
                                                    PixelEntry(6, 2, 200), RunEntry(4, 3, 30000), RunEntry(0, 8, 5)})
                                          .Raster({-2, -2, 8, 8}, std::vector<uint8_t>(100, 255))
                                          .Bytes();
    TestRaster dst(6, 4, 24, 0);
    ASSERT_EQ(FillMaskRunsBits(dst.View(), list.data(), list.size(), kNoClip, 0, 0, Solid(0xFFFFFF, 0)),
              MaskFillError::None);
    EXPECT_TRUE(dst.OutsideUntouched());
    EXPECT_EQ(dst.Pixel(5, 3)[0], 255);
    ASSERT_EQ(FillMaskRunsBits(dst.View(), list.data(), list.size(), kNoClip, 2147483600, -2147483600,
                               Solid(0xFFFFFF, 0)),
              MaskFillError::None);
    EXPECT_TRUE(dst.OutsideUntouched());
}

// Pattern pixel for destination (X, Y) is (X - originX, Y - originY + 1); the pattern here has
// distinct values per pixel and guard bytes around it, so a read outside would show.
struct PatternCase {
    int depth;
    int originX, originY;
};

TEST(FillMaskRuns, PatternFillsByDepthReadOnlyInsideThePattern) {
    // Origins that put the pattern inside, across and wholly beside the painted area.
    const PatternCase cases[] = {{24, 0, 1}, {24, 3, -2}, {8, 1, 1}, {32, 2, 0}, {32, -40, 40}, {24, 2, 3}};
    for (const PatternCase& c : cases) {
        TestRaster pattern(4, 3, c.depth);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                uint8_t* p = pattern.Pixel(x, y);
                for (int i = 0; i < c.depth / 8; ++i) p[i] = uint8_t(20 + 40 * y + 10 * x + i);
            }
        const std::vector<uint8_t> list =
            MaskListBuilder().Entries(CoverageFill, {0, 0, 8, 6}, {RunEntry(0, 0, 8), RunEntry(0, 3, 8), PixelEntry(5, 5, 150)}).Bytes();
        TestRaster dst(8, 6, 24, 60);
        MaskPaint paint = Solid(0x3040C0, 0);
        paint.patternFill = true;
        paint.pattern = pattern.View();
        paint.patternOriginX = c.originX;
        paint.patternOriginY = c.originY;
        ASSERT_EQ(FillMaskRunsBits(dst.View(), list.data(), list.size(), kNoClip, 0, 0, paint), MaskFillError::None);

        // Pixels whose pattern position lies beyond the pattern are left as they were.
        auto patternPixel = [&](int X, int Y) -> const uint8_t* {
            const int px = X - c.originX, py = Y - c.originY + 1;
            return px >= 0 && px < 4 && py >= 0 && py < 3 ? pattern.Pixel(px, py) : nullptr;
        };
        const unsigned fill[3] = {0x30, 0x40, 0xC0};  // blue, green, red bytes of 0x3040C0
        for (int Y : {0, 3})
            for (int X = 0; X < 8; ++X) {
                const uint8_t* p = patternPixel(X, Y);
                const uint8_t* d = dst.Pixel(X, Y);
                for (int ch = 0; ch < 3; ++ch) {
                    unsigned expected = 60;  // beyond the pattern: unchanged
                    if (p && c.depth == 24) expected = p[ch];
                    else if (p && c.depth == 8) expected = Lane(fill[ch], 60, p[0]);
                    else if (p) expected = Lane(p[ch], 60, p[3]);
                    EXPECT_EQ(d[ch], expected) << "depth " << c.depth << " at " << X << "," << Y << " ch " << ch;
                }
            }
        const uint8_t* p = patternPixel(5, 5);
        const uint8_t* d = dst.Pixel(5, 5);
        for (int ch = 0; ch < 3; ++ch) {
            unsigned expected = 60;  // beyond the pattern: unchanged
            const auto scaled = [](unsigned m, unsigned cov) { return (m * cov + ((m * cov) >> 8) + 1) >> 8; };
            if (p && c.depth == 24) expected = Lane(p[ch], 60, 150);
            else if (p && c.depth == 8) expected = Lane(fill[ch], 60, scaled(p[0], 150));
            else if (p) expected = Lane(p[ch], 60, scaled(p[3], 150));
            EXPECT_EQ(d[ch], expected) << "single pixel, depth " << c.depth << " ch " << ch;
        }
        EXPECT_TRUE(dst.OutsideUntouched());
    }
}

TEST(FillMaskRuns, BadInputPaintsNothingAndSaysWhy) {
    const std::vector<uint8_t> list = MaskListBuilder().Entries(CoverageFill, {0, 0, 4, 1}, {RunEntry(0, 0, 4)}).Bytes();
    TestRaster dst(4, 2, 24, 9), dst32(4, 2, 32, 9), pattern16(4, 4, 16);
    const auto before = dst.Bytes();
    MaskPaint noPattern = Solid(0xFFFFFF, 0);
    noPattern.patternFill = true;
    MaskPaint shallow = noPattern;
    shallow.pattern = pattern16.View();
    EXPECT_EQ(FillMaskRunsBits(dst.View(), list.data(), list.size() - 1, kNoClip, 0, 0, Solid(0xFFFFFF, 0)),
              MaskFillError::BadList);
    EXPECT_EQ(FillMaskRunsBits(dst.View(), nullptr, 0, kNoClip, 0, 0, Solid(0xFFFFFF, 0)), MaskFillError::BadList);
    EXPECT_EQ(FillMaskRunsBits(dst.View(), list.data(), list.size(), kNoClip, 0, 0, noPattern),
              MaskFillError::BadPattern);
    EXPECT_EQ(FillMaskRunsBits(dst.View(), list.data(), list.size(), kNoClip, 0, 0, shallow), MaskFillError::BadPattern);
    EXPECT_EQ(FillMaskRunsBits(dst32.View(), list.data(), list.size(), kNoClip, 0, 0, Solid(0xFFFFFF, 0)),
              MaskFillError::BadDestination);
    EXPECT_EQ(dst.Bytes(), before);
    EXPECT_STRNE(MaskFillErrorText(MaskFillError::BadList), MaskFillErrorText(MaskFillError::BadPattern));
}

}  // namespace
