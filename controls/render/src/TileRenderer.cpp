// One tile of a drawing: classify the request, cull, check the fixed working storage, walk the
// path, then the fill pass and the outline pass, each recorded as coverage nodes.
#include <algorithm>
#include <cmath>
#include <vector>

#include "CellRasterizer.h"
#include "CoverageNodeWriter.h"
#include "CoverageSweep.h"
#include "DashWalker.h"
#include "EdgeFeed.h"
#include "EngineTables.h"
#include "PathWalk.h"
#include "SpanPainter.h"
#include "StrokeOutline.h"
#include "TileLimits.h"
#include "imaging/ImagingBitmap.h"
#include "render/DrawPolyBezier.h"
#include "geometry/NumericHelpers.h"

namespace {

// Working storage of the tile renderer, shared by all calls under the rendering lock.
struct TileWorkspace {
    PathWalk walk{kPathPointLimit};
    PathWalk wideWalk{kWidePathPointLimit};
    CellRasterizer fillCells{kCellLimit};
    CellRasterizer outlineCells{kCellLimit};
    StrokeOutline stroke;
    std::vector<StrokePoint> polyline;
    std::vector<StrokePoint> stretch;
    std::vector<StrokePoint> run;
    std::vector<char> nearBox;
    std::vector<StrokePoint> deduped;
    std::vector<std::uint8_t> raster;
    std::vector<int> pieces;

    static TileWorkspace& Get()
    {
        static TileWorkspace workspace;
        return workspace;
    }
};

struct StrokeClass {
    bool present = false;
    bool wide = false;
    double width = 0;
    double half = 0;
};

StrokeClass ClassifyStroke(const FillInfo& request)
{
    StrokeClass s;
    if (request.OutlineType == OutlineNone) return s;
    const double w = request.OutlineWidth;
    if (!(w > 0) || !std::isfinite(w)) return s;   // no usable width: nothing to outline
    s.present = true;
    s.width = w;
    s.half = w / 2;
    s.wide = w >= 1.05;
    return s;
}

bool FiniteBounds(const SegmentDesc* segs, int count, tagRectF& box)
{
    box = {1e60, 1e60, -1e60, -1e60};
    auto add = [&box](const tagPointF& p) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
        box.left = std::min(box.left, p.x);
        box.right = std::max(box.right, p.x);
        box.top = std::min(box.top, p.y);
        box.bottom = std::max(box.bottom, p.y);
    };
    for (int i = 0; i < count; ++i) {
        const SegmentDesc& s = segs[i];
        add(s.pt1);
        if (s.kind == SegmentCubic) { add(s.pt2); add(s.pt3); }
    }
    return box.left <= box.right;
}

void CopyPolyline(const PathWalk& walk, const WalkSubpath& sub, std::vector<StrokePoint>& out)
{
    out.clear();
    for (int i = 0; i < sub.count; ++i) {
        const WalkPoint& p = walk.points()[sub.first + i];
        out.push_back({p.x, p.y});
    }
}

bool SegmentNearBox(const StrokePoint& a, const StrokePoint& b, const tagRectF& box)
{
    return std::max(a.x, b.x) >= box.left && std::min(a.x, b.x) <= box.right && std::max(a.y, b.y) >= box.top &&
           std::min(a.y, b.y) <= box.bottom;
}

