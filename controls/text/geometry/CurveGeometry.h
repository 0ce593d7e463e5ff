#pragma once
// Geometry of poly-Bezier paths for text along a curve: points and pieces of a cubic segment, the
// position nearest to a point, the path's length. A path point array holds consecutive cubics
// sharing their end points: segment k uses points 3k .. 3k + 3.
#include "geometry/FloatRecords.h"

// A place on a path: the start index of its segment (a multiple of 3) and a parameter 0 .. 1.
struct PathPosition {
    int index = 0;
    double t = 0;

    // The stored form of the along-curve control: (-10, index + t / 4).
    tagPointF Stored() const { return {-10.0, index + t * 0.25}; }
    double Linear() const { return index + t; }
};

// de Casteljau evaluation: exactly p0 at 0 and p3 at 1.
tagPointF EvaluateBezier(const tagPointF segment[4], double t);
// The piece [t, 1] when keepSecond is set, else [0, t].
void SplitBezierSegment(const tagPointF segment[4], double t, bool keepSecond, tagPointF out[4]);
// The piece [t0, t1] of a segment (0 <= t0 < t1 <= 1).
void CutBezierWindow(const tagPointF segment[4], double t0, double t1, tagPointF out[4]);

// The position of the path nearest to point, treating the path as closed at its ends. A path of
// fewer than four points has no segment: position (0, 0).
PathPosition FindNearestPointOnPolyBezier(tagPointF point, const tagPointF* points, int count);
// Sum of the cubic lengths (20 chords a segment) of the whole segments; 0 below two points.
double GetPolyBezierLength(const tagPointF* points, int count);

// Which way text runs along a path it is fitted to: 1 forward, 0 backward. ends holds the text's
// start and end in the path's coordinates and gets their positions on the path in stored form.
int ComputeCentroidAxisExtent(const tagPointF* points, int count, tagPointF ends[2]);
