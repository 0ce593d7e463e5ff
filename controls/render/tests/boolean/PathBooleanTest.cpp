// The Boolean operation's preparation of operands, its contours on small cases, its retries, depth
// limit and failures, and concurrent calls. Areas against shapely are checked in Python.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <thread>
#include <vector>

#include "render/PathBoolean.h"
#include "../CurveSets.h"

namespace {

using Array = std::vector<SegmentDesc>;

Array Square(double x0, double y0, double x1, double y1) { return RectangleRecords(x0, y0, x1, y1); }

Array Joined(Array a, const Array& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Outcome {
    int ok = 0;
    int arrays = 0;
    int attempts = 0;
    std::vector<Array> result;
    bool nulls = false;
};

Outcome Combine(std::vector<Array> first, std::vector<Array> second, int op, int hint = 0, int depth = 0) {
    std::vector<SegmentDesc*> p1, p2;
    std::vector<int> c1, c2;
    for (auto& a : first) p1.push_back(a.data()), c1.push_back(int(a.size()));
    for (auto& a : second) p2.push_back(a.data()), c2.push_back(int(a.size()));
    SegmentDesc** arrays = reinterpret_cast<SegmentDesc**>(1);
    SegmentDesc* buffer = reinterpret_cast<SegmentDesc*>(1);
    int* counts = reinterpret_cast<int*>(1);
    Outcome out;
    BooleanRunReport report;
    out.ok = PathBooleanOperation(p1.data(), c1.data(), int(p1.size()), p2.data(), c2.data(), int(p2.size()), &arrays,
                                  &buffer, &counts, &out.arrays, op, hint, depth, &report);
    out.attempts = report.attempts;
    out.nulls = !arrays && !buffer && !counts;
    for (int a = 0; out.ok && a < out.arrays; ++a) out.result.emplace_back(arrays[a], arrays[a] + counts[a]);
    delete[] arrays;
    delete[] buffer;
    delete[] counts;
    return out;
}

// Contours of a result, and the sum of the areas they enclose each (line-only results).
int Contours(const Outcome& o) {
    int n = 0;
    for (const Array& a : o.result)
        for (const SegmentDesc& s : a) n += s.kind == SegmentEnd;
    return n;
}

double Area(const Outcome& o) {
    double total = 0;
    for (const Array& a : o.result) {
        double contour = 0;
        for (size_t i = 0; i < a.size(); ++i) {
            if (a[i].kind == SegmentEnd) {
                total += std::fabs(contour) / 2;
                contour = 0;
                continue;
            }
            const tagPointF p = a[i].pt1, q = a[i + 1].pt1;
            contour += p.x * q.y - q.x * p.y;
        }
    }
    return total;
}

TEST(BooleanOperands, SnapOffsetAndClean) {
    Array a = Square(0.00006, 1.0 / 8192, 3 + 5.0 / 8192, 2);
    SegmentDesc* p = a.data();
    int count = int(a.size());
    ASSERT_TRUE(SnapOperandToGrid(&p, &count, 1));
    EXPECT_EQ(0.0, a[0].pt1.x);
    EXPECT_EQ(1.0 / 8192, a[0].pt1.y);
    EXPECT_EQ(3 + 5.0 / 8192, a[1].pt1.x);
    Array before = a;
    OffsetOperand(&p, &count, 1, 0, 0);
    EXPECT_EQ(0, std::memcmp(before.data(), a.data(), a.size() * sizeof(SegmentDesc)));
    Array huge = Square(0, 0, 262144, 1);
    SegmentDesc* h = huge.data();
    int hc = int(huge.size());
    Array hugeBefore = huge;
    EXPECT_FALSE(SnapOperandToGrid(&h, &hc, 1));
    EXPECT_EQ(0, std::memcmp(hugeBefore.data(), huge.data(), huge.size() * sizeof(SegmentDesc)));
    huge[2].pt2.y = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(SnapOperandToGrid(&h, &hc, 1));

    // A zero-length edge goes; a sub-path out and back along one line goes altogether.
    Array five = Square(0, 0, 4, 4);
    SegmentDesc extra = five[1];
    extra.pt1 = extra.pt2;
    five.insert(five.begin() + 2, extra);
    Array spike = Square(0, 0, 1, 1);
    spike[0].pt2 = {5, 0}, spike[1].pt1 = {5, 0}, spike[1].pt2 = {0, 0}, spike[2].pt1 = {0, 0}, spike[2].pt2 = {0, 0};
    spike[3].pt1 = {0, 0}, spike[3].pt2 = {0, 0};
    Array both = Joined(five, spike);
    SegmentDesc* b = both.data();
    int bc = int(both.size());
    CleanOperand(&b, &bc, 1);
    EXPECT_EQ(5, bc);
    Array alone = spike;
    SegmentDesc* s = alone.data();
    int sc = int(alone.size());
    CleanOperand(&s, &sc, 1);
    EXPECT_EQ(0, sc);
}

TEST(PathBoolean, SquaresDisjointNestedAndTouching) {
    const Array outer = Square(0, 0, 10, 10), apart = Square(20, 0, 30, 10), inner = Square(3, 3, 6, 6);
    const Array corner = Square(10, 10, 20, 20);
    struct Case {
        const char* name;
        Array a, b;
        int op;
        int contours, arrays;
        double summedArea;
    } cases[] = {
        {"disjoint union", outer, apart, BooleanUnion, 2, 2, 200},
        {"disjoint intersection", outer, apart, BooleanIntersection, 0, 0, 0},
        {"disjoint difference", outer, apart, BooleanDifference, 1, 1, 100},
        {"nested union", outer, inner, BooleanUnion, 1, 1, 100},
        {"nested difference", outer, inner, BooleanDifference, 2, 1, 100 + 9},   // the hole stays with its square
        {"nested intersection", outer, inner, BooleanIntersection, 1, 1, 9},
        {"corner union", outer, corner, BooleanUnion, 2, 2, 200},
        // An island inside the hole gets an array of its own.
        {"island in a hole", Joined(outer, Square(2, 2, 8, 8)), Square(4, 4, 6, 6), BooleanUnion, 3, 2, 100 + 36 + 4},
    };
    for (const Case& c : cases) {
        const Outcome o = Combine({c.a}, {c.b}, c.op);
        ASSERT_EQ(1, o.ok) << c.name;
        EXPECT_EQ(c.contours, Contours(o)) << c.name;
        EXPECT_EQ(c.arrays, o.arrays) << c.name;
        EXPECT_NEAR(c.summedArea, Area(o), 1e-3) << c.name;
    }
}

TEST(PathBoolean, RetriesDepthAndFailures) {
    // Two arrays of the first operand share an edge: no shift of the second operand resolves it, so
    // all four attempts run and fail, leaving nothing.
    const std::vector<Array> sharing = {Square(0, 0, 10, 10), Square(10, 0, 20, 10)};
    Outcome o = Combine(sharing, {Square(5, 5, 15, 15)}, BooleanUnion);
    EXPECT_EQ(0, o.ok);
    EXPECT_EQ(4, o.attempts);
    EXPECT_TRUE(o.nulls);
    // Told that the arrays lie apart, the operation takes them as they are: away from the shared edge
    // nothing is left to decide.
    o = Combine(sharing, {Square(2, 2, 6, 12)}, BooleanUnion, BooleanHintArraysApart);
    EXPECT_EQ(1, o.ok);
    EXPECT_EQ(1, o.attempts);
    // A shared edge between the operands is resolved by the first shift.
    o = Combine({Square(0, 0, 10, 10)}, {Square(10, 2, 20, 8)}, BooleanUnion);
    EXPECT_EQ(1, o.ok);
    EXPECT_EQ(2, o.attempts);
    EXPECT_NEAR(160, Area(o), 1e-3);
    o = Combine({Square(0, 0, 10, 10)}, {Square(3, 3, 6, 6)}, BooleanUnion, 0, 5);
    EXPECT_EQ(0, o.ok);
    EXPECT_TRUE(o.nulls);
    EXPECT_EQ(1, Combine({Square(0, 0, 10, 10)}, {Square(3, 3, 6, 6)}, BooleanUnion, 0, 4).ok);
    // Nothing to combine, huge or broken coordinates, a wrong operation.
    Array flat = Square(0, 0, 10, 0);
    o = Combine({flat}, {}, BooleanUnion);
    EXPECT_EQ(0, o.ok);
    EXPECT_TRUE(o.nulls);
    EXPECT_EQ(0, Combine({Square(0, 0, 300000, 10)}, {Square(1, 1, 2, 2)}, BooleanUnion).ok);
    Array broken = Square(0, 0, 10, 10);
    broken[1].pt1.x = std::numeric_limits<double>::infinity();
    o = Combine({broken}, {Square(1, 1, 2, 2)}, BooleanIntersection);
    EXPECT_EQ(0, o.ok);
    EXPECT_TRUE(o.nulls);
    EXPECT_EQ(0, Combine({Square(0, 0, 10, 10)}, {Square(1, 1, 2, 2)}, 3).ok);
}

TEST(PathBoolean, OneArrayWithHintFourAndSnappedOperands) {
    std::vector<Array> first = {Joined(Square(0, 0, 10, 10), Square(3, 3, 7, 7))};
    std::vector<Array> second = {Square(-2, 4.3, 12, 5.1)};
    const Outcome o = Combine(first, second, BooleanUnion, BooleanHintOneArray);
    ASSERT_EQ(1, o.ok);
    ASSERT_EQ(1, o.arrays);
    EXPECT_EQ(SegmentEnd, o.result[0].back().kind);
    EXPECT_EQ(3, Contours(o));
    // The caller's operands now hold snapped coordinates.
    std::vector<Array> odd = {Square(0.1, 0.1, 5.3, 5.3)};
    std::vector<SegmentDesc*> p1 = {odd[0].data()};
    std::vector<int> c1 = {int(odd[0].size())};
    Array other = Square(1, 1, 2, 2);
    SegmentDesc* p2 = other.data();
    int c2 = int(other.size());
    SegmentDesc** arrays;
    SegmentDesc* buffer;
    int* counts;
    int n;
    ASSERT_EQ(1, PathBooleanOperation(p1.data(), c1.data(), 1, &p2, &c2, 1, &arrays, &buffer, &counts, &n, 0, 0, 0));
    for (const SegmentDesc& s : odd[0]) EXPECT_EQ(s.pt1.x * 8192, std::round(s.pt1.x * 8192));
    delete[] arrays;
    delete[] buffer;
    delete[] counts;
}

TEST(PathBoolean, TwoThreadsAtOnce) {
    auto run = [] {
        return Combine({Square(0, 0, 10, 10), Square(20, 0, 30, 10)}, {Square(5, 5, 25, 7)}, BooleanDifference);
    };
    const Outcome expected = run();
    ASSERT_EQ(1, expected.ok);
    std::vector<int> wrong(2, 0);
    std::vector<std::thread> threads;
    for (int k = 0; k < 2; ++k)
        threads.emplace_back([&, k] {
            for (int i = 0; i < 200; ++i) {
                const Outcome o = run();
                if (o.result.size() != expected.result.size() || std::fabs(Area(o) - Area(expected)) > 1e-12) ++wrong[k];
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(0, wrong[0]);
    EXPECT_EQ(0, wrong[1]);
}

}  // namespace
