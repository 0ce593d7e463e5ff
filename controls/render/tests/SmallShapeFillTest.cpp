// The small-shape filler (closed even-odd shapes of at most 10 x 10 pixels, highestQuality 0):
// every pixel checked against a brute-force sample count, its raster record, its replay, and the
// conditions under which it is taken.
//
// The sample count works on the shape with its points moved to the nearest sample centre: sample
// (i, j) lies at ((i + 0.5) / 32, (j + 0.5) / 4), so a point goes to round(x * 32 - 0.5),
// round(y * 4 - 0.5) (halves to even; points left of or above the bitmap keep their place). On
// sample row j the outline crosses at:
// - every slanted side whose ends lie above and below row j, at its x there rounded to the
//   nearest sample (halves upwards);
// - a vertex on row j where the outline goes on in the same vertical direction (horizontal sides in
//   between left out), at the start of the slanted side that leaves it; a vertex where the outline
//   turns back is no crossing.
// A sample is inside when an odd number of crossings lies at or before it; it weighs 2 inside, 1
// where the state changes (inside before it xor inside at it) and 0 outside, so a pixel's coverage
// is the sum of its 32 x 4 weights, at most 256, saturated to 255.
#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "RasterTestSupport.h"
#include "render/MaskListFill.h"

namespace {

struct Pt {
    double x, y;
};
using Chain = std::vector<Pt>;

struct SamplePt {
    long long x, y;
};

long long NearestSample(double v, double scale)
{
    return static_cast<long long>(std::nearbyint(v * scale - 0.5));
}

// floor(a / b) for b > 0.
long long FloorDiv(long long a, long long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

class SampleOracle {
public:
    explicit SampleOracle(const std::vector<Chain>& chains)
    {
        for (const Chain& c : chains) {
            std::vector<SamplePt> s;
            for (const Pt& p : c) s.push_back({NearestSample(p.x, 32), NearestSample(p.y, 4)});
            chains_.push_back(s);
            for (const SamplePt& p : s) {
                minX_ = std::min(minX_, p.x); maxX_ = std::max(maxX_, p.x);
                minY_ = std::min(minY_, p.y); maxY_ = std::max(maxY_, p.y);
            }
        }
    }

    // The shape's box in whole pixels (right, bottom exclusive).
    RECT Box() const
    {
        return RECT{LONG(FloorDiv(minX_, 32)), LONG(FloorDiv(minY_, 4)), LONG(FloorDiv(maxX_, 32) + 1),
                    LONG(FloorDiv(maxY_, 4) + 1)};
    }

    int Coverage(int px, int py) const
    {
        long long total = 0;
        for (int j = 4 * py; j < 4 * py + 4; ++j)
            for (int i = 32 * px; i < 32 * px + 32; ++i) total += Inside(i - 1, j) + Inside(i, j);
        return static_cast<int>(std::min(255LL, total));
    }

private:
    // Whether an odd number of crossings of row j lies at or before sample i.
    int Inside(long long i, long long j) const
    {
        int crossings = 0;
        for (const std::vector<SamplePt>& c : chains_) {
            const size_t n = c.size();
            for (size_t k = 0; k < n; ++k) {
                const SamplePt& a = c[k];
                const SamplePt& b = c[(k + 1) % n];
                if (a.y == b.y) continue;
                if (j > std::min(a.y, b.y) && j < std::max(a.y, b.y)) {
                    // The x of the side on row j, from both ends' weights, rounded halves upwards.
                    const long long num = a.x * (b.y - j) + b.x * (j - a.y), den = b.y - a.y;
                    const long long x = den > 0 ? FloorDiv(2 * num + den, 2 * den) : FloorDiv(-2 * num - den, -2 * den);
                    crossings += x <= i;
                } else if (j == a.y && a.x <= i && SameWayIn(c, k)) {
                    ++crossings;
                }
            }
        }
        return crossings & 1;
    }

    // Whether the last slanted side before side k goes the same vertical way as side k.
    static bool SameWayIn(const std::vector<SamplePt>& c, size_t k)
    {
        const size_t n = c.size();
        const bool down = c[(k + 1) % n].y > c[k].y;
        for (size_t back = 1; back <= n; ++back) {
            const SamplePt& a = c[(k + n - back) % n];
            const SamplePt& b = c[(k + n - back + 1) % n];
            if (a.y != b.y) return (b.y > a.y) == down;
        }
        return false;
    }

    std::vector<std::vector<SamplePt>> chains_;
    long long minX_ = 1LL << 40, minY_ = 1LL << 40, maxX_ = -(1LL << 40), maxY_ = -(1LL << 40);
};

void AddChains(PathBuilder& path, const std::vector<Chain>& chains)
{
    for (const Chain& c : chains) {
        std::vector<double> xy;
        for (const Pt& p : c) { xy.push_back(p.x); xy.push_back(p.y); }
        path.Polygon(xy);
    }
}

Chain Pentagram(double cx, double cy, double r)
{
    const double pi = 3.14159265358979323846;
    Chain c;
    for (int i = 0; i < 5; ++i) c.push_back({cx + r * std::sin(4 * pi * i / 5), cy - r * std::cos(4 * pi * i / 5)});
    return c;
}

struct ShapeCase {
    const char* name;
    std::vector<Chain> chains;
    RECT tile;   // the tile it is drawn in (the whole 16 x 16 bitmap, or a part of it)
};

const RECT kWhole{0, 0, 16, 16};

std::vector<ShapeCase> ShapeCases()
{
    return {
        {"triangle", {{{2.3, 1.7}, {9.1, 3.2}, {4.4, 8.9}}}, kWhole},
        {"triangle on whole pixels", {{{1, 1}, {9, 2}, {3, 9}}}, kWhole},
        {"triangle on half samples", {{{1 + 1.0 / 64, 2.125}, {8.5, 2.375 + 1.0 / 8}, {5 + 3.0 / 64, 9.875}}}, kWhole},
        {"rectangle with horizontal sides", {{{2.2, 3.1}, {8.9, 3.1}, {8.9, 7.6}, {2.2, 7.6}}}, kWhole},
        {"pentagram (centre outside)", {Pentagram(7.1, 6.8, 4.9)}, kWhole},
        {"bow-tie", {{{1.2, 1.3}, {9.4, 7.8}, {9.4, 1.3}, {1.2, 7.8}}}, kWhole},
        {"square with a square hole",
         {{{1.3, 1.4}, {9.7, 1.4}, {9.7, 9.6}, {1.3, 9.6}}, {{3.6, 3.7}, {6.8, 3.7}, {6.8, 7.1}, {3.6, 7.1}}}, kWhole},
        {"sliver", {{{1.2, 2.0}, {9.8, 2.6}, {1.2, 2.15}}}, kWhole},
        {"steep sliver", {{{3.0, 0.6}, {3.4, 9.9}, {3.1, 0.7}}}, kWhole},
        {"zigzag with turning vertices on sample rows",
         {{{1.0, 1.125}, {3.0, 6.125}, {5.0, 1.125}, {7.0, 6.125}, {9.0, 1.125}, {9.0, 8.625}, {1.0, 8.625}}}, kWhole},
        {"touching negative coordinates", {{{-2.3, 3.1}, {5.2, -1.7}, {6.4, 6.6}}}, kWhole},
        {"crossing the tile's clip", {{{3.3, 2.2}, {12.1, 4.4}, {7.7, 11.6}}}, RECT{5, 4, 9, 9}},
        {"bow-tie crossing the tile's clip", {{{1.2, 1.3}, {9.4, 7.8}, {9.4, 1.3}, {1.2, 7.8}}}, RECT{0, 3, 6, 16}},
    };
}

FillInfo White() { return SolidFill(0xFFFFFF); }

RenderOptions Quick()
{
    RenderOptions o;
    o.highestQuality = 0;
    return o;
}

// Draws one tile of the path through the tile renderer and returns its coverage list.
std::vector<unsigned char> DrawTile(GuardedBitmap& canvas, PathBuilder& path, const FillInfo& request, RECT tile,
                                    RenderOptions options, int* bytes)
{
    std::vector<unsigned char> list(1 << 16);
    int status = TileDone;
    *bytes = RenderPolyBezierTile(canvas.get(), &tile, path.data(), path.count(), list.data(),
                                  list.data() + list.size(), &request, options, &status);
    EXPECT_EQ(TileDone, status);
    return list;
}

const CoverageMaskNode* Head(const std::vector<unsigned char>& list, int offset = 0)
{
    return reinterpret_cast<const CoverageMaskNode*>(list.data() + offset);
}

std::string Describe(const RECT& r)
{
    std::ostringstream s;
    s << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
    return s.str();
}

TEST(SmallShapeFill, EveryPixelIsItsSampleCount)
{
    for (const ShapeCase& c : ShapeCases()) {
        SCOPED_TRACE(c.name);
        const SampleOracle oracle(c.chains);
        GuardedBitmap canvas(16, 16);
        PathBuilder path;
        AddChains(path, c.chains);
        int bytes = 0;
        const std::vector<unsigned char> list = DrawTile(canvas, path, White(), c.tile, Quick(), &bytes);
        int mismatches = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool inTile = x >= c.tile.left && x < c.tile.right && y >= c.tile.top && y < c.tile.bottom;
                const int expected = inTile ? oracle.Coverage(x, y) : 0;
                if (canvas.At(x, y) != expected && ++mismatches <= 5)
                    ADD_FAILURE() << "pixel " << x << "," << y << ": " << canvas.At(x, y) << ", expected " << expected;
            }
        EXPECT_TRUE(canvas.GuardsIntact());

        // One raster node over the shape's box within the tile: its bytes are the coverage.
        RECT box = oracle.Box(), expectedRect;
        ASSERT_TRUE(IntersectRect(&expectedRect, &box, &c.tile));
        const CoverageMaskNode* node = Head(list);
        ASSERT_EQ(CoverageRaster, node->kind);
        EXPECT_EQ(Describe(expectedRect), Describe(RECT{node->left, node->top, node->right, node->bottom}));
        EXPECT_EQ(1, node->sorted);
        const int w = node->right - node->left, h = node->bottom - node->top;
        EXPECT_EQ(w * h / 6 + 1, node->count);
        ASSERT_EQ(28 + 6 * node->count, bytes);
        EXPECT_EQ(0, Head(list, bytes)->count);
        const unsigned char* raster = list.data() + 28;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                EXPECT_EQ(oracle.Coverage(node->left + x, node->top + y), raster[y * w + x])
                    << "raster byte of pixel " << node->left + x << "," << node->top + y;
    }
}

// Where the chain starts and which way it runs does not change a pixel.
TEST(SmallShapeFill, StartAndDirectionOfTheOutlineChangeNothing)
{
    for (const ShapeCase& c : ShapeCases()) {
        if (c.chains.size() != 1) continue;
        SCOPED_TRACE(c.name);
        GuardedBitmap first(16, 16);
        PathBuilder path;
        AddChains(path, c.chains);
        DrawWhole(first, path, White(), Quick());
        const Chain& chain = c.chains[0];
        for (int reversed = 0; reversed < 2; ++reversed)
            for (size_t start = 0; start < chain.size(); ++start) {
                Chain turned;
                for (size_t k = 0; k < chain.size(); ++k) {
                    const size_t i = (start + k) % chain.size();
                    turned.push_back(reversed ? chain[chain.size() - 1 - i] : chain[i]);
                }
                GuardedBitmap other(16, 16);
                PathBuilder p;
                AddChains(p, {turned});
                DrawWhole(other, p, White(), Quick());
                EXPECT_EQ("", other.FirstDifference(first)) << "start " << start << (reversed ? " reversed" : "");
            }
    }
}

// A shape reaching over the bitmap's left or top border is cut by the border, not squeezed onto
// it: its pixels inside are those of the same shape moved well inside a larger bitmap.
TEST(SmallShapeFill, ShapesOverTheTopLeftBorderAreCutNotSqueezed)
{
    const std::vector<std::vector<Chain>> shapes = {
        {{{-5.3, 0.4}, {3.2, 8.1}, {-5.3, 8.1}}},
        {{{1.3, -6.2}, {8.8, 2.9}, {2.1, 3.4}}},
        {Pentagram(0.4, 0.7, 4.9)},
    };
    for (size_t n = 0; n < shapes.size(); ++n) {
        SCOPED_TRACE(n);
        GuardedBitmap atBorder(12, 12), inside(28, 28);
        PathBuilder path, moved;
        AddChains(path, shapes[n]);
        std::vector<Chain> shifted = shapes[n];
        for (Chain& c : shifted)
            for (Pt& p : c) { p.x += 16; p.y += 16; }
        AddChains(moved, shifted);
        DrawWhole(atBorder, path, White(), Quick());
        DrawWhole(inside, moved, White(), Quick());
        EXPECT_GT(atBorder.Sum(), 0);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x) EXPECT_EQ(inside.At(x + 16, y + 16), atBorder.At(x, y)) << x << "," << y;
        EXPECT_TRUE(atBorder.GuardsIntact());
    }
}

