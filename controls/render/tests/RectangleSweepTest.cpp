// Axis-aligned rectangles are filled without scan conversion. Which walks count as one rectangle,
// and that such a fill paints and records exactly what the scan converter does for the same
// rectangle drawn with one more corner point on a side (which it does not take as a rectangle).
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PathWalk.h"
#include "RasterTestSupport.h"
#include "RectangleSweep.h"

namespace {

bool WalksToRectangle(PathBuilder& path, FixedRect* found = nullptr)
{
    PathWalk walk(1 << 16);
    WalkRequest request;
    request.segments = path.data();
    request.count = path.count();
    request.clip = {-100, -100, 1000, 1000};
    EXPECT_TRUE(walk.Run(request));
    FixedRect rect{};
    const bool is = FindRectangle(walk, rect);
    if (found) *found = rect;
    return is;
}

TEST(RectangleSweep, FindsOnlyPlainRectangles)
{
    {
        PathBuilder p;
        p.Rect(10.25, 5.5, 40.75, 30.125);
        FixedRect r;
        ASSERT_TRUE(WalksToRectangle(p, &r));
        EXPECT_EQ(10 * 256 + 64, r.left);
        EXPECT_EQ(5 * 256 + 128, r.top);
        EXPECT_EQ(40 * 256 + 192, r.right);
        EXPECT_EQ(30 * 256 + 32, r.bottom);
    }
    struct Case {
        const char* name;
        std::vector<double> xy;
        bool rectangle;
    };
    const Case cases[] = {
        {"counter-clockwise", {10, 5, 10, 30, 40, 30, 40, 5}, true},
        {"starting at another corner", {40, 30, 10, 30, 10, 5, 40, 5}, true},
        {"a corner repeated", {10, 5, 40, 5, 40, 5, 40, 30, 10, 30}, true},
        {"closed back at the start", {10, 5, 40, 5, 40, 30, 10, 30, 10, 5}, true},
        {"a point on a side", {10, 5, 25, 5, 40, 5, 40, 30, 10, 30}, false},
        {"a rhombus", {25, 5, 40, 17, 25, 30, 10, 17}, false},
        {"an L", {10, 5, 40, 5, 40, 15, 20, 15, 20, 30, 10, 30}, false},
        {"there and back along one side", {10, 5, 40, 5, 40, 30, 40, 5}, false},
        {"no width", {10, 5, 10, 30, 10, 5, 10, 30}, false},
        {"three corners", {10, 5, 40, 5, 40, 30}, false},
        {"round twice", {10, 5, 40, 5, 40, 30, 10, 30, 10, 5, 40, 5, 40, 30, 10, 30}, false},
    };
    for (const Case& c : cases) {
        PathBuilder p;
        p.Polygon(c.xy);
        EXPECT_EQ(c.rectangle, WalksToRectangle(p)) << c.name;
    }
    PathBuilder two;
    two.Rect(10, 5, 40, 30).Rect(50, 5, 60, 30);
    EXPECT_FALSE(WalksToRectangle(two)) << "two sub-paths";
}

// The rectangle with an extra point half way along its top side, which the scan converter takes.
void WithSidePoint(PathBuilder& p, double l, double t, double r, double b)
{
    p.Polygon({l, t, (l + r) / 2, t, r, t, r, b, l, b});
}

TEST(RectangleSweep, PaintsAndRecordsAsTheScanConverter)
{
    constexpr int kW = 64, kH = 48;
    struct Case {
        const char* name;
        double l, t, r, b;
    };
    const Case cases[] = {
        {"fractional sides", 10.3, 5.7, 40.9, 30.2},
        {"on pixel borders", 10, 5, 40, 30},
        {"within one column", 12.2, 3.1, 12.7, 20.4},
        {"within one row", 3.3, 7.1, 50.6, 7.4},
        {"within one pixel", 20.1, 20.2, 20.6, 20.9},
        {"finer than the grid", 10.0001, 5.0039, 40.9999, 30.0041},
        {"right side on the bitmap's border", 20.5, 10.5, 64, 40.25},
        {"over the left border", -5.5, 10.2, 30.3, 40.1},
        {"over the bottom border", 10.5, 30.5, 30.5, 80.5},
        {"over every border", -3.5, -2.25, 70.5, 50.75},
        {"outside the bitmap", 70, 10, 90, 20},
        {"a full pixel's width at a column border", 31, 2.5, 32, 44.5},
    };
    RenderOptions evenOdd, nonZero;
    nonZero.nonZeroFill = 1;
    for (const Case& c : cases) {
        for (const RenderOptions& options : {evenOdd, nonZero}) {
            const std::string name = std::string(c.name) + (options.nonZeroFill ? ", non-zero" : ", even-odd");
            GuardedBitmap swept(kW, kH, 40), scanned(kW, kH, 40);
            std::vector<unsigned char> sweptList(1 << 16, 0xCD), scannedList(1 << 16, 0xCD);
            PathBuilder plain, pointed;
            plain.Rect(c.l, c.t, c.r, c.b);
            WithSidePoint(pointed, c.l, c.t, c.r, c.b);
            const int sweptBytes = DrawWhole(swept, plain, SolidFill(0x3080F0), options, &sweptList);
            const int scannedBytes = DrawWhole(scanned, pointed, SolidFill(0x3080F0), options, &scannedList);
            EXPECT_TRUE(swept.GuardsIntact()) << name;
            EXPECT_EQ("", swept.FirstDifference(scanned)) << name;
            ASSERT_EQ(scannedBytes, sweptBytes) << name;
            ASSERT_GE(sweptBytes, 0) << name;
            EXPECT_TRUE(std::equal(sweptList.begin(), sweptList.begin() + sweptBytes + sizeof(CoverageMaskNode),
                                   scannedList.begin()))
                << name << ": the coverage records differ";
        }
    }
}

// A rectangle across tile borders: tiles whose columns hold both sides sweep it, the others scan
// convert it; together they paint what the whole drawing does.
TEST(RectangleSweep, TilesMatchTheWholeDrawing)
{
    GuardedBitmap whole(80, 60), tiled(80, 60);
    PathBuilder p;
    p.Rect(7.3, 4.6, 52.8, 41.3);
    DrawWhole(whole, p, SolidFill(0xFFFFFF));
    for (int size : {7, 16, 33}) {
        GuardedBitmap t(80, 60);
        DrawInTiles(t, p, SolidFill(0xFFFFFF), size, size + 3, RenderOptions{});
        EXPECT_EQ("", t.FirstDifference(whole)) << "tiles of " << size;
        EXPECT_TRUE(t.GuardsIntact());
    }
}

} // namespace
