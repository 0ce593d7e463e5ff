// Thin outlines against models written here: the thin-line painter's exact band areas (capped), the
// point plotter's bilinear weights at the walk's steps, dash units counted in steps, and the phase
// of dashes across tiles.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "RasterTestSupport.h"
#include "render/CoverageMaskList.h"

namespace {

struct Pt {
    double x, y;
};

// ---- Exact band model -------------------------------------------------------------------------

double PolygonArea(const std::vector<Pt>& poly)
{
    double a = 0;
    for (size_t i = 0; i < poly.size(); ++i) {
        const Pt& p = poly[i];
        const Pt& q = poly[(i + 1) % poly.size()];
        a += p.x * q.y - q.x * p.y;
    }
    return std::fabs(a) / 2;
}

// Keeps the part of poly where keep(p) >= 0 (keep linear in p).
template <class Keep>
std::vector<Pt> ClipHalfPlane(const std::vector<Pt>& poly, Keep keep)
{
    std::vector<Pt> out;
    for (size_t i = 0; i < poly.size(); ++i) {
        const Pt& a = poly[i];
        const Pt& b = poly[(i + 1) % poly.size()];
        const double ka = keep(a), kb = keep(b);
        if (ka >= 0) out.push_back(a);
        if ((ka >= 0) != (kb >= 0)) {
            const double t = ka / (ka - kb);
            out.push_back({a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t});
        }
    }
    return out;
}

// Area of the pixel (px, py) inside the rectangle of the segment a-b with flat ends, half width t.
double BandArea(Pt a, Pt b, double t, int px, int py)
{
    const double len = std::hypot(b.x - a.x, b.y - a.y);
    const double ux = (b.x - a.x) / len, uy = (b.y - a.y) / len;
    std::vector<Pt> poly{{double(px), double(py)}, {px + 1.0, double(py)}, {px + 1.0, py + 1.0}, {double(px), py + 1.0}};
    poly = ClipHalfPlane(poly, [&](Pt p) { return (p.x - a.x) * ux + (p.y - a.y) * uy; });
    poly = ClipHalfPlane(poly, [&](Pt p) { return len - ((p.x - a.x) * ux + (p.y - a.y) * uy); });
    poly = ClipHalfPlane(poly, [&](Pt p) { return t - ((p.x - a.x) * -uy + (p.y - a.y) * ux); });
    poly = ClipHalfPlane(poly, [&](Pt p) { return t + ((p.x - a.x) * -uy + (p.y - a.y) * ux); });
    return poly.size() < 3 ? 0.0 : PolygonArea(poly);
}

int RoundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

// White on black: the byte a thin stroke leaves in a pixel of the given exact area.
int ThinBandByte(double area, double t)
{
    const int cap = RoundEven(t * 637.5);
    const int byte = RoundEven(255 * area);
    if (cap < 255 && byte > cap) return RoundEven(255 * 2 * t);
    return byte;
}

TEST(ThinStroke, NarrowLinesCoverTheirBandExactly)
{
    struct Case {
        const char* name;
        Pt a, b;
        double width;
    };
    const Case cases[] = {
        {"horizontal 0.5", {5.25, 10.5}, {40.75, 10.5}, 0.5},
        {"horizontal 0.5 off centre", {5.25, 20.375}, {40.75, 20.375}, 0.5},
        {"vertical 0.9", {30.625, 3.5}, {30.625, 40.25}, 0.9},
        {"horizontal 0.9 across a row border", {3.5, 15.0}, {50.0, 15.0}, 0.9},
        {"diagonal 0.5", {5.0, 5.0}, {40.0, 40.0}, 0.5},
        {"diagonal 0.9", {45.0, 5.0}, {10.0, 40.0}, 0.9},
        {"shallow 0.5", {4.25, 30.5}, {58.75, 41.25}, 0.5},
        {"diagonal 0.3, capped", {3.0, 44.0}, {44.0, 3.0}, 0.3},
    };
    for (const Case& c : cases) {
        GuardedBitmap canvas(64, 48);
        PathBuilder path;
        path.MoveTo(c.a.x, c.a.y).LineTo(c.b.x, c.b.y).End();
        RenderOptions options;
        options.closed = 0;
        ASSERT_GE(DrawWhole(canvas, path, Outline(c.width), options), 0) << c.name;
        int worst = 0;
        std::string where;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) {
                const int expected = ThinBandByte(BandArea(c.a, c.b, c.width / 2, x, y), c.width / 2);
                const int diff = std::abs(expected - canvas.At(x, y));
                if (diff > worst) {
                    worst = diff;
                    where = std::to_string(x) + "," + std::to_string(y) + ": " + std::to_string(canvas.At(x, y)) +
                            " vs " + std::to_string(expected);
                }
            }
        // Side points are kept on the 1/256 grid: at most a byte and a half off.
        EXPECT_LE(worst, 2) << c.name << " at " << where;
        EXPECT_TRUE(canvas.GuardsIntact()) << c.name;
    }
}

