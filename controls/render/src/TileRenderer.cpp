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
#include "PathReach.h"
#include "PathWalk.h"
#include "SmallShapeFill.h"
#include "SpanPainter.h"
#include "SplitDrawingScope.h"
#include "StrokeOutline.h"
#include "ThinStroke.h"
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
    std::vector<StrokePoint> run;
    std::vector<char> nearBox;
    std::vector<StrokePoint> deduped;
    std::vector<int> pieces;
    SmallShapeFiller small;
    std::vector<WalkPoint> thinRun;
    ThinLineWalker thinWalker;
    CurveStepMemo curveSteps;

    static TileWorkspace& Get()
    {
        static TileWorkspace workspace;
        return workspace;
    }
};

struct StrokeClass {
    bool present = false;
    bool wide = false;
    bool nearOnePixel = false;   // thin, plotted point by point
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
    s.nearOnePixel = !s.wide && w > 0.95;
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

bool SegmentNearBox(const StrokePoint& a, const StrokePoint& b, const tagRectF& box)
{
    return std::max(a.x, b.x) >= box.left && std::min(a.x, b.x) <= box.right && std::max(a.y, b.y) >= box.top &&
           std::min(a.y, b.y) <= box.bottom;
}

// Strokes the parts of a polyline whose outline can come near the tile. A side's outline stays
// within the half width of it, and within its ends' joins: about the half width where the path
// turns by less than some 22 degrees (no miter, and the inner sides cross within 1.02 half widths),
// at most 5.1 half widths elsewhere (a miter tip). Each part keeps one more side at both ends, so
// every side near the tile gets the same joins as in the whole outline (a join moves the ends of
// the sides' edges, and with them every pixel the edges cross); the added sides and the flat ends
// that close the part lie more than two pixels from the tile, where the outline left out and the
// ends added form a band that winds round no pixel of the tile.
template <class EdgeSink>
void StrokeNearBox(StrokeOutline& stroke, const WalkPoint* input, int count, bool closed, double h,
                   const tagRectF& tile, EdgeSink& sink, std::vector<StrokePoint>& run,
                   std::vector<char>& nearBox, std::vector<StrokePoint>& pts)
{
    // Sides of no length are dropped first, as the outline does, so that the side added at each
    // end of a part is a real one.
    // (Each point is written in its place: one built aside and copied in stalls on the copy.)
    pts.resize(count);
    StrokePoint* const kept = pts.data();
    int keptCount = 0;
    for (int i = 0; i < count; ++i) {
        const WalkPoint& p = input[i];
        if (keptCount > 0) {
            const double dx = p.x - kept[keptCount - 1].x, dy = p.y - kept[keptCount - 1].y;
            if (dx * dx + dy * dy < 1e-12) continue;
        }
        kept[keptCount].x = p.x;
        kept[keptCount].y = p.y;
        kept[keptCount].smooth = p.smooth;
        ++keptCount;
    }
    pts.resize(keptCount);
    if (closed && pts.size() > 2) {
        const double dx = pts.front().x - pts.back().x, dy = pts.front().y - pts.back().y;
        if (dx * dx + dy * dy < 1e-12) pts.pop_back();
    }
    const int n = static_cast<int>(pts.size());
    if (n < 2) return;
    const int segs = closed ? n : n - 1;
    auto joinReach = [&](int i) {
        if (!closed && (i == 0 || i == n - 1)) return h;   // a flat end
        const StrokePoint& prev = pts[(i - 1 + n) % n];
        const StrokePoint& at = pts[i];
        const StrokePoint& next = pts[(i + 1) % n];
        const double ax = at.x - prev.x, ay = at.y - prev.y, bx = next.x - at.x, by = next.y - at.y;
        const double dot = ax * bx + ay * by;
        const bool gentle = dot > 0 && dot * dot >= 0.8649 * (ax * ax + ay * ay) * (bx * bx + by * by);
        return gentle ? 1.05 * h : 5.2 * h;
    };
    nearBox.assign(segs, 0);
    bool all = true;
    // Within the shortest reach of the tile a side is near whatever its joins; beyond the longest
    // it is not; only in between are its joins looked at.
    const double shortest = h + 2, longest = 5.2 * h + 2;
    const tagRectF within{tile.left - shortest, tile.top - shortest, tile.right + shortest, tile.bottom + shortest};
    const tagRectF beyond{tile.left - longest, tile.top - longest, tile.right + longest, tile.bottom + longest};
    for (int k = 0; k < segs; ++k) {
        const StrokePoint& a = pts[k];
        const StrokePoint& b = pts[(k + 1) % n];
        bool reaches = false;
        if (SegmentNearBox(a, b, within)) {
            reaches = true;
        } else if (SegmentNearBox(a, b, beyond)) {
            const double m = std::max(joinReach(k), joinReach((k + 1) % n)) + 2;
            reaches = SegmentNearBox(a, b, {tile.left - m, tile.top - m, tile.right + m, tile.bottom + m});
        }
        nearBox[k] = reaches ? 2 : 0;
        all = all && nearBox[k];
    }
    if (all) {
        stroke.Build(pts.data(), n, closed, h, sink);
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
        stroke.Build(pts.data(), n, closed, h, sink);
        return;
    }
    // A closed polyline is followed round from just after a side left out; an open one from its start.
    // A part is outlined from the points in place unless it runs on past the last point.
    const int start = closed ? firstDropped + 1 : 0;
    int partFirst = -1, partSides = 0;
    for (int i = 0; i <= segs; ++i) {
        const int k = (start + i) % segs;
        if (i < segs && nearBox[k]) {
            if (partSides++ == 0) partFirst = k;
            continue;
        }
        if (partSides == 0) continue;
        if (partFirst + partSides < n) {
            stroke.Build(pts.data() + partFirst, partSides + 1, false, h, sink);
        } else {
            run.clear();
            for (int j = 0; j <= partSides; ++j) run.push_back(pts[(partFirst + j) % n]);
            stroke.Build(run.data(), static_cast<int>(run.size()), false, h, sink);
        }
        partSides = 0;
    }
}

// Paints every pixel of the tile at full strength with the fill and records it the way the sweep
// records whole rows: one run a row.
void FillWholeTile(ImagingBitmap* bdst, const RECT& tile, const FillInfo& request, CoverageNodeWriter& writer)
{
    const ImagingBitmap* pattern = request.FillType == FillPattern ? request.PatternBitmap : nullptr;
    SpanPainter painter(bdst, request.FillColor, pattern, request.PatternOriginX, request.PatternOriginY);
    writer.BeginNode(CoverageFill);
    for (int y = tile.top; y < tile.bottom; ++y) {
        painter.Span(y, tile.left, tile.right, 255);
        writer.Run(tile.left, y, tile.right - tile.left);
    }
    writer.EndNode(tile.left, tile.top, tile.right, tile.bottom, true);
}

// Ends a node with the rectangle its pass painted (an empty one when it painted nothing).
void EndNodeOver(CoverageNodeWriter& writer, const DirtyRect& dirty, bool sorted)
{
    if (dirty.painted())
        writer.EndNode(dirty.left(), dirty.top(), dirty.right(), dirty.bottom(), sorted);
    else
        writer.EndNode(0, 0, 0, 0, sorted);
}

} // namespace

