#pragma once
// Colour reduction of the imaging stand-in: a 24- or 32-bit bitmap turned into palette indices of
// 1, 4 or 8 bits per pixel, for the writers of indexed formats.
#include <vector>
#include "imaging/ImagingBitmap.h"

struct ImagingIndexedImage {
    int Width = 0;
    int Height = 0;
    int BitsPerPixel = 0;                 // 1, 4 or 8
    std::vector<RGBQUAD> Palette;         // 2, 16 or 256 entries
    std::vector<unsigned char> Indices;   // one byte per pixel, rows top-down
};

// 1 bit: black and white by luminance. 4 bits: the sixteen standard VGA colours, nearest.
// 8 bits: the image's own colours when it has no more than 256, otherwise a 6x6x6 colour cube
// followed by 40 greys, nearest. The bitmap must be 24 or 32 bits and accessible.
int ImagingReduceColours(const ImagingBitmap* bitmap, int bitsPerPixel, ImagingIndexedImage* out);

// A 16-bit (5-5-5) copy of a 24- or 32-bit bitmap: each channel keeps its top five bits. The
// target is allocated anew.
int ImagingConvertTo16(const ImagingBitmap* source, ImagingBitmap* target);

// The blue, green, red bytes of pixel (x, y) of a 24- or 32-bit bitmap.
void ImagingReadRgb(const ImagingBitmap* bitmap, int x, int y, unsigned char bgr[3]);