// Area of the pixel (px, py) inside a simple polygon.
double PolygonPixelArea(const std::vector<Pt>& polygon, int px, int py)
{
    std::vector<Pt> poly = polygon;
    poly = ClipHalfPlane(poly, [&](Pt p) { return p.x - px; });
    poly = ClipHalfPlane(poly, [&](Pt p) { return px + 1 - p.x; });
    poly = ClipHalfPlane(poly, [&](Pt p) { return p.y - py; });
    poly = ClipHalfPlane(poly, [&](Pt p) { return py + 1 - p.y; });
    return poly.size() < 3 ? 0.0 : PolygonArea(poly);
}

TEST(ThinStroke, RightAngleCornersAreMitred)
{
    // Half a pixel wide, a right-angle turn either way: the stroke is an L of two bands meeting in
    // a square corner.
    struct Case {
        const char* name;
        std::vector<Pt> line;
        std::vector<Pt> outline;
    };
    const Case cases[] = {
        {"turning right", {{10.5, 10.5}, {30.5, 10.5}, {30.5, 30.5}},
         {{10.5, 10.25}, {30.75, 10.25}, {30.75, 30.5}, {30.25, 30.5}, {30.25, 10.75}, {10.5, 10.75}}},
        {"turning left", {{10.25, 30.375}, {30.625, 30.375}, {30.625, 10.5}},
         {{10.25, 30.125}, {30.375, 30.125}, {30.375, 10.5}, {30.875, 10.5}, {30.875, 30.625}, {10.25, 30.625}}},
    };
    for (const Case& c : cases) {
        GuardedBitmap canvas(64, 48);
        PathBuilder path;
        path.MoveTo(c.line[0].x, c.line[0].y).LineTo(c.line[1].x, c.line[1].y).LineTo(c.line[2].x, c.line[2].y).End();
        RenderOptions options;
        options.closed = 0;
        ASSERT_GE(DrawWhole(canvas, path, Outline(0.5), options), 0) << c.name;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                EXPECT_NEAR(ThinBandByte(PolygonPixelArea(c.outline, x, y), 0.25), canvas.At(x, y), 1)
                    << c.name << " at " << x << "," << y;
    }
}

TEST(ThinStroke, NarrowLinesOnPixelBordersKeepTheirArea)
{
    // Sides that run along pixel borders or through pixel corners are where a walk of the sides can
    // lose or double a pixel; the painted total must stay the band's area.
    struct Line {
        Pt a, b;
    };
    const Line lines[] = {
        {{5, 10}, {45, 10}},        {{5, 10.25}, {45, 10.25}},   {{10, 5}, {10, 40}},      {{10.25, 40}, {10.25, 5}},
        {{5, 5}, {40, 40}},         {{40, 5}, {5, 40}},          {{5, 10}, {45, 30}},      {{5.5, 40.5}, {45.5, 2.5}},
        {{45, 12.125}, {5, 12.125}}, {{20, 3}, {21, 44}},
    };
    for (double width : {0.4, 0.5, 0.75, 0.95})
        for (const Line& l : lines) {
            GuardedBitmap canvas(64, 48);
            PathBuilder path;
            path.MoveTo(l.a.x, l.a.y).LineTo(l.b.x, l.b.y).End();
            RenderOptions options;
            options.closed = 0;
            ASSERT_GE(DrawWhole(canvas, path, Outline(width), options), 0);
            long long touched = 0;
            for (int y = 0; y < 48; ++y)
                for (int x = 0; x < 64; ++x) touched += canvas.At(x, y) > 0;
            const double length = std::hypot(l.b.x - l.a.x, l.b.y - l.a.y);
            EXPECT_NEAR(length * width, canvas.Sum() / 255.0, touched * 0.5 / 255 + 0.01)
                << width << " from " << l.a.x << "," << l.a.y << " to " << l.b.x << "," << l.b.y;
        }
}

