#include "render/SegmentIntersection.h"

#include <algorithm>
#include <cmath>

#include "geometry/NumericHelpers.h"
#include "render/BezierGeometry.h"

namespace {

constexpr double kMargin = 1e-8;
// Crossings closer than this in both parameters are one crossing.
constexpr double kSameCrossing = 1e-7;
constexpr int kMarchSteps = 128;
constexpr int kMarchedLimit = 8;

struct Vec {
    double x, y;
};
Vec Sub(const tagPointF& a, const tagPointF& b) { return {a.x - b.x, a.y - b.y}; }
double Cross(Vec a, Vec b) { return a.x * b.y - a.y * b.x; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y; }
bool Same(const tagPointF& a, const tagPointF& b) { return a.x == b.x && a.y == b.y; }
bool Near(const tagPointF& a, const tagPointF& b) { return std::fabs(a.x - b.x) < 1e-10 && std::fabs(a.y - b.y) < 1e-10; }

// A cubic in the power basis: x(t) = ((ax t + bx) t + cx) t + x0, likewise y.
struct PowerCubic {
    double ax, bx, cx, x0, ay, by, cy, y0;
    explicit PowerCubic(const tagPointF p[4])
        : ax(-p[0].x + 3 * p[1].x - 3 * p[2].x + p[3].x), bx(3 * p[0].x - 6 * p[1].x + 3 * p[2].x),
          cx(3 * p[1].x - 3 * p[0].x), x0(p[0].x), ay(-p[0].y + 3 * p[1].y - 3 * p[2].y + p[3].y),
          by(3 * p[0].y - 6 * p[1].y + 3 * p[2].y), cy(3 * p[1].y - 3 * p[0].y), y0(p[0].y) {}
    tagPointF At(double t) const { return {((ax * t + bx) * t + cx) * t + x0, ((ay * t + by) * t + cy) * t + y0}; }
    Vec Slope(double t) const { return {(3 * ax * t + 2 * bx) * t + cx, (3 * ay * t + 2 * by) * t + cy}; }
};

void CubicPoints(const SegmentDesc* s, tagPointF p[4]) {
    p[0] = s->pt1, p[1] = s->pt2, p[2] = s->pt3, p[3] = s[1].pt1;
}

SegmentCrossing Make(const tagPointF& point, double tP, double tQ, Vec dP, Vec dQ) {
    return {point, tP, tQ, Cross(dP, dQ), Dot(dP, dQ), Dot(dP, dP) * Dot(dQ, dQ)};
}

// Appends a crossing unless one already held lies within kSameCrossing in both parameters.
int AddDistinct(SegmentCrossing* out, int n, const SegmentCrossing& c) {
    for (int i = 0; i < n; ++i)
        if (std::fabs(out[i].tP - c.tP) < kSameCrossing && std::fabs(out[i].tQ - c.tQ) < kSameCrossing) return n;
    if (n < kMaxSegmentCrossings) out[n++] = c;
    return n;
}

bool Accepted(double t, bool adjacent) {
    return adjacent ? (t > kMargin && t < 1 - kMargin) : (t >= -kMargin && t <= 1 + kMargin);
}

int IntersectLines(const SegmentDesc* first, const SegmentDesc* second, SegmentCrossing* out, bool adjacent) {
    if (first == second) return 0;
    const tagPointF A = first->pt1, B = first->pt2, C = second->pt1, D = second->pt2;
    const Vec dP = Sub(B, A), dQ = Sub(D, C);
    if (Dot(dP, dP) == 0 || Dot(dQ, dQ) == 0) return 0;
    const double det = Cross(dP, dQ);
    int n = 0;
    if (Same(A, C)) out[n++] = Make(A, 0, 0, dP, dQ);
    if (Same(B, D)) out[n++] = Make(B, 1, 1, dP, dQ);
    if (n == 0) {
        if (Same(A, D)) out[n++] = Make(A, 0, 1, dP, dQ);
        if (Same(B, C)) out[n++] = Make(B, 1, 0, dP, dQ);
    }
    if (det != 0) {
        if (n > 0) return n;
        const double tP = ((A.y - C.y) * dQ.x - (A.x - C.x) * dQ.y) / det;
        const double tQ = ((A.y - C.y) * dP.x - (A.x - C.x) * dP.y) / det;
        const double e = adjacent ? kMargin : -kMargin;
        if (e <= tP && tP <= 1 - e && e <= tQ && tQ <= 1 - e)
            out[n++] = Make({A.x + tP * dP.x, A.y + tP * dP.y}, tP, tQ, dP, dQ);
        return n;
    }
    if ((C.y - B.y) * (C.x - A.x) - (C.x - B.x) * (C.y - A.y) != 0) return n;   // parallel, apart
    // Collinear: order the four ends along the first line's longer axis; the middle two bound the overlap.
    const bool alongX = dP.x * dP.x > dP.y * dP.y;
    struct End {
        tagPointF p;
        int line, end;
    } ends[4] = {{A, 0, 0}, {B, 0, 1}, {C, 1, 0}, {D, 1, 1}};
    auto key = [&](const End& e) { return alongX ? e.p.x : e.p.y; };
    for (int pass = 0; pass < 3; ++pass)
        for (int i = 0; i + 1 < 4 - pass; ++i)
            if (key(ends[i + 1]) < key(ends[i])) std::swap(ends[i], ends[i + 1]);
    if (ends[1].line == ends[2].line) return n;
    if (adjacent && Same(ends[1].p, ends[2].p)) return n;
    for (int k = 1; k <= 2; ++k) {
        const End& e = ends[k];
        const tagPointF& otherStart = e.line == 0 ? C : A;
        const tagPointF& otherEnd = e.line == 0 ? D : B;
        const double span = alongX ? otherEnd.x - otherStart.x : otherEnd.y - otherStart.y;
        if (span == 0) continue;
        const double other = (key(e) - (alongX ? otherStart.x : otherStart.y)) / span;
        if (!(other > 0 && other < 1)) continue;
        SegmentCrossing c = Make(e.p, e.line == 0 ? e.end : other, e.line == 0 ? other : e.end, dP, dQ);
        c.cross = 0;
        n = AddDistinct(out, n, c);
    }
    return n;
}

// Crossings where end points of the two segments coincide exactly (s: end points and end directions).
struct Ends {
    tagPointF p[2];
    Vec d[2];
};

int EqualEnds(const Ends& first, const Ends& second, SegmentCrossing* out, int n) {
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            if (Same(first.p[i], second.p[j])) n = AddDistinct(out, n, Make(first.p[i], i, j, first.d[i], second.d[j]));
    return n;
}

Ends LineEnds(const tagPointF& a, const tagPointF& b) {
    const Vec d = Sub(b, a);
    return {{a, b}, {d, d}};
}

Ends CubicEnds(const tagPointF p[4]) {
    const PowerCubic c(p);
    return {{p[0], p[3]}, {c.Slope(0), c.Slope(1)}};
}

int IntersectLineWithCubic(const SegmentDesc* first, const SegmentDesc* second, SegmentCrossing* out,
                           bool adjacent) {
    const bool lineFirst = first->kind == SegmentLine;
    const SegmentDesc* line = lineFirst ? first : second;
    const SegmentDesc* curve = lineFirst ? second : first;
    const tagPointF A = line->pt1, B = line->pt2;
    const Vec d = Sub(B, A);
    if (Dot(d, d) == 0) return 0;
    tagPointF p[4];
    CubicPoints(curve, p);
    SegmentCrossing found[kMaxSegmentCrossings];
    int n = EqualEnds(LineEnds(A, B), CubicEnds(p), found, 0);
    SegmentCrossing roots[kMaxSegmentCrossings];
    const double e = adjacent ? kMargin : -kMargin;
    const int count = IntersectLineCubic(A, B, p, roots, e);
    for (int i = 0; i < count; ++i) {
        const SegmentCrossing& r = roots[i];
        if (!(r.tP > e && r.tP < 1 - e && r.tQ > e && r.tQ < 1 - e)) continue;
        SegmentCrossing c = r;
        c.point = {A.x + r.tP * d.x, A.y + r.tP * d.y};
        n = AddDistinct(found, n, c);
    }
    for (int i = 0; i < n; ++i) {
        out[i] = found[i];
        if (!lineFirst) {
            std::swap(out[i].tP, out[i].tQ);
            out[i].cross = -out[i].cross;
        }
    }
    return n;
}

int IntersectLoop(const SegmentDesc* s, SegmentCrossing* out) {
    tagPointF p[4];
    CubicPoints(s, p);
    const PowerCubic c(p);
    const double den = c.ay * c.bx - c.ax * c.by;
    if (den == 0) return 0;
    const double sum = (c.ax * c.cy - c.ay * c.cx) / den;
    const double product = (c.bx * c.cy - c.by * c.cx) / den + sum * sum;
    double roots[2];
    const int count = SolveQuadratic(1.0, -sum, product, roots, 1e-8);
    for (int i = count - 1; i >= 0; --i) {
        const double u = roots[i];
        if (u > 0 && u < 1 && u < sum && sum - u < 1) {
            out[0] = Make(c.At(u), u, sum - u, c.Slope(u), c.Slope(sum - u));
            return 1;
        }
    }
    return 0;
}

// Refines a crossing of two cubics by Newton steps on M(s) - N(t) = 0; keeps the start when the
// steps do not settle close by.
void Polish(const PowerCubic& m, const PowerCubic& n, double& s, double& t, double reach) {
    double bs = s, bt = t;
    tagPointF pm = m.At(s), pn = n.At(t);
    double best = std::hypot(pm.x - pn.x, pm.y - pn.y);
    for (int k = 0; k < 6 && best > 0; ++k) {
        const Vec dm = m.Slope(bs), dn = n.Slope(bt);
        const double det = -dm.x * dn.y + dm.y * dn.x;
        if (det == 0) break;
        const double fx = pm.x - pn.x, fy = pm.y - pn.y;
        const double ns = bs - (-dn.y * fx + dn.x * fy) / det, nt = bt - (-dm.y * fx + dm.x * fy) / det;
        if (std::fabs(ns - s) > reach || std::fabs(nt - t) > reach) break;
        const tagPointF qm = m.At(ns), qn = n.At(nt);
        const double error = std::hypot(qm.x - qn.x, qm.y - qn.y);
        if (!(error < best)) break;
        bs = ns, bt = nt, pm = qm, pn = qn, best = error;
    }
    s = bs, t = bt;
}

struct March {
    const PowerCubic& marched;
    const tagPointF* other;
    const PowerCubic& otherCubic;
    double h;
    double tolerance;   // largest gap between the curves at a crossing
    SegmentCrossing found[kMaxSegmentCrossings];
    int n = 0;

