// Freehand strokes to smooth curves: corners found and points thinned and smoothed, then each run
// between corners fitted with as few cubic Beziers as keep every point within a tolerance.
#pragma once

#include "render/SegmentDesc.h"

// Thins the raw points of a stroke drawn with a pen of the given width, finds its sharp corners and
// smooths the points between them (floor(width / 8) + 3 passes, none below width -16). Returns a new
// array (delete[]) of the kept points mapped to origin + scale x point; *breaks receives a new array
// (delete[], room for count entries) of the output indices where runs meet: 0, the corners and the
// last index, *breakCount entries. No points (or none given) returns null with no breaks.
tagPointF* SplitPolylineAtCorners(const tagPointF* points, int count, tagPointF origin, double scale, int** breaks,
                                  int* breakCount, int width);

// Fits the runs between consecutive breaks (ascending indices into points) with cubics whose
// tangents join smoothly inside a run and break at the breaks; every point lies within tolerance of
// its cubic, measured across the cubic's chord. A run no cubic fits becomes lines between neighbours.
// Returns a new array (delete[]) of cubic and line records ended by a kind-2 record at the last point;
// null without breaks.
SegmentDesc* FitBezierToPolyline(const tagPointF* points, const int* breaks, int breakCount, double tolerance,
                                 int iterations);

// y(t) - py at the parameter t where x(t) = px on the cubic (x0, y0) .. (x3, y3), or 1.0 when no
// such t lies in the cubic.
double CubicDeviationAtX(double x0, double y0, double x1, double y1, double x2, double y2, double x3, double y3,
                         double px, double py);

// (P[i-1] + 2 P[i] + P[i+1]) / 4 within the run first .. last, a missing neighbour mirrored through
// P[i], so that the run's ends stay where they are.
tagPointF SmoothPolylinePoint(const tagPointF* points, int i, int first, int last);
