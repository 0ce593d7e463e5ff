#include "RecordingCanvas.h"

namespace {
CRecordingCanvas* g_lastCanvas = nullptr;

void Record(CRecordingCanvas* canvas, const char* name, const RECT* rect = nullptr, POINT point = {0, 0})
{
    canvas->calls.push_back({name, rect ? *rect : RECT{0, 0, 0, 0}, point});
}

// Every window-less in-place method answers "not here".
class CIdleNotificator : public IOleInPlaceObjectWindowless {
public:
    virtual ~CIdleNotificator() = default;
    STDMETHOD(QueryInterface)(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IOleWindow || iid == IID_IOleInPlaceObject ||
            iid == IID_IOleInPlaceObjectWindowless) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override
    {
        const ULONG left = --refs;
        if (left == 0) delete this;
        return left;
    }
    STDMETHOD(GetWindow)(HWND*) override { return E_NOTIMPL; }
    STDMETHOD(ContextSensitiveHelp)(BOOL) override { return E_NOTIMPL; }
    STDMETHOD(InPlaceDeactivate)() override { return E_NOTIMPL; }
    STDMETHOD(UIDeactivate)() override { return E_NOTIMPL; }
    STDMETHOD(SetObjectRects)(LPCRECT, LPCRECT) override { return E_NOTIMPL; }
    STDMETHOD(ReactivateAndUndo)() override { return E_NOTIMPL; }
    STDMETHOD(OnWindowMessage)(UINT, WPARAM, LPARAM, LRESULT*) override { return S_FALSE; }
    STDMETHOD(GetDropTarget)(IDropTarget**) override { return E_NOTIMPL; }
    ULONG refs = 1;
};

template <class Made>
class CFactory : public IClassFactory {
public:
    STDMETHOD(QueryInterface)(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(CreateInstance)(IUnknown* outer, REFIID iid, void** out) override
    {
        if (outer) return CLASS_E_NOAGGREGATION;
        Made* made = new Made;
        const HRESULT hr = made->QueryInterface(iid, out);
        made->Release();
        return hr;
    }
    STDMETHOD(LockServer)(BOOL) override { return S_OK; }
};

CFactory<CRecordingCanvas> g_canvasFactory;
CFactory<CIdleNotificator> g_notificatorFactory;
}  // namespace

STDMETHODIMP CRecordingCanvas::QueryInterface(REFIID iid, void** out)
{
    if (iid == IID_IUnknown || iid == IID_ITarnCanvas) {
        *out = static_cast<ITarnCanvas*>(this);
        AddRef();
        g_lastCanvas = this;
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CRecordingCanvas::Release()
{
    const ULONG left = --refs;
    if (left == 0) {
        if (g_lastCanvas == this) g_lastCanvas = nullptr;
        if (memoryDC) ::DeleteDC(memoryDC);
        delete this;
    }
    return left;
}

STDMETHODIMP CRecordingCanvas::Initialize(LONG_PTR, long cx, long cy)
{
    Record(this, "Initialize", nullptr, POINT{cx, cy});
    return S_OK;
}

STDMETHODIMP CRecordingCanvas::Resize(long cx, long cy)
{
    Record(this, "Resize", nullptr, POINT{cx, cy});
    return S_OK;
}

STDMETHODIMP CRecordingCanvas::GetHDC(HDC* hdc)
{
    if (!memoryDC) memoryDC = ::CreateCompatibleDC(nullptr);
    *hdc = memoryDC;
    return S_OK;
}

STDMETHODIMP CRecordingCanvas::Paint(HDC, RECT rectUpdate, long, double, long, long)
{
    Record(this, "Paint", &rectUpdate);
    return S_OK;
}

STDMETHODIMP CRecordingCanvas::SetOffset(POINT newOffset, long)
{
    offset = newOffset;
    Record(this, "SetOffset", nullptr, newOffset);
    return S_OK;
}

STDMETHODIMP CRecordingCanvas::GetOffset(POINT* out)
{
    *out = offset;
    return S_OK;
}

STDMETHODIMP CRecordingCanvas::InvalidateRect(RECT* pRect)
{
    Record(this, "InvalidateRect", pRect);
    return S_OK;
}

STDMETHODIMP CRecordingCanvas::ValidateRect(RECT* pRect)
{
    Record(this, "ValidateRect", pRect);
    return S_OK;
}

STDMETHODIMP CRecordingCanvas::Invalidate()
{
    Record(this, "Invalidate");
    return S_OK;
}

ViewTestClasses::ViewTestClasses()
{
    ::CoRegisterClassObject(CLSID_TarnCanvas, &g_canvasFactory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &canvasCookie_);
    ::CoRegisterClassObject(CLSID_NewControlNotificator, &g_notificatorFactory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                            &notificatorCookie_);
}

ViewTestClasses::~ViewTestClasses()
{
    if (canvasCookie_) ::CoRevokeClassObject(canvasCookie_);
    if (notificatorCookie_) ::CoRevokeClassObject(notificatorCookie_);
}

CRecordingCanvas* ViewTestClasses::LastCanvas() { return g_lastCanvas; }
