// The Boolean operation's small routines on their edge cases: the grid snap, cleaning of line-only
// sub-paths, sub-path walking and orientation, ray tests through vertices, cut pieces and their
// samples, the output array list, the sorts and crossing runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "render/BooleanPathHelpers.h"
#include "render/PathBoolean.h"
#include "../CurveSets.h"

namespace {

using Array = std::vector<SegmentDesc>;

// A closed polygon of line records through the points, ended by a kind-2 record at the first.
Array Polygon(std::vector<tagPointF> points) {
    Array out;
    for (size_t i = 0; i < points.size(); ++i) {
        SegmentDesc s = {};
        s.kind = SegmentLine;
        s.pt1 = points[i], s.pt2 = points[(i + 1) % points.size()];
        out.push_back(s);
    }
    EndSubpath(out, points.front());
    return out;
}

Array Joined(Array a, const Array& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<tagPointF> LineCorners(const Array& a, int count) {
    std::vector<tagPointF> corners;
    for (int i = 0; i < count; ++i)
        if (a[i].kind == SegmentLine) corners.push_back(a[i].pt1);
    return corners;
}

bool SamePoints(const std::vector<tagPointF>& a, const std::vector<tagPointF>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].x != b[i].x || a[i].y != b[i].y) return false;
    return true;
}

