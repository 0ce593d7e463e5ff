// A drawing the driver splits, with no coverage record kept, is painted at the end from bands of
// rows rasterised across the whole drawing. These tests hold it to the pixels the tiles would have
// painted one by one: the same drawing with a record (each tile paints itself), and the drawing
// cut by hand into tiles small enough never to split.
#include <cmath>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "RasterTestSupport.h"

namespace {

constexpr int kWidth = 160, kHeight = 2300;   // taller than a tile may be: every drawing splits

FillInfo Filled(std::uint32_t colour, double outline = 0)
{
    FillInfo f = SolidFill(colour);
    if (outline > 0) {
        f.OutlineType = OutlineSolid;
        f.OutlineWidth = outline;
        f.OutlineColor = 0x20C0F0;
    }
    return f;
}

// A tall shape whose sides swing from side to side in cubic curves.
void Wiggle(PathBuilder& p, double x, double width, double swing)
{
    p.MoveTo(x, 6);
    for (double y = 6; y < 2280; y += 380)
        p.CurveTo(x + swing, y + 120, x - swing, y + 250, x, std::fmin(2285, y + 380));
    p.LineTo(x + width, 2285);
    for (double y = 2285; y > 10; y -= 380)
        p.CurveTo(x + width - swing, y - 120, x + width + swing, y - 250, x + width, std::fmax(6, y - 380));
    p.Close();
}

struct SplitCase {
    const char* name;
    std::function<void(PathBuilder&)> build;
    FillInfo request;
    RenderOptions options;
};

std::vector<SplitCase> Cases()
{
    RenderOptions nonZero;
    nonZero.nonZeroFill = 1;
    RenderOptions open;
    open.closed = 0;
    return {
        {"swinging band, even-odd", [](PathBuilder& p) { Wiggle(p, 40, 60, 35); }, Filled(0xFFFFFF), {}},
        {"two crossing bands, non-zero",
         [](PathBuilder& p) {
             Wiggle(p, 30, 50, 30);
             Wiggle(p, 70, 40, -25);
         },
         Filled(0xFFFFFF), nonZero},
        {"two crossing bands, even-odd", [](PathBuilder& p) {
             Wiggle(p, 30, 50, 30);
             Wiggle(p, 70, 40, -25);
         }, Filled(0xFFFFFF), {}},
        // Each sub-path's outline is painted over the fill and over the outlines before it.
        {"three overlapping ellipses filled and outlined",
         [](PathBuilder& p) {
             p.Ellipse(50.25, 1150, 40.5, 1120.5);
             p.Ellipse(95.5, 1100, 45.25, 1050.75);
             p.Ellipse(80, 1150, 60.5, 1100.25);
         },
         Filled(0x406080, 3.5), {}},
        // Lines between curves: the joins at the lines' ends lie far outside most tiles.
        {"two swinging bands filled and outlined",
         [](PathBuilder& p) {
             Wiggle(p, 20, 50, 20);
             Wiggle(p, 50, 45, -30);
         },
         Filled(0x406080, 3.5), {}},
        {"polygon bands filled and outlined, non-zero",
         [](PathBuilder& p) {
             p.Polygon({10.5, 5, 60.25, 5, 150.75, 2290, 100.5, 2290});
             p.Polygon({150, 8, 120.5, 8, 20.25, 2280.5, 50.75, 2280.5});
         },
         Filled(0x908070, 5), nonZero},
        {"open zigzag, wide outline only",
         [](PathBuilder& p) {
             p.MoveTo(10, 5);
             for (int i = 1; i <= 40; ++i) p.LineTo(i % 2 ? 150.5 : 10.25, 5 + i * 56.5);
             p.End();
         },
         Outline(7, OutlineSolid, 0xC0C0C0), open},
    };
}

int DrawRecorded(GuardedBitmap& target, PathBuilder& path, const FillInfo& request, RenderOptions options, RECT& clip)
{
    std::vector<unsigned char> list(8 << 20);
    return DrawPolyBezierTiledEx(target.get(), &clip, path.data(), path.count(), list.data(), list.data() + list.size(),
                                 &request, options, 0);
}

TEST(SplitPainting, BandsPaintWhatTheTilesWouldHave)
{
    for (const SplitCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        PathBuilder path;
        c.build(path);
        GuardedBitmap waited(kWidth, kHeight, 30), recorded(kWidth, kHeight, 30), tiled(kWidth, kHeight, 30);
        RECT waitedClip{0, 0, kWidth, kHeight}, recordedClip{0, 0, kWidth, kHeight};
        ASSERT_GE(DrawPolyBezierTiledEx(waited.get(), &waitedClip, path.data(), path.count(), nullptr, nullptr,
                                        &c.request, c.options, 0), 0);
        ASSERT_GT(DrawRecorded(recorded, path, c.request, c.options, recordedClip), 0);
        DrawInTiles(tiled, path, c.request, 37, 500, c.options);
        EXPECT_EQ("", waited.FirstDifference(recorded));
        EXPECT_EQ("", waited.FirstDifference(tiled));
        EXPECT_EQ("", recorded.FirstDifference(tiled));
        EXPECT_TRUE(EqualRect(&waitedClip, &recordedClip));
        EXPECT_TRUE(waited.GuardsIntact());
        EXPECT_GT(waited.Sum(), 0);
    }
}

// The caller's clip cuts the drawing, and the bitmap cuts it on the other side: the tiles cannot
// lean on the path lying inside the area, and the painting stays inside both.
TEST(SplitPainting, ClippedDrawingsStayInsideTheClip)
{
    PathBuilder path;
    Wiggle(path, -20, 120, 40);
    path.Ellipse(150, 1100, 30, 1200);
    const FillInfo request = Filled(0xE0E0E0, 2.5);
    GuardedBitmap waited(kWidth, kHeight, 30), recorded(kWidth, kHeight, 30);
    RECT waitedClip{5, 40, 140, 2250}, recordedClip = waitedClip;
    ASSERT_GE(DrawPolyBezierTiledEx(waited.get(), &waitedClip, path.data(), path.count(), nullptr, nullptr, &request,
                                    RenderOptions{}, 0), 0);
    ASSERT_GT(DrawRecorded(recorded, path, request, RenderOptions{}, recordedClip), 0);
    EXPECT_EQ("", waited.FirstDifference(recorded));
    for (int y = 0; y < kHeight; y += 7) {
        EXPECT_EQ(30, waited.At(4, y)) << "row " << y;
        EXPECT_EQ(30, waited.At(140, y)) << "row " << y;
    }
    EXPECT_EQ(30, waited.At(70, 39));
    EXPECT_EQ(30, waited.At(70, 2250));
    EXPECT_TRUE(waited.GuardsIntact());
}

// A crowd of outlined sub-paths in one corner keeps its tiles asking for splits until the depth
// runs out; the tiles that fitted before that stay painted under the fallback rectangle, as they
// do when every tile paints itself.
TEST(SplitPainting, GivenUpSplitKeepsTheTilesThatFitted)
{
    PathBuilder path;
    path.Ellipse(70, 1150, 66.5, 1130.25);
    for (int i = 0; i < 140; ++i) path.Rect(150.0 + (i % 3) * 0.5, 2270.0 + (i / 50) * 0.5, 152.0 + (i % 3) * 0.5, 2272.5);
    const FillInfo request = Filled(0x8090A0, 4);
    GuardedBitmap waited(kWidth, kHeight, 30), recorded(kWidth, kHeight, 30);
    RECT waitedClip{0, 0, kWidth, kHeight}, recordedClip = waitedClip;
    const int result = DrawPolyBezierTiledEx(waited.get(), &waitedClip, path.data(), path.count(), nullptr, nullptr,
                                             &request, RenderOptions{}, 0);
    EXPECT_GE(result, 0);
    DrawRecorded(recorded, path, request, RenderOptions{}, recordedClip);
    EXPECT_EQ("", waited.FirstDifference(recorded));
    EXPECT_TRUE(EqualRect(&waitedClip, &recordedClip));
    // The fallback rectangle is the narrowed area less half the outline: the rim left of it keeps
    // what the tiles painted.
    int rimPainted = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < waitedClip.left; ++x) rimPainted += waited.At(x, y) != 30;
    EXPECT_GT(rimPainted, 0);
    EXPECT_TRUE(waited.GuardsIntact());
}

} // namespace

