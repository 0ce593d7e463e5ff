// The scan converter on its own: an outline converted as one tile, or as a grid of small tiles that
// its edges keep crossing, gives every pixel the same coverage. Edges inside a tile and edges cut
// by its sides take different ways through the converter, so this holds only if both ways give
// each pixel exactly the same cells.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "CellRasterizer.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct FixedPoint {
    std::int32_t x, y;
};

using Figure = std::vector<FixedPoint>;   // closed: the last point joins the first

std::int32_t ToFixed(double v) { return static_cast<std::int32_t>(std::floor(v * kSubpixelScale)); }

// An ellipse cut into chords of about 0.7 pixel, as curves are.
Figure Ellipse(double cx, double cy, double rx, double ry, bool clockwise)
{
    const int steps = static_cast<int>(2 * kPi * std::max(rx, ry) / 0.7) + 8;
    Figure f;
    for (int i = 0; i < steps; ++i) {
        const double t = (clockwise ? -2 : 2) * kPi * i / steps;
        f.push_back({ToFixed(cx + rx * std::cos(t)), ToFixed(cy + ry * std::sin(t))});
    }
    return f;
}

// A comb whose teeth turn back within one pixel row, and step across column boundaries.
Figure Comb(double left, double top, int teeth)
{
    Figure f;
    f.push_back({ToFixed(left), ToFixed(top + 6)});
    for (int i = 0; i < teeth; ++i) {
        const double x = left + i * 0.9;
        f.push_back({ToFixed(x + 0.2), ToFixed(top + 0.3 + 0.05 * i)});
        f.push_back({ToFixed(x + 0.6), ToFixed(top + 0.55 + 0.05 * i)});
    }
    f.push_back({ToFixed(left + teeth * 0.9), ToFixed(top + 6)});
    return f;
}

// Vertices on pixel corners and edges along column and row boundaries.
Figure GridDiamond(int cx, int cy, int r)
{
    return {{cx * kSubpixelScale, (cy - r) * kSubpixelScale},
            {(cx + r) * kSubpixelScale, cy * kSubpixelScale},
            {cx * kSubpixelScale, (cy + r) * kSubpixelScale},
            {(cx - r) * kSubpixelScale, cy * kSubpixelScale},
            {(cx - r) * kSubpixelScale, (cy - r) * kSubpixelScale}};
}

// A tall bar with long slanted sides: most of each side crosses rows whole, many of them left of
// a narrow tile.
Figure SlantedBar(double topLeft, double bottomLeft, double width, double top, double bottom, bool clockwise)
{
    Figure f{{ToFixed(topLeft), ToFixed(top)},
             {ToFixed(topLeft + width), ToFixed(top)},
             {ToFixed(bottomLeft + width), ToFixed(bottom)},
             {ToFixed(bottomLeft), ToFixed(bottom)}};
    if (clockwise) std::reverse(f.begin(), f.end());
    return f;
}

using Coverage = std::map<std::pair<int, int>, std::uint32_t>;   // (y, x) -> exact coverage

// Converts the figures in tiles of tileWidth x tileHeight over [0, width) x [0, height).
Coverage Convert(const std::vector<Figure>& figures, bool nonZero, int width, int height, int tileWidth,
                 int tileHeight)
{
    Coverage coverage;
    CellRasterizer cells(1 << 18);
    for (int top = 0; top < height; top += tileHeight) {
        for (int left = 0; left < width; left += tileWidth) {
            const int right = std::min(width, left + tileWidth), bottom = std::min(height, top + tileHeight);
            cells.Reset(left, top, right, bottom);
            for (const Figure& f : figures)
                for (size_t i = 0; i < f.size(); ++i) {
                    const FixedPoint a = f[i], b = f[(i + 1) % f.size()];
                    cells.AddEdge(a.x, a.y, b.x, b.y);
                }
            EXPECT_FALSE(cells.overflowed());
            struct Collect {
                Coverage& coverage;
                int left, top, right, bottom;
                void operator()(int y, int x0, int x1, std::uint32_t v)
                {
                    ASSERT_TRUE(y >= top && y < bottom && x0 >= left && x1 <= right && x0 < x1)
                        << "stretch " << x0 << ".." << x1 << " of row " << y << " outside its tile";
                    for (int x = x0; x < x1; ++x)
                        ASSERT_TRUE(coverage.emplace(std::make_pair(y, x), v).second) << "pixel " << x << "," << y << " twice";
                }
            } collect{coverage, left, top, right, bottom};
            cells.Sweep(nonZero, collect);
        }
    }
    return coverage;
}

