#include "PathWalk.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "EngineTables.h"
#include "render/BezierGeometry.h"
#include "geometry/NumericHelpers.h"

namespace {

// v - v is 0 only for finite v.
bool Finite(const tagPointF& p) { return p.x - p.x == 0 && p.y - p.y == 0; }

tagPointF Snapped(const tagPointF& p, bool snap)
{
    if (!snap || !Finite(p)) return p;
    return {__crop(p.x), __crop(p.y)};
}

// Nearest integer, halves to even, for values well inside the int range.
inline int RoundNearest(double v)
{
    const double magic = 6755399441055744.0;   // 1.5 * 2^52
    volatile double shifted = v + magic;
    return static_cast<int>(static_cast<long long>(shifted - magic));
}

// 16-bit hash of a cubic's points cut to whole pixels: the key callers keep for the step cache.
std::uint16_t CubicHash(const tagPointF& p0, const tagPointF& p1, const tagPointF& p2, const tagPointF& p3)
{
    auto t = [](double v) {
        return static_cast<unsigned>(__trunc(std::max(-1e9, std::min(1e9, v))));
    };
    unsigned h = t(p0.x) ^ t(p0.y) ^ t(p1.x) ^ t(p1.y) ^ t(p2.x) ^ t(p2.y) ^ t(p3.x) ^ t(p3.y) ^ 0xF5ADu;
    return static_cast<std::uint16_t>(h & 0xFFFF);
}

constexpr double kLineStep = 0.98;
constexpr double kDashLineStep = 1.0;
// A line's last step this close to its end point is weakened by the distance, so the end point
// does not double it up.
constexpr double kNearEnd2 = 0.95;

} // namespace

PathWalk::PathWalk(int capacity) : capacity_(capacity)
{
    points_.reserve(capacity);
}

int PathWalk::Outcode(double x, double y) const
{
    const tagRectF& c = request_->clip;
    return (x < c.left ? 1 : 0) | (x > c.right ? 2 : 0) | (y < c.top ? 4 : 0) | (y > c.bottom ? 8 : 0);
}

bool PathWalk::Append(double x, double y, std::uint8_t coverage)
{
    if (static_cast<int>(points_.size()) >= capacity_) return false;
    // (Written in place: a point built aside and copied in stalls on the copy.)
    points_.emplace_back();
    WalkPoint& p = points_.back();
    p.x = x;
    p.y = y;
    p.coverage = coverage;
    p.gap = dash_.dashed() && !dash_.on();
    p.straight = false;
    p.smooth = smooth_;
    return true;
}

// Appends a point pulled onto the clip; three points in a row on one border line, going one way,
// keep only the outer two.
bool PathWalk::Push(double x, double y, std::uint8_t coverage)
{
    const tagRectF& c = request_->clip;
    const double cx = std::min(std::max(x, c.left), c.right);
    const double cy = std::min(std::max(y, c.top), c.bottom);
    const int n = static_cast<int>(points_.size());
    if (n - subpathStart_ >= 2) {
        const WalkPoint& a = points_[n - 2];
        WalkPoint& b = points_[n - 1];
        const bool onBorderX = (b.x == c.left || b.x == c.right) && a.x == b.x && b.x == cx;
        const bool onBorderY = (b.y == c.top || b.y == c.bottom) && a.y == b.y && b.y == cy;
        if ((onBorderX && (b.y - a.y) * (cy - b.y) >= 0) || (onBorderY && (b.x - a.x) * (cx - b.x) >= 0)) {
            b.x = cx;
            b.y = cy;
            return true;
        }
    }
    return Append(cx, cy, coverage);
}