TEST(SmallShapeFill, FullyCoveredPixelSaturatesAt255)
{
    GuardedBitmap canvas(12, 12);
    PathBuilder path;
    path.Rect(2.2, 2.2, 6.8, 6.8);
    std::vector<unsigned char> list(4096);
    ASSERT_GT(DrawWhole(canvas, path, White(), Quick(), &list), 0);
    const CoverageMaskNode* node = Head(list);
    ASSERT_EQ(CoverageRaster, node->kind);
    const int w = node->right - node->left;
    // Pixels 3..5 hold 128 inside samples each: 256 half units, kept as 255.
    for (int y = 3; y <= 5; ++y)
        for (int x = 3; x <= 5; ++x) {
            EXPECT_EQ(255, canvas.At(x, y)) << x << "," << y;
            EXPECT_EQ(255, list[28 + (y - node->top) * w + (x - node->left)]) << x << "," << y;
        }
}

// The record painted again through the coverage-list fill gives the pixels of the drawing, on a
// background and in a colour where every blend shows.
TEST(SmallShapeFill, ReplayOfTheRecordGivesThePixels)
{
    struct Drawing {
        const char* name;
        std::vector<Chain> chains;
        bool ellipse;
    };
    const std::vector<Drawing> drawings = {
        {"pentagram", {Pentagram(7.1, 6.8, 4.9)}, false},
        {"square with a hole",
         {{{1.3, 1.4}, {9.7, 1.4}, {9.7, 9.6}, {1.3, 9.6}}, {{3.6, 3.7}, {6.8, 3.7}, {6.8, 7.1}, {3.6, 7.1}}},
         false},
        {"ellipse of cubics", {}, true},
    };
    const FillInfo request = SolidFill(0x3080C0);
    for (const Drawing& d : drawings) {
        SCOPED_TRACE(d.name);
        GuardedBitmap drawn(16, 16, 90), replayed(16, 16, 90);
        PathBuilder path;
        if (d.ellipse) path.Ellipse(6.3, 7.1, 4.7, 3.2);
        else AddChains(path, d.chains);
        std::vector<unsigned char> list(1 << 16);
        const int bytes = DrawWhole(drawn, path, request, Quick(), &list);
        ASSERT_GT(bytes, 0);
        ASSERT_EQ(CoverageRaster, Head(list)->kind);
        ASSERT_EQ(MaskFillError::None,
                  FillMaskRuns(replayed.get(), list.data(), size_t(bytes) + 28, 0, 0, 16, 16, 0, 0, &request));
        EXPECT_EQ("", replayed.FirstDifference(drawn));
        EXPECT_NE(16 * 16 * 90, drawn.Sum());   // the shape was painted
    }
}

