// Scripted drags through the control's message map with a fake view: clicks that toggle the
// handle mode, resize, rotate, skew, the rotation point and placing, each committed drag leaving
// one undo record whose replay by name puts the frame back.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "RectFixtures.h"
#include "tarn/ControlsModuleState.h"

namespace {
class RectTracking : public ::testing::Test {
protected:
    void SetUp() override {
        UseServerResources();
        SetModifierKeys(false, false);
    }
    void TearDown() override {
        SetModifierKeys(false, false);
        Drop();
    }
    void Make(bool live, const tagRectF& rect = tagRectF{0, 0, 2, 1}) {
        Drop();
        control_ = NewRectControl(live, rect);
        inside_ = POINT{static_cast<LONG>(rect.left * 100) + 30, static_cast<LONG>((rect.top + rect.bottom) * 50)};
        cookie_ = AdviseSite(AsBase(control_), &site_);
        site_.Clear();
    }
    void Drop() {
        if (!control_) return;
        UnadviseSite(AsBase(control_), cookie_);
        control_->UnregisterAllViews();
        control_->Release();
        control_ = nullptr;
        site_.Clear();
    }
    HRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam) {
        LRESULT result = 0;
        return AsBase(control_)->OnWindowMessage(msg, wParam, lParam, &result, &view_);
    }
    HRESULT Press(int x, int y) { return Send(WM_LBUTTONDOWN, MK_LBUTTON, PixelAt(x, y)); }
    HRESULT Move(int x, int y) { return Send(WM_MOUSEMOVE, MK_LBUTTON, PixelAt(x, y)); }
    HRESULT Release(int x, int y) { return Send(WM_LBUTTONUP, 0, PixelAt(x, y)); }
    HRESULT Escape() { return Send(WM_KEYDOWN, VK_ESCAPE, 0); }
    void Click(int x, int y) {
        Press(x, y);
        Release(x, y);
    }
    void Activate() { AsBase(control_)->put_Active(&view_, 1); }
    // Active with the transform handles: a click inside, away from handles and the centre.
    void ToTransformHandles() {
        Activate();
        Click(inside_.x, inside_.y);
        ASSERT_TRUE(control_->ShowsTransformHandles(&view_));
    }
    POINT HandleCentre(int i) {
        RECT r{};
        EXPECT_TRUE(control_->GetHandleRect(i, &view_, &r)) << i;
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    POINT SizeHandle(int i) {
        POINT p{};
        EXPECT_TRUE(control_->GetHandlePoint(i, &view_, &p)) << i;
        return p;
    }
    tagRectF Rect() {
        tagRectF r;
        AsBase(control_)->get_Rect(&r);
        return r;
    }

    TestRectObject* control_ = nullptr;
    CFakeSite site_;
    CRecordingView view_;
    DWORD cookie_ = 0;
    POINT inside_{30, 50};  // inside the frame, away from its handles and centre
};

void ExpectRect(const tagRectF& r, double l, double t, double rr, double b, const char* what) {
    EXPECT_NEAR(r.left, l, 1e-9) << what;
    EXPECT_NEAR(r.top, t, 1e-9) << what;
    EXPECT_NEAR(r.right, rr, 1e-9) << what;
    EXPECT_NEAR(r.bottom, b, 1e-9) << what;
}

TEST_F(RectTracking, ThreeClicksToggleTheHandleMode) {
    Make(false);
    Click(inside_.x, inside_.y);  // not yet selected: the click selects with size handles
    Activate();
    EXPECT_FALSE(control_->ShowsTransformHandles(&view_));
    Click(inside_.x, inside_.y);
    EXPECT_TRUE(control_->ShowsTransformHandles(&view_));
    Click(inside_.x, inside_.y);
    EXPECT_FALSE(control_->ShowsTransformHandles(&view_));
    EXPECT_TRUE(site_.undo.empty()) << "clicks record nothing";
    // Leaving and regaining the selection starts again with size handles.
    Click(inside_.x, inside_.y);
    AsBase(control_)->put_Active(&view_, 0);
    Activate();
    EXPECT_FALSE(control_->ShowsTransformHandles(&view_));
}

TEST_F(RectTracking, ResizeFromCornerFourWithTheModifierKeys) {
    struct Case {
        bool shift, alt;
        int toX, toY;  // pointer, window pixels; the press is on handle 4 at (207, 107)
        tagRectF expected;
        const char* what;
    } const cases[] = {
        {false, false, 307, 157, {0, 0, 3, 1.5}, "aspect kept about the fixed corner"},
        {false, true, 307, 107, {0, 0, 3, 1}, "Alt frees the aspect"},
        {true, false, 307, 157, {-1, -0.5, 3, 1.5}, "Shift scales about the centre"},
        {true, true, 307, 107, {-1, 0, 3, 1}, "Shift and Alt: about the centre, aspect free"},
    };
    for (const Case& c : cases) {
        for (bool live : {false, true}) {
            Make(live);
            Activate();
            const POINT h = SizeHandle(4);
            ASSERT_EQ(h.x, 207);
            ASSERT_EQ(Press(h.x, h.y), S_OK);
            ASSERT_EQ(control_->State(), kStateResizing);
            SetModifierKeys(c.shift, c.alt);
            Move(c.toX, c.toY);
            SetModifierKeys(false, false);
            Release(c.toX, c.toY);
            ExpectRect(Rect(), c.expected.left, c.expected.top, c.expected.right, c.expected.bottom, c.what);
            EXPECT_EQ(site_.undo.size(), 1u) << c.what;
            EXPECT_EQ(control_->State(), kStateIdle);
        }
    }
}

TEST_F(RectTracking, LiveRightHandleDraggedPastTheLeftSideBecomesTheLeftHandle) {
    Make(true);
    Activate();
    const POINT h = SizeHandle(3);
    Press(h.x, h.y);
    Move(-93, 50);
    ASSERT_NE(control_->Track(), nullptr);
    EXPECT_EQ(control_->Track()->handle, 7);
    EXPECT_LT(control_->Transform().XScale, 0) << "mirrored";
    EXPECT_GE(control_->Transform().RotateAngle, 0);
    ExpectRect(Rect(), -1, 0, 0, 1, "mirrored across the fixed side");
    Move(-193, 50);
    ExpectRect(Rect(), -2, 0, 0, 1, "the left handle follows the pointer");
    Release(-193, 50);
    EXPECT_EQ(site_.undo.size(), 1u);
}

TEST_F(RectTracking, PointerOnTheFixedSideLeavesAThinFrame) {
    for (bool live : {false, true}) {
        Make(live);
        Activate();
        const POINT h = SizeHandle(3);
        Press(h.x, h.y);
        Move(7, 50);  // the grab offset puts the tracked edge exactly on the left side
        Release(7, 50);
        const tagRectF r = Rect();
        EXPECT_NEAR(r.right - r.left, 0.0001, 1e-9) << live;
        EXPECT_NEAR(r.left, 0, 1e-9) << live;
    }
}

TEST_F(RectTracking, EscapeDuringARotateLeavesTheControlAsItWas) {
    for (bool live : {false, true}) {
        Make(live);
        ToTransformHandles();
        site_.Clear();
        const CLinearTransform before = control_->Transform();
        const POINT h = HandleCentre(0);
        ASSERT_EQ(Press(h.x, h.y), S_OK);
        ASSERT_EQ(control_->State(), kStateRotating);
        Move(h.x + 40, h.y - 30);
        EXPECT_EQ(Escape(), S_OK);
        EXPECT_EQ(control_->State(), kStateIdle);
        EXPECT_TRUE(site_.undo.empty()) << live;
        EXPECT_NEAR(control_->Transform().RotateAngle, before.RotateAngle, 1e-9) << live;
        EXPECT_NEAR(control_->Transform().XOffset, before.XOffset, 1e-9) << live;
        EXPECT_NEAR(control_->Transform().YOffset, before.YOffset, 1e-9) << live;
    }
}

TEST_F(RectTracking, CursorsAreTheLoadedCursorHandles) {
    Make(false);
    Activate();
    struct SizeCase {
        int handle;
        LPCSTR id;
    } const sizes[] = {{0, IDC_SIZENWSE}, {1, IDC_SIZENS}, {2, IDC_SIZENESW}, {3, IDC_SIZEWE},
                       {4, IDC_SIZENWSE}, {5, IDC_SIZENS},  {6, IDC_SIZENESW}, {7, IDC_SIZEWE}, {8, IDC_SIZEALL}};
    for (const SizeCase& c : sizes) {
        const POINT p = SizeHandle(c.handle);
        HICON cursor = nullptr;
        AsBase(control_)->GetCursor(tagPointF{p.x / 100.0, p.y / 100.0}, &view_, &cursor);
        EXPECT_EQ(cursor, LoadCursorA(nullptr, c.id)) << c.handle;
    }
    Click(inside_.x, inside_.y);
    ASSERT_TRUE(control_->ShowsTransformHandles(&view_));
    struct TransformCase {
        int handle;
        UINT id;
    } const transforms[] = {{0, 21124}, {2, 21124}, {4, 21124}, {6, 21124}, {1, 21125}, {5, 21125}, {3, 21126}, {7, 21126}};
    for (const TransformCase& c : transforms) {
        const POINT p = HandleCentre(c.handle);
        HICON cursor = nullptr;
        AsBase(control_)->GetCursor(tagPointF{p.x / 100.0, p.y / 100.0}, &view_, &cursor);
        EXPECT_EQ(cursor, LoadCursorA(ControlsResourceInstance(), MAKEINTRESOURCEA(c.id))) << c.handle;
        EXPECT_NE(cursor, nullptr);
    }
    HICON cursor = nullptr;
    AsBase(control_)->GetCursor(tagPointF{1, 0.5}, &view_, &cursor);
    EXPECT_EQ(cursor, LoadCursorA(ControlsResourceInstance(), MAKEINTRESOURCEA(21128)));
}

// One committed drag, its single record, and the replay of that record by name.
struct DragCase {
    const char* what;
    bool live;
    bool transformHandles;
    std::function<POINT(RectTracking&)> grab;
    int dx, dy;
    const wchar_t* method;
};

class RectDragReplay : public RectTracking {
public:
    POINT GrabTransformHandle(int i) { return HandleCentre(i); }
    POINT GrabSizeHandle(int i) { return SizeHandle(i); }
    POINT GrabInside() { return inside_; }
    POINT GrabRotationPoint() {
        tagPointF p;
        AsRect(control_)->get_RotationPoint(&p);
        return POINT{static_cast<LONG>(std::lround(p.x * 100)), static_cast<LONG>(std::lround(p.y * 100))};
    }
};

TEST_F(RectDragReplay, EachCommittedDragRecordsOnceAndItsReplayRestoresTheCorners) {
    auto transformHandle = [](int i) { return [i](RectTracking& t) { return static_cast<RectDragReplay&>(t).GrabTransformHandle(i); }; };
    auto sizeHandle = [](int i) { return [i](RectTracking& t) { return static_cast<RectDragReplay&>(t).GrabSizeHandle(i); }; };
    auto inside = [](RectTracking& t) { return static_cast<RectDragReplay&>(t).GrabInside(); };
    const DragCase cases[] = {
        {"move", false, false, inside, 30, 20, L"SetCenterPoint"},
        {"live move", true, false, inside, 30, 20, L"SetCenterPoint"},
        {"resize", false, false, sizeHandle(4), 50, 30, L"SetRect"},
        {"live resize", true, false, sizeHandle(0), -50, -30, L"SetLinearTransformParams_Disp"},
        {"rotate", false, true, transformHandle(2), -40, 70, L"RotateBy_Disp"},
        {"live rotate", true, true, transformHandle(6), 60, 10, L"RotateBy_Disp"},
        {"skew", false, true, transformHandle(1), 35, 0, L"SkewBy_Disp"},
        {"live skew", true, true, transformHandle(7), 0, -25, L"SkewBy_Disp"},
        {"live skew with Alt", true, true, transformHandle(3), 10, 30, L"SkewBy_Disp"},
        {"rotation point", false, true, [](RectTracking& t) { return static_cast<RectDragReplay&>(t).GrabRotationPoint(); }, 23, -11, L"SetRotationPoint"},
    };
    for (const DragCase& c : cases) {
        Make(c.live, tagRectF{0.5, 0.25, 2.5, 1.25});
        if (c.transformHandles)
            ToTransformHandles();
        else
            Activate();
        site_.Clear();
        tagPointF start[4], end[4];
        CornersOf(control_, start);
        tagPointF startPivot;
        AsRect(control_)->get_RotationPoint(&startPivot);
        const POINT p = c.grab(*this);
        const bool alt = std::string(c.what).find("Alt") != std::string::npos;
        ASSERT_EQ(Press(p.x, p.y), S_OK) << c.what;
        SetModifierKeys(false, alt);
        Move(p.x + c.dx / 2, p.y + c.dy / 2);
        Move(p.x + c.dx, p.y + c.dy);
        SetModifierKeys(false, false);
        Release(p.x + c.dx, p.y + c.dy);
        ASSERT_EQ(site_.undo.size(), 1u) << c.what;
        EXPECT_EQ(site_.undo[0].method, c.method) << c.what;
        tagPointF moved[4];
        CornersOf(control_, moved);
        tagPointF movedPivot;
        AsRect(control_)->get_RotationPoint(&movedPivot);
        const bool changed = std::fabs(moved[0].x - start[0].x) + std::fabs(moved[0].y - start[0].y) +
                                 std::fabs(moved[2].x - start[2].x) + std::fabs(movedPivot.x - startPivot.x) >
                             1e-3;
        EXPECT_TRUE(changed) << c.what;
        const CapturedUndo record = site_.undo[0];
        ASSERT_EQ(Replay(record), S_OK) << c.what;
        CornersOf(control_, end);
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(end[i].x, start[i].x, 1e-9) << c.what << " corner " << i;
            EXPECT_NEAR(end[i].y, start[i].y, 1e-9) << c.what << " corner " << i;
        }
        tagPointF pivot;
        AsRect(control_)->get_RotationPoint(&pivot);
        EXPECT_NEAR(pivot.x, startPivot.x, 1e-9) << c.what;
        EXPECT_NEAR(pivot.y, startPivot.y, 1e-9) << c.what;
        Drop();
    }
}