    // Crossings of the chord of the marched curve over [ta, tb] with the other curve: a single one is
    // narrowed by bisection, several are separated by halving the chord.
    void Chord(double ta, double tb, int depth) {
        SegmentCrossing cut[kMaxSegmentCrossings];
        const int count = IntersectLineCubic(marched.At(ta), marched.At(tb), other, cut, 0.0);
        if (count == 0 || n >= kMarchedLimit) return;
        if (count > 1 && depth < 8) {
            const double mid = 0.5 * (ta + tb);
            Chord(ta, mid, depth + 1);
            Chord(mid, tb, depth + 1);
            return;
        }
        for (int i = 0; i < count && n < kMarchedLimit; ++i) {
            double s = ta + cut[i].tP * (tb - ta), t = cut[i].tQ;
            Polish(marched, otherCubic, s, t, 2 * (tb - ta) + 1e-3);
            // A chord may cut a curve that runs close beside the marched one without meeting it.
            const tagPointF pm = marched.At(s), pn = otherCubic.At(t);
            if (std::hypot(pm.x - pn.x, pm.y - pn.y) > tolerance) continue;
            const SegmentCrossing c = Make(pm, s, t, marched.Slope(s), otherCubic.Slope(t));
            n = AddDistinct(found, n, c);
        }
    }
};

int IntersectCubics(const SegmentDesc* first, const SegmentDesc* second, SegmentCrossing* out, bool adjacent) {
    tagPointF p[4], q[4];
    CubicPoints(first, p);
    CubicPoints(second, q);
    SegmentCrossing found[kMaxSegmentCrossings];
    int n = 0;
    bool identical = true;
    for (int i = 0; i < 4; ++i) identical = identical && Near(p[i], q[i]);
    if (identical) {
        if (adjacent) return 0;
        out[0] = {p[0], 0, 0, 0, 1, 1};
        out[1] = {p[3], 1, 1, 0, 1, 1};
        return 2;
    }
    n = EqualEnds(CubicEnds(p), CubicEnds(q), found, n);

    tagRectF boxes[2];
    GetBezierBoundingBox(p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y, p[3].x, p[3].y, boxes[0], false);
    GetBezierBoundingBox(q[0].x, q[0].y, q[1].x, q[1].y, q[2].x, q[2].y, q[3].x, q[3].y, boxes[1], false);
    for (tagRectF& b : boxes) {
        const double grow = 0.1 * std::max(b.right - b.left, b.bottom - b.top);
        const bool flatX = b.right == b.left, flatY = b.bottom == b.top;
        if (!adjacent || flatX) b.left -= grow, b.right += grow;
        if (!adjacent || flatY) b.top -= grow, b.bottom += grow;
    }
    const tagRectF common = {std::max(boxes[0].left, boxes[1].left), std::max(boxes[0].top, boxes[1].top),
                             std::min(boxes[0].right, boxes[1].right), std::min(boxes[0].bottom, boxes[1].bottom)};
    if (common.left < common.right && common.top < common.bottom) {
        auto area = [](const tagRectF& b) { return (b.right - b.left) * (b.bottom - b.top); };
        const bool swapped = area(boxes[1]) > area(boxes[0]);
        const tagPointF* m = swapped ? q : p;
        const tagPointF* other = swapped ? p : q;
        double t0, t1;
        ClipBezierToRect(m, common, t0, t1);
        if (t0 < t1 && t0 <= 1 && t1 >= 0) {
            t0 = std::max(t0, 0.0), t1 = std::min(t1, 1.0);
            const PowerCubic mc(m), oc(other);
            const double extent = std::max({boxes[0].right - boxes[0].left, boxes[0].bottom - boxes[0].top,
                                            boxes[1].right - boxes[1].left, boxes[1].bottom - boxes[1].top});
            March march{mc, other, oc, (t1 - t0) / kMarchSteps, 1e-9 * (1 + extent)};
            for (int k = 0; k < kMarchSteps; ++k)
                march.Chord(t0 + k * march.h, k + 1 == kMarchSteps ? t1 : t0 + (k + 1) * march.h, 0);
            for (int i = 0; i < march.n; ++i) {
                SegmentCrossing c = march.found[i];
                if (swapped) {
                    std::swap(c.tP, c.tQ);
                    c.cross = -c.cross;
                }
                if (Accepted(c.tP, adjacent) && Accepted(c.tQ, adjacent)) n = AddDistinct(found, n, c);
            }
        }
    }
    std::copy(found, found + n, out);
    return n;
}

// Newton steps on a cubic polynomial, kept only while they lower its magnitude.
double PolishRoot(double a, double b, double c, double d, double t) {
    auto f = [&](double x) { return ((a * x + b) * x + c) * x + d; };
    double best = std::fabs(f(t));
    for (int k = 0; k < 3 && best > 0; ++k) {
        const double slope = (3 * a * t + 2 * b) * t + c;
        if (slope == 0) break;
        const double next = t - f(t) / slope;
        const double value = std::fabs(f(next));
        if (!(value < best)) break;
        t = next, best = value;
    }
    return t;
}

}  // namespace

