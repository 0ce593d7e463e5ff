// Curves that cross a tile's border: the walk takes only the steps near the tile, yet every point
// inside the clip is the whole walk's; the steps a split drawing keeps for its tiles answer only
// the very curve they were walked for, and live only while the drawing does.
#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "CurveStepMemo.h"
#include "PathWalk.h"
#include "RasterTestSupport.h"

namespace {

struct Curve {
    double p[8];
};

std::vector<SegmentDesc> CurvePath(const Curve& c)
{
    std::vector<SegmentDesc> segs(2);
    segs[0].kind = SegmentCubic;
    segs[0].pt1 = {c.p[0], c.p[1]};
    segs[0].pt2 = {c.p[2], c.p[3]};
    segs[0].pt3 = {c.p[4], c.p[5]};
    segs[1].kind = SegmentEnd;
    segs[1].pt1 = {c.p[6], c.p[7]};
    return segs;
}

std::vector<WalkPoint> Walk(const Curve& c, const tagRectF& clip, CurveStepMemo* memo = nullptr)
{
    PathWalk walk(1 << 20);
    const std::vector<SegmentDesc> segs = CurvePath(c);
    WalkRequest request;
    request.segments = segs.data();
    request.count = static_cast<int>(segs.size());
    request.clip = clip;
    request.tolerance = 0.4;
    request.memo = memo;
    EXPECT_TRUE(walk.Run(request));
    return walk.points();
}

// The parts of the walk's chords that run through the clip, less those that only run along its
// border: what a tile's pixels can see of the walk.
struct ChordPart {
    double x0, y0, x1, y1;
};

std::vector<ChordPart> PartsInside(const std::vector<WalkPoint>& points, const tagRectF& c)
{
    std::vector<ChordPart> parts;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const WalkPoint& a = points[i - 1];
        const WalkPoint& b = points[i];
        const double dx = b.x - a.x, dy = b.y - a.y;
        double t0 = 0, t1 = 1;
        bool hit = true;
        auto clipTo = [&](double from, double d, double lo, double hi) {
            if (d == 0) {
                hit = hit && from >= lo && from <= hi;
                return;
            }
            double ta = (lo - from) / d, tb = (hi - from) / d;
            if (ta > tb) std::swap(ta, tb);
            t0 = std::fmax(t0, ta);
            t1 = std::fmin(t1, tb);
        };
        clipTo(a.x, dx, c.left, c.right);
        clipTo(a.y, dy, c.top, c.bottom);
        if (!hit || !(t1 > t0)) continue;
        const ChordPart part{a.x + dx * t0, a.y + dy * t0, a.x + dx * t1, a.y + dy * t1};
        auto onLine = [](double u, double v, double line) {
            return std::fabs(u - line) < 1e-9 && std::fabs(v - line) < 1e-9;
        };
        if (onLine(part.x0, part.x1, c.left) || onLine(part.x0, part.x1, c.right) || onLine(part.y0, part.y1, c.top) ||
            onLine(part.y0, part.y1, c.bottom))
            continue;
        parts.push_back(part);
    }
    return parts;
}

void ExpectSameParts(const std::vector<ChordPart>& expected, const std::vector<ChordPart>& actual)
{
    ASSERT_EQ(expected.size(), actual.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(expected[i].x0, actual[i].x0, 1e-9) << "part " << i;
        EXPECT_NEAR(expected[i].y0, actual[i].y0, 1e-9) << "part " << i;
        EXPECT_NEAR(expected[i].x1, actual[i].x1, 1e-9) << "part " << i;
        EXPECT_NEAR(expected[i].y1, actual[i].y1, 1e-9) << "part " << i;
    }
}

void ExpectSamePoints(const std::vector<WalkPoint>& expected, const std::vector<WalkPoint>& actual)
{
    ASSERT_EQ(expected.size(), actual.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i].x, actual[i].x) << "point " << i;
        EXPECT_EQ(expected[i].y, actual[i].y) << "point " << i;
    }
}

const tagRectF kEverywhere{-1e7, -1e7, 1e7, 1e7};

struct CrossingCase {
    const char* name;
    Curve curve;
    tagRectF clip;
};