// The next point of a curve's walk. Inside the clip it is kept as it is; a stretch of the walk outside
// is pulled onto the clip's border region by region, which leaves every row's winding inside the
// tile as it was. Chords are shorter than a pixel, so a chord from a pulled point into the clip
// differs from the curve's own only far outside the tile.
bool PathWalk::AppendWalked(double x, double y, std::uint8_t coverage)
{
    const double fromX = curX_, fromY = curY_;
    const bool had = haveCurrent_;
    curX_ = x;
    curY_ = y;
    haveCurrent_ = true;
    const int c1 = Outcode(x, y);
    if (!had) {
        startX_ = x;
        startY_ = y;
        return Append(x, y, coverage);
    }
    const int c0 = Outcode(fromX, fromY);
    if ((c0 | c1) == 0) return Append(x, y, coverage);
    if (c0 != c1 && (c0 & c1) == 0) {
        // Where the chord crosses the clip's four lines, in order along it.
        const tagRectF& c = request_->clip;
        const double dx = x - fromX, dy = y - fromY;
        double ts[4];
        int count = 0;
        auto cross = [&](double edge, double from, double d) {
            if (d == 0) return;
            const double t = (edge - from) / d;
            if (t > 0 && t < 1) ts[count++] = t;
        };
        cross(c.left, fromX, dx);
        cross(c.right, fromX, dx);
        cross(c.top, fromY, dy);
        cross(c.bottom, fromY, dy);
        for (int i = 1; i < count; ++i)
            for (int j = i; j > 0 && ts[j] < ts[j - 1]; --j) std::swap(ts[j], ts[j - 1]);
        for (int i = 0; i < count; ++i)
            if (!Push(fromX + dx * ts[i], fromY + dy * ts[i], coverage)) return false;
    }
    return Push(x, y, coverage);
}

// The next point of a line: kept exactly, so the line crosses the tile as it is. When the walk
// stands on a pulled point, its true position comes first (the way there lies outside the clip).
bool PathWalk::AppendExact(double x, double y, std::uint8_t coverage)
{
    if (!haveCurrent_) return AppendWalked(x, y, coverage);   // a sub-path starts where it is
    const WalkPoint& last = points_.back();
    if (static_cast<int>(points_.size()) > subpathStart_ && (last.x != curX_ || last.y != curY_))
        if (!Append(curX_, curY_, last.coverage)) return false;
    curX_ = x;
    curY_ = y;
    return Append(x, y, coverage);
}

// The curve's first and last steps of any length (its walk may start or end with a step too short
// for an outline to take): they fix the directions at its ends. -1 where there is none.
PathWalk::EndSteps PathWalk::EndStepsOf(const CurveSteps& steps, double x0, double y0)
{
    auto apart = [](const StepEnd& a, double x, double y) {
        const double dx = a.x - x, dy = a.y - y;
        return dx * dx + dy * dy >= 1e-12;
    };
    EndSteps ends{-1, -1};
    if (steps.count < 2) return ends;
    const StepEnd& end = steps.ends[steps.count - 1];
    long first = 0;
    while (first < steps.count - 1 && !apart(steps.ends[first], x0, y0)) ++first;
    long last = steps.count - 2;
    while (last >= first && !apart(steps.ends[last], end.x, end.y)) --last;
    if (first <= last) ends = {first, last};
    return ends;
}

// A step end taken as it is, inside the clip or not: the ends of a curve and the steps beside them
// fix the joins at the path's vertices, so every tile must see them where the whole drawing does.
// The chord to it from a point pulled onto the border runs outside the clip, or within a chord's
// length of its border.
bool PathWalk::AppendTrue(double x, double y)
{
    curX_ = x;
    curY_ = y;
    if (!haveCurrent_) {
        haveCurrent_ = true;
        startX_ = x;
        startY_ = y;
    }
    return Append(x, y, 255);
}

namespace {
// Directions that turn by less than about 22.6 degrees: a wide outline joins them straight across.
bool NearlyParallel(double ax, double ay, double bx, double by)
{
    const double la = std::sqrt(ax * ax + ay * ay), lb = std::sqrt(bx * bx + by * by);
    if (!(la > 0) || !(lb > 0) || !std::isfinite(la) || !std::isfinite(lb)) return false;
    return (ax * bx + ay * by) >= 0.923 * la * lb;
}

// Direction of a cubic at its start (reversed: at its end): the first control point that differs.
void CubicDirection(const tagPointF& a, const tagPointF& b, const tagPointF& c, const tagPointF& d, double& tx,
                    double& ty)
{
    if (b.x != a.x || b.y != a.y) { tx = b.x - a.x; ty = b.y - a.y; return; }
    if (c.x != a.x || c.y != a.y) { tx = c.x - a.x; ty = c.y - a.y; return; }
    tx = d.x - a.x; ty = d.y - a.y;
}
} // namespace

