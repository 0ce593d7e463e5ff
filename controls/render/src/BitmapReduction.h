// Area-averaging reduction of a 32-bit image region before a shrinking bilinear transformation.
#pragma once

#include <cstdint>
#include <vector>

#include "render/RasterBits.h"

// The reduced image and where it sits in the source: reduced pixel (i, j) is the average of the
// source over a box of boxWidth x boxHeight centred on source position (x0 + i * stepX, y0 + j * stepY),
// each source pixel covering one unit around its centre. Source pixels outside the image count with
// the nearest edge pixel's colour and alpha 0.
struct ReducedImage {
    std::vector<uint32_t> pixels;   // columns x rows, 0xAARRGGBB
    int columns = 0, rows = 0;
    double x0 = 0, y0 = 0, stepX = 1, stepY = 1;
    RasterBits View() {
        RasterBits bits;
        bits.bits = reinterpret_cast<uint8_t*>(pixels.data());
        bits.width = columns;
        bits.height = rows;
        bits.bitsPerPixel = 32;
        bits.bytesPerLine = columns * 4;
        return bits;
    }
};

// Box widths are the steps, cut to at most about 5.6 source pixels by dropping whole pixels.
// Weights are 1.15 fixed point, summed in single precision; each output is normalised by its own
// weight sum, rounded and saturated. Returns false when the reduced size is empty or too large.
bool ReduceImage(const RasterBits& source, double x0, double y0, double stepX, double stepY, int columns, int rows,
                 ReducedImage& out);
