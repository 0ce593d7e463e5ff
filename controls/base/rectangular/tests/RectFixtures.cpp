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