namespace {

// A band holds no more cells than a tile: a drawing too dense for its bands is painted tile by
// tile after all, the way each tile would have painted itself.
TEST(SplitPainting, BandsTooDenseLeaveTheTilesToPaintThemselves)
{
    const int width = 2000, height = 1100;
    PathBuilder path;
    path.MoveTo(0, 10);
    for (int i = 0; i < 620; ++i) path.LineTo(i % 2 ? 0.0 : width, 10 + i * 0.5 + (i % 2 ? 0 : 16));
    path.Close();
    path.Ellipse(1000, 700, 900, 390);
    const FillInfo request = Filled(0xFFFFFF);
    GuardedBitmap waited(width, height, 30), recorded(width, height, 30);
    RECT waitedClip{0, 0, width, height}, recordedClip = waitedClip;
    ASSERT_GE(DrawPolyBezierTiledEx(waited.get(), &waitedClip, path.data(), path.count(), nullptr, nullptr, &request,
                                    RenderOptions{}, 0), 0);
    ASSERT_GT(DrawRecorded(recorded, path, request, RenderOptions{}, recordedClip), 0);
    EXPECT_EQ("", waited.FirstDifference(recorded));
    EXPECT_GT(waited.Sum(), 30LL * width * height);
    EXPECT_TRUE(waited.GuardsIntact());
}

} // namespace