void PathWalk::NoteSegmentStart(double tx, double ty)
{
    if (!subpathBegun_) {
        subpathBegun_ = true;
        firstTx_ = tx;
        firstTy_ = ty;
    }
    if (vertex_ >= 0 && vertex_ < static_cast<long>(points_.size()) &&
        NearlyParallel(vertexTx_, vertexTy_, tx, ty))
        points_[vertex_].smooth = true;
    vertex_ = -1;
}

void PathWalk::NoteSegmentEnd(double x, double y, double tx, double ty)
{
    vertex_ = -1;
    if (!points_.empty() && static_cast<int>(points_.size()) > subpathStart_ && points_.back().x == x &&
        points_.back().y == y) {
        vertex_ = static_cast<long>(points_.size()) - 1;
        vertexTx_ = tx;
        vertexTy_ = ty;
    }
}

void PathWalk::EndSubpath()
{
    // A closed sub-path meets its start smoothly when its last direction continues its first.
    if (subpathBegun_ && vertex_ >= 0 && static_cast<int>(points_.size()) > subpathStart_) {
        const WalkPoint& first = points_[subpathStart_];
        if (points_[vertex_].x == first.x && points_[vertex_].y == first.y &&
            NearlyParallel(vertexTx_, vertexTy_, firstTx_, firstTy_))
            points_[subpathStart_].smooth = true;
    }
    vertex_ = -1;
    subpathBegun_ = false;

    if (haveCurrent_ && request_->closeSubpaths && (curX_ != startX_ || curY_ != startY_)) {
        // The way back to the start is walked like any line; the start itself is already there.
        Line(curX_, curY_, startX_, startY_, false);
    }
    if (request_->closeSubpaths && static_cast<int>(points_.size()) - subpathStart_ > 1) {
        // A closed outline that came back to its start by itself does not take the start twice.
        const WalkPoint& first = points_[subpathStart_];
        if (points_.back().x == first.x && points_.back().y == first.y) points_.pop_back();
    }
    const int count = static_cast<int>(points_.size()) - subpathStart_;
    if (count > 0) subpaths_.push_back({subpathStart_, count});
    subpathStart_ = static_cast<int>(points_.size());
    haveCurrent_ = false;
    dash_.Restart();
}

bool PathWalk::Line(double x0, double y0, double x1, double y1, bool appendEnd)
{
    if (!request_->stepLines) return appendEnd ? AppendExact(x1, y1) : true;
    const double dx = x1 - x0, dy = y1 - y0;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (!(length > 0)) return true;
    if (!std::isfinite(length)) return appendEnd ? AppendExact(x1, y1) : true;
    const double step = dash_.dashed() ? kDashLineStep : kLineStep;
    // Steps are taken while at least one pixel is left.
    // Far beyond any tile a line's steps only count for the dashes; the count is kept in range.
    const double stepCount = length >= 1 ? std::floor((length - 1) / step) + 1 : 0;
    const long long steps = stepCount < 4e15 ? static_cast<long long>(stepCount) : 4000000000000000LL;
    long long first = steps + 1, last = steps;
    {
        // Only the steps near the clip are appended; the others only move the dash pattern on.
        const tagRectF& c = request_->clip;
        double t0 = 0, t1 = 1;
        const double a[2] = {x0, y0}, d[2] = {dx, dy}, lo[2] = {c.left, c.top}, hi[2] = {c.right, c.bottom};
        bool hit = true;
        for (int k = 0; k < 2 && hit; ++k) {
            if (d[k] == 0) {
                hit = a[k] >= lo[k] && a[k] <= hi[k];
                continue;
            }
            double ta = (lo[k] - a[k]) / d[k], tb = (hi[k] - a[k]) / d[k];
            if (ta > tb) std::swap(ta, tb);
            t0 = std::max(t0, ta);
            t1 = std::min(t1, tb);
        }
        if (hit && t0 <= t1) {
            first = std::max(1LL, static_cast<long long>(std::floor(t0 * length / step)) - 1);
            last = std::min(steps, static_cast<long long>(std::ceil(t1 * length / step)) + 1);
        }
    }
    if (first > last) {
        dash_.Advance(steps);
    } else {
        dash_.Advance(first - 1);
        const double rest = length - steps * step;
        // Every step is placed from the line's start by its number alone, so every tile finds the
        // same points.
        const double sx = dx * (step / length), sy = dy * (step / length);
        if (!AppendExact(x0 + sx * first, y0 + sy * first)) return false;
        points_.back().straight = true;
        if (first == steps && rest * rest < kNearEnd2) points_.back().coverage = static_cast<std::uint8_t>(RoundNearest(255 * rest));
        dash_.Step();
        points_.back().gap = dash_.dashed() && !dash_.on();
        if (static_cast<long long>(points_.size()) + (last - first) > capacity_) return false;
        for (long long k = first + 1; k <= last; ++k) {
            dash_.Step();
            points_.push_back({x0 + sx * k, y0 + sy * k, 255, dash_.dashed() && !dash_.on(), true, false});
        }
        if (last == steps && rest * rest < kNearEnd2 && last > first)
            points_.back().coverage = static_cast<std::uint8_t>(RoundNearest(255 * rest));
        curX_ = points_.back().x;
        curY_ = points_.back().y;
        dash_.Advance(steps - last);
    }
    if (appendEnd) return AppendExact(x1, y1);
    return true;
}

