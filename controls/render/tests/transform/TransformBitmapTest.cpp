// Polygon clipping, the 16.16 product, and requests the transformation must refuse or cut without
// touching anything outside. Sampling itself is checked against a numpy model in Python.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "imaging/ImagingBitmap.h"
#include "render/TransformBitmap.h"
#include "../TestRaster.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(FixedMul, SignedProductShiftedAndTruncated) {
    EXPECT_EQ(FixedMul(3 << 16, 2 << 16), 6 << 16);
    EXPECT_EQ(FixedMul(-(3 << 16), 1 << 15), -(3 << 15));
    EXPECT_EQ(FixedMul(-1, 1), -1);                      // arithmetic shift: floor
    EXPECT_EQ(FixedMul(0x7FFFFFFF, 0x7FFFFFFF), int32_t(uint32_t((int64_t(0x7FFFFFFF) * 0x7FFFFFFF) >> 16)));
}

TEST(ClipPolygonToRect, CasesByEdge) {
    const RECT r = {0, 0, 10, 10};
    struct Case {
        std::vector<tagPointF> in;
        std::vector<tagPointF> out;
    } cases[] = {
        // Wholly inside: unchanged.
        {{{1, 1}, {9, 1}, {9, 9}, {1, 9}}, {{1, 1}, {9, 1}, {9, 9}, {1, 9}}},
        // Wholly outside on the right (x < right is inside): nothing.
        {{{10, 1}, {12, 1}, {12, 5}}, {}},
        // Larger than the rectangle: the rectangle itself.
        {{{-5, -5}, {15, -5}, {15, 15}, {-5, 15}}, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}},
        // A triangle cut by the top edge.
        {{{5, -5}, {10, 5}, {0, 5}}, {{2.5, 0}, {7.5, 0}, {10, 5}, {0, 5}}},
    };
    for (const Case& c : cases) {
        tagPointF out[16];
        const int n = ClipPolygonToRect(c.in.data(), int(c.in.size()), r, out);
        ASSERT_EQ(int(c.out.size()), n);
        // Same cycle, from any start.
        for (int start = 0; start < n; ++start) {
            bool same = true;
            for (int i = 0; i < n && same; ++i)
                same = std::fabs(out[(start + i) % n].x - c.out[i].x) < 1e-12 &&
                       std::fabs(out[(start + i) % n].y - c.out[i].y) < 1e-12;
            if (same) break;
            ASSERT_NE(start, n - 1) << "clipped polygon differs";
        }
    }
    tagPointF out[20], many[13] = {};
    EXPECT_EQ(0, ClipPolygonToRect(many, 13, r, out));
    EXPECT_EQ(0, ClipPolygonToRect(nullptr, 3, r, out));
    EXPECT_EQ(0, ClipPolygonToRect(many, 0, r, out));
}

RasterBits Checker(std::vector<uint32_t>& pixels, int w, int h) {
    pixels.resize(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) pixels[size_t(y) * w + x] = 0x80000000u | uint32_t(x * 7 + y * 1031);
    RasterBits bits;
    bits.bits = reinterpret_cast<uint8_t*>(pixels.data());
    bits.width = w, bits.height = h, bits.bitsPerPixel = 32, bits.bytesPerLine = w * 4;
    return bits;
}

TEST(TransformRaster, IdentityCopiesOneToOneByEveryMethod) {
    std::vector<uint32_t> pixels;
    const RasterBits source = Checker(pixels, 13, 9);
    for (int method : {0, 1, 2}) {
        TestRaster dest(13, 9, 32);
        TransformRaster(source, dest.View(), RECT{0, 0, 13, 9}, CAffineMatrix(), method, false);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(pixels[y * 13 + x], *reinterpret_cast<const uint32_t*>(dest.Pixel(x, y)))
                    << method << " " << x << " " << y;
        EXPECT_TRUE(dest.OutsideUntouched());
    }
}

