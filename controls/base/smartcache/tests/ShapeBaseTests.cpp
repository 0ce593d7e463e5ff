// The shape base keeps its document path current with the placement: a move shifts it, any other
// change rebuilds it; the device path follows a drawing request.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "ShapeFixtures.h"

namespace {
std::vector<SegmentDesc> Flatten(const CHeapArray& path) {
    std::vector<SegmentDesc> all;
    for (int i = 0; i < path.Count(); ++i) all.insert(all.end(), path[i].segments, path[i].segments + path[i].segmentCount);
    return all;
}

TEST(ShapeBase, PathDataOnlyOnceBuilt) {
    TestShapeObject* shape = nullptr;
    ASSERT_EQ(TestShapeObject::CreateInstance(&shape), S_OK);
    shape->AddRef();
    shape->InitNew();
    EXPECT_EQ(shape->HasPathData(), E_FAIL);
    shape->put_Rect(tagRectF{0, 0, 1, 1});
    EXPECT_EQ(shape->HasPathData(), S_OK);
    shape->Release();
}

TEST(ShapeBase, AMoveShiftsThePathAndItsBoundsExactly) {
    TestShapeObject* shape = NewShape(tagRectF{1, 1, 3, 2});
    shape->rows = 2;
    shape->columns = 3;
    shape->RebuildPath(true);
    const std::vector<SegmentDesc> before = Flatten(shape->Path());
    const tagRectF bounds = shape->PathBounds();
    const int builds = shape->builds;
    const double dx = 0.375, dy = -1.25;  // exact in binary: the shift adds no rounding
    AsBase(shape)->MoveBy(tagSizeF{dx, dy});
    EXPECT_EQ(shape->builds, builds) << "a move rebuilds nothing";
    const std::vector<SegmentDesc> after = Flatten(shape->Path());
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].pt1.x, before[i].pt1.x + dx);
        EXPECT_EQ(after[i].pt1.y, before[i].pt1.y + dy);
    }
    EXPECT_EQ(shape->PathBounds().left, bounds.left + dx);
    EXPECT_EQ(shape->Path()[4].pathBounds.bottom, shape->Path()[4].pathBounds.bottom);
    // A turn or a scale regenerates the path and its bounds.
    AsBase(shape)->RotateBy(0.5, tagPointF{0, 0});
    EXPECT_EQ(shape->builds, builds + 1);
    AsBase(shape)->ScaleBy(2, 2);
    EXPECT_EQ(shape->builds, builds + 2);
    shape->Release();
}

TEST(ShapeBase, WithoutOutlineStrokeBoundsArePathBoundsAndAnOutlineWidensThem) {
    TestShapeObject* shape = NewShape(tagRectF{0, 0, 2, 1});
    const tagRectF p = shape->PathBounds(), s = shape->StrokeBounds();
    EXPECT_EQ(p.left, s.left);
    EXPECT_EQ(p.bottom, s.bottom);
    EXPECT_NEAR(p.left, 0.1, 1e-12);  // the test kind's ellipse keeps 5% inside its frame
    EXPECT_NEAR(p.right, 1.9, 1e-12);
    shape->ColorPart().slots[0].hasOutline = 1;
    shape->ColorPart().slots[0].outlineWidth = 0.2;
    shape->RebuildPath(true);
    EXPECT_LT(shape->StrokeBounds().left, shape->PathBounds().left - 0.05);
    tagRectF filled;
    AsBase(shape)->get_FilledRect(&filled);
    EXPECT_LE(filled.left, 0.0);
    shape->Release();
}

