// What the smart cache answers besides drawing: hit and overlap tests on the kept coverage (or on
// the path without one), invalidation with the clients, the fast outline, comparison, command state.
#include <cmath>
#include <vector>

#include "RectCtrlSmartCache.h"
#include "ScopedLock.h"

namespace {
tagPointF Mapped(const double* m, const tagPointF& p) {
    return tagPointF{m[0] * p.x + m[1] * p.y + m[2], m[3] * p.x + m[4] * p.y + m[5]};
}

bool Holds(const tagRectF& r, const tagPointF& p) {
    return p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom;
}
}  // namespace

CRectCtrlSmartCache::CRectCtrlSmartCache() { UseCacheEffectPart(); }

CRectCtrlSmartCache::~CRectCtrlSmartCache() {
    // Neither side keeps a reference: each tells the other that it is gone.
    DetachFromOwners();
    for (IBaseControl* client : clients_)
        if (CRectCtrlSmartCache* impl = Implementation(client)) impl->ForgetOwner(this);
    clients_.clear();
    FreeCaches();
}

HRESULT CRectCtrlSmartCache::QueryControlInterface(REFIID iid, void** ppv) {
    void* found = nullptr;
    if (IsEqualIID(iid, IID_IRectCtrlSmartCache))
        found = static_cast<IRectCtrlSmartCache*>(this);
    else if (IsEqualIID(iid, IID_IRectCtrlSmartCacheDispatch))
        found = static_cast<IRectCtrlSmartCacheDispatch*>(this);
    if (!found) {
        if (QueryImplementation(iid, ppv) == S_OK) return S_OK;
        return CShapeControlBase::QueryControlInterface(iid, ppv);
    }
    *ppv = found;
    GetUnknown()->AddRef();
    return S_OK;
}

STDMETHODIMP CRectCtrlSmartCache::get_RectForAlignment(tagRectF* pVal) {
    if (!pVal) return E_POINTER;
    if (path_.Count() == 0) return get_Rect(pVal);
    *pVal = pathBounds_;
    return S_OK;
}

bool CRectCtrlSmartCache::CoverageServesTests(const CSmartCacheViewData* record, POINT& moved) {
    moved = POINT{0, 0};
    if (!cacheEnabled_ || !record || !record->coverage) return false;
    // The coverage shows the control where it was last drawn. A move since then shifts the test by
    // the whole pixels moved; any other change leaves the path to answer.
    CAffineMatrix m;
    transform_.ToMatrix(m);
    const CAffineMatrix& r = record->matrix;
    if (m.m[0] != r.m[0] || m.m[1] != r.m[1] || m.m[3] != r.m[3] || m.m[4] != r.m[4]) return false;
    const double k = record->scale;
    moved = POINT{static_cast<LONG>(std::lround(k * (m.m[2] - r.m[2]))), static_cast<LONG>(std::lround(k * (m.m[5] - r.m[5])))};
    return true;
}

STDMETHODIMP CRectCtrlSmartCache::ContainsPoint(tagPointF point, double maxDelta, ITarnViewEvents* view) {
    CScopedLock lock(SmartCacheLock());
    CSmartCacheViewData* record = view ? static_cast<CSmartCacheViewData*>(FindViewData(view, false)) : &ownRecord_;
    POINT moved;
    if (!CoverageServesTests(record, moved)) {
        if (CRectControlBase::ContainsPoint(point, 0, view) != S_OK) return S_FALSE;
        // Without the engine's point test the frame answers.
        if (path_.Count() == 0 || !engine_->ptInPolyBezier) return S_OK;
        for (int i = 0; i < path_.Count(); ++i) {
            const CHeapArrayItem& item = path_[i];
            if (item.segmentCount > 0 && Holds(item.pathBounds, point) &&
                engine_->ptInPolyBezier(point.x, point.y, item.segments, item.segmentCount))
                return S_OK;
        }
        return S_FALSE;
    }
    const double k = record->scale;
    const int x = static_cast<int>(std::lround(point.x * k)) - record->offset.x - moved.x;
    const int y = static_cast<int>(std::lround(point.y * k)) - record->offset.y - moved.y;
    const int radius = static_cast<int>(std::lround(maxDelta * k));
    return engine_->maskHitTest(record->coverage, x, y, radius) ? S_OK : S_FALSE;
}

STDMETHODIMP CRectCtrlSmartCache::OverlapsWithRect(tagRectF rect, ITarnViewEvents* view) {
    CScopedLock lock(SmartCacheLock());
    CSmartCacheViewData* record = view ? static_cast<CSmartCacheViewData*>(FindViewData(view, false)) : &ownRecord_;
    POINT moved;
    if (!CoverageServesTests(record, moved)) {
        lock.Unlock();
        return CRectControlBase::OverlapsWithRect(rect, view);
    }
    tagRectF bounds;
    get_BoundingRect(&bounds);
    if (bounds.left >= rect.left && bounds.right <= rect.right && bounds.top >= rect.top && bounds.bottom <= rect.bottom)
        return S_OK;
    const double k = record->scale;
    RECT pixels{static_cast<LONG>(std::lround(rect.left * k)) - record->offset.x,
                static_cast<LONG>(std::lround(rect.top * k)) - record->offset.y,
                static_cast<LONG>(std::lround(rect.right * k)) - record->offset.x + 1,
                static_cast<LONG>(std::lround(rect.bottom * k)) - record->offset.y + 1};
    OffsetRect(&pixels, -moved.x, -moved.y);
    return engine_->maskIntersectsRect(record->coverage, pixels) ? S_OK : S_FALSE;
}

