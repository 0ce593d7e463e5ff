#include "SmallShapeFill.h"

#include <algorithm>
#include <cstring>

#include "CoverageNodeWriter.h"
#include "CoverageTables.h"
#include "EngineTables.h"
#include "PixelBlend.h"
#include "SpanPainter.h"
#include "geometry/NumericHelpers.h"
#include "imaging/ImagingBitmap.h"
#include "render/CoverageMaskList.h"
#include "render/FillInfo.h"

namespace {

// Far beyond any bitmap, and small enough that sample arithmetic never overflows.
constexpr double kSampleLimit = 1 << 29;

// v * scale - 0.5 rounded to the nearest sample (halves to even); below 0 it is 0.
int ToSample(double v, double scale)
{
    const double s = v * scale - 0.5;
    if (!(s > 0)) return 0;
    return __round(std::min(s, kSampleLimit));
}

int Direction(int dy) { return dy > 0 ? 1 : (dy < 0 ? -1 : 0); }

} // namespace

void SmallShapeFiller::Sample(const WalkPoint* points, const WalkSubpath* chains, int chainCount)
{
    samples_.clear();
    chainEnds_.clear();
    int minX = 0, minY = 0, maxX = -1, maxY = -1;
    for (int c = 0; c < chainCount; ++c) {
        const WalkPoint* p = points + chains[c].first;
        for (int k = 0; k < chains[c].count; ++k) {
            const SamplePoint s{ToSample(p[k].x, 32), ToSample(p[k].y, 4)};
            if (!samples_.empty() && static_cast<int>(samples_.size()) > (chainEnds_.empty() ? 0 : chainEnds_.back()) &&
                samples_.back().x == s.x && samples_.back().y == s.y)
                continue;   // a piece of no length toggles nothing
            if (maxX < minX) { minX = maxX = s.x; minY = maxY = s.y; }
            minX = std::min(minX, s.x); maxX = std::max(maxX, s.x);
            minY = std::min(minY, s.y); maxY = std::max(maxY, s.y);
            samples_.push_back(s);
        }
        chainEnds_.push_back(static_cast<int>(samples_.size()));
    }
    if (maxX < minX) {
        left_ = top_ = right_ = bottom_ = 0;
        coverage_.clear();
        return;
    }
    left_ = minX >> 5;
    right_ = (maxX >> 5) + 1;
    top_ = minY >> 2;
    bottom_ = (maxY >> 2) + 1;
    words_ = right_ - left_;
    rowOrigin_ = top_ * 4;
    const int rows = (bottom_ - top_) * 4;
    bits_.assign(static_cast<size_t>(rows) * words_, 0);

    const CoverageTables& tables = EngineTables::Get().coverage;
    int begin = 0;
    for (int end : chainEnds_) {
        WalkChain(&samples_[begin], end - begin, tables);
        begin = end;
    }
    Count(tables);
}

void SmallShapeFiller::WalkChain(const SamplePoint* p, int count, const CoverageTables& tables)
{
    if (count < 2) return;
    // The chain is closed, so the direction that leads into its first vertex is that of its last
    // slanted piece; a chain without one (all on one row) toggles nothing.
    int previous = 0;
    for (int k = count - 1; k >= 0 && previous == 0; --k) previous = Direction(p[(k + 1) % count].y - p[k].y);
    if (previous == 0) return;
    for (int k = 0; k < count; ++k) {
        const SamplePoint& from = p[k];
        const SamplePoint& to = p[(k + 1) % count];
        const int direction = Direction(to.y - from.y);
        if (direction == 0) continue;   // horizontal: the decision moves on to the far end
        Piece(from, to, direction == previous, tables);
        previous = direction;
    }
}

// Toggles the rows strictly between the piece's ends at its crossings, and its start row at its
// start when the outline arrived there going the same way.
void SmallShapeFiller::Piece(const SamplePoint& from, const SamplePoint& to, bool takeStartRow,
                             const CoverageTables& tables)
{
    if (takeStartRow) Toggle(from.x, from.y);
    // Walk downwards from the upper end; the rounding of the crossings is symmetric, so the
    // reversed piece crosses every row at the same samples.
    const SamplePoint& a = from.y < to.y ? from : to;
    const SamplePoint& b = from.y < to.y ? to : from;
    const int dx = b.x - a.x, dy = b.y - a.y;
    if (dy < 2) return;
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
    sums_.assign(static_cast<size_t>(width) * height, 0);
    const std::uint32_t* row = bits_.data();
    for (int y = 0; y < height; ++y) {
        std::uint16_t* sum = &sums_[static_cast<size_t>(y) * width];
        for (int sub = 0; sub < 4; ++sub, row += width) {
            unsigned inside = 0;   // the state carried along the row
            for (int x = 0; x < width; ++x) {
                const std::uint32_t w = row[x];
                if (w == 0) {
                    sum[x] += inside ? 64 : 0;
                    continue;
                }
                unsigned total = 0;
                for (int b = 0; b < 4; ++b) {
                    const unsigned byte = (w >> (8 * b)) & 0xFF;
                    total += tables.count[inside][byte];
                    inside ^= tables.parity[byte];
                }
                sum[x] += total;
            }
        }
    }
    coverage_.resize(sums_.size());
    for (size_t i = 0; i < sums_.size(); ++i) coverage_[i] = static_cast<std::uint8_t>(std::min<unsigned>(sums_[i], 255));
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
        for (int y = top; y < bottom; ++y, coverage += stride) {
            std::uint8_t* p = destination->Addr + static_cast<size_t>(y) * destination->BytesPerLine + left * 3;
            for (int x = 0; x < right - left; ++x, p += 3) {
                const unsigned c = coverage[x];
                if (c == 0) continue;
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
