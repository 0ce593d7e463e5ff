// Crossings of two segments of segment arrays: line with line, line with cubic, cubic with cubic and
// a cubic with itself (a loop). Pure routines: all working state belongs to the call, so several
// threads may intersect at once.
#pragma once

#include "render/SegmentDesc.h"

// One crossing: the point, the parameter on each segment, and from the two directions there the
// cross product (first x second), the dot product and the product of their squared lengths.
struct SegmentCrossing {
    tagPointF point;
    double tP, tQ;
    double cross, dot, lengths;
};

// Room a caller gives IntersectSegments: eight marched crossings plus those at the end points.
constexpr int kMaxSegmentCrossings = 12;

// Crossings of the segment at first with the segment at second (records inside their arrays: a
// cubic's end point is the next record's first point, so the next record must exist). Adjacent
// segments (one follows the other in a sub-path) accept computed parameters only from 1e-8 to
// 1 - 1e-8, others from -1e-8 to 1 + 1e-8; end points that coincide exactly are reported either way.
// A line of zero length, a record of kind 2 or a line with itself gives none. Returns the count.
int IntersectSegments(const SegmentDesc* first, const SegmentDesc* second, SegmentCrossing* out, bool adjacent);

// Crossings of the line a-b with the cubic p[0..3], parameters (t on the line, t on the cubic); a
// root is kept when margin <= t on the line < 1 - margin and -0.01 < t on the cubic < 1.01.
int IntersectLineCubic(const tagPointF& a, const tagPointF& b, const tagPointF p[4], SegmentCrossing* out,
                       double margin);

// The parameter interval of the cubic p[0..3] inside box: tMin = 10 and tMax = -10 when it misses.
void ClipBezierToRect(const tagPointF p[4], const tagRectF& box, double& tMin, double& tMax);
