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
    shape->ColorPart().outlineOn = true;
    shape->ColorPart().outlineWidth = 0.2;
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
}  // namespace
