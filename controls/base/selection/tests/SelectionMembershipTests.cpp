// Which controls the selection holds and who answers: the one control alone, or the selection's
// frame for several; buddies, selection modes, arrays, outlines and the placement setter's limits.
#include <gtest/gtest.h>

#include <cmath>

#include "SelectionFixtures.h"
#include "atlcomptr.h"

namespace {
const double kPi = 3.14159265358979323846;

class SelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        selection = NewSelection();
        static_cast<IBaseControl*>(selection)->RegisterView(&view);
        for (int i = 0; i < 12; ++i)
            controls.push_back(NewBuddyRect(tagRectF{double(i), 0, i + 0.5, 1}, &owner));
    }
    void TearDown() override {
        AsSel(selection)->RemoveAll();
        static_cast<IBaseControl*>(selection)->UnregisterAllViews();
        EXPECT_EQ(selection->Release(), 0u);
        for (CBuddyRect* c : controls) EXPECT_EQ(AsBase(c)->Release(), 0u);
    }
    IBaseControl* C(int i) { return AsBase(controls[i]); }
    long Count() {
        long n = -1;
        AsSel(selection)->Count(&n);
        return n;
    }
    LONG ActiveIn(IBaseControl* control) {
        LONG active = -1;
        control->get_Active(&view, &active);
        return active;
    }

    CRecordingView view;
    CFakeSite owner;  // any object serves as a control's owner
    CComObject<CSelectionControl>* selection = nullptr;
    std::vector<BuddyRectObject*> controls;
};
}  // namespace

TEST_F(SelectionTest, OneControlIsTransparentAndActive) {
    ASSERT_EQ(S_OK, AsSel(selection)->Add(C(0)));
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(ActiveIn(C(0)), 1);
    IBaseControl* sel = static_cast<IBaseControl*>(selection);

    LRESULT result = 0;
    sel->OnWindowMessage(WM_KEYDOWN, 'A', 0, &result, &view);
    EXPECT_EQ(controls[0]->messages, 1) << "the message went to the control";
    tagRectF frame, own;
    sel->get_FrameRect(&frame);
    C(0)->get_FrameRect(&own);
    EXPECT_EQ(frame.left, own.left);
    EXPECT_EQ(frame.right, own.right);
    tagHitTestResult hit = HTR_UIShape;
    EXPECT_EQ(sel->HitTest(tagPointF{5, 5}, &view, &hit), C(0)->HitTest(tagPointF{5, 5}, &view, &hit));
    EXPECT_EQ(S_OK, AsSel(selection)->Find(C(0)));
    EXPECT_EQ(S_FALSE, AsSel(selection)->Find(C(1)));
    long n = 0;
    EXPECT_EQ(E_POINTER, AsSel(selection)->Count(nullptr));
    AsSel(selection)->Count(&n);
    EXPECT_EQ(n, 1);
}

TEST_F(SelectionTest, SeveralControlsMakeTheSelectionActiveAndEnterAtTheHead) {
    AsSel(selection)->Add(C(0));
    AsSel(selection)->Add(C(1));
    AsSel(selection)->Add(C(2));
    ASSERT_EQ(selection->Selected().size(), 3u);
    EXPECT_EQ(selection->Selected()[0], C(2)) << "controls enter at the head";
    EXPECT_EQ(selection->Selected()[2], C(0));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ActiveIn(C(i)), 0) << i;
    tagRectF frame;
    EXPECT_EQ(S_OK, static_cast<IBaseControl*>(selection)->get_FrameRect(&frame));
    EXPECT_DOUBLE_EQ(frame.left, 0);
    EXPECT_DOUBLE_EQ(frame.right, 2.5);
    double xs = 0;
    selection->get_XScale(&xs);
    EXPECT_DOUBLE_EQ(xs, 1.25);

    LRESULT result = 0;
    static_cast<IBaseControl*>(selection)->OnWindowMessage(WM_KEYDOWN, 'A', 0, &result, &view);
    EXPECT_EQ(controls[0]->messages + controls[1]->messages + controls[2]->messages, 0);

    EXPECT_EQ(S_OK, AsSel(selection)->Remove(C(1)));
    EXPECT_EQ(S_FALSE, AsSel(selection)->Remove(C(1)));
    EXPECT_EQ(S_OK, AsSel(selection)->Remove(C(2)));
    EXPECT_EQ(ActiveIn(C(0)), 1) << "the last control left becomes active again";
    EXPECT_EQ(S_OK, AsSel(selection)->Remove(C(0)));
    EXPECT_FALSE(selection->HasList());
    EXPECT_EQ(AsBase(controls[1])->AddRef(), 2u) << "removed controls are released";
    AsBase(controls[1])->Release();
}

