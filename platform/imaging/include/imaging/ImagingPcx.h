#pragma once
// Writes a bitmap as a PCX file (version 5, run-length encoded) of 1 bit (one plane), 4 bits
// (four planes of 1 bit, palette in the header), 8 bits (palette after the pixels) or 24 bits
// (three planes of 8 bits). The bitmap must be 24 or 32 bits and accessible.
#include "imaging/ImagingBitmap.h"

constexpr int ImagingWriteFailed = -10;

int ImagingSavePcx(const ImagingBitmap* bitmap, const char* path, int bitsPerPixel);