TEST(ThinStroke, ClosedRectanglesKeepTheirFrameArea)
{
    // Two loops, outer and inner, with square corners: the frame has 2 w (W + H) pixels of area.
    struct Box {
        double l, t, r, b;
    };
    const Box boxes[] = {{10, 10, 40, 30}, {10.5, 10.5, 40.5, 30.5}, {10.25, 8.75, 51.5, 40}, {20, 20, 23, 22}};
    for (double width : {0.4, 0.5, 0.9})
        for (const Box& box : boxes) {
            GuardedBitmap canvas(64, 48);
            PathBuilder path;
            path.Rect(box.l, box.t, box.r, box.b);
            ASSERT_GE(DrawWhole(canvas, path, Outline(width), RenderOptions{}), 0);
            long long touched = 0;
            for (int y = 0; y < 48; ++y)
                for (int x = 0; x < 64; ++x) touched += canvas.At(x, y) > 0;
            const double area = 2 * width * ((box.r - box.l) + (box.b - box.t));
            EXPECT_NEAR(area, canvas.Sum() / 255.0, touched * 0.5 / 255 + 0.01) << width << " box at " << box.l;
        }
}

std::vector<CoverageMaskEntry> OutlineEntries(const std::vector<unsigned char>& list, CoverageMaskNode* outlineHead)
{
    std::vector<CoverageMaskEntry> entries;
    size_t pos = 0;
    for (;;) {
        CoverageMaskNode head;
        std::memcpy(&head, &list[pos], sizeof head);
        if (head.count == 0) break;
        if (head.kind == CoverageOutline) {
            if (outlineHead) *outlineHead = head;
            for (int i = 0; i < head.count; ++i) {
                CoverageMaskEntry e;
                std::memcpy(&e, &list[pos + sizeof head + 6 * i], 6);
                entries.push_back(e);
            }
        }
        pos += sizeof head + 6 * static_cast<size_t>(head.count);
    }
    return entries;
}

TEST(ThinStroke, NarrowStrokesNeverExceedTheirCap)
{
    // A line 0.3 pixel wide along the pixels' diagonals covers 0.379 of each pixel it passes, above
    // the cap of round(0.15 * 637.5) = 96: the record keeps the cap and the pixel is blended at the
    // stroke width, round(0.3 * 255) = 76. A second sub-path crossing it is painted on its own.
    GuardedBitmap canvas(64, 48);
    PathBuilder path;
    path.MoveTo(5, 5).LineTo(40, 40).End();
    path.MoveTo(30.5, 3).LineTo(30.5, 44).End();
    std::vector<unsigned char> list(1 << 20);
    RenderOptions options;
    options.closed = 0;
    ASSERT_GT(DrawWhole(canvas, path, Outline(0.3), options, &list), 0);
    int capped = 0;
    for (const CoverageMaskEntry& e : OutlineEntries(list, nullptr)) {
        EXPECT_EQ(0, e.value & kCoverageRunFlag);
        EXPECT_LE(e.value, 96) << e.x << "," << e.y;
        if (e.value == 96) ++capped;
    }
    EXPECT_GT(capped, 30);
    for (int i = 6; i < 39; ++i) {
        if (i == 30) continue;
        EXPECT_EQ(76, canvas.At(i, i)) << i;
    }
}

// ---- Point model ------------------------------------------------------------------------------

struct ModelPoint {
    double x, y, weight;
};

// Dash units: one per step; a step's point takes the state after its unit.
struct ModelDash {
    std::vector<int> lengths;
    size_t element = 0;
    int left = 0;
    bool on = true;
    void Restart()
    {
        element = 0;
        on = true;
        left = lengths.empty() ? 0 : lengths[0];
    }
    void Unit()
    {
        if (lengths.empty()) return;
        if (--left == 0) {
            element = (element + 1) % lengths.size();
            on = element % 2 == 0;
            left = lengths[element];
        }
    }
};

std::vector<int> DashLengths(std::int32_t kind)
{
    switch (kind) {
    case OutlineDash: return {18, 6};
    case OutlineDot: return {3, 3};
    case OutlineDashDot: return {9, 6, 3, 6};
    case OutlineDashDotDot: return {9, 3, 3, 3, 3, 3};
    default: return {};
    }
}

