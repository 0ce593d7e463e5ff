// The pixel rows of an accessed imaging bitmap, for the compositing routines.
#pragma once

#include "imaging/ImagingBitmap.h"
#include "render/RasterBits.h"

inline RasterBits RasterOf(const ImagingBitmap* bitmap) {
    RasterBits bits;
    if (bitmap && bitmap->Allocated) {
        bits.bits = bitmap->Addr;
        bits.width = bitmap->Width;
        bits.height = bitmap->Height;
        bits.bitsPerPixel = bitmap->BitsPerPixel;
        bits.bytesPerLine = bitmap->BytesPerLine;
    }
    return bits;
}
