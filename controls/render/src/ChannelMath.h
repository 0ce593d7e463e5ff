// Per-channel blend arithmetic shared by the compositing routines. The results are those of the
// engine's 16-bit-lane vector code, so the scalar and the vector paths agree bit for bit.
#pragma once

#include <cstdint>

namespace blend {

// x / 255 for 0 <= x <= 65535, rounded as the vector lanes do: (x + (x >> 8) + 1) >> 8.
inline uint32_t DivideBy255(uint32_t x) { return (x + (x >> 8) + 1) >> 8; }

// (s * a + d * (255 - a)) / 255 with coverage or alpha a in 0..255.
inline uint8_t Mix(uint32_t s, uint32_t d, uint32_t a) {
    return static_cast<uint8_t>(DivideBy255(s * a + d * (255 - a)));
}

// Coverage c scaled by a second weight m (mask byte or pixel alpha), both 0..255.
inline uint32_t ScaleCoverage(uint32_t m, uint32_t c) { return DivideBy255(m * c); }

// Colour 0x00BBGGRR into its blue, green, red pixel bytes (bits 16-23, 8-15, 0-7 in that order).
struct PixelBytes {
    uint8_t b0, b1, b2;
};
inline PixelBytes ColorBytes(uint32_t color) {
    return {static_cast<uint8_t>(color >> 16), static_cast<uint8_t>(color >> 8), static_cast<uint8_t>(color)};
}

// Blends a colour's three bytes into a 24-bit pixel at coverage a (0..255).
inline void BlendPixel(uint8_t* pixel, const uint8_t* src, uint32_t a) {
    if (a == 0) return;
    pixel[0] = Mix(src[0], pixel[0], a);
    pixel[1] = Mix(src[1], pixel[1], a);
    pixel[2] = Mix(src[2], pixel[2], a);
}

}  // namespace blend
