#include "SpanPainter.h"

#include <cstring>

#include <emmintrin.h>

#include "PixelBlend.h"
#include "imaging/ImagingBitmap.h"

SpanPainter::SpanPainter(ImagingBitmap* destination, std::uint32_t colour, const ImagingBitmap* pattern,
                         int originX, int originY)
    : blue_(static_cast<std::uint8_t>(colour >> 16)),
      green_(static_cast<std::uint8_t>(colour >> 8)),
      red_(static_cast<std::uint8_t>(colour)),
      originX_(originX),
      originY_(originY)
{
    for (int i = 0; i < 63; i += 3) {
        fullRun_[i] = blue_;
        fullRun_[i + 1] = green_;
        fullRun_[i + 2] = red_;
    }
    fullRun_[63] = blue_;
    if (!destination || !destination->Addr || (destination->BitsPerPixel != 24 && destination->BitsPerPixel != 32))
        return;
    bits_ = destination->Addr;
    bytesPerLine_ = destination->BytesPerLine;
    pixelBytes_ = destination->BitsPerPixel / 8;
    if (pattern && pattern->Addr && pattern->Allocated &&
        (pattern->BitsPerPixel == 8 || pattern->BitsPerPixel == 24 || pattern->BitsPerPixel == 32)) {
        patternBits_ = pattern->Addr;
        patternWidth_ = pattern->Width;
        patternHeight_ = pattern->Height;
        patternBytesPerLine_ = pattern->BytesPerLine;
        patternPixelBytes_ = pattern->BitsPerPixel / 8;
    }
    ok_ = true;
}

inline const std::uint8_t* SpanPainter::PatternPixel(int x, int y) const
{
    const int px = x - originX_, py = y - originY_ + 1;
    if (px < 0 || py < 0 || px >= patternWidth_ || py >= patternHeight_) return nullptr;
    return patternBits_ + static_cast<size_t>(py) * patternBytesPerLine_ + static_cast<size_t>(px) * patternPixelBytes_;
}

void SpanPainter::Span(int y, int x0, int x1, unsigned coverage)
{
    if (x0 >= x1 || coverage == 0) return;
    unsigned char* p = bits_ + static_cast<size_t>(y) * bytesPerLine_ + static_cast<size_t>(x0) * pixelBytes_;
    if (!patternBits_) {
        if (coverage >= 255) {
            if (pixelBytes_ == 3) {
                int n = x1 - x0;
                // Sixteen pixels are three 16-byte stores, four pixels three 32-bit words.
                if (n >= 16) {
                    const std::uint8_t* const run = fullRun_;
                    unsigned char* const end = p + 3 * n;
                    if (n >= 32) {
                        // Long runs: one store to reach a 16-byte boundary, then aligned stores
                        // (none splits a cache line), and a last store ending at the run's end.
                        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_loadu_si128(reinterpret_cast<const __m128i*>(run)));
                        unsigned char* q = reinterpret_cast<unsigned char*>((reinterpret_cast<std::uintptr_t>(p) + 16) & ~std::uintptr_t(15));
                        auto phase = [&](const unsigned char* at) { return run + static_cast<std::size_t>(at - p) % 3; };
                        const std::uint8_t* const from = phase(q);
                        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
                        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 16));
                        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 32));
                        for (; end - q >= 48; q += 48) {
                            _mm_store_si128(reinterpret_cast<__m128i*>(q), a);
                            _mm_store_si128(reinterpret_cast<__m128i*>(q + 16), b);
                            _mm_store_si128(reinterpret_cast<__m128i*>(q + 32), c);
                        }
                        for (; end - q >= 16; q += 16)
                            _mm_store_si128(reinterpret_cast<__m128i*>(q), _mm_loadu_si128(reinterpret_cast<const __m128i*>(phase(q))));
                        if (q < end)
                            _mm_storeu_si128(reinterpret_cast<__m128i*>(end - 16),
                                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(phase(end - 16))));
                        return;
                    }
                    // Shorter runs: whole blocks of sixteen or four pixels, the last one ending at
                    // the run's end (over what the one before wrote: same pixels, same bytes).
                    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(run));
                    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(run + 16));
                    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(run + 32));
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), a);
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16), b);
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 32), c);
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(end - 48), a);
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(end - 32), b);
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(end - 16), c);
                    return;
                }
                if (n >= 4) {
                    std::uint32_t w[3];
                    std::memcpy(w, fullRun_, sizeof w);
                    unsigned char* const end = p + 3 * n;
                    for (; end - p > 12; p += 12) std::memcpy(p, w, 12);
                    std::memcpy(end - 12, w, 12);
                    return;
                }
                for (; n > 0; --n, p += 3) { p[0] = blue_; p[1] = green_; p[2] = red_; }
            } else if (x1 - x0 >= 4) {
                const std::uint32_t pixel = 0xFF000000u | (std::uint32_t(red_) << 16) | (std::uint32_t(green_) << 8) | blue_;
                int n = x1 - x0;
                const __m128i four = _mm_set1_epi32(static_cast<int>(pixel));
                for (; n >= 4; n -= 4, p += 16) _mm_storeu_si128(reinterpret_cast<__m128i*>(p), four);
                for (; n > 0; --n, p += 4) std::memcpy(p, &pixel, 4);
            } else {
                for (int x = x0; x < x1; ++x, p += 4) { p[0] = blue_; p[1] = green_; p[2] = red_; p[3] = 255; }
            }
            return;
        }
        for (int x = x0; x < x1; ++x, p += pixelBytes_) {
            p[0] = BlendChannel(blue_, p[0], coverage);
            p[1] = BlendChannel(green_, p[1], coverage);
            p[2] = BlendChannel(red_, p[2], coverage);
            if (pixelBytes_ == 4) p[3] = BlendChannel(255, p[3], coverage);
        }
        return;
    }
    for (int x = x0; x < x1; ++x, p += pixelBytes_) {
        const std::uint8_t* s = PatternPixel(x, y);
        if (!s) continue;
        unsigned a = coverage;
        std::uint8_t b, g, r;
        switch (patternPixelBytes_) {
        case 1:
            a = ScaleCoverage(coverage, s[0]);
            b = blue_; g = green_; r = red_;
            break;
        case 4:
            a = ScaleCoverage(coverage, s[3]);
            b = s[0]; g = s[1]; r = s[2];
            break;
        default:
            b = s[0]; g = s[1]; r = s[2];
            break;
        }
        if (a == 0) continue;
        p[0] = BlendChannel(b, p[0], a);
        p[1] = BlendChannel(g, p[1], a);
        p[2] = BlendChannel(r, p[2], a);
        if (pixelBytes_ == 4) p[3] = BlendChannel(255, p[3], a);
    }
}

