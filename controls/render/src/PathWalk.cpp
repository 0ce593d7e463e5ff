#include "PathWalk.h"

#include <algorithm>
#include <cmath>

#include "EngineTables.h"
#include "geometry/NumericHelpers.h"

namespace {

constexpr int kMaxCubicSteps = 4096;

// v - v is 0 only for finite v.
bool Finite(const tagPointF& p) { return p.x - p.x == 0 && p.y - p.y == 0; }

// 16-bit hash of a cubic's points cut to whole pixels: the key callers keep for the step cache.
std::uint16_t CubicHash(const tagPointF& p0, const tagPointF& p1, const tagPointF& p2, const tagPointF& p3)
{
    auto t = [](double v) {
        return static_cast<unsigned>(__trunc(std::max(-1e9, std::min(1e9, v))));
    };
    unsigned h = t(p0.x) ^ t(p0.y) ^ t(p1.x) ^ t(p1.y) ^ t(p2.x) ^ t(p2.y) ^ t(p3.x) ^ t(p3.y) ^ 0xF5ADu;
    return static_cast<std::uint16_t>(h & 0xFFFF);
}

} // namespace

PathWalk::PathWalk(int capacity) : capacity_(capacity)
{
    points_.reserve(capacity);
}

int PathWalk::CubicSteps(const tagPointF& p0, const tagPointF& p1, const tagPointF& p2, const tagPointF& p3,
                         double tolerance)
{
    // The chords of n equal steps stay within 3/4 * M / n^2 of the curve, M the larger second
    // difference of the control points.
    const double ax = p0.x - 2 * p1.x + p2.x, ay = p0.y - 2 * p1.y + p2.y;
    const double bx = p1.x - 2 * p2.x + p3.x, by = p1.y - 2 * p2.y + p3.y;
    const double m = std::sqrt(std::max(ax * ax + ay * ay, bx * bx + by * by));
    const double n = std::ceil(std::sqrt(0.75 * m / tolerance));
    if (!(n >= 1)) return 1;
    return n > kMaxCubicSteps ? kMaxCubicSteps : static_cast<int>(n);
}

bool PathWalk::Append(double x, double y, double length)
{
    if (static_cast<int>(points_.size()) >= capacity_) return false;
    points_.push_back({x, y, haveCurrent_ ? length : 0.0});
    haveCurrent_ = true;
    curX_ = x;
    curY_ = y;
    return true;
}

void PathWalk::EndSubpath()
{
    const int count = static_cast<int>(points_.size()) - subpathStart_;
    if (count > 0) subpaths_.push_back({subpathStart_, count});
    subpathStart_ = static_cast<int>(points_.size());
    haveCurrent_ = false;
}

double PathWalk::CachedCubicLength(const tagPointF& p0, const tagPointF& p1, const tagPointF& p2,
                                   const tagPointF& p3, const WalkRequest& request)
{
    EngineTables& tables = EngineTables::Get();
    CubicCacheKey key;
    key.hash = CubicHash(p0, p1, p2, p3);
    const double coords[8] = {p0.x, p0.y, p1.x, p1.y, p2.x, p2.y, p3.x, p3.y};
    std::copy(coords, coords + 8, key.coords);
    key.tolerance = request.tolerance;
    if (request.dashKey && *request.dashKey != key.hash) {
        tables.EraseCacheHash(*request.dashKey);
        *request.dashKey = key.hash;
    }
    auto it = tables.tileCache.find(key);
    if (it != tables.tileCache.end()) return it->second.cumulativeLength.back();

    const int n = CubicSteps(p0, p1, p2, p3, request.tolerance);
    CubicStepCache steps;
    steps.stepCount = n;
    steps.cumulativeLength.reserve(n);
    const double ax = -p0.x + 3 * p1.x - 3 * p2.x + p3.x, bx = 3 * p0.x - 6 * p1.x + 3 * p2.x, cx = 3 * p1.x - 3 * p0.x;
    const double ay = -p0.y + 3 * p1.y - 3 * p2.y + p3.y, by = 3 * p0.y - 6 * p1.y + 3 * p2.y, cy = 3 * p1.y - 3 * p0.y;
    double lx = p0.x, ly = p0.y, total = 0;
    for (int i = 1; i <= n; ++i) {
        double x, y;
        if (i == n) { x = p3.x; y = p3.y; }
        else {
            const double t = static_cast<double>(i) / n;
            x = ((ax * t + bx) * t + cx) * t + p0.x;
            y = ((ay * t + by) * t + cy) * t + p0.y;
        }
        total += std::hypot(x - lx, y - ly);
        steps.cumulativeLength.push_back(total);
        lx = x;
        ly = y;
    }
    tables.tileCache.emplace(key, std::move(steps));
    return total;
}

