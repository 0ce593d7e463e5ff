#pragma once
#include <utility>

#include "PointF.h"

// A rectangle in document inches (left, top, right, bottom). It is not kept normalised:
// an inverted rectangle stays inverted until NormalizeRect.
class CRectF : public tagRectF {
public:
    CRectF() {}
    CRectF(double l, double t, double r, double b) { SetRect(l, t, r, b); }
    CRectF(const CPointF& topLeft, const CSizeF& size) { SetRect(topLeft, size); }
    CRectF(const CPointF& topLeft, const CPointF& bottomRight) { SetRect(topLeft, bottomRight); }
    CRectF(const RECT& r) { SetRect(r.left, r.top, r.right, r.bottom); }
    CRectF(const CRectF& r) { CopyRect(r); }
    CRectF(const tagRectF& r) { CopyRect(r); }

    CRectF& operator=(const CRectF& r) { CopyRect(r); return *this; }
    CRectF& operator=(const tagRectF& r) { CopyRect(r); return *this; }

    void SetRect(double l, double t, double r, double b) { left = l; top = t; right = r; bottom = b; }
    void SetRect(const CPointF& topLeft, const CSizeF& size)
    {
        SetRect(topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy);
    }
    void SetRect(const CPointF& topLeft, const CPointF& bottomRight)
    {
        SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
    }
    void CopyRect(const tagRectF& r) { SetRect(r.left, r.top, r.right, r.bottom); }
    void SetRectEmpty() { SetRect(0.0, 0.0, 0.0, 0.0); }

    // The corners are the first and the last two doubles of the record.
    CPointF& TopLeft() { return *reinterpret_cast<CPointF*>(&left); }
    const CPointF& TopLeft() const { return *reinterpret_cast<const CPointF*>(&left); }
    CPointF& BottomRight() { return *reinterpret_cast<CPointF*>(&right); }
    const CPointF& BottomRight() const { return *reinterpret_cast<const CPointF*>(&right); }

    double Width() const { return right - left; }
    double Height() const { return bottom - top; }
    CSizeF Size() const { return CSizeF(right - left, bottom - top); }
    CPointF CenterPoint() const { return CPointF((left + right) * 0.5, (top + bottom) * 0.5); }

    int intLeft() const { return __round(left); }
    int intTop() const { return __round(top); }
    int intRight() const { return __round(right); }
    int intBottom() const { return __round(bottom); }
    // The difference is rounded, not the difference of the rounded edges.
    int intWidth() const { return __round(right - left); }
    int intHeight() const { return __round(bottom - top); }
    SIZE intSize() const { return SIZE{intWidth(), intHeight()}; }
    POINT intTopLeft() const { return POINT{intLeft(), intTop()}; }
    POINT intRightBottom() const { return POINT{intRight(), intBottom()}; }
    RECT intRect() const { return RECT{intLeft(), intTop(), intRight(), intBottom()}; }

    long long int64_Left() const { return RoundHalfAwayFromZero64(left); }
    long long int64_Top() const { return RoundHalfAwayFromZero64(top); }
    long long int64_Right() const { return RoundHalfAwayFromZero64(right); }
    long long int64_Bottom() const { return RoundHalfAwayFromZero64(bottom); }
    long long int64_Width() const { return RoundHalfAwayFromZero64(right - left); }
    long long int64_Height() const { return RoundHalfAwayFromZero64(bottom - top); }

    bool EqualRect(const tagRectF& r) const
    {
        return std::fabs(left - r.left) < kGeometryTolerance && std::fabs(top - r.top) < kGeometryTolerance &&
               std::fabs(right - r.right) < kGeometryTolerance &&
               std::fabs(bottom - r.bottom) < kGeometryTolerance;
    }
    bool operator==(const tagRectF& r) const { return EqualRect(r); }
    bool operator!=(const tagRectF& r) const { return !EqualRect(r); }

