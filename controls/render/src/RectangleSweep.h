#pragma once
// Fills whose outline is one axis-aligned rectangle, after the walk and the snap to the 1/256 grid,
// need no scan conversion: every pixel's exact coverage is the product of its overlaps across and
// down (2 * ox * oy in the sweep's alpha units, exactly what the cell sweep finds for such edges).
// The rows are handed on stretch by stretch as CellRasterizer::Sweep would hand them, so painting
// and recording see the same calls in the same order.
#include <cstdint>

#include "CellRasterizer.h"
#include "EdgeFeed.h"
#include "PathWalk.h"

// A rectangle in 24.8 fixed point, left < right and top < bottom.
struct FixedRect {
    std::int32_t left, top, right, bottom;
};

// The walk's polygon as a rectangle: one sub-path through four corners in turn, each side along an
// axis (repeated points aside). False for anything else, degenerate rectangles included.
inline bool FindRectangle(const PathWalk& walk, FixedRect& rect)
{
    if (walk.subpaths().size() != 1) return false;
    const WalkSubpath& sub = walk.subpaths()[0];
    const WalkPoint* const p = walk.points().data() + sub.first;
    std::int32_t xs[4], ys[4];
    int corners = 0;
    for (int k = 0; k < sub.count; ++k) {
        std::int32_t x, y;
        if (!EdgeFeed::ToFixedNear(p[k].x, x) || !EdgeFeed::ToFixedNear(p[k].y, y)) return false;
        if (corners > 0 && x == xs[corners - 1] && y == ys[corners - 1]) continue;
        if (corners == 4) {
            // Only the start again may follow the fourth corner.
            if (x != xs[0] || y != ys[0]) return false;
            continue;
        }
        xs[corners] = x;
        ys[corners] = y;
        ++corners;
    }
    if (corners != 4) return false;
    for (int k = 0; k < 4; ++k) {
        const int next = (k + 1) & 3;
        if ((xs[k] == xs[next]) == (ys[k] == ys[next])) return false;   // one coordinate changes
    }
    if (xs[0] == xs[2] || ys[0] == ys[2] || xs[1] == xs[3] || ys[1] == ys[3]) return false;
    rect.left = xs[0] < xs[2] ? xs[0] : xs[2];
    rect.right = xs[0] < xs[2] ? xs[2] : xs[0];
    rect.top = ys[0] < ys[2] ? ys[0] : ys[2];
    rect.bottom = ys[0] < ys[2] ? ys[2] : ys[0];
    return true;
}

// Whether SweepRectangle serves the tile [left, right) x [top, bottom) (pixels): both sides of the
// rectangle lie within the tile's columns (or on its right border), so every row of it meets a
// side inside the tile, as the sweep's row loop expects.
inline bool RectangleSweepServes(const FixedRect& rect, int left, int right)
{
    return rect.left >= left * kSubpixelScale && rect.right <= right * kSubpixelScale;
}

// Hands the rectangle's coverage in the tile to emit, row by row, as the cell sweep would.
template <class Emit>
void SweepRectangle(const FixedRect& rect, int left, int top, int right, int bottom, Emit& emit)
{
    const int firstRow = rect.top >> kSubpixelShift, lastRow = (rect.bottom - 1) >> kSubpixelShift;
    const int from = firstRow > top ? firstRow : top, to = lastRow < bottom - 1 ? lastRow : bottom - 1;
    const int cl = rect.left >> kSubpixelShift, cr = rect.right >> kSubpixelShift;
    const std::int32_t fl = rect.left & (kSubpixelScale - 1), fr = rect.right & (kSubpixelScale - 1);
    for (int y = from; y <= to; ++y) {
        const std::int32_t rowTop = y * kSubpixelScale;
        const std::int32_t h = (rect.bottom < rowTop + kSubpixelScale ? rect.bottom : rowTop + kSubpixelScale) -
                               (rect.top > rowTop ? rect.top : rowTop);
        CoverageStretch stretches[3];
        int count = 0;
        auto put = [&](int x0, int x1, std::uint32_t v) {
            if (Visible(v)) stretches[count++] = {x0, x1, v};
        };
        if (cl == cr) {
            put(cl, cl + 1, static_cast<std::uint32_t>(2 * h * (fr - fl)));
        } else {
            put(cl, cl + 1, static_cast<std::uint32_t>(2 * h * (kSubpixelScale - fl)));
            const int runEnd = cr < right ? cr : right;
            if (cl + 1 < runEnd) put(cl + 1, runEnd, static_cast<std::uint32_t>(h * 2 * kSubpixelScale));
            if (cr < right) put(cr, cr + 1, static_cast<std::uint32_t>(2 * h * fr));
        }
        if (count > 0) EmitStretches(emit, y, stretches, count);
    }
}
