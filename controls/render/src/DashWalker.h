#pragma once
// Cuts a polyline into the drawn stretches of a dash pattern, measured in pixels along the path.
// The pattern starts afresh with every sub-path.
#include <algorithm>
#include <cmath>
#include <vector>

#include "PathWalk.h"
#include "StrokeOutline.h"
#include "render/FillInfo.h"

// Parameter range [t0, t1] of the segment a -> b inside the box, or false when it misses it.
inline bool SegmentInBox(double ax, double ay, double bx, double by, const tagRectF& box, double& t0, double& t1)
{
    t0 = 0;
    t1 = 1;
    const double d[2] = {bx - ax, by - ay};
    const double a[2] = {ax, ay};
    const double lo[2] = {box.left, box.top}, hi[2] = {box.right, box.bottom};
    for (int k = 0; k < 2; ++k) {
        if (d[k] == 0) {
            if (a[k] < lo[k] || a[k] > hi[k]) return false;
            continue;
        }
        double ta = (lo[k] - a[k]) / d[k], tb = (hi[k] - a[k]) / d[k];
        if (ta > tb) std::swap(ta, tb);
        t0 = std::max(t0, ta);
        t1 = std::min(t1, tb);
    }
    return t0 <= t1;
}

// Segments longer than this are walked only near the box; shorter ones are walked whole so every
// tile of a drawing places the dashes alike.
constexpr double kLongDashSegment = 65536.0;

template <class EmitStretch>
void DashPolyline(const WalkPoint* pts, int count, bool closeBack, const DashPattern& pattern, const tagRectF& box,
                  EmitStretch&& emit, std::vector<StrokePoint>& stretch)
{
    const int elements = static_cast<int>(pattern.head & 0xFFFF);
    if (count < 1 || elements < 1 || elements > 6) return;
    const bool headOn = (pattern.head & 0x80000000u) != 0;
    int element = 0;
    bool on = headOn;
    double remaining = pattern.lengths[0];
    stretch.clear();
    if (on) stretch.push_back({pts[0].x, pts[0].y});

    double total = 0;
    for (int i = 0; i < elements; ++i) total += pattern.lengths[i] > 0 ? pattern.lengths[i] : 1;
    auto nextElement = [&]() {
        if (++element == elements) { element = 0; on = headOn; }
        else on = !on;
        remaining = pattern.lengths[element];
        if (!(remaining > 0)) remaining = 1;
    };
    // Moves the pattern on by a distance without drawing; whole cycles come back to the same state.
    auto skip = [&](double distance) {
        if (distance < remaining) { remaining -= distance; return; }
        distance -= remaining;
        nextElement();
        distance = std::fmod(distance, total);
        while (distance >= remaining) { distance -= remaining; nextElement(); }
        remaining -= distance;
    };

    auto segment = [&](double ax, double ay, double bx, double by, double length) {
        if (!(length > 0) || !std::isfinite(length)) {
            if (on) stretch.push_back({bx, by});
            return;
        }
        double pos = 0, stop = length;
        if (length > kLongDashSegment) {
            double t0, t1;
            if (!SegmentInBox(ax, ay, bx, by, box, t0, t1)) {
                if (on && stretch.size() >= 2) emit(stretch);
                stretch.clear();
                skip(length);
                if (on) stretch.push_back({bx, by});
                return;
            }
            const double from = std::max(0.0, t0 * length - total);
            if (from > 0) {
                if (on) {
                    stretch.push_back({ax + (bx - ax) * (from / length), ay + (by - ay) * (from / length)});
                    if (stretch.size() >= 2) emit(stretch);
                }
                stretch.clear();
                skip(from);
                pos = from;
                if (on) stretch.push_back({ax + (bx - ax) * (pos / length), ay + (by - ay) * (pos / length)});
            }
            stop = std::min(length, t1 * length + total);
        }
        while (stop - pos > remaining) {
            pos += remaining;
            const double f = pos / length;
            const StrokePoint q{ax + (bx - ax) * f, ay + (by - ay) * f};
            if (on) {
                stretch.push_back(q);
                emit(stretch);
                stretch.clear();
            } else {
                stretch.clear();
                stretch.push_back(q);
            }
            nextElement();
        }
        if (stop < length) {
            // The rest lies beyond the box: finish the stretch there and move the pattern on.
            const StrokePoint q{ax + (bx - ax) * (stop / length), ay + (by - ay) * (stop / length)};
            if (on) {
                stretch.push_back(q);
                if (stretch.size() >= 2) emit(stretch);
            }
            stretch.clear();
            remaining -= stop - pos;
            skip(length - stop);
            if (on) stretch.push_back({bx, by});
            return;
        }
        remaining -= length - pos;
        if (on) stretch.push_back({bx, by});
    };

    for (int i = 1; i < count; ++i) segment(pts[i - 1].x, pts[i - 1].y, pts[i].x, pts[i].y, pts[i].length);
    if (closeBack && count > 1) {
        const WalkPoint& a = pts[count - 1];
        const WalkPoint& b = pts[0];
        segment(a.x, a.y, b.x, b.y, std::hypot(b.x - a.x, b.y - a.y));
    }
    if (on && stretch.size() >= 2) emit(stretch);
}