// Strokes the parts of a polyline that come near the box. Each part keeps one more side at both
// ends, so every side near the box gets the same joins as in the whole outline (a join moves the
// ends of the sides' edges, and with them every pixel the edges cross); the added sides and the
// flat ends that close the part lie wholly outside the box, far enough from the tile to change
// nothing in it.
template <class EdgeSink>
void StrokeNearBox(StrokeOutline& stroke, const std::vector<StrokePoint>& input, bool closed, double h,
                   const tagRectF& box, EdgeSink& sink, StrokeBounds& bounds, std::vector<StrokePoint>& run,
                   std::vector<char>& nearBox, std::vector<StrokePoint>& pts)
{
    // Sides of no length are dropped first, as the outline does, so that the side added at each
    // end of a part is a real one.
    pts.clear();
    for (const StrokePoint& p : input) {
        if (!pts.empty()) {
            const double dx = p.x - pts.back().x, dy = p.y - pts.back().y;
            if (dx * dx + dy * dy < 1e-12) continue;
        }
        pts.push_back(p);
    }
    if (closed && pts.size() > 2) {
        const double dx = pts.front().x - pts.back().x, dy = pts.front().y - pts.back().y;
        if (dx * dx + dy * dy < 1e-12) pts.pop_back();
    }
    const int n = static_cast<int>(pts.size());
    if (n < 2) return;
    const int segs = closed ? n : n - 1;
    nearBox.assign(segs, 0);
    bool all = true;
    for (int k = 0; k < segs; ++k) {
        nearBox[k] = SegmentNearBox(pts[k], pts[(k + 1) % n], box) ? 2 : 0;
        all = all && nearBox[k];
    }
    if (all) {
        stroke.Build(pts.data(), n, closed, h, sink, bounds);
        return;
    }
    for (int k = 0; k < segs; ++k) {
        if (nearBox[k] != 2) continue;
        if (k > 0 || closed) { int p = (k - 1 + segs) % segs; if (!nearBox[p]) nearBox[p] = 1; }
        if (k + 1 < segs || closed) { int q = (k + 1) % segs; if (!nearBox[q]) nearBox[q] = 1; }
    }
    int firstDropped = -1;
    for (int k = 0; k < segs && firstDropped < 0; ++k)
        if (!nearBox[k]) firstDropped = k;
    if (firstDropped < 0) {
        stroke.Build(pts.data(), n, closed, h, sink, bounds);
        return;
    }
    run.clear();
    // A closed polyline is followed round from just after a side left out; an open one from its start.
    const int start = closed ? firstDropped + 1 : 0;
    for (int i = 0; i <= segs; ++i) {
        const int k = (start + i) % segs;
        if (i < segs && nearBox[k]) {
            if (run.empty()) run.push_back(pts[k]);
            run.push_back(pts[(k + 1) % n]);
        } else if (!run.empty()) {
            stroke.Build(run.data(), static_cast<int>(run.size()), false, h, sink, bounds);
            run.clear();
        }
    }
}

} // namespace

