#pragma once
// Per-pixel blending of the rasteriser: a source channel s over a destination channel d at
// coverage a (0..255) is (s * a + d * (255 - a)) / 255 with the division done as
// (x + (x >> 8) + 1) >> 8, the result of the packed 16-bit lane arithmetic the engine is fixed to.
#include <cstdint>

inline std::uint8_t BlendChannel(unsigned s, unsigned d, unsigned a)
{
    const unsigned x = s * a + d * (255u - a);
    return static_cast<std::uint8_t>((x + (x >> 8) + 1) >> 8);
}

// Coverage scaled by an alpha or mask byte, with the same division.
inline unsigned ScaleCoverage(unsigned coverage, unsigned alpha)
{
    const unsigned x = coverage * alpha;
    return (x + (x >> 8) + 1) >> 8;
}
