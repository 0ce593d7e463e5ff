#include "CellRasterizer.h"

#include <algorithm>
#include <cmath>

namespace {

// floor(num / den) for den > 0. Most operands fit 32 bits, and a 32-bit division is far cheaper
// than the 64-bit one on this processor.
inline std::int64_t FloorDiv(std::int64_t num, std::int64_t den)
{
    if (num == static_cast<std::int32_t>(num) && den == static_cast<std::int32_t>(den)) {
        const std::int32_t n = static_cast<std::int32_t>(num), d = static_cast<std::int32_t>(den);
        std::int32_t q = n / d;
        if (n % d < 0) --q;
        return q;
    }
    std::int64_t q = num / den;
    if ((num % den) < 0) --q;
    return q;
}

// floor(num / den) for den > 0, in 32 bits.
inline std::int32_t FloorDiv32(std::int32_t num, std::int32_t den)
{
    std::int32_t q = num / den;
    if (num % den < 0) --q;
    return q;
}

// x where the edge crosses the horizontal line y (exact floor of the rational crossing).
inline std::int32_t CrossingX(std::int32_t x1, std::int32_t y1, std::int32_t dx, std::int32_t dy, std::int32_t y)
{
    std::int64_t num = static_cast<std::int64_t>(y - y1) * dx;
    std::int64_t den = dy;
    if (den < 0) { num = -num; den = -den; }
    return static_cast<std::int32_t>(x1 + FloorDiv(num, den));
}

// The x where an edge crosses the row borders y0, y0 +- 256, ... (in its own direction), each the
// exact floor CrossingX gives: one division for the first, then a quotient-and-remainder step.
// All of it fits 32 bits: coordinates lie within +-2^29, and an edge crossing two borders or more
// is over a row high, so one row's step moves x by less than the edge's whole width.
class RowCrossings {
public:
    // borders: how many of them will be asked for.
    RowCrossings(std::int32_t x1, std::int32_t y1, std::int32_t dx, std::int32_t dy, std::int32_t y0, int borders)
        : x1_(x1)
    {
        if (dx == 0 || borders <= 0) return;   // q_ stays 0: every crossing is x1
        num0_ = static_cast<std::int64_t>(y0 - y1) * dx;
        std::int64_t den = dy;
        if (den < 0) { num0_ = -num0_; den = -den; }
        den_ = static_cast<std::int32_t>(den);
        At(0);
        if (borders == 1) return;
        // Each border further along adds 256 dx to the numerator, in either direction.
        step_ = static_cast<std::int64_t>(kSubpixelScale) * dx;
        const std::int64_t lift = FloorDiv(step_, den);
        lift_ = static_cast<std::int32_t>(lift);
        rem_ = static_cast<std::int32_t>(step_ - lift * den);
    }
    std::int32_t x() const { return x1_ + q_; }
    void Next()
    {
        q_ += lift_;
        r_ += rem_;
        if (r_ >= den_) { r_ -= den_; ++q_; }
    }
    // Moves to border index j (0 is y0).
    void At(int j)
    {
        const std::int64_t num = num0_ + j * step_;
        const std::int64_t q = FloorDiv(num, den_);
        q_ = static_cast<std::int32_t>(q);
        r_ = static_cast<std::int32_t>(num - q * den_);
    }
    // For an edge running right (dx > 0): the first border index whose x is at or right of x.
    std::int64_t FirstAtOrRightOf(std::int32_t x) const
    {
        const std::int64_t gap = static_cast<std::int64_t>(x - x1_) * den_ - num0_;
        return gap <= 0 ? 0 : (gap + step_ - 1) / step_;
    }
    // For an edge running left (dx < 0): the first border index whose x is left of x.
    std::int64_t FirstLeftOf(std::int32_t x) const
    {
        const std::int64_t gap = num0_ - static_cast<std::int64_t>(x - x1_) * den_;
        return gap < 0 ? 0 : gap / -step_ + 1;
    }

private:
    std::int32_t x1_, q_ = 0, r_ = 0, lift_ = 0, rem_ = 0, den_ = 1;
    std::int64_t num0_ = 0, step_ = 0;
};

} // namespace

CellRasterizer::CellRasterizer(std::size_t maxCells, bool limitPassages)
    : maxCells_(maxCells), limitPassages_(limitPassages)
{
    cells_.resize(std::min<std::size_t>(maxCells, 1 << 14));
    passages_.resize(1 << 12);
    pieces_.resize(1 << 12);
}

__attribute__((noinline)) void CellRasterizer::GrowRowParts()
{
    pieces_.resize(2 * pieces_.size());
}

// Stored field by field: a whole temporary is built on the stack and copied, a stall per row part.
inline __attribute__((always_inline)) void CellRasterizer::KeepRowPart(int row, std::int32_t x1, std::int32_t fy1,
                                                                       std::int32_t x2, std::int32_t fy2)
{
    if (partCount_ == pieces_.size()) GrowRowParts();
    RowPiece& part = pieces_[partCount_++];
    part.row = row;
    part.xa = x1;
    part.ya = fy1;
    part.xb = x2;
    part.yb = fy2;
}

// The store grows up to maxCells_; past that the tile is too complex.
__attribute__((noinline)) bool CellRasterizer::GrowCells()
{
    if (cellCount_ >= maxCells_) {
        overflowed_ = true;
        return false;
    }
    cells_.resize(std::min(maxCells_, std::max<std::size_t>(2 * cells_.size(), 1024)));
    return true;
}

void CellRasterizer::Reset(int left, int top, int right, int bottom)
{
    left_ = left;
    top_ = top;
    right_ = right;
    bottom_ = bottom;
    insideLeft_ = left * kSubpixelScale;
    insideTop_ = top * kSubpixelScale;
    insideRight_ = right * kSubpixelScale;
    insideBottom_ = bottom * kSubpixelScale;
    cellCount_ = 0;
    partCount_ = 0;
    passageCount_ = 0;
    passageOpen_ = false;
    for (int r = std::max(rowLo_, 0); r <= rowHi_ && r < static_cast<int>(rowPassages_.size()); ++r)
        rowPassages_[r] = 0;
    rowLo_ = 0x7FFFFFFF;
    rowHi_ = -1;
    curRow_ = -1;
    curCover_ = curArea_ = 0;
    overflowed_ = false;
    countOnly_ = false;
    // Only the rows the last tile folded into are cleared (with marks not yet summed).
    for (int r = foldLo_; r <= foldHi_; ++r) foldCover_[r] = foldWinding_[r] = 0;
    if (foldMarked_) {
        for (int r = foldLo_; r <= foldHi_ + 1; ++r) foldMarkCover_[r] = foldMarkWinding_[r] = 0;
        foldMarked_ = false;
    }
    foldLo_ = 0x7FFFFFFF;
    foldHi_ = -1;
    const std::size_t rows = bottom > top ? static_cast<std::size_t>(bottom - top) : 0;
    if (foldCover_.size() < rows) {
        foldCover_.resize(rows, 0);
        foldWinding_.resize(rows, 0);
        foldMarkCover_.resize(rows + 1, 0);
        foldMarkWinding_.resize(rows + 1, 0);
        rowPassages_.resize(rows, 0);
    }
}

inline void CellRasterizer::SetCell(int x, int row)
{
    // Everything left of the tile only matters through its cover: fold it into one column.
    if (x < left_) x = left_ - 1;
    if (x != curX_ || row != curRow_) {
        FlushCell();
        curX_ = x;
        curRow_ = row;
    }
}

