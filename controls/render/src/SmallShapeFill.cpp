#include "SmallShapeFill.h"

#include <algorithm>
#include <cstring>

#include <xmmintrin.h>

#include "CoverageNodeWriter.h"
#include "CoverageTables.h"
#include "EngineTables.h"
#include "PixelBlend.h"
#include "SpanPainter.h"
#include "imaging/ImagingBitmap.h"
#include "render/CoverageMaskList.h"
#include "render/FillInfo.h"

namespace {

// Far beyond any bitmap, and small enough that sample arithmetic never overflows.
constexpr double kSampleLimit = 1 << 29;

// v * scale - 0.5 rounded to the nearest sample, halves to even (the 1.5 * 2^52 addition leaves
// the rounded value, two's complement, in the low word).
inline int ToSample(double v, double scale)
{
    double s = v * scale - 0.5;
    if (!(s > -kSampleLimit)) s = -kSampleLimit;   // NaN never reaches here; the walk drops it
    if (s > kSampleLimit) s = kSampleLimit;
    const double shifted = s + 6755399441055744.0;
    std::uint64_t bits;
    std::memcpy(&bits, &shifted, sizeof bits);
    return static_cast<int>(static_cast<std::uint32_t>(bits));
}

inline int Direction(int dy) { return dy > 0 ? 1 : (dy < 0 ? -1 : 0); }

} // namespace

SmallShapeFiller::SmallShapeFiller()
    : bits_(kMaxWords * kMaxRows, 0), rowLow_(kMaxRows, kMaxWords), rowHigh_(kMaxRows, -1), sums_(kMaxWords, 0)
{
}

bool SmallShapeFiller::Sample(const WalkPoint* points, const WalkSubpath* chains, int chainCount)
{
    // Rounding to samples keeps order, so the box in samples is the rounded box of the points.
    double minX = 0, minY = 0, maxX = -1, maxY = -1;
    for (int c = 0; c < chainCount; ++c) {
        const WalkPoint* p = points + chains[c].first;
        for (int k = 0; k < chains[c].count; ++k) {
            if (maxX < minX) { minX = maxX = p[k].x; minY = maxY = p[k].y; }
            minX = std::min(minX, p[k].x); maxX = std::max(maxX, p[k].x);
            minY = std::min(minY, p[k].y); maxY = std::max(maxY, p[k].y);
        }
    }
    left_ = top_ = right_ = bottom_ = 0;
    coverage_.clear();
    if (maxX < minX) return true;
    // Shifts of negative sample numbers round down (arithmetic shifts), as pixel numbers must.
    const int left = ToSample(minX, 32) >> 5, right = (ToSample(maxX, 32) >> 5) + 1;
    const int top = ToSample(minY, 4) >> 2, bottom = (ToSample(maxY, 4) >> 2) + 1;
    if (right - left > kMaxWords || (bottom - top) * 4 > kMaxRows) return false;
    left_ = left;
    right_ = right;
    top_ = top;
    bottom_ = bottom;
    words_ = right_ - left_;
    rowOrigin_ = top_ * 4;

    const CoverageTables& tables = EngineTables::Get().coverage;
    for (int c = 0; c < chainCount; ++c) WalkChain(points + chains[c].first, chains[c].count, tables);
    Count(tables);
    return true;
}

void SmallShapeFiller::WalkChain(const WalkPoint* p, int count, const CoverageTables& tables)
{
    if (count < 2) return;
    auto at = [p](int k) { return SamplePoint{ToSample(p[k].x, 32), ToSample(p[k].y, 4)}; };
    const SamplePoint first = at(0);
    // The chain is closed, so the direction that leads into its first vertex is that of its last
    // slanted side; a chain without one (all on one row) toggles nothing.
    int previous = 0;
    SamplePoint to = first;
    for (int k = count - 1; k >= 0 && previous == 0; --k) {
        const SamplePoint from = at(k);
        previous = Direction(to.y - from.y);
        to = from;
    }
    if (previous == 0) return;
    SamplePoint from = first;
    for (int k = 1; k <= count; ++k) {
        to = k < count ? at(k) : first;
        const int dy = to.y - from.y;
        if (dy != 0) {   // horizontal sides (and sides of no length) pass the decision on
            const int direction = dy > 0 ? 1 : -1;
            // The start row is taken once where the outline goes on the same way, never where it
            // turns back.
            if (direction == previous) Toggle(from.x, from.y);
            if (dy > 1 || dy < -1) CrossRows(from, to, tables);
            previous = direction;
        }
        from = to;
    }
}

// Toggles the rows strictly between the side's ends at its crossings. The walk goes down from
// the upper end; the crossings round halves upwards in x, so the reversed side crosses every row
// at the same samples.
void SmallShapeFiller::CrossRows(const SamplePoint& from, const SamplePoint& to, const CoverageTables& tables)
{
    const SamplePoint& a = from.y < to.y ? from : to;
    const SamplePoint& b = from.y < to.y ? to : from;
    const int dx = b.x - a.x, dy = b.y - a.y;
    if (dx >= -CoverageTables::kStepReach && dx <= CoverageTables::kStepReach && dy <= CoverageTables::kStepRows) {
        const std::int8_t* step = tables.StepOffsets(dx, dy);
        for (int t = 1; t < dy; ++t) Toggle(a.x + step[t - 1], a.y + t);
    } else {
        for (int t = 1; t < dy; ++t) Toggle(a.x + EdgeStepOffset(dx, t, dy), a.y + t);
    }
}