const CrossingCase kCrossings[] = {
    // A tall wave through a narrow band: in and out of both sides many times.
    {"tall wave through a narrow band", {{30, 5, 90, 1700, -30, 3300, 30, 5000}}, {20, 1000, 40, 2600}},
    // Leaves over one corner and comes back over the next.
    {"loop round a corner", {{10, 10, 200, -150, 200, 200, 10, 30}}, {0, 0, 60, 60}},
    // Starts and ends outside, touches the clip only briefly.
    {"grazing arc", {{-100, 50, 0, -20, 100, -20, 200, 50}}, {40, 0, 60, 12}},
    // Wholly outside but with its control box across the clip.
    {"arc round the clip", {{-10, 50, -10, -60, 110, -60, 110, 50}}, {20, 20, 80, 80}},
    // Runs along the clip's border line.
    {"along the border", {{0, 20, 30, 20, 60, 20, 300, 20.5}}, {10, 20, 100, 40}},
};

TEST(CurveAcrossClip, PointsInsideTheClipAreThoseOfTheWholeWalk)
{
    for (const CrossingCase& c : kCrossings) {
        SCOPED_TRACE(c.name);
        const std::vector<WalkPoint> whole = Walk(c.curve, kEverywhere);
        const std::vector<WalkPoint> clipped = Walk(c.curve, c.clip);
        const std::vector<ChordPart> seen = PartsInside(whole, c.clip);
        ExpectSameParts(seen, PartsInside(clipped, c.clip));
        // Points strictly inside are the whole walk's, bit for bit.
        std::vector<WalkPoint> wholeInside, clippedInside;
        for (const WalkPoint& p : whole)
            if (p.x > c.clip.left && p.x < c.clip.right && p.y > c.clip.top && p.y < c.clip.bottom) wholeInside.push_back(p);
        for (const WalkPoint& p : clipped)
            if (p.x > c.clip.left && p.x < c.clip.right && p.y > c.clip.top && p.y < c.clip.bottom) clippedInside.push_back(p);
        ExpectSamePoints(wholeInside, clippedInside);
        // Outside, the walk keeps a few points per stretch, not one per step.
        EXPECT_LE(clipped.size(), wholeInside.size() + 60);
        // After the sub-path's start, whatever lies outside was pulled onto the clip's border, but
        // for the curve's first step and its last ones: they fix the joins at its ends, so they are
        // the curve's own wherever they lie.
        auto ownEnd = [&](const WalkPoint& p) {
            for (std::size_t k = 0; k < whole.size(); ++k)
                if ((k <= 1 || k + 3 >= whole.size()) && whole[k].x == p.x && whole[k].y == p.y) return true;
            return false;
        };
        for (std::size_t i = 1; i < clipped.size(); ++i) {
            const WalkPoint& p = clipped[i];
            const bool onOrInside = p.x >= c.clip.left && p.x <= c.clip.right && p.y >= c.clip.top && p.y <= c.clip.bottom;
            EXPECT_TRUE(onOrInside || ownEnd(p)) << "point " << i << " at " << p.x << "," << p.y;
        }
        ASSERT_GE(clipped.size(), 3u);
        ASSERT_GE(whole.size(), 3u);
        EXPECT_EQ(whole[1].x, clipped[1].x);
        EXPECT_EQ(whole[1].y, clipped[1].y);
        EXPECT_EQ(whole[whole.size() - 2].x, clipped[clipped.size() - 2].x);
        EXPECT_EQ(whole[whole.size() - 2].y, clipped[clipped.size() - 2].y);
        EXPECT_EQ(c.curve.p[6], clipped.back().x);
        EXPECT_EQ(c.curve.p[7], clipped.back().y);
    }
}

TEST(CurveAcrossClip, StepsKeptForTheDrawingWalkAsFreshOnes)
{
    CurveStepMemo memo;
    memo.Open();
    for (const CrossingCase& c : kCrossings) {
        SCOPED_TRACE(c.name);
        const std::vector<WalkPoint> fresh = Walk(c.curve, c.clip);
        ExpectSamePoints(fresh, Walk(c.curve, c.clip, &memo));   // walked and kept
        ExpectSamePoints(fresh, Walk(c.curve, c.clip, &memo));   // from what was kept
    }
    memo.Close();
}

TEST(CurveAcrossClip, KeptStepsAnswerOnlyTheirOwnCurve)
{
    // The same curve with one control point moved by less than a pixel, and walked with another
    // tolerance: neither may take the other's steps.
    const Curve a{{30, 5, 90, 1700, -30, 3300, 30, 5000}};
    Curve b = a;
    b.p[3] += 0.3;
    const tagRectF clip{20, 1000, 40, 2600};
    CurveStepMemo memo;
    memo.Open();
    Walk(a, clip, &memo);
    ExpectSamePoints(Walk(b, clip), Walk(b, clip, &memo));

    CurveKey key;
    for (int i = 0; i < 8; ++i) key.values[i] = a.p[i];
    key.values[8] = 0.96;
    CurveSteps found;
    EXPECT_FALSE(memo.Find(key, found));
    key.values[8] = 0.4;
    ASSERT_TRUE(memo.Find(key, found));
    EXPECT_GT(found.count, 1000);
    memo.Close();
}