// A 32-bit destination gets the colour channels of a 24-bit one, and its alpha byte blended
// towards opaque at the same coverage.
TEST(SmallShapeFill, ThirtyTwoBitDestinationsGetTheSameBlend)
{
    ImagingBitmap wide;
    ImagingInitBitmap(&wide);
    ASSERT_EQ(ImagingOk, ImagingAllocateBitmap(&wide, 16, 16, 32));
    ImagingFillBitmap(&wide, RGB(90, 90, 90));
    GuardedBitmap narrow(16, 16, 90);
    const FillInfo request = SolidFill(0x3080C0);
    PathBuilder path;
    AddChains(path, {Pentagram(7.1, 6.8, 4.9)});
    RECT clip{0, 0, 16, 16};
    ASSERT_GE(
        DrawPolyBezierTiledEx(&wide, &clip, path.data(), path.count(), nullptr, nullptr, &request, Quick(), 0), 0);
    DrawWhole(narrow, path, request, Quick());
    ImagingAccessScope access(&wide);
    ASSERT_TRUE(access.ok());
    int painted = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const unsigned char* p = ImagingPixelAddress(&wide, x, y);
            const std::uint8_t* q = narrow.Pixel(x, y);
            EXPECT_EQ(q[0], p[0]) << x << "," << y;
            EXPECT_EQ(q[1], p[1]) << x << "," << y;
            EXPECT_EQ(q[2], p[2]) << x << "," << y;
            painted += q[0] != 90;
        }
    EXPECT_GT(painted, 20);
    ImagingFreeBitmap(&wide);
}

