#pragma once
// Turns the rasteriser's cells into pixel coverage row by row and hands it on: painted through a
// SpanPainter and recorded as coverage entries (runs for fully covered stretches), or collected into
// a raster of coverage bytes. Coverage may be capped (thin strokes never reach full strength).
#include <algorithm>
#include <cstdint>

#include "CellRasterizer.h"
#include "CoverageNodeWriter.h"
#include "SpanPainter.h"

class CoverageSweep {
public:
    CoverageSweep(const CellRasterizer& cells, bool nonZero, unsigned cap)
        : left_(cells.left()), top_(cells.top()), right_(cells.right()), nonZero_(nonZero), cap_(cap) {}

    void PaintTo(SpanPainter* painter, CoverageNodeWriter* writer) { painter_ = painter; writer_ = writer; }
    // Coverage goes into raster[(y - rasterTop) * rasterWidth + x - rasterLeft] instead of painting.
    void CollectTo(std::uint8_t* raster, int rasterLeft, int rasterTop, int rasterWidth)
    {
        raster_ = raster; rasterLeft_ = rasterLeft; rasterTop_ = rasterTop; rasterWidth_ = rasterWidth;
    }

    void Row(int row, const PixelCell* cells, int count)
    {
        const int y = top_ + row;
        std::int32_t cover = 0;
        int next = left_;
        for (int i = 0; i < count; ++i) {
            const PixelCell& c = cells[i];
            if (c.x < left_) { cover += c.cover; continue; }
            if (c.x >= right_) break;
            if (cover != 0 && c.x > next) Emit(y, next, c.x, Coverage(static_cast<std::int64_t>(cover) * 512));
            Emit(y, c.x, c.x + 1, Coverage(static_cast<std::int64_t>(cover + c.cover) * 512 - c.area));
            cover += c.cover;
            next = c.x + 1;
        }
        if (cover != 0 && next < right_) Emit(y, next, right_, Coverage(static_cast<std::int64_t>(cover) * 512));
    }

    bool painted() const { return dirtyLeft_ < dirtyRight_; }
    int dirtyLeft() const { return dirtyLeft_; }
    int dirtyTop() const { return dirtyTop_; }
    int dirtyRight() const { return dirtyRight_; }
    int dirtyBottom() const { return dirtyBottom_; }

private:
    unsigned Coverage(std::int64_t alpha) const
    {
        const unsigned v = static_cast<unsigned>(CoverageFromAlpha(alpha, nonZero_));
        return v > cap_ ? cap_ : v;
    }

    void Emit(int y, int x0, int x1, unsigned coverage)
    {
        if (coverage == 0 || x0 >= x1) return;
        dirtyLeft_ = std::min(dirtyLeft_, x0);
        dirtyRight_ = std::max(dirtyRight_, x1);
        dirtyTop_ = std::min(dirtyTop_, y);
        dirtyBottom_ = std::max(dirtyBottom_, y + 1);
        if (raster_) {
            std::uint8_t* p = raster_ + static_cast<long>(y - rasterTop_) * rasterWidth_ + (x0 - rasterLeft_);
            for (int x = x0; x < x1; ++x) *p++ = static_cast<std::uint8_t>(coverage);
            return;
        }
        if (painter_) painter_->Span(y, x0, x1, coverage);
        if (writer_) {
            if (coverage >= 255) writer_->Run(x0, y, x1 - x0);
            else for (int x = x0; x < x1; ++x) writer_->Entry(x, y, static_cast<std::uint16_t>(coverage));
        }
    }

    int left_, top_, right_;
    bool nonZero_;
    unsigned cap_;
    SpanPainter* painter_ = nullptr;
    CoverageNodeWriter* writer_ = nullptr;
    std::uint8_t* raster_ = nullptr;
    int rasterLeft_ = 0, rasterTop_ = 0, rasterWidth_ = 0;
    int dirtyLeft_ = 0x7FFFFFFF, dirtyTop_ = 0x7FFFFFFF, dirtyRight_ = -0x7FFFFFFF, dirtyBottom_ = -0x7FFFFFFF;
};
