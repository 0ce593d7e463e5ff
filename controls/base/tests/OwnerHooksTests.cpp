// A control asks its owner first for menus, the default property and the double-click dialog,
// except in direct-data mode.
#include <gtest/gtest.h>

#include <cstring>

#include "ControlFixtures.h"

namespace {
class CFakeOwner : public IControlOwnerHooks {
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IControlOwnerHooks)) {
            *ppv = static_cast<IControlOwnerHooks*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }
    STDMETHOD(Customize_GetText)(IUnknown*, LPCWSTR, BSTR*) override { return E_NOTIMPL; }
    STDMETHOD(Customize_GetObjectMenu)(IUnknown*, int, BYTE* buffer) override {
        ++objectMenuCalls;
        if (buffer) buffer[0] = 0x5A;
        return S_OK;
    }
    STDMETHOD(Customize_GetPopupMenu)(IUnknown*, int size, BYTE* buffer) override {
        ++popupCalls;
        if (!servesPopup) return E_NOTIMPL;
        if (size <= 4) {
            const int needed = 8;
            std::memcpy(buffer, &needed, 4);
        }
        return S_OK;
    }
    STDMETHOD(Customize_GetPages)(IUnknown*, CAUUID*) override { return E_NOTIMPL; }
    STDMETHOD(Customize_GetDefaultProperty)(IUnknown*, short command, LONG* dispid) override {
        lastCommand = command;
        *dispid = 4242;
        return S_OK;
    }
    STDMETHOD(Customize_ExecInitDialog)(IUnknown*, IUnknown* view, int* result) override {
        ++dialogs;
        lastView = view;
        *result = 1;
        return takesDialog ? S_OK : E_NOTIMPL;
    }

    ULONG refs = 0;
    int objectMenuCalls = 0, popupCalls = 0, dialogs = 0;
    short lastCommand = 0;
    IUnknown* lastView = nullptr;
    bool servesPopup = true;
    bool takesDialog = true;
};

class OwnerHooks : public ::testing::Test {
protected:
    void SetUp() override {
        UseServerResources();
        control_ = NewTestControl();
        control_->InitNew();
        AsBase(control_)->put_Owner(static_cast<IControlOwnerHooks*>(&owner_));
        AsBase(control_)->QueryInterface(IID_IControlControl, reinterpret_cast<void**>(&direct_));
    }
    void TearDown() override {
        direct_->Release();
        AsBase(control_)->put_Owner(nullptr);
        AsBase(control_)->UnregisterAllViews();
        control_->Release();
        EXPECT_EQ(owner_.refs, 0u);
    }
    TestControlObject* control_ = nullptr;
    IControlControl* direct_ = nullptr;
    CFakeOwner owner_;
    CFakeView view_;
};
}  // namespace

TEST_F(OwnerHooks, MenusComeFromTheOwnerUnlessInDirectDataMode) {
    BYTE buffer[4096] = {0};
    EXPECT_EQ(AsBase(control_)->GetObjectMenu(sizeof buffer, buffer), S_OK);
    EXPECT_EQ(owner_.objectMenuCalls, 1);
    EXPECT_EQ(buffer[0], 0x5A);

    EXPECT_EQ(AsBase(control_)->GetPopupMenu(4, buffer), S_OK);
    int size = 0;
    std::memcpy(&size, buffer, 4);
    EXPECT_EQ(size, 8) << "the owner's menu";

    owner_.servesPopup = false;
    EXPECT_EQ(AsBase(control_)->GetPopupMenu(4, buffer), S_OK);
    std::memcpy(&size, buffer, 4);
    EXPECT_GT(size, 8) << "the control's own menu when the owner declines";

    owner_.servesPopup = true;
    direct_->EnterDirectDataMode();
    const int before = owner_.popupCalls;
    buffer[0] = 0;
    EXPECT_EQ(AsBase(control_)->GetObjectMenu(sizeof buffer, buffer), S_OK);
    EXPECT_EQ(AsBase(control_)->GetPopupMenu(4, buffer), S_OK);
    EXPECT_EQ(owner_.popupCalls, before);
    EXPECT_EQ(owner_.objectMenuCalls, 1);
    direct_->LeaveDirectDataMode();
}

TEST_F(OwnerHooks, DefaultPropertyAndDoubleClickGoToTheOwnerFirst) {
    EXPECT_EQ(control_->ResolvePageCommand(20001), 4242);
    EXPECT_EQ(owner_.lastCommand, static_cast<short>(20001));
    direct_->EnterDirectDataMode();
    EXPECT_EQ(control_->ResolvePageCommand(20001), DISPID_UNKNOWN) << "the class's own answer";
    direct_->LeaveDirectDataMode();

    control_->rect = tagRectF{1, 1, 2, 2};
    AsBase(control_)->put_Active(&view_, 1);
    LRESULT result = 0;
    EXPECT_EQ(AsBase(control_)->OnWindowMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(150, 150), &result, &view_), S_OK);
    EXPECT_EQ(owner_.dialogs, 1);
    EXPECT_EQ(owner_.lastView, static_cast<IUnknown*>(static_cast<ITarnViewEvents*>(&view_)));
    // Outside the control the double click is taken but nothing runs.
    EXPECT_EQ(AsBase(control_)->OnWindowMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(900, 900), &result, &view_), S_OK);
    EXPECT_EQ(owner_.dialogs, 1);
}
