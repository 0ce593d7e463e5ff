#include "ShapeControlBase.h"

#include <cmath>

#include "ScopedLock.h"
#include "render/FillInfo.h"

namespace {
const double kEmpty = 1e60;

void Unite(tagRectF& into, const tagRectF& r) {
    into.left = std::fmin(into.left, r.left);
    into.top = std::fmin(into.top, r.top);
    into.right = std::fmax(into.right, r.right);
    into.bottom = std::fmax(into.bottom, r.bottom);
}

void Shift(tagRectF& r, double dx, double dy) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
}

void MapPoint(const CAffineMatrix& m, tagPointF& p) {
    const double x = p.x, y = p.y;
    p.x = m.m[0] * x + m.m[1] * y + m.m[2];
    p.y = m.m[3] * x + m.m[4] * y + m.m[5];
}
}  // namespace

CRITICAL_SECTION& ShapePathLock() {
    static CCriticalSectionObject holder;
    return holder.lock;
}

CShapeControlBase::CShapeControlBase()
    : colorPart_(new CColorPart), effectPart_(new CEffectPart), engine_(&DefaultShapeEngine()) {
    for (double& v : gradientCache_) v = -kEmpty;
}

CShapeControlBase::~CShapeControlBase() {
    devicePath_.Clear();
    path_.Clear();
}

void CShapeControlBase::BuildLocalPath(CHeapArray&) {}

void CShapeControlBase::OnChanged(bool propertiesChanged) {
    if (propertiesChanged) pathChanged_ = true;
    RebuildPath(false);
}

void CShapeControlBase::RebuildPath(bool force) {
    CScopedLock lock(ShapePathLock());
    tagRectF pathBox{kEmpty, kEmpty, -kEmpty, -kEmpty};
    tagRectF strokeBox = pathBox;
    CAffineMatrix m;
    transform_.ToMatrix(m);
    const bool linearChanged = !pathBuilt_ || m.m[0] != pathMatrix_.m[0] || m.m[1] != pathMatrix_.m[1] ||
                               m.m[3] != pathMatrix_.m[3] || m.m[4] != pathMatrix_.m[4];
    // A pure move shifts the path: only this layer's own change flag forces the rebuild (the cache
    // above keeps flags of its own).
    if (force || CShapeControlBase::IsPathModified() || linearChanged) {
        BuildLocalPath(path_);
        const double strokeWidth = colorPart_->StrokeWidth();
        if (transformFlag_) {
            effectPart_->ApplyToSegments(path_);
            for (int i = 0; i < path_.Count(); ++i) {
                CHeapArrayItem& item = path_[i];
                for (int s = 0; s < item.segmentCount; ++s) {
                    SegmentDesc& seg = item.segments[s];
                    MapPoint(m, seg.pt1);
                    MapPoint(m, seg.pt2);
                    if (seg.kind == kSegmentBezier) MapPoint(m, seg.pt3);
                }
            }
        }
        for (int i = 0; i < path_.Count(); ++i) {
            CHeapArrayItem& item = path_[i];
            if (!item.segments || item.segmentCount <= 0) {
                item.pathBounds = item.strokeBounds = tagRectF{kEmpty, kEmpty, -kEmpty, -kEmpty};
                continue;
            }
            engine_->getPathBounds(item.segments, item.segmentCount, item.pathBounds);
            item.strokeBounds = item.pathBounds;
            if (strokeWidth != 0.0)
                engine_->getSegmentsBoundsWithStroke(item.segments, item.segmentCount, strokeWidth, item.strokeBounds,
                                                     !outlineFlag_);
            Unite(pathBox, item.pathBounds);
            Unite(strokeBox, item.strokeBounds);
        }
        pathChanged_ = false;
    } else {
        // Only the translation changed: everything moves by the same amount.
        const double dx = m.m[2] - pathMatrix_.m[2], dy = m.m[5] - pathMatrix_.m[5];
        Shift(pathBounds_, dx, dy);
        Shift(strokeBounds_, dx, dy);
        for (int i = 0; i < path_.Count(); ++i) {
            CHeapArrayItem& item = path_[i];
            for (int s = 0; s < item.segmentCount; ++s) {
                SegmentDesc& seg = item.segments[s];
                seg.pt1.x += dx, seg.pt1.y += dy;
                seg.pt2.x += dx, seg.pt2.y += dy;
                seg.pt3.x += dx, seg.pt3.y += dy;
            }
            Shift(item.pathBounds, dx, dy);
            Shift(item.strokeBounds, dx, dy);
        }
        pathBox = pathBounds_;
        strokeBox = strokeBounds_;
    }
    strokeBounds_ = strokeBox;
    pathBounds_ = pathBox;
    pathMatrix_ = m;
    pathBuilt_ = true;
}

