// The frame of one tile: the row limit, tiles low in a tall bitmap (drawn in tile-relative rows,
// recorded and returned in the bitmap's own), inputs left exactly as passed, and coverage records
// whose 16-bit columns and rows cannot hold every pixel of a large bitmap.
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "RasterTestSupport.h"

namespace {

// Everything a call may change only for its own duration, byte for byte.
struct InputSnapshot {
    std::vector<unsigned char> segments;
    FillInfo request;
    ImagingBitmap bitmap;

    InputSnapshot(const SegmentDesc* segs, int count, const FillInfo& r, const ImagingBitmap& b)
        : segments(reinterpret_cast<const unsigned char*>(segs),
                   reinterpret_cast<const unsigned char*>(segs) + sizeof(SegmentDesc) * count),
          request(r),
          bitmap(b)
    {
    }

    bool Matches(const SegmentDesc* segs, int count, const FillInfo& r, const ImagingBitmap& b) const
    {
        return segments.size() == sizeof(SegmentDesc) * count && std::memcmp(segments.data(), segs, segments.size()) == 0 &&
               std::memcmp(&request, &r, sizeof r) == 0 && std::memcmp(&bitmap, &b, sizeof b) == 0;
    }
};

using PixelMap = std::map<std::pair<int, int>, int>;   // (x, y) -> coverage

// Reads a coverage list into the pixels it records; "" or what is wrong with the list.
std::string ReadList(const std::vector<unsigned char>& list, int bytes, PixelMap& pixels, int* nodes = nullptr)
{
    int offset = 0, count = 0;
    while (true) {
        if (offset + static_cast<int>(sizeof(CoverageMaskNode)) > static_cast<int>(list.size()))
            return "list runs past its buffer";
        CoverageMaskNode head;
        std::memcpy(&head, list.data() + offset, sizeof head);
        if (head.count == 0) break;
        if (head.kind == CoverageRaster) return "unexpected raster node";
        for (int i = 0; i < head.count; ++i) {
            CoverageMaskEntry e;
            std::memcpy(&e, list.data() + offset + sizeof head + 6 * i, sizeof e);
            if (e.value & kCoverageRunFlag) {
                for (int k = 0; k < (e.value & 0x7FFF); ++k) pixels[{e.x + k, e.y}] = 255;
            } else {
                // A pixel listed more than once (points of a pixel-wide outline overlap) is laid
                // over itself the way a replay in white over black does.
                const auto it = pixels.find({e.x, e.y});
                const unsigned below = it == pixels.end() ? 0 : it->second, a = e.value;
                const unsigned x = 255 * a + below * (255 - a);
                pixels[{e.x, e.y}] = (x + (x >> 8) + 1) >> 8;
            }
        }
        offset += CoverageNodeBytes(head);
        ++count;
    }
    if (bytes >= 0 && offset != bytes) return "result " + std::to_string(bytes) + " but nodes end at " + std::to_string(offset);
    if (nodes) *nodes = count;
    return "";
}

FillInfo WhiteFill() { return SolidFill(0xFFFFFF); }
FillInfo WhiteOutline(double width) { return Outline(width, OutlineSolid, 0xFFFFFF); }

TEST(TileFrame, TallBitmapTilesAreDrawnInTheirOwnRowsAndRecordedInTheBitmaps)
{
    const int width = 21, height = 2200;
    struct Request {
        const char* name;
        FillInfo request;
        int recordSlack;   // overlapping points are blended exactly but recorded as bytes
    };
    const Request requests[] = {
        {"fill", WhiteFill(), 0},
        {"wide outline", WhiteOutline(2.5), 0},
        {"thin outline", WhiteOutline(0.7), 0},
        {"pixel-wide outline", WhiteOutline(1.0), 4},
    };
    struct Tile {
        RECT rect;
        bool drawn;
    };
    const Tile tiles[] = {
        {{0, 0, width, 1013}, true},        // the most rows a tile may have
        {{0, 0, width, 1014}, false},       // one more is refused
        {{0, 1000, width, 1100}, true},     // its bottom lies past the row tables: drawn from row 1000 as row 0
        {{0, 1187, width, 2200}, true},     // full height, ending at the bitmap's last row
        {{0, 1100, width, 2114}, false},    // too tall even once moved up
        {{3, 1500, 17, 1501}, true},        // a single row, low down
    };
    for (const Request& r : requests) {
        PathBuilder path;
        path.Ellipse(10.5, 1100, 8.3, 1090);
        GuardedBitmap whole(width, height);
        {
            RECT clip{0, 0, width, height};
            ASSERT_GE(DrawPolyBezierTiled(whole.get(), &clip, path.data(), path.count(), nullptr, nullptr, &r.request,
                                          1, 1, nullptr, 0), 0) << r.name;
        }
        for (const Tile& t : tiles) {
            SCOPED_TRACE(std::string(r.name) + " in rows " + std::to_string(t.rect.top) + "-" + std::to_string(t.rect.bottom));
            GuardedBitmap canvas(width, height);
            std::vector<unsigned char> list(1 << 20, 0xEE);
            const InputSnapshot before(path.data(), path.count(), r.request, *canvas.get());
            RECT tile = t.rect;
            int status = TileDone;
            const int bytes = RenderPolyBezierTile(canvas.get(), &tile, path.data(), path.count(), list.data(),
                                                   list.data() + list.size(), &r.request, RenderOptions{}, &status);
            EXPECT_TRUE(before.Matches(path.data(), path.count(), r.request, *canvas.get()));
            EXPECT_TRUE(canvas.GuardsIntact());
            PixelMap recorded;
            ASSERT_EQ("", ReadList(list, bytes, recorded));
            if (!t.drawn) {
                EXPECT_EQ(TileTooLarge, status);
                EXPECT_EQ(0, bytes);
                EXPECT_TRUE(recorded.empty());
                EXPECT_EQ(0, canvas.Sum());
                EXPECT_TRUE(EqualRect(&tile, &t.rect));
                continue;
            }
            ASSERT_EQ(TileDone, status);
            EXPECT_GT(bytes, 0);
            EXPECT_TRUE(EqualRect(&tile, &t.rect));
            // The tile holds the whole drawing's pixels and nothing outside it is touched; the
            // record names exactly the pixels painted, at their coverage, in bitmap rows.
            std::string firstWrong;
            for (int y = 0; y < height && firstWrong.empty(); ++y)
                for (int x = 0; x < width; ++x) {
                    const POINT p{x, y};
                    const bool inside = PtInRect(&t.rect, p) != 0;
                    const int want = inside ? whole.At(x, y) : 0;
                    const auto it = recorded.find({x, y});
                    const int listed = it == recorded.end() ? 0 : it->second;
                    if (canvas.At(x, y) != want || std::abs(listed - want) > r.recordSlack) {
                        firstWrong = std::to_string(x) + "," + std::to_string(y) + ": painted " +
                                     std::to_string(canvas.At(x, y)) + ", recorded " + std::to_string(listed) +
                                     ", whole drawing " + std::to_string(want);
                        break;
                    }
                }
            EXPECT_EQ("", firstWrong);
            for (const auto& entry : recorded) {
                EXPECT_GE(entry.first.second, t.rect.top);
                EXPECT_LT(entry.first.second, t.rect.bottom);
            }
        }
    }
}

SegmentDesc Record(std::int32_t kind, tagPointF a, tagPointF b = {}, tagPointF c = {})
{
    SegmentDesc s{};
    s.kind = kind;
    s.pt1 = a;
    s.pt2 = b;
    s.pt3 = c;
    return s;
}

// Tiles that the path's edges do not come near are wholly inside or wholly outside it: whatever
// settles them must give the pixels and the record that scan conversion gives, for every fill rule
// and winding (nested, opposed, doubled sub-paths, joins between records, unusable points).
TEST(TileFrame, TilesNoEdgeReachesMatchTheWholeDrawing)
{
    const int width = 160, height = 120;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    RenderOptions evenOdd, nonZero;
    nonZero.nonZeroFill = 1;
    auto nested = [](bool opposed) {
        PathBuilder p;
        p.Rect(10, 10, 150, 110);
        if (opposed) p.Polygon({40, 30, 40, 90, 120, 90, 120, 30});
        else p.Rect(40, 30, 120, 90);
        return p.segments();
    };
    auto rings = [] {
        PathBuilder p;
        p.Ellipse(80, 60, 75.3, 57.1).Ellipse(80, 60, 40.2, 25.7).Ellipse(83, 61, 12, 9);
        return p.segments();
    };
    // Records that do not meet (joined by lines), a cubic, and a record with an unusable point.
    const std::vector<SegmentDesc> joined = {
        Record(SegmentLine, {10, 10}, {150, 10}),
        Record(SegmentLine, {150, 20}, {150, 110}),
        Record(SegmentCubic, {150, 110}, {100, 135}, {60, 135}),
        Record(SegmentLine, {10, 110}, {10, 70}),
        Record(SegmentLine, {nan, 5}, {3, 40}),
        Record(SegmentEnd, {3, 40}),   // closed by the fill back to (10, 10)
    };
    struct Scene {
        const char* name;
        std::function<std::vector<SegmentDesc>()> path;
        FillInfo request;
        RenderOptions options;
    };
    const Scene scenes[] = {
        {"nested, same direction, even-odd", [&] { return nested(false); }, WhiteFill(), evenOdd},
        {"nested, same direction, non-zero", [&] { return nested(false); }, WhiteFill(), nonZero},
        {"nested, opposed, non-zero", [&] { return nested(true); }, WhiteFill(), nonZero},
        {"three rings of curves, even-odd", rings, WhiteFill(), evenOdd},
        {"three rings of curves, non-zero", rings, WhiteFill(), nonZero},
        {"records joined by lines", [&] { return joined; }, WhiteFill(), evenOdd},
        {"wide outline of rings", rings, WhiteOutline(4.5), evenOdd},
        {"thin outline of nested squares", [&] { return nested(true); }, WhiteOutline(0.8), evenOdd},
    };
    struct TileSize { int w, h; };
    const TileSize sizes[] = {{16, 16}, {23, 7}, {40, 40}, {width, 1}, {1, height}};
    for (const Scene& scene : scenes) {
        const std::vector<SegmentDesc> path = scene.path();
        const int count = static_cast<int>(path.size());
        GuardedBitmap whole(width, height);
        RECT all{0, 0, width, height};
        int status = TileDone;
        ASSERT_GT(RenderPolyBezierTile(whole.get(), &all, path.data(), count, nullptr, nullptr, &scene.request,
                                       scene.options, &status), -1) << scene.name;
        ASSERT_EQ(TileDone, status) << scene.name;
        ASSERT_GT(whole.Sum(), 0) << scene.name;
        for (const TileSize& size : sizes) {
            GuardedBitmap tiled(width, height);
            std::string firstWrong;
            for (int top = 0; top < height && firstWrong.empty(); top += size.h)
                for (int left = 0; left < width && firstWrong.empty(); left += size.w) {
                    const RECT asked{left, top, std::min(width, left + size.w), std::min(height, top + size.h)};
                    RECT tile = asked;
                    std::vector<unsigned char> list(1 << 16, 0xEE);
                    const int bytes = RenderPolyBezierTile(tiled.get(), &tile, path.data(), count, list.data(),
                                                           list.data() + list.size(), &scene.request, scene.options,
                                                           &status);
                    PixelMap recorded;
                    const std::string listFault = ReadList(list, bytes, recorded);
                    const std::string where = " in tile " + std::to_string(left) + "," + std::to_string(top);
                    if (status != TileDone || !listFault.empty() || !EqualRect(&tile, &asked)) {
                        firstWrong = "tile not drawn cleanly" + where + ": " + listFault;
                        break;
                    }
                    for (int y = asked.top; y < asked.bottom && firstWrong.empty(); ++y)
                        for (int x = asked.left; x < asked.right; ++x) {
                            const auto it = recorded.find({x, y});
                            const int listed = it == recorded.end() ? 0 : it->second;
                            if (tiled.At(x, y) != whole.At(x, y) || listed != whole.At(x, y)) {
                                firstWrong = std::to_string(x) + "," + std::to_string(y) + where + ": painted " +
                                             std::to_string(tiled.At(x, y)) + ", recorded " + std::to_string(listed) +
                                             ", whole " + std::to_string(whole.At(x, y));
                                break;
                            }
                        }
                    if (firstWrong.empty() && recorded.size() > 0 &&
                        !PtInRect(&asked, POINT{recorded.begin()->first.first, recorded.begin()->first.second}))
                        firstWrong = "record outside its tile" + where;
                }
            EXPECT_EQ("", firstWrong) << scene.name << ", tiles of " << size.w << "x" << size.h;
            EXPECT_TRUE(tiled.GuardsIntact()) << scene.name;
        }
    }
}

// Expected tiles of a drawing that is too tall: quadrants, depth first, until under the row limit.
void Quadrants(const RECT& r, std::vector<RECT>& out)
{
    if (r.bottom - r.top < 1014) {
        out.push_back(r);
        return;
    }
    const int mx = (r.left + r.right) >> 1, my = (r.top + r.bottom) >> 1;
    for (const RECT& q : {RECT{r.left, r.top, mx, my}, RECT{mx, r.top, r.right, my}, RECT{r.left, my, mx, r.bottom},
                          RECT{mx, my, r.right, r.bottom}})
        Quadrants(q, out);
}

// A drawing taller than a tile is first narrowed to the path's bounds, then cut into quadrants
// (not strips), whose fill nodes follow one another in the caller's list in that order.
TEST(TileDriver, TallDrawingIsCutIntoQuadrantsOfThePathsBounds)
{
    struct Case {
        const char* name;
        double l, t, r, b;   // the filled rectangle
        RECT bounds;         // its bounds rounded outwards
    };
    const Case cases[] = {
        {"4001 rows: two levels", 3.5, 10.25, 40.75, 4010.5, {3, 10, 41, 4011}},
        {"1014 rows: one level", 0, 0, 20, 1013.5, {0, 0, 21, 1014}},
        {"5000 rows: three levels", 1.25, 2, 60, 5001.75, {1, 2, 61, 5002}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GuardedBitmap canvas(64, 5100);
        PathBuilder path;
        path.Rect(c.l, c.t, c.r, c.b);
        const FillInfo request = WhiteFill();
        std::vector<unsigned char> list(1 << 22, 0xEE);
        RECT clip{0, 0, 64, 5100};
        const int bytes = DrawPolyBezierTiled(canvas.get(), &clip, path.data(), path.count(), list.data(),
                                              list.data() + list.size(), &request, 1, 1, nullptr, 0);
        ASSERT_GT(bytes, 0);
        EXPECT_TRUE(EqualRect(&clip, &c.bounds));
        std::vector<RECT> expected;
        Quadrants(c.bounds, expected);
        std::vector<RECT> nodes;
        int offset = 0;
        while (true) {
            CoverageMaskNode head;
            std::memcpy(&head, list.data() + offset, sizeof head);
            if (head.count == 0) break;
            EXPECT_EQ(CoverageFill, head.kind);
            nodes.push_back({head.left, head.top, head.right, head.bottom});
            offset += CoverageNodeBytes(head);
        }
        EXPECT_EQ(bytes, offset);
        ASSERT_EQ(expected.size(), nodes.size());
        for (size_t i = 0; i < nodes.size(); ++i)
            EXPECT_TRUE(EqualRect(&expected[i], &nodes[i]))
                << "tile " << i << ": " << nodes[i].left << "," << nodes[i].top << "-" << nodes[i].right << ","
                << nodes[i].bottom;
        EXPECT_TRUE(canvas.GuardsIntact());
    }
}

// A pixel past column or row 32767 cannot be written into a list entry: the pixels are painted all
// the same, and the record is reported incomplete rather than holding wrapped coordinates.
TEST(TileFrame, PixelsBeyondSixteenBitCoordinatesArePaintedButNotRecorded)
{
    struct Case {
        const char* name;
        int width, height;
        RECT tile;            // drawn with the tile renderer; empty: through the driver
        bool recordable;
        int pathTop = 0, pathBottom = 0;   // rows of the filled rectangle (0, 0: all of them)
    };
    const Case cases[] = {
        {"tall, rows below 32767", 1, 40000, {0, 31000, 1, 32000}, true},
        {"tall, last row 32767", 1, 40000, {0, 31768, 1, 32768}, true},
        {"tall, rows across 32767", 1, 40000, {0, 32700, 1, 33200}, false},
        {"tall, rows past 32767", 1, 40000, {0, 38987, 1, 40000}, false},
        {"tall, split by the driver across row 32767", 2, 40000, {}, false, 32000, 33500},
        {"wide, last column 32767", 32768, 3, {}, true},
        {"wide, one column more", 32769, 3, {}, false},
        {"wide, run longer than an entry holds", 40000, 3, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GuardedBitmap canvas(c.width, c.height);
        const int pathTop = c.pathBottom ? c.pathTop : 0, pathBottom = c.pathBottom ? c.pathBottom : c.height;
        PathBuilder path;
        path.Rect(0, pathTop, c.width, pathBottom);
        const FillInfo request = WhiteFill();
        std::vector<unsigned char> list(1 << 20, 0xEE);
        RECT area = c.tile;
        int bytes;
        if (IsRectEmpty(&c.tile)) {
            area = {0, pathTop, c.width, pathBottom};
            RECT clip{0, 0, c.width, c.height};
            bytes = DrawPolyBezierTiled(canvas.get(), &clip, path.data(), path.count(), list.data(),
                                        list.data() + list.size(), &request, 1, 1, nullptr, 0);
        } else {
            RECT tile = c.tile;
            int status = TileDone;
            bytes = RenderPolyBezierTile(canvas.get(), &tile, path.data(), path.count(), list.data(),
                                         list.data() + list.size(), &request, RenderOptions{}, &status);
            EXPECT_EQ(TileDone, status);
        }
        long long painted = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) painted += canvas.At(x, y) == 255;
        EXPECT_EQ(static_cast<long long>(area.right - area.left) * (area.bottom - area.top), painted);
        EXPECT_EQ(painted * 255, canvas.Sum());   // and nothing else
        EXPECT_TRUE(canvas.GuardsIntact());

        PixelMap recorded;
        int nodes = 0;
        ASSERT_EQ("", ReadList(list, c.recordable ? bytes : -1, recorded, &nodes));
        // Whatever was recorded names pixels of the area, none wrapped round.
        for (const auto& entry : recorded) {
            const POINT p{entry.first.first, entry.first.second};
            EXPECT_TRUE(PtInRect(&area, p)) << p.x << "," << p.y;
        }
        if (c.recordable) {
            EXPECT_GT(bytes, 0);
            EXPECT_EQ(static_cast<size_t>(painted), recorded.size());
        } else {
            // Split tiles before the one that could not be recorded keep their nodes, in a list
            // that still ends properly; the answer says the record is incomplete.
            EXPECT_EQ(RenderListFull, bytes);
            EXPECT_LT(recorded.size(), static_cast<size_t>(painted));
        }
    }
}

// The result is the byte length of the nodes: a tile or a split drawing that records nothing
// still ends its list at once, so an early return leaves an empty list.
TEST(TileFrame, EveryReturnLeavesAnEndedList)
{
    struct Case {
        const char* name;
        FillInfo request;
        RECT tile;
    };
    FillInfo nothing = WhiteFill();
    nothing.FillType = FillNone;
    const Case cases[] = {
        {"no fill, no outline", nothing, {0, 0, 40, 40}},
        {"empty tile", WhiteFill(), {10, 10, 10, 30}},
        {"path far from the tile", WhiteOutline(3), {0, 0, 5, 5}},
        {"too many rows", WhiteFill(), {0, 0, 40, 1500}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GuardedBitmap canvas(40, 1500);
        PathBuilder path;
        path.Rect(20.5, 20.5, 35, 35);   // 15.5 px from the far tile: more than 8 half widths of 3 px
        std::vector<unsigned char> list(4096, 0xEE);
        RECT tile = c.tile;
        int status = TileDone;
        const int bytes = RenderPolyBezierTile(canvas.get(), &tile, path.data(), path.count(), list.data(),
                                               list.data() + list.size(), &c.request, RenderOptions{}, &status);
        EXPECT_EQ(0, bytes);
        CoverageMaskNode head;
        std::memcpy(&head, list.data(), sizeof head);
        EXPECT_EQ(0, head.count);
        EXPECT_EQ(0, canvas.Sum());
    }
}

} // namespace