TEST(BooleanHelpers, SnapGoesThroughThirtyTwoBitIntegersToTheGrid) {
    const double step = 1.0 / 8192;
    const struct {
        double in;
        bool usable;
        double out;
    } cases[] = {
        {0.00006, true, 0},                        // below half a step
        {5 * step, true, 5 * step},                // on the grid already
        {0.5 * step, true, 0},                     // ties go to even
        {1.5 * step, true, 2 * step},
        {-1.5 * step, true, -2 * step},
        {262143.75, true, 262143.75},              // the largest magnitudes that fit
        {-262143.99, true, -262143.99 - std::remainder(-262143.99, step)},
        {262144, false, 0},                        // 8192 x 262144 no longer fits 32 bits
        {-262144, false, 0},
        {std::numeric_limits<double>::quiet_NaN(), false, 0},
        {std::numeric_limits<double>::infinity(), false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        Array a = Polygon({{1, 1}, {2, 1}, {2, 2}});
        a[1].pt2.x = c.in;   // a line's end point
        a[2].pt1.x = c.in;
        const Array before = a;
        SegmentDesc* p = a.data();
        int count = int(a.size());
        ASSERT_EQ(c.usable, SnapOperandToGrid(&p, &count, 1));
        if (!c.usable) {
            EXPECT_EQ(0, std::memcmp(before.data(), a.data(), a.size() * sizeof(SegmentDesc))) << "nothing changes";
            continue;
        }
        EXPECT_EQ(c.out, a[1].pt2.x);
        EXPECT_EQ(c.out, a[2].pt1.x);
        EXPECT_EQ(c.out, std::round(c.out * 8192) / 8192);
    }
    // The third point of a line is not a point of it and stays as it is.
    Array line = Polygon({{0, 0}, {1, 0}, {1, 1}});
    line[0].pt3 = {1e9, 0.3};
    SegmentDesc* p = line.data();
    int count = int(line.size());
    EXPECT_TRUE(SnapOperandToGrid(&p, &count, 1));
    EXPECT_EQ(0.3, line[0].pt3.y);
}

TEST(BooleanHelpers, CleaningTouchesOnlyLineOnlySubpaths) {
    const Array square = Polygon({{0, 0}, {4, 0}, {4, 4}, {0, 4}});
    const std::vector<tagPointF> corners = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    const struct {
        const char* name;
        Array input;
        int count;                          // records after cleaning
        std::vector<tagPointF> corners;     // the lines' start points, when checked
    } cases[] = {
        {"a square stays", square, 5, corners},
        {"a zero-length edge goes", Polygon({{0, 0}, {4, 0}, {4, 0}, {4, 4}, {0, 4}}), 5, corners},
        {"a straight joint is merged", Polygon({{0, 0}, {2, 0}, {4, 0}, {4, 4}, {0, 4}}), 5, corners},
        {"a start inside an edge moves to a corner", Polygon({{2, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}}), 5,
         {{4, 0}, {4, 4}, {0, 4}, {0, 0}}},
        {"a spike is removed", Polygon({{0, 0}, {4, 0}, {4, 4}, {4, 6}, {4, 4}, {0, 4}}), 5, corners},
        {"out and back along one line collapses", Polygon({{0, 0}, {5, 0}}), 0, {}},
        {"collinear points collapse", Polygon({{0, 0}, {1, 1}, {3, 3}}), 0, {}},
        {"a zero-length closing line goes", Joined(Array(square.begin(), square.end() - 1),
                                                  Polygon({{0, 0}, {0, 0}, {0, 0}})), 5, corners},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Array a = c.input;
        SegmentDesc* p = a.data();
        int count = int(a.size());
        CleanOperand(&p, &count, 1);
        ASSERT_EQ(c.count, count);
        if (count == 0) continue;
        EXPECT_EQ(SegmentEnd, a[count - 1].kind);
        EXPECT_TRUE(SamePoints(c.corners, LineCorners(a, count)));
        for (int i = 0; i + 1 < count; ++i) {
            const tagPointF next = a[i + 1].kind == SegmentEnd ? a[0].pt1 : a[i + 1].pt1;
            EXPECT_TRUE(a[i].pt2.x == next.x && a[i].pt2.y == next.y) << "lines join at " << i;
        }
    }

    // A sub-path with a cubic keeps even its zero-length line; the line-only one after it is cleaned
    // and moved down over what was removed.
    Array curved = CircleRecords(10, 10, 2);
    curved.insert(curved.begin() + 1, Polygon({{12, 10}, {12, 10}})[0]);
    const Array withCubic = curved;
    Array both = Joined(Joined(Polygon({{0, 0}, {5, 0}}), curved), Polygon({{0, 0}, {2, 0}, {4, 0}, {4, 4}}));
    SegmentDesc* p = both.data();
    int count = int(both.size());
    CleanOperand(&p, &count, 1);
    ASSERT_EQ(int(withCubic.size()) + 4, count);
    EXPECT_EQ(0, std::memcmp(withCubic.data(), both.data(), withCubic.size() * sizeof(SegmentDesc)));
    EXPECT_TRUE(SamePoints({{0, 0}, {4, 0}, {4, 4}}, LineCorners(Array(both.begin() + long(withCubic.size()), both.end()), 4)));
}

TEST(BooleanHelpers, SubpathsWrapAroundAndKnowTheirOrientation) {
    const Array two = Joined(Polygon({{0, 0}, {1, 0}, {1, 1}, {0, 1}}), Polygon({{5, 5}, {6, 5}, {6, 6}}));
    const int n = int(two.size());
    const struct {
        int index, direction, expected;
    } steps[] = {{0, -1, 3}, {3, 1, 0}, {1, 1, 2}, {2, -1, 1}, {5, -1, 7}, {7, 1, 5}, {6, 1, 7}, {2, 3, 5}};
    for (const auto& s : steps)
        EXPECT_EQ(s.expected, StepInSubpath(two.data(), n, s.index, s.direction)) << s.index << " by " << s.direction;

    EXPECT_TRUE(IsSubpathPositive(two.data(), n));
    const Array reversed = Polygon({{0, 0}, {0, 1}, {1, 1}, {1, 0}});
    EXPECT_FALSE(IsSubpathPositive(reversed.data(), int(reversed.size())));
    EXPECT_TRUE(IsSubpathPositive(CircleRecords(0, 0, 1).data(), 5));
    EXPECT_FALSE(IsSubpathPositive(CircleRecords(0, 0, 1, true).data(), 5));
    EXPECT_FALSE(IsSubpathPositive(two.data() + 4, 1)) << "a sub-path that starts with its end";
}

TEST(BooleanHelpers, SegmentsEvaluateInThePowerBasis) {
    const Array circle = CircleRecords(0, 0, 2);
    const tagPointF p[4] = {circle[0].pt1, circle[0].pt2, circle[0].pt3, circle[1].pt1};
    for (double t : {0.0, 0.3, 0.5, 1.0}) {
        const double u = 1 - t;
        const tagPointF q = EvaluateSegment(&circle[0], t);
        EXPECT_NEAR(u * u * u * p[0].x + 3 * u * u * t * p[1].x + 3 * u * t * t * p[2].x + t * t * t * p[3].x, q.x, 1e-12);
        EXPECT_NEAR(u * u * u * p[0].y + 3 * u * u * t * p[1].y + 3 * u * t * t * p[2].y + t * t * t * p[3].y, q.y, 1e-12);
    }
    const Array line = Polygon({{0, 0}, {4, 8}, {0, 8}});
    const tagPointF q = EvaluateSegment(&line[0], 0.25);
    EXPECT_EQ(1.0, q.x);
    EXPECT_EQ(2.0, q.y);
    const tagPointF none = EvaluateSegment(&line[3], 0.5);
    EXPECT_EQ(0.0, none.x);
    EXPECT_EQ(0.0, none.y);
    EXPECT_EQ(5.0, VectorLength(3, -4));
}

// A ray through a vertex counts once where the boundary crosses it and not where it only touches
// it, at the sub-path's first vertex (where the walk wraps) as at any other.
TEST(BooleanHelpers, RaysThroughVerticesCountCrossingsNotTouches) {
    const Array square = Polygon({{0, 0}, {2, 0}, {2, 2}, {0, 2}});
    const int n = int(square.size());
    const struct {
        const char* name;
        tagPointF from, to;
        bool odd;
    } rays[] = {
        {"leaves through the first vertex", {1, 1}, {-1, -1}, true},
        {"leaves through a middle vertex", {1, 1}, {3, 3}, true},
        {"leaves through the last vertex", {1, 1}, {-1, 3}, true},
        {"touches the first vertex", {-1, 1}, {1, -1}, false},
        {"touches a middle vertex", {1, 3}, {3, 1}, false},
        {"passes through two vertices", {-1, -1}, {3, 3}, false},
        {"leaves through an edge", {1, 1}, {1, 5}, true},
        {"misses", {5, 5}, {9, 9}, false},
    };
    for (const auto& r : rays) {
        SCOPED_TRACE(r.name);
        SegmentDesc ray = {};
        ray.kind = SegmentLine;
        ray.pt1 = r.from, ray.pt2 = r.to;
        unsigned flags = 0;
        EXPECT_EQ(r.odd, RayParityTest(&ray, 0, 10, square.data(), n, 0, &flags, nullptr));
        EXPECT_EQ(0u, flags);
    }

    // A ray that starts on the boundary says so, with the first record of that sub-path.
    const Array two = Joined(Polygon({{10, 10}, {11, 10}, {11, 11}}), square);
    SegmentDesc ray = {};
    ray.kind = SegmentLine;
    ray.pt1 = {1, 0}, ray.pt2 = {1, 3};
    unsigned flags = 0;
    int start = -1;
    RayParityTest(&ray, 0, 10, two.data(), int(two.size()), 0, &flags, &start);
    EXPECT_EQ(kRayStartsOnBoundary, flags);
    EXPECT_EQ(4, start);

    // Normal rays from a segment: mode 0 looks to the left of the walk, mode 1 to the right.
    for (int segment = 0; segment < 4; ++segment) {
        SCOPED_TRACE(segment);
        EXPECT_TRUE(RayParityTest(&square[segment], 0.5, 0, square.data(), n, 3, nullptr, nullptr));
        EXPECT_FALSE(RayParityTest(&square[segment], 0.5, 1, square.data(), n, 3, nullptr, nullptr));
        // Near a vertex the neighbour is cut as adjacent: the ray's start on it is no crossing.
        EXPECT_TRUE(RayParityTest(&square[segment], 0.01, 0, square.data(), n, 3, nullptr, nullptr));
        EXPECT_TRUE(RayParityTest(&square[segment], 0.99, 0, square.data(), n, 3, nullptr, nullptr));
        for (int mode : {0, 1})
            for (double t : {-3.0, 1.7})
                EXPECT_EQ(RayParityTest(&square[segment], t < 0 ? 0 : 1, mode, square.data(), n, 3, nullptr, nullptr),
                          RayParityTest(&square[segment], t, mode, square.data(), n, 3, nullptr, nullptr))
                    << "t clamped";
    }
}

TEST(BooleanHelpers, ThreeRaysDecideInsideByMajority) {
    // A square with a square hole, and an L whose bounds hold points outside it.
    const Array ring = Joined(Polygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}}), Polygon({{3, 3}, {7, 3}, {7, 7}, {3, 7}}));
    const Array ell = Polygon({{0, 0}, {10, 0}, {10, 4}, {4, 4}, {4, 10}, {0, 10}});
    const tagRectF box = {0, 0, 10, 10};
    const struct {
        const Array* shape;
        tagPointF point;
        bool inside;
    } cases[] = {
        {&ring, {1, 1}, true},   {&ring, {5, 5}, false},  {&ring, {8, 5}, true},   {&ring, {11, 5}, false},
        {&ell, {2, 8}, true},    {&ell, {8, 2}, true},    {&ell, {8, 8}, false},   {&ell, {-1, -1}, false},
        {&ring, {7, 5}, false},  // on the hole's edge: the rays start on the boundary
    };
    for (const auto& c : cases) {
        unsigned flags = 0;
        EXPECT_EQ(c.inside, ThreeRayInsideTest(c.point, c.shape->data(), int(c.shape->size()), box, 15, &flags,
                                               nullptr))
            << c.point.x << "," << c.point.y;
    }
}