void SpanPainter::ExactRun(int y, int x0, int x1, std::uint32_t k)
{
    if (x0 >= x1 || k == 0) return;
    unsigned char* p = bits_ + static_cast<size_t>(y) * bytesPerLine_ + static_cast<size_t>(x0) * pixelBytes_;
    __builtin_prefetch(p + kPrefetchRows * bytesPerLine_, 1);
    if (!patternBits_) {
        for (int x = x0; x < x1; ++x, p += pixelBytes_) {
            p[0] = BlendExact(blue_, p[0], k);
            p[1] = BlendExact(green_, p[1], k);
            p[2] = BlendExact(red_, p[2], k);
            if (pixelBytes_ == 4) p[3] = BlendExact(255, p[3], k);
        }
        return;
    }
    for (int x = x0; x < x1; ++x, p += pixelBytes_) {
        const std::uint8_t* s = PatternPixel(x, y);
        if (!s) continue;
        if (patternPixelBytes_ == 3) {
            p[0] = BlendExact(s[0], p[0], k);
            p[1] = BlendExact(s[1], p[1], k);
            p[2] = BlendExact(s[2], p[2], k);
            if (pixelBytes_ == 4) p[3] = BlendExact(255, p[3], k);
            continue;
        }
        // A mask byte blends the flat colour, a 32-bit pixel itself, by coverage x alpha / 255.
        const bool mask = patternPixelBytes_ == 1;
        const double a = ScaleExactCoverage(k, mask ? s[0] : s[3]);
        if (a == 0) continue;
        p[0] = BlendRounded(mask ? blue_ : s[0], p[0], a);
        p[1] = BlendRounded(mask ? green_ : s[1], p[1], a);
        p[2] = BlendRounded(mask ? red_ : s[2], p[2], a);
        if (pixelBytes_ == 4) p[3] = BlendRounded(255, p[3], a);
    }
}

void SpanPainter::Pixel(int y, int x, unsigned coverage)
{
    Span(y, x, x + 1, coverage);
}
