// The notificator turns a start request into an inserter handed to every advised view, and its
// update answer shows the current insertion tool as checked.
#include <gtest/gtest.h>
#include <windows.h>
#include <ocidl.h>

#include <vector>

#include "TarnControls.h"
#include "notificator/NewControlRequest.h"
#include "tests/ServerClassRegistration.h"
#include "tests/ViewEventsStub.h"

namespace {
// A recording inserter, made by COM in place of the server's own while a test runs.
class CFakeInserter : public IControlInserter {
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IControlInserter)) {
            *ppv = static_cast<IControlInserter*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }

    STDMETHOD(put_ControlID)(long id) override {
        controlId = id;
        return failingSetter == 3 ? E_FAIL : S_OK;
    }
    STDMETHOD(get_ControlID)(long* id) override { *id = controlId; return S_OK; }
    STDMETHOD(put_ControlCLSID)(GUID* clsid) override {
        if (clsid) controlClsid = *clsid;
        return failingSetter == 1 ? REGDB_E_CLASSNOTREG : S_OK;
    }
    STDMETHOD(put_DefaultProperties)(IPropChanger* props) override {
        defaults = props;
        return failingSetter == 2 ? S_FALSE : S_OK;
    }
    STDMETHOD(get_DefaultProperties)(IPropChanger** props) override { *props = defaults; return S_OK; }
    STDMETHOD(CheckInsertingState)(tagControlInsertingResult*) override { return E_NOTIMPL; }
    STDMETHOD(OnWindowMessage)(UINT, WPARAM, LPARAM, LRESULT*, ITarnViewEvents*) override { return E_NOTIMPL; }
    STDMETHOD(CancelInserting)() override { return E_NOTIMPL; }
    STDMETHOD(OnDraw)(tagDrawOptions*) override { return E_NOTIMPL; }
    STDMETHOD(DrawUIShapes)(HDC, ITarnViewEvents*, tagDrawOptions*) override { return E_NOTIMPL; }
    STDMETHOD(ForceInsertingFinish)(IBaseControl**) override { return E_NOTIMPL; }
    STDMETHOD(DCUnitsToInches)(tagPointF*, POINT*) override { return E_NOTIMPL; }
    STDMETHOD(Invalidate)(tagRectF*, long) override { return E_NOTIMPL; }
    STDMETHOD(ControlInsertionIsCompleted)() override { return E_NOTIMPL; }
    STDMETHOD(ControlInsertionIsCompleted_ButKeepControl)() override { return E_NOTIMPL; }
    STDMETHOD(PreserveSelectionOnEvents)() override { return E_NOTIMPL; }
    STDMETHOD(ChangeControl)(IBaseControl*) override { return E_NOTIMPL; }
    STDMETHOD(SupportsSelMode)(long) override { return E_NOTIMPL; }
    STDMETHOD(get_Owner)(IUnknown**) override { return E_NOTIMPL; }
    STDMETHOD(put_Owner)(IUnknown*) override { return E_NOTIMPL; }
    STDMETHOD(GetCursor)(tagPointF, ITarnViewEvents*, HICON*) override { return E_NOTIMPL; }
    STDMETHOD(ResetToDefaultProperties)() override { return E_NOTIMPL; }

    ULONG refs = 0;
    int failingSetter = 0;  // 1 class, 2 default properties, 3 control id
    long controlId = -1;
    GUID controlClsid = GUID_NULL;
    IPropChanger* defaults = nullptr;
};

class CInserterFactory : public IClassFactory {
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(CreateInstance)(IUnknown* outer, REFIID iid, void** ppv) override {
        ++made;
        if (outer) return CLASS_E_NOAGGREGATION;
        return inserter.QueryInterface(iid, ppv);
    }
    STDMETHOD(LockServer)(BOOL) override { return S_OK; }

    CFakeInserter inserter;
    int made = 0;
};

// A view that only records the inserters it is given, keeping its own reference as a view does.
class CRecordingView : public CViewEventsStub {
public:
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }
    STDMETHOD(RegisterNewControlInserter)(IControlInserter* inserter) override {
        if (inserter) inserter->AddRef();
        received.push_back(inserter);
        return S_OK;
    }

    ~CRecordingView() override {
        for (IControlInserter* i : received)
            if (i) i->Release();
    }

    ULONG refs = 1;
    std::vector<IControlInserter*> received;
};

const CLSID kSomeControl = {0x12345678, 0x1111, 0x2222, {1, 2, 3, 4, 5, 6, 7, 8}};

class NotificatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(server_.Result(), S_OK);
        ASSERT_EQ(::CoRegisterClassObject(CLSID_ControlInserter, &factory_, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                          &inserterCookie_),
                  S_OK);
        ASSERT_EQ(::CoCreateInstance(CLSID_NewControlNotificator, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IOleInPlaceObjectWindowless, reinterpret_cast<void**>(&notificator_)),
                  S_OK);
        IConnectionPointContainer* container = nullptr;
        ASSERT_EQ(notificator_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)),
                  S_OK);
        ASSERT_EQ(container->FindConnectionPoint(IID_ITarnViewEvents, &point_), S_OK);
        container->Release();
        for (CRecordingView& view : views_) {
            DWORD cookie = 0;
            ASSERT_EQ(point_->Advise(&view, &cookie), S_OK);
            cookies_.push_back(cookie);
        }
    }
    void TearDown() override {
        for (DWORD cookie : cookies_) point_->Unadvise(cookie);
        if (point_) point_->Release();
        if (notificator_) notificator_->Release();
        if (inserterCookie_) ::CoRevokeClassObject(inserterCookie_);
    }

    // The handled flag (S_OK / S_FALSE) and the message result.
    std::pair<HRESULT, LRESULT> Start(long controlId, IPropChanger* defaults = nullptr) {
        NewControlRequest request{&kSomeControl, controlId, defaults};
        LRESULT result = -7;
        const HRESULT hr =
            notificator_->OnWindowMessage(kStartInsertingMessage, 0, reinterpret_cast<LPARAM>(&request), &result);
        return {hr, result};
    }
    long Checked(LONG_PTR lParam) {
        IUIUpdater* updater = nullptr;
        EXPECT_EQ(notificator_->QueryInterface(IID_IUIUpdater, reinterpret_cast<void**>(&updater)), S_OK);
        long enabled = -1, checked = -1, radio = -1;
        EXPECT_EQ(updater->Update(lParam, &enabled, &checked, &radio), S_OK);
        EXPECT_EQ(enabled, 1);
        EXPECT_EQ(radio, 0);
        updater->Release();
        return checked;
    }

    CServerClassRegistration server_{CLSID_NewControlNotificator};
    CInserterFactory factory_;
    DWORD inserterCookie_ = 0;
    IOleInPlaceObjectWindowless* notificator_ = nullptr;
    IConnectionPoint* point_ = nullptr;
    CRecordingView views_[2];
    std::vector<DWORD> cookies_;
};

TEST_F(NotificatorTest, StartHandsTheReadyInserterToEveryViewAndMakesItsToolCurrent) {
    auto answer = Start(0x00052AF8);
    EXPECT_EQ(answer.first, S_OK);
    EXPECT_EQ(answer.second, 1);
    EXPECT_EQ(factory_.made, 1);
    const CFakeInserter& inserter = factory_.inserter;
    EXPECT_TRUE(IsEqualGUID(inserter.controlClsid, kSomeControl));
    EXPECT_EQ(inserter.controlId, 0x00052AF8);
    for (CRecordingView& view : views_) {
        ASSERT_EQ(view.received.size(), 1u);
        EXPECT_EQ(view.received[0], static_cast<const IControlInserter*>(&inserter));
    }
    // The views hold the only references left.
    EXPECT_EQ(inserter.refs, 2u);

    // Tool buttons pass their command in the high word.
    EXPECT_EQ(Checked(0x2AF80000), 1);
    EXPECT_EQ(Checked(0x00002AF8), 0);
    EXPECT_EQ(Checked(0x2AF90000), 0);

    // Stopping clears the current tool.
    LRESULT result = -7;
    EXPECT_EQ(notificator_->OnWindowMessage(kStopInsertingMessage, 0, 0, &result), S_OK);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Checked(0x2AF80000), 0);
}

TEST_F(NotificatorTest, ARequestWithoutToolCommandRegistersButIsNotHandled) {
    Start(0x2AF8);
    auto answer = Start(0x00010000);
    EXPECT_EQ(answer.first, S_FALSE);
    EXPECT_EQ(answer.second, 0);
    for (CRecordingView& view : views_) EXPECT_EQ(view.received.size(), 2u);
    // No tool is current, and an lParam without a high word never shows checked.
    EXPECT_EQ(Checked(0x2AF80000), 0);
    EXPECT_EQ(Checked(0), 0);
}

TEST_F(NotificatorTest, AFailingSetterRegistersNothingButCountsAsHandled) {
    Start(0x2AF8);
    for (int failing = 1; failing <= 3; ++failing) {
        SCOPED_TRACE(failing);
        factory_.inserter.failingSetter = failing;
        auto answer = Start(0x2B00);
        EXPECT_EQ(answer.first, S_OK);
        EXPECT_EQ(answer.second, 1);
        for (CRecordingView& view : views_) EXPECT_EQ(view.received.size(), 1u);
        EXPECT_EQ(Checked(0x2AF80000), 1) << "the tool in use stays current";
    }
    EXPECT_EQ(factory_.inserter.refs, 2u) << "a failed inserter is released";
}

TEST_F(NotificatorTest, NoInserterClassOrNoRequestRegistersNothing) {
    ::CoRevokeClassObject(inserterCookie_);
    inserterCookie_ = 0;
    auto answer = Start(0x2AF8);
    EXPECT_EQ(answer.first, S_OK);
    EXPECT_EQ(answer.second, 1);
    LRESULT result = -7;
    EXPECT_EQ(notificator_->OnWindowMessage(kStartInsertingMessage, 0, 0, &result), S_OK);
    EXPECT_EQ(result, 1);
    for (CRecordingView& view : views_) EXPECT_TRUE(view.received.empty());
    EXPECT_EQ(Checked(0x2AF80000), 0);
}

TEST_F(NotificatorTest, OtherMessagesAndWindowQueriesAreLeftAlone) {
    LRESULT result = -7;
    for (UINT msg : {UINT(WM_USER), UINT(WM_USER + 3), UINT(WM_LBUTTONDOWN)}) {
        EXPECT_EQ(notificator_->OnWindowMessage(msg, 0, 0, &result), S_FALSE) << msg;
        EXPECT_EQ(result, 0);
    }
    HWND window = reinterpret_cast<HWND>(1);
    EXPECT_EQ(notificator_->GetWindow(&window), E_FAIL);
    EXPECT_EQ(window, nullptr);
    // Aggregation is refused.
    IClassFactory* classFactory = nullptr;
    ASSERT_EQ(::CoGetClassObject(CLSID_NewControlNotificator, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                 reinterpret_cast<void**>(&classFactory)),
              S_OK);
    IUnknown* inner = nullptr;
    EXPECT_EQ(classFactory->CreateInstance(notificator_, IID_IUnknown, reinterpret_cast<void**>(&inner)),
              CLASS_E_NOAGGREGATION);
    classFactory->Release();
}
}  // namespace
