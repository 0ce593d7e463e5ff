#include <cmath>
#include <cstring>

inline void StrokeOutline::Sides(bool closed, double h)
{
    const StrokePoint* const pts = pt_;
    const int n = n_;
    const int segs = static_cast<int>(sides_.size());
    const Side* const side = sides_.data();
    const std::size_t room = 3 * static_cast<std::size_t>(n) + 2;   // at most three points a vertex
    if (ring_.size() < 2 * room) ring_.resize(2 * room);
    OutlinePoint* const front = ring_.data();
    OutlinePoint* const back = front + 2 * room;
    OutlinePoint* left = front;
    OutlinePoint* right = back;
    const double e = h * h;
    const double miterLimit = 0.923 * e;
    // The reach test below is decided from squares where they differ clearly (no square root, no
    // division); only near equality is the reach itself worked out, as the comparison was defined.
    // With the half width and the sides' lengths in these ranges, the squares and their products
    // below stay normal numbers, whose rounding is far inside the margin of one in a billion.
    const bool squaresExact = e > 1e-200 && e < 1e200 && moderateSides_;
    // Inlined: called for every vertex, and its many captures would otherwise live in memory.
    auto join = [&](int vertex, int in, int outSeg) __attribute__((always_inline)) {
        const Side& s1 = side[in];
        const Side& s2 = side[outSeg];
        const double px = pts[vertex].x, py = pts[vertex].y;
        // Left of direction (dx, dy) is (x + dy, y - dx) in y-down pixels.
        const OutlinePoint leftBefore{px + s1.ox, py - s1.oy}, leftAfter{px + s2.ox, py - s2.oy};
        const OutlinePoint rightBefore{px - s1.ox, py + s1.oy}, rightAfter{px - s2.ox, py + s2.oy};
        const double cosine = s1.ux * s2.ux + s1.uy * s2.uy;
        // c = d1 . e with d1 = h u1 and e = -h u2 (the new direction reversed).
        const double c = -e * cosine;
        const double cross = s1.ux * s2.uy - s1.uy * s2.ux;
        const bool leftOuter = cross > 0, rightOuter = cross <= 0;
        // Inside a turn the two offset sides cross; meeting at their crossing (when it lies on both
        // sides) covers the same pixels as joining the ends straight across, without the small
        // loop that would make the outline double back.
        bool crossing = false;
        if (cross != 0 && cosine > -0.9) {
            const double m = 1 - cosine, p = 1 + cosine;
            const double a = e * m, b = (s1.lengthSquared < s2.lengthSquared ? s1.lengthSquared : s2.lengthSquared) * p;
            if (squaresExact && m >= 0 && a <= b * (1 - 1e-9)) {
                crossing = true;
            } else if (squaresExact && m >= 0 && a >= b * (1 + 1e-9)) {
                crossing = false;
            } else {
                const double reach = h * std::sqrt(m / p);
                crossing = reach <= s1.length && reach <= s2.length;
            }
        }
        const bool miter = !pts[vertex].smooth && c > -miterLimit && c < miterLimit;
        auto outer = [&](const OutlinePoint& before, const OutlinePoint& after, OutlinePoint*& out, int step) {
            *out = before;
            out += step;
            if (miter) {
                const double mx = h * (s1.ux - s2.ux), my = h * (s1.uy - s2.uy);
                const double g = (e - c) * (mx * mx + my * my) / 2;
                if (g > 0) {
                    const double k = e / std::sqrt(g);
                    *out = {px + mx * k, py + my * k};
                    out += step;
                }
            }
            *out = after;
            out += step;
        };
        auto inner = [&](const OutlinePoint& before, const OutlinePoint& after, OutlinePoint*& out, int step) {
            if (crossing) {
                const double ox = before.x - px + after.x - px;
                const double oy = before.y - py + after.y - py;
                const double k = 1 / (1 + cosine);
                *out = {px + ox * k, py + oy * k};
                out += step;
                return;
            }
            *out = before;
            out += step;
            *out = after;
            out += step;
        };
        if (leftOuter) {
            outer(leftBefore, leftAfter, left, 1);
        } else {
            inner(leftBefore, leftAfter, left, 1);
        }
        OutlinePoint* r = right - 1;
        if (rightOuter) {
            outer(rightBefore, rightAfter, r, -1);
        } else {
            inner(rightBefore, rightAfter, r, -1);
        }
        right = r + 1;
    };
    if (closed) {
        join(0, segs - 1, 0);
        for (int v = 1; v < n; ++v) join(v, v - 1, v);
    } else {
        *left++ = {pts[0].x + side[0].ox, pts[0].y - side[0].oy};
        *--right = {pts[0].x - side[0].ox, pts[0].y + side[0].oy};
        for (int v = 1; v < n - 1; ++v) join(v, v - 1, v);
        const Side& last = side[segs - 1];
        *left++ = {pts[n - 1].x + last.ox, pts[n - 1].y - last.oy};
        *--right = {pts[n - 1].x - last.ox, pts[n - 1].y + last.oy};
    }
    leftCount_ = static_cast<int>(left - front);
    rightCount_ = static_cast<int>(back - right);
    rightFirst_ = static_cast<int>(right - front);
}