int IntersectLineCubic(const tagPointF& a, const tagPointF& b, const tagPointF p[4], SegmentCrossing* out,
                       double margin) {
    const Vec d = Sub(b, a);
    const double len2 = Dot(d, d);
    if (len2 == 0) return 0;
    // Touches where the cubic leaves (or arrives) along the line.
    const struct {
        const tagPointF& end;
        Vec leg;
        double t;
    } touches[2] = {{p[0], Sub(p[1], p[0]), 0.0}, {p[3], Sub(p[3], p[2]), 1.0}};
    for (const auto& touch : touches) {
        const Vec rel = Sub(touch.end, a);
        const double along = Dot(rel, d);
        if (std::fabs(Cross(d, rel)) < 1e-8 && along >= 0 && along <= len2 && std::fabs(Cross(d, touch.leg)) < 1e-8) {
            out[0] = {touch.end, along / len2, touch.t, 0.0, double(sign(Dot(touch.leg, d))), 1.0};
            return 1;
        }
    }
    const PowerCubic c(p);
    double k, e3, e2, e1, e0;
    const bool byY = std::fabs(d.x) <= std::fabs(d.y);
    if (byY) {
        k = d.x / d.y;
        e3 = c.ax - k * c.ay, e2 = c.bx - k * c.by, e1 = c.cx - k * c.cy, e0 = (c.x0 - a.x) - k * (c.y0 - a.y);
    } else {
        k = d.y / d.x;
        e3 = c.ay - k * c.ax, e2 = c.by - k * c.bx, e1 = c.cy - k * c.cx, e0 = (c.y0 - a.y) - k * (c.x0 - a.x);
    }
    double roots[3];
    const int count = SolveCubic(e3, e2, e1, e0, roots, 1e-8);
    int n = 0;
    for (int i = count - 1; i >= 0; --i) {
        const double t = PolishRoot(e3, e2, e1, e0, roots[i]);
        if (!(t > -0.01 && t < 1.01)) continue;
        bool repeated = false;
        for (int j = 0; j < n; ++j) repeated = repeated || std::fabs(out[j].tQ - t) < 1e-12;
        if (repeated) continue;
        const tagPointF at = c.At(t);
        const double tl = byY ? (at.y - a.y) / d.y : (at.x - a.x) / d.x;
        if (!(tl >= margin && tl < 1 - margin)) continue;
        out[n++] = Make(at, tl, t, d, c.Slope(t));
    }
    return n;
}

