// Fill coverage on a table of shapes whose pixel areas are known exactly.
#include <cmath>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "RasterTestSupport.h"
#include "render/CoverageMaskList.h"

namespace {

struct ExpectedPixel {
    int x, y, coverage;
};

struct FillCase {
    const char* name;
    std::function<void(PathBuilder&)> build;
    bool nonZero;
    std::vector<ExpectedPixel> pixels;
};

// White on black: every pixel's value is its coverage byte.
TEST(FillCoverage, ShapesWithKnownAreas)
{
    const FillCase cases[] = {
        {"rectangle with fractional edges", [](PathBuilder& p) { p.Rect(10.25, 10.5, 20.75, 15.25); }, false,
         {{12, 12, 255}, {10, 12, 191}, {20, 12, 191}, {12, 10, 128}, {12, 15, 64}, {10, 10, 96}, {9, 12, 0},
          {21, 12, 0}, {12, 16, 0}}},
        {"right triangle on the pixel grid", [](PathBuilder& p) { p.Polygon({0, 0, 8, 0, 0, 8}); }, false,
         {{0, 0, 255}, {3, 4, 128}, {4, 3, 128}, {2, 2, 255}, {5, 5, 0}}},
        {"square twice in one chain, even-odd",
         [](PathBuilder& p) {
             p.MoveTo(5.5, 5.5).LineTo(15.5, 5.5).LineTo(15.5, 15.5).LineTo(5.5, 15.5).LineTo(5.5, 5.5);
             p.LineTo(15.5, 5.5).LineTo(15.5, 15.5).LineTo(5.5, 15.5).Close();
         },
         false, {{10, 10, 0}, {5, 10, 0}, {10, 5, 0}, {15, 15, 0}}},
        {"square twice in one chain, non-zero",
         [](PathBuilder& p) {
             p.MoveTo(5.5, 5.5).LineTo(15.5, 5.5).LineTo(15.5, 15.5).LineTo(5.5, 15.5).LineTo(5.5, 5.5);
             p.LineTo(15.5, 5.5).LineTo(15.5, 15.5).LineTo(5.5, 15.5).Close();
         },
         true, {{10, 10, 255}, {5, 10, 128}, {10, 5, 128}, {15, 15, 64}}},
        {"hole turning the same way, even-odd",
         [](PathBuilder& p) { p.Rect(2, 2, 30, 30).Rect(10, 10, 20, 20); }, false,
         {{5, 5, 255}, {15, 15, 0}, {25, 25, 255}}},
        {"hole turning the same way, non-zero",
         [](PathBuilder& p) { p.Rect(2, 2, 30, 30).Rect(10, 10, 20, 20); }, true,
         {{5, 5, 255}, {15, 15, 255}}},
        {"hole turning the other way, non-zero",
         [](PathBuilder& p) { p.Rect(2, 2, 30, 30).Polygon({10, 10, 10, 20, 20, 20, 20, 10}); }, true,
         {{5, 5, 255}, {15, 15, 0}, {10, 15, 0}, {9, 15, 255}}},
        {"sliver inside one pixel gets the area between its edges",
         [](PathBuilder& p) { p.Polygon({5.0, 5.0, 6.0, 5.0, 6.0, 5.25}); }, false, {{5, 5, 32}, {6, 5, 0}}},
        {"thin vertical sliver crossing a pixel column",
         [](PathBuilder& p) { p.Rect(7.2, 3, 7.7, 9); }, false, {{7, 5, 128}, {6, 5, 0}, {8, 5, 0}}},
        {"two shapes overlapping inside one pixel row, non-zero",
         [](PathBuilder& p) { p.Rect(4, 4.5, 20, 8).Rect(8, 4.5, 24, 8); }, true,
         {{12, 4, 128}, {12, 5, 255}, {6, 4, 128}, {22, 4, 128}}},
    };
    for (const FillCase& c : cases) {
        GuardedBitmap canvas(32, 32);
        PathBuilder path;
        c.build(path);
        RenderOptions options;
        options.nonZeroFill = c.nonZero;
        ASSERT_GE(DrawWhole(canvas, path, SolidFill(), options), 0) << c.name;
        for (const ExpectedPixel& e : c.pixels)
            EXPECT_NEAR(e.coverage, canvas.At(e.x, e.y), 1) << c.name << " at " << e.x << "," << e.y;
        EXPECT_TRUE(canvas.GuardsIntact()) << c.name;
    }
}

// Windings the signed area cannot stand for, in one part of a row, are measured where they occur;
// the rest of those rows keeps exactly the pixels its shapes have on their own.
TEST(FillCoverage, TroubleInOnePartOfARowStaysThere)
{
    struct TroubleCase {
        const char* name;
        std::function<void(PathBuilder&, double)> trouble;   // shifted right by the given amount
        bool nonZero;
        std::vector<ExpectedPixel> pixels;                   // before the shift
    };
    const TroubleCase cases[] = {
        {"square twice over itself, non-zero",
         [](PathBuilder& p, double dx) { p.Rect(5.5 + dx, 4, 10.5 + dx, 20).Rect(5.5 + dx, 4, 10.5 + dx, 20); }, true,
         {{5, 10, 128}, {8, 10, 255}, {10, 10, 128}, {4, 10, 0}, {11, 10, 0}}},
        {"squares turning opposite ways meeting inside a pixel, even-odd",
         [](PathBuilder& p, double dx) {
             p.Rect(4 + dx, 4, 10.5 + dx, 20).Polygon({10.5 + dx, 4, 10.5 + dx, 20, 16 + dx, 20, 16 + dx, 4});
         },
         false, {{10, 10, 255}, {7, 10, 255}, {13, 10, 255}, {3, 10, 0}, {16, 10, 0}}},
    };
    // A triangle with its corners inside pixels, in the same rows as the trouble.
    auto triangle = [](PathBuilder& p, double dx) { p.Polygon({2.3 + dx, 6.6, 11.7 + dx, 9.2, 5.1 + dx, 17.4}); };
    struct Layout {
        double troubleShift, triangleShift;
    };
    const Layout layouts[] = {{0, 20}, {28, 2}};   // triangle right of the trouble, then left of it
    for (const TroubleCase& c : cases) {
        for (const Layout& l : layouts) {
            SCOPED_TRACE(testing::Message() << c.name << ", trouble shifted by " << l.troubleShift);
            RenderOptions options;
            options.nonZeroFill = c.nonZero;
            GuardedBitmap alone(48, 24), together(48, 24);
            PathBuilder single;
            triangle(single, l.triangleShift);
            ASSERT_GE(DrawWhole(alone, single, SolidFill(), options), 0);
            PathBuilder both;
            c.trouble(both, l.troubleShift);
            triangle(both, l.triangleShift);
            ASSERT_GE(DrawWhole(together, both, SolidFill(), options), 0);
            for (const ExpectedPixel& e : c.pixels) {
                const int x = e.x + static_cast<int>(l.troubleShift);
                EXPECT_NEAR(e.coverage, together.At(x, e.y), 1) << "at " << x << "," << e.y;
            }
            const int first = static_cast<int>(l.triangleShift) + 2, last = static_cast<int>(l.triangleShift) + 12;
            for (int y = 0; y < 24; ++y)
                for (int x = first; x <= last; ++x)
                    ASSERT_EQ(alone.At(x, y), together.At(x, y)) << "triangle pixel " << x << "," << y;
            EXPECT_TRUE(together.GuardsIntact());
        }
    }
}

// A hole whose tip lies exactly on a sample line: the hole's two edges cross that line at one x.
// Taken one after the other they would show, for no length at all, a winding the pixel never has,
// and the pixel would lose its exact area to the sample-line measure (about 5 levels off here). A
// square drawn twice over itself further along the rows has every pixel of them measured.
TEST(FillCoverage, EdgesMeetingOnASampleLineKeepTheExactArea)
{
    const std::vector<double> clockwise = {10, 10, 20, 10, 20, 20, 10, 20};
    const std::vector<double> anticlockwise = {10, 20, 20, 20, 20, 10, 10, 10};
    // Tip at 8/256 below the row's top (the first sample line), flat bottom between two lines.
    const double tipX = 15.5, tipY = 12 + 8 / 256.0, bottomY = 12 + 121 / 256.0;
    const double leftX = 15 + 26 / 256.0, rightX = 15 + 230 / 256.0;
    const std::vector<double> tipRightLeft = {tipX, tipY, rightX, bottomY, leftX, bottomY};
    const std::vector<double> tipLeftRight = {tipX, tipY, leftX, bottomY, rightX, bottomY};
    struct HoleCase {
        const char* name;
        const std::vector<double>& outer;
        const std::vector<double>& hole;
        bool nonZero;
    };
    const HoleCase cases[] = {
        {"non-zero, clockwise outline", clockwise, tipLeftRight, true},
        {"non-zero, anticlockwise outline", anticlockwise, tipRightLeft, true},
        {"even-odd, clockwise outline", clockwise, tipRightLeft, false},
        {"even-odd, anticlockwise outline", anticlockwise, tipRightLeft, false},
    };
    const double holeArea = 0.5 * (rightX - leftX) * (bottomY - tipY);
    const int expected = static_cast<int>(std::lround(255 * (1 - holeArea)));
    for (const HoleCase& c : cases) {
        GuardedBitmap canvas(32, 32);
        PathBuilder path;
        path.Polygon(c.outer).Polygon(c.hole).Rect(24.5, 4.5, 28.5, 20.5).Rect(24.5, 4.5, 28.5, 20.5);
        RenderOptions options;
        options.nonZeroFill = c.nonZero;
        ASSERT_GE(DrawWhole(canvas, path, SolidFill(), options), 0) << c.name;
        EXPECT_NEAR(expected, canvas.At(15, 12), 1) << c.name;
        EXPECT_EQ(255, canvas.At(15, 14)) << c.name;
        EXPECT_EQ(255, canvas.At(14, 12)) << c.name;
    }
}

// Two copies of a band, the second a fraction of a pixel to the right: their slanted left edges
// share pixels, where the sixteen sample lines misjudge the area of an edge that leaves the pixel
// inside the row by a level or two. The copies' edges bound bands of one winding each, so those pixels get the exact
// area of the inside bands: under non-zero the first copy's own pixels, under even-odd the strip
// between the two left edges.
TEST(FillCoverage, OverlappingCopiesKeepTheExactAreaOfTheirBands)
{
    struct Slant {
        double top, bottom;   // x of the left edge at rows 4 and 28
    };
    const Slant slants[] = {{10.3, 82.7}, {12.1, 31.6}, {70.4, 9.9}};
    const double shifts[] = {0.35, 0.8, 1.3};
    const double width = 20;   // the right edges stay this far away
    for (const Slant& slant : slants) {
        auto shape = [&](PathBuilder& p, double dx) {
            p.Polygon({slant.top + dx, 4, slant.top + width + dx, 4, slant.bottom + width + dx, 28, slant.bottom + dx, 28});
        };
        for (double shift : shifts) {
            GuardedBitmap first(128, 32), second(128, 32);
            PathBuilder a, b;
            shape(a, 0);
            shape(b, shift);
            ASSERT_GE(DrawWhole(first, a, SolidFill()), 0);
            ASSERT_GE(DrawWhole(second, b, SolidFill()), 0);
            for (bool nonZero : {true, false}) {
                SCOPED_TRACE(testing::Message() << (nonZero ? "non-zero" : "even-odd") << ", left edge from "
                                                << slant.top << " to " << slant.bottom << ", shifted by " << shift);
                RenderOptions options;
                options.nonZeroFill = nonZero;
                GuardedBitmap both(128, 32);
                PathBuilder path;
                shape(path, 0);
                shape(path, shift);
                ASSERT_GE(DrawWhole(both, path, SolidFill(), options), 0);
                // Rows clear of the top and bottom edges; the pixels around the left edges there.
                for (int y = 5; y <= 26; ++y) {
                    const double atTop = slant.top + (slant.bottom - slant.top) * (y - 4) / 24;
                    const double atBottom = slant.top + (slant.bottom - slant.top) * (y + 1 - 4) / 24;
                    const int from = static_cast<int>(std::floor(std::min(atTop, atBottom))) - 1;
                    const int to = static_cast<int>(std::floor(std::max(atTop, atBottom) + shift)) + 1;
                    for (int x = from; x <= to; ++x) {
                        if (nonZero)
                            ASSERT_EQ(first.At(x, y), both.At(x, y)) << "at " << x << "," << y;
                        else
                            ASSERT_NEAR(first.At(x, y) - second.At(x, y), both.At(x, y), 1) << "at " << x << "," << y;
                    }
                }
                EXPECT_TRUE(both.GuardsIntact());
            }
        }
    }
}

// A band pixel takes the winding left of its passages as the same at every height of the row. A
// wide rectangle whose top edge lies inside that row, under a band drawn twice, breaks that: the
// rectangle's left side ends half way down the row, left of the band. The pixel must still get the
// area of everything inside it: all but the corner above the rectangle and left of the band.
TEST(FillCoverage, OutlineEndingInsideTheRowLeftOfABandCounts)
{
    struct Case {
        const char* name;
        bool nonZero;
    };
    const Case cases[] = {{"non-zero", true}, {"even-odd", false}};
    for (const Case& c : cases) {
        GuardedBitmap canvas(64, 32);
        PathBuilder path;
        path.Rect(2, 10.5, 60, 30);
        path.Rect(20.3, 4, 40, 28).Rect(20.3, 4, 40, 28);
        RenderOptions options;
        options.nonZeroFill = c.nonZero;
        ASSERT_GE(DrawWhole(canvas, path, SolidFill(), options), 0) << c.name;
        if (c.nonZero) {
            // Inside the band and the rectangle alike, but for 0.3 x 0.5 above the rectangle.
            EXPECT_NEAR(static_cast<int>(std::lround(255 * (1 - 0.3 * 0.5))), canvas.At(20, 10), 1) << c.name;
            EXPECT_EQ(255, canvas.At(20, 12)) << c.name;
        } else {
            // Windings 1 (the rectangle alone), 2 (the band alone, outside) and 3 (both): all the
            // lower half.
            EXPECT_EQ(128, canvas.At(20, 10)) << c.name;
            EXPECT_EQ(255, canvas.At(20, 12)) << c.name;
        }
        EXPECT_TRUE(canvas.GuardsIntact()) << c.name;
    }
}

TEST(FillCoverage, EllipseAreaAndSymmetry)
{
    struct EllipseCase { double cx, cy, rx, ry; };
    const EllipseCase cases[] = {{50, 50, 40, 40}, {50.3, 49.7, 31.5, 12.25}, {20.5, 70.5, 3, 3}};
    const double pi = 3.14159265358979323846;
    for (const EllipseCase& c : cases) {
        GuardedBitmap canvas(100, 100);
        PathBuilder path;
        path.Ellipse(c.cx, c.cy, c.rx, c.ry);
        ASSERT_GE(DrawWhole(canvas, path, SolidFill()), 0);
        // The cubic approximation of a quarter circle lies within 0.03% of its radius.
        const double area = canvas.Sum() / 255.0;
        EXPECT_NEAR(pi * c.rx * c.ry, area, pi * c.rx * c.ry * 0.002 + 1) << c.rx << "x" << c.ry;
    }
    // A circle centred on a pixel corner is symmetric pixel for pixel.
    GuardedBitmap canvas(64, 64);
    PathBuilder path;
    path.Ellipse(32, 32, 20, 20);
    DrawWhole(canvas, path, SolidFill());
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 32; ++x) {
            ASSERT_NEAR(canvas.At(x, y), canvas.At(63 - x, y), 2) << x << "," << y;
            ASSERT_NEAR(canvas.At(x, y), canvas.At(y, x), 2) << x << "," << y;
        }
}