// Damaged paths whose first points and control points stay within 10 x 10 pixels, but whose line
// records end far away, walk beyond the filler's room: they are drawn by the scan converter, as at
// the highest quality, instead of failing. Unusable end points are left out by the walk, which
// joins the points around them, so the shape stays small and sampled.
TEST(SmallShapeFill, DamagedSmallPathsFallBackToTheScanConverter)
{
    const double nan = std::nan(""), inf = HUGE_VAL;
    struct Damage {
        const char* name;
        int record;      // the line record whose end point is replaced
        Pt end;
        bool scanConverted;
    };
    const Damage damages[] = {
        {"line ending far right", 1, {1e7, 4.2}, true},
        {"line ending far below and left", 0, {-1e7, 1e7}, true},
        {"line ending beyond any sample", 2, {1e300, -1e300}, true},
        {"line ending at infinity", 1, {inf, 3}, false},
        {"line ending nowhere", 2, {nan, nan}, false},
    };
    RenderOptions best;
    best.highestQuality = 1;
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.name);
        PathBuilder path;
        path.Polygon({3.2, 2.1, 9.7, 4.4, 5.3, 9.8});
        std::vector<SegmentDesc> segs = path.segments();
        ASSERT_EQ(SegmentLine, segs[d.record].kind);
        segs[d.record].pt2 = {d.end.x, d.end.y};
        GuardedBitmap quick(24, 20), expected(24, 20);
        const FillInfo request = White();
        std::vector<unsigned char> list(1 << 16);
        RECT clip{0, 0, 24, 20};
        EXPECT_GE(DrawPolyBezierTiledEx(quick.get(), &clip, segs.data(), int(segs.size()), list.data(),
                                        list.data() + list.size(), &request, Quick(), 0), 0);
        EXPECT_EQ(d.scanConverted ? CoverageFill : CoverageRaster, Head(list)->kind);
        if (d.scanConverted) {
            RECT clip2{0, 0, 24, 20};
            EXPECT_GE(DrawPolyBezierTiledEx(expected.get(), &clip2, segs.data(), int(segs.size()), nullptr, nullptr,
                                            &request, best, 0), 0);
        } else {
            DrawWhole(expected, path, request, Quick());
        }
        EXPECT_EQ("", quick.FirstDifference(expected));
        EXPECT_TRUE(quick.GuardsIntact());
    }
}

