#include "CurveGeometry.h"

#include <cmath>

#include "render/BezierGeometry.h"

namespace {

tagPointF Lerp(tagPointF a, tagPointF b, double t) { return {(1 - t) * a.x + t * b.x, (1 - t) * a.y + t * b.y}; }

double Distance2(tagPointF a, tagPointF b) {
    const double dx = a.x - b.x, dy = a.y - b.y;
    return dx * dx + dy * dy;
}

// A parameter window [start, start + width] of one segment.
struct Window {
    double start = 0, width = 0;
    double Middle() const { return start + width / 2; }
};

// 21 samples of the segment; true when one of them (or, with the chord test, a chord's
// perpendicular foot) comes nearer than best, which it then lowers, with the window around it.
bool CoarseSearch(const tagPointF segment[4], tagPointF p, double& best, bool chordTest, Window& window) {
    bool improved = false;
    tagPointF from = segment[0];
    for (int i = 0; i < 20; ++i) {
        const double t = i * 0.05;
        const tagPointF to = EvaluateBezier(segment, t + 0.05);
        const double dTo = Distance2(p, to);
        if (dTo < best) {
            best = dTo;
            window = {t, 0.1};
            improved = true;
        }
        const double dFrom = Distance2(p, from);
        if (dFrom < best) {
            best = dFrom;
            window = {t - 0.05, 0.1};
            improved = true;
        }
        if (chordTest) {
            const double cx = to.x - from.x, cy = to.y - from.y;
            const double px = p.x - from.x, py = p.y - from.y;
            const double along = px * cx + py * cy, length2 = cx * cx + cy * cy;
            if (along > 0 && along < length2) {
                const double cross = px * cy - py * cx;
                const double d = cross * cross / length2;
                if (d < best) {
                    best = d;
                    window = {t, 0.05};
                    improved = true;
                }
            }
        }
        from = to;
    }
    return improved;
}

void CopySegment(const tagPointF* points, int index, tagPointF out[4]) {
    for (int i = 0; i < 4; ++i) out[i] = points[index + i];
}

}  // namespace

tagPointF EvaluateBezier(const tagPointF s[4], double t) {
    if (t == 0) return s[0];
    if (t == 1) return s[3];
    const tagPointF a = Lerp(s[0], s[1], t), b = Lerp(s[1], s[2], t), c = Lerp(s[2], s[3], t);
    const tagPointF d = Lerp(a, b, t), e = Lerp(b, c, t);
    return Lerp(d, e, t);
}

void SplitBezierSegment(const tagPointF s[4], double t, bool keepSecond, tagPointF out[4]) {
    const tagPointF a = Lerp(s[0], s[1], t), b = Lerp(s[1], s[2], t), c = Lerp(s[2], s[3], t);
    const tagPointF d = Lerp(a, b, t), e = Lerp(b, c, t);
    const tagPointF m = Lerp(d, e, t);
    if (keepSecond) {
        out[0] = m; out[1] = e; out[2] = c; out[3] = s[3];
    } else {
        out[0] = s[0]; out[1] = a; out[2] = d; out[3] = m;
    }
}

void CutBezierWindow(const tagPointF s[4], double t0, double t1, tagPointF out[4]) {
    tagPointF tail[4];
    SplitBezierSegment(s, t0, true, tail);
    const double rest = 1 - t0;
    SplitBezierSegment(tail, rest > 0 ? (t1 - t0) / rest : 1, false, out);
}

PathPosition FindNearestPointOnPolyBezier(tagPointF p, const tagPointF* points, int n) {
    PathPosition answer;
    if (!points || n < 4) return answer;
    const int lastStart = ((n - 4) / 3) * 3;  // the last whole segment
    double best = 1e60;
    int kept = -1;
    Window window;
    for (int k = 0; k + 3 < n; k += 3) {
        tagPointF segment[4];
        CopySegment(points, k, segment);
        Window w;
        if (CoarseSearch(segment, p, best, false, w)) {
            kept = k;
            window = w;
        }
    }
    if (kept < 0) return answer;
    answer = {kept, window.Middle()};
    tagPointF segment[4];
    CopySegment(points, kept, segment);

    // The window may reach into the neighbouring segments; the path counts as closed.
    if (window.start < 0) {
        const int previous = kept == 0 ? lastStart : kept - 3;
        tagPointF neighbour[4], piece[4];
        CopySegment(points, previous, neighbour);
        const double from = 1 + window.start;
        SplitBezierSegment(neighbour, from, true, piece);
        Window w;
        if (CoarseSearch(piece, p, best, false, w)) {
            double u = w.Middle();
            u = u < 0 ? 0 : u > 1 ? 1 : u;
            answer = {previous, from + u * (1 - from)};
        }
        window.width += window.start;
        window.start = 0;
    }
    if (window.start + window.width > 1) {
        const int next = kept + 3 > lastStart ? 0 : kept + 3;
        tagPointF neighbour[4], piece[4];
        CopySegment(points, next, neighbour);
        const double to = window.start + window.width - 1;
        SplitBezierSegment(neighbour, to, false, piece);
        Window w;
        if (CoarseSearch(piece, p, best, false, w)) {
            double u = w.Middle();
            u = u < 0 ? 0 : u > 1 ? 1 : u;
            answer = {next, u * to};
        }
        window.width = 1 - window.start;
    }

    // Two refinements inside the kept segment's window, with the chord test.
    for (int pass = 0; pass < 2 && window.width > 0; ++pass) {
        const double t0 = window.start < 0 ? 0 : window.start;
        const double t1 = window.start + window.width > 1 ? 1 : window.start + window.width;
        if (!(t1 > t0)) break;
        tagPointF piece[4];
        CutBezierWindow(segment, t0, t1, piece);
        Window w;
        if (!CoarseSearch(piece, p, best, true, w)) break;
        window = {t0 + w.start * (t1 - t0), w.width * (t1 - t0)};
        answer = {kept, window.Middle()};
    }
    if (answer.t > 1) answer.t = 1;
    if (answer.t < 0) answer.t = 0;
    return answer;
}

double GetPolyBezierLength(const tagPointF* points, int n) {
    if (!points || n < 2) return 0;
    double total = 0;
    for (int k = 0; k + 3 < n; k += 3)
        total += GetBezierLength(points[k].x, points[k].y, points[k + 1].x, points[k + 1].y, points[k + 2].x,
                                 points[k + 2].y, points[k + 3].x, points[k + 3].y, 20);
    return total;
}