TEST_F(SelectionTest, BuddiesComeInOnlyWithTwoOrMore) {
    controls[1]->buddy = C(5);
    AsSel(selection)->Add(C(1));
    EXPECT_EQ(Count(), 1) << "one control brings nothing in";
    AsSel(selection)->Add(C(0));
    ASSERT_EQ(Count(), 3);
    const auto& s = selection->Selected();
    // The buddy of the last control wraps round to the head.
    EXPECT_EQ(s[0], C(5));
    EXPECT_EQ(s[1], C(0));
    EXPECT_EQ(s[2], C(1));
    EXPECT_EQ(ActiveIn(C(5)), 0);
    AsSel(selection)->RemoveAll();

    controls[3]->buddy = C(6);
    AsSel(selection)->Add(C(2));
    AsSel(selection)->Add(C(3));
    AsSel(selection)->Add(C(4));
    ASSERT_EQ(Count(), 4);
    EXPECT_EQ(selection->Selected()[1], C(3));
    EXPECT_EQ(selection->Selected()[2], C(6)) << "right after its control";
}

TEST_F(SelectionTest, BuddyLeaderStandsForABoundGroup) {
    controls[1]->buddy = C(0);  // 1 is bound to 0: 1 leads the group
    AsSel(selection)->Add(C(0));
    AsSel(selection)->Add(C(1));
    EXPECT_EQ(ActiveIn(C(1)), 1) << "the leader is active for the group";
    EXPECT_EQ(ActiveIn(C(0)), 0);
}

TEST_F(SelectionTest, SelectionModeRefusesASecondControl) {
    AsSel(selection)->Add(C(0));
    AsSel(selection)->SetSelectionMode(1, &view);
    EXPECT_EQ(E_FAIL, AsSel(selection)->Add(C(1)));
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(S_OK, AsSel(selection)->Add(C(0))) << "the selected control itself is fine";

    AsSel(selection)->SetSelectionMode(0, &view);
    controls[2]->refusesModes = true;
    AsSel(selection)->Add(C(2));
    EXPECT_EQ(Count(), 2);
    AsSel(selection)->SetSelectionMode(1, &view);  // the head refuses: nothing stays selected
    EXPECT_EQ(Count(), 0);
    AsSel(selection)->SetSelectionMode(0, &view);
    AsSel(selection)->Add(C(0));
    AsSel(selection)->Add(C(1));
    AsSel(selection)->SetSelectionMode(1, &view);  // the head accepts: only it stays
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(selection->Selected()[0], C(1));
    AsSel(selection)->SetSelectionMode(0, &view);
}

TEST_F(SelectionTest, AddArrayPrunesTheCallersArray) {
    AsSel(selection)->Add(C(0));
    BuddyRectObject* orphan = NewBuddyRect(tagRectF{0, 0, 1, 1}, nullptr);
    CComPtr<IControlArray> array;
    AsSel(selection)->GetArray(&array);
    array->RemoveAllControls();
    array->AddControl(C(1));
    array->AddControl(AsBase(orphan));
    array->AddControl(C(0));
    array->AddControl(C(2));
    ASSERT_EQ(S_OK, AsSel(selection)->AddArray(array));
    int n = 0;
    array->get_Count(&n);
    ASSERT_EQ(n, 2) << "no owner and already selected are taken out";
    CComPtr<IBaseControl> first, second;
    array->get_ControlByNum(0, &first);
    array->get_ControlByNum(1, &second);
    EXPECT_EQ(first.p, C(1));
    EXPECT_EQ(second.p, C(2));
    EXPECT_EQ(Count(), 3);
    EXPECT_EQ(ActiveIn(C(0)), 0);
    EXPECT_EQ(E_POINTER, AsSel(selection)->AddArray(nullptr));
    first.Release();
    second.Release();
    array.Release();
    EXPECT_EQ(AsBase(orphan)->Release(), 0u);
}

TEST_F(SelectionTest, TenControlsDrawTenOutlinesElevenDrawTheFrame) {
    for (int i = 0; i < 10; ++i) AsSel(selection)->Add(C(i));
    static_cast<IBaseControl*>(selection)->DrawOutlineFast(nullptr, nullptr, &view, nullptr);
    int drawn = 0;
    for (CBuddyRect* c : controls) drawn += c->outlines;
    EXPECT_EQ(drawn, 10);
    AsSel(selection)->Add(C(10));
    static_cast<IBaseControl*>(selection)->DrawOutlineFast(nullptr, nullptr, &view, nullptr);
    int after = 0;
    for (CBuddyRect* c : controls) after += c->outlines;
    EXPECT_EQ(after, 10) << "eleven controls: one outline for the frame";
}

