#include "ShapeEngine.h"

#include "render/BezierGeometry.h"
#include "render/DrawPolyBezier.h"
#include "render/MaskList.h"
#include "render/MaskListFill.h"
#include "render/PathBoolean.h"
#include "render/PointInPath.h"
#include "render/PolyDrawEmulation.h"

#include <algorithm>
#include <new>
#include <vector>

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
int PointTest(double x, double y, const SegmentDesc* segments, int count) {
    return PtInPolyBezier(tagPointF{x, y}, segments, count);
}

// The engine hands back pointers into a record buffer of its own; the table's callers free a result
// by its arrays alone, so the records are moved into one block that the first array starts.
int Boolean(SegmentDesc** first, const int* firstCounts, int firstCount, SegmentDesc** second,
            const int* secondCounts, int secondCount, int operation, int flags, SegmentDesc*** out,
            int** outCounts, int* outCount) {
    *out = nullptr;
    *outCounts = nullptr;
    *outCount = 0;
    try {
        // The engine snaps and cleans the operands in place and may lower their counts.
        std::vector<int> a(firstCounts, firstCounts + std::max(firstCount, 0));
        std::vector<int> b(secondCounts, secondCounts + std::max(secondCount, 0));
        SegmentDesc** arrays = nullptr;
        SegmentDesc* buffer = nullptr;
        int* counts = nullptr;
        int n = 0;
        if (!PathBooleanOperation(first, a.data(), firstCount, second, b.data(), secondCount, &arrays, &buffer, &counts,
                                  &n, operation, flags, 0))
            return 0;
        size_t total = 0;
        for (int i = 0; i < n; ++i) total += static_cast<size_t>(std::max(counts[i], 0));
        SegmentDesc* records = nullptr;
        SegmentDesc** pointers = nullptr;
        try {
            records = new SegmentDesc[std::max<size_t>(total, 1)];
            pointers = new SegmentDesc*[std::max(n, 1)];
        } catch (const std::bad_alloc&) {
            delete[] records;
            delete[] arrays;
            delete[] buffer;
            delete[] counts;
            return 0;
        }
        size_t at = 0;
        for (int i = 0; i < n; ++i) {
            pointers[i] = records + at;
            std::copy(arrays[i], arrays[i] + std::max(counts[i], 0), records + at);
            at += static_cast<size_t>(std::max(counts[i], 0));
        }
        if (n == 0) pointers[0] = records;
        delete[] arrays;
        delete[] buffer;
        *out = pointers;
        *outCounts = counts;
        *outCount = n;
        return 1;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

void FreeBoolean(SegmentDesc** out, int* outCounts, int) {
    if (out) delete[] out[0];
    delete[] out;
    delete[] outCounts;
}

BOOL PolyDrawPoints(HDC hdc, const POINT* points, const BYTE* types, int count) {
    return PolyDrawEmulated(hdc, points, types, count) != 0;
}
}  // namespace

const CShapeEngine& DefaultShapeEngine() {
    static const CShapeEngine engine = {Draw,       Fill,         OffsetClip, HitTest,  Intersects,  SubtractRect4,
                                        PathBounds, StrokeBounds, PointTest,  Boolean,  FreeBoolean, PolyDrawPoints};
    return engine;
}