bool PathWalk::FlattenCubic(const tagPointF& p0, const tagPointF& p1, const tagPointF& p2, const tagPointF& p3,
                            const WalkRequest& request)
{
    if (!Finite(p1) || !Finite(p2)) return Append(p3.x, p3.y, std::hypot(p3.x - p0.x, p3.y - p0.y));
    const double minX = std::min(std::min(p0.x, p1.x), std::min(p2.x, p3.x));
    const double maxX = std::max(std::max(p0.x, p1.x), std::max(p2.x, p3.x));
    const double minY = std::min(std::min(p0.y, p1.y), std::min(p2.y, p3.y));
    const double maxY = std::max(std::max(p0.y, p1.y), std::max(p2.y, p3.y));
    const tagRectF& c = request.clip;
    if (minX >= c.right || maxX <= c.left || minY >= c.bottom || maxY <= c.top) {
        const double length = request.needLengths ? CachedCubicLength(p0, p1, p2, p3, request)
                                                  : std::hypot(p3.x - p0.x, p3.y - p0.y);
        return Append(p3.x, p3.y, length);
    }
    const int n = CubicSteps(p0, p1, p2, p3, request.tolerance);
    const double ax = -p0.x + 3 * p1.x - 3 * p2.x + p3.x, bx = 3 * p0.x - 6 * p1.x + 3 * p2.x, cx = 3 * p1.x - 3 * p0.x;
    const double ay = -p0.y + 3 * p1.y - 3 * p2.y + p3.y, by = 3 * p0.y - 6 * p1.y + 3 * p2.y, cy = 3 * p1.y - 3 * p0.y;
    for (int i = 1; i <= n; ++i) {
        double x, y;
        if (i == n) { x = p3.x; y = p3.y; }
        else {
            const double t = static_cast<double>(i) / n;
            x = ((ax * t + bx) * t + cx) * t + p0.x;
            y = ((ay * t + by) * t + cy) * t + p0.y;
        }
        if (!Append(x, y, request.needLengths ? std::hypot(x - curX_, y - curY_) : 0.0)) return false;
    }
    return true;
}

// Lengths are only kept for dashes.
double PathWalk::Distance(const tagPointF& p, const WalkRequest& request) const
{
    return request.needLengths ? std::hypot(p.x - curX_, p.y - curY_) : 0.0;
}

bool PathWalk::Run(const WalkRequest& request)
{
    points_.clear();
    subpaths_.clear();
    subpathStart_ = 0;
    haveCurrent_ = false;
    const SegmentDesc* segs = request.segments;
    for (int i = 0; i < request.count; ++i) {
        const SegmentDesc& s = segs[i];
        if (s.kind == SegmentEnd) {
            EndSubpath();
            continue;
        }
        if (s.kind != SegmentCubic && s.kind != SegmentLine) continue;
        // Unusable points are left out; the polyline joins the points around them.
        if (Finite(s.pt1) && (!haveCurrent_ || s.pt1.x != curX_ || s.pt1.y != curY_)) {
            if (!Append(s.pt1.x, s.pt1.y, Distance(s.pt1, request))) return false;
        }
        if (s.kind == SegmentLine) {
            if (Finite(s.pt2) && !Append(s.pt2.x, s.pt2.y, Distance(s.pt2, request)))
                return false;
        } else if (i + 1 < request.count) {
            const tagPointF& end = segs[i + 1].pt1;
            if (Finite(s.pt1) && Finite(end) && haveCurrent_) {
                if (!FlattenCubic(s.pt1, s.pt2, s.pt3, end, request)) return false;
            }
        }
    }
    EndSubpath();
    return true;
}
