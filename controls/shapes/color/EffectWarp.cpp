#include "EffectWarp.h"

#include <cstring>
#include <vector>

#include "render/BezierGeometry.h"

namespace {

const int kMostRecordsPerPath = 128;  // subdivision stops once a path holds this many
const int kMostSplitDepth = 4;
const double kLongestUnsplit = 0.3;  // frame units
// cos² of the angle under which two handles at a joint are made one straight line.
const double kSmoothJoint = 0.8649;

tagPointF Mid(const tagPointF& a, const tagPointF& b) { return tagPointF{(a.x + b.x) / 2, (a.y + b.y) / 2}; }
tagPointF Lerp(const tagPointF& a, const tagPointF& b, double t) {
    return tagPointF{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

// A line record becomes a cubic with its control points at the thirds.
void LineToCubic(SegmentDesc& seg, const tagPointF& end) {
    if (seg.kind != kSegmentLine) return;
    seg.kind = kSegmentBezier;
    seg.pt2 = Lerp(seg.pt1, end, 1.0 / 3);
    seg.pt3 = Lerp(seg.pt1, end, 2.0 / 3);
}

void WarpRecord(const EffectValues& effect, SegmentDesc& seg) {
    seg.pt1 = WarpEffectPoint(effect, seg.pt1);
    if (seg.kind == kSegmentEnd) return;
    seg.pt2 = WarpEffectPoint(effect, seg.pt2);
    seg.pt3 = WarpEffectPoint(effect, seg.pt3);
}

class PathSubdivider {
public:
    PathSubdivider(const EffectValues& effect, std::vector<SegmentDesc>& out) : effect_(effect), out_(out) {}

    void Add(const SegmentDesc& seg, const tagPointF& end, int depth) {
        if (seg.kind != kSegmentEnd && depth <= kMostSplitDepth && static_cast<int>(out_.size()) < kMostRecordsPerPath &&
            GetBezierLength(seg.pt1.x, seg.pt1.y, seg.pt2.x, seg.pt2.y, seg.pt3.x, seg.pt3.y, end.x, end.y, 5) >
                kLongestUnsplit) {
            const tagPointF a = Mid(seg.pt1, seg.pt2), b = Mid(seg.pt2, seg.pt3), c = Mid(seg.pt3, end);
            const tagPointF ab = Mid(a, b), bc = Mid(b, c), mid = Mid(ab, bc);
            SegmentDesc first = seg, second = seg;
            first.pt2 = a;
            first.pt3 = ab;
            second.pt1 = mid;
            second.pt2 = bc;
            second.pt3 = c;
            Add(first, mid, depth + 1);
            Add(second, end, depth + 1);
            return;
        }
        SegmentDesc warped = seg;
        WarpRecord(effect_, warped);
        if (!out_.empty() && warped.kind == kSegmentBezier && out_.back().kind == kSegmentBezier) SmoothJoint(warped);
        out_.push_back(warped);
    }

private:
    // Handles that meet almost in line are made one straight line through the joint.
    void SmoothJoint(SegmentDesc& seg) {
        const tagPointF& before = out_.back().pt3;
        const tagPointF& joint = seg.pt1;
        const double ax = joint.x - before.x, ay = joint.y - before.y;
        const double bx = seg.pt2.x - joint.x, by = seg.pt2.y - joint.y;
        const double dot = ax * bx + ay * by;
        if (dot > 0 && dot * dot > kSmoothJoint * (ax * ax + ay * ay) * (bx * bx + by * by))
            seg.pt1 = Mid(before, seg.pt2);
    }

    const EffectValues& effect_;
    std::vector<SegmentDesc>& out_;
};

// Where a record ends: the next record's start, or its own start for the last.
tagPointF EndOf(const CHeapArrayItem& item, int i) {
    return i + 1 < item.segmentCount ? item.segments[i + 1].pt1 : item.segments[i].pt1;
}

}  // namespace

bool WarpEffectSegments(const EffectValues& effect, CHeapArray& paths) {
    if (effect.IsEmpty()) return true;
    if (paths.Count() > 2) {
        for (int p = 0; p < paths.Count(); ++p) {
            CHeapArrayItem& item = paths[p];
            for (int i = 0; i < item.segmentCount; ++i) LineToCubic(item.segments[i], EndOf(item, i));
            for (int i = 0; i < item.segmentCount; ++i) WarpRecord(effect, item.segments[i]);
        }
        return true;
    }
    std::vector<SegmentDesc> work;  // per call: the preview thread warps too
    for (int p = 0; p < paths.Count(); ++p) {
        CHeapArrayItem& item = paths[p];
        work.clear();
        PathSubdivider subdivider(effect, work);
        for (int i = 0; i < item.segmentCount; ++i) {
            SegmentDesc seg = item.segments[i];
            const tagPointF end = EndOf(item, i);
            LineToCubic(seg, end);
            subdivider.Add(seg, end, 0);
        }
        if (!paths.AllocItems(p, static_cast<int>(work.size()))) return false;
        if (!work.empty()) std::memcpy(item.segments, work.data(), sizeof(SegmentDesc) * work.size());
    }
    return true;
}
