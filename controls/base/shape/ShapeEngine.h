#pragma once
// The rendering engine as the shape controls call it: one small table of entry points, so that a
// test can hand a control a fake (forced Boolean failures, counted calls). A table may leave an
// entry null; callers then take the documented fallback.
#include <windows.h>

#include "TarnControls.h"

struct FillInfo;
struct ImagingBitmap;

struct CShapeEngine {
    // Renders segments into the bitmap within *clip; with a coverage buffer [cursor, limit) it
    // records the coverage as nodes. Returns the bytes written or a negative RenderResult.
    int (*drawPolyBezierTiled)(ImagingBitmap* bitmap, RECT* clip, const SegmentDesc* segments, int count,
                               unsigned char* cursor, const unsigned char* limit, const FillInfo* fill,
                               int highestQuality, int closed);
    // Paints a heap-block coverage list, shifted by (dx, dy), within clip.
    bool (*fillMaskRuns)(ImagingBitmap* bitmap, const void* list, const RECT& clip, int dx, int dy,
                         const FillInfo* fill);
    // Moves and clips a heap-block list; the block may move: *list takes its new address.
    bool (*offsetClipMaskList)(void** list, int dx, int dy, const RECT& clip);
    bool (*maskHitTest)(const void* list, int x, int y, int radius);
    bool (*maskIntersectsRect)(const void* list, const RECT& rect);
    int (*subtractRect4)(const RECT& a, const RECT& b, RECT out[4]);
    void (*getPathBounds)(const SegmentDesc* segments, int count, tagRectF& box);
    void (*getSegmentsBoundsWithStroke)(const SegmentDesc* segments, int count, double width, tagRectF& box,
                                        bool closed);
    // Even-odd point test; null: callers fall back to the frame test.
    int (*ptInPolyBezier)(double x, double y, const SegmentDesc* segments, int count);
    // Boolean combination (0 add, 1 subtract, 2 intersect) of two sets of closed curves; null: the
    // operation fails. The operands are snapped and cleaned in place. On success *out holds the
    // result's sub-paths, which the caller frees with freeBooleanResult.
    int (*pathBooleanOperation)(SegmentDesc** first, const int* firstCounts, int firstCount, SegmentDesc** second,
                                const int* secondCounts, int secondCount, int operation, int flags,
                                SegmentDesc*** out, int** outCounts, int* outCount);
    void (*freeBooleanResult)(SegmentDesc** out, int* outCounts, int outCount);
    // Draws a figure list on a DC; null: the system's PolyDraw.
    BOOL (*polyDraw)(HDC hdc, const POINT* points, const BYTE* types, int count);
};

// The engine compiled into this server.
const CShapeEngine& DefaultShapeEngine();
