#include "canvas/TarnCanvas.h"

#include <cmath>

#include "canvas/BitmapFlips.h"
#include "render/Dither555.h"
#include "render/DrawPolyBezier.h"
#include "render/FillInfo.h"

namespace {
const double kHalfTurn = 3.14159265358979323846;

bool IsHalfTurn(double angle) { return std::fabs(angle - kHalfTurn) < 1e-9; }

// Moves the points of a segment that carry meaning for its kind.
void MoveSegments(SegmentDesc* segments, long count, double dx, double dy) {
    for (long i = 0; i < count; ++i) {
        SegmentDesc& s = segments[i];
        s.pt1.x += dx, s.pt1.y += dy;
        if (s.kind != kSegmentEnd) s.pt2.x += dx, s.pt2.y += dy;
        if (s.kind == kSegmentBezier) s.pt3.x += dx, s.pt3.y += dy;
    }
}
}  // namespace

POINT CTarnCanvas::Offset() const {
    POINT origin = {0, 0};
    if (main_.Dc()) GetViewportOrgEx(main_.Dc(), &origin);
    return POINT{-origin.x, -origin.y};
}

RECT CTarnCanvas::VisibleArea() const {
    const POINT o = Offset();
    return RECT{o.x, o.y, o.x + main_.Width(), o.y + main_.Height()};
}

void CTarnCanvas::AddDirty(const RECT& r) {
    const RECT visible = VisibleArea();
    RECT clipped;
    if (IntersectRect(&clipped, &r, &visible)) dirty_.Add(clipped);
}

STDMETHODIMP CTarnCanvas::Initialize(LONG_PTR hWnd, long cx, long cy) {
    FreeBitmap();
    owner_ = reinterpret_cast<HWND>(hWnd);
    if (!main_.Create(cx, cy)) return E_FAIL;
    main_.FillSolid(RGB(255, 255, 255));
    return S_OK;
}

STDMETHODIMP CTarnCanvas::Resize(long cx, long cy) {
    const POINT offset = Offset();
    CCanvasBitmap old;
    main_.MoveTo(old);
    if (!main_.Create(cx, cy)) {
        dirty_.Clear();
        return E_FAIL;
    }
    main_.FillSolid(RGB(255, 255, 255));
    SetViewportOrgEx(main_.Dc(), -offset.x, -offset.y, nullptr);
    if (!old.IsAllocated()) return Invalidate();

    // Both contexts carry the same origin, so the copy is in view coordinates.
    BitBlt(main_.Dc(), offset.x, offset.y, old.Width(), old.Height(), old.Dc(), offset.x, offset.y, SRCCOPY);
    const int oldWidth = old.Width(), oldHeight = old.Height();
    old.Free();
    if (cx > oldWidth) AddDirty(RECT{offset.x + oldWidth, offset.y, offset.x + cx, offset.y + cy});
    if (cy > oldHeight) AddDirty(RECT{offset.x, offset.y + oldHeight, offset.x + cx, offset.y + cy});
    return S_OK;
}

STDMETHODIMP CTarnCanvas::GetHDC(HDC* hdc) {
    if (!hdc) return E_POINTER;
    *hdc = main_.Dc();
    return S_OK;
}

STDMETHODIMP CTarnCanvas::GetLeadBitmap(long** bitmap) {
    if (!bitmap) return E_POINTER;
    if (!main_.IsAllocated()) return E_FAIL;
    *bitmap = reinterpret_cast<long*>(main_.Bitmap());
    return S_OK;
}

STDMETHODIMP CTarnCanvas::GetWorkHDC(HDC* hdc) {
    if (!hdc) return E_POINTER;
    *hdc = work_.Dc() ? work_.Dc() : main_.Dc();
    return S_OK;
}

STDMETHODIMP CTarnCanvas::GetWorkLeadBitmap(long** bitmap) {
    if (!bitmap) return E_POINTER;
    CCanvasBitmap& surface = work_.Dc() ? work_ : main_;
    if (!surface.IsAllocated()) return E_FAIL;
    *bitmap = reinterpret_cast<long*>(surface.Bitmap());
    return S_OK;
}

