// Bad input never crashes and never writes outside the bitmap or the caller's coverage buffer.
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "RasterTestSupport.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

struct BadPath {
    const char* name;
    std::function<void(PathBuilder&)> build;
};

FillInfo WithOutline(double width, std::int32_t kind = OutlineSolid)
{
    FillInfo f = SolidFill(0xFFFFFF);
    f.OutlineType = kind;
    f.OutlineWidth = width;
    f.OutlineColor = 0x808080;
    return f;
}

TEST(BadInput, DamagedPathsDrawSafely)
{
    const BadPath paths[] = {
        {"NaN corner", [](PathBuilder& p) { p.Polygon({2, 2, kNaN, 10, 30, 30, 2, 30}); }},
        {"NaN control point", [](PathBuilder& p) { p.MoveTo(2, 2).CurveTo(kNaN, 5, 20, kNaN, 30, 30).Close(); }},
        {"infinite points", [](PathBuilder& p) { p.Polygon({2, 2, kInf, 10, 30, -kInf, 2, 30}); }},
        {"huge coordinates", [](PathBuilder& p) { p.Polygon({-1e15, -1e15, 1e15, -1e15, 1e15, 1e15, -1e15, 1e15}); }},
        {"huge triangle through the bitmap", [](PathBuilder& p) { p.Polygon({-1e12, 16, 1e12, 10, 1e12, 22}); }},
        {"huge cubic", [](PathBuilder& p) { p.MoveTo(0, 0).CurveTo(1e300, -1e300, -1e300, 1e300, 30, 30).Close(); }},
        {"cubic collapsed to a point", [](PathBuilder& p) { p.MoveTo(16, 16).CurveTo(16, 16, 16, 16, 16, 16).End(); }},
        {"single point", [](PathBuilder& p) { p.MoveTo(5, 5).End(); }},
        {"far outside", [](PathBuilder& p) { p.Rect(5000, 5000, 6000, 6000); }},
        {"negative coordinates", [](PathBuilder& p) { p.Rect(-50, -50, 10.5, 10.5); }},
    };
    const FillInfo requests[] = {SolidFill(), WithOutline(3), WithOutline(0.5), WithOutline(1.0, OutlineDash),
                                 WithOutline(1e9), WithOutline(kNaN), WithOutline(-2)};
    for (const BadPath& b : paths)
        for (const FillInfo& request : requests) {
            GuardedBitmap canvas(33, 31);
            PathBuilder path;
            b.build(path);
            std::vector<unsigned char> list(1 << 16);
            const int result = DrawWhole(canvas, path, request, {}, &list);
            EXPECT_TRUE(result >= 0 || result == RenderFailed) << b.name << " width " << request.OutlineWidth;
            EXPECT_TRUE(canvas.GuardsIntact()) << b.name << " width " << request.OutlineWidth;
        }
}

TEST(BadInput, OddRecordsAndCountsAreSkipped)
{
    GuardedBitmap canvas(32, 32), reference(32, 32);
    PathBuilder path;
    path.Rect(4, 4, 20, 20);
    std::vector<SegmentDesc> segs = path.segments();
    SegmentDesc odd{};
    odd.kind = 7;
    odd.pt1 = {100, 100};
    segs.insert(segs.begin() + 2, odd);
    RECT clip{0, 0, 32, 32};
    const FillInfo request = SolidFill();
    EXPECT_GE(DrawPolyBezierTiled(canvas.get(), &clip, segs.data(), static_cast<int>(segs.size()), nullptr, nullptr,
                                  &request, 1, 1, nullptr, 0), 0);
    DrawWhole(reference, path, request);
    EXPECT_TRUE(canvas.SamePixels(reference));

    // A cubic as the last record has no end point: it is left out.
    SegmentDesc lone{};
    lone.kind = SegmentCubic;
    lone.pt1 = {1, 1};
    lone.pt2 = {30, 1};
    lone.pt3 = {30, 30};
    RECT clip2{0, 0, 32, 32};
    EXPECT_GE(DrawPolyBezierTiled(canvas.get(), &clip2, &lone, 1, nullptr, nullptr, &request, 1, 1, nullptr, 0), 0);
    EXPECT_TRUE(canvas.GuardsIntact());
    // Empty and missing paths draw nothing.
    RECT clip3{0, 0, 32, 32};
    GuardedBitmap empty(32, 32);
    EXPECT_EQ(0, DrawPolyBezierTiled(empty.get(), &clip3, segs.data(), 0, nullptr, nullptr, &request, 1, 1, nullptr, 0));
    EXPECT_EQ(0, DrawPolyBezierTiled(empty.get(), &clip3, nullptr, 5, nullptr, nullptr, &request, 1, 1, nullptr, 0));
    EXPECT_EQ(0, empty.Sum());
}