struct Drawing {
    const char* name;
    std::vector<Figure> figures;
};

}  // namespace

TEST(CellRasterizer, SmallTilesGiveTheCoverageOfOneTile)
{
    const Drawing drawings[] = {
        {"ellipse", {Ellipse(30.37, 25.81, 21.3, 17.45, false)}},
        {"clockwise ellipse", {Ellipse(29.5, 24.5, 11.0, 19.25, true)}},
        {"overlapping ellipses", {Ellipse(24.2, 24.9, 15.3, 12.1, false), Ellipse(33.7, 27.3, 13.9, 16.4, false)}},
        {"ellipse with a hole", {Ellipse(30.1, 25.2, 20.3, 18.7, false), Ellipse(30.6, 25.9, 8.3, 6.2, true)}},
        {"comb", {Comb(3.3, 10.45, 40)}},
        {"diamond on the grid", {GridDiamond(28, 24, 17)}},
        {"crossing tall bars",
         {SlantedBar(10.3, 31.7, 9.45, 1.6, 54.3, false), SlantedBar(36.2, 12.9, 7.85, 2.45, 53.1, false)}},
        {"tall bars wound both ways",
         {SlantedBar(8.6, 14.1, 30.2, 0.7, 55.4, false), SlantedBar(20.35, 17.8, 6.1, 3.5, 51.25, true),
          SlantedBar(22.1, 25.3, 12.6, 5.15, 49.9, false)}},
    };
    const std::pair<int, int> tilings[] = {{7, 5}, {16, 3}, {1, 1}, {3, 64}};
    for (const Drawing& d : drawings) {
        for (bool nonZero : {true, false}) {
            SCOPED_TRACE(testing::Message() << d.name << (nonZero ? ", non-zero" : ", even-odd"));
            const Coverage whole = Convert(d.figures, nonZero, 64, 56, 64, 56);
            ASSERT_GT(whole.size(), 40u);
            for (const auto& tiling : tilings) {
                SCOPED_TRACE(testing::Message() << "tiles of " << tiling.first << " x " << tiling.second);
                const Coverage tiled = Convert(d.figures, nonZero, 64, 56, tiling.first, tiling.second);
                EXPECT_EQ(whole.size(), tiled.size());
                int differences = 0;
                for (const auto& [pixel, v] : whole) {
                    const auto it = tiled.find(pixel);
                    if ((it == tiled.end() || it->second != v) && ++differences <= 5)
                        ADD_FAILURE() << "pixel " << pixel.second << "," << pixel.first << ": whole " << v << ", tiled "
                                      << (it == tiled.end() ? 0u : it->second);
                }
            }
        }
    }
}

