#include "tarn/ControlHostWindow.h"

#include <ole2.h>
#include <oleidl.h>

#include <new>
#include <string>

namespace {
UINT g_getHostMessage = 0;
UINT g_getControlMessage = 0;

// The container side of one hosted control: client site, in-place site and frame, all answered by
// the window that holds it.
class CControlHost : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
public:
    explicit CControlHost(HWND window) : window_(window) {}

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
            *ppv = static_cast<IOleClientSite*>(this);
        else if (IsEqualIID(iid, IID_IOleInPlaceSite) || IsEqualIID(iid, IID_IOleWindow))
            *ppv = static_cast<IOleInPlaceSite*>(this);
        else if (IsEqualIID(iid, IID_IOleInPlaceFrame) || IsEqualIID(iid, IID_IOleInPlaceUIWindow))
            *ppv = static_cast<IOleInPlaceFrame*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHOD_(ULONG, AddRef)() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHOD_(ULONG, Release)() override {
        const LONG count = InterlockedDecrement(&refs_);
        if (count == 0) delete this;
        return static_cast<ULONG>(count);
    }

    // IOleClientSite
    STDMETHOD(SaveObject)() override { return S_OK; }
    STDMETHOD(GetMoniker)(DWORD, DWORD, IMoniker** moniker) override {
        if (moniker) *moniker = nullptr;
        return E_NOTIMPL;
    }
    STDMETHOD(GetContainer)(IOleContainer** container) override {
        if (container) *container = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD(ShowObject)() override { return S_OK; }
    STDMETHOD(OnShowWindow)(BOOL) override { return S_OK; }
    STDMETHOD(RequestNewObjectLayout)() override { return E_NOTIMPL; }

    // IOleWindow (shared by the site and the frame)
    STDMETHOD(GetWindow)(HWND* window) override {
        if (!window) return E_POINTER;
        *window = window_;
        return S_OK;
    }
    STDMETHOD(ContextSensitiveHelp)(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHOD(CanInPlaceActivate)() override { return S_OK; }
    STDMETHOD(OnInPlaceActivate)() override {
        inPlaceActive_ = true;
        return S_OK;
    }
    STDMETHOD(OnUIActivate)() override { return S_OK; }
    STDMETHOD(GetWindowContext)(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, RECT* position,
                                RECT* clip, OLEINPLACEFRAMEINFO* info) override {
        if (!frame || !document || !position || !clip) return E_POINTER;
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        *document = nullptr;
        GetClientRect(window_, position);
        *clip = *position;
        if (info) {
            info->fMDIApp = FALSE;
            HWND parent = GetParent(window_);
            info->hwndFrame = parent ? parent : window_;
            info->haccel = nullptr;
            info->cAccelEntries = 0;
        }
        return S_OK;
    }
    STDMETHOD(Scroll)(SIZE) override { return E_NOTIMPL; }
    STDMETHOD(OnUIDeactivate)(BOOL) override { return S_OK; }
    STDMETHOD(OnInPlaceDeactivate)() override {
        inPlaceActive_ = false;
        return S_OK;
    }
    STDMETHOD(DiscardUndoState)() override { return S_OK; }
    STDMETHOD(DeactivateAndUndo)() override { return S_OK; }
    STDMETHOD(OnPosRectChange)(LPCRECT rect) override {
        if (!rect) return E_POINTER;
        if (inPlace_) inPlace_->SetObjectRects(rect, rect);
        return S_OK;
    }

    // IOleInPlaceUIWindow and IOleInPlaceFrame: no tool space, menus or status line to share.
    STDMETHOD(GetBorder)(RECT*) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHOD(RequestBorderSpace)(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHOD(SetBorderSpace)(LPCBORDERWIDTHS widths) override { return widths ? INPLACE_E_NOTOOLSPACE : S_OK; }
    STDMETHOD(SetActiveObject)(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHOD(InsertMenus)(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    STDMETHOD(SetMenu)(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHOD(RemoveMenus)(HMENU) override { return S_OK; }
    STDMETHOD(SetStatusText)(LPCOLESTR) override { return S_OK; }
    STDMETHOD(EnableModeless)(BOOL) override { return S_OK; }
    STDMETHOD(TranslateAccelerator)(LPMSG, WORD) override { return S_FALSE; }

    // Creates the control named by text and activates it; an empty text hosts nothing.
    HRESULT Host(const std::wstring& text) {
        if (text.empty()) return S_OK;
        CLSID clsid;
        HRESULT hr = text[0] == L'{' ? CLSIDFromString(const_cast<LPOLESTR>(text.c_str()), &clsid)
                                     : CLSIDFromProgID(text.c_str(), &clsid);
        if (FAILED(hr)) return hr;
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&control_));
        if (FAILED(hr)) return hr;
        if (SUCCEEDED(control_->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object_)))) {
            control_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace_));
            object_->SetClientSite(static_cast<IOleClientSite*>(this));
            RECT area;
            GetClientRect(window_, &area);
            hr = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(this), 0, window_,
                                 &area);
            if (FAILED(hr)) {
                Unhost();
                return hr;
            }
        }
        return S_OK;
    }

    void Resize() {
        if (!inPlace_ || !inPlaceActive_) return;
        RECT area;
        GetClientRect(window_, &area);
        inPlace_->SetObjectRects(&area, &area);
    }

    void Unhost() {
        if (inPlace_) {
            if (inPlaceActive_) inPlace_->InPlaceDeactivate();
            inPlace_->Release();
            inPlace_ = nullptr;
        }
        if (object_) {
            object_->Close(OLECLOSE_NOSAVE);
            object_->SetClientSite(nullptr);
            object_->Release();
            object_ = nullptr;
        }
        if (control_) {
            control_->Release();
            control_ = nullptr;
        }
    }

    IUnknown* Control() const { return control_; }