TEST(FillCoverage, OpenPathIsNeverFilled)
{
    GuardedBitmap canvas(32, 32);
    PathBuilder path;
    path.Rect(2, 2, 30, 30);
    RenderOptions options;
    options.closed = 0;
    EXPECT_EQ(0, DrawWhole(canvas, path, SolidFill(), options));
    EXPECT_EQ(0, canvas.Sum());
}

const CoverageMaskNode* NodeAt(const std::vector<unsigned char>& list, int offset)
{
    return reinterpret_cast<const CoverageMaskNode*>(list.data() + offset);
}

TEST(FillCoverage, RecordsRunsAndEdgePixels)
{
    GuardedBitmap canvas(32, 32);
    PathBuilder path;
    path.Rect(4, 4.5, 10.5, 6);
    std::vector<unsigned char> list(4096, 0xCC);
    const int bytes = DrawWhole(canvas, path, SolidFill(), {}, &list);
    ASSERT_GT(bytes, 0);
    const CoverageMaskNode* node = NodeAt(list, 0);
    EXPECT_EQ(CoverageFill, node->kind);
    EXPECT_EQ(1, node->sorted);
    EXPECT_EQ(0, node->left);
    EXPECT_EQ(32, node->right);
    ASSERT_EQ(28 + 6 * node->count, bytes);
    EXPECT_EQ(0, NodeAt(list, bytes)->count);   // the closing head
    // Row 4: pixels 4..9 at half coverage and pixel 10 at a quarter; row 5: a run of 6 and a half pixel.
    const CoverageMaskEntry* e = reinterpret_cast<const CoverageMaskEntry*>(list.data() + 28);
    std::vector<std::vector<int>> got;
    for (int i = 0; i < node->count; ++i) got.push_back({e[i].x, e[i].y, e[i].value});
    const std::vector<std::vector<int>> expected = {
        {4, 4, 128}, {5, 4, 128}, {6, 4, 128}, {7, 4, 128}, {8, 4, 128}, {9, 4, 128}, {10, 4, 64},
        {4, 5, 0x8000 | 6}, {10, 5, 128}};
    EXPECT_EQ(expected, got);
}