// The filler is taken for closed even-odd fills whose bounds (control points included) are at most
// 10 x 10 pixels and only when the highest quality is not asked.
TEST(SmallShapeFill, TakenOnlyForSmallEvenOddFillsAtOrdinaryQuality)
{
    RenderOptions best;
    best.highestQuality = 1;
    RenderOptions nonZero = Quick();
    nonZero.nonZeroFill = 1;
    struct Case {
        const char* name;
        double size;
        bool curvedBeyond;   // a cubic side whose control points reach beyond the size
        RenderOptions options;
        int kind;
    };
    const Case cases[] = {
        {"10 x 10", 10.0, false, Quick(), CoverageRaster},
        {"10.5 x 10.5", 10.5, false, Quick(), CoverageFill},
        {"10 x 10 at the highest quality", 10.0, false, best, CoverageFill},
        {"10 x 10 by the non-zero rule", 10.0, false, nonZero, CoverageFill},
        {"9 x 9 with control points beyond 10", 9.0, true, Quick(), CoverageFill},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PathBuilder path;
        path.MoveTo(1.3, 1.2).LineTo(1.3 + c.size, 1.2).LineTo(1.3 + c.size, 1.2 + c.size);
        if (c.curvedBeyond) path.CurveTo(1.3 + c.size, 14.0, 1.3, 14.0, 1.3, 1.2 + c.size);
        else path.LineTo(1.3, 1.2 + c.size);
        path.Close();
        GuardedBitmap canvas(16, 16);
        std::vector<unsigned char> list(1 << 16);
        ASSERT_GT(DrawWhole(canvas, path, White(), c.options, &list), 0);
        EXPECT_EQ(c.kind, Head(list)->kind);
    }
}