TEST_F(RectTracking, RotationPointSnapsAndCancelPutsItBack) {
    Make(false);
    ToTransformHandles();
    view_.snapGrid = 0.25;
    site_.Clear();
    Press(100, 50);
    ASSERT_EQ(control_->State(), kStateMovingRotationPoint);
    Move(133, 71);
    tagPointF p;
    AsRect(control_)->get_RotationPoint(&p);
    EXPECT_NEAR(p.x, 1.25, 1e-12);
    EXPECT_NEAR(p.y, 0.75, 1e-12);
    Escape();
    AsRect(control_)->get_RotationPoint(&p);
    EXPECT_NEAR(p.x, 1.0, 1e-12);
    EXPECT_NEAR(p.y, 0.5, 1e-12);
    EXPECT_TRUE(site_.undo.empty());
}

TEST_F(RectTracking, ASkewOverAFlatBoxKeepsItsPreviousStep) {
    Make(true);
    ToTransformHandles();
    const POINT h = HandleCentre(1);
    control_->ForceTransform(CLinearTransform(1, 0.5, 1, 0, 0, 0));  // no height at all
    ASSERT_TRUE(control_->BeginSkew(h.x, h.y, &view_));
    control_->TrackSkew(h.x + 30, h.y);
    const CLinearTransform t = control_->Transform();
    EXPECT_TRUE(std::isfinite(t.XScale) && std::isfinite(t.SkewAngle) && std::isfinite(t.XOffset));
    EXPECT_DOUBLE_EQ(t.YScale, 0.0);
    control_->EndSkew(false, true);
    EXPECT_EQ(control_->State(), kStateIdle);
}