TEST(BooleanHelpers, PiecesAreCutInTheWalkingDirectionAndPlaceTheirSamples) {
    Array curve = CircleRecords(0, 0, 4);
    // Line pieces run from the first parameter to the second.
    const Array line = Polygon({{0, 0}, {8, 0}, {8, 8}});
    SegmentDesc out = {};
    EmitPiece(line.data(), 0, 0.75, 0.25, true, &out, 1, 0, 0, 0, nullptr);
    EXPECT_EQ(SegmentLine, out.kind);
    EXPECT_EQ(6.0, out.pt1.x);
    EXPECT_EQ(2.0, out.pt2.x);

    BooleanSampleTable samples;
    samples.count = 3;
    samples.samples[0].array = 7, samples.samples[0].record = 1, samples.samples[0].t = 0.4;
    samples.samples[1].array = 7, samples.samples[1].record = 1, samples.samples[1].t = 0.9;   // beyond the piece
    samples.samples[2].array = 6, samples.samples[2].record = 1, samples.samples[2].t = 0.4;   // another array
    for (bool backward : {false, true}) {
        SCOPED_TRACE(backward);
        const double from = backward ? 0.6 : 0.2, to = backward ? 0.2 : 0.6;
        Array piece(2);
        for (auto& s : samples.samples) s.placed = false;
        EmitPiece(curve.data(), 1, from, to, backward, &piece[0], 3, 12, 7, 1, &samples);
        piece[1].kind = SegmentEnd;
        piece[1].pt1 = EvaluateSegment(&curve[1], to);
        EXPECT_EQ(SegmentCubic, piece[0].kind);
        // The piece is the same curve: its own parameter s lies at from + s (to - from) on the source.
        for (double s : {0.0, 0.25, 0.5, 1.0}) {
            const tagPointF a = EvaluateSegment(&piece[0], s), b = EvaluateSegment(&curve[1], from + s * (to - from));
            EXPECT_NEAR(b.x, a.x, 1e-12);
            EXPECT_NEAR(b.y, a.y, 1e-12);
        }
        EXPECT_TRUE(samples.samples[0].placed);
        EXPECT_EQ(2, samples.samples[0].outArray);
        EXPECT_EQ(12, samples.samples[0].outRecord);
        EXPECT_DOUBLE_EQ(0.5, samples.samples[0].pieceT);
        EXPECT_EQ(1, samples.samples[0].state);
        EXPECT_FALSE(samples.samples[1].placed);
        EXPECT_FALSE(samples.samples[2].placed);
    }
}

