#pragma once
// Paths the curve tests share.
#include <vector>

#include "geometry/FloatRecords.h"

// A circle of radius r about the origin as four cubics, closed (13 points), starting at (r, 0)
// and running clockwise on screen (y down); mirrored to run the other way.
inline std::vector<tagPointF> CirclePath(double r, bool clockwiseOnScreen = true) {
    const double k = 0.5522847498307936 * r;
    std::vector<tagPointF> p = {{r, 0}, {r, k}, {k, r}, {0, r}, {-k, r}, {-r, k}, {-r, 0}, {-r, -k}, {-k, -r},
                                {0, -r}, {k, -r}, {r, -k}, {r, 0}};
    if (!clockwiseOnScreen)
        for (tagPointF& q : p) q.y = -q.y;
    return p;
}
