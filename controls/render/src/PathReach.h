#pragma once
// Whether a path comes near a box at all, judged from its records (a cubic by the control boxes of
// its halves, quarters and so on, which hold the curve), and, when it does not, the winding number
// it gives every point of the box. Tiles that no edge reaches are then settled without walking,
// flattening or scan-converting the path: the box is wholly inside or wholly outside the fill.
//
// The records are followed the way the path walk reads them: unusable (non-finite) points are left
// out, a record whose first point is not where the last one ended is joined to it by a line, a
// cubic runs to the first point of the next record, and every sub-path is closed back to its
// start (as the fill closes it). The walk's chords stay within its flattening tolerance of the
// curve; the caller's box is wider than the tile by more than that.
#include <cmath>

#include "render/SegmentDesc.h"

struct PathReach {
    bool reachesBox = false;   // some part of the path may come inside the box
    int winding = 0;           // otherwise: the winding number of the box's points
};

class PathReachScan {
public:
    explicit PathReachScan(const tagRectF& box) : box_(box), rowY_(0.5 * (box.top + box.bottom)) {}

    PathReach Run(const SegmentDesc* segs, int count)
    {
        for (int i = 0; i < count && !result_.reachesBox; ++i) {
            const SegmentDesc& s = segs[i];
            if (s.kind == SegmentEnd) {
                EndSubpath();
                continue;
            }
            if (s.kind != SegmentCubic && s.kind != SegmentLine) continue;
            if (Finite(s.pt1) && (!haveCurrent_ || s.pt1.x != curX_ || s.pt1.y != curY_)) Append(s.pt1);
            if (s.kind == SegmentLine) {
                if (Finite(s.pt2)) Append(s.pt2);
                continue;
            }
            if (i + 1 >= count) continue;
            const tagPointF& end = segs[i + 1].pt1;
            if (!Finite(s.pt1) || !Finite(end) || !haveCurrent_) continue;
            if (!Finite(s.pt2) || !Finite(s.pt3)) {
                LineTo(end.x, end.y);   // the walk draws it as its chord
                continue;
            }
            if (Unsettled(s.pt1, s.pt2, s.pt3, end)) {
                result_.reachesBox = true;
                continue;
            }
            Cubic(s.pt1, s.pt2, s.pt3, end, kLevels);
            ++points_;
        }
        if (!result_.reachesBox) EndSubpath();
        return result_;
    }

private:
    // Halving a cubic ten times leaves parts about a thousandth of its size.
    static constexpr int kLevels = 10;
    // Control boxes looked at per scan: a path that needs more is simply walked.
    static constexpr int kBudget = 8192;

    static bool Finite(const tagPointF& p) { return p.x - p.x == 0 && p.y - p.y == 0; }

    // fmin and fmax, NaN taken as missing, without the library calls (x87 on this target).
    static double Lesser(double a, double b) { return a < b || b != b ? a : b; }
    static double Greater(double a, double b) { return a > b || b != b ? a : b; }

    // The walk cuts a cubic into at most 4096 steps; past a certain size its chords may stray
    // from the curve by more than the box's margin allows.
    static bool Unsettled(const tagPointF& p0, const tagPointF& p1, const tagPointF& p2, const tagPointF& p3)
    {
        const double ax = p0.x - 2 * p1.x + p2.x, ay = p0.y - 2 * p1.y + p2.y;
        const double bx = p1.x - 2 * p2.x + p3.x, by = p1.y - 2 * p2.y + p3.y;
        const double m2 = Greater(ax * ax + ay * ay, bx * bx + by * by);
        const double limit = 0.25 * 4096.0 * 4096.0 / 0.75;   // strays at most a quarter pixel
        return !(m2 <= limit * limit);
    }

    bool Meets(double l, double t, double r, double b) const
    {
        return r >= box_.left && l <= box_.right && b >= box_.top && t <= box_.bottom;
    }

    // A part of the path from the current point to (x, y), held inside [l, r] x [t, b].
    void Part(double x, double y, double l, double t, double r, double b)
    {
        if (Meets(l, t, r, b)) {
            result_.reachesBox = true;
            return;
        }
        // Only parts left of the box cross, left of it, the row through it.
        if (r < box_.left && (curY_ <= rowY_) != (y <= rowY_)) result_.winding += y > curY_ ? 1 : -1;
        curX_ = x;
        curY_ = y;
    }

    void LineTo(double x, double y)
    {
        Part(x, y, Lesser(curX_, x), Lesser(curY_, y), Greater(curX_, x), Greater(curY_, y));
        ++points_;
    }

    void Append(const tagPointF& p)
    {
        if (haveCurrent_) {
            LineTo(p.x, p.y);
            return;
        }
        startX_ = curX_ = p.x;
        startY_ = curY_ = p.y;
        haveCurrent_ = true;
        points_ = 1;
    }

    void EndSubpath()
    {
        if (haveCurrent_ && points_ > 1) LineTo(startX_, startY_);
        haveCurrent_ = false;
        points_ = 0;
    }

    // The parts whose control box meets the box are halved until they are fine enough to tell.
    void Cubic(const tagPointF& p0, const tagPointF& p1, const tagPointF& p2, const tagPointF& p3, int level)
    {
        // Its ends lie on the curve: one inside the box settles it.
        if (Meets(p0.x, p0.y, p0.x, p0.y) || Meets(p3.x, p3.y, p3.x, p3.y)) {
            result_.reachesBox = true;
            return;
        }
        const double l = Lesser(Lesser(p0.x, p1.x), Lesser(p2.x, p3.x));
        const double r = Greater(Greater(p0.x, p1.x), Greater(p2.x, p3.x));
        const double t = Lesser(Lesser(p0.y, p1.y), Lesser(p2.y, p3.y));
        const double b = Greater(Greater(p0.y, p1.y), Greater(p2.y, p3.y));
        // Past its budget the scan stops looking closer and leaves the tile to the walk.
        if (--budget_ < 0) {
            result_.reachesBox = true;
            return;
        }
        if (level == 0 || !Meets(l, t, r, b)) {
            Part(p3.x, p3.y, l, t, r, b);
            return;
        }
        auto mid = [](const tagPointF& a, const tagPointF& c) { return tagPointF{0.5 * (a.x + c.x), 0.5 * (a.y + c.y)}; };
        const tagPointF a = mid(p0, p1), m = mid(p1, p2), c = mid(p2, p3);
        const tagPointF ab = mid(a, m), bc = mid(m, c), centre = mid(ab, bc);
        Cubic(p0, a, ab, centre, level - 1);
        if (result_.reachesBox) return;
        Cubic(centre, bc, c, p3, level - 1);
    }

    tagRectF box_;
    double rowY_;
    PathReach result_;
    bool haveCurrent_ = false;
    double curX_ = 0, curY_ = 0, startX_ = 0, startY_ = 0;
    int points_ = 0;
    int budget_ = kBudget;
};

inline PathReach ReachOfPath(const SegmentDesc* segs, int count, const tagRectF& box)
{
    return PathReachScan(box).Run(segs, count);
}
