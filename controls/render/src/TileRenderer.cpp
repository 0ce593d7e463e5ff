// One tile of a drawing: classify the request, cull, check the fixed working storage, walk the
// path, then the fill pass and the outline pass, each recorded as coverage nodes.
#include <algorithm>
#include <cmath>
#include <vector>

#include "CellRasterizer.h"
#include "CoverageBands.h"
#include "CoverageNodeWriter.h"
#include "CoverageSweep.h"
#include "DashWalker.h"
#include "EdgeFeed.h"
#include "EngineTables.h"
#include "PassageFloor.h"
#include "PathReach.h"
#include "PathWalk.h"
#include "RectangleSweep.h"
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
    // Bands of a split drawing are as wide as the drawing; no row list limits them.
    PathWalk bandWalk{kPathPointLimit};
    CellRasterizer bandCells{kCellLimit, false};
    EdgeTally fillTally;
    EdgeTally outlineTally;
    std::vector<CoverageStretch> clipped;
    PassageFloor passageFloor;
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

// A closed path within 10 x 10 pixels goes to the small-shape filler unless the highest quality
// is asked for; the filler counts parity only, so it serves even-odd requests.
bool TakesSmallShapePath(const tagRectF& bounds, const RenderOptions& options)
{
    return options.closed && !options.highestQuality && !options.nonZeroFill && bounds.right - bounds.left <= 10 &&
           bounds.bottom - bounds.top <= 10;
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
    double lastX = 0, lastY = 0;
    for (int i = 0; i < count; ++i) {
        const WalkPoint& p = input[i];
        const double x = p.x, y = p.y;
        if (keptCount > 0) {
            const double dx = x - lastX, dy = y - lastY;
            if (dx * dx + dy * dy < 1e-12) continue;
        }
        kept[keptCount].x = x;
        kept[keptCount].y = y;
        kept[keptCount].smooth = p.smooth;
        ++keptCount;
        lastX = x;
        lastY = y;
    }
    pts.resize(keptCount);
    if (closed && pts.size() > 2) {
        const double dx = pts.front().x - pts.back().x, dy = pts.front().y - pts.back().y;
        if (dx * dx + dy * dy < 1e-12) pts.pop_back();
    }
    const int n = static_cast<int>(pts.size());
    if (n < 2) return;
    const int segs = closed ? n : n - 1;
    // An index one round out of [0, size) brought back in (no division: this runs per side).
    auto wrap = [](int i, int size) { return i < 0 ? i + size : i >= size ? i - size : i; };
    auto joinReach = [&](int i) {
        if (!closed && (i == 0 || i == n - 1)) return h;   // a flat end
        const StrokePoint& prev = pts[wrap(i - 1, n)];
        const StrokePoint& at = pts[i];
        const StrokePoint& next = pts[wrap(i + 1, n)];
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
        const int next = wrap(k + 1, n);
        const StrokePoint& a = pts[k];
        const StrokePoint& b = pts[next];
        bool reaches = false;
        if (SegmentNearBox(a, b, within)) {
            reaches = true;
        } else if (SegmentNearBox(a, b, beyond)) {
            const double m = std::max(joinReach(k), joinReach(next)) + 2;
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
        if (k > 0 || closed) { int p = wrap(k - 1, segs); if (!nearBox[p]) nearBox[p] = 1; }
        if (k + 1 < segs || closed) { int q = wrap(k + 1, segs); if (!nearBox[q]) nearBox[q] = 1; }
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
        const int k = wrap(start + i, segs);
        if (i < segs && nearBox[k]) {
            if (partSides++ == 0) partFirst = k;
            continue;
        }
        if (partSides == 0) continue;
        if (partFirst + partSides < n) {
            stroke.Build(pts.data() + partFirst, partSides + 1, false, h, sink);
        } else {
            run.clear();
            for (int j = 0; j <= partSides; ++j) run.push_back(pts[wrap(partFirst + j, n)]);
            stroke.Build(run.data(), static_cast<int>(run.size()), false, h, sink);
        }
        partSides = 0;
    }
}

// The walk of the path for the rectangle box. Everything that can affect the box lies within the
// margin of it (miter tips reach at most about 5.1 half widths from their corner).
WalkRequest MakeWalkRequest(const SegmentDesc* segments, int snum, const RECT& box, const StrokeClass& stroke,
                            const RenderOptions& options, const DashPattern* dash, bool smallShape, TileWorkspace& ws)
{
    const double margin = 6 * stroke.half + 2;
    WalkRequest walkRequest;
    walkRequest.segments = segments;
    walkRequest.count = snum;
    walkRequest.clip = {box.left - margin, box.top - margin, box.right + margin, box.bottom + margin};
    const bool thin = stroke.present && !stroke.wide;
    walkRequest.tolerance = thin ? 0.96 : 0.4;
    walkRequest.snap = !smallShape;
    // A solid narrow outline runs straight through the steps of a line, so they are not taken.
    walkRequest.stepLines = thin && (stroke.nearOnePixel || dash);
    walkRequest.closeSubpaths = thin && options.closed;
    walkRequest.dash = dash;
    walkRequest.dashKey = options.dashKey;
    walkRequest.memo = &ws.curveSteps;
    return walkRequest;
}

// Whether a wide outline of the sub-path can reach the box (its points within 9 half widths).
bool SubpathReaches(const PathWalk& walk, const WalkSubpath& sub, double h, const RECT& box)
{
    StrokeBounds b;
    for (int k = 0; k < sub.count; ++k) b.Add(walk.points()[sub.first + k].x, walk.points()[sub.first + k].y);
    const double reach = 9 * h;
    return !(b.left - reach >= box.right || b.right + reach <= box.left || b.top - reach >= box.bottom ||
             b.bottom + reach <= box.top);
}

std::size_t BytesOf(const CoverageRows& rows)
{
    return rows.stretches.size() * sizeof(CoverageStretch) + rows.rowStart.size() * sizeof(int);
}

// Rasterises one band of a split drawing: its fill and each sub-path's wide outline, recorded as
// they would be painted. A pass that does not fit the band rasteriser leaves the band unusable
// (its tiles are drawn on their own).
void BuildBand(TileWorkspace& ws, SplitDrawingCache& cache, int index, const SegmentDesc* segments, int snum,
               const RenderOptions& options, const StrokeClass& stroke, bool fill)
{
    CoverageBand& band = cache.Band(index);
    band.built = true;
    band.usable = false;
    const RECT box = cache.BandRect(index);
    band.top = box.top;
    band.bottom = box.bottom;
    const int rows = box.bottom - box.top;
    WalkRequest walkRequest = MakeWalkRequest(segments, snum, box, stroke, options, nullptr, false, ws);
    PathWalk& walk = ws.bandWalk;
    if (!walk.Run(walkRequest)) return;
    band.subpaths = static_cast<int>(walk.subpaths().size());
    band.walkPoints = static_cast<long>(walk.points().size());

    if (fill) {
        ws.bandCells.Reset(box.left, box.top, box.right, box.bottom);
        ws.fillTally.Reset(box.top, rows);
        EdgeFeed feed(ws.bandCells, &ws.fillTally);
        for (const WalkSubpath& sub : walk.subpaths()) feed.Polygon(&walk.points()[sub.first], sub.count);
        if (ws.bandCells.overflowed()) return;
        {
            CoverageRecorder recorder(band.fill, box.top, rows);
            ws.bandCells.Sweep(options.nonZeroFill != 0, recorder);
        }
        band.fillMost = ws.fillTally.MostPerRow();
    }
    if (stroke.wide) {
        const tagRectF bandBox{static_cast<double>(box.left), static_cast<double>(box.top),
                               static_cast<double>(box.right), static_cast<double>(box.bottom)};
        band.outlines.resize(band.subpaths);
        ws.outlineTally.Reset(box.top, rows);
        for (int i = 0; i < band.subpaths; ++i) {
            const WalkSubpath& sub = walk.subpaths()[i];
            if (!SubpathReaches(walk, sub, stroke.half, box)) continue;
            ws.bandCells.Reset(box.left, box.top, box.right, box.bottom);
            EdgeFeed feed(ws.bandCells, &ws.outlineTally);
            StrokeNearBox(ws.stroke, &walk.points()[sub.first], sub.count, options.closed != 0, stroke.half, bandBox,
                          feed, ws.run, ws.nearBox, ws.deduped);
            if (ws.bandCells.overflowed()) return;
            CoverageRecorder recorder(band.outlines[i], box.top, rows);
            ws.bandCells.Sweep(true, recorder);
        }
        band.outlineMost = ws.outlineTally.MostPerRow();
    }
    band.usable = true;
    band.bytes = BytesOf(band.fill);
    for (const CoverageRows& rowsOfOutline : band.outlines) band.bytes += BytesOf(rowsOfOutline);
}

// Builds the bands the tile's rows lie in; false when one of them cannot serve.
bool EnsureBands(TileWorkspace& ws, SplitDrawingCache& cache, const RECT& tile, const SegmentDesc* segments, int snum,
                 const RenderOptions& options, const StrokeClass& stroke, bool fill)
{
    for (int b = cache.BandOf(tile.top), last = cache.BandOf(tile.bottom - 1); b <= last; ++b) {
        CoverageBand& band = cache.Band(b);
        if (!band.built) {
            if (!cache.HasRoom()) return false;
            BuildBand(ws, cache, b, segments, snum, options, stroke, fill);
            cache.Account(band);
        }
        if (!band.usable) return false;
    }
    return true;
}

// Whether the tile, drawn on its own, would certainly fit the fixed storage, judged from the bands
// its extended clip reaches: the tile's walk keeps the points inside its clip, which the bands'
// walks hold as well, and adds at most a few where it leaves and re-enters the clip; each passage
// through a row begins with another edge crossing the row.
bool TileFitsByBands(TileWorkspace& ws, SplitDrawingCache& cache, const RECT& tile, const SegmentDesc* segments,
                     int snum, const RenderOptions& options, const StrokeClass& stroke, bool fill)
{
    if (!cache.pathInside() || !cache.Covers(tile)) return false;
    const RECT& area = cache.area();
    const int margin = static_cast<int>(6 * stroke.half + 2) + 2;
    const RECT reach{tile.left, std::max<LONG>(tile.top - margin, area.top), tile.right,
                     std::min<LONG>(tile.bottom + margin, area.bottom)};
    if (!EnsureBands(ws, cache, reach, segments, snum, options, stroke, fill)) return false;
    long points = 0;
    int subpaths = 0, fillMost = 0, outlineMost = 0;
    for (int b = cache.BandOf(reach.top), last = cache.BandOf(reach.bottom - 1); b <= last; ++b) {
        const CoverageBand& band = cache.Band(b);
        points += band.walkPoints;
        subpaths = std::max(subpaths, band.subpaths);
        if (b >= cache.BandOf(tile.top) && b <= cache.BandOf(tile.bottom - 1)) {
            fillMost = std::max(fillMost, band.fillMost);
            outlineMost = std::max(outlineMost, band.outlineMost);
        }
    }
    const long tilePoints = 6 * points + 4L * subpaths + 16;
    if (tilePoints >= (stroke.wide ? kWidePathPointLimit : kPathPointLimit)) return false;
    if (stroke.wide && (subpaths >= kPieceLimit || 3 * (tilePoints + subpaths) > kSidePointLimit)) return false;
    if (fill && fillMost >= kRowPassageLimit) return false;
    if (stroke.wide && outlineMost >= kRowPassageLimit) return false;
    return true;
}

// Hands a pass's recorded stretches within the tile to the sweep, row by row. pass picks the
// band's rows of the pass (null where the band has none).
template <class Pass>
void PaintFromBands(SplitDrawingCache& cache, const RECT& tile, const Pass& pass, CoverageSweep& sweep,
                    std::vector<CoverageStretch>& clipped)
{
    for (int y = tile.top; y < tile.bottom;) {
        const int index = cache.BandOf(y);
        const CoverageBand& band = cache.Band(index);
        const int end = std::min<int>(tile.bottom, band.bottom);
        const CoverageRows* rows = pass(band);
        if (!rows || !rows->recorded()) {
            y = end;
            continue;
        }
        for (; y < end; ++y) {
            const CoverageStretch* first = rows->stretches.data() + rows->rowStart[y - band.top];
            const CoverageStretch* last = rows->stretches.data() + rows->rowStart[y - band.top + 1];
            if (first == last) continue;
            // Stretches lie in x order without overlap.
            first = std::partition_point(first, last, [&](const CoverageStretch& s) { return s.x1 <= tile.left; });
            clipped.clear();
            for (; first < last && first->x0 < tile.right; ++first)
                clipped.push_back({std::max<int>(first->x0, tile.left), std::min<int>(first->x1, tile.right), first->exact});
            if (!clipped.empty()) sweep.Row(y, clipped.data(), static_cast<int>(clipped.size()));
        }
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
    const bool smallShape = TakesSmallShapePath(bounds, options);

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

    // A tile of a split drawing whose painting waits for the drawing's bands (see TileDriver) only
    // finds out whether its own storage would hold the outline: the bands' walks and edges answer
    // that for most tiles; the others walk and count for themselves below.
    if (options.splitCache && TileFitsByBands(ws, *options.splitCache, tile, segments, snum, options, stroke, fill)) {
        options.splitCache->AddLeaf(tile);
        *cliprect = tile;
        return 0;
    }

    const bool thin = stroke.present && !stroke.wide;
    WalkRequest walkRequest = MakeWalkRequest(segments, snum, tile, stroke, options, dash, smallShape, ws);
    // A small shape is sampled whole, its cubics flattened wherever they lie, so that every tile
    // sees the same points.
    if (smallFill) walkRequest.clip = {-1e300, -1e300, 1e300, 1e300};
    // No part of the path comes within the margin: no outline reaches the tile, and the fill
    // covers all of it or none of it. (Dashed outlines take the walk, which keeps the caller's
    // step cache up to date.)
    if (!dash) {
        const PathReach reach = ReachOfPath(segments, snum, walkRequest.clip);
        const bool inside = fill && (options.nonZeroFill ? reach.winding != 0 : (reach.winding & 1) != 0);
        if (!reach.reachesBox && !(inside && smallShape)) {
            if (options.splitCache) {
                // The drawing's bands paint it later.
                *cliprect = tile;
                return 0;
            }
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
            if (!SubpathReaches(walk, sub, h, tile)) continue;
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
    SplitDrawingCache* const cache = options.splitCache;
    // Too many passages through one row are often plain from the path's long edges alone, before
    // any is rasterised: each edge of the fill, and each side of an outline (two per edge, away from
    // the joins), that crosses a whole row well inside the tile is a passage of its own.
    if ((fill && !smallFill) || stroke.wide) {
        const int joinRows = static_cast<int>(5.2 * h) + 2;
        // Edges of a sub-path that cross whole rows (the closing edge included), counted up to enough.
        auto longEdges = [&](const WalkSubpath& sub, double span, int enough) {
            const WalkPoint* p = &walk.points()[sub.first];
            int count = 0;
            for (int k = 0; k < sub.count && count < enough; ++k) {
                const double dy = p[k].y - p[k + 1 < sub.count ? k + 1 : 0].y;
                count += dy >= span || -dy >= span;
            }
            return count;
        };
        auto addEdges = [&](const WalkSubpath& sub, bool closedRing, int weight, double keepX, int keepRows) {
            const WalkPoint* p = &walk.points()[sub.first];
            for (int k = 1; k < sub.count; ++k) ws.passageFloor.Add(p[k - 1].x, p[k - 1].y, p[k].x, p[k].y, weight, keepX, keepRows);
            if (closedRing && sub.count > 2)
                ws.passageFloor.Add(p[sub.count - 1].x, p[sub.count - 1].y, p[0].x, p[0].y, weight, keepX, keepRows);
        };
        bool tooMany = false;
        if (fill && !smallFill) {
            // The fill's passages are counted over all its sub-paths at once.
            int count = 0;
            for (const WalkSubpath& sub : walk.subpaths()) count += longEdges(sub, 1.0, kRowPassageLimit);
            if (count >= kRowPassageLimit) {
                ws.passageFloor.Reset(tile);
                for (const WalkSubpath& sub : walk.subpaths()) addEdges(sub, true, 1, 0, 0);
                tooMany = ws.passageFloor.Most() >= kRowPassageLimit;
            }
        }
        for (std::size_t i = 0; i < pieces.size() && !tooMany; ++i) {
            const WalkSubpath& sub = walk.subpaths()[pieces[i]];
            if (2 * longEdges(sub, 1.0 + 2 * joinRows, kRowPassageLimit) < kRowPassageLimit) continue;
            ws.passageFloor.Reset(tile);
            addEdges(sub, options.closed != 0, 2, h, joinRows);
            tooMany = ws.passageFloor.Most() >= kRowPassageLimit;
        }
        if (tooMany) {
            *status = TileTooComplex;
            return 0;
        }
    }
    // A plain rectangle is swept straight from its corners when the tile paints itself.
    FixedRect rectangle;
    const bool rectangleFill = fill && !smallFill && !cache && FindRectangle(walk, rectangle) &&
                               RectangleSweepServes(rectangle, tile.left, tile.right);
    if (fill && !smallFill && !rectangleFill) {
        ws.fillCells.Reset(tile.left, tile.top, tile.right, tile.bottom);
        ws.fillCells.CountOnly(cache != nullptr);
        EdgeFeed feed(ws.fillCells);
        for (const WalkSubpath& sub : walk.subpaths()) feed.Polygon(&walk.points()[sub.first], sub.count);
        if (ws.fillCells.overflowed()) {
            *status = TileTooComplex;
            return 0;
        }
    }
    // A wide outline sub-path with too many passages through a row must be found before anything
    // is painted (the fill, or an earlier sub-path's outline), so that the split paints every
    // pixel once.
    if (stroke.wide && (fill || pieces.size() > 1 || cache)) {
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

    if (cache) {
        cache->AddLeaf(tile);
        *cliprect = tile;
        return 0;
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
        if (rectangleFill)
            SweepRectangle(rectangle, tile.left, tile.top, tile.right, tile.bottom, sweep);
        else
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

bool SplitPaintingCanWait(const ImagingBitmap* bdst, const unsigned char* maskCursor, const SegmentDesc* segments,
                          int snum, const FillInfo& request, const RenderOptions& options, const RECT& area)
{
    if (maskCursor || !bdst || !bdst->Allocated || !bdst->Addr) return false;
    const StrokeClass stroke = ClassifyStroke(request);
    if (stroke.present && !stroke.wide) return false;
    const bool fill = options.closed && request.FillType != FillNone;
    if (!fill && !stroke.wide) return false;
    tagRectF bounds;
    if (!segments || snum <= 0 || !FiniteBounds(segments, snum, bounds)) return false;
    if (TakesSmallShapePath(bounds, options) || area.bottom <= area.top) return false;
    // The height the path's records climb and fall (a curve no more than its control polygon),
    // twice over for an outline's two sides, over the area's rows: the edges crossing a row on
    // average. Where that nears the row limit, most tiles count their passages anyway.
    double climb = 0;
    for (int i = 0; i < snum; ++i) {
        const SegmentDesc& r = segments[i];
        if (r.kind == SegmentLine) climb += std::fabs(r.pt2.y - r.pt1.y);
        if (r.kind == SegmentCubic && i + 1 < snum)
            climb += std::fabs(r.pt2.y - r.pt1.y) + std::fabs(r.pt3.y - r.pt2.y) + std::fabs(segments[i + 1].pt1.y - r.pt3.y);
    }
    if (stroke.wide) climb *= 2;
    return std::isfinite(climb) && climb < 32.0 * (area.bottom - area.top);
}

bool PaintSplitDrawing(ImagingBitmap* bdst, SplitDrawingCache& cache, const SegmentDesc* segments, int snum,
                       const FillInfo& request, const RenderOptions& options, bool wholeArea)
{
    CriticalSectionHolder lock(RenderingLock());
    TileWorkspace& ws = TileWorkspace::Get();
    const StrokeClass stroke = ClassifyStroke(request);
    const bool fill = options.closed && request.FillType != FillNone;
    RenderOptions bandOptions = options;
    bandOptions.splitCache = nullptr;

    // Every band the painting needs, built and usable, all with the same sub-paths.
    const RECT& area = cache.area();
    int subpaths = -1;
    auto ready = [&](const RECT& rows) {
        if (!EnsureBands(ws, cache, rows, segments, snum, bandOptions, stroke, fill)) return false;
        for (int b = cache.BandOf(rows.top), last = cache.BandOf(rows.bottom - 1); b <= last; ++b) {
            if (subpaths >= 0 && cache.Band(b).subpaths != subpaths) return false;
            subpaths = cache.Band(b).subpaths;
        }
        return true;
    };
    if (wholeArea) {
        if (area.top < area.bottom && !ready(area)) return false;
    } else {
        for (const RECT& leaf : cache.leaves())
            if (!ready(leaf)) return false;
    }
    if (subpaths < 0) return true;   // nothing to paint

    ImagingAccessScope access(bdst);
    if (!access.ok()) return false;
    // Pass by pass, as each tile paints them: the fill, then each sub-path's outline in turn.
    auto paintPass = [&](SpanPainter& painter, auto pass) {
        CoverageSweep sweep(255);
        sweep.PaintTo(&painter, nullptr);
        if (!wholeArea) {
            for (const RECT& leaf : cache.leaves()) PaintFromBands(cache, leaf, pass, sweep, ws.clipped);
            return;
        }
        for (int b = cache.BandOf(area.top), last = cache.BandOf(area.bottom - 1); b <= last; ++b) {
            const CoverageBand& band = cache.Band(b);
            const CoverageRows* rows = pass(band);
            if (!rows || !rows->recorded()) continue;
            for (int y = band.top; y < band.bottom; ++y) {
                const int first = rows->rowStart[y - band.top], end = rows->rowStart[y - band.top + 1];
                if (first < end) sweep.Row(y, rows->stretches.data() + first, end - first);
            }
        }
    };
    if (fill) {
        const ImagingBitmap* pattern = request.FillType == FillPattern ? request.PatternBitmap : nullptr;
        SpanPainter painter(bdst, request.FillColor, pattern, request.PatternOriginX, request.PatternOriginY);
        paintPass(painter, [](const CoverageBand& band) { return &band.fill; });
    }
    if (stroke.wide) {
        SpanPainter painter(bdst, request.OutlineColor, nullptr, 0, 0);
        for (int i = 0; i < subpaths; ++i) {
            paintPass(painter, [i](const CoverageBand& band) {
                return i < static_cast<int>(band.outlines.size()) ? &band.outlines[i] : nullptr;
            });
        }
    }
    return true;
}