TEST(TransformRaster, RefusedRequestsTouchNothing) {
    std::vector<uint32_t> pixels;
    const RasterBits source = Checker(pixels, 16, 16);
    const CAffineMatrix rotate = CAffineMatrix().Translate(20, 4).Rotate(0.5);
    struct Case {
        const char* name;
        CAffineMatrix matrix;
        RECT clip;
        int bits;
        bool blend;
    } cases[] = {
        {"singular", CAffineMatrix(1, 2, 0, 2, 4, 0, 0, 0, 1), {0, 0, 40, 30}, 32, false},
        {"not finite", CAffineMatrix(kNaN, 0, 0, 0, 1, 0, 0, 0, 1), {0, 0, 40, 30}, 32, false},
        {"infinite offset", CAffineMatrix(1, 0, INFINITY, 0, 1, 0, 0, 0, 1), {0, 0, 40, 30}, 24, true},
        {"beyond 16.16", CAffineMatrix(1, 0, 1e7, 0, 1, 0, 0, 0, 1), {0, 0, 40, 30}, 32, false},
        {"tiny scale", CAffineMatrix(1e-9, 0, 0, 0, 1e-9, 0, 0, 0, 1), {0, 0, 40, 30}, 32, false},
        {"clip outside", rotate, {100, 100, 200, 200}, 32, false},
        {"clip inverted", rotate, {30, 20, 0, 0}, 32, false},
        {"wrong depth for copy", rotate, {0, 0, 40, 30}, 24, false},
        {"wrong depth for blend", rotate, {0, 0, 40, 30}, 32, true},
    };
    for (const Case& c : cases) {
        TestRaster dest(40, 30, c.bits, 0x11);
        const std::vector<uint8_t> before = dest.Bytes();
        for (int method : {0, 1, 2}) TransformRaster(source, dest.View(), c.clip, c.matrix, method, c.blend);
        EXPECT_EQ(before, dest.Bytes()) << c.name;
    }
    // Null and empty bitmaps through the imaging entry.
    TestRaster dest(40, 30, 32, 0x11);
    const std::vector<uint8_t> before = dest.Bytes();
    ImagingBitmap empty, target;
    ImagingInitBitmap(&empty);
    ImagingInitBitmap(&target);
    ImagingAttachBits(&target, dest.View().bits, 40, 30, 32, dest.View().bytesPerLine);
    const RECT clip = {0, 0, 40, 30};
    TransformBitmap(&empty, &target, &clip, rotate, 2, false);
    TransformBitmap(nullptr, &target, &clip, rotate, 2, false);
    TransformBitmap(&empty, &target, nullptr, rotate, 2, false);
    TransformBitmap(&empty, nullptr, &clip, rotate, 2, false);
    EXPECT_EQ(before, dest.Bytes());
    ImagingFreeBitmap(&target);
}

// A clip larger than the destination, or reaching past any side of it, is cut: only pixels of the
// destination inside the clip change.
TEST(TransformRaster, ClipIsCutToTheDestinationAndKeptOnBothSides) {
    std::vector<uint32_t> pixels;
    const RasterBits source = Checker(pixels, 64, 64);
    const CAffineMatrix matrix = CAffineMatrix().Translate(-10, -10).Scale(1.3, 1.1).Rotate(0.3);
    const RECT clips[] = {{-1000, -1000, 1000, 1000}, {5, 3, 17, 21}, {-5, 10, 8, 2000}, {30, -4, 60, 9}};
    for (const RECT& clip : clips)
        for (int method : {0, 1, 2})
            for (bool blend : {false, true}) {
                TestRaster dest(32, 24, blend ? 24 : 32, 0x11);
                TransformRaster(source, dest.View(), clip, matrix, method, blend);
                ASSERT_TRUE(dest.OutsideUntouched());
                const int bytes = blend ? 3 : 4;
                bool changed = false;
                for (int y = 0; y < 24; ++y)
                    for (int x = 0; x < 32; ++x) {
                        const bool inside = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
                        bool same = true;
                        for (int k = 0; k < bytes; ++k) same = same && dest.Pixel(x, y)[k] == 0x11;
                        ASSERT_TRUE(inside || same) << x << " " << y;
                        changed = changed || !same;
                    }
                EXPECT_TRUE(changed);
            }
}

// The random state of the blend belongs to the call: repeated and concurrent calls agree.
TEST(TransformRaster, RandomBlendIsTheSameEveryCallAndOnEveryThread) {
    std::vector<uint32_t> pixels;
    RasterBits source = Checker(pixels, 50, 50);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = (pixels[i] & 0x00FFFFFFu) | (uint32_t(i * 37 % 256) << 24);
    const CAffineMatrix matrix = CAffineMatrix().Translate(3, 2).Rotate(0.2);
    TestRaster first(60, 60, 24, 0x40);
    TransformRaster(source, first.View(), RECT{0, 0, 60, 60}, matrix, 0, true);
    std::vector<TestRaster> results;
    for (int i = 0; i < 4; ++i) results.emplace_back(60, 60, 24, 0x40);
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&, i] {
            for (int k = 0; k < 3; ++k) {
                TestRaster scratch(60, 60, 24, 0x40);
                TransformRaster(source, scratch.View(), RECT{0, 0, 60, 60}, matrix, 0, true);
            }
            TransformRaster(source, results[i].View(), RECT{0, 0, 60, 60}, matrix, 0, true);
        });
    for (auto& t : threads) t.join();
    for (const TestRaster& r : results) EXPECT_EQ(first.Bytes(), r.Bytes());
}

}  // namespace