// The part of an edge inside one pixel row: from (x1, fy1) to (x2, fy2), fy in 0..256 within the row.
// Column crossings follow the exact floor of the rational crossing height, so skipping columns
// outside the tile gives the same cells inside it as walking them.
void CellRasterizer::WalkRowPiece(int row, std::int32_t x1, std::int32_t fy1, std::int32_t x2, std::int32_t fy2)
{
    if (fy1 == fy2) return;
    const std::int32_t rightEdge = right_ * kSubpixelScale;
    if (x1 >= rightEdge && x2 >= rightEdge) return;   // cells right of the tile change nothing inside it
    const std::int32_t leftEdge = left_ * kSubpixelScale;
    if (x1 < leftEdge && x2 < leftEdge) {
        SetCell(left_ - 1, row);
        curCover_ += fy2 - fy1;
        return;
    }
    const int ex1 = x1 >> kSubpixelShift;
    const int ex2 = x2 >> kSubpixelShift;
    const std::int32_t fx1 = x1 & (kSubpixelScale - 1);
    const std::int32_t fx2 = x2 & (kSubpixelScale - 1);

    if (ex1 == ex2) {
        SetCell(ex1, row);
        curCover_ += fy2 - fy1;
        curArea_ += (fx1 + fx2) * (fy2 - fy1);
        return;
    }

    // Within one row every height, and every product of a height with a pixel width, fits 32 bits;
    // only the jump across columns outside the tile takes 64.
    const std::int32_t dy = fy2 - fy1;
    std::int32_t y, mod, delta;
    int ex;
    if (x2 > x1) {
        const std::int32_t dx = x2 - x1;
        if (ex1 < left_) {
            // Jump to the tile's left column; what lies left of it only adds cover.
            const std::int64_t num = (static_cast<std::int64_t>(leftEdge) - x1) * dy;
            const std::int32_t q = static_cast<std::int32_t>(FloorDiv(num, dx));
            SetCell(left_ - 1, row);
            curCover_ += q;
            y = fy1 + q;
            mod = static_cast<std::int32_t>(num - static_cast<std::int64_t>(q) * dx);
            ex = left_;
        } else {
            const std::int32_t p = (kSubpixelScale - fx1) * dy;
            delta = FloorDiv32(p, dx);
            mod = p - delta * dx;
            SetCell(ex1, row);
            curCover_ += delta;
            curArea_ += (fx1 + kSubpixelScale) * delta;
            y = fy1 + delta;
            ex = ex1 + 1;
        }
        if (ex != ex2) {
            const std::int32_t p = kSubpixelScale * dy;
            const std::int32_t lift = FloorDiv32(p, dx);
            const std::int32_t rem = p - lift * dx;
            mod -= dx;
            while (ex != ex2) {
                if (ex >= right_) { BreakPassage(); return; }
                delta = lift;
                mod += rem;
                if (mod >= 0) { mod -= dx; ++delta; }
                SetCell(ex, row);
                curCover_ += delta;
                curArea_ += kSubpixelScale * delta;
                y += delta;
                ++ex;
            }
        }
        if (ex2 >= right_) { BreakPassage(); return; }
        delta = fy2 - y;
        SetCell(ex2, row);
        curCover_ += delta;
        curArea_ += fx2 * delta;
    } else {
        const std::int32_t dx = x1 - x2;
        if (ex1 >= right_) {
            // Jump to the tile's right column: the columns beyond it change nothing inside.
            BreakPassage();
            const std::int64_t num = (static_cast<std::int64_t>(x1) - rightEdge) * dy;
            const std::int32_t q = static_cast<std::int32_t>(FloorDiv(num, dx));
            y = fy1 + q;
            mod = static_cast<std::int32_t>(num - static_cast<std::int64_t>(q) * dx);
            ex = right_ - 1;
        } else {
            const std::int32_t p = fx1 * dy;
            delta = FloorDiv32(p, dx);
            mod = p - delta * dx;
            SetCell(ex1, row);
            curCover_ += delta;
            curArea_ += fx1 * delta;
            y = fy1 + delta;
            ex = ex1 - 1;
        }
        if (ex != ex2) {
            const std::int32_t q = kSubpixelScale * dy;
            const std::int32_t lift = FloorDiv32(q, dx);
            const std::int32_t rem = q - lift * dx;
            mod -= dx;
            while (ex != ex2) {
                if (ex < left_) {
                    // The rest lies left of the tile: only its cover matters.
                    SetCell(left_ - 1, row);
                    curCover_ += fy2 - y;
                    return;
                }
                delta = lift;
                mod += rem;
                if (mod >= 0) { mod -= dx; ++delta; }
                SetCell(ex, row);
                curCover_ += delta;
                curArea_ += kSubpixelScale * delta;
                y += delta;
                --ex;
            }
        }
        delta = fy2 - y;
        SetCell(ex2, row);
        curCover_ += delta;
        curArea_ += (fx2 + kSubpixelScale) * delta;
    }
}

// A new passage through the row for the row part just stored.
inline void CellRasterizer::OpenPassage(int row, std::int32_t x1, std::int32_t fy1, std::int32_t x2, std::int32_t fy2,
                                        bool turnsBack, bool takesListEntry)
{
    if (passageCount_ == passages_.size()) passages_.resize(2 * passages_.size());
    passages_[passageCount_++] = {row, x1, fy1, x2, fy2, std::min(x1, x2), std::max(x1, x2), 1, turnsBack ? 1 : 0,
                                  static_cast<std::int32_t>(partCount_) - 1};
    passageOpen_ = true;
    // Each passage through a row is a pair of entries in the row's list, which holds 255.
    if (takesListEntry && ++rowPassages_[row] >= kRowPassageLimit && limitPassages_) overflowed_ = true;
}

// The part of an edge in one row, inside the tile (fy1 != fy2): what AddRowPiece does for it,
// without the cases at the tile's sides.
// A row part that starts where the open passage ended, running on the same way, lengthens it;
// any other opens a new passage (turning back when it starts at that end).
inline __attribute__((always_inline)) void CellRasterizer::ContinuePassage(int row, std::int32_t x1,
                                                                            std::int32_t fy1, std::int32_t x2,
                                                                            std::int32_t fy2, bool takesListEntry)
{
    RowPassage* last = passageOpen_ ? &passages_[passageCount_ - 1] : nullptr;
    const bool joins = last && last->row == row && last->xEnd == x1 && last->yEnd == fy1;
    if (joins && (fy2 > fy1) == (fy1 > last->yStart)) {
        last->xEnd = x2;
        last->yEnd = fy2;
        last->minX = std::min(last->minX, x2);
        last->maxX = std::max(last->maxX, x2);
        ++last->pieces;
        return;
    }
    OpenPassage(row, x1, fy1, x2, fy2, joins, takesListEntry);
}

inline __attribute__((always_inline)) void CellRasterizer::AddInsideRowPart(int row, std::int32_t x1, std::int32_t fy1,
                                                                           std::int32_t x2, std::int32_t fy2)
{
    if (partCount_ >= maxCells_) {
        overflowed_ = true;
        return;
    }
    KeepRowPart(row, x1, fy1, x2, fy2);
    ContinuePassage(row, x1, fy1, x2, fy2, true);
    auto moveTo = [&](int column) {
        if (column != curX_ || row != curRow_) {
            FlushCell();
            curX_ = column;
            curRow_ = row;
        }
    };
    const std::int32_t ex1 = x1 >> kSubpixelShift, ex2 = x2 >> kSubpixelShift;
    const std::int32_t fx1 = x1 & (kSubpixelScale - 1), fx2 = x2 & (kSubpixelScale - 1);
    const std::int32_t dy = fy2 - fy1;
    if (ex1 == ex2) {
        moveTo(ex1);
        curCover_ += dy;
        curArea_ += (fx1 + fx2) * dy;
        return;
    }
    // A chord of a curve crosses at most one column boundary: the height below it goes to the
    // first cell, the rest to the second (all within 32 bits, as |dy| <= 256 and dx < 512).
    if (ex2 == ex1 + 1) {
        const std::int32_t dx = x2 - x1;
        const std::int32_t p = (kSubpixelScale - fx1) * dy;
        std::int32_t delta = p / dx;
        if (p % dx < 0) --delta;
        moveTo(ex1);
        curCover_ += delta;
        curArea_ += (fx1 + kSubpixelScale) * delta;
        moveTo(ex2);
        curCover_ += dy - delta;
        curArea_ += fx2 * (dy - delta);
        return;
    }
    if (ex2 == ex1 - 1) {
        const std::int32_t dx = x1 - x2;
        const std::int32_t p = fx1 * dy;
        std::int32_t delta = p / dx;
        if (p % dx < 0) --delta;
        moveTo(ex1);
        curCover_ += delta;
        curArea_ += fx1 * delta;
        moveTo(ex2);
        curCover_ += dy - delta;
        curArea_ += (fx2 + kSubpixelScale) * (dy - delta);
        return;
    }
    WalkRowPiece(row, x1, fy1, x2, fy2);
}

// An edge wholly inside the tile: most are short chords of curves, within one or two rows.
void CellRasterizer::AddEdgeInside(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    const std::int32_t dx = x2 - x1, dy = y2 - y1;
    const int tileRow = top_;
    if (dy > 0) {
        int r = y1 >> kSubpixelShift;
        const int rEnd = (y2 - 1) >> kSubpixelShift;
        if (r - tileRow < rowLo_) rowLo_ = r - tileRow;
        if (rEnd - tileRow > rowHi_) rowHi_ = rEnd - tileRow;
        std::int32_t xa = x1, ya = y1;
        if (r < rEnd) {
            RowCrossings exits(x1, y1, dx, dy, (r + 1) * kSubpixelScale, rEnd - r);
            for (; r < rEnd; ++r) {
                const std::int32_t yb = (r + 1) * kSubpixelScale;
                const std::int32_t xb = exits.x();
                exits.Next();
                AddInsideRowPart(r - tileRow, xa, ya - r * kSubpixelScale, xb, kSubpixelScale);
                xa = xb;
                ya = yb;
            }
        }
        AddInsideRowPart(r - tileRow, xa, ya - r * kSubpixelScale, x2, y2 - r * kSubpixelScale);
    } else {
        int r = (y1 - 1) >> kSubpixelShift;
        const int rEnd = y2 >> kSubpixelShift;
        if (rEnd - tileRow < rowLo_) rowLo_ = rEnd - tileRow;
        if (r - tileRow > rowHi_) rowHi_ = r - tileRow;
        std::int32_t xa = x1, ya = y1;
        if (r > rEnd) {
            RowCrossings exits(x1, y1, dx, dy, r * kSubpixelScale, r - rEnd);
            for (; r > rEnd; --r) {
                const std::int32_t yb = r * kSubpixelScale;
                const std::int32_t xb = exits.x();
                exits.Next();
                AddInsideRowPart(r - tileRow, xa, ya - r * kSubpixelScale, xb, 0);
                xa = xb;
                ya = yb;
            }
        }
        AddInsideRowPart(r - tileRow, xa, ya - r * kSubpixelScale, x2, y2 - r * kSubpixelScale);
    }
}

