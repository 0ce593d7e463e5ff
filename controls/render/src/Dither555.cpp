#include "render/Dither555.h"

#include "ImagingRaster.h"

#include <algorithm>
#include <cstdint>

namespace {

const uint8_t kThresholds[4][4] = {
    {0, 6, 1, 7},
    {4, 2, 6, 3},
    {1, 7, 0, 6},
    {5, 3, 4, 2},
};

}  // namespace

bool DitherRasterTo555(const RasterBits& dest, int destX, int destY, int width, int height,
                       const RasterBits& source, int srcX, int srcY, int originX, int originY) {
    if (!dest.IsUsable() || !source.IsUsable() || dest.bitsPerPixel != 16 || source.bitsPerPixel != 24)
        return false;
    if (width <= 0 || height <= 0) return true;

    // Work in 64 bits so that far-off requests cannot wrap into the bitmaps.
    const int64_t areaLeft = int64_t(srcX) - originX, areaTop = int64_t(srcY) - originY;
    int64_t left = std::max<int64_t>(areaLeft, 0), top = std::max<int64_t>(areaTop, 0);
    int64_t right = std::min<int64_t>(areaLeft + width, source.width);
    int64_t bottom = std::min<int64_t>(areaTop + height, source.height);

    // Where the clipped area lands, then the same cut against the destination.
    int64_t outLeft = int64_t(destX) + (left - areaLeft), outTop = int64_t(destY) + (top - areaTop);
    if (outLeft < 0) { left -= outLeft; outLeft = 0; }
    if (outTop < 0) { top -= outTop; outTop = 0; }
    right = std::min<int64_t>(right, left + (dest.width - outLeft));
    bottom = std::min<int64_t>(bottom, top + (dest.height - outTop));
    if (left >= right || top >= bottom) return true;

    const int columns = int(right - left);
    for (int row = 0; row < int(bottom - top); ++row) {
        // Phases in unsigned arithmetic: positions near the ends of the int range wrap, not overflow.
        const uint8_t* thresholds = kThresholds[(unsigned(srcY) + unsigned(row)) & 3];
        const uint8_t* in = source.Row(int(top) + row) + left * 3;
        uint16_t* out = reinterpret_cast<uint16_t*>(dest.Row(int(outTop) + row)) + outLeft;
        for (int col = 0; col < columns; ++col, in += 3) {
            const unsigned t = thresholds[(unsigned(srcX) + unsigned(col)) & 3];
            out[col] = uint16_t((DitherChannel(in[2], t) << 10) | (DitherChannel(in[1], t) << 5) |
                                DitherChannel(in[0], t));
        }
    }
    return true;
}

bool DitherTo555(ImagingBitmap* dest, int destX, int destY, int width, int height, ImagingBitmap* source,
                 int srcX, int srcY, POINT origin) {
    ImagingAccessScope destAccess(dest), sourceAccess(source);
    if (!destAccess.ok() || !sourceAccess.ok()) return false;
    return DitherRasterTo555(RasterOf(dest), destX, destY, width, height, RasterOf(source), srcX, srcY, origin.x,
                             origin.y);
}
