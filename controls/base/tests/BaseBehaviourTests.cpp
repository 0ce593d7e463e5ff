// What the base answers by itself: geometry defaults, parameters, views, dragging, menus and maps.
#include <gtest/gtest.h>

#include <cstring>

#include "ControlFixtures.h"
#include "atlbstr.h"
#include "tarn/ControlsModuleState.h"

namespace {
class BaseBehaviour : public ::testing::Test {
protected:
    void SetUp() override {
        UseServerResources();
        control_ = NewTestControl();
        control_->InitNew();
        IConnectionPointContainer* container = nullptr;
        AsBase(control_)->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
        container->FindConnectionPoint(IID_ITarnSiteEvents, &point_);
        container->Release();
        point_->Advise(static_cast<ITarnSiteEvents*>(&site_), &cookie_);
        site_.Clear();
    }
    void TearDown() override {
        point_->Unadvise(cookie_);
        point_->Release();
        site_.Clear();
        AsBase(control_)->UnregisterAllViews();
        control_->Release();
        EXPECT_EQ(view_.refs, 0u);
    }

    LRESULT Send(UINT msg, int x = 0, int y = 0, WPARAM wParam = 0, HRESULT* hr = nullptr) {
        LRESULT result = -1;
        const HRESULT r = AsBase(control_)->OnWindowMessage(msg, wParam, MAKELPARAM(x, y), &result, &view_);
        if (hr) *hr = r;
        return result;
    }

    TestControlObject* control_ = nullptr;
    IConnectionPoint* point_ = nullptr;
    DWORD cookie_ = 0;
    CFakeSite site_;
    CFakeView view_;
};
}  // namespace

TEST_F(BaseBehaviour, RectangleOperations) {
    struct Case {
        const char* name;
        tagRectF start;
        HRESULT (*apply)(IBaseControl*);
        tagRectF expected;
    };
    const Case cases[] = {
        {"scale about the centre", {0, 0, 1, 1}, [](IBaseControl* c) { return c->ScaleBy(2, 2); },
         {-0.5, -0.5, 1.5, 1.5}},
        {"half turn swaps corners", {0, 0, 1, 2}, [](IBaseControl* c) { return c->RotateBy180(); }, {1, 2, 0, 0}},
        {"flip horizontally", {0, 0, 1, 2}, [](IBaseControl* c) { return c->FlipHorizontally(); }, {1, 0, 0, 2}},
        {"flip vertically", {0, 0, 1, 2}, [](IBaseControl* c) { return c->FlipVertically(); }, {0, 2, 1, 0}},
        {"move", {0, 0, 1, 2}, [](IBaseControl* c) { return c->MoveBy(tagSizeF{1, -1}); }, {1, -1, 2, 1}},
        {"size", {1, 1, 2, 2}, [](IBaseControl* c) { return c->put_Size(tagSizeF{3, 4}); }, {1, 1, 4, 5}},
        {"width", {1, 1, 2, 2}, [](IBaseControl* c) { return c->put_Width(0.5); }, {1, 1, 1.5, 2}},
        {"centre", {0, 0, 2, 2}, [](IBaseControl* c) { return c->put_CenterPoint(tagPointF{5, 5}); }, {4, 4, 6, 6}},
    };
    for (const Case& c : cases) {
        control_->rect = c.start;
        EXPECT_EQ(c.apply(AsBase(control_)), S_OK) << c.name;
        EXPECT_EQ(control_->rect.left, c.expected.left) << c.name;
        EXPECT_EQ(control_->rect.top, c.expected.top) << c.name;
        EXPECT_EQ(control_->rect.right, c.expected.right) << c.name;
        EXPECT_EQ(control_->rect.bottom, c.expected.bottom) << c.name;
    }
    control_->failFit = true;
    EXPECT_EQ(AsBase(control_)->put_Rect(tagRectF{0, 0, 1, 1}), E_FAIL);
}