// Lines walked in steps of 0.98 pixel (one pixel when dashed) while a pixel is left, the last step
// weakened by its distance to the end below sqrt(0.95), then the end point.
std::vector<ModelPoint> WalkPolylines(const std::vector<std::vector<Pt>>& subpaths, bool closed, std::int32_t kind)
{
    ModelDash dash{DashLengths(kind)};
    const double step = dash.lengths.empty() ? 0.98 : 1.0;
    std::vector<ModelPoint> out;
    for (const std::vector<Pt>& ring : subpaths) {
        dash.Restart();
        out.push_back({ring[0].x, ring[0].y, 1.0});
        std::vector<std::pair<Pt, Pt>> spans;
        for (size_t i = 1; i < ring.size(); ++i) spans.push_back({ring[i - 1], ring[i]});
        const bool closing = closed && (ring.back().x != ring[0].x || ring.back().y != ring[0].y);
        if (closing) spans.push_back({ring.back(), ring[0]});
        for (size_t i = 0; i < spans.size(); ++i) {
            const Pt a = spans[i].first, b = spans[i].second;
            const double dx = b.x - a.x, dy = b.y - a.y, length = std::sqrt(dx * dx + dy * dy);
            const long steps = length >= 1 ? static_cast<long>(std::floor((length - 1) / step)) + 1 : 0;
            const double rest = length - steps * step;
            for (long k = 1; k <= steps; ++k) {
                dash.Unit();
                double w = k == steps && rest * rest < 0.95 ? RoundEven(255 * rest) / 255.0 : 1.0;
                if (!dash.on) w = 0;
                out.push_back({a.x + dx * (step / length) * k, a.y + dy * (step / length) * k, w});
            }
            if (!(closing && i + 1 == spans.size())) out.push_back({b.x, b.y, dash.on ? 1.0 : 0.0});
        }
    }
    return out;
}

// White points on black, each spread over the four pixels around (x - 0.5, y - 0.5).
std::vector<int> PlotModel(const std::vector<ModelPoint>& points, int width, int height)
{
    std::vector<int> image(width * height, 0);
    for (const ModelPoint& p : points) {
        if (p.weight == 0) continue;
        const double x = p.x - 0.5, y = p.y - 0.5;
        const int px = static_cast<int>(std::floor(x)), py = static_cast<int>(std::floor(y));
        const double fx = x - px, fy = y - py;
        const struct { int x, y; double a; } quads[4] = {{px, py, (1 - fx) * (1 - fy) * p.weight},
                                                         {px + 1, py, fx * (1 - fy) * p.weight},
                                                         {px, py + 1, (1 - fx) * fy * p.weight},
                                                         {px + 1, py + 1, fx * fy * p.weight}};
        for (const auto& q : quads) {
            if (q.a <= 0 || q.x < 0 || q.y < 0 || q.x >= width || q.y >= height) continue;
            int& d = image[q.y * width + q.x];
            const double a = std::min(q.a, 1.0);
            d = RoundEven(d * (1 - a) + 255 * a);
        }
    }
    return image;
}

std::string CompareWithModel(const GuardedBitmap& canvas, const std::vector<int>& model)
{
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (canvas.At(x, y) != model[y * canvas.width() + x])
                return std::to_string(x) + "," + std::to_string(y) + ": " + std::to_string(canvas.At(x, y)) +
                       " vs " + std::to_string(model[y * canvas.width() + x]);
    return "";
}

void Draw(PathBuilder& path, const std::vector<std::vector<Pt>>& subpaths, bool closed)
{
    for (const std::vector<Pt>& ring : subpaths) {
        path.MoveTo(ring[0].x, ring[0].y);
        for (size_t i = 1; i < ring.size(); ++i) path.LineTo(ring[i].x, ring[i].y);
        if (closed) path.Close(); else path.End();
    }
}

struct PlotCase {
    const char* name;
    std::vector<std::vector<Pt>> subpaths;
    bool closed;
    std::int32_t kind;
    double width;
};

