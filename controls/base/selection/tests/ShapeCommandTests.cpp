// The shape commands of a selection of several controls: the target is the first control in view
// order, the view replaces what the operation used up, and every undo group opened is closed on
// every outcome; an operation that answers S_FALSE changes nothing.
#include <gtest/gtest.h>

#include <map>

#include "SelectionFixtures.h"
#include "atlcomptr.h"

namespace {
// A control whose shape operation answers as the test says, with a result the test chooses.
class CShapeKind : public CBuddyRect {
public:
    STDMETHOD(ShapeOperation)(LONG op, IBaseControl**, LONG count, LONG, IBaseControl** result) override {
        ++calls;
        lastOp = op;
        lastCount = count;
        *result = nullptr;
        if (answer == S_OK && produce) {
            *result = produce;
            produce->AddRef();
        }
        return answer;
    }
    STDMETHOD(SupportsShapeOperation)(LONG, IBaseControl**, LONG) override { return S_OK; }
    STDMETHOD(SupportsSelMode)(LONG) override { return S_OK; }
    HRESULT answer = S_OK;
    IBaseControl* produce = nullptr;  // no reference
    int calls = 0;
    LONG lastOp = 0, lastCount = -1;
};
typedef CComObject<CShapeKind> ShapeKindObject;

class CQuietSelection : public CSelectionControl {
public:
    void ReportShapeOperationFailure() override { ++failures; }
    int failures = 0;
};

// A view that knows each control's index and keeps what it inserts and deletes.
class CIndexView : public CRecordingView {
public:
    STDMETHOD(GetControlIndex)(IBaseControl* control, LONG* index) override {
        *index = indexes.count(control) ? indexes[control] : -1;
        return S_OK;
    }
    STDMETHOD(InsertControlList)(IBaseControl** controls, LONG* at, int n) override {
        for (int i = 0; i < n; ++i) inserted.push_back(std::make_pair(controls[i], at[i]));
        return S_OK;
    }
    STDMETHOD(DeleteControlList)(IBaseControl** controls, int n) override {
        deleted.insert(deleted.end(), controls, controls + n);
        return S_OK;
    }
    std::map<IBaseControl*, LONG> indexes;
    std::vector<std::pair<IBaseControl*, LONG>> inserted;
    std::vector<IBaseControl*> deleted;
};

ShapeKindObject* NewShape(const tagRectF& r, IUnknown* owner) {
    ShapeKindObject* object = nullptr;
    ShapeKindObject::CreateInstance(&object);
    object->AddRef();
    object->InitNew();
    object->put_Rect(r);
    object->put_Owner(owner);
    return object;
}

struct Outcome {
    const char* what;
    HRESULT answer;
    int produce;  // 0 none, 1 the target itself, 2 a new control
    size_t deleted;
    size_t inserted;
    int failures;
};
}  // namespace