SplitDrawingScope::SplitDrawingScope()
{
    CriticalSectionHolder lock(RenderingLock());
    TileWorkspace::Get().curveSteps.Open();
}

SplitDrawingScope::~SplitDrawingScope()
{
    CriticalSectionHolder lock(RenderingLock());
    TileWorkspace::Get().curveSteps.Close();
}

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
    // The small-shape filler counts parity only, so it serves even-odd requests.
    const bool smallShape = options.closed && !options.highestQuality && !options.nonZeroFill &&
                            bounds.right - bounds.left <= 10 && bounds.bottom - bounds.top <= 10;

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
    bool smallFill = fill && smallShape;
    const DashPattern* dash = stroke.present && !stroke.wide ? DashPatternForOutline(request.OutlineType) : nullptr;

    // Everything that can affect the tile lies within this margin of it (miter tips reach at most
    // about 5.1 half widths from their corner).
    const double margin = 6 * h + 2;
    WalkRequest walkRequest;
    walkRequest.segments = segments;
    walkRequest.count = snum;
    walkRequest.clip = {tile.left - margin, tile.top - margin, tile.right + margin, tile.bottom + margin};
    const bool thin = stroke.present && !stroke.wide;
    walkRequest.tolerance = thin ? 0.96 : 0.4;
    walkRequest.snap = !smallShape;
    // A solid narrow outline runs straight through the steps of a line, so they are not taken.
    walkRequest.stepLines = thin && (stroke.nearOnePixel || dash);
    walkRequest.closeSubpaths = thin && options.closed;
    walkRequest.dash = dash;
    // A small shape is sampled whole, its cubics flattened wherever they lie, so that every tile
    // sees the same points.
    if (smallFill) walkRequest.clip = {-1e300, -1e300, 1e300, 1e300};
    walkRequest.dashKey = options.dashKey;
    walkRequest.memo = &ws.curveSteps;
    // No part of the path comes within the margin: no outline reaches the tile, and the fill
    // covers all of it or none of it. (Dashed outlines take the walk, which keeps the caller's
    // step cache up to date.)
    if (!dash) {
        const PathReach reach = ReachOfPath(segments, snum, walkRequest.clip);
        const bool inside = fill && (options.nonZeroFill ? reach.winding != 0 : (reach.winding & 1) != 0);
        if (!reach.reachesBox && !(inside && smallShape)) {
            if (inside) {
                ImagingAccessScope access(bdst);
                if (!access.ok()) return RenderFailed;
                FillWholeTile(bdst, tile, request, writer);
            }
            *cliprect = tile;
            return writer.full() ? RenderListFull : writer.BytesWritten();
        }
    }

    const tagRectF tileBox{static_cast<double>(tile.left), static_cast<double>(tile.top),
                           static_cast<double>(tile.right), static_cast<double>(tile.bottom)};
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

    // Rasterise the fill before painting, so a tile that proves too complex
    // leaves the bitmap untouched for the split.
    const bool nonZeroFill = options.nonZeroFill != 0;
    // A damaged path can walk beyond the box its records promise; it takes the scan converter.
    if (smallFill && !ws.small.Sample(walk.points().data(), walk.subpaths().data(),
                                      static_cast<int>(walk.subpaths().size())))
        smallFill = false;
    if (fill && !smallFill) {
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
    // A wide outline sub-path with too many passages through a row must be found before anything
    // is painted (the fill, or an earlier sub-path's outline), so that the split paints every
    // pixel once.
    if (stroke.wide && (fill || pieces.size() > 1)) {
        for (int index : pieces) {
            ws.outlineCells.Reset(tile.left, tile.top, tile.right, tile.bottom);
            ws.outlineCells.CountOnly(true);
            EdgeFeed feed(ws.outlineCells);
            const WalkSubpath& sub = walk.subpaths()[index];
            StrokeNearBox(ws.stroke, &walk.points()[sub.first], sub.count, options.closed != 0, h, tileBox, feed, ws.run,
                          ws.nearBox, ws.deduped);
            if (ws.outlineCells.overflowed()) {
                *status = TileTooComplex;
                return 0;
            }
        }
    }

    ImagingAccessScope access(bdst);
    if (!access.ok()) return RenderFailed;

    if (smallFill) {
        ws.small.PaintAndRecord(bdst, request, tile.left, tile.top, tile.right, tile.bottom, writer);
    } else if (fill) {
        const ImagingBitmap* pattern = request.FillType == FillPattern ? request.PatternBitmap : nullptr;
        SpanPainter painter(bdst, request.FillColor, pattern, request.PatternOriginX, request.PatternOriginY);
        CoverageSweep sweep(255);
        sweep.PaintTo(&painter, &writer);
        writer.BeginNode(CoverageFill);
        ws.fillCells.Sweep(nonZeroFill, sweep);
        sweep.FlushRun();
        writer.EndNode(tile.left, tile.top, tile.right, tile.bottom, true);
    }

    if (thin && stroke.nearOnePixel) {
        writer.BeginNode(CoverageOutline);
        PointPlotter plotter(bdst, request.OutlineColor, tile, &writer);
        plotter.PlotWalk(walk);
        const ThinPixelBlender& b = plotter.blender();
        EndNodeOver(writer, b.dirty(), false);
    } else if (thin) {
        // Every drawn stretch of the walk on its own; a dash gap breaks the outline.
        ThinPixelBlender blender(bdst, request.OutlineColor);
        ThinCoverageSink sink(blender, &writer, h);
        writer.BeginNode(CoverageOutline);
        for (const WalkSubpath& sub : walk.subpaths()) {
            const WalkPoint* p = &walk.points()[sub.first];
            int k = 0;
            while (k < sub.count) {
                while (k < sub.count && p[k].gap) ++k;
                const int begin = k;
                while (k < sub.count && !p[k].gap) {
                    // Steps inside a line add nothing to a solid outline. A dashed one keeps them:
                    // its stretches begin and end at steps, and a tile sees only some of them.
                    if (dash || !p[k].straight) ws.thinRun.push_back(p[k]);
                    ++k;
                }
                const bool whole = begin == 0 && k == sub.count;
                if (ws.thinRun.size() >= 2)
                    ws.thinWalker.Paint(ws.thinRun.data(), static_cast<int>(ws.thinRun.size()),
                                        whole && options.closed != 0, h, tile, sink);
                ws.thinRun.clear();
            }
        }
        EndNodeOver(writer, blender.dirty(), false);
    }

    if (stroke.wide) {
        SpanPainter painter(bdst, request.OutlineColor, nullptr, 0, 0);
        for (int index : pieces) {
            const WalkSubpath& sub = walk.subpaths()[index];
            ws.outlineCells.Reset(tile.left, tile.top, tile.right, tile.bottom);
            EdgeFeed feed(ws.outlineCells);
            StrokeNearBox(ws.stroke, &walk.points()[sub.first], sub.count, options.closed != 0, h, tileBox, feed, ws.run,
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
            EndNodeOver(writer, sweep.dirty(), true);
        }
    }

    *cliprect = tile;
    return writer.full() ? RenderListFull : writer.BytesWritten();
}
