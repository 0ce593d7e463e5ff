#pragma once
// Scan conversion of polygons into pixel coverage. Edges are given in 24.8 fixed point in
// destination pixels; each edge adds, to every pixel cell it passes, the height it covers and the
// area beside it, so a sweep along a row yields each pixel's signed area, which is its exact
// coverage wherever the winding inside the pixel takes only values the fill rule maps straight to
// area. Elsewhere (overlapping or coincident outlines, a winding of two) the pixel is measured on
// 16 sample lines, exactly along each line. Every edge's contribution is computed from its own end
// points only (row and column crossings by exact floor division), so a tile of a drawing gets
// exactly the cells and the coverage the whole drawing has there.
#include <cstdint>
#include <vector>

struct PixelCell {
    std::int32_t x;           // destination column (columns left of the tile are folded into left - 1)
    std::int32_t row;         // row counted from the tile's top
    std::int32_t cover;       // height covered, 1/256 pixel units, signed by direction
    std::int32_t area;        // twice the area left of the edge, weighted like cover
};

// The part of one edge inside one pixel row (row-local heights 0..256, 24.8 x).
struct RowPiece {
    std::int32_t row;
    std::int32_t xa, ya, xb, yb;
};

// Consecutive pieces of one outline passage through a row, joined.
struct RowPassage {
    std::int32_t row;
    std::int32_t xStart, yStart, xEnd, yEnd;
    std::int32_t minX, maxX;
    std::int32_t pieces;
    std::int32_t turnsBack;   // starts where the previous passage ended, running the other way
    std::int32_t firstPiece;  // its pieces follow one another from here in the pieces as they came
};

// One passage, or two that meet at a turn of the outline inside the row (a V), in x order, with
// what the windings need of each arm kept at hand, packed small (a row's units are ordered and
// read over and over while it is prepared and swept).
struct PassageUnit {
    std::int32_t minX, maxX;
    std::int32_t passage;   // the arm met first on every line (the other is its neighbour)
    std::uint32_t bits;

    static constexpr std::uint32_t kPair = 1u << 20, kSecondBefore = 1u << 21, kWhole = 1u << 22;
    static constexpr std::uint32_t kDown = 1u << 23;   // and kDown << 1 for the second arm
    static constexpr std::uint32_t kBand = 1u << 25;   // and kBand << 1 for the second arm
    static constexpr std::uint32_t kTopLeft = 1u << 27;

    bool pair() const { return (bits & kPair) != 0; }
    // One passage, crossing the whole row.
    bool whole() const { return (bits & kWhole) != 0; }
    // Of each arm: +1 downward, -1 upward.
    int dir(int arm) const { return (bits & (kDown << arm)) ? 1 : -1; }
    // Of each arm: one straight edge across the whole row.
    bool band(int arm) const { return (bits & (kBand << arm)) != 0; }
    // Of each arm: the sample lines [lineFrom, lineTo) it holds.
    int lineFrom(int arm) const { return (bits >> (10 * arm)) & 31; }
    int lineTo(int arm) const { return (bits >> (10 * arm + 5)) & 31; }
    // Of one passage: it meets the row's top left of (or where) it meets the bottom.
    bool topLeft() const { return (bits & kTopLeft) != 0; }
    int second() const { return pair() ? passage + ((bits & kSecondBefore) ? -1 : 1) : passage; }
};

// Where an edge crosses one of the 16 sample lines of a row, and which way it runs.
struct SampleCrossing {
    std::int32_t x;
    std::int32_t dir;
};

constexpr int kSampleLines = 16;

// A stretch of pixels [x0, x1) of one row at one exact coverage, as handed on a row at a time.
struct CoverageStretch {
    std::int32_t x0, x1;
    std::uint32_t exact;
};

// Hands a row's stretches to an emitter one by one; emitters that take a whole row at once
// overload this.
template <class Emit>
inline void EmitStretches(Emit& emit, int y, const CoverageStretch* stretches, int count)
{
    for (int i = 0; i < count; ++i) emit(y, stretches[i].x0, stretches[i].x1, stretches[i].exact);
}

// Where a passage crossed a pixel column's border (x, 24.8) at row-local height y.
struct BandMemo {
    std::int32_t x = -0x7FFFFFFF - 1;
    std::int64_t y = 0;
};

// Neighbouring passages of a row whose pixel columns touch, with what the sample lines' windings
// can do among them.
struct WindingCluster {
    std::int32_t colLo, colHi;    // pixel columns the passages reach
    std::int32_t unitBegin, unitEnd;
    bool holds;                   // every pixel's signed area is its coverage under the fill rule
};