TEST(SelectionShapeCommands, EveryOutcomeClosesItsGroupsAndReplacesWhatWasUsed) {
    const Outcome outcomes[] = {
        {"new result", S_OK, 2, 3, 1, 0},     {"target kept", S_OK, 1, 2, 0, 0}, {"nothing left", S_OK, 0, 3, 0, 0},
        {"not done", S_FALSE, 0, 0, 0, 0},    {"failed", E_FAIL, 0, 0, 0, 1},
    };
    for (const Outcome& o : outcomes) {
        CIndexView view;
        CFakeSite site, owner;
        CComObject<CQuietSelection>* selection = nullptr;
        CComObject<CQuietSelection>::CreateInstance(&selection);
        selection->AddRef();
        selection->InitNew();
        static_cast<IBaseControl*>(selection)->RegisterView(&view);
        const DWORD cookie = AdviseSite(static_cast<IBaseControl*>(selection), &site);
        ShapeKindObject* shapes[3] = {NewShape({0, 0, 1, 1}, &owner), NewShape({1, 0, 2, 1}, &owner),
                                      NewShape({2, 0, 3, 1}, &owner)};
        ShapeKindObject* made = NewShape({0, 0, 3, 1}, &owner);
        // View order: 1, 2, 0; selection order is the other way round.
        view.indexes[static_cast<IBaseControl*>(shapes[1])] = 4;
        view.indexes[static_cast<IBaseControl*>(shapes[2])] = 7;
        view.indexes[static_cast<IBaseControl*>(shapes[0])] = 9;
        for (ShapeKindObject* s : shapes) AsSel(selection)->Add(static_cast<IBaseControl*>(s));
        ShapeKindObject* target = shapes[1];
        target->answer = o.answer;
        target->produce = o.produce == 2 ? static_cast<IBaseControl*>(made)
                                         : o.produce == 1 ? static_cast<IBaseControl*>(target) : nullptr;
        site.Clear();

        LRESULT result = -1;
        EXPECT_EQ(S_OK, static_cast<IBaseControl*>(selection)->OnWindowMessage(WM_COMMAND, 20005, 0, &result, &view))
            << o.what;
        EXPECT_EQ(target->calls, 1) << o.what << ": the first in view order is the target";
        EXPECT_EQ(target->lastOp, 4) << o.what << ": subtract";
        EXPECT_EQ(target->lastCount, 2) << o.what;
        EXPECT_EQ(shapes[0]->calls + shapes[2]->calls, 0) << o.what;
        int opened = 0, closed = 0;
        for (const CapturedUndo& u : site.undo) {
            if (u.type == -1) ++opened;
            if (u.type == 1) ++closed;
        }
        EXPECT_EQ(opened, closed) << o.what << ": every group is closed";
        EXPECT_GE(opened, 1) << o.what;
        EXPECT_EQ(view.deleted.size(), o.deleted) << o.what;
        EXPECT_EQ(view.inserted.size(), o.inserted) << o.what;
        if (o.inserted) {
            EXPECT_EQ(view.inserted[0].first, static_cast<IBaseControl*>(made)) << o.what;
            EXPECT_EQ(view.inserted[0].second, 4) << o.what << ": at the target's index";
        }
        EXPECT_EQ(selection->failures, o.failures) << o.what;
        long count = -1;
        AsSel(selection)->Count(&count);
        if (o.answer != S_OK) EXPECT_EQ(count, 3) << o.what << ": nothing changed";

        site.Clear();
        AsSel(selection)->RemoveAll();
        UnadviseSite(static_cast<IBaseControl*>(selection), cookie);
        static_cast<IBaseControl*>(selection)->UnregisterAllViews();
        EXPECT_EQ(selection->Release(), 0u) << o.what;
        for (ShapeKindObject* s : shapes) EXPECT_EQ(static_cast<IBaseControl*>(s)->Release(), 0u) << o.what;
        EXPECT_EQ(static_cast<IBaseControl*>(made)->Release(), 0u) << o.what;
    }
}

TEST(SelectionShapeCommands, ConvertToCurvesReplacesInViewOrderInOneGroup) {
    CIndexView view;
    CFakeSite site, owner;
    CComObject<CSelectionControl>* selection = NewSelection();
    static_cast<IBaseControl*>(selection)->RegisterView(&view);
    const DWORD cookie = AdviseSite(static_cast<IBaseControl*>(selection), &site);
    ShapeKindObject* a = NewShape({0, 0, 1, 1}, &owner);
    ShapeKindObject* b = NewShape({1, 0, 2, 1}, &owner);
    ShapeKindObject* curveA = NewShape({0, 0, 1, 1}, &owner);
    ShapeKindObject* curveB = NewShape({1, 0, 2, 1}, &owner);
    a->produce = static_cast<IBaseControl*>(curveA);
    b->produce = static_cast<IBaseControl*>(curveB);
    view.indexes[static_cast<IBaseControl*>(a)] = 5;
    view.indexes[static_cast<IBaseControl*>(b)] = 2;
    AsSel(selection)->Add(static_cast<IBaseControl*>(a));
    AsSel(selection)->Add(static_cast<IBaseControl*>(b));
    site.Clear();
    LRESULT result = -1;
    static_cast<IBaseControl*>(selection)->OnWindowMessage(WM_COMMAND, 20002, 0, &result, &view);
    ASSERT_EQ(view.inserted.size(), 2u);
    EXPECT_EQ(view.inserted[0].first, static_cast<IBaseControl*>(curveB)) << "sorted by view index";
    EXPECT_EQ(view.inserted[0].second, 2);
    EXPECT_EQ(view.inserted[1].second, 5);
    EXPECT_EQ(view.deleted.size(), 2u);
    EXPECT_EQ(view.selMode, 1) << "the view switches to selection mode 1";
    ASSERT_GE(site.undo.size(), 2u);
    EXPECT_EQ(site.undo.front().type, -1);
    EXPECT_EQ(site.undo.back().type, 1);
    long count = -1;
    AsSel(selection)->Count(&count);
    EXPECT_EQ(count, 0);

    site.Clear();
    UnadviseSite(static_cast<IBaseControl*>(selection), cookie);
    static_cast<IBaseControl*>(selection)->UnregisterAllViews();
    EXPECT_EQ(selection->Release(), 0u);
    for (ShapeKindObject* s : {a, b, curveA, curveB}) EXPECT_EQ(static_cast<IBaseControl*>(s)->Release(), 0u);
}

