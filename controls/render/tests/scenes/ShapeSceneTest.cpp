#include <gtest/gtest.h>

#include <sstream>

#include "scenes/ShapeScene.h"

namespace {

TEST(ShapeScene, BadTextIsRefusedWithTheLineAndReason) {
    struct Case { const char* text; const char* expected; };
    const Case cases[] = {
        {"", "missing 'size W H'"},
        {"size 0 10\n", "line 1: expected 'size W H'"},
        {"fill evenodd 1 2 3\n", "line 1: expected 'size W H'"},
        {"size 8 8\nfill sideways 1 2 3\nM 0 0\n", "line 2: expected 'fill evenodd|nonzero R G B'"},
        {"size 8 8\nstroke 0 1 1 2 3\nM 0 0\n", "line 2: expected 'stroke WIDTH DASHKIND R G B'"},
        {"size 8 8\nstroke 2 6 1 2 3\nM 0 0\n", "line 2: expected 'stroke WIDTH DASHKIND R G B'"},
        {"size 8 8\nfill nonzero 1 2 300\nM 0 0\n", "line 2: colour channels run 0 to 255"},
        {"size 8 8\nfill nonzero 1 2 3\nQ 0 0\n", "line 3: unknown path command 'Q'"},
        {"size 8 8\nfill nonzero 1 2 3\nC 0 0 1 1\n", "line 3: path command needs 6 numbers"},
        {"size 8 8\nfill nonzero 1 2 3\nM 0 nan\n", "line 3: path command needs 2 numbers"},
        {"size 8 8\nfill nonzero 1 2 3\nL 1 1\n", "line 3: path must start with M"},
        {"size 8 8\nfill nonzero 1 2 3\nM 0 0\nZ\nL 1 1\n", "line 5: path must start with M"},
        {"size 8 8\nbanana\n", "line 2: expected a shape header, found 'banana'"},
    };
    for (const Case& c : cases) {
        std::istringstream in(c.text);
        ShapeScene scene;
        std::string error;
        EXPECT_FALSE(ReadShapeScene(in, &scene, &error)) << c.text;
        EXPECT_EQ(error.rfind(c.expected, 0), 0u) << "text: " << c.text << "error: " << error;
    }
}

TEST(ShapeScene, WrittenScenesReadBackUnchanged) {
    ShapeScene scene;
    scene.width = 40;
    scene.height = 30;
    SceneShape fill;
    fill.nonZero = true;
    fill.r = 1; fill.g = 2; fill.b = 3;
    fill.MoveTo(1.25, 2.0078125).CurveTo(3, 4, 5, 6, 7.1, 8.3).LineTo(0.1, 0.2).Close().MoveTo(9, 9).LineTo(10, 10);
    SceneShape stroke;
    stroke.stroke = true;
    stroke.width = 0.3333333333333333;
    stroke.dashKind = 5;
    stroke.MoveTo(0, 0).LineTo(1e-9, 123456.789);
    scene.shapes = {fill, stroke};

    std::stringstream text;
    WriteShapeScene(text, scene);
    ShapeScene back;
    std::string error;
    ASSERT_TRUE(ReadShapeScene(text, &back, &error)) << error;
    ASSERT_EQ(back.shapes.size(), 2u);
    EXPECT_EQ(back.width, 40);
    EXPECT_EQ(back.height, 30);
    for (size_t i = 0; i < 2; ++i) {
        const SceneShape &a = scene.shapes[i], &b = back.shapes[i];
        EXPECT_EQ(a.stroke, b.stroke);
        EXPECT_EQ(a.nonZero, b.nonZero);
        EXPECT_EQ(a.width, b.width);
        EXPECT_EQ(a.dashKind, b.dashKind);
        EXPECT_EQ(a.r + a.g + a.b, b.r + b.g + b.b);
        ASSERT_EQ(a.path.size(), b.path.size());
        for (size_t k = 0; k < a.path.size(); ++k) {
            EXPECT_EQ(a.path[k].op, b.path[k].op);
            for (int v = 0; v < 6; ++v) EXPECT_EQ(a.path[k].v[v], b.path[k].v[v]) << i << " " << k << " " << v;
        }
    }
}

// A closed sub-path gets its closing line and an end record holding its last point; a cubic record
// carries its start and two control points, and the next record starts at its end.
TEST(ShapeScene, SegmentsFollowTheRecordRules) {
    SceneShape s;
    s.MoveTo(1, 2).LineTo(5, 2).CurveTo(6, 3, 6, 5, 5, 6).Close();
    bool closed = false;
    const std::vector<SegmentDesc> seg = s.Segments(&closed);
    EXPECT_TRUE(closed);
    ASSERT_EQ(seg.size(), 4u);
    EXPECT_EQ(seg[0].kind, SegmentLine);
    EXPECT_EQ(seg[0].pt2.x, 5);
    EXPECT_EQ(seg[1].kind, SegmentCubic);
    EXPECT_EQ(seg[1].pt1.x, 5);
    EXPECT_EQ(seg[1].pt2.y, 3);
    EXPECT_EQ(seg[1].pt3.y, 5);
    EXPECT_EQ(seg[2].kind, SegmentLine);  // closing line from the cubic's end back to the start
    EXPECT_EQ(seg[2].pt1.x, 5);
    EXPECT_EQ(seg[2].pt1.y, 6);
    EXPECT_EQ(seg[2].pt2.x, 1);
    EXPECT_EQ(seg[3].kind, SegmentEnd);
    EXPECT_EQ(seg[3].pt1.x, 1);
    EXPECT_EQ(seg[3].pt1.y, 2);

    SceneShape open;
    open.MoveTo(0, 0).LineTo(1, 1).Close().MoveTo(3, 3).LineTo(4, 4);
    open.Segments(&closed);
    EXPECT_FALSE(closed);
}

}  // namespace
