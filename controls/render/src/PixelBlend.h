#pragma once
// Per-pixel blending of the rasteriser: a source channel s over a destination channel d at
// coverage a (0..255) is (s * a + d * (255 - a)) / 255 with the division done as
// (x + (x >> 8) + 1) >> 8, the result of the packed 16-bit lane arithmetic the engine is fixed to.
#include <cstdint>

#include "geometry/NumericHelpers.h"

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

// Partly covered pixels of the scan conversion are blended with their exact coverage a = k / 2^17
// (the cells' area unit) as d * (1 - a) + s * a rounded to the nearest integer, halves to even.
// For such an a, and bytes s and d, every product and the sum are exact in double precision, so
// the value is (d * (2^17 - k) + s * k) / 2^17 exactly, and rounding it in integers gives what
// __round gives.
constexpr int kExactCoverageShift = 17;
constexpr std::uint32_t kExactCoverageOne = 1u << kExactCoverageShift;

inline std::uint8_t BlendExact(unsigned s, unsigned d, std::uint32_t k)
{
    const std::uint32_t v = d * (kExactCoverageOne - k) + s * k;
    const std::uint32_t odd = (v >> kExactCoverageShift) & 1u;
    return static_cast<std::uint8_t>((v + (kExactCoverageOne / 2 - 1) + odd) >> kExactCoverageShift);
}

// The same blend with an alpha that is no such fraction (coverage scaled by a source alpha
// byte): d * (1 - a) + s * a in double, rounded with __round.
inline std::uint8_t BlendRounded(unsigned s, unsigned d, double a)
{
    return static_cast<std::uint8_t>(__round(d * (1 - a) + s * a));
}

// Exact coverage k / 2^17 scaled by an alpha or mask byte: coverage x alpha / 255.
inline double ScaleExactCoverage(std::uint32_t k, unsigned alpha)
{
    return static_cast<double>(k) / kExactCoverageOne * alpha / 255.0;
}
