// The step cache of dashed curves: entries are found by the whole curve, never by its 16-bit key
// alone, and a caller's key slot drops the entries it no longer needs.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "EngineTables.h"
#include "PathWalk.h"
#include "render/EngineState.h"

namespace {

std::vector<SegmentDesc> CurvePath(const double p[8])
{
    std::vector<SegmentDesc> segs(2);
    segs[0].kind = SegmentCubic;
    segs[0].pt1 = {p[0], p[1]};
    segs[0].pt2 = {p[2], p[3]};
    segs[0].pt3 = {p[4], p[5]};
    segs[1].kind = SegmentEnd;
    segs[1].pt1 = {p[6], p[7]};
    return segs;
}

// Length of the curve's polyline as the walk flattens it when the curve is in view.
double FlattenedLength(const double p[8])
{
    PathWalk walk(100000);
    const std::vector<SegmentDesc> segs = CurvePath(p);
    WalkRequest request;
    request.segments = segs.data();
    request.count = 2;
    request.clip = {-1e6, -1e6, 1e6, 1e6};
    request.tolerance = 0.0025;
    request.needLengths = true;
    EXPECT_TRUE(walk.Run(request));
    double total = 0;
    for (const WalkPoint& pt : walk.points()) total += pt.length;
    return total;
}

// Length the walk gives the curve's chord when the curve lies outside the clip.
double CulledLength(const double p[8], unsigned short* key)
{
    PathWalk walk(100);
    const std::vector<SegmentDesc> segs = CurvePath(p);
    WalkRequest request;
    request.segments = segs.data();
    request.count = 2;
    request.clip = {5000, 5000, 6000, 6000};
    request.tolerance = 0.0025;
    request.needLengths = true;
    request.dashKey = key;
    CriticalSectionHolder lock(RenderingLock());
    EXPECT_TRUE(walk.Run(request));
    EXPECT_EQ(2u, walk.points().size());
    return walk.points().back().length;
}

TEST(DashCache, CurvesSharingAKeyKeepTheirOwnLengths)
{
    // Same whole-pixel coordinates under XOR, so the same 16-bit key; different curves.
    const double a[8] = {0, 0, 40, 40, 80, 40, 120, 0};
    const double b[8] = {0, 0, 40, 80, 80, 80, 120, 0};
    unsigned short key = 0;
    const double la = CulledLength(a, &key);
    const unsigned short keyA = key;
    const double lb = CulledLength(b, &key);
    EXPECT_EQ(keyA, key);
    EXPECT_NEAR(FlattenedLength(a), la, 1e-9);
    EXPECT_NEAR(FlattenedLength(b), lb, 1e-9);
    EXPECT_GT(lb - la, 10.0);
    // Asked again, each still finds its own entry.
    EXPECT_EQ(la, CulledLength(a, &key));
    EXPECT_EQ(lb, CulledLength(b, &key));
}

TEST(DashCache, MovingTheCallersKeyDropsTheOldEntries)
{
    const double a[8] = {0, 0, 40, 40, 80, 40, 120, 0};
    const double c[8] = {3, 0, 40, 40, 80, 40, 120, 0};
    unsigned short key = 0;
    CulledLength(a, &key);
    const unsigned short keyA = key;
    CulledLength(c, &key);
    ASSERT_NE(keyA, key);
    CriticalSectionHolder lock(RenderingLock());
    for (const auto& entry : EngineTables::Get().tileCache) EXPECT_NE(keyA, entry.first.hash);
}

} // namespace

namespace {

TEST(PathWalkPool, FullPoolStopsTheWalkAtTheAppendThatDoesNotFit)
{
    // One long curve needs far more points than this pool holds.
    const double big[8] = {0, 0, 4000, 3000, -3000, 4000, 5000, 5000};
    const std::vector<SegmentDesc> segs = CurvePath(big);
    struct PoolCase { int capacity; bool fits; };
    for (const PoolCase& c : {PoolCase{10, false}, PoolCase{1000, false}, PoolCase{5000, true}}) {
        PathWalk walk(c.capacity);
        WalkRequest request;
        request.segments = segs.data();
        request.count = 2;
        request.clip = {-1e6, -1e6, 1e6, 1e6};
        request.tolerance = 0.0025;
        EXPECT_EQ(c.fits, walk.Run(request)) << c.capacity;
        EXPECT_LE(static_cast<int>(walk.points().size()), c.capacity);
    }
}

} // namespace
