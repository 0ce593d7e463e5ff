#include "PassageFloor.h"

#include <algorithm>

namespace {

// floor and ceiling of values already brought within the int range, without the library calls.
inline int FloorOf(double v)
{
    const int t = static_cast<int>(v);
    return t - (v < t ? 1 : 0);
}
inline int CeilingOf(double v)
{
    const int t = static_cast<int>(v);
    return t + (v > t ? 1 : 0);
}

} // namespace

void PassageFloor::Reset(const RECT& tile)
{
    top_ = tile.top;
    bottom_ = tile.bottom;
    left_ = tile.left;
    right_ = tile.right;
    starts_.assign(static_cast<std::size_t>(std::max(0, bottom_ - top_)) + 1, 0);
}

void PassageFloor::AddLong(double x0, double y0, double x1, double y1, int weight, double keepX, int keepRows)
{
    const double ylo = std::min(y0, y1), yhi = std::max(y0, y1);
    const double lowest = top_ - 1.0, highest = bottom_ + 1.0;
    // Rows [first, last] the edge crosses whole, within the tile.
    int first = CeilingOf(std::max(ylo, lowest)) + keepRows;
    int last = FloorOf(std::min(yhi, highest)) - 1 - keepRows;
    first = std::max(first, top_);
    last = std::min(last, bottom_ - 1);
    if (first > last) return;
    const double a = left_ + 1 + keepX, b = right_ - 1 - keepX;
    if (!(a < b)) return;
    const double slope = (x1 - x0) / (y1 - y0);
    if (slope == 0) {
        if (x0 < a || x0 > b) return;
    } else if (slope == slope) {
        // Heights between which the edge stays within [a, b].
        double ya = y0 + (a - x0) / slope, yb = y0 + (b - x0) / slope;
        if (ya > yb) std::swap(ya, yb);
        if (!(ya <= highest && yb >= lowest)) return;
        first = std::max(first, CeilingOf(std::max(ya, lowest)));
        last = std::min(last, FloorOf(std::min(yb, highest)) - 1);
    } else {
        return;
    }
    if (first > last) return;
    starts_[first - top_] += weight;
    starts_[last + 1 - top_] -= weight;
}

int PassageFloor::Most() const
{
    int most = 0, running = 0;
    for (std::size_t r = 0; r + 1 < starts_.size(); ++r) {
        running += starts_[r];
        most = std::max(most, running);
    }
    return most;
}
