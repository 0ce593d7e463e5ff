// Partly covered pixels of a fill, pixel by pixel against a model: the pixel's exact area a (from
// the shape's geometry), the known destination d and the source s give round(d (1 - a) + s a),
// halves to even; a 32-bit pattern's alpha or an 8-bit mask scales a first. Fully covered pixels
// take the source whole, and the recorded coverage bytes are a x 255 to the nearest.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <vector>

#include <gtest/gtest.h>

#include "RasterTestSupport.h"
#include "imaging/ImagingBitmap.h"
#include "render/CoverageMaskList.h"
#include "render/MaskListFormat.h"

namespace {

struct Point {
    double x, y;
};

// Area of the polygon inside the unit pixel (px, py), by clipping it to the pixel's four sides.
double AreaInPixel(const std::vector<Point>& polygon, int px, int py)
{
    std::vector<Point> poly = polygon;
    auto clip = [&poly](auto inside, auto cut) {
        std::vector<Point> out;
        for (size_t i = 0; i < poly.size(); ++i) {
            const Point a = poly[i], b = poly[(i + 1) % poly.size()];
            if (inside(a)) out.push_back(a);
            if (inside(a) != inside(b)) out.push_back(cut(a, b));
        }
        poly = out;
    };
    auto atX = [](double x) {
        return [x](Point a, Point b) { return Point{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)}; };
    };
    auto atY = [](double y) {
        return [y](Point a, Point b) { return Point{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y}; };
    };
    clip([px](Point p) { return p.x >= px; }, atX(px));
    clip([px](Point p) { return p.x <= px + 1; }, atX(px + 1));
    clip([py](Point p) { return p.y >= py; }, atY(py));
    clip([py](Point p) { return p.y <= py + 1; }, atY(py + 1));
    double twice = 0;
    for (size_t i = 0; i < poly.size(); ++i) {
        const Point a = poly[i], b = poly[(i + 1) % poly.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return std::fabs(twice) / 2;
}

// d (1 - a) + s a to the nearest, halves to even (the default rounding mode).
int Blend(int s, int d, double a)
{
    return static_cast<int>(std::nearbyint(d * (1 - a) + s * a));
}

// Shapes whose edges cross pixel borders only at multiples of 1/256 (axis-parallel and diagonal
// edges through such points), so the rasteriser's areas are the geometric ones.
struct ShapeCase {
    const char* name;
    std::vector<Point> polygon;
};

const std::vector<ShapeCase>& Shapes()
{
    static const std::vector<ShapeCase> shapes = {
        {"rectangle with quarter and half edges", {{10.25, 10.5}, {20.75, 10.5}, {20.75, 15.25}, {10.25, 15.25}}},
        {"rectangle with odd 1/256 edges",
         {{3 + 37 / 256.0, 20 + 101 / 256.0}, {9 + 3 / 256.0, 20 + 101 / 256.0}, {9 + 3 / 256.0, 24 + 77 / 256.0},
          {3 + 37 / 256.0, 24 + 77 / 256.0}}},
        {"diagonal triangle", {{13 + 40 / 256.0, 2 + 8 / 256.0}, {23 + 40 / 256.0, 2 + 8 / 256.0},
                               {13 + 40 / 256.0, 12 + 8 / 256.0}}},
    };
    return shapes;
}

constexpr int kSize = 32;
// Background (blue, green, red) and fill colour 0x00BBGGRR: channel pairs with odd differences,
// so a half coverage lands on a tie.
constexpr std::uint8_t kBackground[3] = {100, 3, 250};
constexpr std::uint32_t kFill = 0x00F0 << 16 | 0x00C8 << 8 | 0x0001;   // blue 240, green 200, red 1

void PaintBackground(GuardedBitmap& canvas)
{
    PathBuilder all;
    all.Rect(0, 0, canvas.width(), canvas.height());
    const std::uint32_t colour = kBackground[0] << 16 | kBackground[1] << 8 | kBackground[2];
    ASSERT_GE(DrawWhole(canvas, all, SolidFill(colour)), 0);
}

PathBuilder PathOf(const std::vector<Point>& polygon)
{
    PathBuilder path;
    std::vector<double> xy;
    for (const Point& p : polygon) {
        xy.push_back(p.x);
        xy.push_back(p.y);
    }
    path.Polygon(xy);
    return path;
}

// The coverage bytes the fill recorded, by pixel (full runs as 255).
std::map<std::pair<int, int>, int> RecordedCoverage(const std::vector<unsigned char>& list, size_t size)
{
    std::map<std::pair<int, int>, int> bytes;
    MaskListReader reader(list.data(), size);
    const MaskListError error = reader.ForEachNode([&](const CoverageMaskNode& head, const std::uint8_t* body) {
        if (head.kind != CoverageFill) return true;
        const CoverageMaskEntry* e = reinterpret_cast<const CoverageMaskEntry*>(body);
        for (int i = 0; i < head.count; ++i) {
            if (IsRun(e[i])) {
                for (int k = 0; k < RunLength(e[i]); ++k) bytes[{e[i].x + k, e[i].y}] = 255;
            } else {
                bytes[{e[i].x, e[i].y}] = e[i].value;
            }
        }
        return true;
    });
    EXPECT_EQ(MaskListError::None, error);
    return bytes;
}

TEST(EdgeBlend, FlatColourFollowsTheExactCoverage)
{
    const std::uint8_t fill[3] = {240, 200, 1};
    for (const ShapeCase& shape : Shapes()) {
        SCOPED_TRACE(shape.name);
        GuardedBitmap canvas(kSize, kSize);
        PaintBackground(canvas);
        PathBuilder path = PathOf(shape.polygon);
        std::vector<unsigned char> list(1 << 16);
        const int bytes = DrawWhole(canvas, path, SolidFill(kFill), {}, &list);
        ASSERT_GT(bytes, 0);
        const auto recorded = RecordedCoverage(list, bytes + sizeof(CoverageMaskNode));
        int partial = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const double a = AreaInPixel(shape.polygon, x, y);
                const int byte = static_cast<int>(std::floor(a * 255 + 0.5));
                const auto it = recorded.find({x, y});
                if (byte == 0) {
                    EXPECT_TRUE(it == recorded.end()) << x << "," << y;
                } else {
                    ASSERT_TRUE(it != recorded.end()) << x << "," << y;
                    EXPECT_EQ(byte, it->second) << "recorded byte at " << x << "," << y;
                }
                if (a > 0 && a < 1) ++partial;
                for (int c = 0; c < 3; ++c) {
                    const int expected = byte == 0 ? kBackground[c] : Blend(fill[c], kBackground[c], a);
                    ASSERT_EQ(expected, canvas.Pixel(x, y)[c]) << "channel " << c << " at " << x << "," << y
                                                                << ", coverage " << a;
                }
            }
        EXPECT_GT(partial, 4);
        EXPECT_TRUE(canvas.GuardsIntact());
    }
}

// Pattern pixels: 24-bit ones mixed in by the coverage, 32-bit ones by coverage x alpha / 255,
// 8-bit ones as a mask of the flat colour.
TEST(EdgeBlend, PatternFillsFollowTheExactCoverage)
{
    const std::uint8_t fill[3] = {240, 200, 1};
    for (int depth : {24, 32, 8}) {
        ImagingBitmap pattern;
        ImagingInitBitmap(&pattern);
        ASSERT_EQ(ImagingAllocateBitmap(&pattern, kSize, kSize + 1, depth), ImagingOk);
        {
            ImagingAccessScope access(&pattern);
            for (int y = 0; y < kSize + 1; ++y)
                for (int x = 0; x < kSize; ++x) {
                    unsigned char* p = ImagingPixelAddress(&pattern, x, y);
                    for (int c = 0; c < depth / 8; ++c)
                        p[c] = static_cast<unsigned char>(c == 3 ? 90 + 5 * y : 7 * x + 3 * y + 61 * c + 1);
                }
        }
        for (const ShapeCase& shape : Shapes()) {
            SCOPED_TRACE(testing::Message() << shape.name << ", pattern depth " << depth);
            GuardedBitmap canvas(kSize, kSize);
            PaintBackground(canvas);
            PathBuilder path = PathOf(shape.polygon);
            FillInfo request = SolidFill(kFill);
            request.FillType = FillPattern;
            request.PatternBitmap = &pattern;
            request.PatternOriginX = 0;
            request.PatternOriginY = 1;   // destination (X, Y) takes pattern pixel (X, Y)
            ASSERT_GE(DrawWhole(canvas, path, request), 0);
            ImagingAccessScope access(&pattern);
            for (int y = 0; y < kSize; ++y)
                for (int x = 0; x < kSize; ++x) {
                    const double a = AreaInPixel(shape.polygon, x, y);
                    const int byte = static_cast<int>(std::floor(a * 255 + 0.5));
                    const unsigned char* s = ImagingPixelAddress(&pattern, x, y);
                    for (int c = 0; c < 3; ++c) {
                        const int d = kBackground[c];
                        int expected;
                        if (byte == 0) {
                            expected = d;
                        } else if (depth == 24) {
                            expected = Blend(s[c], d, a);
                        } else if (a == 1) {
                            // Full pixels: the whole-pixel blend by the source alpha, (s A + d (255 - A)) / 255.
                            const int alpha = depth == 32 ? s[3] : s[0];
                            const int src = depth == 32 ? s[c] : fill[c];
                            const unsigned v = src * alpha + d * (255 - alpha);
                            expected = static_cast<int>((v + (v >> 8) + 1) >> 8);
                        } else {
                            const int alpha = depth == 32 ? s[3] : s[0];
                            const int src = depth == 32 ? s[c] : fill[c];
                            expected = Blend(src, d, a * alpha / 255.0);
                        }
                        ASSERT_EQ(expected, canvas.Pixel(x, y)[c]) << "channel " << c << " at " << x << "," << y
                                                                    << ", coverage " << a;
                    }
                }
            EXPECT_TRUE(canvas.GuardsIntact());
        }
        ImagingFreeBitmap(&pattern);
    }
}

}  // namespace