const CubicStepCache& PathWalk::CachedSteps(const tagPointF& p0, const tagPointF& p1, const tagPointF& p2,
                                            const tagPointF& p3)
{
    EngineTables& tables = EngineTables::Get();
    CubicCacheKey key;
    key.hash = CubicHash(p0, p1, p2, p3);
    const double coords[8] = {p0.x, p0.y, p1.x, p1.y, p2.x, p2.y, p3.x, p3.y};
    std::copy(coords, coords + 8, key.coords);
    key.tolerance = request_->tolerance;
    if (request_->dashKey && *request_->dashKey != key.hash) {
        tables.EraseCacheHash(*request_->dashKey);
        *request_->dashKey = key.hash;
    }
    auto it = tables.tileCache.find(key);
    if (it != tables.tileCache.end()) return it->second;

    CubicStepCache cache;
    double from = 0;
    FlattenSteps(p0, p1, p2, p3, request_->tolerance, [&](double t, double, double) {
        cache.steps.push_back({from, static_cast<std::int32_t>(cache.steps.size())});
        from = t;
        return true;
    });
    return tables.tileCache.emplace(key, std::move(cache)).first->second;
}

// A dashed curve near the tile: its steps are taken from the cache, so the walk starts where the
// curve comes near the clip instead of at its start, with the dash pattern moved on by the steps
// before. The stretches between lie outside the clip and are kept as one point per clip region,
// pulled onto the border like any other point outside.
bool PathWalk::DashedCubic(const tagPointF& p0, const tagPointF& p1, const tagPointF& p2, const tagPointF& p3)
{
    const std::vector<CubicStep>& steps = CachedSteps(p0, p1, p2, p3).steps;
    const long count = static_cast<long>(steps.size());
    const double ax = -p0.x + 3 * p1.x - 3 * p2.x + p3.x, bx = 3 * p0.x - 6 * p1.x + 3 * p2.x, cx = 3 * p1.x - 3 * p0.x;
    const double ay = -p0.y + 3 * p1.y - 3 * p2.y + p3.y, by = 3 * p0.y - 6 * p1.y + 3 * p2.y, cy = 3 * p1.y - 3 * p0.y;
    auto x = [&](double t) { return ((ax * t + bx) * t + cx) * t + p0.x; };
    auto y = [&](double t) { return ((ay * t + by) * t + cy) * t + p0.y; };
    // The parameter where step k begins, and the point there, as the walk of the whole curve has them.
    auto stepT = [&](long k) { return k >= count ? 1.0 : steps[k].t; };
    auto stepPoint = [&](long k, double& px, double& py) {
        if (k >= count) { px = p3.x; py = p3.y; }
        else if (k == 0) { px = p0.x; py = p0.y; }
        else { px = x(steps[k].t); py = y(steps[k].t); }
    };

    // Where the curve crosses the clip's four lines splits it into stretches each inside or outside.
    const tagRectF& c = request_->clip;
    double cuts[14];
    int cutCount = 0;
    cuts[cutCount++] = 0;
    const double lines[4] = {c.left, c.right, c.top, c.bottom};
    for (int k = 0; k < 4; ++k) {
        double roots[3];
        const int found = k < 2 ? SolveCubic(ax, bx, cx, p0.x - lines[k], roots, 1e-8)
                                : SolveCubic(ay, by, cy, p0.y - lines[k], roots, 1e-8);
        for (int r = 0; r < found; ++r)
            if (roots[r] > 0 && roots[r] < 1) cuts[cutCount++] = roots[r];
    }
    cuts[cutCount++] = 1;
    for (int i = 1; i < cutCount; ++i)
        for (int j = i; j > 0 && cuts[j] < cuts[j - 1]; --j) std::swap(cuts[j], cuts[j - 1]);

    // For each stretch inside: the steps from the one before its start to the one after its end.
    struct Stretch {
        double mid, x, y;
        bool inside;
        long first, last;
    };
    Stretch stretches[13];
    int stretchCount = 0;
    for (int i = 0; i + 1 < cutCount; ++i) {
        const double u0 = cuts[i], u1 = cuts[i + 1];
        if (!(u1 > u0)) continue;
        Stretch& st = stretches[stretchCount++];
        st.mid = (u0 + u1) / 2;
        st.x = x(st.mid);
        st.y = y(st.mid);
        st.inside = st.x >= c.left && st.x <= c.right && st.y >= c.top && st.y <= c.bottom;
        st.first = static_cast<long>(std::upper_bound(steps.begin(), steps.end(), u0,
                                                      [](double t, const CubicStep& s) { return t < s.t; }) -
                                     steps.begin()) - 2;
        st.last = static_cast<long>(std::lower_bound(steps.begin(), steps.end(), u1,
                                                     [](const CubicStep& s, double t) { return s.t < t; }) -
                                    steps.begin()) + 1;
        st.first = std::max(st.first, 0L);
        st.last = std::min(st.last, count);
    }

    long done = 0;      // steps walked or counted so far
    double lastT = 0;   // parameter of the last point appended
    for (int i = 0; i < stretchCount; ++i) {
        const Stretch& st = stretches[i];
        if (!st.inside) {
            // One point stands for the stretch when no step of the walk reaches into it.
            double nextT = 1;
            for (int j = i + 1; j < stretchCount; ++j)
                if (stretches[j].inside) {
                    nextT = stepT(stretches[j].first);
                    break;
                }
            if (st.mid > lastT && st.mid < nextT) {
                smooth_ = true;
                const bool appended = AppendWalked(st.x, st.y);
                smooth_ = false;
                if (!appended) return false;
                lastT = st.mid;
            }
            continue;
        }
        const long first = std::max(st.first, done);
        if (first > done) {
            dash_.Advance(first - done);
            double px, py;
            stepPoint(first, px, py);
            smooth_ = first > 0;
            const bool appended = AppendWalked(px, py);
            smooth_ = false;
            if (!appended) return false;
        }
        for (long k = first; k < st.last; ++k) {
            dash_.Step();
            double px, py;
            stepPoint(k + 1, px, py);
            smooth_ = k + 1 < count;
            const bool appended = AppendWalked(px, py);
            smooth_ = false;
            if (!appended) return false;
        }
        done = std::max(done, st.last);
        lastT = stepT(done);
    }
    if (done < count) {
        dash_.Advance(count - done);
        if (!AppendWalked(p3.x, p3.y)) return false;
    }
    return true;
}