STDMETHODIMP CTarnCanvas::StartDrawing(tagDrawOptions* options) {
    if (!clipSegments_ || clipCount_ == 0) return S_OK;
    if (!options) return E_POINTER;
    workRect_ = options->UpdateRect;
    const int width = workRect_.right - workRect_.left, height = workRect_.bottom - workRect_.top;
    if (width < 0 || height < 0 || !work_.Create(width + 1, height + 3)) return E_FAIL;

    // The work bitmap starts one row down: the rasteriser reads its pattern one row above the pixel.
    HDC work = work_.Dc();
    if (options->clBackground == 0xFFFFFFFF) {
        HDC source = options->hDCBack ? options->hDCBack : main_.Dc();
        BitBlt(work, 0, 1, width, height, source, workRect_.left, workRect_.top, SRCCOPY);
    } else {
        HBRUSH brush = CreateSolidBrush(options->clBackground);
        const RECT all = {0, 0, width + 1, height + 3};
        FillRect(work, &all, brush);
        DeleteObject(brush);
    }
    SetViewportOrgEx(work, -workRect_.left, 1 - workRect_.top, nullptr);
    return S_OK;
}

STDMETHODIMP CTarnCanvas::EndDrawing() {
    if (clipSegments_ && clipCount_ > 0 && work_.IsAllocated() && main_.IsAllocated()) {
        const POINT o = Offset();
        MoveSegments(clipSegments_, clipCount_, -o.x, -o.y);
        OffsetRect(&clipBounds_, -o.x, -o.y);

        RECT area = workRect_;
        OffsetRect(&area, -o.x, -o.y);
        const RECT bitmapArea = {0, 0, main_.Width(), main_.Height()};
        IntersectRect(&area, &area, &bitmapArea);
        if (!IsRectEmpty(&clipBounds_)) IntersectRect(&area, &area, &clipBounds_);
        if (!IsRectEmpty(&area)) {
            FillInfo fill = {};
            fill.FillType = FillPattern;
            fill.PatternBitmap = work_.Bitmap();
            fill.PatternOriginX = workRect_.left - o.x;
            fill.PatternOriginY = workRect_.top - o.y;
            fill.OutlineType = OutlineNone;
            GdiFlush();
            DrawPolyBezierTiled(main_.Bitmap(), &area, clipSegments_, clipCount_, nullptr, nullptr, &fill, 0, 1,
                                nullptr, 0);
        }
    }
    work_.Free();
    clipSegments_ = nullptr;
    clipCount_ = 0;
    return S_OK;
}

STDMETHODIMP CTarnCanvas::Paint(HDC hdcDest, RECT rectUpdate, long bPrinter, double fRotateAngle, long bHFlip,
                                long bVFlip) {
    HDC dc = main_.Dc();
    if (!dc) return E_FAIL;
    if (IsRectEmpty(&rectUpdate)) {
        rectUpdate = VisibleArea();
        if (IsRectEmpty(&rectUpdate)) return S_OK;
    }

    // A listener may add areas while it redraws: the live list is walked, never more than its cap.
    for (current_ = 0; current_ < dirty_.Count(); ++current_) {
        RECT area = dirty_.At(current_);
        if (IsRectEmpty(&area)) continue;
        HRGN saved = CreateRectRgn(0, 0, 0, 0);
        const bool hadClip = GetClipRgn(dc, saved) == 1;
        IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
        ForEachSink([&area](ITarnViewEvents* sink) { sink->UpdateCanvas(&area); });
        SelectClipRgn(dc, hadClip ? saved : nullptr);
        DeleteObject(saved);
    }
    ValidateRect(nullptr);

    if (bPrinter) return PaintToPrinter(hdcDest, fRotateAngle, bHFlip, bVFlip);
    if (TargetBitsPerPixel(hdcDest) == 16) return PaintDithered(hdcDest, rectUpdate);
    const BOOL copied = BitBlt(hdcDest, rectUpdate.left, rectUpdate.top, rectUpdate.right - rectUpdate.left,
                               rectUpdate.bottom - rectUpdate.top, dc, rectUpdate.left, rectUpdate.top, SRCCOPY);
    return copied ? S_OK : E_OUTOFMEMORY;
}

HRESULT CTarnCanvas::PaintToPrinter(HDC hdcDest, double angle, long bHFlip, long bVFlip) {
    const bool halfTurn = IsHalfTurn(angle);
    const bool h = (bHFlip != 0) != halfTurn, v = (bVFlip != 0) != halfTurn;
    GdiFlush();
    ImagingBitmap* bitmap = main_.Bitmap();
    if (h && v)
        RotateHalfTurn(bitmap);
    else if (h)
        MirrorLeftToRight(bitmap);
    else if (v)
        MirrorTopToBottom(bitmap);

    // Printer drivers take device-independent pixels; a memory context's blit may not reach them.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bitmap->Width;
    info.bmiHeader.biHeight = -bitmap->Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const POINT o = Offset();
    ImagingAccessScope access(bitmap);
    if (!access.ok()) return E_OUTOFMEMORY;
    const int lines = StretchDIBits(hdcDest, o.x, o.y, bitmap->Width, bitmap->Height, 0, 0, bitmap->Width,
                                    bitmap->Height, bitmap->Addr, &info, DIB_RGB_COLORS, SRCCOPY);
    return lines > 0 ? S_OK : E_OUTOFMEMORY;
}

