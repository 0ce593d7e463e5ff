#include "tarn/LinearTransform.h"

#include <cmath>

namespace {
const double kPi = 3.14159265358979323846;
const double kHalfPi = kPi / 2.0;
const double kTwoPi = 2.0 * kPi;

double Cross(const tagPointF& origin, const tagPointF& to, const tagPointF& p) {
    return (to.x - origin.x) * (p.y - origin.y) - (to.y - origin.y) * (p.x - origin.x);
}

bool StrictlySameSide(double a, double b) { return (a > 0 && b > 0) || (a < 0 && b < 0); }
}  // namespace

void CLinearTransform::ToMatrix(CAffineMatrix& out) const {
    out = CAffineMatrix(std::cos(RotateAngle) * XScale, std::sin(SkewAngle - RotateAngle) * YScale, XOffset,
                        std::sin(RotateAngle) * XScale, std::cos(SkewAngle - RotateAngle) * YScale, YOffset,
                        0.0, 0.0, 1.0);
}

void CLinearTransform::MapPoint(const tagPointF& in, tagPointF& out) const {
    const double x = in.x, y = in.y;
    const double sx = x * XScale, sy = y * YScale;
    out.x = std::cos(RotateAngle) * sx + std::sin(SkewAngle - RotateAngle) * sy + XOffset;
    out.y = std::sin(RotateAngle) * sx + std::cos(SkewAngle - RotateAngle) * sy + YOffset;
}

tagPointF* CLinearTransform::MapPoints(int n, const tagPointF* in, tagPointF* out) const {
    if (n < 1) return nullptr;
    const double c0 = std::cos(RotateAngle) * XScale, c1 = std::sin(SkewAngle - RotateAngle) * YScale;
    const double c3 = std::sin(RotateAngle) * XScale, c4 = std::cos(SkewAngle - RotateAngle) * YScale;
    for (int i = 0; i < n; ++i) {
        const double x = in[i].x, y = in[i].y;
        out[i].x = c0 * x + c1 * y + XOffset;
        out[i].y = c3 * x + c4 * y + YOffset;
    }
    return out;
}

void CLinearTransform::GetCorners(tagPointF out[4]) const {
    static const tagPointF frame[4] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    MapPoints(4, frame, out);
}

void CLinearTransform::SetFromCorners(const tagPointF p[4]) {
    XOffset = (p[0].x + p[2].x) / 2.0;
    YOffset = (p[0].y + p[2].y) / 2.0;
    const double vx = (p[1].x + p[2].x) / 2.0 - XOffset;
    const double vy = (p[1].y + p[2].y) / 2.0 - YOffset;
    const double a = std::atan2(vy, vx);
    const double length = std::sqrt(vx * vx + vy * vy);
    double h = kHalfPi - (std::atan2(p[2].y - p[1].y, p[2].x - p[1].x) - a);
    const double ex = p[2].x - p[1].x, ey = p[2].y - p[1].y;
    YScale = std::sqrt(ex * ex + ey * ey) / 2.0;
    if (h > kHalfPi) {
        h -= kPi;
        RotateAngle = a + kPi;
        XScale = -length;
    } else if (h >= -kHalfPi) {
        RotateAngle = a;
        XScale = length;
    } else {
        h += kPi;
        RotateAngle = a + kPi;
        XScale = -length;
    }
    SkewAngle = h;
    Normalize();
}

void CLinearTransform::Normalize() {
    if (!(YScale >= 0.0)) {
        YScale = -YScale;
        XScale = -XScale;
        RotateAngle += kPi;
    }
    if (SkewAngle >= kHalfPi || SkewAngle <= -kHalfPi) SkewAngle -= kTwoPi * std::round(SkewAngle / kTwoPi);
    if (SkewAngle > kHalfPi) {
        SkewAngle -= kPi;
        XScale = -XScale;
        RotateAngle += kPi;
    } else if (SkewAngle < -kHalfPi) {
        SkewAngle += kPi;
        XScale = -XScale;
        RotateAngle += kPi;
    }
    if (RotateAngle < 0.0 || RotateAngle >= kTwoPi) RotateAngle -= kTwoPi * std::floor(RotateAngle / kTwoPi);
}

CAffineMatrix CLinearTransform::GetRelativeMatrix(const CLinearTransform& from, const CLinearTransform& to) {
    CAffineMatrix result, inverse;
    to.ToMatrix(result);
    from.ToMatrix(inverse);
    inverse.Invert();  // a singular placement stays as it is
    return result.Multiply(inverse);
}

tagRectF GetQuadBoundingRect(const tagPointF quad[4]) {
    tagRectF r{quad[0].x, quad[0].y, quad[0].x, quad[0].y};
    for (int i = 1; i < 4; ++i) {
        r.left = std::fmin(r.left, quad[i].x);
        r.top = std::fmin(r.top, quad[i].y);
        r.right = std::fmax(r.right, quad[i].x);
        r.bottom = std::fmax(r.bottom, quad[i].y);
    }
    return r;
}

bool IsPointInQuad(const tagPointF quad[4], const tagPointF& point) {
    bool allEqual = true;
    for (int i = 1; i < 4; ++i)
        if (quad[i].x != quad[0].x || quad[i].y != quad[0].y) allEqual = false;
    if (allEqual) return point.x == quad[0].x && point.y == quad[0].y;

    int positive = 0;
    for (int i = 0; i < 4; ++i) {
        const tagPointF& p0 = quad[i];
        const tagPointF& p1 = quad[(i + 1) % 4];
        const double v = (point.y - p0.y) * (p1.x - p0.x) - (p1.y - p0.y) * (point.x - p0.x);
        if (v > 0) ++positive;  // zero counts with the negatives
    }
    return positive == 0 || positive == 4;
}

bool SegmentsIntersect(const tagPointF& a, const tagPointF& b, const tagPointF& c, const tagPointF& d) {
    if (StrictlySameSide(Cross(a, b, c), Cross(a, b, d))) return false;
    if (StrictlySameSide(Cross(c, d, a), Cross(c, d, b))) return false;
    return true;
}

bool QuadIntersectsRect(const tagPointF quad[4], const tagRectF& rect) {
    for (int i = 0; i < 4; ++i)
        if (quad[i].x >= rect.left && quad[i].x <= rect.right && quad[i].y >= rect.top && quad[i].y <= rect.bottom)
            return true;
    const tagPointF corners[4] = {
        {rect.left, rect.top}, {rect.right, rect.top}, {rect.right, rect.bottom}, {rect.left, rect.bottom}};
    for (const tagPointF& corner : corners)
        if (IsPointInQuad(quad, corner)) return true;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (SegmentsIntersect(quad[i], quad[(i + 1) % 4], corners[j], corners[(j + 1) % 4])) return true;
    return false;
}

void SkewQuadAboutCentre(tagPointF quad[4], double coeff, double skewX, double skewY, double dx, double dy) {
    const double cx = (quad[0].x + quad[2].x) / 2.0, cy = (quad[0].y + quad[2].y) / 2.0;
    for (int i = 0; i < 4; ++i) {
        const double px = quad[i].x - cx, py = quad[i].y - cy;
        quad[i].x = cx + coeff * (px + py * skewX) + dx;
        quad[i].y = cy + coeff * (py + px * skewY) + dy;
    }
}
