#pragma once
// Cuts a polyline into the drawn stretches of a dash pattern, measured in pixels along the path.
// The pattern starts afresh with every sub-path.
#include <cmath>
#include <vector>

#include "PathWalk.h"
#include "StrokeOutline.h"
#include "render/FillInfo.h"

template <class EmitStretch>
void DashPolyline(const WalkPoint* pts, int count, bool closeBack, const DashPattern& pattern, EmitStretch&& emit,
                  std::vector<StrokePoint>& stretch)
{
    const int elements = static_cast<int>(pattern.head & 0xFFFF);
    if (count < 1 || elements < 1 || elements > 6) return;
    const bool headOn = (pattern.head & 0x80000000u) != 0;
    int element = 0;
    bool on = headOn;
    double remaining = pattern.lengths[0];
    stretch.clear();
    if (on) stretch.push_back({pts[0].x, pts[0].y});

    auto segment = [&](double ax, double ay, double bx, double by, double length) {
        if (!(length > 0) || !std::isfinite(length)) {
            if (on) stretch.push_back({bx, by});
            return;
        }
        double pos = 0;
        while (length - pos > remaining) {
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
            if (++element == elements) { element = 0; on = headOn; }
            else on = !on;
            remaining = pattern.lengths[element];
            if (!(remaining > 0)) remaining = 1;
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
