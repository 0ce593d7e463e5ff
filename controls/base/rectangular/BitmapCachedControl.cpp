#include "BitmapCachedControl.h"

#include <cmath>

#include "render/AlphaBlendBitmaps.h"

namespace {
bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

unsigned char AlphaAt(const ImagingBitmap& bitmap, int x, int y) {
    const unsigned char* p = ImagingPixelAddress(&bitmap, x, y);
    return p ? p[3] : 0;
}
}  // namespace

void CBitmapViewData::Free() {
    ImagingFreeBitmap(&bitmap);
    deviceSize = SIZE{0, 0};
    covered = RECT{0, 0, 0, 0};
}

CControlViewData* CBitmapCachedControl::CreateViewData(ITarnViewEvents* view) { return new CBitmapViewData(view); }

CBitmapViewData* CBitmapCachedControl::BitmapRecord(ITarnViewEvents* view) {
    return view ? static_cast<CBitmapViewData*>(FindViewData(view, true)) : nullptr;
}

RECT CBitmapCachedControl::DeviceBounds(double scale) {
    tagRectF b;
    get_BoundingRect(&b);
    return RECT{static_cast<LONG>(std::floor(b.left * scale)), static_cast<LONG>(std::floor(b.top * scale)),
                static_cast<LONG>(std::ceil(b.right * scale)), static_cast<LONG>(std::ceil(b.bottom * scale))};
}

bool CBitmapCachedControl::IsBitmapValid(const CBitmapViewData& record, const SIZE& size, const RECT& area) {
    RECT clipped = area;
    if (clipped.left < 0) clipped.left = 0;
    if (clipped.top < 0) clipped.top = 0;
    return record.HasBitmap() && record.deviceSize.cx == size.cx && record.deviceSize.cy == size.cy &&
           Inside(clipped, record.covered);
}

STDMETHODIMP CBitmapCachedControl::Draw(tagDrawOptions* options) {
    if (!options) return E_POINTER;
    if (!visible_) return S_OK;
    if (state_ == kStateFresh || !HasBitmapContent()) return CRectControlBase::Draw(options);
    ITarnCanvas* canvas = options->m_Canvas;
    long* work = nullptr;
    POINT workOffset{0, 0};
    if (!canvas || FAILED(canvas->GetWorkLeadBitmap(&work)) || !work || FAILED(canvas->GetWorkOffset(&workOffset)))
        return S_OK;
    const double k = options->ZoomValue * options->PixelsPerInch;
    if (!(k > 0) || !std::isfinite(k)) return S_OK;
    const RECT bounds = DeviceBounds(k);
    RECT area;
    if (!IntersectRect(&area, &bounds, &options->UpdateRect)) return S_OK;
    const POINT origin{bounds.left, bounds.top};
    const SIZE size{bounds.right - bounds.left, bounds.bottom - bounds.top};
    RECT relative = area;
    OffsetRect(&relative, -origin.x, -origin.y);

    ImagingBitmap temporary;
    ImagingInitBitmap(&temporary);
    ImagingBitmap* source = &temporary;
    RECT held = relative;  // what the source bitmap holds, relative to the origin
    if (CBitmapViewData* record = BitmapRecord(options->m_pCallingView)) {
        if (!IsBitmapValid(*record, size, relative) || record->scale != k) {
            record->Free();
            if (ImagingAllocateBitmap(&record->bitmap, relative.right - relative.left, relative.bottom - relative.top,
                                      32) != ImagingOk)
                return E_OUTOFMEMORY;
            record->deviceSize = size;
            record->covered = relative;
            record->scale = k;
            RenderIntoBitmap(record->bitmap, POINT{area.left, area.top}, k);
        }
        source = &record->bitmap;
        held = record->covered;
    } else {
        if (ImagingAllocateBitmap(&temporary, area.right - area.left, area.bottom - area.top, 32) != ImagingOk)
            return E_OUTOFMEMORY;
        // A fresh bitmap is all zero: transparent wherever the control leaves it.
        RenderIntoBitmap(temporary, POINT{area.left, area.top}, k);
    }
    AlphaBlendBitmapRects(reinterpret_cast<ImagingBitmap*>(work), area.left - workOffset.x, area.top - workOffset.y,
                          area.right - area.left, area.bottom - area.top, source, relative.left - held.left,
                          relative.top - held.top);
    ImagingFreeBitmap(&temporary);
    return S_OK;
}

STDMETHODIMP CBitmapCachedControl::FreeTemporaryData() {
    CRectControlBase::FreeTemporaryData();
    for (CControlViewData* record : views_) static_cast<CBitmapViewData*>(record)->Free();
    return S_OK;
}

STDMETHODIMP CBitmapCachedControl::ContainsPoint(tagPointF point, double maxDelta, ITarnViewEvents* view) {
    if (CRectControlBase::ContainsPoint(point, maxDelta, view) != S_OK) return S_FALSE;
    CBitmapViewData* record = view ? static_cast<CBitmapViewData*>(FindViewData(view, false)) : nullptr;
    if (!record || !HasBitmapContent()) return S_OK;
    tagRectF b;
    get_BoundingRect(&b);
    if (point.x < b.left || point.x > b.right || point.y < b.top || point.y > b.bottom) return S_FALSE;
    if (!record->HasBitmap()) return S_OK;
    const RECT bounds = DeviceBounds(record->scale);
    const int x = static_cast<int>(std::floor(point.x * record->scale)) - bounds.left - record->covered.left;
    const int y = static_cast<int>(std::floor(point.y * record->scale)) - bounds.top - record->covered.top;
    if (x < 0 || y < 0 || x >= record->bitmap.Width || y >= record->bitmap.Height) return S_OK;
    return AlphaAt(record->bitmap, x, y) ? S_OK : S_FALSE;
}

STDMETHODIMP CBitmapCachedControl::OverlapsWithRect(tagRectF rect, ITarnViewEvents* view) {
    if (CRectControlBase::OverlapsWithRect(rect, view) != S_OK) return S_FALSE;
    CBitmapViewData* record = view ? static_cast<CBitmapViewData*>(FindViewData(view, false)) : nullptr;
    if (!record || !record->HasBitmap()) return S_OK;
    const RECT bounds = DeviceBounds(record->scale);
    RECT pixels{static_cast<LONG>(std::floor(rect.left * record->scale)) - bounds.left - record->covered.left,
                static_cast<LONG>(std::floor(rect.top * record->scale)) - bounds.top - record->covered.top,
                static_cast<LONG>(std::ceil(rect.right * record->scale)) - bounds.left - record->covered.left + 1,
                static_cast<LONG>(std::ceil(rect.bottom * record->scale)) - bounds.top - record->covered.top + 1};
    const RECT all{0, 0, record->bitmap.Width, record->bitmap.Height};
    RECT meet;
    if (!IntersectRect(&meet, &pixels, &all)) return S_FALSE;
    for (int y = meet.top; y < meet.bottom; ++y)
        for (int x = meet.left; x < meet.right; ++x)
            if (AlphaAt(record->bitmap, x, y)) return S_OK;
    return S_FALSE;
}
