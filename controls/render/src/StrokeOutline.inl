#include <cmath>

inline void StrokeOutline::Side(bool leftSide, double h, bool closed)
{
    std::vector<StrokePoint>& out = leftSide ? left_ : right_;
    out.clear();
    const StrokePoint* pts = pt_;
    const int n = n_;
    const int segs = static_cast<int>(dirs_.size());
    const double sgn = leftSide ? 1.0 : -1.0;
    auto offset = [&](int p, int s) {
        // Left of direction (dx, dy) is (x + dy, y - dx) in y-down pixels.
        return StrokePoint{pts[p].x + sgn * dirs_[s].y * h, pts[p].y - sgn * dirs_[s].x * h};
    };
    const double e = h * h;
    auto join = [&](int vertex, int in, int outSeg) {
        const Dir& u1 = dirs_[in];
        const Dir& u2 = dirs_[outSeg];
        const StrokePoint before = offset(vertex, in), after = offset(vertex, outSeg);
        out.push_back(before);
        // c = d1 . e with d1 = h u1 and e = -h u2 (the new direction reversed).
        const double c = -e * (u1.x * u2.x + u1.y * u2.y);
        const double cross = u1.x * u2.y - u1.y * u2.x;
        const bool outer = leftSide ? cross > 0 : cross <= 0;
        if (!outer && cross != 0) {
            // Inside a turn the two offset sides cross; meeting at their crossing (when it lies on
            // both sides) covers the same pixels as joining the ends straight across, without the
            // small loop that would make the outline double back.
            const double cosine = u1.x * u2.x + u1.y * u2.y;
            if (cosine > -0.9) {
                const double reach = h * std::sqrt((1 - cosine) / (1 + cosine));
                if (reach <= lengths_[in] && reach <= lengths_[outSeg]) {
                    const double ox = before.x - pts[vertex].x + after.x - pts[vertex].x;
                    const double oy = before.y - pts[vertex].y + after.y - pts[vertex].y;
                    const double k = 1 / (1 + cosine);
                    out.back() = {pts[vertex].x + ox * k, pts[vertex].y + oy * k};
                    return;
                }
            }
        }
        if (outer && !pts[vertex].smooth && c > -0.923 * e && c < 0.923 * e) {
            const double mx = h * (u1.x - u2.x), my = h * (u1.y - u2.y);
            const double g = (e - c) * (mx * mx + my * my) / 2;
            if (g > 0) {
                const double k = e / std::sqrt(g);
                out.push_back({pts[vertex].x + mx * k, pts[vertex].y + my * k});
            }
        }
        out.push_back(after);
    };
    if (closed) {
        for (int v = 0; v < n; ++v) join(v, (v - 1 + segs) % segs, v % segs);
    } else {
        out.push_back(offset(0, 0));
        for (int v = 1; v < n - 1; ++v) join(v, v - 1, v);
        out.push_back(offset(n - 1, segs - 1));
    }
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
    dirs_.resize(segs);
    lengths_.resize(segs);
    for (int s = 0; s < segs; ++s) {
        const StrokePoint& a = points[s];
        const StrokePoint& b = points[(s + 1) % n];
        const double dx = b.x - a.x, dy = b.y - a.y, len = std::sqrt(dx * dx + dy * dy);
        dirs_[s] = {dx / len, dy / len};
        lengths_[s] = len;
    }
    Side(true, h, closed);
    Side(false, h, closed);
    const int nl = static_cast<int>(left_.size()), nr = static_cast<int>(right_.size());
    if (closed) {
        // Two rings of opposite turn: the band between them winds once.
        for (int i = 0; i < nl; ++i) sink.Line(left_[i].x, left_[i].y, left_[(i + 1) % nl].x, left_[(i + 1) % nl].y);
        for (int i = 0; i < nr; ++i) sink.Line(right_[(i + 1) % nr].x, right_[(i + 1) % nr].y, right_[i].x, right_[i].y);
    } else {
        // Left side forward, flat end, right side back, flat start.
        for (int i = 0; i + 1 < nl; ++i) sink.Line(left_[i].x, left_[i].y, left_[i + 1].x, left_[i + 1].y);
        sink.Line(left_[nl - 1].x, left_[nl - 1].y, right_[nr - 1].x, right_[nr - 1].y);
        for (int i = nr - 1; i > 0; --i) sink.Line(right_[i].x, right_[i].y, right_[i - 1].x, right_[i - 1].y);
        sink.Line(right_[0].x, right_[0].y, left_[0].x, left_[0].y);
    }
    return nl + nr;
}