TEST(FillCoverage, SmallShapeKeepsARaster)
{
    GuardedBitmap fast(32, 32);
    PathBuilder path;
    path.Polygon({10, 10, 16.5, 10, 16.5, 14, 10, 14});
    std::vector<unsigned char> list(4096);
    RenderOptions quick;
    quick.highestQuality = 0;
    const int bytes = DrawWhole(fast, path, SolidFill(), quick, &list);
    ASSERT_GT(bytes, 0);
    const CoverageMaskNode* node = NodeAt(list, 0);
    EXPECT_EQ(CoverageRaster, node->kind);
    EXPECT_EQ(10, node->left);
    EXPECT_EQ(10, node->top);
    EXPECT_EQ(17, node->right);
    // The sides move to the nearest sample centres: x 10 and 16.5 to samples 320 and 528, y 10 and
    // 14 to sample rows 40 and 56; row 56 lies in pixel row 14, so the box keeps that (empty) row.
    EXPECT_EQ(15, node->bottom);
    EXPECT_EQ(7 * 5 / 6 + 1, node->count);
    const unsigned char* raster = list.data() + 28;
    // The top and bottom sample rows lie on the horizontal sides and count nothing; pixel (10, 10)
    // has sample rows 41 to 43, each 31 inside samples and the half one on the left side.
    EXPECT_EQ(3 * 63, raster[0]);
    EXPECT_EQ(3 * 63, fast.At(10, 10));
    EXPECT_EQ(4 * 64 - 1, raster[7 + 1]);   // pixel (11, 11), all samples inside
    EXPECT_EQ(3 * 33, raster[6]);           // pixel (16, 10): 16 samples and a half
    EXPECT_EQ(0, raster[7 * 4]);            // pixel (10, 14)
}