HRESULT CShapeControlBase::HasPathData() { return path_.Count() > 0 ? S_OK : E_FAIL; }

STDMETHODIMP CShapeControlBase::get_FilledRect(tagRectF* pVal) {
    if (!pVal) return E_POINTER;
    get_Rect(pVal);
    if (path_.Count() > 0 && pathBounds_.left <= pathBounds_.right) Unite(*pVal, pathBounds_);
    return S_OK;
}

STDMETHODIMP CShapeControlBase::Draw(tagDrawOptions*) { return S_OK; }

POINT CShapeControlBase::RequestOrigin(const tagDrawOptions& options) {
    POINT origin{0, 0};
    // Thumbnails and printing come without a view: the canvas knows where its pixels start.
    if (options.m_Canvas && SUCCEEDED(options.m_Canvas->GetOffset(&origin))) return origin;
    if (options.m_pCallingView) {
        POINT zero;
        if (SUCCEEDED(DocToViewPoint(options.m_pCallingView, tagPointF{0, 0}, zero))) origin = POINT{-zero.x, -zero.y};
    }
    return origin;
}

HRESULT CShapeControlBase::MakeDevicePath(const tagDrawOptions& options) {
    const double k = options.ZoomValue * options.PixelsPerInch;
    if (IsRectEmpty(&options.UpdateRect) || path_.Count() == 0 || !(k > 0) || !std::isfinite(k)) return S_FALSE;
    const POINT origin = RequestOrigin(options);
    if (!devicePath_.SetCount(path_.Count(), 1)) return E_OUTOFMEMORY;
    for (int i = 0; i < path_.Count(); ++i) {
        const CHeapArrayItem& from = path_[i];
        CHeapArrayItem& to = devicePath_[i];
        if (!devicePath_.AllocItems(i, from.segmentCount)) return E_OUTOFMEMORY;
        for (int s = 0; s < from.segmentCount; ++s) {
            const SegmentDesc& a = from.segments[s];
            SegmentDesc& b = to.segments[s];
            b.kind = a.kind;
            b.pt1 = tagPointF{k * a.pt1.x - origin.x, k * a.pt1.y - origin.y};
            b.pt2 = tagPointF{k * a.pt2.x - origin.x, k * a.pt2.y - origin.y};
            b.pt3 = a.kind == kSegmentBezier ? tagPointF{k * a.pt3.x - origin.x, k * a.pt3.y - origin.y} : a.pt3;
        }
        to.pathBounds = from.pathBounds;
        to.strokeBounds = from.strokeBounds;
    }
    deviceOrigin_ = origin;
    deviceScale_ = k;
    return S_OK;
}


HRESULT CShapeControlBase::LoadProperties(CTarnPropertyBag& bag) {
    HRESULT hr = colorPart_->LoadProperties(bag);
    if (FAILED(hr)) return hr;
    hr = CRectControlBase::LoadProperties(bag);
    pathChanged_ = true;
    return hr;
}

HRESULT CShapeControlBase::SaveProperties(IStream* stream) {
    HRESULT hr = CRectControlBase::SaveProperties(stream);
    if (SUCCEEDED(hr)) hr = colorPart_->SaveProperties(stream);
    return hr;
}
