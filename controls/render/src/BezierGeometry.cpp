#include "render/BezierGeometry.h"

#include <algorithm>
#include <cmath>

#include "EngineTables.h"

namespace {

struct Power {
    double a, b, c, d;   // x(t) = ((a t + b) t + c) t + d
    double At(double t) const { return ((a * t + b) * t + c) * t + d; }
};

Power PowerBasis(double p0, double p1, double p2, double p3)
{
    return {-p0 + 3 * p1 - 3 * p2 + p3, 3 * p0 - 6 * p1 + 3 * p2, 3 * p1 - 3 * p0, p0};
}

// Roots of the derivative c + 2 b t + 3 a t^2 strictly inside (0, 1). The zero tests differ per
// caller: squared-magnitude thresholds, or exact comparisons when threshold is negative.
int DerivativeRoots(const Power& p, double threshold, double roots[2])
{
    const bool aNonZero = threshold < 0 ? p.a != 0 : p.a * p.a > threshold;
    const bool bNonZero = threshold < 0 ? p.b != 0 : p.b * p.b > threshold;
    double r[2];
    int n = 0;
    if (aNonZero) {
        const double disc = p.b * p.b - 3 * p.a * p.c;
        if (disc >= 0) {
            const double s = std::sqrt(disc);
            r[n++] = (s - p.b) / (3 * p.a);
            r[n++] = (-p.b - s) / (3 * p.a);
        }
    } else if (bNonZero) {
        r[n++] = -p.c / (2 * p.b);
    }
    int kept = 0;
    for (int i = 0; i < n; ++i)
        if (r[i] > 0 && r[i] < 1) roots[kept++] = r[i];
    return kept;
}

void Widen(tagRectF& box, double x, double y)
{
    box.left = std::min(box.left, x);
    box.right = std::max(box.right, x);
    box.top = std::min(box.top, y);
    box.bottom = std::max(box.bottom, y);
}

// Direction at an end of a cubic, falling back to higher derivatives when the curve stops there.
// A curve collapsed to a point has none: (0, 0).
void EndDirection(const Power& px, const Power& py, bool atEnd, double& dx, double& dy)
{
    if (atEnd) {
        dx = px.c + 2 * px.b + 3 * px.a;
        dy = py.c + 2 * py.b + 3 * py.a;
        if (dx == 0 && dy == 0) { dx = 2 * px.b + 6 * px.a; dy = 2 * py.b + 6 * py.a; }
    } else {
        dx = px.c;
        dy = py.c;
        if (dx == 0 && dy == 0) { dx = px.b; dy = py.b; }
    }
    if (dx == 0 && dy == 0) { dx = px.a; dy = py.a; }
}

// Adds the two offset points of a cap at (x, y) across direction (dx, dy); without a direction the
// cap could point anywhere, so the square of half width h around the point stands in for it.
void AddCap(tagRectF& box, double x, double y, double dx, double dy, double h)
{
    const double len = std::sqrt(dx * dx + dy * dy);
    if (!(len > 0) || !std::isfinite(len)) {
        Widen(box, x - h, y - h);
        Widen(box, x + h, y + h);
        return;
    }
    const double k = h / len;
    box.left = std::min(box.left, std::min(x + k * dy, x - k * dy));
    box.right = std::max(box.right, std::max(x + k * dy, x - k * dy));
    box.top = std::min(box.top, std::min(y + k * dx, y - k * dx));
    box.bottom = std::max(box.bottom, std::max(y + k * dx, y - k * dx));
}

} // namespace

void GetBezierBoundingBox(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3,
                          tagRectF& box, bool accumulate)
{
    double xmin = std::min(x0, x3), xmax = std::max(x0, x3);
    double ymin = std::min(y0, y3), ymax = std::max(y0, y3);
    if (accumulate) {
        xmin = std::min(box.left, xmin);
        xmax = std::max(box.right, xmax);
        ymin = std::min(box.top, ymin);
        ymax = std::max(box.bottom, ymax);
    }
    const Power px = PowerBasis(x0, x1, x2, x3), py = PowerBasis(y0, y1, y2, y3);
    double roots[2];
    for (int i = 0, n = DerivativeRoots(px, 1e-16, roots); i < n; ++i) {
        const double v = px.At(roots[i]);
        xmin = std::min(xmin, v);
        xmax = std::max(xmax, v);
    }
    for (int i = 0, n = DerivativeRoots(py, 1e-16, roots); i < n; ++i) {
        const double v = py.At(roots[i]);
        ymin = std::min(ymin, v);
        ymax = std::max(ymax, v);
    }
    box.left = xmin;
    box.top = ymin;
    box.right = xmax;
    box.bottom = ymax;
}

