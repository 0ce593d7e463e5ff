#pragma once
// Plain geometry over segment arrays: bounds of cubics and paths (also as stroked), chord lengths
// and the real-root solvers used across the engine. Pure functions; no shared state.
#include "render/SegmentDesc.h"

// Exact bounding box of one cubic; merged into box when accumulate is set.
void GetBezierBoundingBox(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3,
                          tagRectF& box, bool accumulate);

// Least-x and greatest-x points of one cubic: out = {least x, its y, greatest x, its y}.
void GetBezierXExtremes(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3,
                        double out[4]);

// What GetBezierBoundsWithStroke leaves for the path routine: power-basis coefficients and the start
// direction scaled to the half width.
struct StrokedCubicInfo {
    double ax, bx, cx, ay, by, cy;
    double startDirX, startDirY;
};

// Box of one cubic stroked with half width halfWidth (no joins).
void GetBezierBoundsWithStroke(double x0, double y0, double x1, double y1, double x2, double y2, double x3,
                               double y3, double halfWidth, tagRectF& box, bool accumulate,
                               StrokedCubicInfo* info = nullptr);

// Box of a whole array (control points instead of exact cubic extremes when controlPoints is set).
void GetPathBounds(const SegmentDesc* segments, int count, tagRectF& box, bool accumulate, bool controlPoints);

// Box of a whole array stroked with strokeWidth, with miter allowance at joins; always merged.
void GetSegmentsBoundsWithStroke(const SegmentDesc* segments, int count, double strokeWidth, tagRectF& box,
                                 bool closed, bool controlPoints);

double GetBezierLength(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3, int n);

int SolveQuadratic(double a, double b, double c, double roots[2], double eps);
int SolveCubic(double a, double b, double c, double d, double roots[3], double eps);
