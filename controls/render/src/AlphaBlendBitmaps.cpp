#include "render/AlphaBlendBitmaps.h"

#include "ImagingRaster.h"
#include "render/EngineState.h"
#include "geometry/NumericHelpers.h"

#include <emmintrin.h>

#include <algorithm>

uint8_t PlainBlendBlueGreen(unsigned s, unsigned d, unsigned a) {
    // No sum divided by 255 lies half way between two integers, so the rounding mode never matters.
    return static_cast<uint8_t>(__round((s * a + d * (255 - a)) * (1.0 / 255.0)));
}

uint8_t PlainBlendRed(unsigned s, unsigned d, unsigned a) {
    unsigned w = 255 - a;
    if (w >= 128) ++w;
    const unsigned v = d * w + s * (256 - w);
    return static_cast<uint8_t>((v >> 8) + ((v >> 7) & 1));
}

BlendArea ClipAlphaBlendArea(int destWidth, int destHeight, int x, int y, int width, int height,
                             int sourceWidth, int sourceHeight, int srcX, int srcY) {
    // 64-bit edges: a far-off rectangle must clip to nothing rather than wrap round.
    const int64_t shiftX = int64_t(x) - srcX, shiftY = int64_t(y) - srcY;
    const int64_t left = std::max<int64_t>({x, 0, shiftX});
    const int64_t top = std::max<int64_t>({y, 0, shiftY});
    const int64_t right = std::min<int64_t>({int64_t(x) + width, destWidth, shiftX + sourceWidth});
    const int64_t bottom = std::min<int64_t>({int64_t(y) + height, destHeight, shiftY + sourceHeight});
    BlendArea area;
    if (left < right && top < bottom)
        area = {int(left), int(top), int(right), int(bottom)};
    return area;
}

namespace {

void BlendRowPlain(uint8_t* d, const uint8_t* s, int count) {
    for (int i = 0; i < count; ++i, d += 3, s += 4) {
        const unsigned a = s[3];
        if (a == 0) continue;
        if (a == 255) {
            d[0] = s[0]; d[1] = s[1]; d[2] = s[2];
            continue;
        }
        d[0] = PlainBlendBlueGreen(s[0], d[0], a);
        d[1] = PlainBlendBlueGreen(s[1], d[1], a);
        d[2] = PlainBlendRed(s[2], d[2], a);
    }
}

// One pixel per pass in 16-bit lanes, as the multimedia-extension code did it.
void BlendRowVector(uint8_t* d, const uint8_t* s, int count) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(256);
    for (int i = 0; i < count; ++i, d += 3, s += 4) {
        unsigned a = s[3];
        if (a == 0) continue;
        if (a == 255) {
            d[0] = s[0]; d[1] = s[1]; d[2] = s[2];
            continue;
        }
        if (a >= 128) ++a;
        const uint32_t srcWord = uint32_t(s[0]) | uint32_t(s[1]) << 8 | uint32_t(s[2]) << 16;
        const uint32_t dstWord = uint32_t(d[0]) | uint32_t(d[1]) << 8 | uint32_t(d[2]) << 16;
        const __m128i sv = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(srcWord)), zero);
        const __m128i dv = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(dstWord)), zero);
        const __m128i weight = _mm_set1_epi16(short(a));
        const __m128i sp = _mm_srli_epi16(_mm_mullo_epi16(sv, weight), 8);
        const __m128i dp = _mm_srli_epi16(_mm_mullo_epi16(dv, _mm_sub_epi16(full, weight)), 8);
        const uint32_t out = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(_mm_add_epi16(sp, dp), zero)));
        d[0] = uint8_t(out); d[1] = uint8_t(out >> 8); d[2] = uint8_t(out >> 16);
    }
}

}  // namespace

bool AlphaBlendRasterRects(const RasterBits& dest, int x, int y, int width, int height,
                           const RasterBits& source, int srcX, int srcY, AlphaBlendPath path) {
    if (!dest.IsUsable() || !source.IsUsable() || dest.bitsPerPixel != 24 || source.bitsPerPixel != 32)
        return false;
    if (width <= 0 || height <= 0) return true;
    const BlendArea area = ClipAlphaBlendArea(dest.width, dest.height, x, y, width, height,
                                              source.width, source.height, srcX, srcY);
    if (area.IsEmpty()) return true;
    const int count = area.right - area.left;
    for (int py = area.top; py < area.bottom; ++py) {
        uint8_t* d = dest.Row(py) + area.left * 3;
        const uint8_t* s = source.Row(int(int64_t(py) - y + srcY)) + (int64_t(area.left) - x + srcX) * 4;
        if (path == AlphaBlendPath::Vector)
            BlendRowVector(d, s, count);
        else
            BlendRowPlain(d, s, count);
    }
    return true;
}

namespace {

bool BlendImagingBitmaps(ImagingBitmap* dest, int x, int y, int width, int height, ImagingBitmap* source, int srcX,
                         int srcY, AlphaBlendPath path) {
    if (!dest || !source || !dest->Allocated || !source->Allocated) return false;
    if (width <= 0 || height <= 0) return true;
    if (ClipAlphaBlendArea(dest->Width, dest->Height, x, y, width, height, source->Width, source->Height, srcX, srcY)
            .IsEmpty())
        return true;
    ImagingAccessScope destAccess(dest), sourceAccess(source);
    if (!destAccess.ok() || !sourceAccess.ok()) return false;
    return AlphaBlendRasterRects(RasterOf(dest), x, y, width, height, RasterOf(source), srcX, srcY, path);
}

}  // namespace

bool AlphaBlendBitmapRects(ImagingBitmap* dest, int x, int y, int width, int height, ImagingBitmap* source,
                           int srcX, int srcY) {
    const AlphaBlendPath path = IsMmxAvailable() ? AlphaBlendPath::Vector : AlphaBlendPath::Plain;
    return BlendImagingBitmaps(dest, x, y, width, height, source, srcX, srcY, path);
}

bool AlphaBlendBitmapRectsMmx(ImagingBitmap* dest, int x, int y, int width, int height, ImagingBitmap* source,
                              int srcX, int srcY) {
    return BlendImagingBitmaps(dest, x, y, width, height, source, srcX, srcY, AlphaBlendPath::Vector);
}