bool PathWalk::Cubic(const tagPointF& p0, const tagPointF& p1, const tagPointF& p2, const tagPointF& p3)
{
    const double minX = std::min(std::min(p0.x, p1.x), std::min(p2.x, p3.x));
    const double maxX = std::max(std::max(p0.x, p1.x), std::max(p2.x, p3.x));
    const double minY = std::min(std::min(p0.y, p1.y), std::min(p2.y, p3.y));
    const double maxY = std::max(std::max(p0.y, p1.y), std::max(p2.y, p3.y));
    const tagRectF& c = request_->clip;
    if (minX >= c.right || maxX <= c.left || minY >= c.bottom || maxY <= c.top) {
        // Wholly outside: its chord stands in for it, and its steps still count for the dashes.
        if (dash_.dashed()) {
            dash_.Advance(CachedSteps(p0, p1, p2, p3).stepCount());
        } else if (besideLine_) {
            // A line that may cross the tile meets it: the curve's first and last steps fix the
            // joins at its ends.
            const CurveSteps steps = StepsOf(p0, p1, p2, p3);
            const EndSteps own = EndStepsOf(steps, p0.x, p0.y);
            smooth_ = true;
            bool taken = true;
            if (own.first >= 0) taken = AppendTrue(steps.ends[own.first].x, steps.ends[own.first].y);
            if (taken && own.last > own.first) taken = AppendTrue(steps.ends[own.last].x, steps.ends[own.last].y);
            smooth_ = false;
            if (!taken) return false;
        }
        return AppendExact(p3.x, p3.y);
    }
    if (dash_.dashed()) return DashedCubic(p0, p1, p2, p3);
    // The curve's own steps are smooth; its end is a vertex of the path, judged with the next record.
    const std::size_t before = points_.size();
    bool walked;
    if (minX < c.left || maxX > c.right || minY < c.top || maxY > c.bottom) {
        smooth_ = true;
        walked = CubicAcrossClip(StepsOf(p0, p1, p2, p3));
        smooth_ = false;
    } else {
        // Wholly inside: every chord is taken as it is.
        walked = FlattenSteps(p0, p1, p2, p3, request_->tolerance, [this](double, double x, double y) {
                     if (static_cast<int>(points_.size()) >= capacity_) return false;
                     // Field by field: a whole-point temporary is stored as two halves and
                     // reloaded as one, which stalls the copy.
                     WalkPoint& point = points_.emplace_back();
                     point.x = x;
                     point.y = y;
                     point.coverage = 255;
                     point.gap = false;
                     point.straight = false;
                     point.smooth = true;
                     curX_ = x;
                     curY_ = y;
                     return true;
                 }) >= 0;
    }
    if (points_.size() > before) points_.back().smooth = false;
    return walked;
}

