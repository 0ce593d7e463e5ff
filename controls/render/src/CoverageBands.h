#pragma once
// The coverage of a split drawing, rasterised once in bands of rows across the whole drawing. A
// tile of a drawing gets exactly the coverage the whole drawing has there (every edge's cells come
// from its own end points), and the tiles do not overlap; so when no coverage record is kept, the
// tiles only find out whether their own fixed storage would hold the outline (the driver splits
// them otherwise), and the pixels of all of them are painted at the end from the bands, a whole
// row at a time. What each band's walk and edges took bounds what a tile within it would take, so
// most tiles need no walk of their own.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "CellRasterizer.h"

// One pass (the fill, or the outline of one sub-path) of one band: its stretches row by row.
struct CoverageRows {
    std::vector<int> rowStart;                 // rows + 1 entries once recorded
    std::vector<CoverageStretch> stretches;

    bool recorded() const { return !rowStart.empty(); }
};

// Takes a sweep's stretches into a CoverageRows (the sweep hands them in row order).
class CoverageRecorder {
public:
    CoverageRecorder(CoverageRows& rows, int top, int rowCount);
    ~CoverageRecorder() { MoveTo(top_ + rowCount_); }

    void operator()(int y, int x0, int x1, std::uint32_t exact)
    {
        if (y != row_) MoveTo(y);
        rows_.stretches.push_back({x0, x1, exact});
    }

private:
    void MoveTo(int y);

    CoverageRows& rows_;
    int top_, rowCount_;
    int row_;   // destination row being recorded
};

inline void EmitStretches(CoverageRecorder& recorder, int y, const CoverageStretch* stretches, int count)
{
    for (int i = 0; i < count; ++i) recorder(y, stretches[i].x0, stretches[i].x1, stretches[i].exact);
}

// Counts, for the passes of a band, the edges that cross each of its rows: every passage through a
// row begins with a different edge's part in it.
class EdgeTally {
public:
    void Reset(int top, int rows);
    // An edge as the rasteriser takes it (24.8 fixed point).
    void Add(std::int32_t y1, std::int32_t y2)
    {
        if (y1 == y2) return;
        const std::int32_t ylo = y1 < y2 ? y1 : y2, yhi = y1 < y2 ? y2 : y1;
        int first = (ylo >> kSubpixelShift) - top_, last = ((yhi - 1) >> kSubpixelShift) - top_;
        if (first < 0) first = 0;
        if (last >= rows_) last = rows_ - 1;
        if (first > last) return;
        ++starts_[first];
        --starts_[last + 1];
    }
    // The most edges crossing one row.
    int MostPerRow() const;

private:
    int top_ = 0, rows_ = 0;
    std::vector<int> starts_;   // rows + 1: +1 where an edge's rows begin, -1 after they end
};

// One band of rows across the drawing.
struct CoverageBand {
    bool built = false;
    bool usable = false;            // every pass fitted the band rasteriser
    int top = 0, bottom = 0;        // destination rows
    CoverageRows fill;
    std::vector<CoverageRows> outlines;   // by sub-path of the walk; not recorded: nothing there
    int subpaths = 0;               // sub-paths of the band's walk
    long walkPoints = 0;            // points of the band's walk
    int fillMost = 0, outlineMost = 0;   // most edges of the fill, of all outlines, in one row
    std::size_t bytes = 0;
};

class SplitDrawingCache {
public:
    // area: the drawing's rectangle as the driver splits it, within the bitmap. pathInside: the
    // path's points all lie within it.
    SplitDrawingCache(const RECT& area, bool pathInside);

    const RECT& area() const { return area_; }
    bool pathInside() const { return pathInside_; }
    bool Covers(const RECT& tile) const;

    int BandOf(int y) const { return (y - area_.top) / kBandRows; }
    CoverageBand& Band(int index) { return bands_[index]; }
    RECT BandRect(int index) const;

    // The tiles found to fit, in the order they were drawn.
    void AddLeaf(const RECT& tile) { leaves_.push_back(tile); }
    const std::vector<RECT>& leaves() const { return leaves_; }

    // Whether more bands may still be kept.
    bool HasRoom() const { return bytes_ < kMaxBytes; }
    void Account(const CoverageBand& band) { bytes_ += band.bytes; }

    static constexpr int kBandRows = 512;

private:
    static constexpr std::size_t kMaxBytes = 48u << 20;

    RECT area_;
    bool pathInside_;
    std::vector<CoverageBand> bands_;
    std::size_t bytes_ = 0;
    std::vector<RECT> leaves_;
};

struct ImagingBitmap;
struct FillInfo;
struct RenderOptions;
struct SegmentDesc;

// Whether the tiles of a split drawing over area can leave their painting to its bands: no
// coverage record is kept, every pass comes from the scan converter (no thin outline, no small
// shape), and its rows are not so crowded with edges that most tiles would count them anyway.
bool SplitPaintingCanWait(const ImagingBitmap* bdst, const unsigned char* maskCursor, const SegmentDesc* segments,
                          int snum, const FillInfo& request, const RenderOptions& options, const RECT& area);

// Paints the cache's leaves from its bands: the whole area (every tile fitted) or only the leaves
// (the split was given up). False when the bands cannot serve; nothing is painted then.
bool PaintSplitDrawing(ImagingBitmap* bdst, SplitDrawingCache& cache, const SegmentDesc* segments, int snum,
                       const FillInfo& request, const RenderOptions& options, bool wholeArea);
