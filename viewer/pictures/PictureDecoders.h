#pragma once
#include "RasterBitmap.h"

// Decoders behind CRasterBitmap::LoadPicture. Both leave the bitmap without pixels on failure.
int DecodeBmp(IStream* source, CRasterBitmap& bitmap, int bitsPerPixel, int alphaFlag);
int DecodeJpeg(IStream* source, CRasterBitmap& bitmap, int alphaFlag);

// Writes one pixel into a 24- or 32-bit row.
inline void StorePixel(BYTE* row, int x, int bitsPerPixel, BYTE blue, BYTE green, BYTE red, BYTE alpha)
{
    BYTE* pixel = row + x * (bitsPerPixel / 8);
    pixel[0] = blue;
    pixel[1] = green;
    pixel[2] = red;
    if (bitsPerPixel == 32)
        pixel[3] = alpha;
}
