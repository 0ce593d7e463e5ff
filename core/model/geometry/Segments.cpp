#include "SegmentDesc.h"

namespace {

constexpr double kOneMinusK = 0.44771525016920655;
constexpr double kOnePlusK = 1.5522847498307935;

void Scale(tagPointF& p, double sx, double sy)
{
    p.x *= sx;
    p.y *= sy;
}

void Offset(tagPointF& p, double dx, double dy)
{
    p.x += dx;
    p.y += dy;
}

tagPointF Pt(double x, double y) { return tagPointF{x, y}; }

}  // namespace

void ScaleSegment(SegmentDesc* segs, int count, double sx, double sy)
{
    for (int i = 0; i < count; ++i) {
        SegmentDesc& s = segs[i];
        Scale(s.pt1, sx, sy);
        if (s.kind != kSegmentEnd)
            Scale(s.pt2, sx, sy);
        if (s.kind == kSegmentBezier)
            Scale(s.pt3, sx, sy);
    }
}

void OffsetSegment(SegmentDesc* segs, int count, double dx, double dy)
{
    for (int i = 0; i < count; ++i) {
        SegmentDesc& s = segs[i];
        Offset(s.pt1, dx, dy);
        if (s.kind != kSegmentEnd)
            Offset(s.pt2, dx, dy);
        if (s.kind == kSegmentBezier)
            Offset(s.pt3, dx, dy);
    }
}

void ValidateSegments(SegmentDesc* segs, int count)
{
    for (int i = 0; i + 1 < count; ++i) {
        if (segs[i].kind == kSegmentLine) {
            segs[i].pt2 = segs[i + 1].pt1;
            segs[i].pt3 = segs[i + 1].pt1;
        }
    }
}

void Rect2Bezier(tagRectF& r, SegmentDesc* segs, bool clockwise)
{
    const double L = r.left, T = r.top, R = r.right, B = r.bottom;
    // Clockwise in the y-down page runs right along the top first.
    const tagPointF corners[4] = {
        Pt(L, T),
        clockwise ? Pt(R, T) : Pt(L, B),
        Pt(R, B),
        clockwise ? Pt(L, B) : Pt(R, T),
    };
    for (int i = 0; i < 4; ++i) {
        segs[i].kind = kSegmentLine;
        segs[i].pt1 = corners[i];
        segs[i].pt2 = corners[(i + 1) % 4];
    }
    segs[4].kind = kSegmentEnd;
    segs[4].pt1 = Pt(L, T);
}

// The control points lie k = 0.5522847498307935 half extents from the axis points, computed from
// the edges with 1 - k and 1 + k.
void Ellipse2Bezier(tagRectF& r, SegmentDesc* segs, bool clockwise)
{
    const double L = r.left, T = r.top, R = r.right, B = r.bottom;
    const double hw = (R - L) * 0.5;
    const double hh = (B - T) * 0.5;
    const double cx = L + hw;
    const double cy = T + hh;
    const double xBefore = L + hw * kOneMinusK, xAfter = L + hw * kOnePlusK;
    const double yBefore = T + hh * kOneMinusK, yAfter = T + hh * kOnePlusK;

    const tagPointF p[12] = {
        Pt(L, cy), Pt(L, yBefore), Pt(xBefore, T),
        Pt(cx, T), Pt(xAfter, T), Pt(R, yBefore),
        Pt(R, cy), Pt(R, yAfter), Pt(xAfter, B),
        Pt(cx, B), Pt(xBefore, B), Pt(L, yAfter),
    };
    for (int i = 0; i < 4; ++i) {
        segs[i].kind = kSegmentBezier;
        if (clockwise) {
            segs[i].pt1 = p[3 * i];
            segs[i].pt2 = p[3 * i + 1];
            segs[i].pt3 = p[3 * i + 2];
        } else {
            // The same points walked the other way round from the left point.
            segs[i].pt1 = p[(12 - 3 * i) % 12];
            segs[i].pt2 = p[11 - 3 * i];
            segs[i].pt3 = p[10 - 3 * i];
        }
    }
    segs[4].kind = kSegmentEnd;
    segs[4].pt1 = p[0];
}
