#pragma once
// Tables of the small-shape filler, built once at engine start-up (EngineTables).
//
// The filler keeps one bit per sample (32 across and 4 down per pixel) and toggles a bit wherever
// an edge crosses a sample row, so a sample is inside when an odd number of toggles lies at or
// before it on its row. Counting a byte of such bits needs the running parity only: these tables
// give, for every byte, its parity and its inside count in half samples (a sample where the state
// changes counts half), for a byte that starts outside and for one that starts inside.
#include <cstdint>

struct CoverageTables {
    // Parity of the set bits of each byte value: whether the byte hands the state on flipped.
    std::uint8_t parity[256];
    // count[s][b]: half samples inside for byte b entered in state s (0 outside, 1 inside);
    // count[1][b] = 16 - count[0][b].
    std::uint8_t count[2][256];

    // Edge steps: for a side that moves dx samples across (|dx| <= kStepReach) while going dy
    // sample rows down (1 <= dy <= kStepRows), the crossing on its t-th row (0 < t < dy) lies
    // StepOffsets(dx, dy)[t - 1] samples right of its start: dx * t / dy rounded, halves upwards,
    // so a side and its reverse cross every row at the same sample.
    static constexpr int kStepReach = 32;
    static constexpr int kStepRows = 48;
    const std::int8_t* StepOffsets(int dx, int dy) const { return &steps[dx + kStepReach][stepStart[dy]]; }

    int stepStart[kStepRows + 1];
    std::int8_t steps[2 * kStepReach + 1][kStepRows * (kStepRows - 1) / 2];
};

// The crossing offset of the t-th row of a side of (dx, dy), dy > 0: floor(dx * t / dy + 1/2).
inline int EdgeStepOffset(int dx, int t, int dy)
{
    const long long n = 2LL * dx * t + dy, d = 2LL * dy;
    return static_cast<int>(n >= 0 ? n / d : -((-n + d - 1) / d));
}

// Fills the tables; run once by the engine's start-up.
void InitCoverageTable(CoverageTables& tables);