TEST_F(BaseBehaviour, PropertyFlagsAndChangeNotices) {
    AsBase(control_)->put_Visible(5);
    LONG value = 0;
    AsBase(control_)->get_Visible(&value);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(control_->IsDirty(), S_OK);
    EXPECT_GT(site_.selectionChanges, 0);
    EXPECT_FALSE(site_.invalidated.empty());

    TestControlObject* quiet = NewTestControl();
    quiet->InitNew();
    quiet->put_UseSetDirty(0);
    quiet->put_Visible(0);
    EXPECT_EQ(quiet->IsDirty(), S_FALSE);
    quiet->IgnoreInvalidate(1);
    LONG useSetDirty = 1;
    quiet->get_UseSetDirty(&useSetDirty);
    EXPECT_EQ(useSetDirty, 0);
    quiet->Release();

    AsBase(control_)->put_PreviewMode(2);
    AsBase(control_)->get_PreviewMode(&value);
    EXPECT_EQ(value, 0);
    AsBase(control_)->put_SaveForViewer(1);
    AsBase(control_)->get_SaveForViewer(&value);
    EXPECT_EQ(value, 1);
    AsBase(control_)->get_Storable(&value);
    EXPECT_EQ(value, 1);
}

TEST_F(BaseBehaviour, ParameterMap) {
    IBaseControl* c = AsBase(control_);
    BYTE data[3] = {7, 8, 9};
    EXPECT_EQ(c->SetParam(CComBSTR(L"b"), 3, data), S_OK);
    EXPECT_EQ(c->SetParam(CComBSTR(L"a"), 1, data), S_OK);
    EXPECT_EQ(c->SetParam(CComBSTR(L"unknown"), 0, nullptr), S_OK);
    int count = 0, size = 0;
    c->GetParamCount(&count);
    EXPECT_EQ(count, 2);
    BSTR name = nullptr;
    EXPECT_EQ(c->GetParamName(0, &name), S_OK);
    EXPECT_STREQ(name, L"a");
    SysFreeString(name);
    EXPECT_EQ(c->GetParamName(2, &name), E_INVALIDARG);
    EXPECT_EQ(c->GetParamName(-1, &name), E_INVALIDARG);

    BYTE small[2] = {0, 0}, big[8] = {0};
    EXPECT_EQ(c->GetParam(CComBSTR(L"b"), 2, small), E_INVALIDARG);
    EXPECT_EQ(small[0], 0);
    EXPECT_EQ(c->GetParam(CComBSTR(L"b"), 8, big), S_OK);
    EXPECT_EQ(big[2], 9);
    BYTE untouched[2] = {5, 5};
    EXPECT_EQ(c->GetParam(CComBSTR(L"nothing"), 2, untouched), S_OK);
    EXPECT_EQ(untouched[0], 5);

    c->SetParam(CComBSTR(L"b"), 0, nullptr);
    c->GetParamSize(CComBSTR(L"b"), &size);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(c->SetParam(CComBSTR(L"x"), 4, nullptr), E_INVALIDARG);
}

TEST_F(BaseBehaviour, ViewsAndActiveFlags) {
    IBaseControl* c = AsBase(control_);
    LONG active = 7;
    c->get_Active(nullptr, &active);
    EXPECT_EQ(active, 0);
    c->RegisterView(&view_);
    c->RegisterView(&view_);
    EXPECT_EQ(view_.refs, 1u) << "one record per view";
    const int before = control_->uiInvalidations;
    c->put_Active(&view_, 3);
    c->put_Active(&view_, 1);
    EXPECT_EQ(control_->uiInvalidations, before + 1) << "only a change redraws the handles";
    c->get_Active(&view_, &active);
    EXPECT_EQ(active, 1);
    CFakeView other;
    c->UnregisterView(&other);
    c->UnregisterView(&view_);
    EXPECT_EQ(view_.refs, 0u);
}

TEST_F(BaseBehaviour, DragMovesLiveAndRecordsOneUndoAtTheEnd) {
    control_->rect = tagRectF{1, 1, 2, 2};
    HRESULT hr = S_FALSE;
    Send(WM_LBUTTONDOWN, 150, 150, 0, &hr);
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(control_->State(), kStateMoving);
    Send(WM_MOUSEMOVE, 250, 170, 0, &hr);
    EXPECT_EQ(hr, S_OK);
    EXPECT_DOUBLE_EQ(control_->rect.left, 2.0);
    EXPECT_DOUBLE_EQ(control_->rect.top, 1.2);
    EXPECT_TRUE(site_.undo.empty()) << "nothing is recorded while dragging";
    Send(WM_LBUTTONUP, 250, 170, 0, &hr);
    EXPECT_EQ(control_->State(), kStateIdle);
    ASSERT_EQ(site_.undo.size(), 1u);
    EXPECT_EQ(site_.undo[0].method, L"SetCenterPoint");
    EXPECT_DOUBLE_EQ(V_R8(&site_.undo[0].args[1]), 1.5);
    EXPECT_DOUBLE_EQ(V_R8(&site_.undo[0].args[0]), 1.5);
}

