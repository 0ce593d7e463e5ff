#pragma once
// A lower bound on the passages of an outline through each row of a tile, found from its edges
// before any is rasterised. An edge that crosses a whole row well within the tile's columns enters
// the row at its top or bottom and leaves at the other, so it is a passage of its own there; when a
// row gathers the row limit of such edges, the tile is too complex whatever else it holds, and the
// scan conversion that would find that out is not needed.
#include <windows.h>

#include <vector>

class PassageFloor {
public:
    void Reset(const RECT& tile);

    // The edge from (x0, y0) to (x1, y1), in pixels, counts weight passages in each row it crosses
    // whole, leaving out keepRows rows at either end, where it stays keepX pixels (and one more)
    // inside the tile's sides.
    void Add(double x0, double y0, double x1, double y1, int weight, double keepX, int keepRows)
    {
        // Most edges of a flattened outline are shorter than a row (and a NaN fails here as well).
        const double span = y1 - y0;
        if (span >= 1.0 + 2 * keepRows || -span >= 1.0 + 2 * keepRows) AddLong(x0, y0, x1, y1, weight, keepX, keepRows);
    }

    // The most passages one row is sure to hold.
    int Most() const;

private:
    void AddLong(double x0, double y0, double x1, double y1, int weight, double keepX, int keepRows);

    int top_ = 0, bottom_ = 0;
    double left_ = 0, right_ = 0;
    std::vector<int> starts_;   // rows + 1: weights where runs of rows begin, less where they end
};