// An edge not wholly inside the tile, horizontal, or met when only counting.
void CellRasterizer::AddEdgeAcross(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
{
    // Horizontal edges cover no height; once the tile proved too complex, nothing more counts.
    if (y1 == y2 || overflowed_) return;
    const std::int32_t tileTop = top_ * kSubpixelScale, tileBottom = bottom_ * kSubpixelScale;
    {
        const std::int32_t leftEdge = left_ * kSubpixelScale, rightEdge = right_ * kSubpixelScale;
        if (!countOnly_ && x1 >= leftEdge && x2 >= leftEdge && x1 < rightEdge && x2 < rightEdge && y1 >= tileTop &&
            y2 >= tileTop && y1 <= tileBottom && y2 <= tileBottom) {
            AddEdgeInside(x1, y1, x2, y2);
            return;
        }
    }
    // Wherever the outline leaves the tile, the next pixel it reaches begins a new passage, as it
    // would if the outside pixels were walked.
    if ((y1 <= tileTop && y2 <= tileTop) || (y1 >= tileBottom && y2 >= tileBottom)) { BreakPassage(); return; }
    const std::int32_t rightEdge = right_ * kSubpixelScale;
    if (x1 >= rightEdge && x2 >= rightEdge) { BreakPassage(); return; }
    // The outline arrives from, or leaves to, rows outside the tile.
    if (y1 < tileTop || y1 > tileBottom) BreakPassage();
    const bool leaves = y2 < tileTop || y2 > tileBottom;

    const std::int32_t dx = x2 - x1, dy = y2 - y1;
    // Row range inside the tile, in edge direction.
    const std::int32_t ylo = std::max(std::min(y1, y2), tileTop);
    const std::int32_t yhi = std::min(std::max(y1, y2), tileBottom);
    const int rowLo = ylo >> kSubpixelShift;
    const int rowHi = (yhi - 1) >> kSubpixelShift;   // last row with positive height
    const bool down = dy > 0;
    const std::int32_t leftEdge = left_ * kSubpixelScale;
    if (x1 < leftEdge && x2 < leftEdge) {
        // Wholly left of the tile: every row keeps only the heights, on a vertical left of it.
        const std::int32_t xv = leftEdge - kSubpixelScale;
        for (int k = 0, n = rowHi - rowLo + 1; k < n; ++k) {
            if (k == 1 && n > 2) {
                // The rows between the first and the last are crossed whole: their folds are
                // marked once for the run and summed when the rows are swept.
                MarkWholeRowsLeft(rowLo + 1 - top_, rowHi - 1 - top_, down ? 1 : -1);
                k = n - 1;
            }
            const int r = down ? rowLo + k : rowHi - k;
            const std::int32_t rowY = r * kSubpixelScale;
            const std::int32_t ya = down ? std::max(y1, rowY) : std::min(y1, rowY + kSubpixelScale);
            const std::int32_t yb = down ? std::min(y2, rowY + kSubpixelScale) : std::max(y2, rowY);
            if (ya != yb) AddRowPiece(r - top_, xv, ya - rowY, xv, yb - rowY);
        }
        if (leaves) BreakPassage();
        return;
    }
    // x where the edge leaves each row: the first row's exit by division, the next ones by adding
    // the exact quotient and remainder of one row's step (the same floor as dividing anew).
    const int n = rowHi - rowLo + 1;
    const std::int32_t firstExit = down ? (rowLo + 1) * kSubpixelScale : rowHi * kSubpixelScale;
    // The last row's exit is the edge's end unless the edge leaves the tile there.
    RowCrossings exits(x1, y1, dx, dy, firstExit, leaves ? n : n - 1);
    std::int32_t xa = 0;
    for (int k = 0; k < n; ++k) {
        const int r = down ? rowLo + k : rowHi - k;
        const std::int32_t rowY = r * kSubpixelScale;
        // Entry and exit heights of the edge in this row, and x there.
        std::int32_t ya, yb;
        if (down) { ya = std::max(y1, rowY); yb = std::min(y2, rowY + kSubpixelScale); }
        else { ya = std::min(y1, rowY + kSubpixelScale); yb = std::max(y2, rowY); }
        // The entry is the previous row's exit, except where the edge starts or enters the tile.
        if (k == 0) xa = ya == y1 ? x1 : (dx == 0 ? x1 : CrossingX(x1, y1, dx, dy, ya));
        const std::int32_t xb = yb == y2 ? x2 : exits.x();
        exits.Next();
        if (ya != yb) AddRowPiece(r - top_, xa, ya - rowY, xb, yb - rowY);
        xa = xb;
        if (k + 2 >= n || overflowed_) continue;
        // Rows ahead that the edge crosses whole outside the tile's sides are passed in one go (the
        // last row, which may be crossed in part, is always taken on its own).
        int last = k;
        if (xb < leftEdge) {
            // Left of the tile every whole row only adds its height to the fold.
            last = n - 2;
            if (dx > 0) last = static_cast<int>(std::min<std::int64_t>(exits.FirstAtOrRightOf(leftEdge) - 1, last));
            if (last > k) {
                if (partCount_ >= maxCells_ && !countOnly_) {
                    overflowed_ = true;
                    return;
                }
                const int a = down ? rowLo + k + 1 : rowHi - last, b = down ? rowLo + last : rowHi - k - 1;
                MarkWholeRowsLeft(a - top_, b - top_, down ? 1 : -1);
            }
        } else if (xb >= rightEdge) {
            // Right of it nothing counts; an edge running on to the right is done with.
            if (dx >= 0) {
                BreakPassage();
                break;
            }
            last = static_cast<int>(std::min<std::int64_t>(exits.FirstLeftOf(rightEdge) - 1, n - 2));
            if (last > k) BreakPassage();
        }
        if (last > k) {
            exits.At(last);
            xa = exits.x();
            exits.Next();
            k = last;
        }
    }
    if (leaves) BreakPassage();
}

// Rows [first, last] of the tile crossed whole, left of it, in direction dir (what the row step
// would fold one row at a time).
void CellRasterizer::MarkWholeRowsLeft(int first, int last, int dir)
{
    if (partCount_ >= maxCells_ && !countOnly_) {
        overflowed_ = true;
        return;
    }
    foldMarkCover_[first] += dir * kSubpixelScale;
    foldMarkCover_[last + 1] -= dir * kSubpixelScale;
    foldMarkWinding_[first] += dir;
    foldMarkWinding_[last + 1] -= dir;
    foldMarked_ = true;
    foldLo_ = std::min(foldLo_, first);
    foldHi_ = std::max(foldHi_, last);
    if (first < rowLo_) rowLo_ = first;
    if (last > rowHi_) rowHi_ = last;
    passageOpen_ = false;
}

// Adds the marked runs of whole rows left of the tile into the rows' folds.
void CellRasterizer::SumFoldMarks()
{
    if (!foldMarked_) return;
    std::int32_t cover = 0, winding = 0;
    for (int r = foldLo_; r <= foldHi_ + 1; ++r) {
        cover += foldMarkCover_[r];
        winding += foldMarkWinding_[r];
        foldMarkCover_[r] = foldMarkWinding_[r] = 0;
        if (r <= foldHi_) {
            foldCover_[r] += cover;
            foldWinding_[r] += winding;
        }
    }
    foldMarked_ = false;
}

void CellRasterizer::BreakPassage()
{
    FlushCell();
    curRow_ = -1;
    passageOpen_ = false;
}

inline __attribute__((always_inline)) void CellRasterizer::AddRowPiece(int row, std::int32_t x1, std::int32_t fy1,
                                                                        std::int32_t x2, std::int32_t fy2)
{
    if (fy1 == fy2) return;
    const std::int32_t rightEdge = right_ * kSubpixelScale;
    if (x1 >= rightEdge && x2 >= rightEdge) { BreakPassage(); return; }
    if (partCount_ >= maxCells_ && !countOnly_) {
        overflowed_ = true;
        return;
    }
    // Pieces left of the tile only shift the windings; keep them as a vertical left of it. One
    // that crosses the whole row shifts every sample line alike and adds a whole row of cover to
    // every pixel: it is kept as the row's fold, not as a piece.
    const std::int32_t leftEdge = left_ * kSubpixelScale;
    const bool leftOfTile = x1 < leftEdge && x2 < leftEdge;
    if (leftOfTile) {
        if (fy2 - fy1 == kSubpixelScale || fy1 - fy2 == kSubpixelScale) {
            foldCover_[row] += fy2 - fy1;
            foldWinding_[row] += fy2 > fy1 ? 1 : -1;
            foldLo_ = std::min(foldLo_, row);
            foldHi_ = std::max(foldHi_, row);
            if (row < rowLo_) rowLo_ = row;
            if (row > rowHi_) rowHi_ = row;
            passageOpen_ = false;
            return;
        }
        x1 = x2 = leftEdge - kSubpixelScale;
    }
    if (!countOnly_) KeepRowPart(row, x1, fy1, x2, fy2);
    // Passages left of the tile run along its side there and take none of the row's list (so that
    // narrower tiles see fewer).
    ContinuePassage(row, x1, fy1, x2, fy2, !leftOfTile);
    if (row < rowLo_) rowLo_ = row;
    if (row > rowHi_) rowHi_ = row;
    if (countOnly_) {
        // Where the cell walk would stop at the tile's right side, the passage ends as well.
        if (x2 > x1 ? x2 >= rightEdge : x1 >= rightEdge) BreakPassage();
        return;
    }
    // Most pieces stay inside one pixel of the tile.
    const std::int32_t ex = x1 >> kSubpixelShift;
    if (ex == (x2 >> kSubpixelShift) && ex >= left_ && ex < right_) {
        SetCell(ex, row);
        curCover_ += fy2 - fy1;
        curArea_ += ((x1 & (kSubpixelScale - 1)) + (x2 & (kSubpixelScale - 1))) * (fy2 - fy1);
        return;
    }
    WalkRowPiece(row, x1, fy1, x2, fy2);
}

namespace {

inline bool WholeRow(const RowPassage& p)
{
    return (p.yStart == 0 && p.yEnd == kSubpixelScale) || (p.yEnd == 0 && p.yStart == kSubpixelScale);
}

} // namespace

bool CellRasterizer::WindingsStaySimple(int row, bool nonZero)
{
    const int begin = passageStart_[row], end = passageStart_[row + 1];
    const RowPassage* first = sortedPassages_.data() + begin;
    // The common rows: one or two passages crossing the whole row (two apart are mostly told by
    // CrossedByTwoBands already).
    if (end - begin == 1 && WholeRow(*first)) return true;
    if (end - begin == 2 && WholeRow(first[0]) && WholeRow(first[1]) &&
        (first[0].yEnd > first[0].yStart) != (first[1].yEnd > first[1].yStart) &&
        (first[0].maxX <= first[1].minX || first[1].maxX <= first[0].minX))
        return true;
    if (end - begin <= kApartPassages && ApartPassagesHold(row, nonZero)) return true;
    return PrepareClusters(row, nonZero);
}

// A few passages that each cross the whole row, strictly apart (the sides of a narrow outline, two
// shapes side by side): every sample line meets them in the same order, so the windings step alike
// on all lines, and the clusters PrepareClusters would make hold exactly when the windings before
// and after the passages of each of them do. True when they all hold; false when that cannot be
// told this way (PrepareClusters then looks closer).
bool CellRasterizer::ApartPassagesHold(int row, bool nonZero) const
{
    const int begin = passageStart_[row], count = passageStart_[row + 1] - begin;
    const RowPassage* const passages = sortedPassages_.data() + begin;
    const RowPassage* order[kApartPassages];
    for (int i = 0; i < count; ++i) {
        const RowPassage& p = passages[i];
        if (!WholeRow(p) || p.turnsBack) return false;
        int k = i;
        for (; k > 0 && order[k - 1]->minX > p.minX; --k) order[k] = order[k - 1];
        order[k] = &p;
    }
    int w = foldWinding_[rowLo_ + row];
    int lo = w, hi = w;
    int colHi = 0;
    for (int i = 0; i < count; ++i) {
        const RowPassage& p = *order[i];
        if (i > 0) {
            if (order[i - 1]->maxX >= p.minX) return false;
            // A passage whose pixels do not touch the cluster's starts the next cluster.
            if ((p.minX >> kSubpixelShift) > colHi) {
                if (!AreaHolds(lo, hi, nonZero)) return false;
                lo = hi = w;
            }
        }
        // In x order and apart, each passage reaches further right than all before it.
        colHi = p.maxX >> kSubpixelShift;
        w += p.yEnd > p.yStart ? 1 : -1;
        lo = std::min(lo, w);
        hi = std::max(hi, w);
    }
    return AreaHolds(lo, hi, nonZero);
}

namespace {

// Units in x order. Ties are broken by the whole geometry, so the order never depends on the
// order the edges came in.
struct UnitOrder {
    const RowPassage* passages;
    bool operator()(const PassageUnit& a, const PassageUnit& b) const
    {
        if (a.minX != b.minX) return a.minX < b.minX;
        if (a.maxX != b.maxX) return a.maxX < b.maxX;
        const RowPassage& p = passages[a.passage];
        const RowPassage& q = passages[b.passage];
        if (p.yStart != q.yStart) return p.yStart < q.yStart;
        if (p.yEnd != q.yEnd) return p.yEnd < q.yEnd;
        if (p.xStart != q.xStart) return p.xStart < q.xStart;
        return p.xEnd < q.xEnd;
    }
};

} // namespace

// Groups the row's passages into clusters (passages whose pixel columns touch) and works out,
// without placing a single crossing, the range of windings each cluster's sample lines can take.
// Returns true when every cluster holds.
bool CellRasterizer::PrepareClusters(int row, bool nonZero)
{
    MakeUnits(row);
    const int begin = 0, end = unitCount_;
    SortUnits(begin, end);

    const std::size_t most = static_cast<std::size_t>(end - begin);
    if (clusters_.size() < most) clusters_.resize(most);
    WindingCluster* const clusters = clusters_.data();
    int clusterCount = 0;
    const PassageUnit* const units = units_.data();
    // While every line has the same winding it is kept in w alone; winding[] holds each line's
    // once they differ.
    int w = foldWinding_[rowLo_ + row];
    int winding[kSampleLines];
    bool uniform = true;
    bool all = true;
    // Room for the windings left of each cluster (at most one per unit) and of the row's last;
    // the store only grows, so the rows do not fill it anew.
    const std::size_t windingsNeeded = (most + 1) * kSampleLines;
    if (clusterWindings_.size() < windingsNeeded) clusterWindings_.resize(windingsNeeded);
    int* windingsOut = clusterWindings_.data();
    for (int i = begin; i < end;) {
        WindingCluster& cluster = clusters[clusterCount++];
        cluster.colLo = units[i].minX >> kSubpixelShift;
        int colHi = units[i].maxX >> kSubpixelShift;
        int j = i + 1;
        while (j < end && (units[j].minX >> kSubpixelShift) <= colHi) {
            colHi = std::max(colHi, units[j].maxX >> kSubpixelShift);
            ++j;
        }
        cluster.colHi = colHi;
        cluster.unitBegin = i;
        cluster.unitEnd = j;
        if (uniform) {
            std::fill(windingsOut, windingsOut + kSampleLines, w);
            windingsOut += kSampleLines;
            if (j == i + 1 && units[i].whole()) {
                // A lone passage across the whole row: every line steps alike.
                const int next = w + units[i].dir(0);
                cluster.holds = AreaHolds(std::min(w, next), std::max(w, next), nonZero);
                all = all && cluster.holds;
                w = next;
                i = j;
                continue;
            }
            std::fill(winding, winding + kSampleLines, w);
        } else {
            windingsOut = std::copy(winding, winding + kSampleLines, windingsOut);
        }
        int lo = winding[0], hi = winding[0];
        for (int s = 1; s < kSampleLines && !uniform; ++s) {
            lo = std::min(lo, winding[s]);
            hi = std::max(hi, winding[s]);
        }
        // Units that overlap in x are taken together; groups side by side meet every line in
        // order, one after another.
        for (int k = i; k < j;) {
            int m = k + 1;
            std::int32_t reach = units[k].maxX;
            while (m < j && units[m].minX < reach) reach = std::max(reach, units[m++].maxX);
            if (uniform && m == k + 2 && units[k].band(0) && !units[k].pair() && units[k + 1].band(0) &&
                !units[k + 1].pair()) {
                // Two straight passages across the whole row (the two sides of a narrow outline):
                // in order, every line meets them alike; crossing, a line may meet either first.
                const PassageUnit& a = units[k];
                const PassageUnit& b = units[k + 1];
                const std::int32_t aTop = a.topLeft() ? a.minX : a.maxX, aBottom = a.topLeft() ? a.maxX : a.minX;
                const std::int32_t bTop = b.topLeft() ? b.minX : b.maxX, bBottom = b.topLeft() ? b.maxX : b.minX;
                const bool aFirst = aTop != bTop ? aTop < bTop : aBottom != bBottom ? aBottom < bBottom : a.dir(0) >= b.dir(0);
                const bool ordered = aFirst ? aBottom <= bBottom : bBottom <= aBottom;
                const int da = a.dir(0), db = b.dir(0);
                const int w0 = winding[0];
                if (ordered) {
                    const int between = w0 + (aFirst ? da : db);
                    lo = std::min(lo, between);
                    hi = std::max(hi, between);
                } else {
                    lo = std::min(lo, w0 - (da < 0) - (db < 0));
                    hi = std::max(hi, w0 + (da > 0) + (db > 0));
                }
                const int after = w0 + da + db;
                lo = std::min(lo, after);
                hi = std::max(hi, after);
                std::fill(winding, winding + kSampleLines, after);
                k = m;
                continue;
            }
            SweepSubCluster(k, m, winding, uniform, lo, hi);
            k = m;
        }
        if (uniform) w = winding[0];
        cluster.holds = AreaHolds(lo, hi, nonZero);
        all = all && cluster.holds;
        i = j;
    }
    if (uniform) std::fill(windingsOut, windingsOut + kSampleLines, w);
    else std::copy(winding, winding + kSampleLines, windingsOut);
    clusterCount_ = clusterCount;
    return all;
}

// Puts the row's units in x order. An outline often runs through a row one way only; otherwise
// the units are dealt out by the pixel column of their left end (columns left of the tile are
// one), which leaves only the few sharing a column to be put in order.
void CellRasterizer::SortUnits(int begin, int end)
{
    PassageUnit* const b = units_.data() + begin;
    PassageUnit* const e = units_.data() + end;
    const UnitOrder UnitBefore{sortedPassages_.data()};
    if (std::is_sorted(b, e, UnitBefore)) return;
    if (std::is_sorted(std::reverse_iterator<PassageUnit*>(e), std::reverse_iterator<PassageUnit*>(b), UnitBefore)) {
        std::reverse(b, e);
        return;
    }
    if (e - b < 16) {
        std::sort(b, e, UnitBefore);
        return;
    }
    // Dealt out by their left ends (those left of the tile as one), in buckets a few pixels wide
    // so that there are about as many buckets as units.
    const std::int32_t leftmost = (left_ - 1) * kSubpixelScale;
    auto key = [&](const PassageUnit& u) { return std::max(u.minX, leftmost); };
    std::int32_t lowest = key(*b), highest = lowest;
    for (const PassageUnit* u = b + 1; u < e; ++u) {
        lowest = std::min(lowest, key(*u));
        highest = std::max(highest, key(*u));
    }
    const std::uint32_t range = static_cast<std::uint32_t>(highest - lowest);
    const std::uint32_t count = static_cast<std::uint32_t>(e - b);
    int shift = kSubpixelShift;
    while ((range >> shift) >= 2 * count) ++shift;
    auto column = [&](const PassageUnit& u) { return static_cast<int>(static_cast<std::uint32_t>(key(u) - lowest) >> shift); };
    const int columns = static_cast<int>(range >> shift) + 1;
    unitColumnStart_.assign(columns + 1, 0);
    int* const starts = unitColumnStart_.data();
    for (const PassageUnit* u = b; u < e; ++u) ++starts[column(*u) + 1];
    for (int k = 1; k <= columns; ++k) starts[k] += starts[k - 1];
    if (unitsByColumn_.size() < static_cast<std::size_t>(e - b)) unitsByColumn_.resize(e - b);
    PassageUnit* const out = unitsByColumn_.data();
    for (const PassageUnit* u = b; u < e; ++u) out[starts[column(*u)]++] = *u;
    PassageUnit* const outEnd = out + (e - b);
    for (PassageUnit* i = out + 1; i < outEnd; ++i) {
        if (!UnitBefore(*i, *(i - 1))) continue;
        const PassageUnit v = *i;
        PassageUnit* j = i;
        do {
            *j = *(j - 1);
            --j;
        } while (j > out && UnitBefore(v, *(j - 1)));
        *j = v;
    }
    std::copy(out, outEnd, b);
}

// Moves the line windings across units [begin, end), widening [lo, hi] (which already holds the
// windings before them) by every winding a line can take among them. While every line has the
// same winding, passages across the whole row move them all at once.
void CellRasterizer::SweepSubCluster(int begin, int end, int* winding, bool& uniform, int& lo, int& hi)
{
    auto widen = [&](int w) {
        lo = std::min(lo, w);
        hi = std::max(hi, w);
    };
    auto cross = [&](const PassageUnit& u, int arm) {
        const int dir = u.dir(arm);
        for (int s = u.lineFrom(arm), s1 = u.lineTo(arm); s < s1; ++s) widen(winding[s] += dir);
    };
    auto recheck = [&]() {
        uniform = true;
        for (int s = 1; s < kSampleLines && uniform; ++s) uniform = winding[s] == winding[0];
    };
    if (end - begin == 1) {
        const PassageUnit& u = units_[begin];
        if (uniform && u.whole()) {
            const int w = winding[0] + u.dir(0);
            std::fill(winding, winding + kSampleLines, w);
            widen(w);
            return;
        }
        cross(u, 0);
        if (u.pair()) cross(u, 1);
        recheck();
        return;
    }

    // Passages that all cross the whole row without crossing one another give every sample line
    // the same windings in the same order.
    bool whole = true;
    for (int k = begin; k < end && whole; ++k) whole = units_[k].whole();
    if (whole) {
        // A straight one meets the row's top and bottom at its ends, which its unit keeps.
        auto topX = [&](const PassageUnit& u) {
            if (u.band(0)) return u.topLeft() ? u.minX : u.maxX;
            const RowPassage& p = First(u);
            return p.yStart == 0 ? p.xStart : p.xEnd;
        };
        auto bottomX = [&](const PassageUnit& u) {
            if (u.band(0)) return u.topLeft() ? u.maxX : u.minX;
            const RowPassage& p = First(u);
            return p.yStart == 0 ? p.xEnd : p.xStart;
        };
        PassageUnit* b = units_.data() + begin;
        PassageUnit* e = units_.data() + end;
        std::sort(b, e, [&](const PassageUnit& u, const PassageUnit& v) {
            const std::int32_t ut = topX(u), vt = topX(v);
            if (ut != vt) return ut < vt;
            const std::int32_t ub = bottomX(u), vb = bottomX(v);
            if (ub != vb) return ub < vb;
            return u.dir(0) > v.dir(0);   // coincident: downward ones first
        });
        bool ordered = true;
        for (PassageUnit* u = b + 1; u < e && ordered; ++u) {
            if (bottomX(*u) < bottomX(*(u - 1))) ordered = false;
            else if ((!u->band(0) || !(u - 1)->band(0)) && (u - 1)->maxX > u->minX) ordered = false;
        }
        if (ordered) {
            int w = 0, wLo = 0, wHi = 0;
            for (PassageUnit* u = b; u < e; ++u) {
                w += u->dir(0);
                wLo = std::min(wLo, w);
                wHi = std::max(wHi, w);
            }
            if (uniform) {
                widen(winding[0] + wLo);
                widen(winding[0] + wHi);
                std::fill(winding, winding + kSampleLines, winding[0] + w);
                return;
            }
            for (int s = 0; s < kSampleLines; ++s) {
                widen(winding[s] + wLo);
                widen(winding[s] + wHi);
                winding[s] += w;
            }
            return;
        }
    }

    // Otherwise every line may meet its crossings in any order: it can reach as far as all its
    // rises, or all its falls, taken first.
    int rise[kSampleLines] = {}, fall[kSampleLines] = {};
    auto bound = [&](const PassageUnit& u, int arm) {
        int* into = u.dir(arm) > 0 ? rise : fall;
        for (int s = u.lineFrom(arm), s1 = u.lineTo(arm); s < s1; ++s) ++into[s];
    };
    for (int k = begin; k < end; ++k) {
        bound(units_[k], 0);
        if (units_[k].pair()) bound(units_[k], 1);
    }
    for (int s = 0; s < kSampleLines; ++s) {
        widen(winding[s] + rise[s]);
        widen(winding[s] - fall[s]);
        winding[s] += rise[s] - fall[s];
    }
    recheck();
}

namespace {

// Sample line s lies at height 8 + 16 s of the row; an edge holds it when it starts at or above it
// and ends below it (or the reverse), so shared vertices count once.
inline void SampleLines(const RowPiece& p, int& s0, int& s1)
{
    const std::int32_t lo = std::min(p.ya, p.yb), hi = std::max(p.ya, p.yb);
    s0 = std::max(0, (lo - 8 + 15) >> 4);                // first line at or below lo
    s1 = std::min(kSampleLines, (hi - 8 + 15) >> 4);     // first line at or below hi
}

// Where a stretch of edge crosses sample line s (one it holds).
inline std::int32_t SampleCrossingX(const RowPiece& p, int s)
{
    const double slope = static_cast<double>(p.xb - p.xa) / (p.yb - p.ya);
    const double v = (8 + 16 * s - p.ya) * slope;
    std::int32_t f = static_cast<std::int32_t>(v);
    f -= v < f ? 1 : 0;   // floor
    return p.xa + f;
}

} // namespace

// The cluster's stretches of edge that reach into pixel column col go to pixelEdges_; winding[]
// takes each sample line's winding left of the cluster moved by those wholly left of the column.
void CellRasterizer::ReachingEdges(int cluster, int col, int* winding)
{
    const WindingCluster& c = clusters_[cluster];
    const std::int32_t x0 = col * kSubpixelScale, x1 = x0 + kSubpixelScale;
    for (int s = 0; s < kSampleLines; ++s) winding[s] = clusterWindings_[cluster * kSampleLines + s];
    pixelEdges_.clear();
    auto passage = [&](const RowPassage& p) {
        if ((p.minX >> kSubpixelShift) > col) return;
        const RowPiece* from = pieces_.data() + p.firstPiece;
        for (const RowPiece* q = from; q < from + p.pieces; ++q) {
            if (std::min(q->xa, q->xb) >= x1) continue;
            if (std::max(q->xa, q->xb) >= x0) {
                pixelEdges_.push_back(q);
                continue;
            }
            int s0, s1;
            SampleLines(*q, s0, s1);
            const int dir = q->yb > q->ya ? 1 : -1;
            for (int s = s0; s < s1; ++s) winding[s] += dir;
        }
    };
    for (int k = c.unitBegin; k < c.unitEnd; ++k) {
        passage(First(units_[k]));
        if (units_[k].pair()) passage(Second(units_[k]));
    }
}

// Each sample line's winding just left of pixel column col.
void CellRasterizer::LineWindingsAt(int cluster, int col, int* winding)
{
    ReachingEdges(cluster, col, winding);
    const std::int32_t x0 = col * kSubpixelScale;
    for (const RowPiece* q : pixelEdges_) {
        int s0, s1;
        SampleLines(*q, s0, s1);
        const int dir = q->yb > q->ya ? 1 : -1;
        for (int s = s0; s < s1; ++s)
            if (SampleCrossingX(*q, s) < x0) winding[s] += dir;
    }
}

// The pixel's coverage from what its sample lines see: the windings a line holds over some length
// inside the pixel (not between two crossings at one x, nor left of a crossing on the pixel's left
// border) decide whether its swept alpha stands; otherwise the inside length of all lines counts.
std::uint32_t CellRasterizer::MeasurePixel(int cluster, int col, std::int64_t alpha, bool nonZero)
{
    const std::int32_t x0 = col * kSubpixelScale, x1 = x0 + kSubpixelScale;
    int winding[kSampleLines];
    ReachingEdges(cluster, col, winding);
    int lo = 0x7FFFFFFF, hi = -0x7FFFFFFF;
    std::int64_t insideLength = 0;
    // What each line needs of an edge is worked out once for the pixel.
    const std::size_t edgeCount = pixelEdges_.size();
    if (pixelLineEdges_.size() < edgeCount) {
        pixelLineEdges_.resize(edgeCount);
        pixelCrossings_.resize(edgeCount);
    }
    LineEdge* const edges = pixelLineEdges_.data();
    for (std::size_t k = 0; k < edgeCount; ++k) {
        const RowPiece& q = *pixelEdges_[k];
        LineEdge& edge = edges[k];
        SampleLines(q, edge.s0, edge.s1);
        edge.dir = q.yb > q.ya ? 1 : -1;
        edge.xa = q.xa;
        edge.ya = q.ya;
        edge.slope = static_cast<double>(q.xb - q.xa) / (q.yb - q.ya);
    }
    for (int s = 0; s < kSampleLines; ++s) {
        SampleCrossing* const b = pixelCrossings_.data();
        SampleCrossing* e = b;
        for (std::size_t k = 0; k < edgeCount; ++k) {
            const LineEdge& edge = edges[k];
            if (s < edge.s0 || s >= edge.s1) continue;
            // As SampleCrossingX, with the edge's slope at hand.
            const double v = (8 + 16 * s - edge.ya) * edge.slope;
            std::int32_t f = static_cast<std::int32_t>(v);
            f -= v < f ? 1 : 0;
            *e++ = {edge.xa + f, edge.dir};
        }
        for (SampleCrossing* i = b + 1; i < e; ++i) {
            const SampleCrossing v = *i;
            SampleCrossing* j = i;
            while (j > b && v.x < (j - 1)->x) { *j = *(j - 1); --j; }
            *j = v;
        }
        int w = winding[s];
        std::int32_t pos = x0;
        for (SampleCrossing* n = b; n < e; ++n) {
            if (n->x >= x1) break;
            if (n->x > pos) {
                if (Inside(w, nonZero)) insideLength += n->x - pos;
                lo = std::min(lo, w);
                hi = std::max(hi, w);
                pos = n->x;
            }
            w += n->dir;
        }
        if (Inside(w, nonZero)) insideLength += x1 - pos;
        lo = std::min(lo, w);
        hi = std::max(hi, w);
    }
    return AreaHolds(lo, hi, nonZero) ? ExactCoverage(alpha, nonZero) : MeasuredCoverage(insideLength);
}

void CellRasterizer::BeginBands(int row)
{
    for (int y : bandTouched_) bandEvents_[y] = 0;
    bandTouched_.clear();
    bandUnbalanced_ = 0;
    bandWinding_ = foldWinding_[rowLo_ + row];
    bandClusters_ = 0;
    bandCluster_ = -1;
}

// Adds (sign 1) or takes back (sign -1) what a passage does to the windings right of it.
void CellRasterizer::AddBandEvents(const RowPassage& p, int sign)
{
    const int d = (p.yEnd > p.yStart ? 1 : -1) * sign;
    const int ylo = std::min(p.yStart, p.yEnd), yhi = std::max(p.yStart, p.yEnd);
    auto change = [&](int y, int delta) {
        const int before = bandEvents_[y];
        const int after = before + delta;
        bandEvents_[y] = after;
        if (before == 0) {
            ++bandUnbalanced_;
            bandTouched_.push_back(y);
        } else if (after == 0) {
            --bandUnbalanced_;
        }
    };
    if (ylo == 0) bandWinding_ += d;
    else change(ylo, d);
    if (yhi < kSubpixelScale) change(yhi, -d);
}

namespace {

// What one stretch of edge adds to the swept alpha of pixel column col of its row (as its cells would: the
// cover left of the pixel, the cover inside it, less the area beside it), with the same exact
// floor of every column crossing as the cell walk. With a memo, the crossing of the pixel's right
// border is kept for the next column's left one.
inline std::int64_t EdgeAlpha(const RowPiece& p, int col, BandMemo* memo)
{
    const int ex1 = p.xa >> kSubpixelShift, ex2 = p.xb >> kSubpixelShift;
    const std::int32_t fx1 = p.xa & (kSubpixelScale - 1), fx2 = p.xb & (kSubpixelScale - 1);
    const std::int64_t dy = p.yb - p.ya;
    const std::int64_t whole = dy * 2 * kSubpixelScale;
    const std::int32_t left = col * kSubpixelScale, right = left + kSubpixelScale;
    // Height where the edge crosses the border at x, from its distance to the start along x.
    auto crossing = [&](std::int32_t x, std::int64_t run, std::int64_t dx) {
        if (memo && memo->x == x) return memo->y;
        return p.ya + FloorDiv(run * dy, dx);
    };
    auto remember = [&](std::int64_t y) {
        if (memo) *memo = {right, y};
    };
    if (p.xb >= p.xa) {
        if (col < ex1) return 0;
        if (col > ex2) return whole;
        if (ex1 == ex2) return whole - (fx1 + fx2) * dy;
        const std::int64_t dx = static_cast<std::int64_t>(p.xb) - p.xa;
        const std::int64_t ya = col == ex1 ? p.ya : crossing(left, static_cast<std::int64_t>(left) - p.xa, dx);
        const std::int64_t yb = col == ex2 ? p.yb : crossing(right, static_cast<std::int64_t>(right) - p.xa, dx);
        if (col != ex2) remember(yb);
        const std::int64_t fxa = col == ex1 ? fx1 : 0, fxb = col == ex2 ? fx2 : kSubpixelScale;
        return (yb - p.ya) * 2 * kSubpixelScale - (fxa + fxb) * (yb - ya);
    }
    if (col > ex1) return whole;
    if (col < ex2) return 0;
    const std::int64_t dx = static_cast<std::int64_t>(p.xa) - p.xb;
    const std::int64_t ya = col == ex1 ? p.ya : crossing(right, p.xa - static_cast<std::int64_t>(right), dx);
    const std::int64_t yb = col == ex2 ? p.yb : crossing(left, p.xa - static_cast<std::int64_t>(left), dx);
    if (col != ex1) remember(ya);
    const std::int64_t fxa = col == ex1 ? fx1 : kSubpixelScale, fxb = col == ex2 ? fx2 : 0;
    return (p.yb - ya) * 2 * kSubpixelScale - (fxa + fxb) * (yb - ya);
}

} // namespace

namespace {

inline std::int32_t TopX(const RowPassage& p) { return p.yStart == 0 ? p.xStart : p.xEnd; }
inline std::int32_t BottomX(const RowPassage& p) { return p.yStart == 0 ? p.xEnd : p.xStart; }

// Left to right across a row, for passages that cross the whole row as one straight edge.
// Coincident passages go downward ones first, so the order never depends on the order the edges
// came in.
inline bool BandBefore(const RowPassage& a, const RowPassage& b)
{
    if (TopX(a) != TopX(b)) return TopX(a) < TopX(b);
    if (BottomX(a) != BottomX(b)) return BottomX(a) < BottomX(b);
    return a.yStart < b.yStart;
}

// Sorts a few passages in that order and tells whether none crosses another.
inline bool OrderBands(const RowPassage** order, int count)
{
    for (int i = 1; i < count; ++i) {
        const RowPassage* v = order[i];
        int j = i;
        while (j > 0 && BandBefore(*v, *order[j - 1])) {
            order[j] = order[j - 1];
            --j;
        }
        order[j] = v;
    }
    for (int i = 1; i < count; ++i)
        if (BottomX(*order[i]) < BottomX(*order[i - 1])) return false;
    return true;
}

} // namespace

// The exact coverage of pixel column col across the ordered passages reaching into it, from the
// winding w left of them.
std::uint32_t CellRasterizer::BandArea(const RowPassage* const* order, BandMemo* memo, int count, int w, int col,
                                       bool nonZero) const
{
    bool inside = Inside(w, nonZero);
    std::int64_t alpha = inside ? kFullAlpha : 0;
    for (int i = 0; i < count; ++i) {
        const RowPassage& p = *order[i];
        const int dir = p.yEnd > p.yStart ? 1 : -1;
        w += dir;
        const bool now = Inside(w, nonZero);
        if (now == inside) continue;
        // A passage made of one stretch of edge runs between its own ends.
        const RowPiece edge{p.row, p.xStart, p.yStart, p.xEnd, p.yEnd};
        const std::int64_t a = EdgeAlpha(edge, col, memo ? memo + i : nullptr);
        alpha += now == (dir > 0) ? a : -a;
        inside = now;
    }
    return ExactCoverage(alpha, true);
}

// A pixel whose passages each cross the whole row as one straight edge, none crossing another,
// right of outline parts that leave the same winding at every height of the row, lies across
// bands of one winding each: its coverage is the exact area of the inside bands, the signed areas
// of the passages where inside turns to outside or back. Everything looked at is the pixel's own
// passages and those wholly left of it, so a tile sees the same as the whole drawing.
// Brings the passages of the clusters left of this one into the band events and, for a new
// cluster, orders its passages as bands if they are.
void CellRasterizer::OrderClusterBands(int cluster, std::int32_t x0)
{
    for (; bandClusters_ < cluster; ++bandClusters_) {
        const WindingCluster& c = clusters_[bandClusters_];
        for (int k = c.unitBegin; k < c.unitEnd; ++k) {
            const PassageUnit& u = units_[k];
            // One across the whole row moves the winding at every height alike.
            if (u.whole()) {
                bandWinding_ += u.dir(0);
                continue;
            }
            AddBandEvents(First(u), 1);
            if (u.pair()) AddBandEvents(Second(u), 1);
        }
    }
    const WindingCluster& c = clusters_[cluster];

    // Most clusters are nothing but such passages: ordered once, each pixel takes the ones
    // reaching into it (a run of the order), with the winding left of the first.
    if (bandCluster_ != cluster) {
        bandCluster_ = cluster;
        bool whole = bandUnbalanced_ == 0;
        for (int k = c.unitBegin; k < c.unitEnd && whole; ++k) whole = units_[k].band(0) && units_[k].band(1);
        bandOrdered_ = false;
        if (whole) {
            // The stores only grow.
            const std::size_t most = 2 * static_cast<std::size_t>(c.unitEnd - c.unitBegin);
            if (bandOrder_.size() < most) {
                bandOrder_.resize(most);
                bandLeftWindings_.resize(most + 1);
                bandMemo_.resize(most);
            }
            const RowPassage** const order = bandOrder_.data();
            int n = 0;
            for (int k = c.unitBegin; k < c.unitEnd; ++k) {
                const PassageUnit& u = units_[k];
                order[n++] = &First(u);
                if (u.pair()) order[n++] = &Second(u);
            }
            bandCount_ = n;
            bandOrdered_ = OrderBands(order, n);
        }
        if (bandOrdered_) {
            const int n = bandCount_;
            const RowPassage* const* const order = bandOrder_.data();
            int* const lefts = bandLeftWindings_.data();
            BandMemo* const memo = bandMemo_.data();
            int w = bandWinding_;
            for (int i = 0; i < n; ++i) {
                lefts[i] = w;
                w += order[i]->yEnd > order[i]->yStart ? 1 : -1;
                memo[i] = BandMemo{};
            }
            lefts[n] = w;
            bandFrom_ = bandTo_ = 0;
            bandFromX_ = x0;
        }
    }
}

// True when the cluster's passages cross the row as ordered bands none of which crosses the left
// border of pixel column col: every sample line has the same winding there.
bool CellRasterizer::BandsLevelAt(int cluster, int col)
{
    const std::int32_t x0 = col * kSubpixelScale;
    if (bandCluster_ != cluster) OrderClusterBands(cluster, x0);
    if (!bandOrdered_) return false;
    // Ordered bands that do not cross have both ends, so their least and greatest x, in order.
    const int n = bandCount_;
    const RowPassage* const* const order = bandOrder_.data();
    if (x0 < bandFromX_) bandFrom_ = bandTo_ = 0;
    int first = bandFrom_;
    while (first < n && order[first]->maxX < x0) ++first;
    bandFrom_ = first;
    bandFromX_ = x0;
    return first == n || order[first]->minX >= x0;
}

bool CellRasterizer::BandCoverage(int cluster, int col, std::int64_t alpha, bool nonZero, std::uint32_t& coverage)
{
    const WindingCluster& c = clusters_[cluster];
    const std::int32_t x0 = col * kSubpixelScale;
    constexpr int kMostBands = 16;
    if (bandCluster_ != cluster) OrderClusterBands(cluster, x0);
    if (bandOrdered_) {
        const int n = bandCount_;
        // The sweep asks for the cluster's pixels left to right: passages ending left of one
        // pixel end left of the next, so the search goes on from where the last one stopped.
        if (x0 < bandFromX_) bandFrom_ = bandTo_ = 0;
        const RowPassage* const* const order = bandOrder_.data();
        int first = bandFrom_;
        while (first < n && order[first]->maxX < x0) ++first;
        bandFrom_ = first;
        bandFromX_ = x0;
        // Their left ends are in order too: those reaching into the pixel end where the last
        // pixel's did or further on.
        int last = std::max(first, bandTo_);
        while (last < n && (order[last]->minX >> kSubpixelShift) <= col) ++last;
        bandTo_ = last;
        if (last - first > kMostBands) return false;
        // Where the windings about the pixel hold, its swept alpha is its coverage.
        const int* const lefts = bandLeftWindings_.data();
        int lo = lefts[first], hi = lo;
        for (int i = first + 1; i <= last; ++i) {
            lo = std::min(lo, lefts[i]);
            hi = std::max(hi, lefts[i]);
        }
        if (AreaHolds(lo, hi, nonZero)) {
            coverage = ExactCoverage(alpha, nonZero);
            return true;
        }
        coverage = BandArea(bandOrder_.data() + first, bandMemo_.data() + first, last - first, bandLeftWindings_[first],
                            col, nonZero);
        return true;
    }

    const RowPassage* touching[kMostBands];
    int count = 0;
    // (The units of a cluster need not be in x order any more.)
    const int end = c.unitEnd;
    for (int k = c.unitBegin; k < end; ++k) {
        const PassageUnit& u = units_[k];
        for (int h = 0; h < (u.pair() ? 2 : 1); ++h) {
            const RowPassage& p = h == 0 ? First(u) : Second(u);
            if (p.maxX < x0 || (p.minX >> kSubpixelShift) > col) continue;
            if (p.pieces != 1 || !WholeRow(p) || count == kMostBands) return false;
            touching[count++] = &p;
        }
    }
    // The windings the passages wholly left of the pixel leave.
    auto lefts = [&](int sign) {
        for (int k = c.unitBegin; k < end; ++k) {
            const PassageUnit& u = units_[k];
            if (!u.pair()) {
                if (u.maxX >= x0) continue;
                if (u.whole()) bandWinding_ += sign * u.dir(0);
                else AddBandEvents(First(u), sign);
                continue;
            }
            if (First(u).maxX < x0) AddBandEvents(First(u), sign);
            if (Second(u).maxX < x0) AddBandEvents(Second(u), sign);
        }
    };
    lefts(1);
    const bool level = bandUnbalanced_ == 0;
    const int w = bandWinding_;
    lefts(-1);
    if (!level || !OrderBands(touching, count)) return false;
    coverage = BandArea(touching, nullptr, count, w, col, nonZero);
    return true;
}

void CellRasterizer::SortRows()
{
    // Only the rows the outline reached are counted; indices below are relative to rowLo_.
    const int rows = rowHi_ >= rowLo_ ? rowHi_ - rowLo_ + 1 : 0;
    rowCount_ = rows;
    rowStart_.assign(rows + 1, 0);
    const PixelCell* const cellsBegin = cells_.data();
    const PixelCell* const cellsEnd = cellsBegin + cellCount_;
    for (const PixelCell* c = cellsBegin; c < cellsEnd; ++c) ++rowStart_[c->row - rowLo_ + 1];
    for (int r = 1; r <= rows; ++r) rowStart_[r] += rowStart_[r - 1];
    // rowStart_[r] begins row r; rowEnd_[r] is where its next cell goes, then where it ends.
    rowEnd_.assign(rowStart_.begin(), rowStart_.begin() + rows);
    sorted_.resize(cellCount_);
    // With many cells for the tile's width, ordering them by column first (columns left of the
    // tile are already folded into one, those right of it only need to come last) and then by
    // row leaves every row in column order, without a comparison sort per row; cells of one
    // column then reach their row one after another and are merged as they come.
    const int columns = right_ - left_ + 2;
    const bool byColumn = cellCount_ >= 2 * static_cast<std::size_t>(columns);
    if (byColumn) {
        auto column = [&](const PixelCell& c) { return std::min(std::max(c.x, left_ - 1), right_) - (left_ - 1); };
        columnStart_.assign(columns + 1, 0);
        for (const PixelCell* c = cellsBegin; c < cellsEnd; ++c) ++columnStart_[column(*c) + 1];
        for (int k = 1; k <= columns; ++k) columnStart_[k] += columnStart_[k - 1];
        byColumn_.resize(cellCount_);
        for (const PixelCell* c = cellsBegin; c < cellsEnd; ++c) byColumn_[columnStart_[column(*c)]++] = *c;
        PixelCell* const out = sorted_.data();
        const int* const begins = rowStart_.data();
        int* const ends = rowEnd_.data();
        const int rowBase = rowLo_;
        for (const PixelCell& c : byColumn_) {
            const int r = c.row - rowBase;
            int& at = ends[r];
            if (at > begins[r] && out[at - 1].x == c.x) {
                out[at - 1].cover += c.cover;
                out[at - 1].area += c.area;
            } else {
                out[at++] = c;
            }
        }
    } else {
        for (const PixelCell* c = cellsBegin; c < cellsEnd; ++c) sorted_[rowEnd_[c->row - rowLo_]++] = *c;
    }
    GroupPassagesByRow();
    if (byColumn) return;   // already in column order and merged
    for (int r = 0; r < rows; ++r) {
        PixelCell* begin = sorted_.data() + rowStart_[r];
        PixelCell* end = sorted_.data() + rowEnd_[r];
        if (end - begin < 2) continue;
        if (end - begin <= 12) {
            for (PixelCell* i = begin + 1; i < end; ++i) {
                PixelCell v = *i;
                PixelCell* j = i;
                while (j > begin && (j - 1)->x > v.x) { *j = *(j - 1); --j; }
                *j = v;
            }
        } else {
            std::sort(begin, end, [](const PixelCell& a, const PixelCell& b) { return a.x < b.x; });
        }
        // Merge equal columns in place.
        PixelCell* out = begin;
        for (PixelCell* i = begin + 1; i < end; ++i) {
            if (i->x == out->x) { out->cover += i->cover; out->area += i->area; }
            else *++out = *i;
        }
        rowEnd_[r] = static_cast<int>(out + 1 - sorted_.data());
    }
}

// The passages by row, in the order they came.
void CellRasterizer::GroupPassagesByRow()
{
    const int rows = rowCount_;
    passageStart_.assign(rows + 2, 0);
    const RowPassage* const passagesEnd = passages_.data() + passageCount_;
    for (const RowPassage* p = passages_.data(); p < passagesEnd; ++p) ++passageStart_[p->row - rowLo_ + 2];
    for (int r = 2; r < rows + 2; ++r) passageStart_[r] += passageStart_[r - 1];
    sortedPassages_.resize(passageCount_);
    for (const RowPassage* p = passages_.data(); p < passagesEnd; ++p)
        sortedPassages_[passageStart_[p->row - rowLo_ + 1]++] = *p;
}

// The row's passages as units (a passage, or the two arms of a turn inside the row), in the order
// they came, each with what the windings need of its arms.
void CellRasterizer::MakeUnits(int row)
{
    const int begin = passageStart_[row], end = passageStart_[row + 1];
    if (units_.size() < static_cast<std::size_t>(end - begin)) units_.resize(end - begin);
    // Sample line s lies at height 8 + 16 s of the row; a passage holds the lines at or below its
    // upper end and above its lower end.
    auto arm = [](const RowPassage& p, int k) {
        const std::int32_t ylo = std::min(p.yStart, p.yEnd), yhi = std::max(p.yStart, p.yEnd);
        const std::uint32_t s0 = static_cast<std::uint32_t>(std::max(0, (ylo - 8 + 15) >> 4));
        const std::uint32_t s1 = static_cast<std::uint32_t>(std::min(kSampleLines, (yhi - 8 + 15) >> 4));
        std::uint32_t bits = (s0 | s1 << 5) << (10 * k);
        if (p.yEnd > p.yStart) bits |= PassageUnit::kDown << k;
        if (p.pieces == 1 && WholeRow(p)) bits |= PassageUnit::kBand << k;
        return bits;
    };
    const RowPassage* const passages = sortedPassages_.data();
    PassageUnit* const units = units_.data();
    int count = 0;
    for (int i = begin; i < end; ++i) {
        const RowPassage& p = passages[i];
        PassageUnit& u = units[count++];
        // The arms of a turn are neighbours.
        if (i + 1 < end && passages[i + 1].turnsBack) {
            // The two arms of a turn do not cross; on every line the arm whose far end lies
            // further left is met first.
            const RowPassage& b = passages[i + 1];
            const bool aLeft = p.xStart < b.xEnd || (p.xStart == b.xEnd && p.minX <= b.minX);
            u.minX = std::min(p.minX, b.minX);
            u.maxX = std::max(p.maxX, b.maxX);
            u.passage = aLeft ? i : i + 1;
            u.bits = PassageUnit::kPair | (aLeft ? 0 : PassageUnit::kSecondBefore) | arm(aLeft ? p : b, 0) |
                     arm(aLeft ? b : p, 1);
            ++i;
        } else {
            u.minX = p.minX;
            u.maxX = p.maxX;
            u.passage = i;
            const bool down = p.yEnd > p.yStart;
            const std::uint32_t topLeft = down == (p.xStart <= p.xEnd) ? PassageUnit::kTopLeft : 0;
            if (p.yStart + p.yEnd == kSubpixelScale && (p.yStart & ~kSubpixelScale) == 0) {
                // Across the whole row (the commonest): it holds every line.
                constexpr std::uint32_t allLines = static_cast<std::uint32_t>(kSampleLines) << 5;
                u.bits = PassageUnit::kWhole | allLines | allLines << 10 | topLeft |
                         (down ? PassageUnit::kDown | PassageUnit::kDown << 1 : 0) |
                         (p.pieces == 1 ? PassageUnit::kBand | PassageUnit::kBand << 1 : 0);
            } else {
                // The second arm reads as the first.
                const std::uint32_t first = arm(p, 0);
                u.bits = first | (first & 0x3FF) << 10 | (first & (PassageUnit::kDown | PassageUnit::kBand)) << 1 | topLeft;
            }
        }
    }
    unitCount_ = count;
}
