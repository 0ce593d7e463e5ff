// The blends of partly covered pixels against their definition in floating point: a channel d under
// source s at exact coverage a = k / 2^17 becomes round(d (1 - a) + s a), halves to even. Every
// pair of channel values is tried at many coverages (the halfway ones among them), and every
// coverage at the pairs farthest apart, so an arithmetic shortcut cannot drift on any of them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "PixelBlend.h"

namespace {

std::uint8_t ExpectedBlend(unsigned s, unsigned d, std::uint32_t k)
{
    const double a = static_cast<double>(k) / kExactCoverageOne;
    return static_cast<std::uint8_t>(std::nearbyint(d * (1 - a) + s * a));
}

// Counts the mismatches rather than stopping at the first, and names one.
struct Mismatches {
    long count = 0;
    unsigned s = 0, d = 0;
    std::uint32_t k = 0;
    void Check(unsigned s_, unsigned d_, std::uint32_t k_)
    {
        if (BlendExact(s_, d_, k_) == ExpectedBlend(s_, d_, k_)) return;
        if (count++ == 0) { s = s_; d = d_; k = k_; }
    }
};

}  // namespace

TEST(PixelBlend, ExactBlendRoundsEveryChannelPairAsTheFloatingFormula)
{
    std::vector<std::uint32_t> coverages = {1, 2, 3, 255, 256, 1u << 15, (1u << 16) - 1, 1u << 16, (1u << 16) + 1,
                                            3u << 15, kExactCoverageOne - 2, kExactCoverageOne - 1};
    for (std::uint32_t k = 5; k < kExactCoverageOne; k += 241) coverages.push_back(k);
    Mismatches bad;
    for (const std::uint32_t k : coverages)
        for (unsigned s = 0; s < 256; ++s)
            for (unsigned d = 0; d < 256; ++d) bad.Check(s, d, k);
    EXPECT_EQ(bad.count, 0) << "first at s=" << bad.s << " d=" << bad.d << " k=" << bad.k;
}

TEST(PixelBlend, ExactBlendRoundsEveryCoverageAsTheFloatingFormula)
{
    const unsigned pairs[][2] = {{0, 255}, {255, 0}, {1, 0}, {0, 1}, {37, 200}, {200, 37}, {128, 127}, {90, 90}, {255, 255}};
    Mismatches bad;
    for (const auto& pair : pairs)
        for (std::uint32_t k = 1; k < kExactCoverageOne; ++k) bad.Check(pair[0], pair[1], k);
    EXPECT_EQ(bad.count, 0) << "first at s=" << bad.s << " d=" << bad.d << " k=" << bad.k;
}
