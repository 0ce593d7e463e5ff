// Tiling: a drawing split into tiles gives the pixels of the whole drawing, and every reason the
// renderer gives for splitting a tile is reached and handled.
#include <cmath>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "RasterTestSupport.h"

namespace {

struct Scene {
    const char* name;
    std::function<void(PathBuilder&)> build;
    FillInfo request;
    RenderOptions options;
};

FillInfo FillAndOutline(double width, std::int32_t kind)
{
    FillInfo f = SolidFill(0x4080C0);
    f.OutlineType = kind;
    f.OutlineWidth = width;
    f.OutlineColor = 0xF0E0D0;
    return f;
}

void Star(PathBuilder& p, double cx, double cy, double r, int points, int step)
{
    const double pi = 3.14159265358979323846;
    std::vector<double> xy;
    for (int i = 0; i < points; ++i) {
        const double a = 2 * pi * (i * step % points) / points;
        xy.push_back(cx + r * std::sin(a));
        xy.push_back(cy - r * std::cos(a));
    }
    p.Polygon(xy);
}

std::vector<Scene> Scenes()
{
    RenderOptions nonZero;
    nonZero.nonZeroFill = 1;
    RenderOptions open;
    open.closed = 0;
    return {
        {"ellipse", [](PathBuilder& p) { p.Ellipse(60.3, 45.1, 50.2, 33.7); }, SolidFill(0xFFFFFF), {}},
        {"pentagram non-zero", [](PathBuilder& p) { Star(p, 60, 45, 40, 5, 2); }, SolidFill(0xFFFFFF), nonZero},
        {"pentagram even-odd with wide outline", [](PathBuilder& p) { Star(p, 60, 45, 40, 5, 2); },
         FillAndOutline(3.5, OutlineSolid), {}},
        {"zigzag with joins", [](PathBuilder& p) {
             p.MoveTo(5, 80).LineTo(25, 10).LineTo(45, 80).LineTo(65, 15).LineTo(85, 70).LineTo(115, 20).End();
         }, Outline(6), open},
        {"dashed curve", [](PathBuilder& p) { p.Ellipse(60, 45, 41.3, 30.2); }, Outline(1.0, OutlineDashDot), {}},
        {"thin curve", [](PathBuilder& p) { p.Ellipse(60, 45, 37.3, 22.2); }, Outline(0.7), {}},
        {"dashed polyline, dash-dot-dot",
         [](PathBuilder& p) { p.MoveTo(3, 3).LineTo(117, 40).LineTo(8, 86).End(); }, Outline(0.9, OutlineDashDotDot), open},
        {"pentagram thin outline", [](PathBuilder& p) { Star(p, 60, 45, 40, 5, 2); }, Outline(0.6), {}},
        {"pentagram dashed outline", [](PathBuilder& p) { Star(p, 60, 45, 40, 5, 2); }, Outline(1.0, OutlineDash), {}},
        {"star of 61 points with wide outline", [](PathBuilder& p) { Star(p, 60, 45, 44, 61, 30); },
         FillAndOutline(1.5, OutlineSolid), nonZero},
        {"slanted band twice, a fraction of a pixel apart, non-zero",
         [](PathBuilder& p) {
             p.Polygon({10.3, 4, 30.3, 4, 102.7, 80, 82.7, 80}).Polygon({10.8, 4.2, 30.8, 4.2, 103.2, 80.2, 83.2, 80.2});
         }, SolidFill(0xFFFFFF), nonZero},
        {"slanted band twice, a fraction of a pixel apart, even-odd",
         [](PathBuilder& p) {
             p.Polygon({100.3, 6, 117, 6, 41.7, 84, 25, 84}).Polygon({99.9, 6, 116.6, 6, 41.3, 84, 24.6, 84});
         }, SolidFill(0xFFFFFF), {}},
        {"star of thin spikes with wide outline",
         [](PathBuilder& p) {
             const double pi = 3.14159265358979323846;
             std::vector<double> xy;
             for (int i = 0; i < 120; ++i) {
                 const double a = pi * i / 60, r = i % 2 ? 12 : 44;
                 xy.push_back(60 + r * std::cos(a));
                 xy.push_back(45 + r * std::sin(a));
             }
             p.Polygon(xy);
         }, FillAndOutline(2.0, OutlineSolid), {}},
        // Slanted lines between curves: the joins at the lines' ends, far outside a small tile's
        // clip, still fix where the outline's sides run through it.
        {"slanted lines between curves filled and outlined",
         [](PathBuilder& p) {
             p.MoveTo(12.5, 20.25).LineTo(98.75, 31.5).CurveTo(116.25, 33.75, 113.5, 52.5, 99.25, 57.75)
                 .LineTo(21.5, 76.25).CurveTo(4.75, 80.5, 1.25, 58.5, 6.5, 41.25).CurveTo(8.25, 30.5, 9.5, 21.25, 12.5, 20.25)
                 .End();
         }, FillAndOutline(3.5, OutlineSolid), {}},
        {"rounded rectangle filled and outlined",
         [](PathBuilder& p) {
             p.MoveTo(20, 10).LineTo(100, 10).CurveTo(110, 10, 110, 20, 110, 20).LineTo(110, 70)
                 .CurveTo(110, 80, 100, 80, 100, 80).LineTo(20, 80).CurveTo(10, 80, 10, 70, 10, 70).LineTo(10, 20)
                 .CurveTo(10, 10, 20, 10, 20, 10).End();
         }, FillAndOutline(2.5, OutlineSolid), {}},
    };
}

TEST(Tiling, TilesGiveThePixelsOfTheWholeDrawing)
{
    struct TileSize { int w, h; };
    const TileSize sizes[] = {{7, 5}, {17, 13}, {120, 1}, {1, 90}, {64, 64}};
    for (const Scene& s : Scenes()) {
        GuardedBitmap whole(120, 90);
        PathBuilder path;
        s.build(path);
        ASSERT_GE(DrawWhole(whole, path, s.request, s.options), 0) << s.name;
        ASSERT_GT(whole.Sum(), 0) << s.name;
        for (const TileSize& t : sizes) {
            GuardedBitmap tiled(120, 90);
            DrawInTiles(tiled, path, s.request, t.w, t.h, s.options);
            EXPECT_EQ("", tiled.FirstDifference(whole)) << s.name << " in tiles of " << t.w << "x" << t.h;
        }
    }
}

TEST(Tiling, TallTileIsRefusedUntouchedThenSplit)
{
    const int height = 2100;
    PathBuilder path;
    path.Ellipse(10.5, 1050, 8.3, 1040);
    const FillInfo request = FillAndOutline(1.5, OutlineSolid);
    for (int rows : {1013, 1014}) {
        GuardedBitmap canvas(21, height);
        RECT tile{0, 500, 21, 500 + rows};
        int status = TileDone;
        const int result = RenderPolyBezierTile(canvas.get(), &tile, path.data(), path.count(), nullptr, nullptr,
                                                &request, RenderOptions{}, &status);
        EXPECT_EQ(0, result);
        if (rows == 1013) {
            EXPECT_EQ(TileDone, status);
            EXPECT_GT(canvas.Sum(), 0);
        } else {
            EXPECT_EQ(TileTooLarge, status);
            EXPECT_EQ(0, canvas.Sum());
        }
    }
    GuardedBitmap whole(21, height), tiled(21, height);
    RECT clip{0, 0, 21, height};
    ASSERT_GE(DrawPolyBezierTiled(whole.get(), &clip, path.data(), path.count(), nullptr, nullptr, &request, 1, 1,
                                  nullptr, 0), 0);
    DrawInTiles(tiled, path, request, 21, 300);
    EXPECT_EQ("", whole.FirstDifference(tiled));
    EXPECT_TRUE(whole.GuardsIntact());
}

TEST(Tiling, TooManyOutlinePiecesSplitsIntoQuadrants)
{
    PathBuilder path;
    for (int i = 0; i < 130; ++i) path.Rect(5 + (i % 13) * 10, 5 + (i / 13) * 10, 11 + (i % 13) * 10, 11 + (i / 13) * 10);
    const FillInfo request = FillAndOutline(2, OutlineSolid);
    GuardedBitmap canvas(140, 110);
    RECT tile{0, 0, 140, 110};
    int status = TileDone;
    RenderPolyBezierTile(canvas.get(), &tile, path.data(), path.count(), nullptr, nullptr, &request, RenderOptions{},
                         &status);
    EXPECT_EQ(TileTooManyPieces, status);
    EXPECT_EQ(0, canvas.Sum());

    GuardedBitmap whole(140, 110), tiled(140, 110);
    std::vector<unsigned char> list(1 << 20);
    const int bytes = DrawWhole(whole, path, request, {}, &list);
    EXPECT_GT(bytes, 0);
    DrawInTiles(tiled, path, request, 35, 28);
    EXPECT_EQ("", whole.FirstDifference(tiled));
}

TEST(Tiling, TooManyCellsSplitsIntoHalves)
{
    // Each edge crosses two thousand columns over sixteen rows: more cells than one tile holds.
    const int width = 2000, height = 400;
    PathBuilder path;
    path.MoveTo(0, 10);
    for (int i = 0; i < 620; ++i) path.LineTo(i % 2 ? 0.0 : width, 10 + i * 0.5 + (i % 2 ? 0 : 16));
    path.Close();
    const FillInfo request = SolidFill(0xFFFFFF);
    GuardedBitmap canvas(width, height);
    RECT tile{0, 0, width, height};
    int status = TileDone;
    RenderPolyBezierTile(canvas.get(), &tile, path.data(), path.count(), nullptr, nullptr, &request, RenderOptions{},
                         &status);
    EXPECT_EQ(TileTooComplex, status);
    EXPECT_EQ(0, canvas.Sum());

    GuardedBitmap whole(width, height), tiled(width, height);
    ASSERT_GE(DrawWhole(whole, path, request), 0);
    DrawInTiles(tiled, path, request, 250, height);
    EXPECT_EQ("", whole.FirstDifference(tiled));
    EXPECT_GT(whole.Sum(), 0);
}

// A comb whose teeth all cross the same rows: two passages of the outline per tooth through each
// of those rows. 128 passages through one row are more than a tile takes: the tile reports itself
// too complex before painting anything, and the driver's halves draw what the whole would.
TEST(Tiling, ManyPassagesThroughOneRowSplitIntoHalves)
{
    auto comb = [](PathBuilder& path, int teeth) {
        path.MoveTo(2, 45);
        for (int k = 0; k < teeth; ++k) {
            const double left = 2.25 + 3 * k, right = left + 1.5;
            path.LineTo(left, 40).LineTo(left, 5.5).LineTo(right, 5.5).LineTo(right, 40);
        }
        path.LineTo(3.0 * teeth + 2, 40).LineTo(3.0 * teeth + 2, 45).Close();
    };
    FillInfo fill = SolidFill(0xFFFFFF);
    FillInfo fillAndWideOutline = fill;
    fillAndWideOutline.OutlineType = OutlineSolid;
    fillAndWideOutline.OutlineWidth = 2;
    fillAndWideOutline.OutlineColor = 0x808080;
    struct PassageCase {
        const char* name;
        int teeth;
        FillInfo request;
        int status;   // of one tile holding the whole comb
    };
    const PassageCase cases[] = {
        {"63 teeth: 126 passages fill one row", 63, fill, TileDone},
        {"64 teeth: 128 passages", 64, fill, TileTooComplex},
        {"90 teeth: 180 passages", 90, fill, TileTooComplex},
        // The fill alone fits; the outline's two sides double the passages, and the tile must
        // find that before it paints the fill.
        {"50 teeth with a wide outline", 50, fillAndWideOutline, TileTooComplex},
    };
    for (const PassageCase& c : cases) {
        SCOPED_TRACE(c.name);
        const int width = 3 * c.teeth + 8, height = 50;
        PathBuilder path;
        comb(path, c.teeth);
        GuardedBitmap canvas(width, height);
        RECT tile{0, 0, width, height};
        int status = TileDone;
        RenderOptions options;
        options.closed = 1;
        RenderPolyBezierTile(canvas.get(), &tile, path.data(), path.count(), nullptr, nullptr, &c.request, options,
                             &status);
        EXPECT_EQ(c.status, status);
        if (c.status != TileDone) EXPECT_EQ(0, canvas.Sum());

        GuardedBitmap whole(width, height), tiled(width, height);
        ASSERT_GE(DrawWhole(whole, path, c.request), 0);
        DrawInTiles(tiled, path, c.request, 16, height);
        EXPECT_EQ("", whole.FirstDifference(tiled));
        if (c.request.OutlineType == OutlineNone) {
            // Each tooth covers three quarters of its two columns, from row 6 to row 39,
            for (int k = 0; k < c.teeth; k += 7) {
                EXPECT_EQ(191, whole.At(2 + 3 * k, 20)) << "tooth " << k;
                EXPECT_EQ(191, whole.At(3 + 3 * k, 20)) << "tooth " << k;
                EXPECT_EQ(0, whole.At(4 + 3 * k, 20)) << "tooth " << k;
                EXPECT_EQ(96, whole.At(3 + 3 * k, 5)) << "tooth " << k;   // and half of row 5
            }
        }
        EXPECT_TRUE(whole.GuardsIntact());
    }
}

TEST(Tiling, EndlessSplitsEndInTheFallbackRectangle)
{
    // More points than any tile's pool holds, all inside a few pixels: every split fails again.
    PathBuilder path;
    path.MoveTo(10.2, 10.2);
    for (int i = 0; i < 200000; ++i) path.LineTo(i % 2 ? 10.2 : 11.8, i % 2 ? 10.2 : 11.8 - (i % 7) * 0.01);
    path.Close();
    GuardedBitmap canvas(32, 32);
    RECT clip{0, 0, 32, 32};
    const FillInfo request = SolidFill(0xFFFFFF);
    const int result = DrawPolyBezierTiled(canvas.get(), &clip, path.data(), path.count(), nullptr, nullptr, &request,
                                           1, 1, nullptr, 0);
    EXPECT_GE(result, 0);
    // The clip was narrowed to the path's bounds, rounded outwards, and painted as a rectangle.
    EXPECT_EQ(10, clip.left);
    EXPECT_EQ(10, clip.top);
    EXPECT_EQ(12, clip.right);
    EXPECT_EQ(12, clip.bottom);
    EXPECT_EQ(255, canvas.At(10, 10));
    EXPECT_EQ(255, canvas.At(11, 11));
    EXPECT_EQ(0, canvas.At(12, 11));
    EXPECT_EQ(0, canvas.At(9, 10));
    EXPECT_EQ(4 * 255, canvas.Sum());

    // With an outline the rectangle is first deflated by half the stroke.
    GuardedBitmap outlined(32, 32);
    RECT clip2{0, 0, 32, 32};
    FillInfo stroked = FillAndOutline(4, OutlineSolid);
    EXPECT_GE(DrawPolyBezierTiled(outlined.get(), &clip2, path.data(), path.count(), nullptr, nullptr, &stroked, 1, 1,
                                  nullptr, 0), 0);
    EXPECT_EQ(10, clip2.left);
    EXPECT_EQ(12, clip2.right);
    EXPECT_TRUE(outlined.GuardsIntact());
}

TEST(Tiling, DepthLimitFailsWithoutDrawing)
{
    GuardedBitmap canvas(16, 16);
    PathBuilder path;
    path.Rect(2, 2, 14, 14);
    RECT clip{0, 0, 16, 16};
    const FillInfo request = SolidFill();
    EXPECT_EQ(RenderFailed, DrawPolyBezierTiled(canvas.get(), &clip, path.data(), path.count(), nullptr, nullptr,
                                                &request, 1, 1, nullptr, 5));
    EXPECT_EQ(0, canvas.Sum());
}

TEST(Tiling, CoverageNodesOfSplitTilesFollowOneAnother)
{
    PathBuilder path;
    for (int i = 0; i < 130; ++i) path.Rect(5 + (i % 13) * 10, 5 + (i / 13) * 10, 11 + (i % 13) * 10, 11 + (i / 13) * 10);
    const FillInfo request = FillAndOutline(2, OutlineSolid);
    GuardedBitmap canvas(140, 110);
    std::vector<unsigned char> list(1 << 20, 0xEE);
    const int bytes = DrawWhole(canvas, path, request, {}, &list);
    ASSERT_GT(bytes, 0);
    // Walk the nodes: every node lies inside the bitmap and the list ends right after them.
    int offset = 0, nodes = 0;
    while (true) {
        const CoverageMaskNode* n = reinterpret_cast<const CoverageMaskNode*>(list.data() + offset);
        if (n->count == 0) break;
        EXPECT_GE(n->left, 0);
        EXPECT_LE(n->right, 140);
        EXPECT_GE(n->top, 0);
        EXPECT_LE(n->bottom, 110);
        offset += CoverageNodeBytes(*n);
        ++nodes;
        ASSERT_LE(offset, bytes);
    }
    EXPECT_EQ(bytes, offset);
    EXPECT_GT(nodes, 130);
}

} // namespace
