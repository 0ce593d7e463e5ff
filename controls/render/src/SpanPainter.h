#pragma once
// Writes coverage into a 24- or 32-bit destination with a flat colour or a pattern bitmap: 24-bit
// patterns are copied (mixed at partial coverage), 32-bit patterns blend by their own alpha, 8-bit
// patterns are masks of the flat colour. Destination pixel (X, Y) takes pattern pixel
// (X - originX, Y - originY + 1); pixels whose pattern pixel lies outside the pattern are left alone.
#include <cstddef>
#include <cstdint>

#include "PixelBlend.h"

struct ImagingBitmap;

// How many rows ahead the lines a painting will reach are fetched: on a tall bitmap a narrow shape's
// rows each miss the cache, and two rows' work is shorter than a fetch from memory.
constexpr int kPrefetchRows = 6;

class SpanPainter {
public:
    // colour is 0x00BBGGRR. pattern may be null (flat colour).
    SpanPainter(ImagingBitmap* destination, std::uint32_t colour, const ImagingBitmap* pattern, int originX, int originY);

    bool ok() const { return ok_; }

    // Pixels [x0, x1) of row y at one coverage (0..255); callers keep them inside the destination.
    void Span(int y, int x0, int x1, unsigned coverage);
    void Pixel(int y, int x, unsigned coverage);
    // Pixels [x0, x1) of row y partly covered, exact coverage k / 2^17 (0 < k < 2^17): blended to
    // the nearest of d * (1 - a) + s * a; a 32-bit or 8-bit pattern's alpha scales the coverage.
    void ExactSpan(int y, int x0, int x1, std::uint32_t k)
    {
        // Most are single pixels of an outline in a flat colour.
        if (x1 != x0 + 1 || patternBits_ || k == 0) {
            ExactRun(y, x0, x1, k);
            return;
        }
        unsigned char* p = bits_ + static_cast<size_t>(y) * bytesPerLine_ + static_cast<size_t>(x0) * pixelBytes_;
        // The outline passes near here a few rows on: fetch that line while this one is blended (a
        // hint, harmless where it lies outside the bitmap).
        __builtin_prefetch(p + kPrefetchRows * bytesPerLine_, 1);
        p[0] = BlendExact(blue_, p[0], k);
        p[1] = BlendExact(green_, p[1], k);
        p[2] = BlendExact(red_, p[2], k);
        if (pixelBytes_ == 4) p[3] = BlendExact(255, p[3], k);
    }

    // Row y of a flat-colour painting, for ExactPixel; null when a pattern paints.
    unsigned char* FlatRow(int y) const
    {
        return patternBits_ ? nullptr : bits_ + static_cast<size_t>(y) * bytesPerLine_;
    }
    // Fetches the lines of pixels [x0, x1) kPrefetchRows below row y of a flat-colour painting (a
    // row the shape will paint soon): all of a narrow row, the two ends of a wide one (where its
    // blended pixels will be). Ends outside the bitmap are pulled in.
    void PrefetchAhead(unsigned char* row, int x0, int x1) const
    {
        const int width = bytesPerLine_ / pixelBytes_;
        x0 = x0 < 0 ? 0 : x0 > width - 1 ? width - 1 : x0;
        x1 = x1 < 1 ? 1 : x1 > width ? width : x1;
        const unsigned char* p = row + kPrefetchRows * bytesPerLine_ + static_cast<size_t>(x0) * pixelBytes_;
        const unsigned char* const end = row + kPrefetchRows * bytesPerLine_ + static_cast<size_t>(x1) * pixelBytes_;
        if (end > p && end - p <= 8 * 64)
            for (; p < end; p += 64) __builtin_prefetch(p, 1);
        else
            __builtin_prefetch(p, 1);
        __builtin_prefetch(end - 1, 1);
    }
    // One partly covered pixel x of a row FlatRow gave (0 < k < 2^17), as ExactSpan blends it.
    void ExactPixel(unsigned char* row, int x, std::uint32_t k)
    {
        unsigned char* p = row + static_cast<size_t>(x) * pixelBytes_;
        __builtin_prefetch(p + kPrefetchRows * bytesPerLine_, 1);
        p[0] = BlendExact(blue_, p[0], k);
        p[1] = BlendExact(green_, p[1], k);
        p[2] = BlendExact(red_, p[2], k);
        if (pixelBytes_ == 4) p[3] = BlendExact(255, p[3], k);
    }

private:
    void ExactRun(int y, int x0, int x1, std::uint32_t k);
    const std::uint8_t* PatternPixel(int x, int y) const;

    unsigned char* bits_ = nullptr;
    int bytesPerLine_ = 0;
    int pixelBytes_ = 3;
    std::uint8_t blue_, green_, red_;
    // The flat colour's bytes in a 24-bit destination, repeated (sixteen pixels and a third), for
    // the 16-byte stores of full runs at any of the three byte phases.
    alignas(16) std::uint8_t fullRun_[64];
    const unsigned char* patternBits_ = nullptr;
    int patternWidth_ = 0, patternHeight_ = 0, patternBytesPerLine_ = 0, patternPixelBytes_ = 0;
    int originX_ = 0, originY_ = 0;
    bool ok_ = false;
};
