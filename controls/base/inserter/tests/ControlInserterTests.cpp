// The inserter with two views and a registered rectangular test kind: placing by dragging announces
// the control once to each view and prepares the next; a click places nothing; handing over,
// changing and cancelling the pending control; the tool's default properties both ways.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RectFixtures.h"
#include "atlcomptr.h"
#include "inserter/ControlInserter.h"

namespace {
// {0D5E8B71-2A44-4F0B-8C3E-6B1A9F7D2C55}
const CLSID CLSID_InsertKind = {0x0d5e8b71, 0x2a44, 0x4f0b, {0x8c, 0x3e, 0x6b, 0x1a, 0x9f, 0x7d, 0x2c, 0x55}};
// {0D5E8B72-2A44-4F0B-8C3E-6B1A9F7D2C55}: never registered
const CLSID CLSID_Unknown = {0x0d5e8b72, 0x2a44, 0x4f0b, {0x8c, 0x3e, 0x6b, 0x1a, 0x9f, 0x7d, 0x2c, 0x55}};
const UINT kSetColourMessage = WM_USER + 5;

// The tool's defaults: one colour.
class CFakeDefaults : public IPropChanger {
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
        *ppv = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IPropChanger)) return E_NOINTERFACE;
        *ppv = static_cast<IPropChanger*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }
    STDMETHOD(Copy)(IUnknown* source) override;

    ULONG refs = 0;
    long colour = 0;
    int copies = 0;
};

// A rectangular kind with one colour property that a message sets while it is being placed.
class CInsertKind : public CTestRectControl {
public:
    const CLSID& GetControlClsid() const override { return CLSID_InsertKind; }
    STDMETHOD(Copy)(IUnknown* source) override {
        if (auto* defaults = dynamic_cast<CFakeDefaults*>(source)) {
            colour = defaults->colour;
            copiedWhileIgnoring = ignoring;
        }
        return S_OK;
    }
    STDMETHOD(IgnoreInvalidate)(LONG newVal) override {
        ignoring = newVal == 1;
        log += ignoring ? "I" : "i";
        return CTestRectControl::IgnoreInvalidate(newVal);
    }
    STDMETHOD(OnMessage)(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult, ITarnViewEvents* view) override {
        if (msg == kSetColourMessage) {
            colour = static_cast<long>(wParam);
            *plResult = lParam;
            return S_OK;
        }
        return CTestRectControl::OnMessage(msg, wParam, lParam, plResult, view);
    }

    long colour = 0;
    bool ignoring = false;
    bool copiedWhileIgnoring = false;
    std::string log;
};
typedef CComObject<CInsertKind> InsertKindObject;

STDMETHODIMP CFakeDefaults::Copy(IUnknown* source) {
    ++copies;
    if (auto* control = dynamic_cast<CInsertKind*>(source)) colour = control->colour;
    return S_OK;
}

CInsertKind* KindOf(IUnknown* control) { return dynamic_cast<CInsertKind*>(control); }

// Makes the test kind for CoCreateInstance and counts what it made.
class CKindFactory : public IClassFactory {
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
        *ppv = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(CreateInstance)(IUnknown* outer, REFIID iid, void** ppv) override {
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        InsertKindObject* object = nullptr;
        if (FAILED(InsertKindObject::CreateInstance(&object))) return E_OUTOFMEMORY;
        object->AddRef();
        object->InitNew();
        const HRESULT hr = object->QueryInterface(iid, ppv);
        object->Release();
        if (SUCCEEDED(hr)) ++made;
        return hr;
    }
    STDMETHOD(LockServer)(BOOL) override { return S_OK; }
    int made = 0;
};

// A view that keeps (with a reference) each control announced to it and what it must redraw.
class CAnnouncedView : public CFakeView {
public:
    STDMETHOD(RegisterNewControl)(IBaseControl* control, LONG select) override {
        announced.emplace_back(control);
        selects.push_back(select);
        return S_OK;
    }
    STDMETHOD(Invalidate)(RECT* rect, LONG makeValid, LONG offscreen) override {
        invalidated.push_back(*rect);
        flags.push_back(makeValid * 10 + offscreen);
        return S_OK;
    }
    std::vector<CComPtr<IBaseControl>> announced;
    std::vector<LONG> selects;
    std::vector<RECT> invalidated;
    std::vector<LONG> flags;
};

class InserterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, CoRegisterClassObject(CLSID_InsertKind, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                              &registration));
        CComObject<CControlInserter>* made = nullptr;
        ASSERT_EQ(S_OK, CComObject<CControlInserter>::CreateInstance(&made));
        made->AddRef();
        object = made;
        inserter = made;
        CComPtr<IConnectionPointContainer> container;
        ASSERT_EQ(S_OK, inserter->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)));
        ASSERT_EQ(S_OK, container->FindConnectionPoint(IID_ITarnViewEvents, &point));
        ASSERT_EQ(S_OK, point->Advise(&views[0], &cookies[0]));
        ASSERT_EQ(S_OK, point->Advise(&views[1], &cookies[1]));
    }
    void TearDown() override {
        point->Unadvise(cookies[0]);
        point->Unadvise(cookies[1]);
        point.Release();
        inserter->Release();
        CoRevokeClassObject(registration);
    }
    // Starts the tool of the test kind with the given id.
    void StartTool(long id = 77) {
        GUID kind = CLSID_InsertKind;
        ASSERT_EQ(S_OK, inserter->put_ControlCLSID(&kind));
        kind = CLSID_Unknown;  // the inserter kept its own copy
        ASSERT_EQ(S_OK, inserter->put_ControlID(id));
    }
    HRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr) {
        LRESULT ignored = 0;
        return inserter->OnWindowMessage(msg, wParam, lParam, result ? result : &ignored, &views[0]);
    }
    void Drag(int x0, int y0, int x1, int y1) {
        Send(WM_LBUTTONDOWN, MK_LBUTTON, PixelAt(x0, y0));
        Send(WM_MOUSEMOVE, MK_LBUTTON, PixelAt(x1, y1));
        Send(WM_LBUTTONUP, 0, PixelAt(x1, y1));
    }
    IBaseControl* Pending() { return object->PendingControl(); }

    CKindFactory factory;
    DWORD registration = 0;
    CControlInserter* object = nullptr;
    IControlInserter* inserter = nullptr;
    CComPtr<IConnectionPoint> point;
    CAnnouncedView views[2];
    DWORD cookies[2] = {};
};
}  // namespace

TEST_F(InserterTest, DragPlacesAnnouncesOnceToEachViewAndPreparesTheNext) {
    StartTool();
    ASSERT_EQ(factory.made, 1);
    long id = 0;
    inserter->get_ControlID(&id);
    EXPECT_EQ(id, 77);

    Drag(10, 10, 110, 60);
    for (CAnnouncedView& view : views) {
        ASSERT_EQ(view.announced.size(), 1u);
        EXPECT_EQ(view.selects[0], 1);
    }
    IBaseControl* placed = views[0].announced[0];
    EXPECT_EQ(placed, views[1].announced[0].p);
    tagRectF rect;
    placed->get_Rect(&rect);
    EXPECT_NEAR(rect.left, 0.1, 1e-12);
    EXPECT_NEAR(rect.top, 0.1, 1e-12);
    EXPECT_NEAR(rect.right, 1.1, 1e-12);
    EXPECT_NEAR(rect.bottom, 0.6, 1e-12);
    LONG resId = 0;
    placed->get_ResID(&resId);
    EXPECT_EQ(resId, 77);
    EXPECT_EQ(factory.made, 2) << "a fresh control of the same class waits";
    tagControlInsertingResult state = Cir_Completed;
    EXPECT_EQ(S_OK, inserter->CheckInsertingState(&state));
    EXPECT_EQ(state, Cir_InProgress);
    EXPECT_EQ(S_FALSE, inserter->PreserveSelectionOnEvents());

    // Only the views hold the placed control now.
    views[1].announced.clear();
    placed->AddRef();
    EXPECT_EQ(placed->Release(), 1u);
}

TEST_F(InserterTest, ClickPlacesNothingAndSameIdKeepsThePendingControl) {
    StartTool();
    IBaseControl* first = Pending();
    EXPECT_EQ(S_OK, inserter->put_ControlID(77));
    EXPECT_EQ(Pending(), first) << "the same id while a control is pending changes nothing";
    EXPECT_EQ(factory.made, 1);

    Send(WM_LBUTTONDOWN, MK_LBUTTON, PixelAt(30, 30));
    Send(WM_LBUTTONUP, 0, PixelAt(30, 30));
    EXPECT_TRUE(views[0].announced.empty());
    EXPECT_TRUE(views[1].announced.empty());
    EXPECT_EQ(factory.made, 2) << "the cancelled control is replaced";

    EXPECT_EQ(S_OK, inserter->put_ControlID(-1));
    EXPECT_EQ(Pending(), nullptr) << "-1 ends the tool";
    EXPECT_EQ(E_POINTER, inserter->ControlInsertionIsCompleted());
    LRESULT result = 0;
    EXPECT_EQ(S_FALSE, inserter->OnWindowMessage(WM_LBUTTONDOWN, MK_LBUTTON, PixelAt(1, 1), &result, &views[0]));
}

TEST_F(InserterTest, UnknownClassLeavesNothingPending) {
    GUID unknown = CLSID_Unknown;
    inserter->put_ControlCLSID(&unknown);
    EXPECT_EQ(S_FALSE, inserter->put_ControlID(5));
    tagControlInsertingResult state;
    EXPECT_EQ(S_FALSE, inserter->CheckInsertingState(&state));
    EXPECT_EQ(S_FALSE, inserter->SupportsSelMode(1));
}

