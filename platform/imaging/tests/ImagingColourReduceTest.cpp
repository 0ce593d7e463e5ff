// Colour reduction for the indexed and 16-bit depths of the export formats.
#include <gtest/gtest.h>
#include "imaging/ImagingColourReduce.h"

namespace {

class ColourReduce : public testing::Test
{
protected:
    void SetUp() override
    {
        ImagingInitBitmap(&bitmap);
        ASSERT_EQ(ImagingOk, ImagingAllocateBitmap(&bitmap, 4, 2, 24));
        ImagingAccessBitmap(&bitmap);
    }
    void TearDown() override
    {
        ImagingReleaseBitmap(&bitmap);
        ImagingFreeBitmap(&bitmap);
    }
    void Set(int x, int y, int r, int g, int b)
    {
        unsigned char* p = ImagingPixelAddress(&bitmap, x, y);
        p[0] = static_cast<unsigned char>(b);
        p[1] = static_cast<unsigned char>(g);
        p[2] = static_cast<unsigned char>(r);
    }
    ImagingBitmap bitmap;
};

TEST_F(ColourReduce, SixteenBitsKeepTheTopFiveBitsOfEachChannel)
{
    Set(0, 0, 255, 0, 0);
    Set(1, 0, 0, 255, 0);
    Set(2, 0, 0, 0, 255);
    Set(3, 1, 0x87, 0x43, 0x21);
    ImagingBitmap target;
    ImagingInitBitmap(&target);
    ASSERT_EQ(ImagingOk, ImagingConvertTo16(&bitmap, &target));
    ImagingAccessScope access(&target);
    auto pixel = [&](int x, int y) {
        const unsigned char* p = ImagingPixelAddress(&target, x, y);
        return p[0] | p[1] << 8;
    };
    EXPECT_EQ(0x7C00, pixel(0, 0));
    EXPECT_EQ(0x03E0, pixel(1, 0));
    EXPECT_EQ(0x001F, pixel(2, 0));
    EXPECT_EQ((0x87 >> 3) << 10 | (0x43 >> 3) << 5 | (0x21 >> 3), pixel(3, 1));
    EXPECT_EQ(0, pixel(0, 1));
    ImagingFreeBitmap(&target);
    EXPECT_EQ(ImagingBadArgument, ImagingConvertTo16(&bitmap, &bitmap));
}

TEST_F(ColourReduce, IndexedDepths)
{
    Set(0, 0, 250, 250, 250);
    Set(1, 0, 100, 100, 100);
    Set(2, 0, 255, 0, 0);
    ImagingIndexedImage mono, vga, own;
    ASSERT_EQ(ImagingOk, ImagingReduceColours(&bitmap, 1, &mono));
    EXPECT_EQ((std::vector<unsigned char>{1, 0, 0, 0, 0, 0, 0, 0}), mono.Indices);
    ASSERT_EQ(ImagingOk, ImagingReduceColours(&bitmap, 4, &vga));
    EXPECT_EQ(16u, vga.Palette.size());
    EXPECT_EQ(15, vga.Indices[0]);
    EXPECT_EQ(8, vga.Indices[1]);
    EXPECT_EQ(9, vga.Indices[2]);
    // Few colours are kept exactly, in order of appearance.
    ASSERT_EQ(ImagingOk, ImagingReduceColours(&bitmap, 8, &own));
    EXPECT_EQ(256u, own.Palette.size());
    EXPECT_EQ((std::vector<unsigned char>{0, 1, 2, 3, 3, 3, 3, 3}), own.Indices);
    EXPECT_EQ(100, own.Palette[1].rgbGreen);
    EXPECT_EQ(ImagingBadArgument, ImagingReduceColours(&bitmap, 2, &own));
}

} // namespace
