#include "RectFixtures.h"

#include <cmath>

TestRectObject* NewRectControl(bool live, const tagRectF& rect) {
    TestRectObject* object = nullptr;
    if (FAILED(TestRectObject::CreateInstance(&object))) return nullptr;
    object->AddRef();
    object->live = live;
    object->InitNew();
    object->put_Rect(rect);
    object->transformChanges = 0;
    return object;
}

IBaseControl* AsBase(CTestRectControl* control) { return static_cast<IBaseControl*>(control); }
IRectangularControl* AsRect(CTestRectControl* control) { return static_cast<IRectangularControl*>(control); }
IRectangularControlDispatch* AsRectDispatch(CTestRectControl* control) {
    return static_cast<IRectangularControlDispatch*>(control);
}

STDMETHODIMP CRecordingView::SnapPoint(tagPointF* point, LONG) {
    if (snapGrid > 0) {
        point->x = std::round(point->x / snapGrid) * snapGrid;
        point->y = std::round(point->y / snapGrid) * snapGrid;
    }
    return S_OK;
}

void SetModifierKeys(bool shift, bool alt) {
    BYTE keys[256] = {};
    if (shift) keys[VK_SHIFT] = keys[VK_LSHIFT] = 0x80;
    if (alt) keys[VK_MENU] = keys[VK_LMENU] = 0x80;
    SetKeyboardState(keys);
}

LPARAM PixelAt(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

LPARAM PixelOf(const tagPointF& doc) {
    return PixelAt(static_cast<int>(std::lround(doc.x * 100)), static_cast<int>(std::lround(doc.y * 100)));
}

void CornersOf(CTestRectControl* control, tagPointF out[4]) { control->Transform().GetCorners(out); }

namespace {
IConnectionPoint* SitePoint(IUnknown* control) {
    IConnectionPointContainer* container = nullptr;
    IConnectionPoint* point = nullptr;
    if (SUCCEEDED(control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)))) {
        container->FindConnectionPoint(IID_ITarnSiteEvents, &point);
        container->Release();
    }
    return point;
}
}  // namespace

DWORD AdviseSite(IUnknown* control, ITarnSiteEvents* site) {
    DWORD cookie = 0;
    if (IConnectionPoint* point = SitePoint(control)) {
        point->Advise(site, &cookie);
        point->Release();
    }
    return cookie;
}

void UnadviseSite(IUnknown* control, DWORD cookie) {
    if (IConnectionPoint* point = SitePoint(control)) {
        point->Unadvise(cookie);
        point->Release();
    }
}

// Canvas ----------------------------------------------------------------------------------------------

CTestCanvas::CTestCanvas(int w, int h) : width(w), height(h) {
    ImagingInitBitmap(&bitmap);
    ImagingAllocateBitmap(&bitmap, w, h, 24);
    Clear();
}

CTestCanvas::~CTestCanvas() { ImagingFreeBitmap(&bitmap); }

STDMETHODIMP CTestCanvas::QueryInterface(REFIID iid, void** ppv) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ITarnCanvas)) {
        *ppv = static_cast<ITarnCanvas*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP CTestCanvas::GetLeadBitmap(LONG** b) {
    *b = reinterpret_cast<LONG*>(&bitmap);
    return S_OK;
}

STDMETHODIMP CTestCanvas::GetWorkLeadBitmap(LONG** b) { return GetLeadBitmap(b); }

STDMETHODIMP CTestCanvas::GetClippingBounds(RECT* bounds) {
    *bounds = RECT{offset.x, offset.y, offset.x + width, offset.y + height};
    return S_OK;
}

void CTestCanvas::Clear() { ImagingFillBitmap(&bitmap, RGB(255, 255, 255)); }

tagDrawOptions CTestCanvas::Options(ITarnViewEvents* view, double zoom) {
    tagDrawOptions options{};
    options.m_Canvas = this;
    options.m_pCallingView = view;
    options.UpdateRect = RECT{offset.x, offset.y, offset.x + width, offset.y + height};
    options.ZoomValue = zoom;
    options.PixelsPerInch = 100;
    options.bHighestQuality = 1;
    return options;
}

void CTestCanvas::Draw(IBaseControl* control, ITarnViewEvents* view, double zoom) {
    tagDrawOptions options = Options(view, zoom);
    control->Draw(&options);
}

COLORREF CTestCanvas::Pixel(int x, int y) const {
    const unsigned char* p = bitmap.Addr + y * bitmap.BytesPerLine + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

int CTestCanvas::MaxDifference(const CTestCanvas& other) const {
    int worst = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 3 * width; ++x) {
            const int d = std::abs(bitmap.Addr[y * bitmap.BytesPerLine + x] - other.bitmap.Addr[y * other.bitmap.BytesPerLine + x]);
            if (d > worst) worst = d;
        }
    return worst;
}

