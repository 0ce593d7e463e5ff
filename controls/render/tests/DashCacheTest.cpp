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

namespace {

TEST(PathWalkFlattening, CurveChordsLieBetweenTheToleranceAndAlmostAPixel)
{
    const double curves[][8] = {
        {0, 0, 40, 40, 80, 40, 120, 0},
        {10.3, 7.1, 200.9, -50.2, -60.4, 90.7, 30.2, 30.2},   // a loop
        {5, 5, 5, 5, 60, 60, 60, 60},                          // control points on the ends
        {0, 0, 0.3, 0.2, 0.6, 0.1, 0.9, 0.4},                  // shorter than a pixel
    };
    for (double tolerance : {0.4, 0.96})
        for (const auto& c : curves) {
            PathWalk walk(100000);
            const std::vector<SegmentDesc> segs = CurvePath(c);
            WalkRequest request;
            request.segments = segs.data();
            request.count = 2;
            request.clip = {-1e6, -1e6, 1e6, 1e6};
            request.tolerance = tolerance;
            ASSERT_TRUE(walk.Run(request));
            const std::vector<WalkPoint>& p = walk.points();
            ASSERT_GE(p.size(), 2u);
            auto cut = [](double v) { return std::floor(v * 256) / 256; };
            EXPECT_EQ(cut(c[0]), p.front().x);
            EXPECT_EQ(cut(c[1]), p.front().y);
            EXPECT_EQ(cut(c[6]), p.back().x);
            EXPECT_EQ(cut(c[7]), p.back().y);
            for (size_t i = 1; i < p.size(); ++i) {
                const double d2 = (p[i].x - p[i - 1].x) * (p[i].x - p[i - 1].x) + (p[i].y - p[i - 1].y) * (p[i].y - p[i - 1].y);
                EXPECT_LE(d2, 0.9801 + 1e-9) << tolerance << " chord " << i;
                // Only the last chord may fall short.
                if (i + 1 == p.size()) continue;
                EXPECT_GE(d2, tolerance * tolerance - 1e-9) << tolerance << " chord " << i;
            }
        }
}

TEST(PathWalkFlattening, CoordinatesAreCutTo256thsExceptForSmallShapes)
{
    const double c[8] = {10.123456, 20.987654, 30.5555, 20.1, 40.77777, 25.3, 50.0001, 20.999};
    const std::vector<SegmentDesc> segs = CurvePath(c);
    for (bool snap : {true, false}) {
        PathWalk walk(10000);
        WalkRequest request;
        request.segments = segs.data();
        request.count = 2;
        request.clip = {-1e6, -1e6, 1e6, 1e6};
        request.snap = snap;
        ASSERT_TRUE(walk.Run(request));
        const WalkPoint& first = walk.points().front();
        const WalkPoint& last = walk.points().back();
        if (snap) {
            EXPECT_EQ(std::floor(c[0] * 256) / 256, first.x);
            EXPECT_EQ(std::floor(c[1] * 256) / 256, first.y);
            EXPECT_EQ(std::floor(c[6] * 256) / 256, last.x);
            EXPECT_EQ(std::floor(c[7] * 256) / 256, last.y);
        } else {
            EXPECT_EQ(c[0], first.x);
            EXPECT_EQ(c[7], last.y);
        }
    }
}

} // namespace

namespace {

TEST(DashCache, ACurveNearTheClipResumesItsStepsFromTheCache)
{
    // Walked whole and walked for a small clip, a dashed curve has the same points, with the same
    // dash state, wherever the small clip sees it.
    const double curves[][8] = {
        {0, 0, 400, 300, -300, 400, 500, 500},
        {-100, 50, 300, -200, 300, 300, -100, 60},
    };
    for (const auto& c : curves) {
        const std::vector<SegmentDesc> segs = CurvePath(c);
        WalkRequest request;
        request.segments = segs.data();
        request.count = 2;
        request.tolerance = 0.96;
        request.stepLines = true;
        request.dash = DashPatternForOutline(OutlineDashDot);
        CriticalSectionHolder lock(RenderingLock());
        PathWalk whole(200000);
        request.clip = {-1e6, -1e6, 1e6, 1e6};
        ASSERT_TRUE(whole.Run(request));
        // Clips round points a third, half and nine tenths along the curve.
        std::vector<tagRectF> clips;
        for (double f : {0.33, 0.5, 0.9}) {
            const WalkPoint& q = whole.points()[static_cast<size_t>(f * whole.points().size())];
            clips.push_back({q.x - 17.3, q.y - 11.1, q.x + 23.9, q.y + 15.2});
        }
        for (const tagRectF& clip : clips) {
            PathWalk part(200000);
            request.clip = clip;
            ASSERT_TRUE(part.Run(request));
            EXPECT_LT(part.points().size(), whole.points().size() / 4);
            int seen = 0;
            for (const WalkPoint& p : part.points()) {
                if (!(p.x > clip.left && p.x < clip.right && p.y > clip.top && p.y < clip.bottom)) continue;
                const auto match = std::find_if(whole.points().begin(), whole.points().end(), [&](const WalkPoint& q) {
                    return q.x == p.x && q.y == p.y;
                });
                ASSERT_NE(whole.points().end(), match) << p.x << "," << p.y;
                EXPECT_EQ(match->gap, p.gap) << p.x << "," << p.y;
                ++seen;
            }
            // Every point of the whole walk inside the clip is there too.
            int inside = 0;
            for (const WalkPoint& q : whole.points())
                if (q.x > clip.left && q.x < clip.right && q.y > clip.top && q.y < clip.bottom) ++inside;
            EXPECT_EQ(inside, seen);
            EXPECT_GT(seen, 0);
        }
    }
}

} // namespace
