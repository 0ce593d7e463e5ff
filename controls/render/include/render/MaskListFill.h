// Repainting a kept coverage-mask list into a 24-bit bitmap without rasterising the shape again.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "render/RasterBits.h"
#include "render/MaskListFormat.h"

struct FillInfo;
struct ImagingBitmap;

// What the list is painted with: the colours of the drawing request and, for pattern fills, the
// pattern's pixels. Colours are 0x00BBGGRR.
struct MaskPaint {
    bool patternFill = false;      // fill nodes take their pixels from the pattern
    uint32_t fillColor = 0;
    uint32_t outlineColor = 0;
    RasterBits pattern;            // 8-bit mask, 24-bit pixels or 32-bit pixels with alpha
    int patternOriginX = 0;        // destination pixel (X, Y) takes pattern pixel
    int patternOriginY = 0;        // (X - originX, Y - originY + 1); pixels beyond the pattern stay
};

enum class MaskFillError { None, BadList, BadDestination, BadPattern, BadRequest };
const char* MaskFillErrorText(MaskFillError error);

// Paints the list's coverage into dest. clip is in list coordinates; list position (x, y) lands on
// destination pixel (x + offsetX, y + offsetY), and nothing is written outside dest. A malformed list,
// an unusable destination or a pattern fill without a usable 8, 24 or 32-bit pattern paints nothing.
MaskFillError FillMaskRunsBits(const RasterBits& dest, const void* list, size_t size, const RECT& clip,
                               int offsetX, int offsetY, const MaskPaint& paint);

// The same with a drawing request: fill kind 1 paints fill nodes with the request's pattern bitmap,
// any other kind with its fill colour; outline nodes take the outline colour. The destination (and the
// pattern) are accessed for the call.
MaskFillError FillMaskRuns(ImagingBitmap* dest, const void* list, size_t size, int clipLeft, int clipTop,
                           int clipRight, int clipBottom, int offsetX, int offsetY, const FillInfo* fillInfo);

// The same for a list kept in a block of the process heap, whose size the heap knows.
MaskFillError FillMaskRuns(ImagingBitmap* dest, const void* heapList, int clipLeft, int clipTop, int clipRight,
                           int clipBottom, int offsetX, int offsetY, const FillInfo* fillInfo);
