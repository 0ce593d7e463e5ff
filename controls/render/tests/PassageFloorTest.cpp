// The passage floor may call a tile too complex only where the scan converter, given the same
// edges, would find a row with too many passages itself: it is a lower bound, never a guess.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "CellRasterizer.h"
#include "EdgeFeed.h"
#include "PassageFloor.h"
#include "StrokeOutline.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Point {
    double x, y;
};

// A star of long spikes: near its middle many edges cross the same rows.
std::vector<Point> Star(double cx, double cy, int spikes, double inner, double outer, double turn)
{
    std::vector<Point> p;
    for (int i = 0; i < 2 * spikes; ++i) {
        const double a = kPi * i / spikes + turn, r = i % 2 ? inner : outer;
        p.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return p;
}

// A comb of tall teeth side by side: every tooth crosses the same rows twice.
std::vector<Point> Comb(double left, int teeth, double pitch)
{
    std::vector<Point> p{{left, 300}};
    for (int k = 0; k < teeth; ++k) {
        const double x = left + 0.3 + pitch * k;
        p.push_back({x, 250});
        p.push_back({x + 0.2, 20.5});
        p.push_back({x + pitch / 2, 20.5});
        p.push_back({x + pitch / 2 + 0.1, 250});
    }
    p.push_back({left + pitch * teeth, 300});
    return p;
}

struct FloorCase {
    const char* name;
    std::vector<Point> path;
    double halfWidth;   // 0: the fill
};

// What the scan converter finds for the tile, counting passages as a real pass does.
bool ConverterOverflows(const FloorCase& c, const RECT& tile)
{
    CellRasterizer cells(1 << 22);
    cells.Reset(tile.left, tile.top, tile.right, tile.bottom);
    cells.CountOnly(true);
    EdgeFeed feed(cells);
    if (c.halfWidth == 0) {
        feed.Polygon(c.path.data(), static_cast<int>(c.path.size()));
    } else {
        std::vector<StrokePoint> points;
        for (const Point& p : c.path) points.push_back({p.x, p.y, false});
        StrokeOutline outline;
        outline.Build(points.data(), static_cast<int>(points.size()), true, c.halfWidth, feed);
    }
    return cells.overflowed();
}

int FloorOf(const FloorCase& c, const RECT& tile)
{
    PassageFloor floor;
    floor.Reset(tile);
    const int n = static_cast<int>(c.path.size());
    const bool outline = c.halfWidth > 0;
    const int joinRows = static_cast<int>(5.2 * c.halfWidth) + 2;
    for (int k = 0; k < n; ++k) {
        const Point& a = c.path[k];
        const Point& b = c.path[(k + 1) % n];
        if (outline)
            floor.Add(a.x, a.y, b.x, b.y, 2, c.halfWidth, joinRows);
        else
            floor.Add(a.x, a.y, b.x, b.y, 1, 0, 0);
    }
    return floor.Most();
}

TEST(PassageFloor, NeverCallsATileTooComplexThatTheConverterTakes)
{
    const FloorCase cases[] = {
        {"star of 300 spikes, filled", Star(512, 512, 300, 100, 500, 0), 0},
        {"star of 300 spikes, outlined 2 px", Star(512, 512, 300, 100, 500, 0), 1},
        {"star of 90 spikes, outlined 7 px", Star(400, 400, 90, 60, 380, 0.013), 3.5},
        {"comb of 70 teeth, filled", Comb(5.25, 70, 3), 0},
        {"comb of 64 teeth, filled", Comb(5.25, 64, 3), 0},
        {"comb of 40 teeth, outlined 3 px", Comb(5.25, 40, 6.5), 1.5},
    };
    int provedTooComplex = 0;
    for (const FloorCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (int size : {1000, 500, 250, 125, 63}) {
            for (int top = 0; top < 1024; top += size) {
                for (int left = 0; left < 1024; left += size) {
                    const RECT tile{left, top, left + size, top + size};
                    const int floor = FloorOf(c, tile);
                    if (floor < kRowPassageLimit) continue;
                    ++provedTooComplex;
                    EXPECT_TRUE(ConverterOverflows(c, tile))
                        << "tile " << left << "," << top << " of " << size << ": floor " << floor;
                }
            }
        }
    }
    // The floor does prove something: the star's middle and the denser combs.
    EXPECT_GT(provedTooComplex, 10);
}

TEST(PassageFloor, CountsOnlyEdgesAcrossWholeRowsWellInside)
{
    PassageFloor floor;
    floor.Reset(RECT{10, 10, 30, 40});
    floor.Add(15.5, 0, 15.5, 100, 1, 0, 0);     // a whole column of rows
    floor.Add(20.5, 12.5, 20.5, 13.9, 1, 0, 0); // inside one row only: no row crossed whole
    floor.Add(10.5, 0, 10.5, 100, 1, 0, 0);     // hugs the left side
    floor.Add(29.5, 0, 29.5, 100, 1, 0, 0);     // hugs the right side
    floor.Add(0, 20, 40, 21, 1, 0, 0);          // runs across the tile: no row crossed whole inside it
    floor.Add(std::nan(""), 0, 20, 30, 1, 0, 0);
    EXPECT_EQ(1, floor.Most());
    floor.Add(16.5, 35, 16.5, 5, 3, 0, 0);      // upwards counts the same
    EXPECT_EQ(4, floor.Most());
}

} // namespace
