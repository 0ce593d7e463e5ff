#include "AlongCurvePlacement.h"

#include <algorithm>
#include <cmath>

#include "render/BezierGeometry.h"

namespace {

// A path walked by one linear parameter: segment s covers s .. s + 1. A closed path goes round
// again past its end.
class PathWalk {
public:
    PathWalk(const std::vector<tagPointF>& points, bool closed)
        : points_(points), segments_(int(points.size() - 1) / 3), closed_(closed) {}
    int Segments() const { return segments_; }
    bool Closed() const { return closed_; }
    tagPointF At(double s) const {
        if (closed_ && (s < 0 || s >= segments_)) s -= std::floor(s / segments_) * segments_;
        if (s <= 0) return points_.front();
        if (s >= segments_) return points_[size_t(3 * segments_)];
        const int k = int(s);
        return EvaluateBezier(&points_[size_t(3 * k)], s - k);
    }
    // Length of the path between two parameters: the partial segments by 20 chords, whole ones too.
    double Length(double from, double to) const {
        double total = 0;
        while (from < to - 1e-15) {
            const int turn = closed_ ? int(std::floor(from / segments_)) : 0;
            const int k = std::min(int(from) - turn * segments_, segments_ - 1);
            const double base = double(turn * segments_);
            const double end = std::min(to, base + k + 1);
            tagPointF piece[4];
            CutBezierWindow(&points_[size_t(3 * k)], from - base - k, end - base - k, piece);
            total += GetBezierLength(piece[0].x, piece[0].y, piece[1].x, piece[1].y, piece[2].x, piece[2].y, piece[3].x,
                                     piece[3].y, 20);
            from = end;
        }
        return total;
    }

private:
    const std::vector<tagPointF>& points_;
    int segments_;
    bool closed_;
};

double Distance2(tagPointF a, tagPointF b) { return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y); }

// The parameter past from whose point lies one step (chord length) from the point at from:
// doubling while too close, halving towards the last good value while too far, at most 17 tries.
double NextParameter(const PathWalk& path, double from, double step) {
    const tagPointF origin = path.At(from);
    const double want = step * step;
    double near = 0, far = -1, delta = 0.05;
    double best = from + delta;
    for (int tries = 0; tries < 17; ++tries) {
        const double candidate = from + delta;
        const double d = Distance2(path.At(candidate), origin);
        best = candidate;
        if (d < 0.9801 * want) {
            if (!path.Closed() && candidate >= path.Segments()) break;  // the path ends before the step
            near = delta;
            delta = far < 0 ? 2 * delta : (near + far) / 2;
        } else if (d > 1.0201 * want) {
            far = delta;
            delta = (near + far) / 2;
        } else {
            break;
        }
    }
    return best;
}

}  // namespace

CurvePlacement PlaceAlongPath(const tagPointF* points, int count, PathPosition first, PathPosition second,
                              bool backward, const std::vector<double>& advances, double lastWidth) {
    CurvePlacement result;
    const size_t n = advances.size();
    result.origins.assign(n, tagPointF{0, 0});
    result.rotations.assign(n, 0.0);
    if (!points || count < 4 || n == 0) return result;
    std::vector<tagPointF> path(points, points + (1 + 3 * ((count - 1) / 3)));
    const int segments = int(path.size() - 1) / 3;
    auto linear = [segments](PathPosition p) {
        return std::min(std::max(double(p.index / 3) + std::min(std::max(p.t, 0.0), 1.0), 0.0), double(segments));
    };
    double start = linear(first), end = linear(second);
    if (backward) {
        std::reverse(path.begin(), path.end());
        start = segments - start;
        end = segments - end;
    }
    const tagPointF& a = path.front();
    const tagPointF& b = path.back();
    const bool closed = std::fabs(a.x - b.x) < 1e-10 && std::fabs(a.y - b.y) < 1e-10;
    // Open paths run from the earlier handle to the later one; on a closed path a second handle
    // at or before the first has the text run on through the path's end.
    if (!closed && end < start) std::swap(start, end);
    if (closed && end <= start) end += segments;
    PathWalk walk(path, closed);
    const double available = walk.Length(start, end);
    double total = 0;
    for (double advance : advances) total += advance;
    // Nothing to measure by: no scale, every origin at the first handle.
    if (!(total > 0) || !(available > 0) || !std::isfinite(available)) {
        for (tagPointF& o : result.origins) o = walk.At(start);
        return result;
    }
    const double limit = end;
    double scale = available / total, fittedScale = -1, failedScale = -1;
    std::vector<double> params(n), bestParams;
    for (int pass = 0; pass < 21; ++pass) {
        double s = start;
        bool fits = true;
        params[0] = s;
        for (size_t i = 1; i <= n && fits; ++i) {
            // The last character ends at its outline's width, the others at their advance.
            const double step = (i < n ? advances[i - 1] : lastWidth) * scale;
            s = step > 0 ? NextParameter(walk, s, step) : s;
            if (s > limit + 1e-12) fits = false;
            if (i < n) params[i] = s;
        }
        if (fits) {
            fittedScale = scale;
            bestParams = params;
            scale = failedScale < 0 ? 2 * scale : (scale + failedScale) / 2;
        } else {
            failedScale = scale;
            scale = fittedScale < 0 ? scale / 2 : (scale + fittedScale) / 2;
        }
    }
    result.fitted = fittedScale > 0;
    result.glyphScale = result.fitted ? fittedScale : scale;
    if (!result.fitted) bestParams = params;
    for (size_t i = 0; i < n; ++i) result.origins[i] = walk.At(bestParams[i]);
    for (size_t i = 0; i < n; ++i) {
        tagPointF next;
        if (i + 1 < n) {
            next = result.origins[i + 1];
        } else {
            const double step = advances[i] * result.glyphScale;
            next = walk.At(step > 0 ? NextParameter(walk, bestParams[i], step) : bestParams[i]);
        }
        const double dx = next.x - result.origins[i].x, dy = next.y - result.origins[i].y;
        result.rotations[i] = dx == 0 && dy == 0 ? (i ? result.rotations[i - 1] : 0) : std::atan2(dy, dx);
    }
    return result;
}