void GetBezierXExtremes(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3,
                        double out[4])
{
    double leastX, leastY, greatX, greatY;
    if (x0 >= x3) { greatX = x0; greatY = y0; leastX = x3; leastY = y3; }
    else { leastX = x0; leastY = y0; greatX = x3; greatY = y3; }
    const Power px = PowerBasis(x0, x1, x2, x3), py = PowerBasis(y0, y1, y2, y3);
    double roots[2];
    for (int i = 0, n = DerivativeRoots(px, -1, roots); i < n; ++i) {
        const double x = px.At(roots[i]), y = py.At(roots[i]);
        if (x < leastX) { leastX = x; leastY = y; }
        if (x > greatX) { greatX = x; greatY = y; }
    }
    out[0] = leastX; out[1] = leastY; out[2] = greatX; out[3] = greatY;
}

void GetBezierBoundsWithStroke(double x0, double y0, double x1, double y1, double x2, double y2, double x3,
                               double y3, double h, tagRectF& box, bool accumulate, StrokedCubicInfo* info)
{
    if (accumulate) {
        box.left = std::min(box.left, 1e60);
        box.top = std::min(box.top, 1e60);
        box.right = std::max(box.right, -1e60);
        box.bottom = std::max(box.bottom, -1e60);
    } else {
        box.left = box.top = 1e60;
        box.right = box.bottom = -1e60;
    }
    const Power px = PowerBasis(x0, x1, x2, x3), py = PowerBasis(y0, y1, y2, y3);
    double roots[2];
    for (int i = 0, n = DerivativeRoots(px, -1, roots); i < n; ++i) {
        const double x = px.At(roots[i]);
        box.right = std::max(box.right, x + h);
        box.left = std::min(box.left, x - h);
    }
    for (int i = 0, n = DerivativeRoots(py, -1, roots); i < n; ++i) {
        const double y = py.At(roots[i]);
        box.bottom = std::max(box.bottom, y + h);
        box.top = std::min(box.top, y - h);
    }
    double dx, dy;
    EndDirection(px, py, true, dx, dy);
    AddCap(box, x3, y3, dx, dy, h);
    EndDirection(px, py, false, dx, dy);
    AddCap(box, x0, y0, dx, dy, h);
    if (info) {
        info->ax = px.a; info->bx = px.b; info->cx = px.c;
        info->ay = py.a; info->by = py.b; info->cy = py.c;
        const double len = std::sqrt(dx * dx + dy * dy);
        const double k = len > 0 && std::isfinite(len) ? h / len : 0.0;
        info->startDirX = k * dx;
        info->startDirY = k * dy;
    }
}

void GetPathBounds(const SegmentDesc* segments, int count, tagRectF& box, bool accumulate, bool controlPoints)
{
    if (count <= 0 || !segments) {
        if (!accumulate) box = {0, 0, 0, 0};
        return;
    }
    if (!accumulate) {
        box.left = box.top = 1e20;
        box.right = box.bottom = -1e20;
    }
    for (int i = 0; i < count; ++i) {
        const SegmentDesc& s = segments[i];
        Widen(box, s.pt1.x, s.pt1.y);
        if (s.kind != SegmentCubic) continue;
        if (controlPoints || i + 1 >= count) {
            Widen(box, s.pt2.x, s.pt2.y);
            Widen(box, s.pt3.x, s.pt3.y);
        } else {
            const tagPointF& e = segments[i + 1].pt1;
            GetBezierBoundingBox(s.pt1.x, s.pt1.y, s.pt2.x, s.pt2.y, s.pt3.x, s.pt3.y, e.x, e.y, box, true);
        }
    }
}

namespace {

// Miter allowance at corner (x, y) between incoming direction p and reversed outgoing direction v,
// both of length h (e = h^2).
void JoinTip(tagRectF& box, double x, double y, double px, double py, double vx, double vy, double e)
{
    if (px * px + py * py == 0 || vx * vx + vy * vy == 0) return;   // no direction: no corner
    const double dot = px * vx + py * vy;
    if (!(dot > -0.923 * e && dot < 0.923 * e)) return;
    const double mx = px + vx, my = py + vy;
    const double g = (e - dot) * (mx * mx + my * my) / 2;
    if (g > 0) {
        const double k = e / std::sqrt(g);
        Widen(box, x + mx * k, y + my * k);
    }
}

} // namespace