TEST_F(BaseBehaviour, DragWithoutMovementRecordsNothingAndEscapePutsItBack) {
    control_->rect = tagRectF{1, 1, 2, 2};
    Send(WM_LBUTTONDOWN, 150, 150);
    Send(WM_MOUSEMOVE, 150, 150);
    Send(WM_LBUTTONUP, 150, 150);
    EXPECT_TRUE(site_.undo.empty());
    EXPECT_EQ(control_->rect.left, 1.0);

    Send(WM_LBUTTONDOWN, 150, 150);
    Send(WM_MOUSEMOVE, 333, 421);
    EXPECT_NE(control_->rect.left, 1.0);
    HRESULT hr = S_FALSE;
    Send(WM_KEYDOWN, 0, 0, VK_ESCAPE, &hr);
    EXPECT_EQ(hr, S_OK);
    tagPointF centre;
    AsBase(control_)->get_CenterPoint(&centre);
    EXPECT_EQ(centre.x, 1.5);
    EXPECT_EQ(centre.y, 1.5);
    EXPECT_TRUE(site_.undo.empty());
}

TEST_F(BaseBehaviour, DragIsNotStartedOutsideOrInASelectionMode) {
    control_->rect = tagRectF{1, 1, 2, 2};
    HRESULT hr = S_OK;
    Send(WM_LBUTTONDOWN, 500, 500, 0, &hr);
    EXPECT_EQ(hr, S_FALSE);
    view_.selMode = 1;
    Send(WM_LBUTTONDOWN, 150, 150, 0, &hr);
    EXPECT_EQ(hr, S_OK) << "handled, but no drag starts";
    EXPECT_EQ(control_->State(), kStateIdle);
    EXPECT_EQ(AsBase(control_)->SetSelMode(1, &view_), E_FAIL);
    EXPECT_EQ(AsBase(control_)->SetSelMode(0, &view_), S_OK);
}

TEST_F(BaseBehaviour, SnappingCorrectsTheDrag) {
    control_->rect = tagRectF{1, 1, 2, 2};
    view_.snapGrid = 0.5;
    Send(WM_LBUTTONDOWN, 150, 150);
    Send(WM_MOUSEMOVE, 171, 150);  // 0.21 inch: snaps back to the grid, nothing moves
    EXPECT_EQ(control_->rect.left, 1.0);
    Send(WM_MOUSEMOVE, 190, 150);  // 0.4 inch: snaps to 1.5
    EXPECT_DOUBLE_EQ(control_->rect.left, 1.5);
    Send(WM_LBUTTONUP, 190, 150);
}

TEST_F(BaseBehaviour, DoubleClickAndRightButton) {
    control_->rect = tagRectF{1, 1, 2, 2};
    HRESULT hr = S_OK;
    Send(WM_LBUTTONDBLCLK, 150, 150, 0, &hr);
    EXPECT_EQ(hr, S_FALSE) << "an inactive control leaves it";
    AsBase(control_)->put_Active(&view_, 1);
    Send(WM_LBUTTONDBLCLK, 900, 900, 0, &hr);
    EXPECT_EQ(hr, S_OK) << "an active control takes it, even outside";

    Send(WM_RBUTTONDOWN, 150, 150, 0, &hr);
    EXPECT_EQ(hr, S_OK);
    Send(WM_RBUTTONUP, 150, 150, 0, &hr);
    EXPECT_EQ(hr, S_OK);
    Send(WM_RBUTTONUP, 150, 150, 0, &hr);
    EXPECT_EQ(hr, S_FALSE) << "the press flag was cleared";
}

TEST_F(BaseBehaviour, HitTestAndCursor) {
    control_->rect = tagRectF{1, 1, 2, 2};
    tagHitTestResult result = HTR_UIShape;
    AsBase(control_)->HitTest(tagPointF{1.5, 1.5}, &view_, &result);
    EXPECT_EQ(result, HTR_ControlImage);
    AsBase(control_)->HitTest(tagPointF{2.015, 1.5}, &view_, &result);
    EXPECT_EQ(result, HTR_ControlImage) << "two view pixels of tolerance";
    AsBase(control_)->HitTest(tagPointF{2.05, 1.5}, &view_, &result);
    EXPECT_EQ(result, HTR_NoWhere);
    HICON cursor = nullptr;
    AsBase(control_)->GetCursor(tagPointF{1.5, 1.5}, &view_, &cursor);
    EXPECT_EQ(cursor, LoadCursor(nullptr, IDC_SIZEALL));
    AsBase(control_)->GetCursor(tagPointF{5, 5}, &view_, &cursor);
    EXPECT_EQ(cursor, nullptr);
}