TEST_F(SelectionTest, PlacementWithAHalfTurnOnlyAndNoZeroScale) {
    AsSel(selection)->Add(C(0));
    AsSel(selection)->Add(C(1));
    double xs, ys, turn, tilt;
    tagPointF offset;
    selection->GetLinearTransformParams(&xs, &ys, &offset, &turn, &tilt);
    EXPECT_EQ(E_NOTIMPL, selection->SetLinearTransformParams(xs, ys, offset, turn + 0.5, tilt));
    EXPECT_EQ(E_NOTIMPL, selection->SetLinearTransformParams(xs, ys, offset, turn, tilt + 0.1));
    EXPECT_EQ(E_INVALIDARG, selection->SetLinearTransformParams(0, ys, offset, turn, tilt));
    const std::vector<CBuddyRect*> moved{controls[0], controls[1]};
    const std::vector<tagPointF> before = CornersOfAll(moved);
    EXPECT_EQ(S_OK, selection->SetLinearTransformParams(xs, ys, offset, turn + kPi, tilt));
    ExpectCornersFollow(before, moved, ScaleAbout(offset, 1, 1, 0, 0, true), "half turn");
    EXPECT_EQ(E_INVALIDARG, selection->SetXScale(0)) << "a zero scale cannot be undone";
}

TEST_F(SelectionTest, RemoveAllReleasesEverythingAndFrameRectFailsEmpty) {
    for (int i = 0; i < 3; ++i) AsSel(selection)->Add(C(i));
    EXPECT_EQ(S_OK, AsSel(selection)->RemoveAll());
    EXPECT_EQ(Count(), 0);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ActiveIn(C(i)), 0);
    tagRectF r;
    EXPECT_EQ(S_FALSE, static_cast<IBaseControl*>(selection)->get_FrameRect(&r));
    EXPECT_EQ(E_FAIL, static_cast<IBaseControl*>(selection)->put_Rect(tagRectF{0, 0, 1, 1}));
    EXPECT_EQ(E_FAIL, static_cast<IBaseControl*>(selection)->DrawUIShapes(nullptr, &view, nullptr));
    EXPECT_EQ(E_NOTIMPL, AsSel(selection)->RemoveArray());
}

namespace {
// An owner that chooses the pages of the controls it holds.
class CPagesOwner : public IControlOwnerHooks {
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
        *ppv = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IControlOwnerHooks)) return E_NOINTERFACE;
        *ppv = static_cast<IControlOwnerHooks*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }
    STDMETHOD(Customize_GetText)(IUnknown*, LPCWSTR, BSTR*) override { return S_FALSE; }
    STDMETHOD(Customize_GetObjectMenu)(IUnknown*, int, BYTE*) override { return S_FALSE; }
    STDMETHOD(Customize_GetPopupMenu)(IUnknown*, int, BYTE*) override { return S_FALSE; }
    STDMETHOD(Customize_GetPages)(IUnknown*, CAUUID* pages) override {
        if (!choose) return S_FALSE;
        pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID)));
        pages->pElems[0] = CLSID_Prop_Ctrl_Color;
        pages->cElems = 1;
        return S_OK;
    }
    STDMETHOD(Customize_GetDefaultProperty)(IUnknown*, short, long*) override { return S_FALSE; }
    STDMETHOD(Customize_ExecInitDialog)(IUnknown*, IUnknown*, int*) override { return S_FALSE; }
    ULONG refs = 0;
    bool choose = true;
};
}  // namespace

TEST_F(SelectionTest, PropertyPagesComeFromTheOwnerFirst) {
    CPagesOwner pagesOwner;
    static_cast<IBaseControl*>(selection)->put_Owner(&pagesOwner);
    CComPtr<ISpecifyPropertyPages> specify;
    ASSERT_EQ(S_OK, selection->QueryInterface(IID_ISpecifyPropertyPages, reinterpret_cast<void**>(&specify)));
    CAUUID pages = {};
    EXPECT_EQ(E_POINTER, specify->GetPages(nullptr));
    ASSERT_EQ(S_OK, specify->GetPages(&pages));
    ASSERT_EQ(pages.cElems, 1u);
    EXPECT_TRUE(IsEqualCLSID(pages.pElems[0], CLSID_Prop_Ctrl_Color));
    CoTaskMemFree(pages.pElems);
    pagesOwner.choose = false;
    ASSERT_EQ(S_OK, specify->GetPages(&pages));
    EXPECT_EQ(pages.cElems, 0u) << "the selection's own map names no pages";
    specify.Release();
    static_cast<IBaseControl*>(selection)->put_Owner(nullptr);
    EXPECT_EQ(pagesOwner.refs, 0u);
}