// The ends of a curve's steps: from the drawing's memo when it holds them, else walked here (and
// kept for the drawing's other tiles).
CurveSteps PathWalk::StepsOf(const tagPointF& p0, const tagPointF& p1, const tagPointF& p2, const tagPointF& p3)
{
    CurveKey key;
    const double values[9] = {p0.x, p0.y, p1.x, p1.y, p2.x, p2.y, p3.x, p3.y, request_->tolerance};
    std::memcpy(key.values, values, sizeof values);
    CurveSteps steps;
    CurveStepMemo* memo = request_->memo;
    if (memo && memo->Find(key, steps)) return steps;

    stepEnds_.clear();
    FlattenSteps(p0, p1, p2, p3, request_->tolerance, [this](double, double x, double y) {
        // (Written in its place: an end built aside and copied in stalls on the copy.)
        stepEnds_.emplace_back();
        StepEnd& end = stepEnds_.back();
        end.x = x;
        end.y = y;
        return true;
    });
    stepBoxes_.clear();
    const long count = static_cast<long>(stepEnds_.size());
    for (long first = 0; first < count; first += CurveSteps::kStepBlock) {
        const long end = std::min(count, first + CurveSteps::kStepBlock);
        StepBox box{stepEnds_[first].x, stepEnds_[first].y, stepEnds_[first].x, stepEnds_[first].y};
        for (long k = first + 1; k < end; ++k) {
            box.left = std::min(box.left, stepEnds_[k].x);
            box.right = std::max(box.right, stepEnds_[k].x);
            box.top = std::min(box.top, stepEnds_[k].y);
            box.bottom = std::max(box.bottom, stepEnds_[k].y);
        }
        stepBoxes_.push_back(box);
    }
    if (memo) memo->Keep(key, stepEnds_, stepBoxes_);
    steps.ends = stepEnds_.data();
    steps.count = count;
    steps.boxes = stepBoxes_.data();
    return steps;
}

