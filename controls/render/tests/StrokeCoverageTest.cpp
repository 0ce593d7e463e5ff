// Outline coverage: wide strokes with flat ends and joins, thin strokes, dash patterns. Outlines near
// one pixel wide, dash units and the strength cap of narrow strokes are checked against their models
// in ThinStrokeTest.
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "RasterTestSupport.h"

namespace {

struct ExpectedPixel {
    int x, y, coverage;
};

struct StrokeCase {
    const char* name;
    std::function<void(PathBuilder&)> build;
    double width;
    std::int32_t kind;
    bool closed;
    std::vector<ExpectedPixel> pixels;
};

TEST(StrokeCoverage, Table)
{
    const StrokeCase cases[] = {
        {"wide line with flat ends", [](PathBuilder& p) { p.MoveTo(10, 10.5).LineTo(30, 10.5).End(); }, 3, OutlineSolid,
         false, {{10, 9, 255}, {29, 11, 255}, {20, 8, 0}, {20, 12, 0}, {9, 10, 0}, {30, 10, 0}}},
        {"right-angle corner gets its miter", [](PathBuilder& p) { p.MoveTo(10, 30).LineTo(30, 30).LineTo(30, 10).End(); },
         4, OutlineSolid, false, {{31, 31, 255}, {30, 30, 255}, {32, 32, 0}}},
        {"hairpin turn is joined straight across",
         [](PathBuilder& p) { p.MoveTo(10, 20).LineTo(40, 20).LineTo(10.456, 25.209).End(); }, 4, OutlineSolid, false,
         {{46, 19, 0}, {44, 19, 0}, {38, 20, 255}}},
        {"closed square joins its last side to its first",
         [](PathBuilder& p) { p.Rect(10, 10, 20, 20); }, 2, OutlineSolid, true, {{9, 9, 255}, {20, 20, 255}, {15, 15, 0}}},
        {"open square ends flat where it started",
         [](PathBuilder& p) { p.Rect(10, 10, 20, 20); }, 2, OutlineSolid, false, {{9, 9, 0}, {20, 20, 255}}},
        {"thin half-pixel line", [](PathBuilder& p) { p.MoveTo(5, 10.5).LineTo(25, 10.5).End(); }, 0.5, OutlineSolid,
         false, {{15, 10, 128}, {15, 9, 0}, {15, 11, 0}}},
        {"thin diagonal gets its band's area",
         [](PathBuilder& p) { p.MoveTo(5, 5).LineTo(25, 25).End(); }, 0.4, OutlineSolid, false, {{10, 10, 124}}},
        {"a wide outline is painted solid whatever its dashes",
         [](PathBuilder& p) { p.MoveTo(10, 10.5).LineTo(40, 10.5).End(); }, 2.0, OutlineDot, false,
         {{14, 10, 255}, {20, 10, 255}}},
    };
    for (const StrokeCase& c : cases) {
        GuardedBitmap canvas(64, 48);
        PathBuilder path;
        c.build(path);
        RenderOptions options;
        options.closed = c.closed;
        ASSERT_GE(DrawWhole(canvas, path, Outline(c.width, c.kind), options), 0) << c.name;
        for (const ExpectedPixel& e : c.pixels)
            EXPECT_NEAR(e.coverage, canvas.At(e.x, e.y), 1) << c.name << " at " << e.x << "," << e.y;
        EXPECT_TRUE(canvas.GuardsIntact()) << c.name;
    }
}

TEST(StrokeCoverage, WideStrokeAreaMatchesItsLength)
{
    for (double width : {1.05, 2.0, 3.5, 9.0, 20.0}) {
        GuardedBitmap canvas(200, 100);
        PathBuilder path;
        path.MoveTo(20.3, 50.2).LineTo(170.7, 50.2).End();
        ASSERT_GE(DrawWhole(canvas, path, Outline(width), RenderOptions{1, 0, nullptr, 0}), 0);
        EXPECT_NEAR(150.4 * width, canvas.Sum() / 255.0, 150.4 * width * 0.002 + 0.5) << width;
    }
}

TEST(StrokeCoverage, FillAndOutlineTogether)
{
    GuardedBitmap canvas(40, 40);
    PathBuilder path;
    path.Rect(10, 10, 30, 30);
    FillInfo request = SolidFill(0x000080);   // red 0x80 in the third byte, blue 0
    request.OutlineType = OutlineSolid;
    request.OutlineWidth = 2;
    request.OutlineColor = 0xFF0000;          // blue 255
    ASSERT_GE(DrawWhole(canvas, path, request), 0);
    EXPECT_EQ(0x80, canvas.Pixel(20, 20)[2]);
    EXPECT_EQ(0, canvas.Pixel(20, 20)[0]);
    EXPECT_EQ(255, canvas.Pixel(10, 20)[0]);   // the outline is painted over the fill
    EXPECT_EQ(255, canvas.Pixel(9, 9)[0]);
}

} // namespace
