#pragma once
// Pictures for site icons: any image file the system's imaging codecs read becomes a 16-colour
// .bmp file image, the form icons are kept in.
#include <windows.h>

#include <cstdint>
#include <vector>

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // top row first, 0x00RRGGBB
};

// False when the codecs can't read the data.
bool DecodeImageFile(const void* data, size_t size, DecodedImage& image);
// A complete .bmp file: 4 bits per pixel, the 16 colours of the standard system palette, each
// pixel the nearest of them.
std::vector<BYTE> EncodeSixteenColourBmp(const DecodedImage& image);
