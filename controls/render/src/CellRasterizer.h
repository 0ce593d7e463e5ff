#pragma once
// Exact-area scan conversion of polygons into pixel cells. Edges are given in 24.8 fixed point in
// destination pixels; each edge adds, to every pixel cell it passes, the height it covers and the
// area to its left, so a sweep along a row yields the exact area coverage of each pixel under the
// even-odd or non-zero rule. Every edge's contribution is computed from its own end points only
// (row and column crossings by exact floor division), so a tile of a drawing gets exactly the cells
// the whole drawing would have there.
#include <cstdint>
#include <vector>

struct PixelCell {
    std::int32_t x;       // destination column (columns left of the tile are folded into left - 1)
    std::int32_t row;     // row counted from the tile's top
    std::int32_t cover;   // height covered, 1/256 pixel units, signed by direction
    std::int32_t area;    // twice the area left of the edge, weighted like cover
};

constexpr int kSubpixelShift = 8;
constexpr int kSubpixelScale = 1 << kSubpixelShift;
// Full pixel coverage in the sweep's alpha units (cover * 2 * 256).
constexpr std::int32_t kFullAlpha = kSubpixelScale * kSubpixelScale * 2;

class CellRasterizer {
public:
    explicit CellRasterizer(std::size_t maxCells);

    // Starts a polygon set for the tile [left, right) x [top, bottom) in destination pixels.
    void Reset(int left, int top, int right, int bottom);

    // One edge in 24.8 fixed point. Coordinates must lie within +-2^29.
    void AddEdge(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);

    // True when the cells did not fit the fixed store (the tile is too complex).
    bool overflowed() const { return overflowed_; }
    bool empty() const { return cells_.empty() && curCover_ == 0 && curArea_ == 0; }

    // Calls sink.Row(row, cells, count) for each tile row holding cells, top to bottom, with the
    // cells sorted by column and merged per column. Rows are tile-relative.
    template <class Sink>
    void ForEachRow(Sink& sink);

    int left() const { return left_; }
    int top() const { return top_; }
    int right() const { return right_; }
    int bottom() const { return bottom_; }

private:
    void SetCell(int x, int row);
    void FlushCell();
    void RowPiece(int row, std::int32_t x1, std::int32_t fy1, std::int32_t x2, std::int32_t fy2);
    void SortRows();

    std::size_t maxCells_;
    std::vector<PixelCell> cells_;
    std::vector<PixelCell> sorted_;
    std::vector<int> rowStart_;
    std::vector<int> rowEnd_;
    int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
    int curX_ = 0, curRow_ = -1;
    std::int32_t curCover_ = 0, curArea_ = 0;
    bool overflowed_ = false;
};

template <class Sink>
void CellRasterizer::ForEachRow(Sink& sink)
{
    FlushCell();
    if (overflowed_) return;
    SortRows();
    const int rows = bottom_ - top_;
    for (int r = 0; r < rows; ++r) {
        const int begin = rowStart_[r], end = rowEnd_[r];
        if (begin != end) sink.Row(r, &sorted_[begin], end - begin);
    }
}

// Coverage byte of a pixel from its swept alpha, by fill rule.
inline int CoverageFromAlpha(std::int64_t alpha, bool nonZero)
{
    std::uint64_t a = static_cast<std::uint64_t>(alpha < 0 ? -alpha : alpha);
    if (nonZero) {
        if (a >= static_cast<std::uint64_t>(kFullAlpha)) return 255;
    } else {
        a &= 2 * kFullAlpha - 1;
        if (a > static_cast<std::uint64_t>(kFullAlpha)) a = 2 * kFullAlpha - a;
    }
    return static_cast<int>((static_cast<std::uint32_t>(a) * 255u + kFullAlpha / 2) >> 17);
}