private:
    ~CControlHost() { Unhost(); }

    HWND window_;
    LONG refs_ = 1;
    IUnknown* control_ = nullptr;
    IOleObject* object_ = nullptr;
    IOleInPlaceObject* inPlace_ = nullptr;
    bool inPlaceActive_ = false;
};

CControlHost* HostOf(HWND window) {
    return reinterpret_cast<CControlHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CALLBACK ControlHostWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CREATE) {
        const CREATESTRUCTW* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        CControlHost* host = new (std::nothrow) CControlHost(window);
        if (!host) return -1;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host));
        const std::wstring text = create->lpszName ? create->lpszName : L"";
        if (FAILED(host->Host(text))) {
            // A control that cannot be made leaves no empty frame behind: the window is not created.
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            host->Release();
            return -1;
        }
        return 0;
    }
    CControlHost* host = HostOf(window);
    if (host && msg != 0) {
        if (msg == g_getControlMessage) {
            IUnknown* control = host->Control();
            if (control) control->AddRef();
            return reinterpret_cast<LRESULT>(control);
        }
        if (msg == g_getHostMessage) {
            host->AddRef();
            return reinterpret_cast<LRESULT>(static_cast<IOleClientSite*>(host));
        }
        switch (msg) {
        case WM_SIZE:
            host->Resize();
            break;
        case WM_ERASEBKGND:
            if (host->Control()) return 1;  // the control paints its own face
            break;
        case WM_DESTROY:
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            host->Unhost();
            host->Release();
            break;
        default:
            break;
        }
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}
}  // namespace

UINT ControlHostGetControlMessage() { return g_getControlMessage; }
UINT ControlHostGetHostMessage() { return g_getHostMessage; }

void RegisterControlHostWindowClass(HINSTANCE instance, CRITICAL_SECTION& windowCreateLock) {
    EnterCriticalSection(&windowCreateLock);
    g_getHostMessage = RegisterWindowMessageW(L"WM_ATLGETHOST");
    g_getControlMessage = RegisterWindowMessageW(L"WM_ATLGETCONTROL");
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExW(instance, L"AtlAxWin", &existing)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = 0;
        wc.lpfnWndProc = ControlHostWindowProc;
        wc.hInstance = instance;
        wc.hIcon = nullptr;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszMenuName = nullptr;
        wc.lpszClassName = L"AtlAxWin";
        RegisterClassExW(&wc);
    }
    LeaveCriticalSection(&windowCreateLock);
}