TEST(FillCoverage, PatternFillsTakeTheirPixels)
{
    ImagingBitmap pattern;
    ImagingInitBitmap(&pattern);
    ASSERT_EQ(ImagingOk, ImagingAllocateBitmap(&pattern, 8, 8, 24));
    ImagingFillBitmap(&pattern, RGB(0, 0, 200));   // blue byte 200
    GuardedBitmap canvas(16, 16);
    PathBuilder path;
    path.Rect(0, 0, 16, 16);
    FillInfo request = SolidFill(0xFFFFFF);
    request.FillType = FillPattern;
    request.PatternBitmap = &pattern;
    request.PatternOriginX = 4;
    request.PatternOriginY = 5;
    ASSERT_GE(DrawWhole(canvas, path, request), 0);
    // Destination (X, Y) takes pattern pixel (X - 4, Y - 5 + 1); outside the pattern nothing is painted.
    EXPECT_EQ(200, canvas.At(4, 4));
    EXPECT_EQ(200, canvas.At(11, 11));
    EXPECT_EQ(0, canvas.At(3, 4));
    EXPECT_EQ(0, canvas.At(4, 3));
    EXPECT_EQ(0, canvas.At(12, 12));
    EXPECT_TRUE(canvas.GuardsIntact());
    ImagingFreeBitmap(&pattern);
}

} // namespace
