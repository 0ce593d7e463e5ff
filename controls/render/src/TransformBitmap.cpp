#include "render/TransformBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "BitmapReduction.h"
#include "ImagingRaster.h"
#include "geometry/NumericHelpers.h"
#include "render/EngineState.h"

namespace {

// Coefficients and positions must stay inside the 16.16 range.
constexpr double kFixedLimit = 32767.0;
constexpr uint32_t kRandomSeed = 0x49568734u;

double Round4(double v) { return __round(v * 10000) * 0.0001; }

bool Finite(const CAffineMatrix& m) {
    for (double v : m.m)
        if (!std::isfinite(v)) return false;
    return true;
}

tagPointF Map(const CAffineMatrix& m, double x, double y) {
    tagPointF out;
    m.TransformPoint(tagPointF{x, y}, out);
    return out;
}

// The inverse matrix's six coefficients in 16.16.
struct FixedInverse {
    int64_t a, b, c, d, e, f;   // u = a x + b y + c, v = d x + e y + f
};

bool ToFixed(const CAffineMatrix& inverse, FixedInverse& out) {
    const double* m = inverse.m;
    for (int i : {0, 1, 2, 3, 4, 5})
        if (!(std::fabs(m[i]) < kFixedLimit)) return false;
    out = {__round(m[0] * 65536), __round(m[1] * 65536), __round(m[2] * 65536),
           __round(m[3] * 65536), __round(m[4] * 65536), __round(m[5] * 65536)};
    return true;
}

// The destination pixels of one row that the clipped footprint touches: its x extent over the row's
// band [y, y + 1] of heights.
bool RowExtent(const tagPointF* polygon, int count, int y, double& minX, double& maxX) {
    bool any = false;
    minX = 1e300, maxX = -1e300;
    const double top = y, bottom = y + 1.0;
    for (int i = 0; i < count; ++i) {
        const tagPointF& p = polygon[i];
        const tagPointF& q = polygon[(i + 1) % count];
        const double lo = std::max(top, std::min(p.y, q.y)), hi = std::min(bottom, std::max(p.y, q.y));
        if (lo > hi) continue;
        auto consider = [&](double x) { minX = std::min(minX, x), maxX = std::max(maxX, x); };
        if (p.y == q.y) {
            consider(p.x);
            consider(q.x);
        } else {
            consider(p.x + (lo - p.y) * (q.x - p.x) / (q.y - p.y));
            consider(p.x + (hi - p.y) * (q.x - p.x) / (q.y - p.y));
        }
        any = true;
    }
    return any;
}

// Pixel access with neighbours outside the image read at the nearest edge pixel and alpha 0.
struct SourceImage {
    const RasterBits& bits;
    uint32_t At(int64_t x, int64_t y) const {
        const bool outside = x < 0 || y < 0 || x >= bits.width || y >= bits.height;
        x = std::min<int64_t>(std::max<int64_t>(x, 0), bits.width - 1);
        y = std::min<int64_t>(std::max<int64_t>(y, 0), bits.height - 1);
        const uint32_t v = reinterpret_cast<const uint32_t*>(bits.Row(int(y)))[x];
        return outside ? v & 0x00FFFFFFu : v;
    }
    uint32_t Inner(int x, int y) const { return reinterpret_cast<const uint32_t*>(bits.Row(y))[x]; }
};

// The four weights of a bilinear sample from 15-bit fractions, in units of 1/16384.
struct BilinearWeights {
    uint32_t w00, w10, w01, w11;
    BilinearWeights(uint32_t fx, uint32_t fy)
        : w00(((32768 - fx) * (32768 - fy)) >> 16), w10((fx * (32768 - fy)) >> 16), w01(((32768 - fx) * fy) >> 16),
          w11((fx * fy) >> 16) {}
};

// Each channel of the four pixels weighed, rounded and shifted down by 14 bits.
uint32_t Weigh(const BilinearWeights& w, uint32_t p00, uint32_t p10, uint32_t p01, uint32_t p11) {
#if defined(__SSE2__)
    // Pairs of neighbours side by side in 16-bit lanes, weighed and summed per channel in 32 bits.
    const __m128i zero = _mm_setzero_si128();
    const __m128i top = _mm_unpacklo_epi8(_mm_unpacklo_epi8(_mm_cvtsi32_si128(int(p00)), _mm_cvtsi32_si128(int(p10))), zero);
    const __m128i bottom =
        _mm_unpacklo_epi8(_mm_unpacklo_epi8(_mm_cvtsi32_si128(int(p01)), _mm_cvtsi32_si128(int(p11))), zero);
    const __m128i topWeights = _mm_set1_epi32(int(w.w00 | (w.w10 << 16)));
    const __m128i bottomWeights = _mm_set1_epi32(int(w.w01 | (w.w11 << 16)));
    __m128i sum = _mm_add_epi32(_mm_madd_epi16(top, topWeights), _mm_madd_epi16(bottom, bottomWeights));
    sum = _mm_srli_epi32(_mm_add_epi32(sum, _mm_set1_epi32(8192)), 14);
    sum = _mm_packs_epi32(sum, sum);
    return uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(sum, sum)));
