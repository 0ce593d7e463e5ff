#pragma once
#include <cstddef>

#include "FloatRecords.h"
#include "GeometryApi.h"

// Kinds of a poly-Bezier segment record.
enum : unsigned char {
    kSegmentBezier = 0,
    kSegmentLine = 1,
    kSegmentEnd = 2,
};

// One segment of a poly-Bezier path. Segment arrays cross the rendering object's interface as raw
// memory: the kind byte, seven zero bytes, then the three points at offsets 8, 24 and 40.
struct SegmentDesc {
    unsigned char kind;
    tagPointF pt1;
    tagPointF pt2;
    tagPointF pt3;
};

static_assert(sizeof(SegmentDesc) == 56, "segment records are 56 bytes in every deliverable");
static_assert(offsetof(SegmentDesc, pt1) == 8 && offsetof(SegmentDesc, pt2) == 24 &&
                  offsetof(SegmentDesc, pt3) == 40,
              "segment points sit at offsets 8, 24 and 40");

TARN_GEOM_API void ScaleSegment(SegmentDesc* segs, int count, double sx, double sy);
TARN_GEOM_API void OffsetSegment(SegmentDesc* segs, int count, double dx, double dy);
TARN_GEOM_API void ValidateSegments(SegmentDesc* segs, int count);
// Each writes 5 records: four edges or quarter arcs and the end record.
TARN_GEOM_API void Rect2Bezier(tagRectF& r, SegmentDesc* segs, bool clockwise);
TARN_GEOM_API void Ellipse2Bezier(tagRectF& r, SegmentDesc* segs, bool clockwise);

// The packed block and the unpacked array belong to the caller, who frees them with delete[].
TARN_GEOM_API int CompressSegmentDesc(const SegmentDesc* segs, int count, unsigned char** data, int* size);
TARN_GEOM_API int DecompressSegmentDesc(const unsigned char* data, int size, SegmentDesc** segs, int* count);
