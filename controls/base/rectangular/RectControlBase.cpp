// The placement values, their getters and setters, the geometric IBaseControl operations and the
// layer's saved records.
#include "RectControlBase.h"

#include <cmath>

namespace {
const double kPi = 3.14159265358979323846;
const double kHalfPi = kPi / 2.0;
const double kTwoPi = 2.0 * kPi;
const double kTiny = 1e-10;

bool Finite(double v) { return std::isfinite(v); }

// A skew of +-pi/2 makes the frame flat: the determinant of the placement is sx*sy*cos(skew).
bool SkewIsFlat(double reduced) { return std::fabs(std::fabs(reduced) - kHalfPi) < kTiny; }

// Halves away from zero, as the reduction of a skew angle wants.
double RoundAway(double v) { return v < 0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5); }

// A frame whose corners make a parallelogram of (nearly) no area cannot be inverted.
bool CornersAreFlat(const tagPointF c[4]) {
    const double ax = c[1].x - c[0].x, ay = c[1].y - c[0].y;
    const double bx = c[3].x - c[0].x, by = c[3].y - c[0].y;
    const double area = ax * by - ay * bx;
    const double scale = std::fmax(ax * ax + ay * ay, bx * bx + by * by);
    return !Finite(area) || std::fabs(area) <= 1e-12 * scale || scale == 0.0;
}

bool TransformIsUsable(const CLinearTransform& t) {
    if (!Finite(t.XOffset) || !Finite(t.YOffset) || !Finite(t.XScale) || !Finite(t.YScale) ||
        !Finite(t.RotateAngle) || !Finite(t.SkewAngle))
        return false;
    tagPointF corners[4];
    t.GetCorners(corners);
    return !CornersAreFlat(corners);
}
}  // namespace

tagPointF HandleAnchor(const tagRectF& r, int i) {
    const double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
    switch (i) {
    case 0: return tagPointF{r.left, r.top};
    case 1: return tagPointF{cx, r.top};
    case 2: return tagPointF{r.right, r.top};
    case 3: return tagPointF{r.right, cy};
    case 4: return tagPointF{r.right, r.bottom};
    case 5: return tagPointF{cx, r.bottom};
    case 6: return tagPointF{r.left, r.bottom};
    case 7: return tagPointF{r.left, cy};
    default: return tagPointF{cx, cy};
    }
}

CRectControlBase::CRectControlBase() = default;
CRectControlBase::~CRectControlBase() = default;

HRESULT CRectControlBase::QueryControlInterface(REFIID iid, void** ppv) {
    void* found = nullptr;
    if (IsEqualIID(iid, IID_IRectangularControl))
        found = static_cast<IRectangularControl*>(this);
    else if (IsEqualIID(iid, IID_IRectangularControlDispatch))
        found = static_cast<IRectangularControlDispatch*>(this);
    if (!found) return CDrawControlBase::QueryControlInterface(iid, ppv);
    *ppv = found;
    GetUnknown()->AddRef();
    return S_OK;
}

// The change sequence ----------------------------------------------------------------------------------

void CRectControlBase::ChangeTail(const CLinearTransform& old) {
    OnTransformChanged(old);
    SetModified(true);
    FreeTemporaryData();
    Invalidate();
}

void CRectControlBase::OnTransformChanged(const CLinearTransform&) { OnChanged(false); }

// IRectangularControl ------------------------------------------------------------------------------------

STDMETHODIMP CRectControlBase::get_XScale(double* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = transform_.XScale;
    return S_OK;
}

STDMETHODIMP CRectControlBase::put_XScale(double newVal) {
    if (!(std::fabs(newVal) >= kTiny) || !Finite(newVal)) return E_INVALIDARG;
    ChangeTransform([&] { StoreXScale(newVal); }, false);
    return S_OK;
}

STDMETHODIMP CRectControlBase::get_YScale(double* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = transform_.YScale;
    return S_OK;
}

STDMETHODIMP CRectControlBase::put_YScale(double newVal) {
    if (!(std::fabs(newVal) >= kTiny) || !Finite(newVal)) return E_INVALIDARG;
    ChangeTransform([&] { StoreYScale(newVal); }, false);
    return S_OK;
}

STDMETHODIMP CRectControlBase::get_RotateAngle(double* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = transform_.RotateAngle;
    return S_OK;
}

STDMETHODIMP CRectControlBase::put_RotateAngle(double newVal) {
    if (!Finite(newVal)) return E_INVALIDARG;
    ChangeTransform([&] { StoreRotateAngle(newVal); }, false);
    return S_OK;
}

