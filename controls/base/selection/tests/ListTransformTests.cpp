// Each list transform and each placement setter moves every control's corners where one affine map
// of the whole group puts them; replaying the recorded inverse by name puts every corner back.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "SelectionFixtures.h"
#include "atlcomptr.h"

namespace {
const double kPi = 3.14159265358979323846;

// A control whose frame is its plain rectangle, which may be flat (a line).
class CFlatLine : public CTestDrawControl {
public:
    STDMETHOD(get_FrameRect)(tagRectF* pVal) override { return get_BoundingRect(pVal); }
};

class ListTransformTest : public SelectionInView {
protected:
    void SetUp() override {
        Open({{0, 0, 2, 1}, {3, 1, 4, 3}, {1, 2, 2.5, 4}}, false);
        controls[1]->RotateBy(0.3, tagPointF{3.5, 2});  // not every control is upright
        for (CBuddyRect* c : controls) all.push_back(AsBase(c));
    }
    tagPointF FrameCentre() {
        tagRectF r{0, 0, 0, 0};
        bool first = true;
        for (IBaseControl* c : all) {
            tagRectF f;
            c->get_FrameRect(&f);
            r = first ? f
                      : tagRectF{std::fmin(r.left, f.left), std::fmin(r.top, f.top), std::fmax(r.right, f.right),
                                 std::fmax(r.bottom, f.bottom)};
            first = false;
        }
        return tagPointF{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // Runs `change`, checks the corners against `map`, then replays the one record and checks that
    // every corner is back.
    void CheckAndUndo(const std::function<HRESULT()>& change, const Affine& map, const wchar_t* method,
                      const char* what) {
        site.Clear();
        const std::vector<tagPointF> before = CornersOfAll(moved);
        ASSERT_EQ(S_OK, change()) << what;
        ExpectCornersFollow(before, moved, map, what);
        ASSERT_EQ(site.undo.size(), 1u) << what;
        EXPECT_EQ(site.undo[0].method, method) << what;
        EXPECT_EQ(site.undo[0].args.back().vt, VT_UNKNOWN) << what << ": the list comes first";
        const CapturedUndo record = site.undo[0];
        ASSERT_EQ(S_OK, Replay(record)) << what;
        AsSel(selection)->Update();  // the view refreshes the selection after an undo
        ExpectCornersFollow(before, moved, Affine{1, 0, 0, 1, 0, 0}, (std::string(what) + " undone").c_str());
    }

    std::vector<IBaseControl*> all;
};
}  // namespace

TEST_F(ListTransformTest, EachListMethodIsOneMapOfTheGroupAndItsRecordUndoesIt) {
    IUnknown* list = NewList(all);
    ISelectionControlDispatch* d = AsSelDisp(selection);
    const tagPointF c = FrameCentre();
    CheckAndUndo([&] { return d->MoveListBy(list, 1.5, -0.25); }, Translation(1.5, -0.25), L"MoveListBy", "move");
    CheckAndUndo([&] { return d->ScaleListBy(list, 2, 0.5, 0.25, 1, 0); }, ScaleAbout(c, 2, 0.5, 0.25, 1, false),
                 L"ScaleListBy", "scale");
    CheckAndUndo([&] { return d->ScaleListBy(list, 1, -1, 0, 0, 0); }, ScaleAbout(c, 1, -1, 0, 0, false),
                 L"ScaleListBy", "vertical flip");
    CheckAndUndo([&] { return d->ScaleListBy(list, 1.5, 2, 0.5, 0, kPi); }, ScaleAbout(c, 1.5, 2, 0.5, 0, true),
                 L"ScaleListBy", "half turn");
    CheckAndUndo([&] { return d->ScaleListBy(list, 1.5, 2, 0, 0, -kPi); }, ScaleAbout(c, 1.5, 2, 0, 0, true),
                 L"ScaleListBy", "half turn backwards");
    CheckAndUndo([&] { return d->RotateListBy(list, 0.7, 1, 2); }, RotationAbout(tagPointF{1, 2}, 0.7),
                 L"RotateListBy", "rotate");
    CheckAndUndo([&] { return d->SkewListBy(list, 1.2, 0.3, -0.2, 0.5, 4); },
                 SkewAbout(tagPointF{0.5, 4}, 1.2, 0.3, -0.2), L"SkewListBy", "skew");
    CheckAndUndo([&] { return d->SetListCenterPoint(list, 10, 20); }, Translation(10 - c.x, 20 - c.y),
                 L"SetListCenterPoint", "centre");
    ASSERT_EQ(selection->Selected().size(), 3u) << "the list became the selection";
    list->Release();
}

TEST_F(ListTransformTest, SetListRectRefitsTheFrameAndAFlatFrameOnlyFollowsTheCentre) {
    IUnknown* list = NewList(all);
    tagRectF frame;
    static_cast<IBaseControl*>(selection)->get_FrameRect(&frame);
    // Upright controls only: a rect refit of a turned control is not affine in its corners.
    controls[1]->RotateBy(-0.3, tagPointF{3.5, 2});
    const tagPointF c = FrameCentre();
    IUnknown* upright = NewList(all);
    site.Clear();
    // Old frame: (0,0)-(4,4); new frame twice as wide, same height, moved.
    CheckAndUndo([&] { return AsSelDisp(selection)->SetListRect(upright, 1, 1, 9, 5); },
                 Affine{2, 0, 0, 1, 5 - 2 * c.x, 3 - c.y}, L"SetListRect", "rect");
    upright->Release();

    // One flat control (a horizontal line): it is stretched along and follows the new centre across.
    CComObject<CFlatLine>* line = nullptr;
    ASSERT_EQ(S_OK, CComObject<CFlatLine>::CreateInstance(&line));
    line->AddRef();
    line->rect = tagRectF{0, 2, 4, 2};
    IUnknown* flat = NewList({AsBase(line)});
    EXPECT_EQ(S_OK, AsSelDisp(selection)->SetListRect(flat, 10, 10, 20, 10));
    EXPECT_NEAR(line->rect.left, 10, 1e-9);
    EXPECT_NEAR(line->rect.right, 20, 1e-9);
    EXPECT_NEAR(line->rect.top, 10, 1e-9);
    EXPECT_NEAR(line->rect.bottom, 10, 1e-9);
    tagPointF point;
    selection->get_RotationPoint(&point);
    EXPECT_TRUE(std::isfinite(point.x) && std::isfinite(point.y));
    EXPECT_NEAR(point.x, 15, 1e-9) << "a flat selection turns about its frame centre";
    EXPECT_NEAR(point.y, 10, 1e-9);
    AsSel(selection)->RemoveAll();
    site.Clear();
    flat->Release();
    EXPECT_EQ(AsBase(line)->Release(), 0u);
    list->Release();
}

TEST_F(ListTransformTest, ZeroScaleAndSingularSkewChangeAndRecordNothing) {
    IUnknown* list = NewList(all);
    const std::vector<tagPointF> before = CornersOfAll(moved);
    site.Clear();
    EXPECT_EQ(E_INVALIDARG, AsSelDisp(selection)->ScaleListBy(list, 0, 1, 0, 0, 0));
    EXPECT_EQ(E_INVALIDARG, AsSelDisp(selection)->ScaleListBy(list, 1, 0, 0, 0, 0));
    EXPECT_EQ(E_INVALIDARG, AsSelDisp(selection)->SkewListBy(list, 1, 2, 0.5, 0, 0));
    EXPECT_EQ(E_INVALIDARG, AsSelDisp(selection)->SkewListBy(list, 0, 0, 0, 0, 0));
    EXPECT_TRUE(site.undo.empty());
    ExpectCornersFollow(before, moved, Affine{1, 0, 0, 1, 0, 0}, "refused");
    list->Release();
}

TEST_F(ListTransformTest, EmptyListStillRecordsAndBuddiesFollowTheirControl) {
    IUnknown* empty = NewList({});
    site.Clear();
    EXPECT_EQ(S_OK, AsSelDisp(selection)->MoveListBy(empty, 1, 1));
    EXPECT_EQ(site.undo.size(), 1u);
    EXPECT_TRUE(selection->Selected().empty());
    empty->Release();

    controls[2]->buddy = AsBase(controls[0]);
    IUnknown* list = NewList(all);
    const std::vector<tagPointF> before = CornersOfAll({controls[2]});
    AsSelDisp(selection)->MoveListBy(list, 3, 0);
    ExpectCornersFollow(before, {controls[2]}, Affine{1, 0, 0, 1, 0, 0}, "a bound control is not moved directly");
    EXPECT_EQ(selection->Selected().size(), 3u) << "but it is part of the new selection";
    list->Release();
}

TEST_F(ListTransformTest, SettersAndOwnTransformsRecordAtAFreshUndoSelection) {
    for (IBaseControl* c : all) AsSel(selection)->Add(c);
    IRectangularControlDispatch* rd = static_cast<IRectangularControlDispatch*>(selection);
    IBaseControlDispatch* bd = static_cast<IBaseControlDispatch*>(selection);
    double xs = 0, ys = 0;
    selection->get_XScale(&xs);
    selection->get_YScale(&ys);
    tagPointF c = FrameCentre();
    CheckAndUndo([&] { return bd->SetCenterPoint(c.x + 2, c.y - 1); }, Translation(2, -1), L"MoveListBy",
                 "SetCenterPoint");
    c = FrameCentre();
    CheckAndUndo([&] { return rd->SetXScale(xs * 1.5); }, ScaleAbout(c, 1.5, 1, 0, 0, false), L"ScaleListBy",
                 "SetXScale");
    c = FrameCentre();
    selection->get_YScale(&ys);
    CheckAndUndo([&] { return rd->SetYScale(ys * 0.5); }, ScaleAbout(c, 1, 0.5, 0, 0, false), L"ScaleListBy",
                 "SetYScale");
    c = FrameCentre();
    CheckAndUndo([&] { return rd->SetRotateAngle(0.4); }, RotationAbout(c, 0.4), L"RotateListBy", "SetRotateAngle");
    c = FrameCentre();
    CheckAndUndo([&] { return rd->SetSkewAngle(0.2); }, SkewAbout(c, std::cos(0.2), std::tan(0.2), 0),
                 L"SkewListBy", "SetSkewAngle");
    site.Clear();
    rd->SetXScale(xs);
    ASSERT_EQ(site.undo.size(), 1u);
    EXPECT_NE(site.undo[0].target, static_cast<IDispatch*>(AsSelDisp(selection)))
        << "recorded at a fresh undo selection";

    // The selection's own transforms move the group the same way.
    c = FrameCentre();
    std::vector<tagPointF> before = CornersOfAll(moved);
    static_cast<IBaseControl*>(selection)->FlipVertically();
    ExpectCornersFollow(before, moved, ScaleAbout(c, 1, -1, 0, 0, false), "flip");
    before = CornersOfAll(moved);
    static_cast<IBaseControl*>(selection)->RotateBy(0.25, tagPointF{1, 1});
    ExpectCornersFollow(before, moved, RotationAbout(tagPointF{1, 1}, 0.25), "rotate");
    EXPECT_EQ(E_INVALIDARG, static_cast<IBaseControl*>(selection)->ScaleBy(0, 1));
}
