// Flat-colour spans at both destination depths: every pixel of the span takes the colour (or the
// blend), and not one byte beside it changes, whatever the span's length and position.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "SpanPainter.h"
#include "imaging/ImagingBitmap.h"

namespace {

constexpr std::uint8_t kFence = 0x5A;

// One row of pixels attached over a buffer fenced on both sides.
class FencedRow {
public:
    FencedRow(int width, int bitsPerPixel) : width_(width), pixelBytes_(bitsPerPixel / 8)
    {
        memory_.assign(static_cast<size_t>(width) * pixelBytes_ + 2 * kFenceBytes, kFence);
        std::fill(memory_.begin() + kFenceBytes, memory_.end() - kFenceBytes, std::uint8_t{0});
        ImagingInitBitmap(&bitmap_);
        ImagingAttachBits(&bitmap_, &memory_[kFenceBytes], width, 1, bitsPerPixel, width * pixelBytes_);
    }
    ~FencedRow() { ImagingFreeBitmap(&bitmap_); }
    ImagingBitmap* get() { return &bitmap_; }
    const std::uint8_t* Pixel(int x) const { return &memory_[kFenceBytes + static_cast<size_t>(x) * pixelBytes_]; }
    bool FencesIntact() const
    {
        for (size_t i = 0; i < kFenceBytes; ++i)
            if (memory_[i] != kFence || memory_[memory_.size() - 1 - i] != kFence) return false;
        return true;
    }

private:
    static constexpr size_t kFenceBytes = 64;
    int width_, pixelBytes_;
    std::vector<std::uint8_t> memory_;
    ImagingBitmap bitmap_;
};

struct SpanCase {
    int x0, x1;
};

}  // namespace

TEST(SpanPainter, FullSpansColourExactlyTheirPixels)
{
    // Lengths around the widths the painter handles in blocks (4 and 16 pixels), at odd starts.
    const SpanCase cases[] = {{0, 0},  {0, 1},  {3, 6},   {1, 8},   {0, 15}, {5, 21},  {0, 16},
                              {7, 24}, {2, 33}, {11, 60}, {0, 64},  {1, 63}, {13, 64}, {63, 64}};
    for (int bits : {24, 32}) {
        for (const SpanCase& c : cases) {
            SCOPED_TRACE(testing::Message() << bits << "-bit span " << c.x0 << ".." << c.x1);
            FencedRow row(64, bits);
            SpanPainter painter(row.get(), 0x00332211u, nullptr, 0, 0);
            ASSERT_TRUE(painter.ok());
            painter.Span(0, c.x0, c.x1, 255);
            EXPECT_TRUE(row.FencesIntact());
            for (int x = 0; x < 64; ++x) {
                const std::uint8_t* p = row.Pixel(x);
                const bool inside = x >= c.x0 && x < c.x1;
                // Colour 0x00BBGGRR lands as blue, green, red.
                const std::uint8_t expect[4] = {0x33, 0x22, 0x11, 0xFF};
                for (int k = 0; k < bits / 8; ++k)
                    ASSERT_EQ(inside ? expect[k] : 0, p[k]) << "pixel " << x << " byte " << k;
            }
        }
    }
}

TEST(SpanPainter, ShortFullSpansOfEveryLengthColourExactlyTheirPixels)
{
    // Runs under 32 pixels end in blocks overlapping the ones before: every length, a few starts.
    for (int bits : {24, 32}) {
        for (int x0 = 0; x0 < 6; ++x0) {
            for (int length = 1; length <= 40; ++length) {
                SCOPED_TRACE(testing::Message() << bits << "-bit span " << x0 << ".." << x0 + length);
                FencedRow row(48, bits);
                SpanPainter painter(row.get(), 0x00C0B0A0u, nullptr, 0, 0);
                ASSERT_TRUE(painter.ok());
                painter.Span(0, x0, x0 + length, 255);
                EXPECT_TRUE(row.FencesIntact());
                const std::uint8_t expect[4] = {0xC0, 0xB0, 0xA0, 0xFF};
                for (int x = 0; x < 48; ++x) {
                    const bool inside = x >= x0 && x < x0 + length;
                    for (int k = 0; k < bits / 8; ++k)
                        ASSERT_EQ(inside ? expect[k] : 0, row.Pixel(x)[k]) << "pixel " << x << " byte " << k;
                }
            }
        }
    }
}

TEST(SpanPainter, LongFullSpansColourExactlyTheirPixelsFromEveryStart)
{
    // Long runs are written in blocks of 16 pixels and words of 4 with single pixels around them,
    // or (24-bit, 32 pixels and more) in aligned 16-byte stores at one of three byte phases with
    // overlapping stores at both ends: every start within 16 bytes of memory, and lengths around
    // the block sizes and that threshold.
    for (int bits : {24, 32}) {
        for (int x0 = 0; x0 < 16; ++x0) {
            for (int length : {31, 32, 33, 39, 40, 41, 47, 48, 49, 55, 56, 63, 64, 65, 100}) {
                const int x1 = x0 + length;
                SCOPED_TRACE(testing::Message() << bits << "-bit span " << x0 << ".." << x1);
                FencedRow row(128, bits);
                SpanPainter painter(row.get(), 0x00C0B0A0u, nullptr, 0, 0);
                painter.Span(0, x0, x1, 255);
                ASSERT_TRUE(row.FencesIntact());
                const std::uint8_t expect[4] = {0xC0, 0xB0, 0xA0, 0xFF};
                for (int x = 0; x < 128; ++x) {
                    const bool inside = x >= x0 && x < x1;
                    for (int k = 0; k < bits / 8; ++k)
                        ASSERT_EQ(inside ? expect[k] : 0, row.Pixel(x)[k]) << "pixel " << x << " byte " << k;
                }
            }
        }
    }
}

TEST(SpanPainter, PartialSpansBlendOnlyTheirPixels)
{
    for (int bits : {24, 32}) {
        SCOPED_TRACE(testing::Message() << bits << "-bit");
        FencedRow row(40, bits);
        SpanPainter painter(row.get(), 0x00FFFFFFu, nullptr, 0, 0);
        painter.Span(0, 3, 37, 128);
        EXPECT_TRUE(row.FencesIntact());
        for (int x = 0; x < 40; ++x) {
            const int v = row.Pixel(x)[0];
            if (x >= 3 && x < 37) {
                EXPECT_GE(v, 127) << x;
                EXPECT_LE(v, 129) << x;
            } else {
                EXPECT_EQ(0, v) << x;
            }
        }
    }
}