TEST(BooleanHelpers, OutputArraysGrowAndCountTheArrayBefore) {
    SegmentDesc buffer[64];
    int capacity = 2, arrays = 0;
    SegmentDesc** pointers = new SegmentDesc*[capacity];
    int* counts = new int[capacity];
    for (int start : {0, 5, 12}) ASSERT_TRUE(AppendOutputArray(pointers, counts, arrays, capacity, buffer, start));
    EXPECT_EQ(3, arrays);
    EXPECT_EQ(34, capacity);
    EXPECT_EQ(buffer, pointers[0]);
    EXPECT_EQ(buffer + 12, pointers[2]);
    EXPECT_EQ(5, counts[0]);
    EXPECT_EQ(7, counts[1]);
    delete[] pointers;
    delete[] counts;
}

TEST(BooleanHelpers, SortsOrderTheirKeys) {
    std::mt19937 random(7);
    std::vector<BooleanPair> pairs(300);
    std::vector<BooleanCellEntry> cells(300);
    for (size_t i = 0; i < pairs.size(); ++i) {
        pairs[i] = {int(random() % 50), int(i)};
        cells[i] = {0, 1, int(i), int(random() % 70000)};
    }
    SortPairs(pairs.data(), 0, int(pairs.size()) - 1);
    SortCellEntries(cells.data(), 0, int(cells.size()) - 1);
    EXPECT_TRUE(std::is_sorted(pairs.begin(), pairs.end(), [](auto& a, auto& b) { return a.key < b.key; }));
    EXPECT_TRUE(std::is_sorted(cells.begin(), cells.end(), [](auto& a, auto& b) { return a.key < b.key; }));
    // Only part of a table: the rest stays in place.
    std::vector<BooleanPair> part = {{9, 0}, {5, 1}, {3, 2}, {1, 3}};
    SortPairs(part.data(), 1, 2);
    EXPECT_EQ(9, part[0].key);
    EXPECT_EQ(3, part[1].key);
    EXPECT_EQ(5, part[2].key);
    EXPECT_EQ(1, part[3].key);
    SortPairs(part.data(), 2, 2);   // one element
    SortPairs(part.data(), 3, 2);   // none
}

