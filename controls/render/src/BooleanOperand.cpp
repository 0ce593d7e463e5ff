// Preparing the operands of the Boolean operation: grid snapping, shifting and cleaning, in place.
#include <algorithm>
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

struct Direction {
    double x, y;
};
Direction Between(const tagPointF& a, const tagPointF& b) { return {b.x - a.x, b.y - a.y}; }
double Cross(Direction a, Direction b) { return a.x * b.y - a.y * b.x; }
bool ZeroLength(Direction d) { return std::fabs(d.x) < kZero && std::fabs(d.y) < kZero; }

struct Line {
    tagPointF from, to;
    Direction Along() const { return Between(from, to); }
};

// Appends the corner p to a closed polygon's corners: a line that continues the previous one on
// the same line is merged with it, and where the path turns straight back the spike's tip goes; a
// line of zero length adds nothing.
void AppendCorner(std::vector<tagPointF>& corners, const tagPointF& p) {
    for (;;) {
        if (corners.empty()) break;
        const Direction d = Between(corners.back(), p);
        if (ZeroLength(d)) return;
        if (corners.size() < 2) break;
        if (Cross(Between(corners[corners.size() - 2], corners.back()), d) != 0) break;
        corners.pop_back();   // a straight joint or the tip of a spike: the line now runs from the corner before
    }
    corners.push_back(p);
}

// The corners of a line-only sub-path, starting at a corner; empty when it collapses onto one line.
std::vector<tagPointF> CornersOf(std::vector<Line> lines) {
    // Zero-length lines at either end say nothing about the shape.
    while (!lines.empty() && ZeroLength(lines.front().Along())) lines.erase(lines.begin());
    while (!lines.empty() && ZeroLength(lines.back().Along())) lines.pop_back();
    const size_t n = lines.size();
    if (n < 2) return {};
    // Start at a corner: lines that run on along the line before them are passed over.
    size_t first = 0;
    while (first < n && Cross(lines[(first + n - 1) % n].Along(), lines[first].Along()) == 0) ++first;
    if (first == n) return {};   // every line on one line
    std::rotate(lines.begin(), lines.begin() + long(first), lines.end());
    std::vector<tagPointF> corners;
    corners.push_back(lines.front().from);
    for (const Line& line : lines) AppendCorner(corners, line.to);
    // The closing point repeats the start; merges and spikes may also reach across the start.
    if (corners.size() > 1 && ZeroLength(Between(corners.back(), corners.front()))) corners.pop_back();
    for (bool changed = true; changed && corners.size() >= 3;) {
        changed = false;
        const size_t m = corners.size();
        for (size_t i : {size_t(0), m - 1}) {
            const tagPointF& before = corners[(i + m - 1) % m];
            const tagPointF& after = corners[(i + 1) % m];
            if (Cross(Between(before, corners[i]), Between(corners[i], after)) == 0) {
                corners.erase(corners.begin() + long(i));
                changed = true;
                break;
            }
        }
    }
    if (corners.size() < 3) corners.clear();
    return corners;
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
    std::vector<SegmentDesc> work;   // one cleaned sub-path
    for (int a = 0; a < n; ++a) {
        SegmentDesc* records = arrays[a];
        if (!records || counts[a] <= 0) {
            counts[a] = 0;
            continue;
        }
        const int count = counts[a];
        int kept = 0;   // records written so far; never ahead of the sub-path being read
        for (int start = 0; start < count;) {
            int end = start;
            while (end < count && records[end].kind != SegmentEnd) ++end;
            // Records start .. end - 1 draw the sub-path; end, when present, closes it.
            const int next = end < count ? end + 1 : count;
            bool hasCubic = false;
            std::vector<Line> lines;
            for (int i = start; i < end; ++i) {
                hasCubic = hasCubic || records[i].kind == SegmentCubic;
                if (records[i].kind == SegmentLine) lines.push_back({records[i].pt1, records[i].pt2});
            }
            work.clear();
            if (hasCubic) {
                work.assign(records + start, records + next);
            } else {
                const std::vector<tagPointF> corners = CornersOf(lines);
                for (size_t i = 0; i < corners.size(); ++i) {
                    SegmentDesc line = {};
                    line.kind = SegmentLine;
                    line.pt1 = corners[i];
                    line.pt2 = corners[(i + 1) % corners.size()];
                    work.push_back(line);
                }
                if (!corners.empty()) {
                    SegmentDesc close = {};
                    close.kind = SegmentEnd;
                    close.pt1 = corners.front();
                    work.push_back(close);
                }
                // An unclosed last sub-path with nothing to take out keeps its records.
                if (kept + int(work.size()) > next) work.assign(records + start, records + next);
            }
            std::memmove(records + kept, work.data(), work.size() * sizeof(SegmentDesc));
            kept += int(work.size());
            start = next;
        }
        counts[a] = kept < 3 ? 0 : kept;
    }
}