HRESULT CTarnCanvas::PaintDithered(HDC hdcDest, const RECT& area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    CCanvasBitmap shallow;
    if (!shallow.Create(width, height, 16)) return E_OUTOFMEMORY;
    GdiFlush();
    if (!DitherTo555(shallow.Bitmap(), 0, 0, width, height, main_.Bitmap(), area.left, area.top, Offset()))
        return E_OUTOFMEMORY;
    return BitBlt(hdcDest, area.left, area.top, width, height, shallow.Dc(), 0, 0, SRCCOPY) ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CTarnCanvas::FreeBitmap() {
    if (main_.IsAllocated()) main_.Free();
    dirty_.Clear();
    return S_OK;
}

STDMETHODIMP CTarnCanvas::SetOffset(POINT newOffset, long docopy) {
    HDC dc = main_.Dc();
    if (!dc) return E_FAIL;
    const RECT before = VisibleArea();
    const POINT old = Offset();
    SetViewportOrgEx(dc, -newOffset.x, -newOffset.y, nullptr);
    if (old.x == newOffset.x && old.y == newOffset.y) return S_OK;
    const RECT after = VisibleArea();
    RECT kept;
    if (!docopy || !IntersectRect(&kept, &before, &after)) return Invalidate();

    if (main_.IsAllocated()) {
        GdiFlush();
        MoveBitmapBlock(main_.Bitmap(), kept.left - old.x, kept.top - old.y, kept.right - kept.left,
                        kept.bottom - kept.top, kept.left - newOffset.x, kept.top - newOffset.y);
    }
    dirty_.KeepInside(after);
    const RECT band = after.left < kept.left ? RECT{after.left, after.top, kept.left, after.bottom}
                                             : RECT{kept.right, after.top, after.right, after.bottom};
    const RECT strip = after.top < kept.top ? RECT{kept.left, after.top, kept.right, kept.top}
                                            : RECT{kept.left, kept.bottom, kept.right, after.bottom};
    AddDirty(band);
    AddDirty(strip);
    return S_OK;
}

STDMETHODIMP CTarnCanvas::GetOffset(POINT* offset) {
    if (!offset) return E_POINTER;
    if (!main_.Dc()) return E_FAIL;
    *offset = Offset();
    return S_OK;
}

STDMETHODIMP CTarnCanvas::GetWorkOffset(POINT* offset) {
    if (!work_.Dc()) return GetOffset(offset);
    if (!offset) return E_POINTER;
    *offset = POINT{workRect_.left, workRect_.top - 1};
    return S_OK;
}

STDMETHODIMP CTarnCanvas::InvalidateRect(RECT* pRect) {
    if (!pRect) return E_POINTER;
    AddDirty(*pRect);
    return S_OK;
}

STDMETHODIMP CTarnCanvas::ValidateRect(RECT*) {
    dirty_.Clear();
    current_ = -1;
    return S_OK;
}

STDMETHODIMP CTarnCanvas::Invalidate() {
    if (!main_.IsAllocated() || !main_.Dc()) return E_FAIL;
    dirty_.Reset(VisibleArea());
    return S_OK;
}

STDMETHODIMP CTarnCanvas::IsCurrentRectTheLastOne() {
    return dirty_.Count() == current_ + 1 ? S_FALSE : S_OK;
}

STDMETHODIMP CTarnCanvas::SetClipPolybezier(SegmentDesc* segments, long nSegs, RECT* bounds) {
    clipSegments_ = segments;
    clipCount_ = segments ? nSegs : 0;
    clipBounds_ = bounds ? *bounds : RECT{};
    return S_OK;
}

STDMETHODIMP CTarnCanvas::GetClippingBounds(RECT* bounds) {
    if (!bounds) return E_POINTER;
    *bounds = VisibleArea();
    if (!IsRectEmpty(&clipBounds_)) IntersectRect(bounds, bounds, &clipBounds_);
    return S_OK;
}

STDMETHODIMP CTarnCanvas::InterfaceSupportsErrorInfo(REFIID iid) {
    return IsEqualIID(iid, IID_ITarnCanvas) ? S_OK : S_FALSE;
}
