// The gradient fill's own checks beside the Python model: refusals that must touch nothing, and two
// threads painting different gradients at once.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "imaging/ImagingBitmap.h"
#include "render/GradientFill.h"
#include "../TestRaster.h"

namespace {

struct Request {
    int kind;
    double angle;
    COLORREF from, to;
    int cyclic;
};

void Paint(TestRaster& raster, const Request& r, int bits) {
    ImagingBitmap bitmap;
    ImagingInitBitmap(&bitmap);
    ImagingAttachBits(&bitmap, raster.View().bits, raster.View().width, raster.View().height, bits,
                      raster.View().bytesPerLine);
    FillLinearGradient(r.kind, 90, 70, 45, 35, 40, 20, r.angle, 1.0, 0, 0, r.cyclic ? 13 : 0, 0, r.from, r.to, &bitmap,
                       bits, 1, 0, 0, 90, 70, 0, 0, 0, r.cyclic);
    ImagingFreeBitmap(&bitmap);
}

TEST(GradientFill, TwoThreadsEachGetTheirOwnColourTable) {
    const Request requests[2] = {{0, 30, 0x0000FF, 0xFF0000, 1}, {1, 70, 0x00FF00, 0x202020, 0}};
    std::vector<uint8_t> alone[2];
    for (int i = 0; i < 2; ++i) {
        TestRaster raster(90, 70, 32);
        Paint(raster, requests[i], 32);
        alone[i] = raster.Bytes();
    }
    for (int round = 0; round < 20; ++round) {
        TestRaster a(90, 70, 32), b(90, 70, 32);
        std::thread first([&] { for (int k = 0; k < 5; ++k) Paint(a, requests[0], 32); });
        std::thread second([&] { for (int k = 0; k < 5; ++k) Paint(b, requests[1], 32); });
        first.join();
        second.join();
        ASSERT_EQ(alone[0], a.Bytes()) << "round " << round;
        ASSERT_EQ(alone[1], b.Bytes()) << "round " << round;
    }
}

TEST(GradientFill, RefusedRequestsTouchNothing) {
    // A depth that is not the bitmap's, a depth the fill does not paint, no bitmap at all.
    TestRaster raster(20, 10, 24, 0x5A);
    const std::vector<uint8_t> before = raster.Bytes();
    ImagingBitmap bitmap;
    ImagingInitBitmap(&bitmap);
    ImagingAttachBits(&bitmap, raster.View().bits, 20, 10, 24, raster.View().bytesPerLine);
    for (int bits : {32, 16, 8, 0}) {
        FillLinearGradient(0, 20, 10, 0, 0, 1, 1, 0, 1, 0, 0, 0, 0, 0, 0xFFFFFF, &bitmap, bits, 0, 0, 0, 20, 10, 0,
                           0, 0, 0);
        EXPECT_EQ(before, raster.Bytes()) << bits;
    }
    FillLinearGradient(0, 20, 10, 0, 0, 1, 1, 0, 1, 0, 0, 0, 0, 0, 0xFFFFFF, nullptr, 24, 0, 0, 0, 20, 10, 0, 0, 0, 0);
    ImagingFreeBitmap(&bitmap);

    // A bitmap without pixels and a rectangle too large to allocate stays without pixels.
    ImagingBitmap empty;
    ImagingInitBitmap(&empty);
    FillLinearGradient(0, 1, 1, 0, 0, 1, 1, 0, 1, 0, 0, 0, 0, 0, 0xFFFFFF, &empty, 24, 0, 0, 0, 0x7FFFFFFF,
                       0x7FFFFFFF, 0, 0, 0, 0);
    EXPECT_FALSE(empty.Allocated);
    FillLinearGradient(0, 1, 1, 0, 0, 1, 1, 0, 1, 0, 0, 0, 0, 0, 0xFFFFFF, &empty, 24, 0, -0x7FFFFFFF - 1,
                       -0x7FFFFFFF - 1, 0x7FFFFFFF, 0x7FFFFFFF, 0, 0, 0, 0);
    EXPECT_FALSE(empty.Allocated);
}

}  // namespace
