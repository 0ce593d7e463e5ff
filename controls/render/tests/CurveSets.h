// Closed shapes as segment arrays, for the engine's tests and benchmark.
#pragma once

#include <utility>
#include <vector>

#include "render/SegmentDesc.h"

// Appends the kind-2 record that closes a sub-path at p.
inline void EndSubpath(std::vector<SegmentDesc>& records, const tagPointF& p) {
    SegmentDesc end = {};
    end.kind = SegmentEnd;
    end.pt1 = p;
    records.push_back(end);
}

// An axis-aligned rectangle of four lines, (x0, y0) first, ended by a kind-2 record.
inline std::vector<SegmentDesc> RectangleRecords(double x0, double y0, double x1, double y1) {
    const tagPointF p[4] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    std::vector<SegmentDesc> out;
    for (int i = 0; i < 4; ++i) {
        SegmentDesc s = {};
        s.kind = SegmentLine;
        s.pt1 = p[i], s.pt2 = p[(i + 1) % 4];
        out.push_back(s);
    }
    EndSubpath(out, p[0]);
    return out;
}

// A circle of four cubic quarter arcs from (cx + r, cy), reversed on request, ended by a kind-2 record.
inline std::vector<SegmentDesc> CircleRecords(double cx, double cy, double r, bool reverse = false) {
    const double k = 0.5522847498 * r;
    tagPointF q[13] = {{cx + r, cy}, {cx + r, cy + k}, {cx + k, cy + r}, {cx, cy + r}, {cx - k, cy + r},
                       {cx - r, cy + k}, {cx - r, cy}, {cx - r, cy - k}, {cx - k, cy - r}, {cx, cy - r},
                       {cx + k, cy - r}, {cx + r, cy - k}, {cx + r, cy}};
    if (reverse)
        for (int i = 0; i < 6; ++i) std::swap(q[i], q[12 - i]);
    std::vector<SegmentDesc> out;
    for (int i = 0; i < 4; ++i) {
        SegmentDesc s = {};
        s.kind = SegmentCubic;
        s.pt1 = q[3 * i], s.pt2 = q[3 * i + 1], s.pt3 = q[3 * i + 2];
        out.push_back(s);
    }
    EndSubpath(out, q[12]);
    return out;
}