std::vector<PlotCase> PlotCases()
{
    const std::vector<Pt> row{{5.25, 10.5}, {40.75, 10.5}};
    const std::vector<Pt> line{{3, 10.5}, {61, 10.5}};
    const std::vector<Pt> second{{3, 30.5}, {44, 30.5}};
    return {
        {"one pixel on a row centre", {row}, false, OutlineSolid, 1.0},
        {"one pixel between rows", {{{5.25, 20.0}, {58.5, 20.0}}}, false, OutlineSolid, 1.0},
        {"vertical", {{{30.75, 3.25}, {30.75, 44.5}}}, false, OutlineSolid, 0.96},
        {"diagonal", {{{5.25, 7.75}, {58.5, 41.25}}}, false, OutlineSolid, 1.04},
        {"closed triangle", {{{10.5, 40.25}, {32.75, 6.5}, {54.125, 38.0}}}, true, OutlineSolid, 1.0},
        {"short line with its end close by", {{{10.5, 10.5}, {12.2578125, 10.5}}}, false, OutlineSolid, 1.0},
        {"dashes 18-6", {line, second}, false, OutlineDash, 1.0},
        {"dots 3-3", {line, second}, false, OutlineDot, 1.0},
        {"dash-dot", {line, second}, false, OutlineDashDot, 1.0},
        {"dash-dot-dot", {line, second}, false, OutlineDashDotDot, 1.0},
        {"dashed closed square", {{{10, 10}, {50, 10}, {50, 40}, {10, 40}}}, true, OutlineDashDot, 1.0},
    };
}

TEST(ThinStroke, OnePixelOutlinesArePlottedPointByPoint)
{
    for (const PlotCase& c : PlotCases()) {
        GuardedBitmap canvas(64, 48);
        PathBuilder path;
        Draw(path, c.subpaths, c.closed);
        RenderOptions options;
        options.closed = c.closed;
        ASSERT_GE(DrawWhole(canvas, path, Outline(c.width, c.kind), options), 0) << c.name;
        EXPECT_EQ("", CompareWithModel(canvas, PlotModel(WalkPolylines(c.subpaths, c.closed, c.kind), 64, 48)))
            << c.name;
        EXPECT_TRUE(canvas.GuardsIntact()) << c.name;
    }
}

TEST(ThinStroke, DotsDrawThreeStepsAndLeaveThreeBlankInEverySubpath)
{
    GuardedBitmap canvas(64, 48);
    PathBuilder path;
    path.MoveTo(10, 10.5).LineTo(40, 10.5).End();
    path.MoveTo(10, 20.5).LineTo(40, 20.5).End();
    RenderOptions options;
    options.closed = 0;
    ASSERT_GE(DrawWhole(canvas, path, Outline(1.0, OutlineDot), options), 0);
    // Points 10, 11, 12 drawn, 13, 14, 15 left out, 16, 17, 18 drawn: each point lands half on the
    // pixel to its left and half on its own.
    const int expected[] = {128, 191, 191, 128, 0, 0, 128, 191, 191, 128, 0, 0};
    for (int row : {10, 20})
        for (int i = 0; i < 12; ++i) EXPECT_NEAR(expected[i], canvas.At(9 + i, row), 1) << 9 + i << "," << row;

    // Half a pixel wide, the thin-line painter breaks at the same steps.
    GuardedBitmap narrow(64, 48);
    ASSERT_GE(DrawWhole(narrow, path, Outline(0.5, OutlineDot), options), 0);
    for (int row : {10, 20}) {
        EXPECT_EQ(128, narrow.At(10, row));
        EXPECT_EQ(128, narrow.At(11, row));
        for (int x : {12, 13, 14, 15}) EXPECT_EQ(0, narrow.At(x, row)) << x << "," << row;
        EXPECT_EQ(128, narrow.At(16, row));
    }
}

TEST(ThinStroke, WideOutlinesIgnoreTheirDashes)
{
    for (std::int32_t kind : {OutlineDash, OutlineDot, OutlineDashDot, OutlineDashDotDot}) {
        GuardedBitmap solid(64, 48), dashed(64, 48);
        PathBuilder path;
        path.MoveTo(10, 10.5).LineTo(40, 10.5).LineTo(40, 40).End();
        RenderOptions options;
        options.closed = 0;
        ASSERT_GE(DrawWhole(solid, path, Outline(2.0), options), 0);
        ASSERT_GE(DrawWhole(dashed, path, Outline(2.0, kind), options), 0);
        EXPECT_EQ("", dashed.FirstDifference(solid)) << kind;
    }
}