STDMETHODIMP CRectControlBase::get_SkewAngle(double* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = transform_.SkewAngle;
    return S_OK;
}

STDMETHODIMP CRectControlBase::put_SkewAngle(double newVal) {
    if (!Finite(newVal)) return E_INVALIDARG;
    // Only whole turns come off: 2.0 stays 2.0, 3*pi/2 becomes -pi/2.
    if (newVal >= kHalfPi || newVal <= -kHalfPi) newVal -= kTwoPi * RoundAway(newVal / kTwoPi);
    if (SkewIsFlat(newVal)) return E_INVALIDARG;
    ChangeTransform([&] { StoreSkewAngle(newVal); }, false);
    return S_OK;
}

STDMETHODIMP CRectControlBase::get_RotationPoint(tagPointF* pVal) {
    if (!pVal) return E_POINTER;
    transform_.MapPoint(defRotationPoint_, *pVal);
    return S_OK;
}

STDMETHODIMP CRectControlBase::put_RotationPoint(tagPointF newVal) {
    // A flat frame has no inverse: the point could not be kept in frame coordinates.
    if (!Finite(newVal.x) || !Finite(newVal.y) || !TransformIsUsable(transform_)) return E_INVALIDARG;
    Invalidate();
    StoreRotationPoint(newVal.x, newVal.y);
    SetModified(true);
    Invalidate();
    return S_OK;
}

STDMETHODIMP CRectControlBase::GetLinearTransformParams(double* xScale, double* yScale, tagPointF* offset,
                                                        double* rotateAngle, double* skewAngle) {
    if (xScale) *xScale = transform_.XScale;
    if (yScale) *yScale = transform_.YScale;
    if (offset) *offset = tagPointF{transform_.XOffset, transform_.YOffset};
    if (rotateAngle) *rotateAngle = transform_.RotateAngle;
    if (skewAngle) *skewAngle = transform_.SkewAngle;
    return S_OK;
}

STDMETHODIMP CRectControlBase::SetLinearTransformParams(double xScale, double yScale, tagPointF offset,
                                                        double rotateAngle, double skewAngle) {
    const CLinearTransform wanted(offset.x, offset.y, xScale, yScale, rotateAngle, skewAngle);
    if (!TransformIsUsable(wanted)) return E_INVALIDARG;
    Invalidate();
    PutLinearTransform(xScale, yScale, offset.x, offset.y, rotateAngle, skewAngle);
    SetModified(true);
    FreeTemporaryData();
    Invalidate();
    return S_OK;
}

// Store operations ------------------------------------------------------------------------------------------

void CRectControlBase::StoreXScale(double value) { transform_.XScale = value; }
void CRectControlBase::StoreYScale(double value) { transform_.YScale = value; }
void CRectControlBase::StoreRotateAngle(double value) { transform_.RotateAngle = value; }
void CRectControlBase::StoreSkewAngle(double value) { transform_.SkewAngle = value; }

void CRectControlBase::StoreRotationPoint(double x, double y) {
    CAffineMatrix inverse;
    transform_.ToMatrix(inverse);
    if (inverse.Invert() == 0.0) return;
    inverse.TransformPoint(tagPointF{x, y}, defRotationPoint_);
}

void CRectControlBase::PutLinearTransform(double xScale, double yScale, double xOffset, double yOffset,
                                          double rotateAngle, double skewAngle) {
    const CLinearTransform old = transform_;
    transform_ = CLinearTransform(xOffset, yOffset, xScale, yScale, rotateAngle, skewAngle);
    OnTransformChanged(old);
}

// Frame geometry ---------------------------------------------------------------------------------------------

STDMETHODIMP CRectControlBase::get_CenterPoint(tagPointF* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = tagPointF{transform_.XOffset, transform_.YOffset};
    return S_OK;
}

STDMETHODIMP CRectControlBase::get_Rect(tagRectF* pVal) {
    if (!pVal) return E_POINTER;
    tagPointF corners[4];
    Corners(corners);
    *pVal = GetQuadBoundingRect(corners);
    return S_OK;
}

STDMETHODIMP CRectControlBase::get_BoundingRect(tagRectF* pVal) { return get_Rect(pVal); }
STDMETHODIMP CRectControlBase::get_FilledRect(tagRectF* pVal) { return get_Rect(pVal); }
STDMETHODIMP CRectControlBase::get_RectForAlignment(tagRectF* pVal) { return get_Rect(pVal); }
STDMETHODIMP CRectControlBase::get_FrameRect(tagRectF* pVal) { return get_Rect(pVal); }