// Passages of the outline through one row a tile can take (each is two entries of a row list of 255).
constexpr int kRowPassageLimit = 128;

constexpr int kSubpixelShift = 8;
constexpr int kSubpixelScale = 1 << kSubpixelShift;
// Full pixel coverage in the sweep's alpha units (cover * 2 * 256).
constexpr std::int32_t kFullAlpha = kSubpixelScale * kSubpixelScale * 2;

class CellRasterizer {
public:
    // Without limitPassages no row is too complex however many passages run through it (for
    // rasterising more than one tile's worth at once).
    explicit CellRasterizer(std::size_t maxCells, bool limitPassages = true);

    // Starts a polygon set for the tile [left, right) x [top, bottom) in destination pixels.
    void Reset(int left, int top, int right, int bottom);

    // One edge in 24.8 fixed point. Coordinates must lie within +-2^29.
    void AddEdge(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2)
    {
        // Most edges lie wholly inside the tile and take the short way.
        if (!countOnly_ && !overflowed_ && y1 != y2 && x1 >= insideLeft_ && x2 >= insideLeft_ && x1 < insideRight_ &&
            x2 < insideRight_ && y1 >= insideTop_ && y2 >= insideTop_ && y1 <= insideBottom_ && y2 <= insideBottom_) {
            AddEdgeInside(x1, y1, x2, y2);
            return;
        }
        AddEdgeAcross(x1, y1, x2, y2);
    }

    // True when the cells did not fit the fixed store, or 128 passages of the outline run through
    // one row (the tile is too complex).
    bool overflowed() const { return overflowed_; }

    // Only counts what the edges would need (until the next Reset): the rows' passages are
    // followed and limited as in a real pass, but no cells are made and nothing can be swept.
    void CountOnly(bool on) { countOnly_ = on; }

    // Sweeps every row top to bottom and calls emit(y, x0, x1, coverage) for each stretch of
    // pixels [x0, x1) of destination row y at one exact coverage (1/kFullAlpha units) whose
    // coverage byte is not 0.
    template <class Emit>
    void Sweep(bool nonZero, Emit& emit);