TEST_F(BaseBehaviour, MenuSizeQueryNeverWritesIntoASmallBuffer) {
    BYTE buffer[4096];
    std::memset(buffer, 0xAB, sizeof buffer);
    EXPECT_EQ(AsBase(control_)->GetPopupMenu(4, buffer), S_OK);
    DWORD size = 0;
    std::memcpy(&size, buffer, 4);
    EXPECT_GT(size, 4u);
    ASSERT_LT(size, sizeof buffer);

    BYTE tiny[3] = {0xAB, 0xAB, 0xAB};
    EXPECT_EQ(AsBase(control_)->GetPopupMenu(3, tiny), E_INVALIDARG);
    EXPECT_EQ(tiny[0], 0xAB);
    EXPECT_EQ(tiny[2], 0xAB);

    std::memset(buffer, 0xAB, sizeof buffer);
    EXPECT_EQ(AsBase(control_)->GetPopupMenu(static_cast<int>(size) - 1, buffer), S_FALSE);
    EXPECT_EQ(buffer[0], 0xAB);
    EXPECT_EQ(AsBase(control_)->GetPopupMenu(static_cast<int>(size), buffer), S_OK);
    EXPECT_NE(LoadMenuIndirectA(buffer), nullptr);
}

TEST_F(BaseBehaviour, DirectDataModeNests) {
    IControlControl* cc = nullptr;
    AsBase(control_)->QueryInterface(IID_IControlControl, reinterpret_cast<void**>(&cc));
    EXPECT_EQ(cc->LeaveDirectDataMode(), E_INVALIDARG);
    cc->EnterDirectDataMode();
    cc->EnterDirectDataMode();
    EXPECT_EQ(cc->LeaveDirectDataMode(), S_OK);
    EXPECT_EQ(cc->LeaveDirectDataMode(), S_OK);
    EXPECT_EQ(cc->LeaveDirectDataMode(), E_INVALIDARG);
    cc->Release();
}

TEST_F(BaseBehaviour, CommandUpdateAndPropertyPages) {
    IUIUpdater* updater = nullptr;
    AsBase(control_)->QueryInterface(IID_IUIUpdater, reinterpret_cast<void**>(&updater));
    LONG enabled = 0, checked = 5, radio = 5;
    EXPECT_EQ(updater->Update(MAKELONG(20001, 7), &enabled, &checked, &radio), S_OK);
    EXPECT_EQ(enabled, 1);
    EXPECT_EQ(checked, 0);
    EXPECT_EQ(updater->Update(20002, &enabled, &checked, &radio), S_FALSE);
    updater->Release();

    IPerPropertyBrowsing* browsing = nullptr;
    AsBase(control_)->QueryInterface(IID_IPerPropertyBrowsing, reinterpret_cast<void**>(&browsing));
    CLSID page{};
    EXPECT_EQ(browsing->MapPropertyToPage(21, &page), S_OK);
    EXPECT_EQ(page.Data4[7], 0x02);
    EXPECT_EQ(browsing->MapPropertyToPage(99, &page), E_NOTIMPL);
    AsBase(control_)->put_TypeID(12);
    BSTR text = nullptr;
    EXPECT_EQ(browsing->GetDisplayString(21, &text), S_OK);
    EXPECT_STREQ(text, L"12");
    SysFreeString(text);
    EXPECT_EQ(browsing->GetDisplayString(999, &text), S_FALSE);
    CALPOLESTR strings;
    CADWORD cookies;
    EXPECT_EQ(browsing->GetPredefinedStrings(21, &strings, &cookies), S_OK);
    EXPECT_EQ(strings.cElems, 0u);
    EXPECT_EQ(browsing->GetPredefinedStrings(21, nullptr, &cookies), E_POINTER);
    browsing->Release();
}

TEST_F(BaseBehaviour, OwnerAndSerializerReferences) {
    CFakeSite owner;
    AsBase(control_)->put_Owner(static_cast<ITarnSiteEvents*>(&owner));
    EXPECT_EQ(owner.refs, 1u);
    IUnknown* got = nullptr;
    AsBase(control_)->get_Owner(&got);
    EXPECT_EQ(owner.refs, 2u);
    got->Release();
    AsBase(control_)->put_Serializer(static_cast<ITarnSiteEvents*>(&owner));
    AsBase(control_)->get_Serializer(&got);
    EXPECT_EQ(owner.refs, 2u) << "the serializer is handed out without a reference";
    AsBase(control_)->put_Serializer(nullptr);
    AsBase(control_)->put_Owner(nullptr);
    EXPECT_EQ(owner.refs, 0u);
}

