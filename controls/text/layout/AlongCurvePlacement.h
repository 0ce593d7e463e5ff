#pragma once
// Placing characters along a poly-Bezier path between two positions: the glyph scale is found by
// passes that grow or shrink it until the text just fits, each character's origin a point of the
// path one scaled advance from the previous one.
#include <vector>

#include "geometry/CurveGeometry.h"

struct CurvePlacement {
    std::vector<tagPointF> origins;   // one per character
    std::vector<double> rotations;    // radians, the chord to the next origin
    double glyphScale = 0;            // path units per font unit
    bool fitted = false;              // some pass fitted before the second handle
};

// advances: each character's advance in font units; lastWidth: the width of the last character's
// outline box in font units. With backward set the path is walked from its other end.
CurvePlacement PlaceAlongPath(const tagPointF* points, int count, PathPosition first, PathPosition second,
                              bool backward, const std::vector<double>& advances, double lastWidth);