void ClipBezierToRect(const tagPointF p[4], const tagRectF& box, double& tMin, double& tMax) {
    const PowerCubic cubic(p);
    tMin = 10.0, tMax = -10.0;
    auto keep = [&](double t) { tMin = std::min(tMin, t), tMax = std::max(tMax, t); };
    // Where one coordinate reaches a side of the box while the other lies within the box's range.
    auto sides = [&](double a, double b, double c, double d, double lo, double hi, bool alongX) {
        double roots[3];
        for (double side : {lo, hi}) {
            const int n = SolveCubic(a, b, c, d - side, roots, 1e-8);
            for (int i = 0; i < n; ++i) {
                const double t = roots[i];
                const tagPointF at = cubic.At(t);
                const double other = alongX ? at.y : at.x;
                if (t >= 0 && t < 1 && other >= (alongX ? box.top : box.left) &&
                    other <= (alongX ? box.bottom : box.right))
                    keep(t);
            }
        }
    };
    sides(cubic.ax, cubic.bx, cubic.cx, cubic.x0, box.left, box.right, true);
    sides(cubic.ay, cubic.by, cubic.cy, cubic.y0, box.top, box.bottom, false);
    auto inside = [&](const tagPointF& q) {
        return box.left - q.x < 1e-10 && box.top - q.y < 1e-10 && box.right - q.x > -1e-10 &&
               box.bottom - q.y > -1e-10;
    };
    if (inside(p[3])) tMax = 1;
    if (inside(p[0])) tMin = 0;
}

int IntersectSegments(const SegmentDesc* first, const SegmentDesc* second, SegmentCrossing* out, bool adjacent) {
    if (!first || !second || !out) return 0;
    const bool firstLine = first->kind == SegmentLine, secondLine = second->kind == SegmentLine;
    const bool firstCubic = first->kind == SegmentCubic, secondCubic = second->kind == SegmentCubic;
    if (!(firstLine || firstCubic) || !(secondLine || secondCubic)) return 0;
    if (firstLine && secondLine) return IntersectLines(first, second, out, adjacent);
    if (firstLine || secondLine) return IntersectLineWithCubic(first, second, out, adjacent);
    if (first == second) return IntersectLoop(first, out);
    return IntersectCubics(first, second, out, adjacent);
}
