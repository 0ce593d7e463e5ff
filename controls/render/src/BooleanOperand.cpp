// Preparing the operands of the Boolean operation: grid snapping, shifting and cleaning, in place.
#include <cmath>
#include <cstring>
#include <vector>

#include "geometry/NumericHelpers.h"
#include "render/PathBoolean.h"

namespace {

constexpr double kGrid = 8192.0;
constexpr double kLimit = 262144.0;   // the snap goes through 32-bit integers
constexpr double kZero = 1e-10;

// The points a record of this kind carries: P0 always, P1 for lines and cubics, P2 for cubics.
int PointsOf(const SegmentDesc& s) { return s.kind == SegmentCubic ? 3 : (s.kind == SegmentLine ? 2 : 1); }

template <class Visit>
void ForEachPoint(SegmentDesc** arrays, const int* counts, int n, Visit visit) {
    for (int a = 0; a < n; ++a) {
        if (!arrays[a]) continue;
        for (int i = 0; i < counts[a]; ++i) {
            SegmentDesc& s = arrays[a][i];
            tagPointF* pts[3] = {&s.pt1, &s.pt2, &s.pt3};
            for (int k = 0; k < PointsOf(s); ++k) visit(*pts[k]);
        }
    }
}

double Cross(const tagPointF& o, const tagPointF& a, const tagPointF& b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}
bool Same(const tagPointF& a, const tagPointF& b) {
    return std::fabs(a.x - b.x) < kZero && std::fabs(a.y - b.y) < kZero;
}

// The corners of a closed polygon with repeated points, straight joints and spikes taken out.
std::vector<tagPointF> Corners(std::vector<tagPointF> v) {
    bool changed = true;
    while (changed && v.size() >= 3) {
        changed = false;
        for (size_t i = 0; i < v.size() && v.size() >= 3; ++i) {
            const tagPointF& prev = v[(i + v.size() - 1) % v.size()];
            const tagPointF& next = v[(i + 1) % v.size()];
            // A repeated point, a straight joint or the tip of a spike (the path turning back).
            if (Same(v[i], prev) || Cross(v[i], prev, next) == 0) {
                v.erase(v.begin() + long(i));
                changed = true;
                break;
            }
        }
    }
    if (v.size() < 3) v.clear();
    return v;
}

}  // namespace

bool SnapOperandToGrid(SegmentDesc** arrays, int* counts, int n) {
    if (n > 0 && (!arrays || !counts)) return false;
    bool usable = true;
    ForEachPoint(arrays, counts, n, [&](tagPointF& p) {
        usable = usable && std::fabs(p.x) < kLimit && std::fabs(p.y) < kLimit;   // false for NaN too
    });
    if (!usable) return false;
    ForEachPoint(arrays, counts, n, [](tagPointF& p) {
        p.x = __round(p.x * kGrid) / kGrid;
        p.y = __round(p.y * kGrid) / kGrid;
    });
    return true;
}

void OffsetOperand(SegmentDesc** arrays, const int* counts, int n, double dx, double dy) {
    if (dx == 0 && dy == 0) return;
    ForEachPoint(arrays, counts, n, [&](tagPointF& p) {
        p.x += dx;
        p.y += dy;
    });
}

void CleanOperand(SegmentDesc** arrays, int* counts, int n) {
    for (int a = 0; a < n; ++a) {
        SegmentDesc* records = arrays[a];
        if (!records || counts[a] <= 0) {
            counts[a] = 0;
            continue;
        }
        std::vector<SegmentDesc> out;
        int start = 0;
        while (start < counts[a]) {
            int end = start;
            while (end < counts[a] && records[end].kind != SegmentEnd) ++end;
            // Records start .. end - 1 draw the sub-path, end (when present) closes it.
            bool hasCubic = false;
            for (int i = start; i < end; ++i) hasCubic = hasCubic || records[i].kind == SegmentCubic;
            const int last = end < counts[a] ? end : counts[a] - 1;
            if (hasCubic) {
                out.insert(out.end(), records + start, records + last + 1);
            } else {
                std::vector<tagPointF> corners;
                for (int i = start; i < end; ++i)
                    if (records[i].kind == SegmentLine) {
                        if (corners.empty()) corners.push_back(records[i].pt1);
                        corners.push_back(records[i].pt2);
                    }
                if (!corners.empty() && Same(corners.front(), corners.back())) corners.pop_back();
                corners = Corners(corners);
                for (size_t i = 0; i < corners.size(); ++i) {
                    SegmentDesc line = {};
                    line.kind = SegmentLine;
                    line.pt1 = corners[i];
                    line.pt2 = corners[(i + 1) % corners.size()];
                    out.push_back(line);
                }
                if (!corners.empty()) {
                    SegmentDesc close = {};
                    close.kind = SegmentEnd;
                    close.pt1 = corners.front();
                    out.push_back(close);
                }
            }
            start = end + 1;
        }
        if (int(out.size()) <= counts[a]) {
            std::memmove(records, out.data(), out.size() * sizeof(SegmentDesc));
            counts[a] = int(out.size());
        }
        if (counts[a] < 3) counts[a] = 0;
    }
}
