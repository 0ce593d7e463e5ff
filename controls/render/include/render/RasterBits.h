// Raw pixel rows of an accessed bitmap, as the compositing routines of the engine see them.
#pragma once

#include <cstdint>

struct RasterBits {
    uint8_t* bits = nullptr;   // first byte of row 0
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    int bytesPerLine = 0;

    bool IsUsable() const {
        return bits != nullptr && width > 0 && height > 0 && bitsPerPixel > 0 &&
               bytesPerLine >= (width * bitsPerPixel + 7) / 8;
    }
    uint8_t* Row(int y) const { return bits + static_cast<intptr_t>(y) * bytesPerLine; }
    int BytesPerPixel() const { return bitsPerPixel / 8; }
};