TEST(SelectionShapeCommands, EnablingFollowsWhatTheControlsSupport) {
    CIndexView view;
    CFakeSite owner;
    CComObject<CSelectionControl>* selection = NewSelection();
    static_cast<IBaseControl*>(selection)->RegisterView(&view);
    ShapeKindObject* a = NewShape({0, 0, 1, 1}, &owner);
    ShapeKindObject* b = NewShape({1, 0, 2, 1}, &owner);
    BuddyRectObject* plain = NewBuddyRect({2, 0, 3, 1}, &owner);
    AsSel(selection)->Add(static_cast<IBaseControl*>(a));
    AsSel(selection)->Add(static_cast<IBaseControl*>(b));
    auto enabled = [&](LONG command) {
        LONG e = -1, c = -1, r = -1;
        static_cast<IUIUpdater*>(selection)->Update(command, &e, &c, &r);
        return e;
    };
    LRESULT ignored = 0;
    static_cast<IBaseControl*>(selection)->OnWindowMessage(WM_MOUSEMOVE, 0, 0, &ignored, &view);
    EXPECT_EQ(enabled(20002), 1);
    EXPECT_EQ(enabled(20003), 1);
    EXPECT_EQ(enabled(20021), 1);
    AsSel(selection)->Add(AsBase(plain));
    EXPECT_EQ(enabled(20002), 0) << "not every control converts to curves";
    AsSel(selection)->RemoveAll();
    LONG e = -1, c = -1, r = -1;
    EXPECT_EQ(S_FALSE, static_cast<IUIUpdater*>(selection)->Update(20002, &e, &c, &r)) << "nothing selected";
    static_cast<IBaseControl*>(selection)->UnregisterAllViews();
    EXPECT_EQ(selection->Release(), 0u);
    for (IBaseControl* x : {static_cast<IBaseControl*>(a), static_cast<IBaseControl*>(b), AsBase(plain)})
        EXPECT_EQ(x->Release(), 0u);
}

TEST(SelectionShapeCommands, FitToPathAndReleaseInOneUndoGroupEach) {
    CIndexView view;
    CFakeSite site, owner;
    CComObject<CSelectionControl>* selection = NewSelection();
    static_cast<IBaseControl*>(selection)->RegisterView(&view);
    const DWORD cookie = AdviseSite(static_cast<IBaseControl*>(selection), &site);
    ShapeKindObject* shapes[3] = {NewShape({0, 0, 1, 1}, &owner), NewShape({1, 0, 2, 1}, &owner),
                                  NewShape({2, 0, 3, 1}, &owner)};
    for (ShapeKindObject* s : shapes) AsSel(selection)->Add(static_cast<IBaseControl*>(s));
    const struct {
        WPARAM command;
        LONG headCount, otherCount;
    } cases[] = {{20010, 2, 1}, {20011, -1, -1}};
    for (const auto& c : cases) {
        site.Clear();
        LONG e = -1, ch = -1, r = -1;
        static_cast<IUIUpdater*>(selection)->Update(static_cast<LONG_PTR>(c.command), &e, &ch, &r);
        EXPECT_EQ(e, 1) << c.command;
        LRESULT result = -1;
        EXPECT_EQ(S_OK, static_cast<IBaseControl*>(selection)->OnWindowMessage(WM_COMMAND, c.command, 0, &result, &view));
        // The head of the selection (the last added) takes the others as its path.
        EXPECT_EQ(shapes[2]->lastOp, 6) << c.command;
        EXPECT_EQ(shapes[2]->lastCount, c.headCount) << c.command;
        EXPECT_EQ(shapes[0]->lastCount, c.otherCount) << c.command;
        EXPECT_EQ(shapes[1]->lastCount, c.otherCount) << c.command;
        if (c.command == 20010) {
            ASSERT_GE(site.undo.size(), 2u);
            EXPECT_EQ(site.undo.front().type, -1);
            EXPECT_EQ(site.undo.back().type, 1);
        }
    }
    site.Clear();
    AsSel(selection)->RemoveAll();
    UnadviseSite(static_cast<IBaseControl*>(selection), cookie);
    static_cast<IBaseControl*>(selection)->UnregisterAllViews();
    EXPECT_EQ(selection->Release(), 0u);
    for (ShapeKindObject* s : shapes) EXPECT_EQ(static_cast<IBaseControl*>(s)->Release(), 0u);
}
