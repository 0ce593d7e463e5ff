// Poly-draw output: the piece-by-piece drawing leaves the same path in a memory device context as
// the system's PolyDraw.
#include <gtest/gtest.h>

#include <vector>

#include "render/PolyDrawEmulation.h"

namespace {

struct RecordedPath {
    std::vector<POINT> points;
    std::vector<BYTE> types;
    bool operator==(const RecordedPath& o) const {
        if (points.size() != o.points.size() || types != o.types) return false;
        for (size_t i = 0; i < points.size(); ++i)
            if (points[i].x != o.points[i].x || points[i].y != o.points[i].y) return false;
        return true;
    }
};

template <class Draw>
RecordedPath PathOf(Draw draw) {
    HDC dc = CreateCompatibleDC(nullptr);
    BeginPath(dc);
    MoveToEx(dc, 1, 1, nullptr);
    draw(dc);
    EndPath(dc);
    RecordedPath path;
    const int n = GetPath(dc, nullptr, nullptr, 0);
    if (n > 0) {
        path.points.resize(n);
        path.types.resize(n);
        GetPath(dc, path.points.data(), path.types.data(), n);
    }
    DeleteDC(dc);
    return path;
}

TEST(PolyDraw, PiecesLeaveTheSamePathAsTheSystem) {
    const BYTE M = PT_MOVETO, L = PT_LINETO, B = PT_BEZIERTO, X = PT_CLOSEFIGURE;
    struct Case {
        const char* name;
        std::vector<POINT> points;
        std::vector<BYTE> types;
    } cases[] = {
        {"lines", {{10, 10}, {50, 10}, {50, 40}}, {M, L, L}},
        {"closed lines", {{10, 10}, {50, 10}, {50, 40}, {5, 30}}, {M, L, L, BYTE(L | X)}},
        {"bezier", {{10, 10}, {20, 0}, {40, 0}, {50, 10}}, {M, B, B, B}},
        {"closed bezier", {{10, 10}, {20, 0}, {40, 0}, {50, 10}}, {M, B, B, BYTE(B | X)}},
        {"two figures", {{10, 10}, {50, 10}, {50, 40}, {70, 70}, {80, 60}, {90, 90}, {60, 95}, {75, 75}},
         {M, L, BYTE(L | X), M, B, B, B, BYTE(L | X)}},
        {"continuing without a move", {{30, 30}, {31, 60}, {61, 61}, {62, 32}}, {L, B, B, B}},
    };
    for (const Case& c : cases) {
        const int n = int(c.points.size());
        const RecordedPath system = PathOf([&](HDC dc) { PolyDraw(dc, c.points.data(), c.types.data(), n); });
        const RecordedPath pieces =
            PathOf([&](HDC dc) { EXPECT_EQ(1, PolyDrawByParts(dc, c.points.data(), c.types.data(), n)); });
        const RecordedPath routed =
            PathOf([&](HDC dc) { EXPECT_NE(0, PolyDrawEmulated(dc, c.points.data(), c.types.data(), n)); });
        EXPECT_TRUE(system == pieces) << c.name;
        EXPECT_TRUE(system == routed) << c.name;
        EXPECT_GT(system.points.size(), 1u) << c.name;
    }
}

TEST(PolyDraw, IncompleteBezierAndBadInput) {
    const POINT points[] = {{10, 10}, {50, 10}, {60, 20}, {70, 30}};
    const BYTE types[] = {PT_MOVETO, PT_LINETO, PT_BEZIERTO, PT_BEZIERTO};
    // The Bezier lacks its third point: the line before it is drawn, the Bezier is not.
    const RecordedPath drawn = PathOf([&](HDC dc) { EXPECT_EQ(1, PolyDrawByParts(dc, points, types, 4)); });
    const RecordedPath lineOnly = PathOf([&](HDC dc) { PolyDrawByParts(dc, points, types, 2); });
    EXPECT_TRUE(drawn == lineOnly);
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(0, PolyDrawByParts(nullptr, points, types, 4));
    EXPECT_EQ(0, PolyDrawByParts(dc, nullptr, types, 4));
    EXPECT_EQ(0, PolyDrawEmulated(dc, points, nullptr, 4));
    EXPECT_EQ(1, PolyDrawByParts(dc, nullptr, nullptr, 0));
    EXPECT_EQ(1, PolyDrawByParts(dc, points, types, -5));
    DeleteDC(dc);
}

}  // namespace