STDMETHODIMP CRectControlBase::put_Rect(tagRectF newVal) {
    Invalidate();
    const CLinearTransform old = transform_;
    const HRESULT hr = FitToRect(newVal);
    if (FAILED(hr)) return hr;
    ChangeTail(old);
    return S_OK;
}

HRESULT CRectControlBase::FitToRect(const tagRectF& r) {
    if (!Finite(r.left) || !Finite(r.top) || !Finite(r.right) || !Finite(r.bottom)) return E_INVALIDARG;
    if (std::fabs(r.right - r.left) < kTiny || std::fabs(r.bottom - r.top) < kTiny) return E_INVALIDARG;
    tagPointF corners[4];
    Corners(corners);
    const tagRectF b = GetQuadBoundingRect(corners);
    if (CornersAreFlat(corners) || b.right - b.left < kTiny || b.bottom - b.top < kTiny) {
        // A flat frame has no shape to stretch: it gets the rectangle itself, axis-aligned.
        const tagPointF fresh[4] = {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
        transform_.SetFromCorners(fresh);
        return S_OK;
    }
    for (tagPointF& c : corners) {
        c.x = r.left + (r.right - r.left) * (c.x - b.left) / (b.right - b.left);
        c.y = r.top + (r.bottom - r.top) * (c.y - b.top) / (b.bottom - b.top);
    }
    transform_.SetFromCorners(corners);
    return S_OK;
}

HRESULT CRectControlBase::RotateTransform(double angle, const tagPointF& p) {
    if (!Finite(angle) || !Finite(p.x) || !Finite(p.y)) return E_INVALIDARG;
    ChangeTransform(
        [&] {
            const double c = std::cos(angle), s = std::sin(angle);
            const double dx = transform_.XOffset - p.x, dy = transform_.YOffset - p.y;
            transform_.XOffset = p.x + c * dx - s * dy;
            transform_.YOffset = p.y + c * dy + s * dx;
            transform_.RotateAngle += angle;
        },
        true);
    return S_OK;
}

STDMETHODIMP CRectControlBase::RotateBy(double angle, tagPointF refPoint) { return RotateTransform(angle, refPoint); }

STDMETHODIMP CRectControlBase::RotateBy180() {
    ChangeTransform([&] { transform_.RotateAngle += kPi; }, true);
    return S_OK;
}

HRESULT CRectControlBase::SkewFrame(double coeff, double kx, double ky, double rx, double ry) {
    tagPointF corners[4];
    Corners(corners);
    const double cx = (corners[0].x + corners[2].x) / 2.0, cy = (corners[0].y + corners[2].y) / 2.0;
    const double mx = rx + coeff * ((cx - rx) + kx * (cy - ry));
    const double my = ry + coeff * ((cy - ry) + ky * (cx - rx));
    SkewQuadAboutCentre(corners, coeff, kx, ky, mx - cx, my - cy);
    if (CornersAreFlat(corners)) return E_INVALIDARG;
    transform_.SetFromCorners(corners);
    return S_OK;
}

STDMETHODIMP CRectControlBase::SkewBy(double coeff, double skewX, double skewY, tagPointF refPoint) {
    // A skew whose determinant coeff^2 * (1 - kx*ky) vanishes would flatten the frame for good.
    const double determinant = coeff * coeff * (1.0 - skewX * skewY);
    if (!Finite(determinant) || std::fabs(determinant) < 1e-12 || !Finite(refPoint.x) || !Finite(refPoint.y))
        return E_INVALIDARG;
    tagPointF corners[4];
    Corners(corners);
    {
        const CLinearTransform saved = transform_;
        const HRESULT hr = SkewFrame(coeff, skewX, skewY, refPoint.x, refPoint.y);
        transform_ = saved;
        if (FAILED(hr)) return hr;
    }
    ChangeTransform([&] { SkewFrame(coeff, skewX, skewY, refPoint.x, refPoint.y); }, false);
    return S_OK;
}

STDMETHODIMP CRectControlBase::MoveBy(tagSizeF offset) {
    if (!Finite(offset.cx) || !Finite(offset.cy)) return E_INVALIDARG;
    ChangeTransform(
        [&] {
            transform_.XOffset += offset.cx;
            transform_.YOffset += offset.cy;
        },
        false);
    return S_OK;
}

HRESULT CRectControlBase::ScaleFrame(double sx, double sy) {
    tagPointF corners[4];
    Corners(corners);
    for (tagPointF& c : corners) {
        c.x = transform_.XOffset + sx * (c.x - transform_.XOffset);
        c.y = transform_.YOffset + sy * (c.y - transform_.YOffset);
    }
    if (CornersAreFlat(corners)) return E_INVALIDARG;
    transform_.SetFromCorners(corners);
    return S_OK;
}

STDMETHODIMP CRectControlBase::ScaleBy(double scaleX, double scaleY) {
    // Scaling by zero (or nearly) would leave a frame with no inverse.
    if (!Finite(scaleX) || !Finite(scaleY) || std::fabs(scaleX) < kTiny || std::fabs(scaleY) < kTiny)
        return E_INVALIDARG;
    ChangeTransform([&] { ScaleFrame(scaleX, scaleY); }, false);
    return S_OK;
}

STDMETHODIMP CRectControlBase::FlipHorizontally() {
    ChangeTransform(
        [&] {
            transform_.XScale = -transform_.XScale;
            transform_.RotateAngle = -transform_.RotateAngle;
            transform_.SkewAngle = -transform_.SkewAngle;
        },
        true);
    return S_OK;
}

STDMETHODIMP CRectControlBase::FlipVertically() {
    ChangeTransform(
        [&] {
            transform_.YScale = -transform_.YScale;
            transform_.RotateAngle = -transform_.RotateAngle;
            transform_.SkewAngle = -transform_.SkewAngle;
        },
        true);
    return S_OK;
}

STDMETHODIMP CRectControlBase::ContainsPoint(tagPointF point, double, ITarnViewEvents*) {
    tagPointF corners[4];
    Corners(corners);
    return IsPointInQuad(corners, point) ? S_OK : S_FALSE;
}

STDMETHODIMP CRectControlBase::OverlapsWithRect(tagRectF r, ITarnViewEvents* view) {
    if (r.left == r.right && r.top == r.bottom) return ContainsPoint(tagPointF{r.left, r.top}, 0, view);
    tagPointF corners[4];
    Corners(corners);
    return QuadIntersectsRect(corners, r) ? S_OK : S_FALSE;
}

// Persistence ------------------------------------------------------------------------------------------------

HRESULT CRectControlBase::SaveProperties(IStream* stream) {
    HRESULT hr = CDrawControlBase::SaveProperties(stream);
    if (SUCCEEDED(hr)) hr = __SaveProp(stream, kRecordXOffset, &transform_.XOffset, sizeof(double));
    if (SUCCEEDED(hr)) hr = __SaveProp(stream, kRecordYOffset, &transform_.YOffset, sizeof(double));
    if (SUCCEEDED(hr)) hr = __SaveProp(stream, kRecordXScale, &transform_.XScale, sizeof(double));
    if (SUCCEEDED(hr)) hr = __SaveProp(stream, kRecordYScale, &transform_.YScale, sizeof(double));
    if (SUCCEEDED(hr)) hr = __SaveProp(stream, kRecordRotateAngle, &transform_.RotateAngle, sizeof(double));
    if (SUCCEEDED(hr)) hr = __SaveProp(stream, kRecordShearAngle, &transform_.SkewAngle, sizeof(double));
    if (SUCCEEDED(hr)) hr = __SaveProp(stream, kRecordDefRotationPoint, &defRotationPoint_, sizeof(tagPointF));
    return hr;
}

HRESULT CRectControlBase::LoadProperties(CTarnPropertyBag& bag) {
    // A record shorter than its field is not a value of that field: the field keeps what it had.
    auto load = [&](const char* name, long id, void* field, ULONG size) {
        const void* data = nullptr;
        ULONG found = 0;
        if (bag.FindProperty(name, id, data, found) && found >= size) std::memcpy(field, data, size);
    };
    CLinearTransform loaded = transform_;
    tagPointF rotationPoint = defRotationPoint_;
    load("XOffset", kRecordXOffset, &loaded.XOffset, sizeof(double));
    load("YOffset", kRecordYOffset, &loaded.YOffset, sizeof(double));
    load("XScale", kRecordXScale, &loaded.XScale, sizeof(double));
    load("YScale", kRecordYScale, &loaded.YScale, sizeof(double));
    load("RotateAngle", kRecordRotateAngle, &loaded.RotateAngle, sizeof(double));
    load("ShearAngle", kRecordShearAngle, &loaded.SkewAngle, sizeof(double));
    load("DefRotationPoint", kRecordDefRotationPoint, &rotationPoint, sizeof(tagPointF));
    // A damaged file must not leave a frame that cannot be drawn, hit or inverted.
    if (!TransformIsUsable(loaded) || !Finite(rotationPoint.x) || !Finite(rotationPoint.y))
        return STG_E_DOCFILECORRUPT;
    transform_ = loaded;
    defRotationPoint_ = rotationPoint;
    return CDrawControlBase::LoadProperties(bag);
}