TEST(PropertyMaps, MergingKeepsTheBaseTableIntact) {
    static const CLSID pages[3] = {{1}, {2}, {3}};
    const PropMapEntry base[] = {{L"a", 1, &pages[0], nullptr, 0, 0, 0},
                                 {L"b", 2, &pages[1], nullptr, 0, 0, 0},
                                 {nullptr, 0, nullptr, nullptr, 0, 0, 0}};
    const PropMapEntry removesB[] = {{nullptr, 0, &pages[1], nullptr, 0, 0, 0},
                                     {L"c", 3, &pages[2], nullptr, 0, 0, 0},
                                     {nullptr, 0, nullptr, nullptr, 0, 0, 0}};
    const PropMapEntry keepsAll[] = {{nullptr, 0, nullptr, nullptr, 0, 0, 0}};

    const std::vector<PropMapEntry> first = MergePropMapEntries(base, removesB);
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first[0].dispid, 1);
    EXPECT_EQ(first[1].dispid, 3);
    EXPECT_EQ(first[2].pclsidPropPage, nullptr);
    EXPECT_NE(base[1].description, nullptr) << "the shared base table is not edited";

    const std::vector<PropMapEntry> second = MergePropMapEntries(base, keepsAll);
    ASSERT_EQ(second.size(), 3u);
    EXPECT_EQ(second[1].dispid, 2) << "another class still sees the entry";
}

TEST(ResourceLibrary, HandleBitmapsAndCursorsLoad) {
    UseServerResources();
    HINSTANCE resources = ControlsResourceInstance();
    for (UINT id : {21104u, 21105u}) {
        HBITMAP bitmap = LoadBitmapW(resources, MAKEINTRESOURCEW(id));
        ASSERT_NE(bitmap, nullptr) << id;
        BITMAP info{};
        GetObjectW(bitmap, sizeof info, &info);
        EXPECT_EQ(info.bmWidth, 7) << id;
        DeleteObject(bitmap);
    }
    for (UINT id = 21124; id <= 21128; ++id) EXPECT_NE(LoadCursorW(resources, MAKEINTRESOURCEW(id)), nullptr) << id;
    for (UINT id = 21215; id <= 21228; ++id) EXPECT_FALSE(LoadResourceString(id).empty()) << id;
}

TEST_F(BaseBehaviour, PropertiesCommandIsTakenEvenWithoutPages) {
    HRESULT hr = S_FALSE;
    EXPECT_EQ(Send(WM_COMMAND, 0, 0, MAKEWPARAM(20001, 0), &hr), 1);
    EXPECT_EQ(hr, S_OK);
    Send(WM_COMMAND, 0, 0, MAKEWPARAM(20002, 0), &hr);
    EXPECT_EQ(hr, S_FALSE) << "other commands belong to the host";
    // Enter without Alt is not the properties key; with no pages to show nothing is taken either.
    Send(WM_SYSKEYDOWN, 0, 0, VK_RETURN, &hr);
    EXPECT_EQ(hr, S_FALSE);
}

TEST_F(BaseBehaviour, ErrorReportsSetInformationAndAnswerAFailure) {
    struct Case {
        const char* name;
        HRESULT (*report)(CTestDrawControl*);
        HRESULT expected;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"no result given", [](CTestDrawControl* c) { return c->ReportError(L"plain", IID_IBaseControl); }, E_FAIL,
         L"plain"},
        {"result kept", [](CTestDrawControl* c) { return c->ReportError("narrow", IID_IBaseControl, E_INVALIDARG); },
         E_INVALIDARG, L"narrow"},
        {"string id", [](CTestDrawControl* c) { return c->ReportError(21215u, IID_IBaseControl, 0); }, E_FAIL,
         L"Move"},
    };
    for (const Case& c : cases) {
        SetErrorInfo(0, nullptr);
        EXPECT_EQ(c.report(control_), c.expected) << c.name;
        IErrorInfo* info = nullptr;
        ASSERT_EQ(GetErrorInfo(0, &info), S_OK) << c.name;
        BSTR text = nullptr;
        info->GetDescription(&text);
        EXPECT_STREQ(text, c.text) << c.name;
        SysFreeString(text);
        info->Release();
    }
}
