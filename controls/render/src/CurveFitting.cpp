#include "render/CurveFitting.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "geometry/NumericHelpers.h"
#include "render/BezierGeometry.h"

namespace {

struct Vec {
    double x, y;
};
Vec Sub(const tagPointF& a, const tagPointF& b) { return {a.x - b.x, a.y - b.y}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y; }
double Length2(Vec a) { return Dot(a, a); }
Vec Unit(Vec a) {
    const double l = std::sqrt(Length2(a));
    return l > 0 ? Vec{a.x / l, a.y / l} : Vec{0, 0};
}
Vec Add(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }

// The corner measure of point i: the cosine between the mean directions to its near neighbours
// behind and ahead (within sqrt(10) of it, at most seven each way).
double CornerMeasure(const tagPointF* p, int n, int i) {
    Vec back = {0, 0}, ahead = {0, 0};
    for (int q = i - 1; q >= std::max(0, i - 7); --q) {
        const Vec d = Sub(p[q], p[i]);
        if (Length2(d) < 10) back = Add(back, d);
    }
    for (int q = i + 1; q <= std::min(n - 1, i + 7); ++q) {
        const Vec d = Sub(p[q], p[i]);
        if (Length2(d) < 10) ahead = Add(ahead, d);
    }
    return Dot(Unit(back), Unit(ahead));
}

// Unit steps in +x or +y (the signed sum of the step is 1) along one axis carry no shape.
bool PlainUnitSteps(Vec before, Vec after) {
    const bool oneAxis = (before.x == 0 && after.x == 0) || (before.y == 0 && after.y == 0);
    return oneAxis && __round(before.x + before.y) == 1 && __round(after.x + after.y) == 1;
}

int FloorDiv(int a, int b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// A trial cubic in the chord frame of P[s] .. P[e]: the frame, the handle directions and lengths.
struct Trial {
    Vec t0, t1;            // unit handle directions in document coordinates
    double h0, h1;         // handle lengths
};

class Fitter {
public:
    Fitter(const tagPointF* p, double tolerance, int iterations)
        : p_(p), tol2_(tolerance * tolerance), iterations_(iterations) {}

    // Fits P[s] .. P[e] of the run first .. last; true with the handles when every point fits.
    bool Fit(int s, int e, int first, int last, Trial& out) const {
        // Handle directions: into the segment, joined smoothly with the neighbours inside the run.
        Vec t0 = Unit(Sub(p_[s == first && s < last - 2 ? s + 3 : s + 1], p_[s]));
        if (s > first) t0 = Unit(Add(t0, Unit(Sub(p_[s], p_[s - 1]))));
        Vec t1 = Unit(Sub(p_[e == last && first + 2 < e ? e - 3 : e - 1], p_[e]));
        if (e < last) t1 = Unit(Add(t1, Unit(Sub(p_[e], p_[e + 1]))));
        const Vec chord = Sub(p_[e], p_[s]);
        const double L = std::sqrt(Length2(chord));
        if (!(L > 0)) return false;
        Vec u = {chord.x / L, chord.y / L}, v = {-u.y, u.x};
        std::vector<Vec> frame;   // (along, across) of the interior points
        double most = 0, least = 0;
        for (int j = s + 1; j < e; ++j) {
            const Vec d = Sub(p_[j], p_[s]);
            const Vec f = {Dot(d, u), Dot(d, v)};
            if (f.x < 0 || f.x > L) return false;
            most = std::max(most, f.y), least = std::min(least, f.y);
            frame.push_back(f);
        }
        if (most * most > tol2_ && least * least > tol2_ && most > 0 && least < 0) return false;
        if (-least > most) {
            v = {-v.x, -v.y};
            for (Vec& f : frame) f.y = -f.y;
        }
        const Vec f0 = {Dot(t0, u), Dot(t0, v)}, f1 = {Dot(t1, u), Dot(t1, v)};
        Handles h{0.3 * L, 0.3 * L};
        double M, second;
        Errors(frame, L, f0, f1, h, M, second);
        for (int k = 0; k < iterations_; ++k) {
            Handles next = Refined(frame, L, f0, f1, h);
            double oldMean, oldWorst, newMean, newWorst;
            Errors(frame, L, f0, f1, h, oldMean, oldWorst);
            Errors(frame, L, f0, f1, next, newMean, newWorst);
            if (oldMean < newMean) {
                M = oldMean, second = oldWorst;
                break;
            }
            h = next, M = newMean, second = newWorst;
        }
        // Every point within the tolerance of the cubic kept, not only on average.
        if (!(M <= tol2_ && second <= tol2_)) return false;
        out = {t0, t1, h.h0, h.h1};
        return true;
    }

private:
    struct Handles {
        double h0, h1;
    };

    static double Deviation(double L, Vec f0, Vec f1, const Handles& h, Vec point) {
        return CubicDeviationAtX(0, 0, h.h0 * f0.x, h.h0 * f0.y, L + h.h1 * f1.x, h.h1 * f1.y, L, 0, point.x, point.y);
    }

    // Weighted mean and largest squared deviation across the chord.
    static void Errors(const std::vector<Vec>& frame, double L, Vec f0, Vec f1, const Handles& h, double& mean,
                       double& worst) {
        double sum = 0, weights = 0;
        worst = 0;
        for (const Vec& f : frame) {
            const double d = Deviation(L, f0, f1, h, f);
            const double w = 1 - std::fabs(f.x / L - 0.5);
            sum += w * d * d, weights += w;
            worst = std::max(worst, d * d);
        }
        mean = weights > 0 ? sum / weights : 0;
    }

    // A handle length that brings the cubic within the tolerance of one point, by bisection.
    double Solve(double L, Vec f0, Vec f1, Handles h, Vec point, bool start) const {
        double& moving = start ? h.h0 : h.h1;
        double lower = 0.25 * moving, upper = 0.5 * L;
        const bool negative = (start ? f0.y : f1.y) < 0;
        for (int step = 0; step < 10; ++step) {
            const double d = Deviation(L, f0, f1, h, point);
            if (d * d < tol2_) break;
            if ((d < 0) == negative)
                upper = moving;
            else
                lower = moving;
            moving = 0.5 * (lower + upper);
        }
        return moving;
    }

    Handles Refined(const std::vector<Vec>& frame, double L, Vec f0, Vec f1, const Handles& h) const {
        double sum0 = 0, weight0 = 0, sum1 = 0, weight1 = 0;
        for (const Vec& f : frame) {
            const double e0 = Solve(L, f0, f1, h, f, true), e1 = Solve(L, f0, f1, h, f, false);
            const double w = 1 - std::fabs(f.x / L - 0.5);
            const double a = (e1 - h.h1) * h.h0, b = (e0 - h.h0) * h.h1;
            if (a * a > b * b)
                sum0 += w * e0, weight0 += w;
            else
                sum1 += w * e1, weight1 += w;
        }
        return {weight0 > 0 ? sum0 / weight0 : h.h0, weight1 > 0 ? sum1 / weight1 : h.h1};
    }

    const tagPointF* p_;
    double tol2_;
    int iterations_;
};

SegmentDesc Record(unsigned char kind, tagPointF a, tagPointF b, tagPointF c) {
    SegmentDesc r = {};
    r.kind = kind;
    r.pt1 = a, r.pt2 = b, r.pt3 = c;
    return r;
}

}  // namespace

double CubicDeviationAtX(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3,
                         double px, double py) {
    const double ax = -x0 + 3 * x1 - 3 * x2 + x3, bx = 3 * x0 - 6 * x1 + 3 * x2, cx = 3 * x1 - 3 * x0;
    const double ay = -y0 + 3 * y1 - 3 * y2 + y3, by = 3 * y0 - 6 * y1 + 3 * y2, cy = 3 * y1 - 3 * y0;
    double roots[3];
    const int n = SolveCubic(ax, bx, cx, x0 - px, roots, 1e-8);
    for (int i = n - 1; i >= 0; --i) {
        const double t = roots[i];
        if (t > -1e-8 && t < 1.00000001) return ((ay * t + by) * t + cy) * t + y0 - py;
    }
    return 1.0;
}

tagPointF SmoothPolylinePoint(const tagPointF* p, int i, int first, int last) {
    if (first >= last) return p[i];
    const tagPointF before = i > first ? p[i - 1] : tagPointF{2 * p[i].x - p[i + 1].x, 2 * p[i].y - p[i + 1].y};
    const tagPointF after = i < last ? p[i + 1] : tagPointF{2 * p[i].x - p[i - 1].x, 2 * p[i].y - p[i - 1].y};
    return {(before.x + 2 * p[i].x + after.x) / 4, (before.y + 2 * p[i].y + after.y) / 4};
}

tagPointF* SplitPolylineAtCorners(const tagPointF* p, int n, tagPointF origin, double scale, int** breaksOut,
                                  int* breakCount, int width) {
    if (breaksOut) *breaksOut = nullptr;
    if (breakCount) *breakCount = 0;
    if (!p || n <= 0 || !breaksOut || !breakCount) return nullptr;
    std::vector<tagPointF> kept = {p[0]};
    std::vector<int> breaks = {0};
    const double R = 0.18 * width + 2;   // a squared distance
    int lastKept = 0, pending = -1, corner = 0, previous = -1;
    double previousMeasure = -1;
    auto keep = [&](int i) {
        kept.push_back(p[i]);
        lastKept = i;
        pending = -1;
    };
    for (int i = 1; i + 1 < n; ++i) {
        const Vec before = Sub(p[i], p[i - 1]), after = Sub(p[i + 1], p[i]);
        if (PlainUnitSteps(before, after)) continue;
        if (i <= corner + 7 || i >= n - 7) {
            previousMeasure = -1;
        } else {
            const double m = CornerMeasure(p, n, i);
            if (previousMeasure >= 0.2 && m < previousMeasure) {
                if (lastKept != previous) keep(previous);
                breaks.push_back(int(kept.size()) - 1);
                corner = previous;
            }
            previousMeasure = m;
        }
        previous = i;
        if (Length2(Sub(p[i], p[lastKept])) < R) {
            pending = i;
        } else {
            if (pending >= 0) keep(pending);
            if (Length2(Sub(p[i], p[lastKept])) >= R) keep(i);
        }
    }
    if (n > 1) kept.push_back(p[n - 1]);
    if (n > 1) breaks.push_back(int(kept.size()) - 1);

    const int passes = width >= -16 ? FloorDiv(width, 8) + 3 : 0;
    std::vector<tagPointF> next(kept.size());
    for (int pass = 0; pass < passes; ++pass) {
        for (size_t r = 0; r + 1 < breaks.size(); ++r)
            for (int i = breaks[r]; i <= breaks[r + 1]; ++i) next[i] = SmoothPolylinePoint(kept.data(), i, breaks[r], breaks[r + 1]);
        if (breaks.size() == 1) next[0] = kept[0];
        kept.swap(next);
    }
    tagPointF* out = new tagPointF[kept.size()];
    for (size_t i = 0; i < kept.size(); ++i) out[i] = {origin.x + scale * kept[i].x, origin.y + scale * kept[i].y};
    *breaksOut = new int[n];
    std::copy(breaks.begin(), breaks.end(), *breaksOut);
    *breakCount = int(breaks.size());
    return out;
}

SegmentDesc* FitBezierToPolyline(const tagPointF* p, const int* breaks, int breakCount, double tolerance,
                                 int iterations) {
    if (!p || !breaks || breakCount < 1) return nullptr;
    for (int r = 1; r < breakCount; ++r)
        if (breaks[r] <= breaks[r - 1]) return nullptr;
    const Fitter fitter(p, std::fabs(tolerance), iterations);
    std::vector<SegmentDesc> out;
    for (int r = 0; r + 1 < breakCount; ++r) {
        const int first = breaks[r], last = breaks[r + 1];
        int s = first;
        while (s < last) {
            int lo = s + 1, hi = last, e = last;
            Trial best{}, trial{};
            bool fitted = false;
            while (e > lo) {
                if (fitter.Fit(s, e, first, last, trial)) {
                    lo = e, best = trial, fitted = true;
                } else {
                    hi = e;
                }
                e = (lo + hi) / 2;
            }
            if (lo == s + 1 || !fitted) {
                out.push_back(Record(SegmentLine, p[s], p[s + 1], {0, 0}));
                s = s + 1;
                continue;
            }
            out.push_back(Record(SegmentCubic, p[s], {p[s].x + best.h0 * best.t0.x, p[s].y + best.h0 * best.t0.y},
                                 {p[lo].x + best.h1 * best.t1.x, p[lo].y + best.h1 * best.t1.y}));
            s = lo;
        }
    }
    out.push_back(Record(SegmentEnd, p[breaks[breakCount - 1]], {0, 0}, {0, 0}));
    SegmentDesc* result = new SegmentDesc[out.size()];
    std::copy(out.begin(), out.end(), result);
    return result;
}
