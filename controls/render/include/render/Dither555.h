// Ordered dithering of 24-bit pixels into 16-bit 5-5-5 pixels (screens running at 16 bits per pixel).
#pragma once

#include <windows.h>

#include "render/RasterBits.h"

struct ImagingBitmap;

// Converts the source area whose top-left corner is (srcX - originX, srcY - originY) and whose size is
// width x height into 0RRRRRGGGGGBBBBB pixels at (destX, destY), each side shifted by what clipping cut
// away. The area is clipped to the source and to the destination; the dither phase of the first
// written row and column is (srcY & 3, srcX & 3) whatever the clipping removed.
// Returns false (writing nothing) when a bitmap is unusable or of the wrong depth.
bool DitherRasterTo555(const RasterBits& dest, int destX, int destY, int width, int height,
                       const RasterBits& source, int srcX, int srcY, int originX, int originY);

// One 8-bit channel through the 4 x 4 threshold t (0..7) into 5 bits.
inline unsigned DitherChannel(unsigned c, unsigned t) {
    unsigned v = (c >> 3) + (t < (c & 7) ? 1u : 0u);
    return v ? v - 1 : 0;
}

// The same on imaging bitmaps (16-bit destination, 24-bit source), both accessed for the call.
bool DitherTo555(ImagingBitmap* dest, int destX, int destY, int width, int height, ImagingBitmap* source,
                 int srcX, int srcY, POINT origin);
