// The tile driver: renders a drawing as one tile and, when the renderer's fixed storage is not
// enough, splits the area into quadrants or halves (down to four levels); when even that fails it
// paints the area, less half the stroke, as a plain rectangle so the call never leaves it untouched.
#include <cmath>
#include <optional>

#include "CoverageBands.h"
#include "SplitDrawingScope.h"
#include "imaging/ImagingBitmap.h"
#include "render/BezierGeometry.h"
#include "render/DrawPolyBezier.h"
#include "geometry/NumericHelpers.h"

namespace {

constexpr int kMaxDepth = 5;

double StrokeWidthOf(const FillInfo& request)
{
    if (request.OutlineType == OutlineNone) return 0.0;
    const double w = request.OutlineWidth;
    return w > 0 && std::isfinite(w) ? w : 0.0;
}

// Narrows the clip to the path's stroked bounds (rounded outwards). A box that is not finite
// (unusable coordinates) leaves the clip as it is. True when the path's bounds lie wholly within the
// clip (the clip is now those bounds).
bool NarrowToPath(RECT* clip, const SegmentDesc* segments, int snum, const FillInfo& request, bool closed)
{
    tagRectF box{1e60, 1e60, -1e60, -1e60};
    GetSegmentsBoundsWithStroke(segments, snum, StrokeWidthOf(request), box, closed, false);
    const double limit = 1e9;
    if (!(std::isfinite(box.left) && std::isfinite(box.top) && std::isfinite(box.right) && std::isfinite(box.bottom)))
        return false;
    if (box.left > box.right || box.top > box.bottom) return false;
    auto clampTrunc = [limit](double v) {
        return __trunc(v < -limit ? -limit : (v > limit ? limit : v));
    };
    const RECT pathRect{clampTrunc(box.left), clampTrunc(box.top), clampTrunc(box.right) + 1, clampTrunc(box.bottom) + 1};
    RECT narrowed;
    if (!IntersectRect(&narrowed, clip, &pathRect)) SetRectEmpty(&narrowed);
    *clip = narrowed;
    return EqualRect(&narrowed, &pathRect) != FALSE;
}

int Fallback(ImagingBitmap* bdst, RECT* cliprect, unsigned char* maskCursor, const unsigned char* maskLimit,
             const FillInfo* fillInfo, const RenderOptions& options)
{
    const double w = StrokeWidthOf(*fillInfo);
    const int k = w > 0 ? __round(0.5 * w) : 0;
    InflateRect(cliprect, -k, -k);
    const double l = cliprect->left, t = cliprect->top, r = cliprect->right, b = cliprect->bottom;
    SegmentDesc rect[5] = {};
    const double pts[4][4] = {{l, t, r, t}, {r, t, r, b}, {r, b, l, b}, {l, b, l, t}};
    for (int i = 0; i < 4; ++i) {
        rect[i].kind = SegmentLine;
        rect[i].pt1 = {pts[i][0], pts[i][1]};
        rect[i].pt2 = {pts[i][2], pts[i][3]};
    }
    rect[4].kind = SegmentEnd;
    rect[4].pt1 = {l, t};
    RenderOptions rectOptions = options;
    rectOptions.splitCache = nullptr;   // another path than the drawing's
    return DrawPolyBezierTiledEx(bdst, cliprect, rect, 5, maskCursor, maskLimit, fillInfo, rectOptions, 1);
}

} // namespace

