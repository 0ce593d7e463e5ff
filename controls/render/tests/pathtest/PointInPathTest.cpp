// The even-odd point-in-path test on its edge cases: edges, vertices at the point's height (crossed
// and touched, between every pair of segment kinds), skipped records and bad input.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "render/PointInPath.h"

namespace {

// A closed path: "L x y" starts or continues with lines, "C x1 y1 x2 y2 x3 y3" a cubic from the
// current point; the path returns to its first point with a line unless it is there already.
class Path {
public:
    explicit Path(double x, double y) : start_{x, y}, current_{x, y} {}
    Path& L(double x, double y) {
        Add(SegmentLine, current_, {x, y}, {0, 0});
        current_ = {x, y};
        return *this;
    }
    Path& C(double x1, double y1, double x2, double y2, double x3, double y3) {
        Add(SegmentCubic, current_, {x1, y1}, {x2, y2});
        current_ = {x3, y3};
        return *this;
    }
    std::vector<SegmentDesc> Closed() {
        if (current_.x != start_.x || current_.y != start_.y) L(start_.x, start_.y);
        std::vector<SegmentDesc> out = records_;
        SegmentDesc end = {};
        end.kind = SegmentEnd;
        end.pt1 = current_;
        out.push_back(end);
        return out;
    }

private:
    void Add(unsigned char kind, tagPointF a, tagPointF b, tagPointF c) {
        SegmentDesc s = {};
        s.kind = kind;
        s.pt1 = a, s.pt2 = b, s.pt3 = c;
        if (kind == SegmentLine) s.pt2 = b;
        records_.push_back(s);
    }
    tagPointF start_, current_;
    std::vector<SegmentDesc> records_;
};

int Inside(std::vector<SegmentDesc> path, double x, double y) {
    return PtInPolyBezier(tagPointF{x, y}, path.data(), int(path.size()));
}

TEST(PtInPolyBezier, EdgesOfASquare) {
    const auto square = Path(0, 0).L(10, 0).L(10, 10).L(0, 10).Closed();
    EXPECT_EQ(1, Inside(square, 5, 5));
    EXPECT_EQ(0, Inside(square, -1, 5));
    EXPECT_EQ(0, Inside(square, 11, 5));
    EXPECT_EQ(0, Inside(square, 0, 5));    // on the left edge
    EXPECT_EQ(1, Inside(square, 10, 5));   // on the right edge
    EXPECT_EQ(0, Inside(square, 5, 10.5));
}

// Rays through vertices: where the outline crosses the point's height the vertex counts once, where it
// only touches it never, whatever kinds of segment meet there.
TEST(PtInPolyBezier, VertexAtThePointsHeightByKinds) {
    struct Case {
        const char* name;
        std::vector<SegmentDesc> path;
        double x, y;
        int inside;
    } cases[] = {
        {"line-line crossing, inside", Path(5, 0).L(10, 5).L(5, 10).L(0, 5).Closed(), 7, 5, 1},
        {"line-line crossing, outside", Path(5, 0).L(10, 5).L(5, 10).L(0, 5).Closed(), 12, 5, 0},
        {"line-line touch from below", Path(0, 0).L(10, 10).L(20, 0).Closed(), 15, 10, 0},
        {"line-line touch from above", Path(0, 10).L(10, 0).L(20, 10).Closed(), 15, 0, 0},
        // A line arriving from below at (10, 5) and a cubic leaving upwards: one crossing there.
        {"line-cubic crossing, outside", Path(0, 0).L(10, 5).C(12, 6, 12, 9, 10, 10).L(0, 10).Closed(), 11, 5, 0},
        {"line-cubic crossing, inside", Path(0, 0).L(10, 5).C(12, 6, 12, 9, 10, 10).L(0, 10).Closed(), 5, 5, 1},
        {"cubic-line crossing, outside", Path(0, 0).C(3, 1, 8, 2, 10, 5).L(10, 10).L(0, 10).Closed(), 12, 5, 0},
        {"cubic-line crossing, inside", Path(0, 0).C(3, 1, 8, 2, 10, 5).L(10, 10).L(0, 10).Closed(), 9.9, 5.5, 1},
        {"cubic-cubic crossing", Path(0, 0).C(8, 1, 10, 3, 10, 5).C(10, 7, 8, 9, 0, 10).Closed(), 12, 5, 0},
        {"cubic-cubic crossing, inside", Path(0, 0).C(8, 1, 10, 3, 10, 5).C(10, 7, 8, 9, 0, 10).Closed(), 9, 5, 1},
        {"line-cubic touch", Path(0, 0).L(10, 10).C(13, 7, 17, 3, 20, 0).Closed(), 15, 10, 0},
        {"cubic-cubic touch", Path(0, 0).C(3, 5, 7, 10, 10, 10).C(13, 10, 17, 5, 20, 0).Closed(), 25, 10, 0},
        // The top of a cubic at the point's height, inside the curve: a touch, not a crossing.
        {"cubic tangent inside", Path(0, 0).C(0, 13.333333333333334, 20, 13.333333333333334, 20, 0).Closed(), 25, 10,
         0},
        {"cubic above the point", Path(0, 20).C(5, 30, 15, 30, 20, 20).Closed(), 10, 10, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(c.inside, Inside(c.path, c.x, c.y)) << c.name;
}

TEST(PtInPolyBezier, SkippedRecordsAndBadInput) {
    auto square = Path(0, 0).L(10, 0).L(10, 10).L(0, 10).Closed();
    EXPECT_EQ(0, PtInPolyBezier(tagPointF{5, 5}, square.data(), 0));
    EXPECT_EQ(0, PtInPolyBezier(tagPointF{5, 5}, square.data(), -3));
    EXPECT_EQ(0, PtInPolyBezier(tagPointF{5, 5}, nullptr, 5));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(0, PtInPolyBezier(tagPointF{nan, 5}, square.data(), int(square.size())));
    EXPECT_EQ(0, PtInPolyBezier(tagPointF{5, INFINITY}, square.data(), int(square.size())));
    // Unknown kinds are skipped: the square's left edge with kind 7 leaves one crossing fewer.
    square[3].kind = 7;
    EXPECT_EQ(0, Inside(square, 5, 5));
    // A cubic as the last record has no end point and is skipped, never read past.
    std::vector<SegmentDesc> lone = Path(0, 0).C(0, 10, 10, 10, 10, 0).Closed();
    lone.resize(1);
    EXPECT_EQ(0, Inside(lone, 5, 3));
    // Coordinates that are not finite give an answer, not a fault.
    auto broken = Path(0, 0).C(nan, 1, 2, nan, 10, 10).L(0, 10).Closed();
    const int answer = Inside(broken, 3, 5);
    EXPECT_TRUE(answer == 0 || answer == 1);
}

}  // namespace
