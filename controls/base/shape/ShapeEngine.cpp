#include "ShapeEngine.h"

#include "render/BezierGeometry.h"
#include "render/DrawPolyBezier.h"
#include "render/MaskList.h"
#include "render/MaskListFill.h"

namespace {
int Draw(ImagingBitmap* bitmap, RECT* clip, const SegmentDesc* segments, int count, unsigned char* cursor,
         const unsigned char* limit, const FillInfo* fill, int highestQuality, int closed) {
    return DrawPolyBezierTiled(bitmap, clip, segments, count, cursor, limit, fill, highestQuality, closed, nullptr, 0);
}

bool Fill(ImagingBitmap* bitmap, const void* list, const RECT& clip, int dx, int dy, const FillInfo* fill) {
    return FillMaskRuns(bitmap, list, clip.left, clip.top, clip.right, clip.bottom, dx, dy, fill) ==
           MaskFillError::None;
}

bool OffsetClip(void** list, int dx, int dy, const RECT& clip) {
    return OffsetClipMaskList(list, dx, dy, clip) == MaskListError::None;
}

bool HitTest(const void* list, int x, int y, int radius) { return MaskHitTest(list, x, y, radius); }

bool Intersects(const void* list, const RECT& r) { return MaskIntersectsRect(list, r.left, r.top, r.right, r.bottom); }

void PathBounds(const SegmentDesc* segments, int count, tagRectF& box) {
    GetPathBounds(segments, count, box, false, true);
}

void StrokeBounds(const SegmentDesc* segments, int count, double width, tagRectF& box, bool closed) {
    GetSegmentsBoundsWithStroke(segments, count, width, box, closed, true);
}
}  // namespace

const CShapeEngine& DefaultShapeEngine() {
    static const CShapeEngine engine = {Draw,         Fill,    OffsetClip, HitTest, Intersects, SubtractRect4,
                                        PathBounds,   StrokeBounds, nullptr, nullptr, nullptr, nullptr};
    return engine;
}