TEST(CellRasterizer, ChordsAcrossColumnBoundariesGiveEachPixelItsArea)
{
    // A band whose long sides are chords of 0.4 to 0.99 pixel stepping across column boundaries
    // up and down, some ending exactly on a boundary: each pixel's coverage is the area of the
    // figure inside it (clipped in double precision), but for the crossings of row and column
    // boundaries, which fall on whole 1/256 pixels (each moves at most 1/256 of the pixel; a
    // pixel here holds at most four of them). A cell split the wrong way moves far more. Pixels
    // left out are those too faint to show.
    const double tolerance = 4.0 * kFullAlpha / kSubpixelScale;
    Figure f;
    const int chords = 60;
    for (int i = 0; i <= chords; ++i) f.push_back({ToFixed(4.1 + i * 0.71), ToFixed(10.2 + 0.37 * i)});
    f.push_back({ToFixed(4.1 + chords * 0.71), ToFixed(14.0 + 0.37 * chords)});
    for (int i = chords; i >= 0; --i) {
        const double x = 4.1 + i * 0.71, y = 20.7 + 0.37 * i - (i % 2 ? 0.6 : 0.0);
        f.push_back({i % 5 == 0 ? static_cast<std::int32_t>(std::floor(x)) * kSubpixelScale : ToFixed(x), ToFixed(y)});
    }
    auto areaInPixel = [&f](int px, int py) {
        std::vector<std::pair<double, double>> poly;
        for (const FixedPoint& p : f) poly.push_back({p.x / 256.0, p.y / 256.0});
        auto clip = [&poly](auto inside, auto cut) {
            std::vector<std::pair<double, double>> out;
            for (size_t i = 0; i < poly.size(); ++i) {
                const auto a = poly[i], b = poly[(i + 1) % poly.size()];
                if (inside(a)) out.push_back(a);
                if (inside(a) != inside(b)) out.push_back(cut(a, b));
            }
            poly = out;
        };
        auto atX = [](double x) {
            return [x](std::pair<double, double> a, std::pair<double, double> b) {
                return std::make_pair(x, a.second + (b.second - a.second) * (x - a.first) / (b.first - a.first));
            };
        };
        auto atY = [](double y) {
            return [y](std::pair<double, double> a, std::pair<double, double> b) {
                return std::make_pair(a.first + (b.first - a.first) * (y - a.second) / (b.second - a.second), y);
            };
        };
        clip([px](auto p) { return p.first >= px; }, atX(px));
        clip([px](auto p) { return p.first <= px + 1; }, atX(px + 1));
        clip([py](auto p) { return p.second >= py; }, atY(py));
        clip([py](auto p) { return p.second <= py + 1; }, atY(py + 1));
        double twice = 0;
        for (size_t i = 0; i < poly.size(); ++i) {
            const auto a = poly[i], b = poly[(i + 1) % poly.size()];
            twice += a.first * b.second - b.first * a.second;
        }
        return std::fabs(twice) / 2;
    };
    for (const auto& tiling : {std::make_pair(64, 56), std::make_pair(5, 4)}) {
        SCOPED_TRACE(testing::Message() << "tiles of " << tiling.first << " x " << tiling.second);
        const Coverage c = Convert({f}, true, 64, 56, tiling.first, tiling.second);
        int checked = 0;
        for (int y = 0; y < 56; ++y)
            for (int x = 0; x < 64; ++x) {
                const double expect = areaInPixel(x, y) * kFullAlpha;
                const auto it = c.find({y, x});
                if (it == c.end()) {
                    EXPECT_LT(expect, kFullAlpha / 255.0 + tolerance) << "pixel " << x << "," << y << " left out";
                    continue;
                }
                EXPECT_NEAR(expect, it->second, tolerance) << "pixel " << x << "," << y;
                checked += expect < kFullAlpha ? 1 : 0;
            }
        EXPECT_GT(checked, 100);
    }
}

TEST(CellRasterizer, ATileOnlyCountedLeavesNothingForTheNext)
{
    // Long sides left of the tile are kept for the sweep; a pass that is never swept (counting,
    // or one that proved too complex) must not hand them on to the next tile.
    const std::vector<Figure> figures{SlantedBar(2.3, 5.8, 20.4, 1.2, 54.6, false),
                                      SlantedBar(4.1, 3.3, 12.7, 6.55, 50.2, true)};
    auto feed = [&figures](CellRasterizer& cells) {
        for (const Figure& f : figures)
            for (size_t i = 0; i < f.size(); ++i) {
                const FixedPoint a = f[i], b = f[(i + 1) % f.size()];
                cells.AddEdge(a.x, a.y, b.x, b.y);
            }
    };
    using Stretches = std::vector<std::vector<std::uint32_t>>;   // y, x0, x1, coverage
    auto sweep = [](CellRasterizer& cells) {
        Stretches out;
        auto emit = [&out](int y, int x0, int x1, std::uint32_t v) {
            out.push_back({static_cast<std::uint32_t>(y), static_cast<std::uint32_t>(x0), static_cast<std::uint32_t>(x1), v});
        };
        cells.Sweep(false, emit);
        return out;
    };
    CellRasterizer fresh(1 << 16);
    fresh.Reset(14, 0, 19, 56);
    feed(fresh);
    const Stretches expected = sweep(fresh);
    ASSERT_GT(expected.size(), 40u);

    for (const int countedLeft : {9, 14, 30}) {
        SCOPED_TRACE(testing::Message() << "tile counted from column " << countedLeft);
        CellRasterizer cells(1 << 16);
        cells.Reset(countedLeft, 0, countedLeft + 5, 56);
        cells.CountOnly(true);
        feed(cells);
        cells.Reset(14, 0, 19, 56);
        feed(cells);
        EXPECT_EQ(expected, sweep(cells));
    }
}

