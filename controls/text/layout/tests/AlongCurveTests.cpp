// Text set along a circle: the origins lie on the path, one scaled advance apart.
#include <cmath>

#include "LayoutFixture.h"
#include "TestPaths.h"
#include "geometry/CurveGeometry.h"
#include "layout/AlongCurveLayout.h"


TEST_F(LayoutTest, AlongACircleTheOriginsLieOnThePathOneScaledAdvanceApart) {
    CAlongCurveLayout curve(model, frame, GlyphCache::Shared());
    Text(L"Around the circle", 12, kAlongCurveText);
    const auto circle = CirclePath(3);
    curve.SetPath(circle);
    curve.SetHandles({0, 0.0}, {6, 0.5});  // three eighths of the way round
    curve.Layout(0, true);
    ASSERT_GT(curve.GlyphScale(), 0);
    const auto& chars = model.Chars();
    for (size_t i = 0; i < chars.size(); ++i) {
        EXPECT_NEAR(3.0, std::hypot(chars[i].x, chars[i].y), 3 * 2.8e-4) << i;  // the cubic circle's own error
        if (i + 1 < chars.size()) {
            const double step = std::hypot(chars[i + 1].x - chars[i].x, chars[i + 1].y - chars[i].y);
            const double want = Glyph(i).metrics.gmCellIncX * curve.GlyphScale();
            EXPECT_GE(step, 0.99 * want) << i;
            EXPECT_LE(step, 1.01 * want) << i;
            const double chord = std::atan2(chars[i + 1].y - chars[i].y, chars[i + 1].x - chars[i].x);
            EXPECT_NEAR(chord, chars[i].rotation, 1e-12);
        }
    }
    // The text fills most of the way to the second handle, at 225 degrees.
    double endAngle = std::atan2(chars.back().y, chars.back().x);
    if (endAngle < 0) endAngle += 2 * 3.14159265358979323846;
    EXPECT_GT(endAngle, 3.0);
    EXPECT_LT(endAngle, 3.93);
    curve.BuildTextOutline();
    size_t drawn = 0;
    for (const TextCharRecord& c : chars) drawn += c.hasOutline;
    EXPECT_EQ(chars.size() - 2, drawn);  // the two blanks draw nothing
    for (const SegmentDesc& s : curve.Segments()) EXPECT_TRUE(std::isfinite(s.pt1.x) && std::isfinite(s.pt1.y));
}

TEST_F(LayoutTest, AlongACurveWithoutLengthOrAdvancePlacesWithoutNaN) {
    CAlongCurveLayout curve(model, frame, GlyphCache::Shared());
    struct { std::wstring text; std::vector<tagPointF> path; } cases[] = {
        {L"   ", CirclePath(1)},                                   // blanks advance, but have no outline
        {L"ab", {{1, 1}, {1, 1}, {1, 1}, {1, 1}}},             // a path of no length
        {L"ab", {{0, 0}, {1, 1}}},                             // fewer than four points
        {L"", CirclePath(1)},
    };
    for (const auto& c : cases) {
        Text(c.text, 12, kAlongCurveText);
        curve.SetPath(c.path);
        curve.SetHandles({0, 0}, {0, 1});
        curve.Layout(0, true);
        curve.BuildTextOutline();
        for (const TextCharRecord& r : model.Chars())
            EXPECT_TRUE(std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.rotation));
        EXPECT_TRUE(std::isfinite(curve.GlyphScale()));
    }
}

TEST_F(LayoutTest, OnAClosedPathTheTextRunsOnThroughTheStart) {
    CAlongCurveLayout curve(model, frame, GlyphCache::Shared());
    Text(L"Over the seam", 12, kAlongCurveText);
    curve.SetPath(CirclePath(2));
    curve.SetHandles({9, 0.5}, {0, 0.5});  // from 315 degrees round through 0 to 45
    curve.Layout(0, true);
    ASSERT_GT(curve.GlyphScale(), 0);
    const auto& chars = model.Chars();
    double previous = -1;
    for (size_t i = 0; i < chars.size(); ++i) {
        EXPECT_NEAR(2.0, std::hypot(chars[i].x, chars[i].y), 2 * 2.8e-4) << i;
        double angle = std::atan2(chars[i].y, chars[i].x);
        if (angle < 3.14159265358979323846) angle += 2 * 3.14159265358979323846;  // 315 .. 405 degrees
        if (angle > 3 * 3.14159265358979323846) angle -= 2 * 3.14159265358979323846;
        EXPECT_GT(angle, previous) << i;
        previous = angle;
    }
    EXPECT_GT(previous, 2 * 3.14159265358979323846 + 0.5);  // past the seam, towards 45 degrees
}
