#include "CanvasBitmap.h"

CCanvasBitmap::CCanvasBitmap() { ImagingInitBitmap(&bitmap_); }

CCanvasBitmap::~CCanvasBitmap() { Free(); }

bool CCanvasBitmap::Create(int width, int height, int bitsPerPixel) {
    Free();
    if (ImagingAllocateBitmap(&bitmap_, width, height, bitsPerPixel) != ImagingOk) return false;
    dc_ = CreateCompatibleDC(nullptr);
    if (!dc_) {
        ImagingFreeBitmap(&bitmap_);
        return false;
    }
    previous_ = SelectObject(dc_, bitmap_.Dib);
    return true;
}

void CCanvasBitmap::Free() {
    if (dc_) {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
        dc_ = nullptr;
        previous_ = nullptr;
    }
    ImagingFreeBitmap(&bitmap_);
}

void CCanvasBitmap::MoveTo(CCanvasBitmap& other) {
    other.Free();
    other.bitmap_ = bitmap_;
    other.dc_ = dc_;
    other.previous_ = previous_;
    ImagingInitBitmap(&bitmap_);
    dc_ = nullptr;
    previous_ = nullptr;
}

void CCanvasBitmap::FillSolid(COLORREF colour) {
    if (!dc_) return;
    POINT origin;
    SetViewportOrgEx(dc_, 0, 0, &origin);
    // An opaque text-out of nothing paints the background colour over the rectangle.
    const RECT all = {0, 0, bitmap_.Width, bitmap_.Height};
    const COLORREF previous = SetBkColor(dc_, colour);
    ExtTextOutA(dc_, 0, 0, ETO_OPAQUE, &all, "", 0, nullptr);
    SetBkColor(dc_, previous);
    SetViewportOrgEx(dc_, origin.x, origin.y, nullptr);
}

int TargetBitsPerPixel(HDC dc) {
    if (GetObjectType(dc) == OBJ_MEMDC) {
        BITMAP info;
        HGDIOBJ selected = GetCurrentObject(dc, OBJ_BITMAP);
        if (selected && GetObjectA(selected, sizeof(info), &info) == sizeof(info))
            return info.bmBitsPixel * info.bmPlanes;
    }
    return GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
}