void SmallShapeFiller::Count(const CoverageTables& tables)
{
    const int width = words_, height = bottom_ - top_;
    coverage_.resize(static_cast<size_t>(width) * height);
    std::uint16_t* sum = sums_.data();
    for (int y = 0; y < height; ++y) {
        std::fill_n(sum, width, std::uint16_t(0));
        for (int r = 4 * y; r < 4 * y + 4; ++r) {
            const int low = rowLow_[r], high = rowHigh_[r];
            if (high < low) continue;   // nothing crosses: the whole row is outside
            std::uint32_t* row = &bits_[r * kMaxWords];
            unsigned inside = 0;   // the state carried along the row; outside before its first word
            for (int x = low; x <= high; ++x) {
                const std::uint32_t w = row[x];
                if (w == 0) {
                    sum[x] += inside << 6;   // 32 samples wholly inside or outside
                    continue;
                }
                row[x] = 0;
                const unsigned b0 = w & 0xFF, b1 = (w >> 8) & 0xFF, b2 = (w >> 16) & 0xFF, b3 = w >> 24;
                unsigned total = tables.count[inside][b0];
                inside ^= tables.parity[b0];
                total += tables.count[inside][b1];
                inside ^= tables.parity[b1];
                total += tables.count[inside][b2];
                inside ^= tables.parity[b2];
                total += tables.count[inside][b3];
                inside ^= tables.parity[b3];
                sum[x] += total;
            }
            rowLow_[r] = kMaxWords;
            rowHigh_[r] = -1;
        }
        std::uint8_t* out = &coverage_[static_cast<size_t>(y) * width];
        for (int x = 0; x < width; ++x) out[x] = static_cast<std::uint8_t>(sum[x] > 255 ? 255 : sum[x]);
    }
}

void SmallShapeFiller::PaintAndRecord(ImagingBitmap* destination, const FillInfo& request, int clipLeft, int clipTop,
                                      int clipRight, int clipBottom, CoverageNodeWriter& writer)
{
    const int l = std::max(left_, clipLeft), t = std::max(top_, clipTop);
    const int r = std::min(right_, clipRight), b = std::min(bottom_, clipBottom);
    if (l >= r || t >= b) return;
    const int stride = right_ - left_;
    BlendCoverageMask(destination, request, Row(t) + (l - left_), stride, l, t, r, b);
    if (!writer.recording()) return;
    const int w = r - l;
    packed_.resize(static_cast<size_t>(w) * (b - t));
    for (int y = t; y < b; ++y) std::memcpy(&packed_[static_cast<size_t>(y - t) * w], Row(y) + (l - left_), w);
    writer.BeginNode(CoverageRaster);
    writer.Raster(packed_.data(), static_cast<int>(packed_.size()));
    writer.EndNode(l, t, r, b, true);
}

void BlendCoverageMask(ImagingBitmap* destination, const FillInfo& request, const std::uint8_t* coverage, int stride,
                       int left, int top, int right, int bottom)
{
    const bool pattern = request.FillType == FillPattern && request.PatternBitmap;
    if (!pattern && destination->BitsPerPixel == 24) {
        const std::uint8_t blue = static_cast<std::uint8_t>(request.FillColor >> 16);
        const std::uint8_t green = static_cast<std::uint8_t>(request.FillColor >> 8);
        const std::uint8_t red = static_cast<std::uint8_t>(request.FillColor);
        // The rows of a small shape lie far apart in a large bitmap: ask for all of them at once,
        // so their cache misses overlap instead of following one another.
        for (int y = top; y < bottom; ++y) {
            const char* first = reinterpret_cast<const char*>(destination->Addr) +
                                static_cast<size_t>(y) * destination->BytesPerLine + left * 3;
            _mm_prefetch(first, _MM_HINT_T0);
            _mm_prefetch(first + (right - left) * 3 - 1, _MM_HINT_T0);
        }
        for (int y = top; y < bottom; ++y, coverage += stride) {
            std::uint8_t* p = destination->Addr + static_cast<size_t>(y) * destination->BytesPerLine + left * 3;
            for (int x = 0; x < right - left; ++x, p += 3) {
                const unsigned c = coverage[x];
                if (c == 0) continue;
                if (c == 255) {
                    p[0] = blue; p[1] = green; p[2] = red;
                    continue;
                }
                p[0] = BlendChannel(blue, p[0], c);
                p[1] = BlendChannel(green, p[1], c);
                p[2] = BlendChannel(red, p[2], c);
            }
        }
        return;
    }
    SpanPainter painter(destination, request.FillColor, pattern ? request.PatternBitmap : nullptr,
                        request.PatternOriginX, request.PatternOriginY);
    if (!painter.ok()) return;
    for (int y = top; y < bottom; ++y, coverage += stride)
        for (int x = left; x < right;) {
            const unsigned c = coverage[x - left];
            int end = x + 1;
            while (end < right && coverage[end - left] == c) ++end;
            painter.Span(y, x, end, c);
            x = end;
        }
}