    void InflateRect(double l, double t, double r, double b)
    {
        left -= l;
        top -= t;
        right += r;
        bottom += b;
    }
    void InflateRect(double dx, double dy) { InflateRect(dx, dy, dx, dy); }
    void InflateRect(const CSizeF& d) { InflateRect(d.cx, d.cy, d.cx, d.cy); }
    void InflateRect(const CRectF& d) { InflateRect(d.left, d.top, d.right, d.bottom); }
    void DeflateRect(double l, double t, double r, double b)
    {
        left += l;
        top += t;
        right -= r;
        bottom -= b;
    }
    void DeflateRect(double dx, double dy) { DeflateRect(dx, dy, dx, dy); }
    void DeflateRect(const CSizeF& d) { DeflateRect(d.cx, d.cy, d.cx, d.cy); }
    void DeflateRect(const CRectF& d) { DeflateRect(d.left, d.top, d.right, d.bottom); }

    void OffsetRect(double dx, double dy)
    {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    void OffsetRect(const CSizeF& d) { OffsetRect(d.cx, d.cy); }

    CRectF operator*(const double& k) const { return CRectF(left * k, top * k, right * k, bottom * k); }
    CRectF& operator*=(const double& k)
    {
        left *= k;
        top *= k;
        right *= k;
        bottom *= k;
        return *this;
    }

    // Inverted rectangles are empty as well.
    bool IsRectEmpty() const
    {
        return right - left < kGeometryTolerance || bottom - top < kGeometryTolerance;
    }
    bool IsRectNull() const
    {
        return std::fabs(left) < kGeometryTolerance && std::fabs(top) < kGeometryTolerance &&
               std::fabs(right) < kGeometryTolerance && std::fabs(bottom) < kGeometryTolerance;
    }
    // All four edges count as inside, with the tolerance.
    bool PtInRect(const tagPointF& p) const
    {
        return left - p.x < kGeometryTolerance && top - p.y < kGeometryTolerance &&
               right - p.x > -kGeometryTolerance && bottom - p.y > -kGeometryTolerance;
    }
    void NormalizeRect()
    {
        if (left - right > kGeometryTolerance)
            std::swap(left, right);
        if (top - bottom > kGeometryTolerance)
            std::swap(top, bottom);
    }

    // Either argument may be this rectangle itself.
    void UnionRect(const tagRectF& a, const tagRectF& b)
    {
        const CRectF ra(a), rb(b);
        if (ra.IsRectEmpty()) {
            CopyRect(rb);
        } else if (rb.IsRectEmpty()) {
            CopyRect(ra);
        } else {
            UnionNotEmptyRect(ra, rb);
        }
    }
    void UnionNotEmptyRect(const tagRectF& a, const tagRectF& b)
    {
        const CRectF ra(a), rb(b);
        left = ra.left < rb.left ? ra.left : rb.left;
        top = ra.top < rb.top ? ra.top : rb.top;
        right = ra.right > rb.right ? ra.right : rb.right;
        bottom = ra.bottom > rb.bottom ? ra.bottom : rb.bottom;
    }
    // An empty result keeps its computed, possibly inverted, coordinates.
    int IntersectRect(const tagRectF& a, const tagRectF& b)
    {
        const CRectF ra(a), rb(b);
        left = ra.left > rb.left ? ra.left : rb.left;
        top = ra.top > rb.top ? ra.top : rb.top;
        right = ra.right < rb.right ? ra.right : rb.right;
        bottom = ra.bottom < rb.bottom ? ra.bottom : rb.bottom;
        return IsRectEmpty() ? 0 : 1;
    }
    CRectF& operator&=(const tagRectF& r) { IntersectRect(*this, r); return *this; }
    CRectF operator&(const tagRectF& r) const
    {
        CRectF result;
        result.IntersectRect(*this, r);
        return result;
    }
    CRectF& operator|=(const tagRectF& r) { UnionRect(*this, r); return *this; }
    CRectF operator|(const tagRectF& r) const
    {
        CRectF result;
        result.UnionRect(*this, r);
        return result;
    }

    // The largest rectangle of width : height = ratio centred in r.
    void InscribeRect(const tagRectF& r, double ratio)
    {
        const CRectF outer(r);
        const double w = outer.right - outer.left;
        const double h = outer.bottom - outer.top;
        CRectF inner = w >= h * ratio ? CRectF(0.0, 0.0, h * ratio, h) : CRectF(0.0, 0.0, w, w / ratio);
        const CPointF shift = outer.CenterPoint() - inner.CenterPoint();
        inner.OffsetRect(shift.x, shift.y);
        CopyRect(inner);
    }
};
