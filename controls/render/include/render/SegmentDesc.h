#pragma once
// Path records of the engine: the application core's segment record, with the kind names the
// engine's code reads best with.
#include "geometry/SegmentDesc.h"

enum SegmentKind : unsigned char {
    SegmentCubic = kSegmentBezier,
    SegmentLine = kSegmentLine,
    SegmentEnd = kSegmentEnd,
};
