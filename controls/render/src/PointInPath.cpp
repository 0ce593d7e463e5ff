#include "render/PointInPath.h"

#include <utility>
#include <cmath>

#include "render/BezierGeometry.h"

namespace {

struct Cubic {
    double ax, bx, cx, x0, ay, by, cy, y0;
    double X(double t) const { return ((ax * t + bx) * t + cx) * t + x0; }
    double Y(double t) const { return ((ay * t + by) * t + cy) * t + y0; }
};

Cubic PowerBasis(const tagPointF& p0, const tagPointF& p1, const tagPointF& p2, const tagPointF& p3) {
    return {-p0.x + 3 * p1.x - 3 * p2.x + p3.x, 3 * p0.x - 6 * p1.x + 3 * p2.x, 3 * p1.x - 3 * p0.x, p0.x,
            -p0.y + 3 * p1.y - 3 * p2.y + p3.y, 3 * p0.y - 6 * p1.y + 3 * p2.y, 3 * p1.y - 3 * p0.y, p0.y};
}

// Parity of the crossings of one straight piece from (xa, ya) to (xb, yb) with the leftward ray.
bool LineCrosses(double xa, double ya, double xb, double yb, double px, double py) {
    if ((ya < py) == (yb < py)) return false;
    return xa + (xb - xa) * (py - ya) / (yb - ya) < px;
}

// Parity of the crossings of one cubic, piece by piece between the turning points of y(t).
bool CubicCrosses(const tagPointF& p0, const tagPointF& p1, const tagPointF& p2, const tagPointF& p3, double px,
                  double py) {
    const bool below[4] = {p0.y < py, p1.y < py, p2.y < py, p3.y < py};
    if (below[0] == below[1] && below[1] == below[2] && below[2] == below[3]) return false;
    if (p0.x >= px && p1.x >= px && p2.x >= px && p3.x >= px) return false;
    const Cubic c = PowerBasis(p0, p1, p2, p3);
    // Turning points of y in (0, 1), in order.
    double cuts[4] = {0, 0, 0, 1};
    int n = 1;
    double roots[2];
    const int found = SolveQuadratic(3 * c.ay, 2 * c.by, c.cy, roots, 0.0);
    if (found == 2 && roots[1] < roots[0]) std::swap(roots[0], roots[1]);
    for (int i = 0; i < found; ++i)
        if (roots[i] > 0 && roots[i] < 1 && roots[i] > cuts[n - 1]) cuts[n++] = roots[i];
    cuts[n++] = 1;
    bool parity = false;
    for (int i = 0; i + 1 < n; ++i) {
        double ta = cuts[i], tb = cuts[i + 1];
        // The ends of the curve are its own points, so that neighbouring segments agree on them.
        const double ya = i == 0 ? p0.y : c.Y(ta), yb = i + 2 == n ? p3.y : c.Y(tb);
        if ((ya < py) == (yb < py)) continue;
        // y is monotone on [ta, tb]: find its passage through py by regula falsi (Illinois steps).
        double fa = ya - py, fb = yb - py, t = 0.5 * (ta + tb);
        int kept = 0;
        for (int step = 0; step < 100 && tb - ta > 1e-14; ++step) {
            t = (ta * fb - tb * fa) / (fb - fa);
            if (!(t > ta && t < tb)) t = 0.5 * (ta + tb);
            const double ft = c.Y(t) - py;
            if (ft == 0) break;
            if ((ft < 0) == (fa < 0)) {
                ta = t, fa = ft;
                if (kept == -1) fb *= 0.5;
                kept = -1;
            } else {
                tb = t, fb = ft;
                if (kept == 1) fa *= 0.5;
                kept = 1;
            }
        }
        if (c.X(t) < px) parity = !parity;
    }
    return parity;
}

}  // namespace

int PtInPolyBezier(const tagPointF& point, const SegmentDesc* segments, int count) {
    if (!segments || count <= 0 || !std::isfinite(point.x) || !std::isfinite(point.y)) return 0;
    const double px = point.x, py = point.y;
    bool inside = false;
    for (int i = 0; i < count; ++i) {
        const SegmentDesc& s = segments[i];
        if (s.kind == SegmentLine) {
            if (LineCrosses(s.pt1.x, s.pt1.y, s.pt2.x, s.pt2.y, px, py)) inside = !inside;
        } else if (s.kind == SegmentCubic && i + 1 < count) {
            if (CubicCrosses(s.pt1, s.pt2, s.pt3, segments[i + 1].pt1, px, py)) inside = !inside;
        }
    }
    return inside ? 1 : 0;
}