TEST(CurveStepMemo, HoldsStepsOnlyWhileADrawingIsOpenAndWithinItsBound)
{
    auto keyOf = [](int i) {
        CurveKey key{};
        key.values[0] = i;
        key.values[8] = 0.4;
        return key;
    };
    const std::vector<StepEnd> oneEnd{{1, 2}};
    const std::vector<StepBox> oneBox{{1, 2, 1, 2}};
    CurveStepMemo memo;
    CurveSteps found;
    memo.Keep(keyOf(1), oneEnd, oneBox);
    EXPECT_FALSE(memo.Find(keyOf(1), found)) << "kept with no drawing open";

    memo.Open();
    memo.Open();   // a second drawing overlaps the first
    memo.Keep(keyOf(1), oneEnd, oneBox);
    ASSERT_TRUE(memo.Find(keyOf(1), found));
    EXPECT_EQ(1, found.count);
    EXPECT_EQ(2.0, found.ends[0].y);
    memo.Close();
    EXPECT_TRUE(memo.Find(keyOf(1), found)) << "dropped while a drawing still uses it";
    memo.Close();
    EXPECT_FALSE(memo.Find(keyOf(1), found)) << "kept after the last drawing ended";

    // Many curves: the store stops taking them at its bound, and what it took stays right.
    memo.Open();
    int kept = 0;
    for (int i = 0; i < 20000; ++i) {
        memo.Keep(keyOf(i), oneEnd, oneBox);
        if (memo.Find(keyOf(i), found)) ++kept;
    }
    EXPECT_GT(kept, 1000);
    EXPECT_LT(kept, 20000);
    for (int i = 0; i < 20000; i += 997) {
        if (!memo.Find(keyOf(i), found)) continue;
        EXPECT_EQ(1, found.count);
    }
    // A curve longer than the store's room for steps is not kept.
    memo.Close();
    memo.Open();
    const std::vector<StepEnd> manyEnds((1 << 18) + 1, StepEnd{0, 0});
    const std::vector<StepBox> manyBoxes(manyEnds.size() / CurveSteps::kStepBlock + 1, StepBox{0, 0, 0, 0});
    memo.Keep(keyOf(7), manyEnds, manyBoxes);
    EXPECT_FALSE(memo.Find(keyOf(7), found));
    memo.Close();
}

// A drawing taller than one tile takes is split by the driver into tiles that share their curves'
// steps; its pixels are those of the same drawing in small tiles drawn one by one.
TEST(SplitDrawing, TallWavyPathsGiveThePixelsOfSmallTiles)
{
    const int width = 90, height = 2400;
    auto wave = [&](PathBuilder& p, double x, double w, double swing) {
        p.MoveTo(x, 3);
        for (double y = 3; y < height - 5; y += 400)
            p.CurveTo(x + swing, y + 130, x - swing, y + 270, x, std::fmin(height - 5, y + 400));
        p.LineTo(x + w, height - 5);
        for (double y = height - 5; y > 5; y -= 400)
            p.CurveTo(x + w - swing, y - 130, x + w + swing, y - 270, x + w, std::fmax(3, y - 400));
        p.Close();
    };
    FillInfo filledAndOutlined = SolidFill(0x4080C0);
    filledAndOutlined.OutlineType = OutlineSolid;
    filledAndOutlined.OutlineWidth = 3;
    filledAndOutlined.OutlineColor = 0xF0E0D0;
    struct Case {
        const char* name;
        FillInfo request;
    };
    const Case cases[] = {
        {"fill", SolidFill(0xFFFFFF)},
        {"fill and wide outline", filledAndOutlined},
        {"wide outline", Outline(3)},
        {"thin outline", Outline(0.7)},
        {"one-pixel outline", Outline(1.0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PathBuilder path;
        wave(path, 20, 30, 25);
        // The same wave moved by a third of a pixel: its curves must not take the first one's steps.
        wave(path, 20.33, 30, 25);
        GuardedBitmap whole(width, height), tiled(width, height);
        ASSERT_GE(DrawWhole(whole, path, c.request), 0);
        DrawInTiles(tiled, path, c.request, 23, 200);
        EXPECT_EQ("", tiled.FirstDifference(whole));
        EXPECT_GT(whole.Sum(), 0);
        EXPECT_TRUE(whole.GuardsIntact());
    }
}

} // namespace