template <class EdgeSink>
int StrokeOutline::Build(const StrokePoint* points, int count, bool closed, double h, EdgeSink& sink)
{
    // Sides of no length are dropped; the points are copied only when there is one.
    auto tooShort = [](const StrokePoint& a, const StrokePoint& b) {
        const double dx = b.x - a.x, dy = b.y - a.y;
        return dx * dx + dy * dy < 1e-12;
    };
    int first = 1;
    while (first < count && !tooShort(points[first - 1], points[first])) ++first;
    int n = count;
    if (first < count) {
        pts_.assign(points, points + first);
        for (int i = first; i < count; ++i)
            if (!tooShort(pts_.back(), points[i])) pts_.push_back(points[i]);
        points = pts_.data();
        n = static_cast<int>(pts_.size());
    }
    if (closed && n > 2 && tooShort(points[n - 1], points[0])) --n;
    pt_ = points;
    n_ = n;
    if (n < 2 || !(h > 0)) return 0;
    if (n == 2) closed = false;   // a closed two-point path is its own line there and back
    const int segs = closed ? n : n - 1;
    sides_.resize(segs);
    bool moderate = true;
    for (int s = 0; s < segs; ++s) {
        const StrokePoint& a = points[s];
        const StrokePoint& b = points[s + 1 < n ? s + 1 : 0];
        const double dx = b.x - a.x, dy = b.y - a.y, squared = dx * dx + dy * dy, len = std::sqrt(squared);
        const double ux = dx / len, uy = dy / len;
        sides_[s] = {ux, uy, uy * h, ux * h, len, squared};
        moderate = moderate && len < 1e100 && len > 1e-100;
    }
    moderateSides_ = moderate;
    Sides(closed, h);
    const int nl = leftCount_, nr = rightCount_;
    OutlinePoint* const left = ring_.data();
    const OutlinePoint* const right = left + rightFirst_;   // the right side, last point first
    if (closed) {
        // Two rings of opposite turn: the band between them winds once.
        sink.Polygon(left, nl);
        for (int i = 0; i < nr; ++i) {
            const OutlinePoint& from = right[i + 1 < nr ? nr - 2 - i : nr - 1];
            const OutlinePoint& to = right[nr - 1 - i];
            sink.Line(from.x, from.y, to.x, to.y);
        }
    } else {
        // Left side forward, flat end, right side back, flat start: one ring.
        std::memmove(left + nl, right, nr * sizeof(OutlinePoint));
        sink.Polygon(left, nl + nr);
    }
    return nl + nr;
}
