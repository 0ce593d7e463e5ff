// Drags of a selection of two controls: when the drag ends every control's corners are where one
// map of the group puts them, one list record goes to a fresh undo selection, and replaying it by
// name puts every corner back.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "SelectionFixtures.h"

namespace {
class SelectionDragTest : public SelectionInView {
protected:
    void SetUp() override {
        UseServerResources();  // the handle bitmaps give the handles their size
        Open({{0.5, 0.25, 1.5, 1.25}, {2, 0.5, 3, 1.5}}, true);
    }
    HRESULT Send(UINT msg, WPARAM wParam, int x, int y) {
        LRESULT result = 0;
        return static_cast<IBaseControl*>(selection)->OnWindowMessage(msg, wParam, PixelAt(x, y), &result, &view);
    }
    void Drag(POINT p, int dx, int dy) {
        Send(WM_LBUTTONDOWN, MK_LBUTTON, p.x, p.y);
        Send(WM_MOUSEMOVE, MK_LBUTTON, p.x + dx / 2, p.y + dy / 2);
        Send(WM_MOUSEMOVE, MK_LBUTTON, p.x + dx, p.y + dy);
        Send(WM_LBUTTONUP, 0, p.x + dx, p.y + dy);
    }
    POINT HandleCentre(int i) {
        RECT r{};
        EXPECT_TRUE(selection->GetHandleRect(i, &view, &r)) << i;
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    POINT SizeHandle(int i) {
        POINT p{};
        EXPECT_TRUE(selection->GetHandlePoint(i, &view, &p)) << i;
        return p;
    }
    // Number k of the recorded arguments after the list.
    double Arg(const CapturedUndo& record, int k) { return record.args[record.args.size() - 2 - k].dblVal; }

    const POINT inside{100, 75};  // inside the first control, away from the frame's handles
};

struct DragCase {
    const char* what;
    bool transformHandles;
    int handle;  // -1: inside; 8: the rotation point; else a handle
    int dx, dy;
    const wchar_t* method;
};
}  // namespace

TEST_F(SelectionDragTest, EachDragIsOneMapOfTheGroupAndItsRecordUndoesIt) {
    const DragCase cases[] = {
        {"move", false, -1, 30, 20, L"MoveListBy"},
        {"resize", false, 4, 50, 30, L"ScaleListBy"},
        {"rotate", true, 2, -40, 70, L"RotateListBy"},
        {"skew", true, 1, 35, 0, L"SkewListBy"},
        {"rotation point", true, 8, 23, -11, L"SetListRotationPoint"},
    };
    for (const DragCase& c : cases) {
        if (c.transformHandles != selection->ShowsTransformHandles(&view)) {
            Send(WM_LBUTTONDOWN, MK_LBUTTON, inside.x, inside.y);
            Send(WM_LBUTTONUP, 0, inside.x, inside.y);
        }
        ASSERT_EQ(selection->ShowsTransformHandles(&view), c.transformHandles) << c.what;
        site.Clear();
        const std::vector<tagPointF> before = CornersOfAll(moved);
        tagPointF pivot0;
        selection->get_RotationPoint(&pivot0);
        tagRectF frame;
        static_cast<IBaseControl*>(selection)->get_FrameRect(&frame);
        const tagPointF centre{(frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2};
        POINT p = inside;
        if (c.handle == 8)
            p = POINT{static_cast<LONG>(std::lround(pivot0.x * 100)), static_cast<LONG>(std::lround(pivot0.y * 100))};
        else if (c.handle >= 0)
            p = c.transformHandles ? HandleCentre(c.handle) : SizeHandle(c.handle);
        Drag(p, c.dx, c.dy);
        ASSERT_EQ(site.undo.size(), 1u) << c.what;
        const CapturedUndo record = site.undo[0];
        EXPECT_EQ(record.method, c.method) << c.what;
        EXPECT_NE(record.target, static_cast<IDispatch*>(AsSelDisp(selection))) << c.what;

        Affine map{1, 0, 0, 1, 0, 0};
        const std::wstring method = record.method;
        if (method == L"MoveListBy") map = Translation(-Arg(record, 0), -Arg(record, 1));
        if (method == L"ScaleListBy") {
            EXPECT_EQ(Arg(record, 4), 0.0) << c.what << ": a resize does not turn";
            map = ScaleAbout(centre, 1 / Arg(record, 0), 1 / Arg(record, 1), -Arg(record, 2), -Arg(record, 3), false);
        }
        if (method == L"RotateListBy")
            map = RotationAbout(tagPointF{Arg(record, 1), Arg(record, 2)}, -Arg(record, 0));
        if (method == L"SkewListBy") {
            const double kx = -Arg(record, 1), ky = -Arg(record, 2);
            map = SkewAbout(tagPointF{Arg(record, 3), Arg(record, 4)}, 1 / (Arg(record, 0) * (1 - kx * ky)), kx, ky);
        }
        ExpectCornersFollow(before, moved, map, c.what);
        if (method != L"SetListRotationPoint") {
            const std::vector<tagPointF> after = CornersOfAll(moved);
            EXPECT_GT(std::fabs(after[0].x - before[0].x) + std::fabs(after[2].y - before[2].y), 1e-3) << c.what;
        }
        ASSERT_EQ(S_OK, Replay(record)) << c.what;
        AsSel(selection)->Update();
        ExpectCornersFollow(before, moved, Affine{1, 0, 0, 1, 0, 0}, (std::string(c.what) + " undone").c_str());
    }
}

TEST_F(SelectionDragTest, DuringAMoveTheControlsDrawTheirOutlinesWhereTheDragPutsThem) {
    Send(WM_LBUTTONDOWN, MK_LBUTTON, inside.x, inside.y);
    Send(WM_MOUSEMOVE, MK_LBUTTON, inside.x + 40, inside.y - 20);
    EXPECT_EQ(S_OK, static_cast<IBaseControl*>(selection)->DrawUIShapes(nullptr, &view, nullptr));
    for (CBuddyRect* c : controls) {
        EXPECT_EQ(c->outlines, 1);
        EXPECT_NEAR(c->lastMatrix[2], 0.4, 1e-9);
        EXPECT_NEAR(c->lastMatrix[5], -0.2, 1e-9);
        EXPECT_EQ(c->lastMatrix[0], 1.0);
    }
    Send(WM_LBUTTONUP, 0, inside.x + 40, inside.y - 20);
}