STDMETHODIMP CRectCtrlSmartCache::Invalidate() {
    if (ignoreInvalidate_ || invalidating_) return S_OK;
    invalidating_ = true;  // clients that are owners of their owner must not loop
    tagRectF area;
    if (path_.Count() > 0)
        area = strokeBounds_;
    else
        get_BoundingRect(&area);
    FireInvalidate(area, 0);
    for (size_t i = 0; i < views_.size(); ++i)
        if (views_[i]->active) InvalidateUIShapesInView(views_[i]->view);
    if (pendingIndices_.empty())
        for (IBaseControl* client : std::vector<IBaseControl*>(clients_)) client->Invalidate();
    invalidating_ = false;
    return S_OK;
}

STDMETHODIMP CRectCtrlSmartCache::DrawOutlineFast(HDC hDC, tagDrawOptions* options, ITarnViewEvents* view,
                                                  double* matrix) {
    if (OutlineIsFrame()) return CRectControlBase::DrawOutlineFast(hDC, options, view, matrix);
    if (!options || !matrix) return E_POINTER;
    if (!hDC) return S_OK;
    CScopedLock lock(SmartCacheLock());
    POINT origin{0, 0};
    if (options->m_Canvas) options->m_Canvas->GetWorkOffset(&origin);
    const double k = options->ZoomValue * options->PixelsPerInch;
    auto toPixel = [&](const tagPointF& doc) {
        const tagPointF p = Mapped(matrix, doc);
        return POINT{static_cast<LONG>(std::lround(p.x * k)) - origin.x, static_cast<LONG>(std::lround(p.y * k)) - origin.y};
    };
    const int oldRop = SetROP2(hDC, R2_XORPEN);
    if (path_.Count() > kOutlineFramePaths) {
        tagPointF corners[4];
        Corners(corners);
        POINT points[5];
        for (int i = 0; i < 4; ++i) points[i] = toPixel(corners[i]);
        points[4] = points[0];
        HPEN pen = CreatePen(PS_DOT, 1, kFramePenColour);
        HGDIOBJ oldPen = SelectObject(hDC, pen);
        const int oldMode = SetBkMode(hDC, TRANSPARENT);
        Polyline(hDC, points, 5);
        SetBkMode(hDC, oldMode);
        SelectObject(hDC, oldPen);
        DeleteObject(pen);
    } else {
        std::vector<POINT> points;
        std::vector<BYTE> types;
        for (int i = 0; i < path_.Count(); ++i) {
            const CHeapArrayItem& item = path_[i];
            for (int s = 0; s < item.segmentCount; ++s) {
                const SegmentDesc& seg = item.segments[s];
                if (s == 0 || item.segments[s - 1].kind == kSegmentEnd) {
                    if (seg.kind == kSegmentEnd) continue;
                    points.push_back(toPixel(seg.pt1));
                    types.push_back(PT_MOVETO);
                }
                if (seg.kind == kSegmentEnd || s + 1 >= item.segmentCount) continue;
                const tagPointF& next = item.segments[s + 1].pt1;
                if (seg.kind == kSegmentBezier) {
                    points.push_back(toPixel(seg.pt2));
                    points.push_back(toPixel(seg.pt3));
                    points.push_back(toPixel(next));
                    types.insert(types.end(), {PT_BEZIERTO, PT_BEZIERTO, PT_BEZIERTO});
                } else {
                    points.push_back(toPixel(next));
                    types.push_back(PT_LINETO);
                }
            }
        }
        HGDIOBJ oldPen = SelectObject(hDC, GetStockObject(WHITE_PEN));
        if (!points.empty()) {
            if (engine_->polyDraw)
                engine_->polyDraw(hDC, points.data(), types.data(), static_cast<int>(points.size()));
            else
                PolyDraw(hDC, points.data(), types.data(), static_cast<int>(points.size()));
        }
        SelectObject(hDC, oldPen);
    }
    SetROP2(hDC, oldRop);
    return S_OK;
}

STDMETHODIMP CRectCtrlSmartCache::IsEqualTo(IUnknown* other) {
    if (!other) return S_FALSE;
    IRectangularControl* rect = nullptr;
    if (FAILED(other->QueryInterface(IID_IRectangularControl, reinterpret_cast<void**>(&rect)))) return S_FALSE;
    double xs = 0, ys = 0, ra = 0, sa = 0;
    tagPointF o{};
    rect->GetLinearTransformParams(&xs, &ys, &o, &ra, &sa);
    rect->Release();
    const CLinearTransform& t = transform_;
    const double mine[6] = {t.XScale, t.YScale, t.XOffset, t.YOffset, t.RotateAngle, t.SkewAngle};
    const double theirs[6] = {xs, ys, o.x, o.y, ra, sa};
    for (int i = 0; i < 6; ++i)
        if (!(std::fabs(mine[i] - theirs[i]) <= 1e-10)) return S_FALSE;
    CRectCtrlSmartCache* impl = Implementation(other);
    return impl && colorPart_->IsEqual(*impl->colorPart_, false) ? S_OK : S_FALSE;
}

STDMETHODIMP CRectCtrlSmartCache::Update(LONG_PTR command, LONG* enabled, LONG* checked, LONG* isRadioButton) {
    if (CDrawControlBase::Update(command, enabled, checked, isRadioButton) == S_OK) return S_OK;
    if (!enabled || !checked || !isRadioButton) return E_POINTER;
    *isRadioButton = 0;
    if (command == 20037) {
        *enabled = state_ != kStateSkewing;
        *checked = UpdateCheckFlag() ? 1 : 0;
        return S_OK;
    }
    *enabled = 1;
    *checked = 0;
    return S_FALSE;
}