TEST(CellRasterizer, PassagesApartInARowGiveTheAreaOfTheirWindings)
{
    // Upright rectangles nested and side by side, wound either way: their long sides cross the
    // middle rows whole and apart, some two in one pixel column. Every pixel's coverage is that of
    // its pieces between the rectangles' sides, each whole inside or outside by the fill rule.
    struct Box {
        double l, t, r, b;
        bool clockwise;
    };
    struct Case {
        const char* name;
        std::vector<Box> boxes;
    };
    const Case cases[] = {
        {"nested, wound alike", {{4.25, 3.5, 40.75, 50.25, false}, {10.5, 8.25, 30.5, 44.75, false}}},
        {"nested, the inner one wound back", {{4.25, 3.5, 40.75, 50.25, false}, {10.5, 8.25, 30.5, 44.75, true}}},
        {"sides two to a pixel", {{4.25, 3.5, 40.75, 50.25, false}, {4.75, 6.5, 40.25, 47.5, false}}},
        {"sides two to a pixel, wound back", {{4.25, 3.5, 40.75, 50.25, false}, {4.75, 6.5, 40.25, 47.5, true}}},
        {"three deep", {{2.125, 1.5, 60.5, 54.25, false}, {2.625, 4.5, 58.875, 50.5, false},
                        {20.25, 9.75, 21.5, 45.25, false}}},
        {"side by side, one across a pixel border",
         {{3.5, 2.25, 9.75, 52.5, true}, {10.25, 5.5, 20.0, 49.25, false}, {20.5, 7.25, 31.875, 40.5, true}}},
        {"an outline's two rings", {{5.5, 4.5, 55.5, 50.5, false}, {8.5, 7.5, 52.5, 47.5, true}}},
    };
    auto figure = [](const Box& b) {
        Figure f{{ToFixed(b.l), ToFixed(b.t)}, {ToFixed(b.r), ToFixed(b.t)}, {ToFixed(b.r), ToFixed(b.b)}, {ToFixed(b.l), ToFixed(b.b)}};
        if (b.clockwise) std::reverse(f.begin(), f.end());
        return f;
    };
    for (const Case& c : cases) {
        std::vector<Figure> figures;
        for (const Box& b : c.boxes) figures.push_back(figure(b));
        for (bool nonZero : {true, false}) {
            SCOPED_TRACE(testing::Message() << c.name << (nonZero ? ", non-zero" : ", even-odd"));
            const Coverage got = Convert(figures, nonZero, 64, 56, 64, 56);
            for (int y = 0; y < 56; ++y)
                for (int x = 0; x < 64; ++x) {
                    // The pixel cut at every side of every box: each piece has one winding.
                    std::vector<double> xs{double(x), x + 1.0}, ys{double(y), y + 1.0};
                    for (const Box& b : c.boxes) {
                        for (double v : {b.l, b.r}) if (v > x && v < x + 1) xs.push_back(v);
                        for (double v : {b.t, b.b}) if (v > y && v < y + 1) ys.push_back(v);
                    }
                    std::sort(xs.begin(), xs.end());
                    std::sort(ys.begin(), ys.end());
                    double inside = 0;
                    for (size_t i = 0; i + 1 < xs.size(); ++i)
                        for (size_t j = 0; j + 1 < ys.size(); ++j) {
                            const double mx = (xs[i] + xs[i + 1]) / 2, my = (ys[j] + ys[j + 1]) / 2;
                            int winding = 0;
                            for (const Box& b : c.boxes)
                                if (mx > b.l && mx < b.r && my > b.t && my < b.b) winding += b.clockwise ? -1 : 1;
                            if (nonZero ? winding != 0 : (winding & 1) != 0)
                                inside += (xs[i + 1] - xs[i]) * (ys[j + 1] - ys[j]);
                        }
                    const auto it = got.find({y, x});
                    const double expect = inside * kFullAlpha;
                    if (it == got.end())
                        EXPECT_LT(expect, kFullAlpha / 255.0) << "pixel " << x << "," << y << " left out";
                    else
                        EXPECT_EQ(expect, double(it->second)) << "pixel " << x << "," << y;
                }
        }
    }
}