int RenderPolyBezierTile(ImagingBitmap* bdst, RECT* cliprect, const SegmentDesc* segments, int snum,
                         unsigned char* maskCursor, const unsigned char* maskLimit, const FillInfo* fillInfo,
                         const RenderOptions& options, int* status)
{
    CoverageNodeWriter writer(maskCursor, maskLimit);
    if (!cliprect || !fillInfo || !status) return RenderFailed;
    if (cliprect->left >= cliprect->right || cliprect->top >= cliprect->bottom) return 0;
    if (!bdst || !bdst->Allocated || !bdst->Addr || (bdst->BitsPerPixel != 24 && bdst->BitsPerPixel != 32))
        return RenderFailed;
    if (!segments || snum <= 0) return writer.full() ? RenderListFull : 0;

    // Never touch pixels outside the bitmap, whatever rectangle the caller asked for.
    RECT tile;
    const RECT bitmapRect{0, 0, bdst->Width, bdst->Height};
    if (!IntersectRect(&tile, cliprect, &bitmapRect)) return writer.full() ? RenderListFull : 0;

    const FillInfo& request = *fillInfo;
    const StrokeClass stroke = ClassifyStroke(request);
    const double h = stroke.half;

    CriticalSectionHolder lock(RenderingLock());
    TileWorkspace& ws = TileWorkspace::Get();

    tagRectF bounds;
    if (!FiniteBounds(segments, snum, bounds)) return writer.full() ? RenderListFull : 0;
    const bool smallShape = options.closed && !options.highestQuality && bounds.right - bounds.left <= 10 &&
                            bounds.bottom - bounds.top <= 10;

    // Culling: a path whose stroked extent stays clear of the tile paints nothing here.
    const double m = 8 * h;
    if (bounds.left - m > tile.right || bounds.right + m < tile.left || bounds.top - m > tile.bottom ||
        bounds.bottom + m < tile.top)
        return writer.full() ? RenderListFull : 0;

    if (tile.bottom - tile.top >= kTileRowLimit) {
        *status = TileTooLarge;
        return 0;
    }

    const bool fill = options.closed && request.FillType != FillNone;
    const DashPattern* dash = stroke.present && !stroke.wide ? DashPatternForOutline(request.OutlineType) : nullptr;

    // Everything that can affect the tile lies within this margin of it (miter tips reach at most
    // about 5.1 half widths from their corner).
    const double margin = 6 * h + 2;
    WalkRequest walkRequest;
    walkRequest.segments = segments;
    walkRequest.count = snum;
    walkRequest.clip = {tile.left - margin, tile.top - margin, tile.right + margin, tile.bottom + margin};
    walkRequest.tolerance = 0.0025;
    walkRequest.needLengths = dash != nullptr;
    walkRequest.dashKey = options.dashKey;
    PathWalk& walk = stroke.wide ? ws.wideWalk : ws.walk;
    if (!walk.Run(walkRequest)) {
        *status = TileTooLarge;
        return 0;
    }

    // Wide outlines: one piece per sub-path that reaches the tile; the fixed piece slots and side
    // runs are checked before anything is painted, so a split never paints a pixel twice.
    std::vector<int>& pieces = ws.pieces;
    pieces.clear();
    if (stroke.wide) {
        long sidePoints = 0;
        for (int i = 0; i < static_cast<int>(walk.subpaths().size()); ++i) {
            const WalkSubpath& sub = walk.subpaths()[i];
            StrokeBounds b;
            for (int k = 0; k < sub.count; ++k) b.Add(walk.points()[sub.first + k].x, walk.points()[sub.first + k].y);
            const double reach = 9 * h;
            if (b.left - reach >= tile.right || b.right + reach <= tile.left || b.top - reach >= tile.bottom ||
                b.bottom + reach <= tile.top)
                continue;
            pieces.push_back(i);
            sidePoints += 3L * (sub.count + 1);
            if (static_cast<int>(pieces.size()) >= kPieceLimit) {
                *status = TileTooManyPieces;
                return 0;
            }
        }
        if (sidePoints > kSidePointLimit) {
            *status = TileTooLarge;
            return 0;
        }
    }

    // Rasterise the fill and a thin outline before painting, so a tile that proves too complex
    // leaves the bitmap untouched for the split.
    const bool nonZeroFill = options.nonZeroFill != 0;
    if (fill) {
        ws.fillCells.Reset(tile.left, tile.top, tile.right, tile.bottom);
        EdgeFeed feed(ws.fillCells);
        for (const WalkSubpath& sub : walk.subpaths()) {
            const WalkPoint* p = &walk.points()[sub.first];
            for (int k = 1; k < sub.count; ++k) feed.Line(p[k - 1].x, p[k - 1].y, p[k].x, p[k].y);
            if (sub.count > 1) feed.Line(p[sub.count - 1].x, p[sub.count - 1].y, p[0].x, p[0].y);
        }
        if (ws.fillCells.overflowed()) {
            *status = TileTooComplex;
            return 0;
        }
    }
    if (stroke.present && !stroke.wide) {
        ws.outlineCells.Reset(tile.left, tile.top, tile.right, tile.bottom);
        EdgeFeed feed(ws.outlineCells);
        StrokeBounds ignored;
        for (const WalkSubpath& sub : walk.subpaths()) {
            if (dash) {
                DashPolyline(&walk.points()[sub.first], sub.count, options.closed != 0, *dash, walkRequest.clip,
                             [&](const std::vector<StrokePoint>& s) {
                                 StrokeNearBox(ws.stroke, s, false, h, walkRequest.clip, feed, ignored, ws.run,
                                               ws.nearBox, ws.deduped);
                             },
                             ws.stretch);
            } else {
                CopyPolyline(walk, sub, ws.polyline);
                StrokeNearBox(ws.stroke, ws.polyline, options.closed != 0, h, walkRequest.clip, feed, ignored,
                              ws.run, ws.nearBox, ws.deduped);
            }
        }
        if (ws.outlineCells.overflowed()) {
            *status = TileTooComplex;
            return 0;
        }
    }

    // A wide outline sub-path with too many passages through a row must be found before anything
    // is painted (the fill, or an earlier sub-path's outline), so that the split paints every
    // pixel once.
    if (stroke.wide && (fill || pieces.size() > 1)) {
        for (int index : pieces) {
            ws.outlineCells.Reset(tile.left, tile.top, tile.right, tile.bottom);
            ws.outlineCells.CountOnly(true);
            EdgeFeed feed(ws.outlineCells);
            StrokeBounds b;
            CopyPolyline(walk, walk.subpaths()[index], ws.polyline);
            StrokeNearBox(ws.stroke, ws.polyline, options.closed != 0, h, walkRequest.clip, feed, b, ws.run,
                          ws.nearBox, ws.deduped);
            if (ws.outlineCells.overflowed()) {
                *status = TileTooComplex;
                return 0;
            }
        }
    }

    ImagingAccessScope access(bdst);
    if (!access.ok()) return RenderFailed;

    if (fill) {
        const ImagingBitmap* pattern = request.FillType == FillPattern ? request.PatternBitmap : nullptr;
        SpanPainter painter(bdst, request.FillColor, pattern, request.PatternOriginX, request.PatternOriginY);
        CoverageSweep sweep(255);
        if (smallShape) {
            // Small shapes are kept as a raster of coverage bytes over their box.
            const int rl = std::max<int>(tile.left, __trunc(bounds.left));
            const int rt = std::max<int>(tile.top, __trunc(bounds.top));
            const int rr = std::min<int>(tile.right, __trunc(bounds.right) + 1);
            const int rb = std::min<int>(tile.bottom, __trunc(bounds.bottom) + 1);
            if (rl < rr && rt < rb) {
                const int w = rr - rl, hgt = rb - rt;
                ws.raster.assign(static_cast<size_t>(w) * hgt, 0);
                sweep.CollectTo(ws.raster.data(), rl, rt, w);
                ws.fillCells.Sweep(nonZeroFill, sweep);
                // Neighbouring pixels of one coverage are painted as one span.
                for (int y = 0; y < hgt; ++y) {
                    const std::uint8_t* line = &ws.raster[static_cast<size_t>(y) * w];
                    for (int x = 0; x < w;) {
                        const unsigned c = line[x];
                        int end = x + 1;
                        while (end < w && line[end] == c) ++end;
                        if (c) painter.Span(rt + y, rl + x, rl + end, c);
                        x = end;
                    }
                }
                if (sweep.painted()) {
                    // Keep only the rectangle that received coverage, packed row by row.
                    const int dl = sweep.dirtyLeft(), dt = sweep.dirtyTop(), dr = sweep.dirtyRight(), db = sweep.dirtyBottom();
                    const int dw = dr - dl;
                    for (int y = dt; y < db; ++y)
                        std::copy_n(&ws.raster[static_cast<size_t>(y - rt) * w + (dl - rl)], dw,
                                    &ws.raster[static_cast<size_t>(y - dt) * dw]);
                    writer.BeginNode(CoverageRaster);
                    writer.Raster(ws.raster.data(), dw * (db - dt));
                    writer.EndNode(dl, dt, dr, db, true);
                }
            }
        } else {
            sweep.PaintTo(&painter, &writer);
            writer.BeginNode(CoverageFill);
            ws.fillCells.Sweep(nonZeroFill, sweep);
            sweep.FlushRun();
            writer.EndNode(tile.left, tile.top, tile.right, tile.bottom, true);
        }
    }

    if (stroke.present && !stroke.wide) {
        SpanPainter painter(bdst, request.OutlineColor, nullptr, 0, 0);
        // Strokes narrower than 0.8 pixel never reach full strength.
        const int cap = std::min(255, __round(h * 637.5));
        CoverageSweep sweep(static_cast<unsigned>(std::max(cap, 1)));
        sweep.PaintTo(&painter, &writer);
        writer.BeginNode(CoverageOutline);
        ws.outlineCells.Sweep(true, sweep);
        sweep.FlushRun();
        if (sweep.painted())
            writer.EndNode(sweep.dirtyLeft(), sweep.dirtyTop(), sweep.dirtyRight(), sweep.dirtyBottom(), true);
        else
            writer.EndNode(0, 0, 0, 0, true);
    }

    if (stroke.wide) {
        SpanPainter painter(bdst, request.OutlineColor, nullptr, 0, 0);
        for (int index : pieces) {
            const WalkSubpath& sub = walk.subpaths()[index];
            ws.outlineCells.Reset(tile.left, tile.top, tile.right, tile.bottom);
            EdgeFeed feed(ws.outlineCells);
            StrokeBounds b;
            CopyPolyline(walk, sub, ws.polyline);
            StrokeNearBox(ws.stroke, ws.polyline, options.closed != 0, h, walkRequest.clip, feed, b, ws.run,
                          ws.nearBox, ws.deduped);
            if (ws.outlineCells.overflowed()) {
                *status = TileTooComplex;
                return writer.BytesWritten();
            }
            CoverageSweep sweep(255);
            sweep.PaintTo(&painter, &writer);
            writer.BeginNode(CoverageOutline);
            ws.outlineCells.Sweep(true, sweep);
        sweep.FlushRun();
            if (sweep.painted())
                writer.EndNode(sweep.dirtyLeft(), sweep.dirtyTop(), sweep.dirtyRight(), sweep.dirtyBottom(), true);
            else
                writer.EndNode(0, 0, 0, 0, true);
        }
    }

    *cliprect = tile;
    return writer.full() ? RenderListFull : writer.BytesWritten();
}
