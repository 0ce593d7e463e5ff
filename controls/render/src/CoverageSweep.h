#pragma once
// Turns the rasteriser's cells into pixel coverage row by row and hands it on: painted through a
// SpanPainter and recorded as coverage entries (runs for fully covered stretches), or collected into
// a raster of coverage bytes. Coverage may be capped (thin strokes never reach full strength).
// Partly covered pixels are blended with their exact coverage and recorded with its byte.
#include <algorithm>
#include <cstdint>

#include "DirtyRect.h"

#include "CellRasterizer.h"
#include "CoverageNodeWriter.h"
#include "SpanPainter.h"

class CoverageSweep {
public:
    explicit CoverageSweep(unsigned cap) : cap_(cap) {}

    // A writer that records nothing is left out, so pixels go straight to the painter.
    void PaintTo(SpanPainter* painter, CoverageNodeWriter* writer)
    {
        painter_ = painter;
        writer_ = writer && writer->recording() ? writer : nullptr;
    }
    // Coverage goes into raster[(y - rasterTop) * rasterWidth + x - rasterLeft] instead of painting.
    void CollectTo(std::uint8_t* raster, int rasterLeft, int rasterTop, int rasterWidth)
    {
        raster_ = raster; rasterLeft_ = rasterLeft; rasterTop_ = rasterTop; rasterWidth_ = rasterWidth;
    }

    // Receives the rasteriser's coverage stretches, exact coverage in 1/kFullAlpha units.
    void operator()(int y, int x0, int x1, std::uint32_t exact)
    {
        const unsigned v = static_cast<unsigned>(CoverageByte(exact));
        if (v > cap_) {
            // Capped pixels are blended with the cap itself.
            Emit(y, x0, x1, cap_, 0);
            return;
        }
        Emit(y, x0, x1, v, exact);
    }

    // A row's stretches, left to right, none of coverage byte 0. Painting alone (the common case)
    // takes them in one loop; otherwise each goes as above.
    void Row(int y, const CoverageStretch* s, int count)
    {
        if (raster_ || writer_ || !painter_ || cap_ == 0) {
            for (int i = 0; i < count; ++i) (*this)(y, s[i].x0, s[i].x1, s[i].exact);
            return;
        }
        dirty_.Add(y, s[0].x0, s[count - 1].x1);
        unsigned char* const flatRow = painter_->FlatRow(y);
        if (flatRow) {
            // The row's ends a few rows down, where they are heading: outlines move steadily
            // across the rows, far on a curve's flat parts.
            const int left = s[0].x0, right = s[count - 1].x1;
            int aheadLeft = left, aheadRight = right;
            if (y == lastRow_ + 1) {
                aheadLeft += kPrefetchRows * (left - lastLeft_);
                aheadRight += kPrefetchRows * (right - lastRight_);
            }
            lastRow_ = y;
            lastLeft_ = left;
            lastRight_ = right;
            painter_->PrefetchAhead(flatRow, std::min(left, aheadLeft), std::max(right, aheadRight));
        }
        for (int i = 0; i < count; ++i) {
            const std::uint32_t exact = s[i].exact;
            const unsigned v = static_cast<unsigned>(CoverageByte(exact));
            if (v > cap_)
                painter_->Span(y, s[i].x0, s[i].x1, cap_);
            else if (exact >= static_cast<std::uint32_t>(kFullAlpha))
                painter_->Span(y, s[i].x0, s[i].x1, 255);
            else if (flatRow && s[i].x1 == s[i].x0 + 1)
                painter_->ExactPixel(flatRow, s[i].x0, exact);
            else
                painter_->ExactSpan(y, s[i].x0, s[i].x1, exact);
        }
    }

    const DirtyRect& dirty() const { return dirty_; }

private:
    // exact is 0 where the pixels are blended with the coverage byte.
    inline __attribute__((always_inline)) void Emit(int y, int x0, int x1, unsigned coverage, std::uint32_t exact)
    {
        if (coverage == 0 || x0 >= x1) return;
        dirty_.Add(y, x0, x1);
        if (raster_) {
            std::uint8_t* p = raster_ + static_cast<long>(y - rasterTop_) * rasterWidth_ + (x0 - rasterLeft_);
            for (int x = x0; x < x1; ++x) *p++ = static_cast<std::uint8_t>(coverage);
            return;
        }
        if (painter_) {
            // Fully covered stretches are runs of the full colour.
            if (exact == 0 || exact >= static_cast<std::uint32_t>(kFullAlpha))
                painter_->Span(y, x0, x1, exact ? 255 : coverage);
            else
                painter_->ExactSpan(y, x0, x1, exact);
        }
        if (writer_) Record(y, x0, x1, coverage);
    }

    // The stretch as coverage entries (full ones gathered into runs).
    __attribute__((noinline)) void Record(int y, int x0, int x1, unsigned coverage)
    {
        if (coverage >= 255) {
            // Neighbouring full stretches are recorded as one run.
            if (runLength_ > 0 && runY_ == y && runX_ + runLength_ == x0) {
                runLength_ += x1 - x0;
            } else {
                FlushRun();
                runX_ = x0;
                runY_ = y;
                runLength_ = x1 - x0;
            }
        } else {
            FlushRun();
            for (int x = x0; x < x1; ++x) writer_->Entry(x, y, static_cast<std::uint16_t>(coverage));
        }
    }

public:
    // Records a pending run; call before finishing the node.
    void FlushRun()
    {
        if (runLength_ > 0 && writer_) writer_->Run(runX_, runY_, runLength_);
        runLength_ = 0;
    }

private:
    int runX_ = 0, runY_ = 0, runLength_ = 0;
    // The last row painted and its ends.
    int lastRow_ = -0x7FFFFFFF, lastLeft_ = 0, lastRight_ = 0;

    unsigned cap_;
    SpanPainter* painter_ = nullptr;
    CoverageNodeWriter* writer_ = nullptr;
    std::uint8_t* raster_ = nullptr;
    int rasterLeft_ = 0, rasterTop_ = 0, rasterWidth_ = 0;
    DirtyRect dirty_;
};

// The sweep hands a painting pass whole rows.
inline void EmitStretches(CoverageSweep& sweep, int y, const CoverageStretch* stretches, int count)
{
    sweep.Row(y, stretches, count);
}
