// The step cache of dashed curves: a curve out of view still counts the steps its walk would take,
// entries are found by the whole curve, never by its 16-bit key alone, and a caller's key slot
// drops the entries it no longer needs.
#include <algorithm>
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

const DashPattern* Dots() { return DashPatternForOutline(OutlineDot); }

// Steps of the curve's walk when the curve is in view: one per point after its start.
long VisibleSteps(const double p[8])
{
    PathWalk walk(100000);
    const std::vector<SegmentDesc> segs = CurvePath(p);
    WalkRequest request;
    request.segments = segs.data();
    request.count = 2;
    request.clip = {-1e6, -1e6, 1e6, 1e6};
    request.tolerance = 0.96;
    request.stepLines = true;
    request.dash = Dots();
    EXPECT_TRUE(walk.Run(request));
    return static_cast<long>(walk.points().size()) - 1;
}

// Steps the cache holds for the curve after a walk that leaves it out of view.
long CulledSteps(const double p[8], unsigned short* key)
{
    PathWalk walk(100);
    const std::vector<SegmentDesc> segs = CurvePath(p);
    WalkRequest request;
    request.segments = segs.data();
    request.count = 2;
    request.clip = {5000, 5000, 6000, 6000};
    request.tolerance = 0.96;
    request.stepLines = true;
    request.dash = Dots();
    request.dashKey = key;
    CriticalSectionHolder lock(RenderingLock());
    EXPECT_TRUE(walk.Run(request));
    EXPECT_EQ(2u, walk.points().size());
    for (const auto& entry : EngineTables::Get().tileCache)
        if (std::equal(p, p + 8, entry.first.coords) && entry.first.tolerance == 0.96) {
            const std::vector<CubicStep>& steps = entry.second.steps;
            // Records start at t = 0 and rise, one per step, each with its own index.
            EXPECT_EQ(0.0, steps.front().t);
            for (size_t i = 1; i < steps.size(); ++i) {
                EXPECT_LT(steps[i - 1].t, steps[i].t);
                EXPECT_EQ(static_cast<std::int32_t>(i), steps[i].count);
            }
            return entry.second.stepCount();
        }
    ADD_FAILURE() << "no cache entry";
    return -1;
}

TEST(DashCache, CurvesSharingAKeyKeepTheirOwnSteps)
{
    // Same whole-pixel coordinates under XOR, so the same 16-bit key; different curves.
    const double a[8] = {0, 0, 40, 40, 80, 40, 120, 0};
    const double b[8] = {0, 0, 40, 80, 80, 80, 120, 0};
    unsigned short key = 0;
    const long sa = CulledSteps(a, &key);
    const unsigned short keyA = key;
    const long sb = CulledSteps(b, &key);
    EXPECT_EQ(keyA, key);
    EXPECT_EQ(VisibleSteps(a), sa);
    EXPECT_EQ(VisibleSteps(b), sb);
    EXPECT_GT(sb - sa, 10);
    // Asked again, each still finds its own entry.
    EXPECT_EQ(sa, CulledSteps(a, &key));
    EXPECT_EQ(sb, CulledSteps(b, &key));
}

TEST(DashCache, MovingTheCallersKeyDropsTheOldEntries)
{
    const double a[8] = {0, 0, 40, 40, 80, 40, 120, 0};
    const double c[8] = {3, 0, 40, 40, 80, 40, 120, 0};
    unsigned short key = 0;
    CulledSteps(a, &key);
    const unsigned short keyA = key;
    CulledSteps(c, &key);
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
    for (const PoolCase& c : {PoolCase{10, false}, PoolCase{5000, false}, PoolCase{40000, true}}) {
        PathWalk walk(c.capacity);
        WalkRequest request;
        request.segments = segs.data();
        request.count = 2;
        request.clip = {-1e6, -1e6, 1e6, 1e6};
        request.tolerance = 0.4;
        EXPECT_EQ(c.fits, walk.Run(request)) << c.capacity;
        EXPECT_LE(static_cast<int>(walk.points().size()), c.capacity);
    }
}

} // namespace
