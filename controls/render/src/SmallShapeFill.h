#pragma once
// Filler of small closed shapes (at most 10 x 10 pixels): 32 x 4 point samples per pixel, counted
// bit-parallel, even-odd by construction.
//
// Points are moved to the nearest sample centre (sample (i, j) lies at ((i + 0.5) / 32,
// (j + 0.5) / 4) pixels). Points left of or above the bitmap keep their place: squeezing them
// onto column or row 0 would bend the edges that cross into the bitmap. Every side of a chain
// toggles, on each sample row it crosses, the sample where it crosses. At a vertex on a sample row
// the row is toggled once when the outline goes on in the same vertical direction and not at all
// where it turns back; horizontal sides pass that decision on to their far end, where the next
// slanted side starts and takes the toggle. A sample counts fully when inside, half where the
// state changes, so a pixel's coverage is the sum of its 128 samples in half units, at most 255.
#include <cstdint>
#include <vector>

#include "PathWalk.h"

struct CoverageTables;
struct FillInfo;
struct ImagingBitmap;
class CoverageNodeWriter;

class SmallShapeFiller {
public:
    // Room for the box of any shape of at most 10 x 10 pixels: 12 pixels across and 12 rows of 4
    // sample rows, wherever it lies against the pixel grid.
    static constexpr int kMaxWords = 16;
    static constexpr int kMaxRows = 64;

    SmallShapeFiller();

    // Samples the closed chains (each joined back to its start) and sums the coverage of every pixel
    // of their box. False, with nothing done, when the points reach beyond the filler's room (only
    // a damaged path does: one whose line records end far from where the next record starts).
    bool Sample(const WalkPoint* points, const WalkSubpath* chains, int chainCount);

    // The shape's box in whole pixels (right and bottom exclusive; it may reach below 0); empty
    // when nothing was given.
    int left() const { return left_; }
    int top() const { return top_; }
    int right() const { return right_; }
    int bottom() const { return bottom_; }
    // Coverage bytes of row y of the box.
    const std::uint8_t* Row(int y) const { return &coverage_[static_cast<size_t>(y - top_) * (right_ - left_)]; }

    // Paints the box inside clip and records it as one raster node (the coverage bytes of the
    // painted rectangle, row after row). Nothing is recorded when the box misses the clip.
    void PaintAndRecord(ImagingBitmap* destination, const FillInfo& request, int clipLeft, int clipTop,
                        int clipRight, int clipBottom, CoverageNodeWriter& writer);

private:
    struct SamplePoint {
        int x, y;
    };

    void Toggle(int x, int row)
    {
        const int r = row - rowOrigin_, w = (x >> 5) - left_;
        bits_[r * kMaxWords + w] ^= 1u << (x & 31);
        if (w < rowLow_[r]) rowLow_[r] = w;
        if (w > rowHigh_[r]) rowHigh_[r] = w;
    }
    void WalkChain(const WalkPoint* p, int count, const CoverageTables& tables);
    void CrossRows(const SamplePoint& from, const SamplePoint& to, const CoverageTables& tables);
    void Count(const CoverageTables& tables);

    // One word per pixel per sample row, kMaxWords words a row. Kept all zero between calls: the
    // count clears the words each row touched, so a call never clears more than its shape.
    std::vector<std::uint32_t> bits_;
    std::vector<int> rowLow_, rowHigh_;     // the words each sample row touched (none: high < low)
    std::vector<std::uint16_t> sums_;       // one pixel row's half samples
    std::vector<std::uint8_t> coverage_;    // one byte per pixel of the box
    std::vector<std::uint8_t> packed_;      // the painted rectangle's bytes for the record
    int words_ = 0, rowOrigin_ = 0;
    int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
};

// Blends a rectangle of coverage bytes (rows of stride bytes, first byte at pixel (left, top)) into
// the destination with the request's fill: its colour as (C * c + d * (255 - c)) / 255, or its
// pattern's pixels for a pattern fill, as the coverage list's replay does.
void BlendCoverageMask(ImagingBitmap* destination, const FillInfo& request, const std::uint8_t* coverage, int stride,
                       int left, int top, int right, int bottom);