int DrawPolyBezierTiledEx(ImagingBitmap* bdst, RECT* cliprect, const SegmentDesc* segments, int snum,
                          unsigned char* maskCursor, const unsigned char* maskLimit, const FillInfo* fillInfo,
                          const RenderOptions& options, int depth)
{
    if (depth >= kMaxDepth) return RenderFailed;
    if (!cliprect || !fillInfo) return RenderFailed;

    int status = TileDone;
    const int result = RenderPolyBezierTile(bdst, cliprect, segments, snum, maskCursor, maskLimit, fillInfo,
                                            options, &status);
    if (status == TileDone) {
        // A full coverage buffer is the caller's to handle: the pixels are painted.
        if (result >= 0 || result == RenderListFull) return result;
        if (depth > 0) return result;
        if (!bdst || !bdst->Allocated) return RenderFailed;   // nothing a rectangle could fix
        return Fallback(bdst, cliprect, maskCursor, maskLimit, fillInfo, options);
    }

    const bool pathWithin = depth == 0 && NarrowToPath(cliprect, segments, snum, *fillInfo, options.closed != 0);
    // The tiles of one drawing walk the same curves: the first to walk one keeps its steps for the others.
    std::optional<SplitDrawingScope> sharedSteps;
    if (depth == 0) sharedSteps.emplace();
    // ... and, when no record is kept, their painting waits for the drawing's coverage, rasterised
    // once in bands across it.
    std::optional<SplitDrawingCache> deferred;
    RenderOptions tileOptions = options;
    if (depth == 0 && bdst && bdst->Allocated) {
        RECT area;
        const RECT bitmapRect{0, 0, bdst->Width, bdst->Height};
        if (IntersectRect(&area, cliprect, &bitmapRect) &&
            SplitPaintingCanWait(bdst, maskCursor, segments, snum, *fillInfo, options, area)) {
            deferred.emplace(area, pathWithin && EqualRect(&area, cliprect));
            tileOptions.splitCache = &*deferred;
        }
    }
    // Paints the tiles that fitted, from the bands or, where they cannot serve, one by one as
    // they would have been painted.
    auto paintWaiting = [&](bool wholeArea) {
        if (!deferred || PaintSplitDrawing(bdst, *deferred, segments, snum, *fillInfo, options, wholeArea)) return;
        for (const RECT& leaf : deferred->leaves()) {
            RECT tile = leaf;
            DrawPolyBezierTiledEx(bdst, &tile, segments, snum, nullptr, nullptr, fillInfo, options, 1);
        }
    };

    const RECT area = *cliprect;
    const int mx = static_cast<int>((static_cast<long long>(area.left) + area.right) >> 1);
    const int my = static_cast<int>((static_cast<long long>(area.top) + area.bottom) >> 1);
    RECT tiles[4];
    int count;
    if (status == TileTooComplex) {
        tiles[0] = {area.left, area.top, mx, area.bottom};
        tiles[1] = {mx, area.top, area.right, area.bottom};
        count = 2;
    } else {
        tiles[0] = {area.left, area.top, mx, my};
        tiles[1] = {mx, area.top, area.right, my};
        tiles[2] = {area.left, my, mx, area.bottom};
        tiles[3] = {mx, my, area.right, area.bottom};
        count = 4;
    }

    int sum = 0;
    bool listFull = false;
    bool failed = false;
    RECT united;
    SetRectEmpty(&united);
    for (int i = 0; i < count; ++i) {
        unsigned char* cursor = maskCursor ? maskCursor + sum : nullptr;
        const int r = DrawPolyBezierTiledEx(bdst, &tiles[i], segments, snum, cursor, maskLimit, fillInfo, tileOptions,
                                            depth + 1);
        if (r == RenderListFull) {
            // Keep painting the remaining tiles; nothing more is recorded.
            listFull = true;
            maskCursor = nullptr;
            UnionRect(&united, &united, &tiles[i]);
            continue;
        }
        if (r < 0 || sum + r < sum) { failed = true; break; }
        sum += r;
        UnionRect(&united, &united, &tiles[i]);
    }
    if (failed) {
        if (depth > 0) return RenderFailed;
        paintWaiting(false);
        *cliprect = area;
        return Fallback(bdst, cliprect, maskCursor, maskLimit, fillInfo, options);
    }
    paintWaiting(true);
    if (count == 4) *cliprect = united;
    return listFull ? RenderListFull : sum;
}

int DrawPolyBezierTiled(ImagingBitmap* bdst, RECT* cliprect, const SegmentDesc* segments, int snum,
                        unsigned char* maskCursor, const unsigned char* maskLimit, const FillInfo* fillInfo,
                        int highestQuality, int closed, unsigned short* dashKey, int depth)
{
    RenderOptions options;
    options.highestQuality = highestQuality;
    options.closed = closed;
    options.dashKey = dashKey;
    return DrawPolyBezierTiledEx(bdst, cliprect, segments, snum, maskCursor, maskLimit, fillInfo, options, depth);
}