#else
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t c = w.w00 * ((p00 >> shift) & 0xFF) + w.w10 * ((p10 >> shift) & 0xFF) +
                           w.w01 * ((p01 >> shift) & 0xFF) + w.w11 * ((p11 >> shift) & 0xFF);
        out |= ((c + 8192) >> 14) << shift;
    }
    return out;
#endif
}

// Bilinear sample at a 16.16 position.
uint32_t Bilinear(const SourceImage& image, int64_t u, int64_t v) {
    const int64_t x = u >> 16, y = v >> 16;
    const BilinearWeights w(uint32_t(u & 0xFFFF) >> 1, uint32_t(v & 0xFFFF) >> 1);
    if (x >= 0 && y >= 0 && x + 1 < image.bits.width && y + 1 < image.bits.height) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(image.bits.Row(int(y))) + x;
        const uint32_t* next = reinterpret_cast<const uint32_t*>(image.bits.Row(int(y) + 1)) + x;
        return Weigh(w, row[0], row[1], next[0], next[1]);
    }
    return Weigh(w, image.At(x, y), image.At(x + 1, y), image.At(x, y + 1), image.At(x + 1, y + 1));
}

void BlendInto24(uint8_t* d, uint32_t s) {
    const uint32_t a = s >> 24, weight = a + (a >> 7);
    if (weight == 256) {
        std::memcpy(d, &s, 3);
        return;
    }
    for (int ch = 0; ch < 3; ++ch) {
        const uint32_t v = (((s >> (8 * ch)) & 0xFF) * weight + d[ch] * (256 - weight)) >> 8;
        d[ch] = uint8_t(std::min<uint32_t>(v, 255));
    }
}

struct Scan {
    // Whether the samples at u, v and `steps` steps of (a, d) further all lie inside a w x h image
    // with `reach` more pixels to their right and below (positions move in a straight line, so its two
    // ends decide).
    bool InsideAllAlong(int64_t u, int64_t v, int steps, int64_t w, int64_t h, int reach) const {
        const int64_t u1 = u + int64_t(steps) * inv.a, v1 = v + int64_t(steps) * inv.d;
        auto inside = [&](int64_t pu, int64_t pv) {
            return (pu >> 16) >= 0 && (pv >> 16) >= 0 && (pu >> 16) + reach < w && (pv >> 16) + reach < h;
        };
        return inside(u, v) && inside(u1, v1);
    }

    const RasterBits& dest;
    const SourceImage& image;
    FixedInverse inv;
    int method;
    bool blend;
    uint32_t random = kRandomSeed;

    void Span(int y, int x0, int x1) {
        if (method == TransformNearest)
            blend ? Run<true, true>(y, x0, x1) : Run<true, false>(y, x0, x1);
        else
            blend ? Run<false, true>(y, x0, x1) : Run<false, false>(y, x0, x1);
    }

    // The dithered blend of nearest sampling: opaque samples are written, others by chance, drawing a
    // threshold from the call's random state.
    bool KeepsSample(uint32_t s) {
        if (s >= 0xFF000000u) return true;
        const uint32_t product = random * 16807u;
        const uint32_t threshold = product << 4;
        random = product & 0x7FFFFFFFu;
        return s >= threshold;
    }

