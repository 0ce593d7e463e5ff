#include "CoverageBands.h"

#include <algorithm>

CoverageRecorder::CoverageRecorder(CoverageRows& rows, int top, int rowCount)
    : rows_(rows), top_(top), rowCount_(rowCount), row_(top - 1)
{
    rows_.rowStart.clear();
    rows_.stretches.clear();
    rows_.rowStart.reserve(rowCount + 1);
    // A few stretches a row, taken at once rather than grown into.
    rows_.stretches.reserve(4 * static_cast<std::size_t>(rowCount));
}

// Rows up to y begin where the stretches end so far.
void CoverageRecorder::MoveTo(int y)
{
    const int index = std::min(y, top_ + rowCount_) - top_;
    while (static_cast<int>(rows_.rowStart.size()) <= index)
        rows_.rowStart.push_back(static_cast<int>(rows_.stretches.size()));
    row_ = y;
}

void EdgeTally::Reset(int top, int rows)
{
    top_ = top;
    rows_ = rows;
    starts_.assign(rows + 1, 0);
}

int EdgeTally::MostPerRow() const
{
    int most = 0, running = 0;
    for (int r = 0; r < rows_; ++r) {
        running += starts_[r];
        most = std::max(most, running);
    }
    return most;
}

SplitDrawingCache::SplitDrawingCache(const RECT& area, bool pathInside) : area_(area), pathInside_(pathInside)
{
    const int rows = area.bottom > area.top ? area.bottom - area.top : 0;
    bands_.resize((rows + kBandRows - 1) / kBandRows);
}

bool SplitDrawingCache::Covers(const RECT& tile) const
{
    return tile.left >= area_.left && tile.right <= area_.right && tile.top >= area_.top &&
           tile.bottom <= area_.bottom && tile.left < tile.right && tile.top < tile.bottom;
}

RECT SplitDrawingCache::BandRect(int index) const
{
    const int top = area_.top + index * kBandRows;
    return RECT{area_.left, top, area_.right, std::min<LONG>(top + kBandRows, area_.bottom)};
}