TEST(ShapeBase, DevicePathTakesItsOriginFromTheCanvasWithoutAView) {
    TestShapeObject* shape = NewShape(tagRectF{1, 1, 2, 2});
    CTestCanvas canvas(50, 50);
    canvas.offset = POINT{80, 90};
    tagDrawOptions options = canvas.Options(nullptr);
    ASSERT_EQ(shape->MakeDevicePath(options), S_OK);
    const tagPointF first = shape->Path()[0].segments[0].pt1;
    const tagPointF device = shape->DevicePath()[0].segments[0].pt1;
    EXPECT_DOUBLE_EQ(device.x, first.x * 100 - 80);
    EXPECT_DOUBLE_EQ(device.y, first.y * 100 - 90);
    options.UpdateRect = RECT{0, 0, 0, 0};
    EXPECT_EQ(shape->MakeDevicePath(options), S_FALSE);
    shape->Release();
}
TEST(ShapeBase, ParentAngleFollowsTurnAndMirrors) {
    const double pi = 3.14159265358979323846;
    struct Case {
        double xScale, yScale, rotate, skew, gradient, expected;
    } const cases[] = {
        {1, 1, 0, 0, 30, 0},                   // 360 - 0 + 0 wraps to 0
        {1, 1, pi / 2, 0, 30, 270},
        {1, 1, pi / 2, pi / 6, 0, 300},        // skew counts against the turn
        {-1, 1, 0, 0, 30, 120},                // mirrored: 180 - g, so m - g = 120
        {1, -1, 0, 0, 30, 300},                // m = -30: m - g = -60
        {-1, -1, 0, 0, 30, 180},               // m = -(180 - 30) = -150: m - g = -180
    };
    for (const Case& c : cases) {
        TestShapeObject* shape = NewShape(tagRectF{0, 0, 1, 1});
        shape->ColorPart().slots[0].gradAngle = c.gradient;
        shape->ForceTransform(CLinearTransform(0, 0, c.xScale, c.yScale, c.rotate, c.skew));
        EXPECT_NEAR(shape->ParentAngle(), c.expected, 1e-9) << c.xScale << " " << c.yScale << " " << c.rotate;
        shape->Release();
    }
}

TEST(ShapeBase, GradientBoundsStayWithTheControl) {
    TestShapeObject* shape = NewShape(tagRectF{1, 1, 3, 2});
    AsRect(shape)->put_RotateAngle(0.4);
    shape->SetGradBound(1, tagPointF{2.5, 1.25});
    const tagPointF back = shape->GradBound(1);
    EXPECT_NEAR(back.x, 2.5, 1e-12);
    EXPECT_NEAR(back.y, 1.25, 1e-12);
    AsBase(shape)->MoveBy(tagSizeF{1, -1});
    EXPECT_NEAR(shape->GradBound(1).x, 3.5, 1e-12);
    EXPECT_NEAR(shape->GradBound(1).y, 0.25, 1e-12);
    EXPECT_GE(shape->ColorPart().slots[0].gradStart.x, kGradientNotComputed) << "marked for computing";
    shape->Release();
}

TEST(ShapeBase, LinearGradientSpansThePathAlongItsAngle) {
    TestShapeObject* shape = NewShape(tagRectF{1, 1, 3, 2});  // the ellipse spans x 1.1..2.9, y 1.05..1.95
    CColorPart::Slot& fill = shape->ColorPart().slots[0];
    fill.fillType = CColorPart::FillLinear;
    CTestCanvas canvas(400, 300);
    canvas.offset = POINT{10, 20};
    tagDrawOptions options = canvas.Options(nullptr);
    ASSERT_EQ(shape->MakeDevicePath(options), S_OK);
    shape->PrepareGradients(options);
    EXPECT_NEAR(fill.gradStart.x, 1.1, 1e-9);
    EXPECT_NEAR(fill.gradStart.y, 1.5, 1e-9);
    EXPECT_NEAR(fill.gradLength, 1.8, 1e-9);
    EXPECT_NEAR(fill.deviceStart.x, 110 - 10, 1e-7);
    EXPECT_NEAR(fill.deviceLength, 180, 1e-7);
    // A move only shifts the start; a quarter turn of the gradient measures the height.
    AsBase(shape)->MoveBy(tagSizeF{0.5, 0});
    shape->MakeDevicePath(options);
    shape->PrepareGradients(options);
    EXPECT_NEAR(fill.gradStart.x, 1.6, 1e-9);
    fill.gradAngle = 90;
    shape->MakeDevicePath(options);
    shape->PrepareGradients(options);
    EXPECT_NEAR(fill.gradLength, 0.9, 1e-9);
    EXPECT_NEAR(fill.gradStart.y, 1.05, 1e-9);
    EXPECT_NEAR(fill.gradStart.x, 2.5, 1e-9);
    shape->Release();
}
}  // namespace