// Scenes of small shapes, lines and cubics, drawn whole and in tiles, give the same pixels.
TEST(SmallShapeFill, TilesGiveThePixelsOfTheWholeDrawing)
{
    struct TileSize { int w, h; };
    const TileSize sizes[] = {{7, 5}, {3, 3}, {40, 1}, {1, 30}};
    const FillInfo request = SolidFill(0x4080C0);
    GuardedBitmap whole(40, 30), tiled[4] = {{40, 30}, {40, 30}, {40, 30}, {40, 30}};
    int shapes = 0;
    auto draw = [&](PathBuilder& path) {
        ASSERT_GE(DrawWhole(whole, path, request, Quick()), 0);
        for (int i = 0; i < 4; ++i) DrawInTiles(tiled[i], path, request, sizes[i].w, sizes[i].h, Quick());
        ++shapes;
    };
    for (int i = 0; i < 6; ++i) {
        PathBuilder ellipse;
        ellipse.Ellipse(5.3 + 6.1 * i, 5.2 + (i % 2) * 1.7, 2.1 + 0.45 * i, 3.7 - 0.3 * i);
        draw(ellipse);
        PathBuilder star;
        AddChains(star, {Pentagram(4.7 + 6.2 * i, 16.4 + 0.3 * i, 2.5 + 0.4 * i)});
        draw(star);
        PathBuilder ring;
        ring.Rect(1.1 + 6.4 * i, 22.3, 7.2 + 6.4 * i, 28.9 - 0.2 * i).Rect(3.3 + 6.4 * i, 24.1, 5.1 + 6.4 * i, 27.2);
        draw(ring);
    }
    ASSERT_EQ(18, shapes);
    EXPECT_GT(whole.Sum(), 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ("", tiled[i].FirstDifference(whole)) << "in tiles of " << sizes[i].w << "x" << sizes[i].h;
}

} // namespace
