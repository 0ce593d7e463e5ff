// The rule that decides which way text runs along a path it is fitted to.
#include <cmath>

#include "CurveGeometry.h"
#include "render/BezierGeometry.h"

namespace {

constexpr double kRootTolerance = 1e-8;

// A cubic in power basis: c[0] t^3 + c[1] t^2 + c[2] t + c[3].
struct Cubic {
    double c[4];
    Cubic(double p0, double p1, double p2, double p3)
        : c{-p0 + 3 * p1 - 3 * p2 + p3, 3 * p0 - 6 * p1 + 3 * p2, -3 * p0 + 3 * p1, p0} {}
    double At(double t) const { return ((c[0] * t + c[1]) * t + c[2]) * t + c[3]; }
};

// Roots of the cubic minus level inside [0, 1].
int CrossingsOf(const Cubic& u, double level, double roots[3]) {
    double found[3];
    const int n = SolveCubic(u.c[0], u.c[1], u.c[2], u.c[3] - level, found, kRootTolerance);
    int kept = 0;
    for (int i = 0; i < n; ++i)
        if (found[i] >= 0 && found[i] <= 1) roots[kept++] = found[i];
    return kept;
}

// The crossing of a level with the smallest v over all segments.
struct Crossing {
    bool found = false;
    double v = 0;
    PathPosition at;
    void Offer(double candidateV, int index, double t) {
        if (!found || candidateV < v) {
            found = true;
            v = candidateV;
            at = {index, t};
        }
    }
};

// Coordinates across (u) and along (v) the axis from the text's middle towards the path's centre.
struct Axis {
    double nx, ny;
    tagPointF mid;
    double U(tagPointF q) const { return nx * (q.y - mid.y) - ny * (q.x - mid.x); }
    double V(tagPointF q) const { return nx * (q.x - mid.x) + ny * (q.y - mid.y); }
    Cubic UOf(const tagPointF* p) const { return Cubic(U(p[0]), U(p[1]), U(p[2]), U(p[3])); }
    Cubic VOf(const tagPointF* p) const { return Cubic(V(p[0]), V(p[1]), V(p[2]), V(p[3])); }
};

}  // namespace

int ComputeCentroidAxisExtent(const tagPointF* points, int n, tagPointF ends[2]) {
    if (!points || n < 4 || !ends) return 1;
    const tagPointF a = ends[0], b = ends[1];
    // The mean of the points, the closing point left out.
    tagPointF centre{0, 0};
    for (int i = 0; i < n - 1; ++i) {
        centre.x += points[i].x;
        centre.y += points[i].y;
    }
    centre.x /= (n - 1);
    centre.y /= (n - 1);
    const tagPointF mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
    const double dx = centre.x - mid.x, dy = centre.y - mid.y, d2 = dx * dx + dy * dy;
    const Axis axis{d2 > 1e-6 ? dx / std::sqrt(d2) : 0, d2 > 1e-6 ? dy / std::sqrt(d2) : 0, mid};
    const double uA = axis.U(a), uB = axis.U(b);

    double lowest = 1e60, highest = -1e60;
    PathPosition lowestAt, highestAt;
    Crossing crossA, crossB;
    auto note = [&](double u, int index, double t) {
        if (u < lowest) { lowest = u; lowestAt = {index, t}; }
        if (u > highest) { highest = u; highestAt = {index, t}; }
    };
    for (int k = 0; k + 3 < n; k += 3) {
        const Cubic u = axis.UOf(points + k), v = axis.VOf(points + k);
        note(u.At(0), k, 0);
        note(u.At(1), k, 1);
        double extremes[2];
        const int m = SolveQuadratic(3 * u.c[0], 2 * u.c[1], u.c[2], extremes, kRootTolerance);
        for (int i = 0; i < m; ++i)
            if (extremes[i] >= 0 && extremes[i] <= 1) note(u.At(extremes[i]), k, extremes[i]);
        double roots[3];
        for (int i = 0, r = CrossingsOf(u, uA, roots); i < r; ++i) crossA.Offer(v.At(roots[i]), k, roots[i]);
        for (int i = 0, r = CrossingsOf(u, uB, roots); i < r; ++i) crossB.Offer(v.At(roots[i]), k, roots[i]);
    }
    const PathPosition posA = crossA.found ? crossA.at : (uA >= uB ? highestAt : lowestAt);
    const PathPosition posB = crossB.found ? crossB.at : (uA > uB ? lowestAt : highestAt);
    ends[0] = posA.Stored();
    ends[1] = posB.Stored();

    const double lo = std::fmax(lowest, std::fmin(uA, uB)), hi = std::fmin(highest, std::fmax(uA, uB));
    const double level = (lo + hi) / 2;
    Crossing crossX;
    for (int k = 0; k + 3 < n; k += 3) {
        const Cubic u = axis.UOf(points + k), v = axis.VOf(points + k);
        double roots[3];
        for (int i = 0, r = CrossingsOf(u, level, roots); i < r; ++i) crossX.Offer(v.At(roots[i]), k, roots[i]);
    }
    // Without a crossing at the level, X stays at the path's start: a consistent answer.
    const PathPosition posX = crossX.found ? crossX.at : PathPosition{};
    double dX = posX.Linear() - posA.Linear(), dB = posB.Linear() - posA.Linear();
    if (dX < 0) dX += n;
    if (dB < 0) dB += n;
    return dX < dB ? 1 : 0;
}