TEST(BadInput, ClipRectanglesLargerThanTheBitmap)
{
    struct ClipCase { RECT clip; };
    const ClipCase clips[] = {{{-100, -100, 10000, 10000}}, {{-5, 3, 40, 29}}, {{20, -7, 33, 31}}, {{31, 29, 3000, 4000}}};
    for (const ClipCase& c : clips) {
        GuardedBitmap canvas(33, 31);
        PathBuilder path;
        path.Rect(-20, -20, 60, 60);
        RECT clip = c.clip;
        const FillInfo request = WithOutline(2.5);
        EXPECT_GE(DrawPolyBezierTiled(canvas.get(), &clip, path.data(), path.count(), nullptr, nullptr, &request, 1, 1,
                                      nullptr, 0), 0);
        EXPECT_TRUE(canvas.GuardsIntact());
        RECT inside;
        const RECT bitmap{0, 0, 33, 31};
        IntersectRect(&inside, &c.clip, &bitmap);
        EXPECT_EQ(255, canvas.At(inside.left, inside.top));
        EXPECT_EQ(255, canvas.At(inside.right - 1, inside.bottom - 1));
    }
    // An empty clip draws nothing and splits nothing.
    GuardedBitmap canvas(8, 8);
    PathBuilder path;
    path.Rect(0, 0, 8, 8);
    RECT empty{5, 5, 5, 9};
    const FillInfo fill = SolidFill();
    EXPECT_EQ(0, DrawPolyBezierTiled(canvas.get(), &empty, path.data(), path.count(), nullptr, nullptr, &fill, 1, 1,
                                     nullptr, 0));
    EXPECT_EQ(0, canvas.Sum());
}

TEST(BadInput, UnusableBitmapsAndRequests)
{
    PathBuilder path;
    path.Rect(1, 1, 5, 5);
    const FillInfo request = SolidFill();
    ImagingBitmap none;
    ImagingInitBitmap(&none);
    RECT clip{0, 0, 8, 8};
    EXPECT_EQ(RenderFailed, DrawPolyBezierTiled(&none, &clip, path.data(), path.count(), nullptr, nullptr, &request, 1,
                                                1, nullptr, 0));
    clip = {0, 0, 8, 8};
    EXPECT_EQ(RenderFailed, DrawPolyBezierTiled(nullptr, &clip, path.data(), path.count(), nullptr, nullptr, &request,
                                                1, 1, nullptr, 0));
    GuardedBitmap canvas(8, 8);
    EXPECT_EQ(RenderFailed, DrawPolyBezierTiled(canvas.get(), nullptr, path.data(), path.count(), nullptr, nullptr,
                                                &request, 1, 1, nullptr, 0));
    clip = {0, 0, 8, 8};
    EXPECT_EQ(RenderFailed, DrawPolyBezierTiled(canvas.get(), &clip, path.data(), path.count(), nullptr, nullptr,
                                                nullptr, 1, 1, nullptr, 0));
    // An 8-bit destination is not drawn into.
    unsigned char grey[64 * 8] = {};
    ImagingBitmap mask;
    ImagingInitBitmap(&mask);
    ImagingAttachBits(&mask, grey, 8, 8, 8, 64);
    clip = {0, 0, 8, 8};
    EXPECT_EQ(RenderFailed, DrawPolyBezierTiled(&mask, &clip, path.data(), path.count(), nullptr, nullptr, &request, 1,
                                                1, nullptr, 0));
    for (unsigned char b : grey) ASSERT_EQ(0, b);
    EXPECT_EQ(0, canvas.Sum());
}

TEST(BadInput, SmallCoverageBufferIsNeverOverrun)
{
    PathBuilder path;
    path.Ellipse(50, 50, 40, 40);
    for (size_t size : {0u, 10u, 28u, 100u, 1000u}) {
        GuardedBitmap canvas(100, 100), reference(100, 100);
        std::vector<unsigned char> list(size + 64, 0x5A);
        RECT clip{0, 0, 100, 100};
        const FillInfo request = WithOutline(3);
        const int result = DrawPolyBezierTiled(canvas.get(), &clip, path.data(), path.count(), list.data(),
                                               list.data() + size, &request, 1, 1, nullptr, 0);
        EXPECT_EQ(RenderListFull, result) << size;
        for (size_t i = size; i < list.size(); ++i) ASSERT_EQ(0x5A, list[i]) << size;
        if (size >= 28) {
            EXPECT_EQ(0, reinterpret_cast<const CoverageMaskNode*>(list.data())->count);
        }
        // The drawing itself is complete.
        DrawWhole(reference, path, request);
        EXPECT_TRUE(canvas.SamePixels(reference)) << size;
    }
}

} // namespace

namespace {

TEST(BadInput, NothingToDrawStillEndsTheList)
{
    struct NothingCase { const char* name; FillInfo request; RenderOptions options; double offset; };
    FillInfo none = SolidFill();
    none.FillType = FillNone;
    RenderOptions open;
    open.closed = 0;
    const NothingCase cases[] = {
        {"no fill and no outline", none, {}, 0},
        {"open path with a fill only", SolidFill(), open, 0},
        {"stroke far from the tile", WithOutline(2), {}, 200},
    };
    for (const NothingCase& c : cases) {
        GuardedBitmap canvas(32, 32);
        PathBuilder path;
        path.Rect(4 + c.offset, 4, 20 + c.offset, 20);
        std::vector<unsigned char> list(256, 0x77);
        RECT tile{0, 0, 32, 32};
        int status = TileDone;
        EXPECT_EQ(0, RenderPolyBezierTile(canvas.get(), &tile, path.data(), path.count(), list.data(),
                                          list.data() + list.size(), &c.request, c.options, &status)) << c.name;
        EXPECT_EQ(TileDone, status) << c.name;
        EXPECT_EQ(0, reinterpret_cast<const CoverageMaskNode*>(list.data())->count) << c.name;
        EXPECT_EQ(0, canvas.Sum()) << c.name;
    }
}

} // namespace