TEST_F(InserterTest, ForceInsertingFinishHandsOverAndChangeControlAnnouncesTheOther) {
    StartTool();
    IBaseControl* handed = nullptr;
    ASSERT_EQ(S_OK, inserter->ForceInsertingFinish(&handed));
    ASSERT_NE(handed, nullptr);
    EXPECT_EQ(factory.made, 2);
    EXPECT_NE(Pending(), handed);
    handed->AddRef();
    EXPECT_EQ(handed->Release(), 1u) << "the caller holds the only reference";

    TestRectObject* other = NewRectControl(false);
    ASSERT_EQ(S_OK, inserter->ChangeControl(AsBase(other)));
    EXPECT_EQ(S_OK, inserter->PreserveSelectionOnEvents());
    LONG resId = 0;
    AsBase(other)->get_ResID(&resId);
    EXPECT_EQ(resId, 77);
    tagDrawOptions options = {};
    EXPECT_EQ(S_FALSE, inserter->OnDraw(&options)) << "an announced control is drawn by its views";

    ASSERT_EQ(S_OK, inserter->CancelInserting());
    EXPECT_EQ(factory.made, 3) << "cancelling makes a fresh control of the tool's class";
    EXPECT_EQ(S_FALSE, inserter->PreserveSelectionOnEvents());
    EXPECT_EQ(AsBase(other)->Release(), 0u) << "the inserter let the other control go";
    handed->Release();
}

TEST_F(InserterTest, DefaultPropertiesGoToEachNewControlAndComeBackFromPlacing) {
    CFakeDefaults defaults;
    defaults.colour = 0x123456;
    EXPECT_EQ(S_OK, inserter->put_DefaultProperties(&defaults));
    StartTool();
    CInsertKind* first = KindOf(Pending());
    EXPECT_EQ(first->colour, 0x123456);
    EXPECT_TRUE(first->copiedWhileIgnoring);
    EXPECT_EQ(first->log, "Ii");

    // A setting that the control reports with a zero result stays the control's own.
    LRESULT result = -1;
    EXPECT_EQ(S_OK, Send(kSetColourMessage, 0x0000FF, 0, &result));
    EXPECT_EQ(defaults.colour, 0x123456);
    EXPECT_EQ(S_OK, Send(kSetColourMessage, 0x00FF00, 1, &result));
    EXPECT_EQ(defaults.colour, 0x00FF00) << "settings made while placing become the tool's defaults";

    Drag(10, 10, 50, 50);
    EXPECT_EQ(KindOf(Pending())->colour, 0x00FF00);

    defaults.colour = 0xABCDEF;
    EXPECT_EQ(S_OK, inserter->ResetToDefaultProperties());
    EXPECT_EQ(KindOf(Pending())->colour, 0xABCDEF);

    IPropChanger* got = nullptr;
    EXPECT_EQ(E_POINTER, inserter->get_DefaultProperties(nullptr));
    EXPECT_EQ(S_OK, inserter->get_DefaultProperties(&got));
    EXPECT_EQ(got, &defaults);
    got->Release();
    EXPECT_EQ(S_OK, inserter->put_DefaultProperties(nullptr));
    EXPECT_EQ(defaults.refs, 0u);
}

TEST_F(InserterTest, CoordinatesAndRedrawsGoThroughTheViews) {
    POINT units{250, 50};
    tagPointF inches{};
    EXPECT_EQ(S_OK, inserter->DCUnitsToInches(&inches, &units));
    EXPECT_DOUBLE_EQ(inches.x, 2.5);
    EXPECT_DOUBLE_EQ(inches.y, 0.5);

    tagRectF doc{1.1, 0.6, 0.1, 0.1};
    EXPECT_EQ(S_OK, inserter->Invalidate(&doc, 1));
    for (CAnnouncedView& view : views) {
        ASSERT_EQ(view.invalidated.size(), 1u);
        const RECT& r = view.invalidated[0];
        EXPECT_EQ(r.left, 9);
        EXPECT_EQ(r.top, 9);
        EXPECT_EQ(r.right, 111);
        EXPECT_EQ(r.bottom, 61);
        EXPECT_EQ(view.flags[0], 11) << "MakeValid passed on, off-screen contexts included";
    }

    StartTool();
    CFakeDefaults ownerObject;
    EXPECT_EQ(S_OK, inserter->put_Owner(&ownerObject));
    CComPtr<IUnknown> pendingOwner;
    Pending()->get_Owner(&pendingOwner);
    EXPECT_EQ(pendingOwner.p, static_cast<IUnknown*>(&ownerObject));
    pendingOwner.Release();
    inserter->put_Owner(nullptr);
}
