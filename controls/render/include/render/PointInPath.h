// Even-odd point-in-path test over a segment array of lines and cubics.
#pragma once

#include "render/SegmentDesc.h"

// 1 when point lies inside the path under the even-odd rule, else 0. Crossings are counted on a ray
// from the point towards decreasing x. Every segment is taken in pieces monotone in y and each piece
// counts when exactly one of its ends lies below the point (y < point.y) and it passes left of the
// point (x < point.x). So a vertex at the point's height counts once where the outline crosses there
// and never where it only touches, whichever kinds of segment meet at it; a point on a left edge is
// outside and one on a right edge inside. Kind-2 and unknown records are skipped; a cubic without a
// following record has no end point and is skipped too. No count, a null array or a point that is not
// finite answers 0.
int PtInPolyBezier(const tagPointF& point, const SegmentDesc* segments, int count);
