#include "imaging/ImagingBitmap.h"

#include <gtest/gtest.h>

namespace {

struct AllocCase { int width, height, bpp, result, bytesPerLine; };

TEST(ImagingBitmap, AllocationChecksSizeAndDepth)
{
    const AllocCase cases[] = {
        {10, 5, 24, ImagingOk, 32},
        {1, 1, 8, ImagingOk, 4},
        {3, 2, 32, ImagingOk, 12},
        {0, 5, 24, ImagingBadArgument, 0},
        {5, 0, 24, ImagingBadArgument, 0},
        {-4, 5, 24, ImagingBadArgument, 0},
        {5, 5, 16, ImagingOk, 12},
        {5, 5, 15, ImagingBadArgument, 0},
        {100000, 100000, 32, ImagingBadArgument, 0},   // 40 GB does not fit
    };
    for (const AllocCase& c : cases) {
        ImagingBitmap b;
        ImagingInitBitmap(&b);
        EXPECT_EQ(c.result, ImagingAllocateBitmap(&b, c.width, c.height, c.bpp)) << c.width << "x" << c.height;
        if (c.result == ImagingOk) {
            EXPECT_EQ(c.bytesPerLine, b.BytesPerLine);
            EXPECT_TRUE(b.Allocated);
        } else {
            EXPECT_FALSE(b.Allocated);
        }
        ImagingFreeBitmap(&b);
        EXPECT_FALSE(b.Allocated);
    }
}

TEST(ImagingBitmap, FillWritesChannelsInPixelOrder)
{
    ImagingBitmap b;
    ImagingInitBitmap(&b);
    ASSERT_EQ(ImagingOk, ImagingAllocateBitmap(&b, 3, 2, 24));
    ASSERT_EQ(ImagingOk, ImagingFillBitmap(&b, RGB(10, 20, 30)));
    unsigned char* p = ImagingPixelAddress(&b, 2, 1);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(30, p[0]);
    EXPECT_EQ(20, p[1]);
    EXPECT_EQ(10, p[2]);
    EXPECT_EQ(nullptr, ImagingPixelAddress(&b, 3, 0));
    EXPECT_EQ(nullptr, ImagingPixelAddress(&b, 0, -1));
    ImagingFreeBitmap(&b);
}

TEST(ImagingBitmap, AccessNestsAndRefusesEmptyBitmaps)
{
    ImagingBitmap b;
    ImagingInitBitmap(&b);
    EXPECT_EQ(ImagingNotAllocated, ImagingAccessBitmap(&b));
    EXPECT_EQ(ImagingNotAllocated, ImagingFillBitmap(&b, 0));
    EXPECT_EQ(ImagingBadArgument, ImagingAccessBitmap(nullptr));
    unsigned char pixels[4 * 8] = {};
    ASSERT_EQ(ImagingOk, ImagingAttachBits(&b, pixels, 2, 4, 32, 8));
    {
        ImagingAccessScope outer(&b);
        ImagingAccessScope inner(&b);
        EXPECT_EQ(2, b.AccessCount);
    }
    EXPECT_EQ(0, b.AccessCount);
    EXPECT_EQ(ImagingBadArgument, ImagingAttachBits(&b, pixels, 2, 4, 32, 4));  // row too short
    ImagingFreeBitmap(&b);   // lent pixels stay with their owner
    EXPECT_EQ(nullptr, b.Addr);
}

} // namespace