void GetSegmentsBoundsWithStroke(const SegmentDesc* segments, int count, double strokeWidth, tagRectF& box,
                                 bool closed, bool controlPoints)
{
    if (strokeWidth == 0) {
        GetPathBounds(segments, count, box, true, controlPoints);
        return;
    }
    const double h = strokeWidth / 2, e = h * h;
    if (count < 1 || !segments) return;
    bool atStart = true;
    double px = 0, py = 0, sx = 0, sy = 0, qx = 0, qy = 0;
    for (int i = 0; i < count; ++i) {
        const SegmentDesc& s = segments[i];
        const double ax = s.pt1.x, ay = s.pt1.y;
        if (s.kind == SegmentLine) {
            const double bx = s.pt2.x, by = s.pt2.y;
            const double len = std::sqrt((bx - ax) * (bx - ax) + (by - ay) * (by - ay));
            const double k = len >= 1e-5 ? h / len : 0.0;
            const double vx = k * (ax - bx), vy = k * (ay - by);
            if (!atStart) JoinTip(box, ax, ay, px, py, vx, vy, e);
            else { sx = vx; sy = vy; }
            px = -vx; py = -vy;
            Widen(box, ax + py, ay - px);
            Widen(box, ax - py, ay + px);
            Widen(box, bx + py, by - px);
            Widen(box, bx - py, by + px);
            qx = bx; qy = by;
            atStart = false;
        } else if (s.kind == SegmentCubic) {
            if (i + 1 >= count) break;   // a cubic needs the next record's end point
            const tagPointF& end = segments[i + 1].pt1;
            StrokedCubicInfo info;
            GetBezierBoundsWithStroke(ax, ay, s.pt2.x, s.pt2.y, s.pt3.x, s.pt3.y, end.x, end.y, h, box, true, &info);
            const double vx = -info.startDirX, vy = -info.startDirY;
            if (!atStart) JoinTip(box, ax, ay, px, py, vx, vy, e);
            else { sx = vx; sy = vy; }
            const double dx = info.cx + 2 * info.bx + 3 * info.ax, dy = info.cy + 2 * info.by + 3 * info.ay;
            const double len = std::sqrt(dx * dx + dy * dy);
            if (len > 0 && std::isfinite(len)) { px = dx * h / len; py = dy * h / len; }
            else { px = py = 0; }
            qx = end.x; qy = end.y;
            atStart = false;
        } else if (s.kind == SegmentEnd) {
            if (closed && px * px + py * py > 1e-8) JoinTip(box, qx, qy, px, py, sx, sy, e);
            atStart = true;
        }
    }
}

double GetBezierLength(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3, int n)
{
    if (n <= 0) return 0;
    const Power px = PowerBasis(x0, x1, x2, x3), py = PowerBasis(y0, y1, y2, y3);
    const double step = 1.0 / n;
    double t = 0, lx = x0, ly = y0, total = 0;
    for (int i = 0; i < n; ++i) {
        t += step;
        const double x = px.At(t), y = py.At(t);
        total += std::sqrt((x - lx) * (x - lx) + (y - ly) * (y - ly));
        lx = x;
        ly = y;
    }
    return total;
}

int SolveQuadratic(double a, double b, double c, double roots[2], double eps)
{
    if (std::fabs(a) > eps) {
        const double disc = b * b - 4 * a * c;
        if (disc < 0) return 0;
        const double r = 1 / (2 * a), s = std::sqrt(disc);
        roots[0] = r * (s - b);
        roots[1] = r * (-b - s);
        return 2;
    }
    if (b != 0) {
        roots[0] = -c / b;
        return 1;
    }
    return 0;
}

namespace {
double SignedCubeRoot(double z)
{
    if (z == 0) return 0;
    return z > 0 ? std::pow(z, 1.0 / 3.0) : -std::pow(-z, 1.0 / 3.0);
}
} // namespace

int SolveCubic(double a, double b, double c, double d, double roots[3], double eps)
{
    if (std::fabs(a) < eps) return SolveQuadratic(b, c, d, roots, 1e-8);
    const double g = b / a, f = c / a;
    const double p3 = (f - g * g / 3) / 3;
    const double q = 2 * (g / 3) * (g / 3) * (g / 3) - f * g / 3 + d / a;
    const double disc = (q / 2) * (q / 2) + p3 * p3 * p3;
    const double s = g / 3;
    if (disc > 0) {
        const double sq = std::sqrt(disc);
        roots[0] = SignedCubeRoot(sq - q / 2) + SignedCubeRoot(-q / 2 - sq) - s;
        return 1;
    }
    const double x = -q / 2, rho = std::sqrt(-disc);
    const double phi = std::atan2(rho, x) / 3;
    const double r2 = x * x + rho * rho;
    const double m = r2 == 0 ? 0 : std::pow(r2, 1.0 / 6.0);
    const double cc = m * std::cos(phi), nn = m * std::sin(phi);
    const double sqrt3 = EngineTables::Get().sqrt3;
    roots[0] = 2 * cc - s;
    roots[1] = sqrt3 * nn - cc - s;
    roots[2] = -cc - sqrt3 * nn - s;
    return 3;
}