TEST(BooleanHelpers, SortingCrossingsRepairsPartnersAndLeavesRunMarkers) {
    std::mt19937 random(11);
    std::vector<BooleanCrossing> table;
    for (int i = 0; i < 200; ++i) {
        BooleanCrossing a = {};
        const int op = int(random() % 2);
        a.side[0] = PackBooleanSide(op, int(random() % 3));
        a.side[1] = i % 17 == 0 ? -1 : PackBooleanSide(int(random() % 2), int(random() % 3));
        a.record[0] = int(random() % 5), a.record[1] = int(random() % 5);
        a.t[0] = (random() % 8) / 8.0, a.t[1] = (random() % 8) / 8.0;
        a.cross = double(i);
        BooleanCrossing b = a;   // the mirror: sides swapped, cross product negated
        std::swap(b.side[0], b.side[1]), std::swap(b.record[0], b.record[1]), std::swap(b.t[0], b.t[1]);
        b.cross = -a.cross;
        a.partner = int(table.size()) + 1, b.partner = int(table.size());
        table.push_back(a), table.push_back(b);
    }
    std::vector<std::uint8_t> markers(table.size());
    for (size_t i = 0; i < table.size(); ++i) markers[i] = table[i].runMarker = std::uint8_t(i % 9 == 0 ? 1 + i % 2 : 0);
    SortCrossings(table.data(), 0, int(table.size()) - 1);

    auto key = [](const BooleanCrossing& c) {
        const bool gone = c.side[0] < 0 || c.side[1] < 0;
        return std::make_tuple(gone ? 8 : 2 * (c.side[0] >> 30) + (c.side[1] >> 30), gone ? 0 : c.side[0] & 0x3fffffff,
                               gone ? 0 : c.record[0], gone ? 0.0 : c.t[0]);
    };
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(markers[i], table[i].runMarker) << "the marker stays at " << i;
        const BooleanCrossing& c = table[i];
        ASSERT_GE(c.partner, 0);
        const BooleanCrossing& p = table[size_t(c.partner)];
        EXPECT_EQ(int(i), p.partner) << "partners name each other";
        EXPECT_EQ(c.cross, -p.cross);
        EXPECT_EQ(c.side[0], p.side[1]);
        if (i > 0 && !(c.side[0] < 0 || c.side[1] < 0)) {
            const BooleanCrossing& before = table[i - 1];
            EXPECT_FALSE(before.side[0] < 0 || before.side[1] < 0) << "discarded records sort last";
            EXPECT_LE(key(before), key(c));
        }
    }
}

TEST(BooleanHelpers, CrossingRunsWrapAround) {
    // Runs [0 1 2], [3 4] and [5].
    BooleanCrossing table[6] = {};
    table[0].runMarker = 2, table[3].runMarker = 1, table[5].runMarker = 1;
    const struct {
        int index, direction, expected;
    } steps[] = {{0, 1, 1}, {2, 1, 0}, {1, 1, 2}, {4, 1, 3}, {5, 1, 5}, {0, -1, 2}, {1, -1, 0},
                 {3, -1, 4}, {4, -1, 3}, {5, -1, 5}, {1, 2, 3}, {4, -3, 1}};
    for (const auto& s : steps)
        EXPECT_EQ(s.expected, StepInCrossingRun(table, 6, s.index, s.direction)) << s.index << " by " << s.direction;
}

}  // namespace