    template <bool Nearest, bool Blend>
    void Run(int y, int x0, int x1) {
        // Nearest sampling rounds to the closest source centre: half a pixel ahead of the position.
        const int64_t half = Nearest ? 32768 : 0;
        int64_t u = inv.a * x0 + inv.b * y + inv.c + half, v = inv.d * x0 + inv.e * y + inv.f + half;
        uint8_t* row = dest.Row(y);
        const int64_t w = image.bits.width, h = image.bits.height;
        if (Nearest && InsideAllAlong(u, v, x1 - x0, w, h, 0)) {
            // Every sample lies inside the image.
            const uint8_t* base = image.bits.bits;
            const intptr_t stride = image.bits.bytesPerLine;
            for (int x = x0; x <= x1; ++x, u += inv.a, v += inv.d) {
                const uint32_t s = reinterpret_cast<const uint32_t*>(base + intptr_t(v >> 16) * stride)[u >> 16];
                if (!Blend)
                    std::memcpy(row + 4 * x, &s, 4);
                else if (KeepsSample(s))
                    std::memcpy(row + 3 * x, &s, 3);
            }
            return;
        }
        if (!Nearest && InsideAllAlong(u, v, x1 - x0, w, h, 1)) {
            // Every sample has its four neighbours inside the image: no edge cases along the span.
            const uint8_t* base = image.bits.bits;
            const intptr_t stride = image.bits.bytesPerLine;
            for (int x = x0; x <= x1; ++x, u += inv.a, v += inv.d) {
                const uint32_t* top = reinterpret_cast<const uint32_t*>(base + intptr_t(v >> 16) * stride) + (u >> 16);
                const uint32_t* bottom = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(top) + stride);
                const BilinearWeights weights(uint32_t(u & 0xFFFF) >> 1, uint32_t(v & 0xFFFF) >> 1);
                const uint32_t s = Weigh(weights, top[0], top[1], bottom[0], bottom[1]);
                if (Blend)
                    BlendInto24(row + 3 * x, s);
                else
                    std::memcpy(row + 4 * x, &s, 4);
            }
            return;
        }
        for (int x = x0; x <= x1; ++x, u += inv.a, v += inv.d) {
            const int64_t sx = u >> 16, sy = v >> 16;
            if (Nearest) {
                if (uint64_t(sx) >= uint64_t(w) || uint64_t(sy) >= uint64_t(h)) continue;
                const uint32_t s = image.Inner(int(sx), int(sy));
                if (!Blend) {
                    std::memcpy(row + 4 * x, &s, 4);
                    continue;
                }
                if (KeepsSample(s)) std::memcpy(row + 3 * x, &s, 3);
                continue;
            }
            // Bilinear: pixels whose four neighbours all lie outside the image stay as they are.
            if (sx < -1 || sy < -1 || sx >= w || sy >= h) continue;
            const uint32_t s = Bilinear(image, u, v);
            if (Blend)
                BlendInto24(row + 3 * x, s);
            else
                std::memcpy(row + 4 * x, &s, 4);
        }
    }
};

// Scans the footprint of source (corners -1 .. width, height) under matrix, cut to area.
void ScanFootprint(const RasterBits& source, const RasterBits& dest, const RECT& area, const CAffineMatrix& matrix,
                   const CAffineMatrix& inverse, int method, bool blend) {
    FixedInverse inv;
    if (!ToFixed(inverse, inv)) return;
    const double w = source.width, h = source.height;
    tagPointF corners[4] = {Map(matrix, -1, -1), Map(matrix, w, -1), Map(matrix, w, h), Map(matrix, -1, h)};
    for (const tagPointF& p : corners)
        if (!(std::fabs(p.x) < 1e9 && std::fabs(p.y) < 1e9)) return;
    tagPointF polygon[8];
    const int count = ClipPolygonToRect(corners, 4, area, polygon);
    if (count < 3) return;
    double top = polygon[0].y, bottom = polygon[0].y;
    for (int i = 1; i < count; ++i) top = std::min(top, polygon[i].y), bottom = std::max(bottom, polygon[i].y);
    const SourceImage image{source};
    Scan scan{dest, image, inv, method, blend};
    const int firstRow = std::max<int>(area.top, int(std::floor(top)));
    const int lastRow = std::min<int>(area.bottom - 1, int(std::floor(bottom)));
    for (int y = firstRow; y <= lastRow; ++y) {
        double minX, maxX;
        if (!RowExtent(polygon, count, y, minX, maxX)) continue;
        const int x0 = std::max<int>(area.left, int(std::floor(minX)));
        const int x1 = std::min<int>(area.right - 1, int(std::floor(maxX)));
        if (x0 <= x1) scan.Span(y, x0, x1);
    }
}

