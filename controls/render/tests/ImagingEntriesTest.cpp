// The compositing entries on imaging bitmaps: same pixels as the raster routines, and bitmaps that
// hold no pixels are refused.
#include <gtest/gtest.h>

#include <cstring>

#include "MaskListBuilder.h"
#include "imaging/ImagingBitmap.h"
#include "render/AlphaBlendBitmaps.h"
#include "render/Dither555.h"
#include "render/FillInfo.h"
#include "render/MaskListFill.h"

namespace {

struct Bitmap {
    ImagingBitmap b;
    Bitmap(int w, int h, int bpp, COLORREF fill) {
        ImagingInitBitmap(&b);
        EXPECT_EQ(ImagingAllocateBitmap(&b, w, h, bpp), ImagingOk);
        ImagingFillBitmap(&b, fill);
    }
    Bitmap() { ImagingInitBitmap(&b); }
    ~Bitmap() {
        if (b.Dib) ImagingFreeBitmap(&b);
    }
    unsigned char* At(int x, int y) { return ImagingPixelAddress(&b, x, y); }
};

TEST(ImagingEntries, DitherWritesTheDestination) {
    Bitmap src(8, 8, 24, RGB(255, 255, 255)), dst;
    // A 16-bit screen surface lent by its owner, described field by field (the stand-in allocates
    // only 8, 24 and 32-bit pixels).
    std::vector<uint16_t> screen(8 * 8);
    dst.b.Addr = reinterpret_cast<unsigned char*>(screen.data());
    dst.b.Width = dst.b.Height = 8;
    dst.b.BitsPerPixel = 16;
    dst.b.BytesPerLine = 16;
    dst.b.Allocated = 1;
    ASSERT_TRUE(DitherTo555(&dst.b, 0, 0, 8, 8, &src.b, 0, 0, POINT{0, 0}));
    uint16_t first;
    std::memcpy(&first, dst.At(0, 0), 2);
    EXPECT_EQ(first, 0x7FFF);
    EXPECT_EQ(dst.b.AccessCount, 0);
    Bitmap empty;
    EXPECT_FALSE(DitherTo555(&dst.b, 0, 0, 8, 8, &empty.b, 0, 0, POINT{0, 0}));
    EXPECT_FALSE(DitherTo555(nullptr, 0, 0, 8, 8, &src.b, 0, 0, POINT{0, 0}));
}

TEST(ImagingEntries, AlphaBlendBothPathsAgreeAtTheEnds) {
    for (auto blend : {&AlphaBlendBitmapRects, &AlphaBlendBitmapRectsMmx}) {
        Bitmap dst(4, 4, 24, RGB(10, 20, 30)), src(4, 4, 32, RGB(200, 100, 50));  // alpha 255
        ASSERT_TRUE(blend(&dst.b, 1, 1, 2, 2, &src.b, 0, 0));
        EXPECT_EQ(dst.At(1, 1)[2], 200);
        EXPECT_EQ(dst.At(0, 0)[2], 10);
        EXPECT_EQ(dst.At(3, 3)[2], 10);
        EXPECT_TRUE(blend(&dst.b, 4, 4, 2, 2, &src.b, 0, 0));  // outside: nothing to do
        Bitmap empty;
        EXPECT_FALSE(blend(&dst.b, 0, 0, 2, 2, &empty.b, 0, 0));
        EXPECT_EQ(dst.b.AccessCount, 0);
        EXPECT_EQ(src.b.AccessCount, 0);
    }
}

// A blend that covers nothing must not touch the bitmaps: here their bits cannot be accessed at all.
TEST(ImagingEntries, AlphaBlendOutsideAccessesNothing) {
    Bitmap dst, src;
    for (ImagingBitmap* b : {&dst.b, &src.b}) {
        b->Width = b->Height = 4;
        b->BitsPerPixel = b == &dst.b ? 24 : 32;
        b->BytesPerLine = 16;
        b->Allocated = 1;  // described, but without pixels: any access fails
    }
    for (auto blend : {&AlphaBlendBitmapRects, &AlphaBlendBitmapRectsMmx}) {
        EXPECT_TRUE(blend(&dst.b, 4, 0, 3, 3, &src.b, 0, 0));
        EXPECT_TRUE(blend(&dst.b, 0, 0, 3, 3, &src.b, 0, 4));
        EXPECT_TRUE(blend(&dst.b, -3, 0, 3, 3, &src.b, 0, 0));
        EXPECT_FALSE(blend(&dst.b, 0, 0, 3, 3, &src.b, 0, 0));  // overlapping: access needed, and refused
    }
}

TEST(ImagingEntries, FillMaskRunsTakesTheRequest) {
    const std::vector<uint8_t> list = MaskListBuilder()
                                          .Entries(CoverageFill, {0, 0, 4, 1}, {RunEntry(0, 0, 4)})
                                          .Entries(CoverageOutline, {0, 1, 4, 2}, {RunEntry(0, 1, 4)})
                                          .Bytes();
    Bitmap dst(4, 3, 24, 0), pattern(4, 4, 24, RGB(1, 2, 3));
    FillInfo request{};
    request.FillType = FillSolid;
    request.FillColor = RGB(9, 8, 7);
    request.OutlineType = OutlineSolid;
    request.OutlineWidth = 1.0;
    request.OutlineColor = RGB(4, 5, 6);
    ASSERT_EQ(FillMaskRuns(&dst.b, list.data(), list.size(), 0, 0, 4, 3, 0, 0, &request), MaskFillError::None);
    EXPECT_EQ(dst.At(2, 0)[2], 9);
    EXPECT_EQ(dst.At(2, 1)[2], 4);
    EXPECT_EQ(dst.At(2, 2)[2], 0);

    request.FillType = FillPattern;
    EXPECT_EQ(FillMaskRuns(&dst.b, list.data(), list.size(), 0, 0, 4, 3, 0, 0, &request), MaskFillError::BadPattern);
    request.PatternBitmap = &pattern.b;
    ASSERT_EQ(FillMaskRuns(&dst.b, list.data(), list.size(), 0, 0, 4, 3, 0, 0, &request), MaskFillError::None);
    EXPECT_EQ(dst.At(2, 0)[2], 1);
    EXPECT_EQ(FillMaskRuns(&dst.b, list.data(), list.size(), 0, 0, 4, 3, 0, 0, nullptr), MaskFillError::BadRequest);
    EXPECT_EQ(dst.b.AccessCount, 0);
    EXPECT_EQ(pattern.b.AccessCount, 0);
}

}  // namespace