TEST(ThinStroke, PointsAreRecordedPixelByPixelInOneOutlineNode)
{
    // A line shorter than a pixel: its start plotted at (10, 10) whole, its end at (10.75, 10).
    GuardedBitmap canvas(64, 48);
    PathBuilder path;
    path.MoveTo(10.5, 10.5).LineTo(11.25, 10.5).End();
    std::vector<unsigned char> list(1 << 16);
    RenderOptions options;
    options.closed = 0;
    ASSERT_GT(DrawWhole(canvas, path, Outline(1.0), options, &list), 0);
    CoverageMaskNode head{};
    const std::vector<CoverageMaskEntry> entries = OutlineEntries(list, &head);
    ASSERT_EQ(3u, entries.size());
    const int expected[3][3] = {{10, 10, 255}, {10, 10, 64}, {11, 10, 191}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(expected[i][0], entries[i].x);
        EXPECT_EQ(expected[i][1], entries[i].y);
        EXPECT_EQ(expected[i][2], entries[i].value);
    }
    EXPECT_EQ(10, head.left);
    EXPECT_EQ(10, head.top);
    EXPECT_EQ(12, head.right);
    EXPECT_EQ(11, head.bottom);
    EXPECT_EQ(255, canvas.At(10, 10));
    EXPECT_EQ(191, canvas.At(11, 10));
}

TEST(ThinStroke, DashesKeepTheirPhaseAcrossTiles)
{
    struct TileCase {
        const char* name;
        std::function<void(PathBuilder&)> build;
        double width;
        std::int32_t kind;
    };
    const TileCase cases[] = {
        {"ellipse larger than the bitmap", [](PathBuilder& p) { p.Ellipse(40, 30, 35, 40); }, 1.0, OutlineDashDot},
        {"thin ellipse larger than the bitmap", [](PathBuilder& p) { p.Ellipse(40, 30, 35, 40); }, 0.6, OutlineDash},
        {"curve leaving and coming back",
         [](PathBuilder& p) { p.MoveTo(-40, 10).CurveTo(200, -30, -100, 80, 60, 40).LineTo(-300, 45).End(); }, 1.0,
         OutlineDashDotDot},
        {"long line from far away", [](PathBuilder& p) { p.MoveTo(-5000.5, 30.25).LineTo(70, 12.5).End(); }, 0.8,
         OutlineDot},
    };
    struct TileSize { int w, h; };
    for (const TileCase& c : cases) {
        GuardedBitmap whole(64, 48);
        PathBuilder path;
        c.build(path);
        RenderOptions options;
        options.closed = 0;
        ASSERT_GE(DrawWhole(whole, path, Outline(c.width, c.kind), options), 0) << c.name;
        ASSERT_GT(whole.Sum(), 0) << c.name;
        for (const TileSize& t : {TileSize{7, 5}, TileSize{16, 16}, TileSize{1, 48}, TileSize{64, 3}}) {
            GuardedBitmap tiled(64, 48);
            DrawInTiles(tiled, path, Outline(c.width, c.kind), t.w, t.h, options);
            EXPECT_EQ("", tiled.FirstDifference(whole)) << c.name << " in tiles of " << t.w << "x" << t.h;
        }
    }
}

TEST(ThinStroke, BadPathsDrawNothingHarmful)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct BadCase {
        const char* name;
        std::function<void(PathBuilder&)> build;
    };
    const BadCase cases[] = {
        {"not a number", [nan](PathBuilder& p) { p.MoveTo(5, 5).LineTo(nan, 20).LineTo(30, nan).LineTo(40, 40).End(); }},
        {"infinite", [inf](PathBuilder& p) { p.MoveTo(5, 5).LineTo(inf, 20).CurveTo(10, -inf, 20, 20, 30, 30).End(); }},
        {"huge", [](PathBuilder& p) { p.MoveTo(-1e12, 5).LineTo(1e12, 30).CurveTo(1e300, 1e300, -1e300, 5, 30, 30).End(); }},
        {"zero length", [](PathBuilder& p) { p.MoveTo(5, 5).LineTo(5, 5).CurveTo(5, 5, 5, 5, 5, 5).End(); }},
        {"a point only", [](PathBuilder& p) { p.MoveTo(20.5, 20.5).End(); }},
    };
    for (const BadCase& c : cases)
        for (double width : {0.5, 1.0})
            for (std::int32_t kind : {OutlineSolid, OutlineDot}) {
                GuardedBitmap canvas(64, 48);
                PathBuilder path;
                c.build(path);
                RenderOptions options;
                options.closed = 0;
                DrawWhole(canvas, path, Outline(width, kind), options);
                EXPECT_TRUE(canvas.GuardsIntact()) << c.name << " " << width << " " << kind;
            }
}

} // namespace