// Shrink factors: source pixels per destination pixel along each source axis, at least 1.
void ShrinkFactors(const CAffineMatrix& m, double& sx, double& sy) {
    sx = std::max(1.0, 1.0 / std::sqrt(m.m[0] * m.m[0] + m.m[3] * m.m[3]));
    sy = std::max(1.0, 1.0 / std::sqrt(m.m[1] * m.m[1] + m.m[4] * m.m[4]));
}

}  // namespace

void TransformRaster(const RasterBits& source, const RasterBits& dest, const RECT& clip, const CAffineMatrix& matrix,
                     int method, bool blendToDest) {
    __set_precision(2);
    if (!source.IsUsable() || !dest.IsUsable() || source.bitsPerPixel != 32) return;
    if (dest.bitsPerPixel != (blendToDest ? 24 : 32)) return;
    if (method < TransformNearest || method > TransformBilinear) method = TransformNearest;
    if (source.width > kFixedLimit || source.height > kFixedLimit || dest.width > kFixedLimit ||
        dest.height > kFixedLimit)
        return;
    // Work only inside both the clip and the destination.
    RECT area;
    area.left = std::max<LONG>(clip.left, 0);
    area.top = std::max<LONG>(clip.top, 0);
    area.right = std::min<LONG>(clip.right, dest.width);
    area.bottom = std::min<LONG>(clip.bottom, dest.height);
    if (area.left >= area.right || area.top >= area.bottom) return;
    if (!Finite(matrix)) return;
    CAffineMatrix inverse(matrix);
    if (inverse.Invert() == 0.0 || !Finite(inverse)) return;

    double sx, sy;
    ShrinkFactors(matrix, sx, sy);
    if (method != TransformReducedBilinear || (sx <= 1.0001 && sy <= 1.0001)) {
        ScanFootprint(source, dest, area, matrix, inverse, method, blendToDest);
        return;
    }

    // Pre-reduction: the part of the source that lands inside the area, averaged down by the factors.
    const double w = source.width, h = source.height;
    const tagPointF corners[4] = {Map(matrix, 0, 0), Map(matrix, w, 0), Map(matrix, w, h), Map(matrix, 0, h)};
    tagPointF clipped[8];
    const int count = ClipPolygonToRect(corners, 4, area, clipped);
    if (count < 3) return;
    double minX = w + 1, maxX = -1, minY = h + 1, maxY = -1;
    for (int i = 0; i < count; ++i) {
        const tagPointF p = Map(inverse, clipped[i].x, clipped[i].y);
        const double x = Round4(p.x), y = Round4(p.y);
        minX = Round4(std::min(minX, x)), maxX = Round4(std::max(maxX, x));
        minY = Round4(std::min(minY, y)), maxY = Round4(std::max(maxY, y));
    }
    minX = __ftrunc(minX / sx) * sx;
    minY = __ftrunc(minY / sy) * sy;
    maxX = std::min(maxX + 1, w);
    maxY = std::min(maxY + 1, h);
    const int columns = __round(Round4((maxX - minX) / sx) + 0.5);
    const int rows = __round(Round4((maxY - minY) / sy) + 0.5);
    if (columns <= 0 || rows <= 0) return;
    // One more column and row than the region needs, so that bilinear sampling near the region's far
    // edges never fades into the reduced image's own border.
    ReducedImage reduced;
    if (!ReduceImage(source, minX, minY, sx, sy, columns + 1, rows + 1, reduced)) return;
    CAffineMatrix toSource(sx, 0, minX, 0, sy, minY, 0, 0, 1);
    CAffineMatrix reducedMatrix(matrix);
    reducedMatrix.Multiply(toSource);
    CAffineMatrix reducedInverse(reducedMatrix);
    if (reducedInverse.Invert() == 0.0 || !Finite(reducedInverse)) return;
    ScanFootprint(reduced.View(), dest, area, reducedMatrix, reducedInverse, TransformBilinear, blendToDest);
}

void TransformBitmap(ImagingBitmap* source, ImagingBitmap* dest, const RECT* clip, CAffineMatrix matrix, int method,
                     bool blendToDest) {
    if (!source || !dest || !clip) return;
    if (!IsMmxAvailable()) method = TransformNearest;
    ImagingAccessScope sourceAccess(source), destAccess(dest);
    if (!sourceAccess.ok() || !destAccess.ok()) return;
    TransformRaster(RasterOf(source), RasterOf(dest), *clip, matrix, method, blendToDest);
}
