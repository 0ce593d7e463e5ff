// The "AtlAxWin" windows of the server host a control named by the window text, keep it in place
// over their client area and hand it out through "WM_ATLGETCONTROL".
#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>

#include <string>

namespace {
// {7C7E0A11-3B2D-4E55-9A0B-6D2C11E0F0A1}
const CLSID kHostedClass = {0x7c7e0a11, 0x3b2d, 0x4e55, {0x9a, 0x0b, 0x6d, 0x2c, 0x11, 0xe0, 0xf0, 0xa1}};

// A small windowed control: in-place activation makes a child window of the host.
class CWindowedControl : public IOleObject, public IOleInPlaceObject {
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleObject))
            *ppv = static_cast<IOleObject*>(this);
        else if (IsEqualIID(iid, IID_IOleInPlaceObject) || IsEqualIID(iid, IID_IOleWindow))
            *ppv = static_cast<IOleInPlaceObject*>(this);
        else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }

    STDMETHOD(SetClientSite)(IOleClientSite* site) override {
        if (site) site->AddRef();
        if (site_) site_->Release();
        site_ = site;
        ++clientSiteCalls;
        return S_OK;
    }
    STDMETHOD(GetClientSite)(IOleClientSite** site) override {
        *site = site_;
        if (site_) site_->AddRef();
        return S_OK;
    }
    STDMETHOD(SetHostNames)(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHOD(Close)(DWORD) override {
        ++closes;
        return S_OK;
    }
    STDMETHOD(SetMoniker)(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHOD(GetMoniker)(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHOD(InitFromData)(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetClipboardData)(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHOD(DoVerb)(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT rect) override {
        if (verb != OLEIVERB_INPLACEACTIVATE || !site) return E_NOTIMPL;
        IOleInPlaceSite* inPlace = nullptr;
        if (FAILED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace)))) return E_FAIL;
        HWND siteWindow = nullptr;
        inPlace->GetWindow(&siteWindow);
        IOleInPlaceFrame* frame = nullptr;
        IOleInPlaceUIWindow* document = nullptr;
        RECT position{}, clip{};
        OLEINPLACEFRAMEINFO info{sizeof info};
        HRESULT hr = inPlace->CanInPlaceActivate();
        if (hr == S_OK) hr = inPlace->GetWindowContext(&frame, &document, &position, &clip, &info);
        if (hr == S_OK) hr = inPlace->OnInPlaceActivate();
        if (hr == S_OK && siteWindow == parent) {
            window_ = CreateWindowExW(0, L"STATIC", L"face", WS_CHILD | WS_VISIBLE, rect->left, rect->top,
                                      rect->right - rect->left, rect->bottom - rect->top, parent, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
        }
        if (frame) frame->Release();
        if (document) document->Release();
        inPlaceSite_ = inPlace;
        return window_ ? S_OK : E_FAIL;
    }
    STDMETHOD(EnumVerbs)(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHOD(Update)() override { return S_OK; }
    STDMETHOD(IsUpToDate)() override { return S_OK; }
    STDMETHOD(GetUserClassID)(CLSID* clsid) override {
        *clsid = kHostedClass;
        return S_OK;
    }
    STDMETHOD(GetUserType)(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHOD(SetExtent)(DWORD, SIZEL*) override { return E_NOTIMPL; }
    STDMETHOD(GetExtent)(DWORD, SIZEL*) override { return E_NOTIMPL; }
    STDMETHOD(Advise)(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHOD(Unadvise)(DWORD) override { return E_NOTIMPL; }
    STDMETHOD(EnumAdvise)(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHOD(GetMiscStatus)(DWORD, DWORD* status) override {
        *status = 0;
        return S_OK;
    }
    STDMETHOD(SetColorScheme)(LOGPALETTE*) override { return E_NOTIMPL; }

    STDMETHOD(GetWindow)(HWND* window) override {
        *window = window_;
        return window_ ? S_OK : E_FAIL;
    }
    STDMETHOD(ContextSensitiveHelp)(BOOL) override { return E_NOTIMPL; }
    STDMETHOD(InPlaceDeactivate)() override {
        if (window_) DestroyWindow(window_);
        window_ = nullptr;
        if (inPlaceSite_) {
            inPlaceSite_->OnInPlaceDeactivate();
            inPlaceSite_->Release();
            inPlaceSite_ = nullptr;
        }
        return S_OK;
    }
    STDMETHOD(UIDeactivate)() override { return S_OK; }
    STDMETHOD(SetObjectRects)(LPCRECT position, LPCRECT) override {
        lastRect = *position;
        if (window_)
            MoveWindow(window_, position->left, position->top, position->right - position->left,
                       position->bottom - position->top, TRUE);
        return S_OK;
    }
    STDMETHOD(ReactivateAndUndo)() override { return E_NOTIMPL; }

    ULONG refs = 0;
    int clientSiteCalls = 0;
    int closes = 0;
    RECT lastRect{};
    HWND window_ = nullptr;

private:
    IOleClientSite* site_ = nullptr;
    IOleInPlaceSite* inPlaceSite_ = nullptr;
};

class CFactory : public IClassFactory {
public:
    explicit CFactory(CWindowedControl* control) : control_(control) {}
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(CreateInstance)(IUnknown* outer, REFIID iid, void** ppv) override {
        if (outer) return CLASS_E_NOAGGREGATION;
        return control_->QueryInterface(iid, ppv);
    }
    STDMETHOD(LockServer)(BOOL) override { return S_OK; }

private:
    CWindowedControl* control_;
};

class ControlHostWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        server_ = LoadLibraryW(L"TarnControls.dll");
        ASSERT_NE(server_, nullptr);
        ASSERT_EQ(S_OK, CoRegisterClassObject(kHostedClass, &factory_, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                              &registration_));
        getControl_ = RegisterWindowMessageW(L"WM_ATLGETCONTROL");
        getHost_ = RegisterWindowMessageW(L"WM_ATLGETHOST");
        parent_ = CreateWindowExW(0, L"STATIC", L"dialog", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(parent_, nullptr);
    }
    void TearDown() override {
        DestroyWindow(parent_);
        CoRevokeClassObject(registration_);
        OleUninitialize();
    }
    HWND MakeHost(const wchar_t* text) {
        return CreateWindowExW(0, L"AtlAxWin", text, WS_CHILD | WS_VISIBLE, 10, 20, 200, 100, parent_, nullptr,
                               server_, nullptr);
    }

    CWindowedControl control_;
    CFactory factory_{&control_};
    HMODULE server_ = nullptr;
    DWORD registration_ = 0;
    HWND parent_ = nullptr;
    UINT getControl_ = 0, getHost_ = 0;
};

std::wstring ClassText(const CLSID& clsid) {
    wchar_t text[64];
    StringFromGUID2(clsid, text, 64);
    return text;
}
}  // namespace

TEST_F(ControlHostWindow, HostsTheNamedControlInPlaceAndLetsItGo) {
    const std::wstring name = ClassText(kHostedClass);
    HWND host = MakeHost(name.c_str());
    ASSERT_NE(host, nullptr);
    ASSERT_NE(control_.window_, nullptr) << "the control was activated in place";
    EXPECT_EQ(GetParent(control_.window_), host);

    IUnknown* got = reinterpret_cast<IUnknown*>(SendMessageW(host, getControl_, 0, 0));
    ASSERT_NE(got, nullptr);
    IOleObject* object = nullptr;
    EXPECT_EQ(S_OK, got->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object)));
    EXPECT_EQ(object, static_cast<IOleObject*>(&control_));
    object->Release();
    got->Release();

    IUnknown* site = reinterpret_cast<IUnknown*>(SendMessageW(host, getHost_, 0, 0));
    ASSERT_NE(site, nullptr);
    IOleInPlaceSite* inPlace = nullptr;
    EXPECT_EQ(S_OK, site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace)));
    inPlace->Release();
    site->Release();

    MoveWindow(host, 0, 0, 321, 123, TRUE);
    EXPECT_EQ(control_.lastRect.right, 321);
    EXPECT_EQ(control_.lastRect.bottom, 123);

    DestroyWindow(host);
    EXPECT_EQ(control_.window_, nullptr);
    EXPECT_EQ(control_.closes, 1);
    EXPECT_EQ(control_.clientSiteCalls, 2) << "the site was set and cleared";
    EXPECT_EQ(control_.refs, 0u) << "nothing of the control is kept";
}

TEST_F(ControlHostWindow, EmptyTextHostsNothingAndUnknownClassesFail) {
    HWND empty = MakeHost(L"");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SendMessageW(empty, getControl_, 0, 0), 0);
    DestroyWindow(empty);

    EXPECT_EQ(MakeHost(L"{00000000-1111-2222-3333-444444444444}"), nullptr);
    EXPECT_EQ(MakeHost(L"No.Such.ProgID"), nullptr);
    EXPECT_EQ(control_.refs, 0u);
}