    int left() const { return left_; }
    int top() const { return top_; }
    int right() const { return right_; }
    int bottom() const { return bottom_; }

private:
    void SetCell(int x, int row);
    void FlushCell();
    void GrowRowParts();
    void KeepRowPart(int row, std::int32_t x1, std::int32_t fy1, std::int32_t x2, std::int32_t fy2);
    bool GrowCells();
    void AddEdgeInside(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
    void AddEdgeAcross(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
    void AddInsideRowPart(int row, std::int32_t x1, std::int32_t fy1, std::int32_t x2, std::int32_t fy2);
    void OpenPassage(int row, std::int32_t x1, std::int32_t fy1, std::int32_t x2, std::int32_t fy2, bool turnsBack,
                     bool takesListEntry);
    void ContinuePassage(int row, std::int32_t x1, std::int32_t fy1, std::int32_t x2, std::int32_t fy2,
                         bool takesListEntry);
    void AddRowPiece(int row, std::int32_t x1, std::int32_t fy1, std::int32_t x2, std::int32_t fy2);
    void WalkRowPiece(int row, std::int32_t x1, std::int32_t fy1, std::int32_t x2, std::int32_t fy2);
    void BreakPassage();
    void MarkWholeRowsLeft(int first, int last, int dir);
    void SumFoldMarks();
    void SortRows();
    void GroupPassagesByRow();
    bool WindingsStaySimple(int row, bool nonZero);
    static constexpr int kApartPassages = 8;
    bool ApartPassagesHold(int row, bool nonZero) const;
    // The commonest row of a filled shape, told without a call: two passages that cross it from
    // top to bottom in opposite directions, apart. Its windings stay simple.
    bool CrossedByTwoBands(int row) const
    {
        const int begin = passageStart_[row];
        if (passageStart_[row + 1] - begin != 2) return false;
        const RowPassage& a = sortedPassages_[begin];
        const RowPassage& b = sortedPassages_[begin + 1];
        if (a.yStart + a.yEnd != kSubpixelScale || b.yStart + b.yEnd != kSubpixelScale) return false;
        if ((a.yStart | b.yStart) & ~kSubpixelScale) return false;   // each runs 0 -> 256 or 256 -> 0
        return a.yStart != b.yStart && (a.maxX <= b.minX || b.maxX <= a.minX);
    }
    void MakeUnits(int row);
    const RowPassage& First(const PassageUnit& u) const { return sortedPassages_[u.passage]; }
    const RowPassage& Second(const PassageUnit& u) const { return sortedPassages_[u.second()]; }
    bool PrepareClusters(int row, bool nonZero);
    void SortUnits(int begin, int end);
    void SweepSubCluster(int begin, int end, int* winding, bool& uniform, int& lo, int& hi);
    void ReachingEdges(int cluster, int col, int* winding);
    void LineWindingsAt(int cluster, int col, int* winding);
    std::uint32_t MeasurePixel(int cluster, int col, std::int64_t alpha, bool nonZero);
    void BeginBands(int row);
    void AddBandEvents(const RowPassage& p, int sign);
    void OrderClusterBands(int cluster, std::int32_t x0);
    bool BandsLevelAt(int cluster, int col);
    bool BandCoverage(int cluster, int col, std::int64_t alpha, bool nonZero, std::uint32_t& coverage);
    std::uint32_t BandArea(const RowPassage* const* order, BandMemo* memo, int count, int w, int col, bool nonZero) const;
    static bool AreaHolds(int lo, int hi, bool nonZero)
    {
        if (nonZero) return (lo >= 0 && hi <= 1) || (lo >= -1 && hi <= 0) || lo >= 1 || hi <= -1;
        return hi - lo <= 1;
    }
    bool Inside(int winding, bool nonZero) const { return nonZero ? winding != 0 : (winding & 1) != 0; }

    std::size_t maxCells_;
    std::vector<PixelCell> cells_;            // storage: the first cellCount_ are the cells made
    std::size_t cellCount_ = 0;
    std::vector<PixelCell> sorted_;
    std::vector<PixelCell> byColumn_;
    std::vector<int> columnStart_;
    std::vector<int> rowStart_;
    std::vector<int> rowEnd_;
    std::vector<RowPiece> pieces_;           // storage: the first partCount_ are the row parts kept
    std::size_t partCount_ = 0;
    std::vector<RowPassage> passages_;        // storage: the first passageCount_ are the passages
    std::size_t passageCount_ = 0;
    std::vector<RowPassage> sortedPassages_;   // by row, in the order they came
    std::vector<int> passageStart_;
    std::vector<PassageUnit> units_;           // of the row being prepared: the first unitCount_ (storage)
    int unitCount_ = 0;
    std::vector<PassageUnit> unitsByColumn_;   // scratch of the units' column sort
    std::vector<int> unitColumnStart_;
    std::vector<std::int32_t> foldCover_;     // per tile row: cover of whole-row pieces left of the tile
    std::vector<std::int32_t> foldWinding_;   // per tile row: their directions, summed
    int foldLo_ = 0x7FFFFFFF, foldHi_ = -1;   // rows with a fold
    // Runs of whole rows left of the tile, as differences: +dir at a run's first row, -dir after
    // its last; summed into the folds above when the tile is swept.
    std::vector<std::int32_t> foldMarkCover_;
    std::vector<std::int32_t> foldMarkWinding_;
    bool foldMarked_ = false;
    std::vector<WindingCluster> clusters_;   // of one row, left to right: the first clusterCount_ (storage)
    int clusterCount_ = 0;
    std::vector<int> clusterWindings_;       // each line's winding left of each cluster, then the row's last (storage)
    std::vector<const RowPiece*> pixelEdges_;    // of the pixel being measured
    // An edge of the pixel as its sample lines meet it.
    struct LineEdge {
        int s0, s1, dir;
        std::int32_t xa, ya;
        double slope;
    };
    std::vector<LineEdge> pixelLineEdges_;       // of the pixel being measured (storage)
    std::vector<SampleCrossing> pixelCrossings_;  // of one of its lines (storage)
    // Passages left of the pixel looked at, for the band shortcut: where their windings change
    // inside the row (by row-local height; heights 1 ... 255 must all come to 0 for the windings
    // to be the same at every height) and the winding they leave just below the row's top.
    int bandEvents_[kSubpixelScale + 1] = {};
    std::vector<int> bandTouched_;
    int bandUnbalanced_ = 0;
    int bandWinding_ = 0;
    int bandClusters_ = 0;   // clusters whose passages are in the events
    int bandCluster_ = -1;   // the cluster whose passages are in bandOrder_
    bool bandOrdered_ = false;                 // all of them cross the row as bands, left to right
    std::vector<const RowPassage*> bandOrder_;   // the first bandCount_ (storage)
    int bandCount_ = 0;
    std::vector<int> bandLeftWindings_;        // the winding left of each of them, then right of all
    std::vector<BandMemo> bandMemo_;           // the last column border each of them crossed
    int bandFrom_ = 0;                         // the first of them not wholly left of the pixel at bandFromX_
    int bandTo_ = 0;                           // the first of them wholly right of the last pixel asked for
    std::int32_t bandFromX_ = 0;
    bool passageOpen_ = false;     // the last piece's passage may take the next piece
    int rowLo_ = 0x7FFFFFFF, rowHi_ = -1, rowCount_ = 0;
    int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
    // The tile's sides in 24.8, for the test of AddEdge.
    std::int32_t insideLeft_ = 0, insideTop_ = 0, insideRight_ = 0, insideBottom_ = 0;
    int curX_ = 0, curRow_ = -1;
    std::int32_t curCover_ = 0, curArea_ = 0;
    bool overflowed_ = false;
    bool countOnly_ = false;
    bool limitPassages_ = true;
    std::vector<int> rowPassages_;            // per tile row: passages so far
};

// Exact coverage of a pixel from its swept alpha, by fill rule, in 1/kFullAlpha units (0 ... kFullAlpha).
inline std::uint32_t ExactCoverage(std::int64_t alpha, bool nonZero)
{
    std::uint64_t a = static_cast<std::uint64_t>(alpha < 0 ? -alpha : alpha);
    if (nonZero) {
        if (a >= static_cast<std::uint64_t>(kFullAlpha)) return kFullAlpha;
    } else {
        a &= 2 * kFullAlpha - 1;
        if (a > static_cast<std::uint64_t>(kFullAlpha)) a = 2 * kFullAlpha - a;
    }
    return static_cast<std::uint32_t>(a);
}

// The coverage byte recorded for an exact coverage: coverage x 255 to the nearest (it is never a half).
inline int CoverageByte(std::uint32_t exact)
{
    return static_cast<int>((exact * 255u + kFullAlpha / 2) >> 17);
}

// Exact coverage of the sample-line measure: an inside length over all 16 lines in 1/256 pixel,
// or a number of lines inside from end to end.
inline std::uint32_t MeasuredCoverage(std::int64_t insideLength)
{
    return static_cast<std::uint32_t>(insideLength) * (kFullAlpha / (kSampleLines * kSubpixelScale));
}
inline std::uint32_t LinesCoverage(int insideLines)
{
    return static_cast<std::uint32_t>(insideLines) * (kFullAlpha / kSampleLines);
}

// Pixels whose coverage byte would be 0 are left alone.
inline bool Visible(std::uint32_t exact) { return CoverageByte(exact) > 0; }

inline void CellRasterizer::FlushCell()
{
    if (curRow_ < 0 || (curCover_ | curArea_) == 0) return;
    if (cellCount_ < cells_.size() || GrowCells()) cells_[cellCount_++] = {curX_, curRow_, curCover_, curArea_};
    curCover_ = curArea_ = 0;
}

template <class Emit>
void CellRasterizer::Sweep(bool nonZero, Emit& emit)
{
    FlushCell();
    if (overflowed_) return;
    SumFoldMarks();
    SortRows();
    const int rows = rowCount_;
    if (rows <= 0) return;
    int winding[kSampleLines];
    // Kept at hand: emit may reach anything, so members would be fetched again for every row.
    const int* const rowBegins = rowStart_.data();
    const int* const rowEnds = rowEnd_.data();
    const std::int32_t* const folds = foldCover_.data() + rowLo_;
    const int firstY = top_ + rowLo_;
    for (int r = 0; r < rows; ++r) {
        const int begin = rowBegins[r], end = rowEnds[r];
        const int y = firstY + r;
        // What lies left of the tile across the whole row: the cover every pixel starts from,
        // the same on every sample line.
        const std::int32_t foldCover = folds[r];
        if (begin == end) {
            // No cell: one run across the tile, or nothing.
            if (foldCover != 0) {
                const std::uint32_t v = ExactCoverage(static_cast<std::int64_t>(foldCover) * 512, nonZero);
                if (Visible(v)) emit(y, left_, right_, v);
            }
            continue;
        }
        // Most rows hold only windings for which every pixel's signed area is its coverage: then
        // the area sweep alone gives what the pixel-by-pixel choice below would. Otherwise the
        // passages are grouped into clusters, and only the clusters that can see such windings
        // are measured on the sample lines.
        const bool simple = CrossedByTwoBands(r) || WindingsStaySimple(r, nonZero);
        // Either way the row's stretches are gathered, left to right, and handed on together.
        constexpr int kBatch = 64;
        CoverageStretch batch[kBatch];
        int count = 0;
        auto put = [&](int x0, int x1, std::uint32_t v) {
            if (!Visible(v)) return;
            if (count == kBatch) {
                EmitStretches(emit, y, batch, count);
                count = 0;
            }
            batch[count++] = {x0, x1, v};
        };
        if (simple) {
            std::int32_t cover = foldCover;
            int next = left_;
            for (int i = begin; i < end; ++i) {
                const PixelCell& c = sorted_[i];
                if (c.x < left_) { cover += c.cover; continue; }
                if (c.x >= right_) break;
                if (next < c.x && cover != 0) put(next, c.x, ExactCoverage(static_cast<std::int64_t>(cover) * 512, nonZero));
                put(c.x, c.x + 1, ExactCoverage(static_cast<std::int64_t>(cover + c.cover) * 512 - c.area, nonZero));
                cover += c.cover;
                next = c.x + 1;
            }
            if (next < right_ && cover != 0) put(next, right_, ExactCoverage(static_cast<std::int64_t>(cover) * 512, nonZero));
            if (count > 0) EmitStretches(emit, y, batch, count);
            continue;
        }

        BeginBands(r);
        // The clusters stay where they are while the row is swept.
        const WindingCluster* const clusters = clusters_.data();
        const int* const leftWindings = clusterWindings_.data();
        const int clusterCount = clusterCount_;
        int at = 0;        // first cluster not left of the columns looked at
        // The cluster holding pixel column col, or -1 between clusters.
        auto locate = [&](int col) {
            while (at < clusterCount && clusters[at].colHi < col) ++at;
            return at < clusterCount && clusters[at].colLo <= col ? at : -1;
        };
        auto linesCoverage = [&](const int* w, std::int32_t cover) {
            int lo = w[0], hi = w[0];
            for (int s = 1; s < kSampleLines; ++s) { lo = std::min(lo, w[s]); hi = std::max(hi, w[s]); }
            if (AreaHolds(lo, hi, nonZero)) return ExactCoverage(static_cast<std::int64_t>(cover) * 512, nonZero);
            int inside = 0;
            for (int s = 0; s < kSampleLines; ++s) inside += Inside(w[s], nonZero) ? 1 : 0;
            return LinesCoverage(inside);
        };
        // Coverage of pixels with no cell, from the windings at the left of column col.
        auto stretchCoverage = [&](int col, std::int32_t cover) {
            const int k = locate(col);
            if (k < 0) return linesCoverage(leftWindings + at * kSampleLines, cover);
            // One winding on every line there (as where the cluster holds) leaves the area exact.
            if (clusters[k].holds || BandsLevelAt(k, col))
                return ExactCoverage(static_cast<std::int64_t>(cover) * 512, nonZero);
            LineWindingsAt(k, col, winding);
            return linesCoverage(winding, cover);
        };

        const PixelCell* const cells = sorted_.data();
        const int tileLeft = left_, tileRight = right_;
        std::int32_t cover = foldCover;
        int next = tileLeft;
        for (int i = begin; i < end; ++i) {
            const PixelCell& c = cells[i];
            if (c.x < tileLeft) { cover += c.cover; continue; }
            if (c.x >= tileRight) break;
            if (next < c.x && cover != 0) put(next, c.x, stretchCoverage(c.x, cover));
            const int k = locate(c.x);
            const std::int64_t alpha = static_cast<std::int64_t>(cover + c.cover) * 512 - c.area;
            std::uint32_t v;
            if (k >= 0 && clusters[k].holds) {
                v = ExactCoverage(alpha, nonZero);
            } else if (k < 0) {
                // No crossing in the pixel: each line keeps its winding across it.
                const int* w = leftWindings + at * kSampleLines;
                int lo = w[0], hi = w[0], inside = 0;
                for (int s = 0; s < kSampleLines; ++s) {
                    lo = std::min(lo, w[s]);
                    hi = std::max(hi, w[s]);
                    inside += Inside(w[s], nonZero) ? 1 : 0;
                }
                v = AreaHolds(lo, hi, nonZero) ? ExactCoverage(alpha, nonZero) : LinesCoverage(inside);
            } else if (BandCoverage(k, c.x, alpha, nonZero, v)) {
                // Exact: the pixel's passages bound bands of one winding each.
            } else {
                v = MeasurePixel(k, c.x, alpha, nonZero);
            }
            put(c.x, c.x + 1, v);
            cover += c.cover;
            next = c.x + 1;
        }
        if (next < tileRight && cover != 0) put(next, tileRight, stretchCoverage(next, cover));
        if (count > 0) EmitStretches(emit, y, batch, count);
    }
}