// A curve that crosses the clip's border, walked from its step ends. Of a run of steps that stay in
// one region outside the clip only the first and the last end are taken: each region is convex, so
// the chords between never enter the clip, and pulled onto the border they would only run along it
// between those two. Every point inside the clip, and every place where a chord crosses its border,
// is the whole walk's. Blocks of steps whose box lies in the region the walk is in are passed over
// without looking at their steps, or, inside the clip, taken whole.
bool PathWalk::CubicAcrossClip(const CurveSteps& steps)
{
    const tagRectF& c = request_->clip;
    // The region that holds the whole box, or -1 when it spans more than one.
    auto boxCode = [&c](const StepBox& b) {
        int code = 0;
        if (b.right < c.left) code |= 1;
        else if (b.left > c.right) code |= 2;
        else if (!(b.left >= c.left && b.right <= c.right)) return -1;
        if (b.bottom < c.top) code |= 4;
        else if (b.top > c.bottom) code |= 8;
        else if (!(b.top >= c.top && b.bottom <= c.bottom)) return -1;
        return code;
    };
    constexpr long kBlock = CurveSteps::kStepBlock;
    const long n = steps.count;
    // The steps that fix the directions at the curve's ends are the curve's own even outside.
    const EndSteps ends = EndStepsOf(steps, curX_, curY_);
    const long ownTo = std::max(ends.first, 0L);
    const long ownFrom = ends.last >= 0 ? ends.last : n - 1;
    int lastCode = Outcode(curX_, curY_);
    long held = -1;   // last end of the current run outside, not yet taken
    for (long k = 0; k < n;) {
        if (k % kBlock == 0) {
            const long end = std::min(n, k + kBlock);
            const int code = boxCode(steps.boxes[k / kBlock]);
            if (code == lastCode && code != 0 && k > ownTo && end <= ownFrom) {
                held = end - 1;
                k = end;
                continue;
            }
            if (code == 0 && lastCode == 0) {
                // Chords from inside to inside are taken as they are.
                if (static_cast<long>(points_.size()) + (end - k) > capacity_) return false;
                for (; k < end; ++k) points_.push_back({steps.ends[k].x, steps.ends[k].y, 255, false, false, true});
                curX_ = steps.ends[end - 1].x;
                curY_ = steps.ends[end - 1].y;
                continue;
            }
        }
        const StepEnd& p = steps.ends[k];
        const int code = Outcode(p.x, p.y);
        const bool own = k <= ownTo || k >= ownFrom;
        if (code != 0 && code == lastCode && !own) {
            held = k;
        } else {
            if (held >= 0 && !AppendWalked(steps.ends[held].x, steps.ends[held].y)) return false;
            held = -1;
            if (!(own && code != 0 ? AppendTrue(p.x, p.y) : AppendWalked(p.x, p.y))) return false;
        }
        lastCode = code;
        ++k;
    }
    return true;
}

bool PathWalk::Run(const WalkRequest& request)
{
    request_ = &request;
    dash_ = DashState(request.dash);
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
        // Unusable points are left out; the walk joins the points around them.
        const tagPointF p1 = Snapped(s.pt1, request.snap);
        if (Finite(p1)) {
            if (!haveCurrent_) {
                if (!AppendWalked(p1.x, p1.y)) return false;
            } else if (p1.x != curX_ || p1.y != curY_) {
                vertex_ = -1;   // the record does not start where the last one ended: no vertex to judge
                if (!Line(curX_, curY_, p1.x, p1.y, true)) return false;
            }
        }
        if (s.kind == SegmentLine) {
            const tagPointF p2 = Snapped(s.pt2, request.snap);
            if (!Finite(p2)) continue;
            if (!haveCurrent_) {
                if (!AppendWalked(p2.x, p2.y)) return false;
            } else {
                const double x0 = curX_, y0 = curY_;
                NoteSegmentStart(p2.x - x0, p2.y - y0);
                if (!Line(x0, y0, p2.x, p2.y, true)) return false;
                NoteSegmentEnd(p2.x, p2.y, p2.x - x0, p2.y - y0);
            }
        } else if (i + 1 < request.count) {
            const tagPointF end = Snapped(segs[i + 1].pt1, request.snap);
            if (!Finite(p1) || !Finite(end) || !haveCurrent_) continue;
            const tagPointF c1 = Snapped(s.pt2, request.snap), c2 = Snapped(s.pt3, request.snap);
            if (!Finite(c1) || !Finite(c2)) {
                const double x0 = curX_, y0 = curY_;
                NoteSegmentStart(end.x - x0, end.y - y0);
                if (!Line(x0, y0, end.x, end.y, true)) return false;
                NoteSegmentEnd(end.x, end.y, end.x - x0, end.y - y0);
            } else {
                besideLine_ = i == 0 || segs[i - 1].kind != SegmentCubic || segs[i + 1].kind != SegmentCubic;
                double sx, sy, ex, ey;
                CubicDirection(p1, c1, c2, end, sx, sy);
                CubicDirection(end, c2, c1, p1, ex, ey);
                NoteSegmentStart(sx, sy);
                if (!Cubic(p1, c1, c2, end)) return false;
                NoteSegmentEnd(end.x, end.y, -ex, -ey);
            }
        }
    }
    EndSubpath();
    return true;
}
