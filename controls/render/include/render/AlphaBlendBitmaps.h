// Compositing of a 32-bit bitmap with per-pixel alpha onto a 24-bit bitmap.
#pragma once

#include <cstdint>

#include "render/RasterBits.h"

struct ImagingBitmap;

// Which arithmetic the blend uses: the exact-rounding plain path, or the 16-bit-lane path taken
// when the processor has the multimedia extension.
enum class AlphaBlendPath { Plain, Vector };

// Blends source pixel (px - x + srcX, py - y + srcY) onto destination pixel (px, py) for the rectangle
// (x, y, width, height), clipped to both bitmaps. Returns false (writing nothing) when a bitmap is
// unusable or of the wrong depth; an empty clipped rectangle succeeds without touching either.
bool AlphaBlendRasterRects(const RasterBits& dest, int x, int y, int width, int height,
                           const RasterBits& source, int srcX, int srcY, AlphaBlendPath path);

// The clipped rectangle of a blend in destination coordinates; empty when nothing overlaps.
struct BlendArea {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool IsEmpty() const { return left >= right || top >= bottom; }
};
BlendArea ClipAlphaBlendArea(int destWidth, int destHeight, int x, int y, int width, int height,
                             int sourceWidth, int sourceHeight, int srcX, int srcY);

// One channel of a partially transparent pixel (0 < a < 255) by each path's arithmetic.
uint8_t PlainBlendBlueGreen(unsigned s, unsigned d, unsigned a);
uint8_t PlainBlendRed(unsigned s, unsigned d, unsigned a);

// The same on imaging bitmaps (24-bit destination, 32-bit source): the rectangle is clipped first and
// a blend that covers nothing accesses neither bitmap. AlphaBlendBitmapRects takes the vector path
// when the processor has the multimedia extension; AlphaBlendBitmapRectsMmx always does.
bool AlphaBlendBitmapRects(ImagingBitmap* dest, int x, int y, int width, int height, ImagingBitmap* source,
                           int srcX, int srcY);
bool AlphaBlendBitmapRectsMmx(ImagingBitmap* dest, int x, int y, int width, int height, ImagingBitmap* source,
                              int srcX, int srcY);