TEST_F(RectTracking, PlacingByDraggingAndAClickThatCancels) {
    for (bool drag : {true, false}) {
        TestRectObject* control = nullptr;
        ASSERT_EQ(TestRectObject::CreateInstance(&control), S_OK);
        control->AddRef();
        CFakeInserter inserter;
        control->SetInserterInterface(&inserter);
        LRESULT result = 0;
        IBaseControl* base = AsBase(control);
        EXPECT_EQ(base->OnWindowMessage(WM_LBUTTONDOWN, MK_LBUTTON, PixelAt(50, 40), &result, &view_), S_OK);
        if (drag) {
            EXPECT_EQ(base->OnWindowMessage(WM_MOUSEMOVE, MK_LBUTTON, PixelAt(20, 140), &result, &view_), S_OK);
            EXPECT_EQ(base->OnWindowMessage(WM_MOUSEMOVE, 0, PixelAt(10, 10), &result, &view_), S_FALSE)
                << "a move without the button is not placing";
        }
        EXPECT_EQ(base->OnWindowMessage(WM_LBUTTONUP, 0, PixelAt(20, 140), &result, &view_), S_OK);
        tagControlInsertingResult state = Cir_InProgress;
        control->CheckInsertingState(&state);
        EXPECT_EQ(state, drag ? Cir_Completed : Cir_Cancelled);
        EXPECT_EQ(inserter.completions, 1);
        EXPECT_EQ(control->State(), kStateIdle);
        if (drag) {
            tagRectF r;
            base->get_Rect(&r);
            ExpectRect(r, 0.2, 0.4, 0.5, 1.4, "the frame spans press and release");
            EXPECT_GT(control->Transform().YScale, 0);
            EXPECT_GE(control->Transform().RotateAngle, 0);
        }
        control->SetInserterInterface(nullptr);
        control->Release();
    }
}
}  // namespace
