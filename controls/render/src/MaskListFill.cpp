#include "render/MaskListFill.h"

#include <algorithm>
#include <cstring>

#include "ChannelMath.h"
#include "ImagingRaster.h"
#include "render/FillInfo.h"
#include "render/MaskList.h"

const char* MaskFillErrorText(MaskFillError error) {
    switch (error) {
    case MaskFillError::None: return "no error";
    case MaskFillError::BadList: return "coverage list is malformed";
    case MaskFillError::BadDestination: return "destination is not a usable 24-bit bitmap";
    case MaskFillError::BadPattern: return "pattern fill has no usable 8, 24 or 32-bit pattern bitmap";
    case MaskFillError::BadRequest: return "drawing request is missing";
    }
    return "unknown fill error";
}

namespace {

// Paints one node kind's pixels; positions are destination pixels already inside the bitmap.
class NodePainter {
public:
    NodePainter(const RasterBits& dest, const MaskPaint& paint, bool outline)
        : dest_(dest), paint_(paint), usePattern_(!outline && paint.patternFill) {
        const blend::PixelBytes c = blend::ColorBytes(outline ? paint.outlineColor : paint.fillColor);
        color_[0] = c.b0; color_[1] = c.b1; color_[2] = c.b2;
    }

    void Pixel(int x, int y, unsigned coverage) const {
        uint8_t* d = At(x, y);
        if (!usePattern_) return blend::BlendPixel(d, color_, coverage);
        const uint8_t* p = PatternAt(x, y);
        if (!p) return;
        switch (paint_.pattern.bitsPerPixel) {
        case 24: return blend::BlendPixel(d, p, coverage);
        case 8: return blend::BlendPixel(d, color_, blend::ScaleCoverage(*p, coverage));
        default: return blend::BlendPixel(d, p, blend::ScaleCoverage(p[3], coverage));
        }
    }

    void Run(int x, int y, int length) const {
        uint8_t* d = At(x, y);
        if (!usePattern_) {
            for (int i = 0; i < length; ++i, d += 3) std::memcpy(d, color_, 3);
            return;
        }
        for (int i = 0; i < length; ++i, d += 3) {
            const uint8_t* p = PatternAt(x + i, y);
            if (!p) continue;
            switch (paint_.pattern.bitsPerPixel) {
            case 24: std::memcpy(d, p, 3); break;
            case 8: blend::BlendPixel(d, color_, *p); break;
            default: blend::BlendPixel(d, p, p[3]); break;
            }
        }
    }

private:
    uint8_t* At(int x, int y) const { return dest_.Row(y) + x * 3; }

    // The pattern is read only inside its own bits; positions beyond it are left unpainted, as the
    // rasteriser leaves them, so that a repaint matches the drawing it was recorded from.
    const uint8_t* PatternAt(int x, int y) const {
        const RasterBits& p = paint_.pattern;
        const int64_t px = int64_t(x) - paint_.patternOriginX, py = int64_t(y) - paint_.patternOriginY + 1;
        if (px < 0 || py < 0 || px >= p.width || py >= p.height) return nullptr;
        return p.Row(int(py)) + px * p.BytesPerPixel();
    }

    const RasterBits& dest_;
    const MaskPaint& paint_;
    bool usePattern_;
    uint8_t color_[3];
};

}  // namespace

MaskFillError FillMaskRunsBits(const RasterBits& dest, const void* list, size_t size, const RECT& clip,
                               int offsetX, int offsetY, const MaskPaint& paint) {
    if (!dest.IsUsable() || dest.bitsPerPixel != 24) return MaskFillError::BadDestination;
    if (paint.patternFill) {
        const int depth = paint.pattern.bitsPerPixel;
        if (!paint.pattern.IsUsable() || (depth != 8 && depth != 24 && depth != 32)) return MaskFillError::BadPattern;
    }
    const MaskListReader reader(static_cast<const uint8_t*>(list), size);
    if (reader.Validate() != MaskListError::None) return MaskFillError::BadList;

    // The caller's clip, narrowed to what lands inside the destination, in list coordinates.
    const int64_t left = std::max<int64_t>(clip.left, -int64_t(offsetX));
    const int64_t top = std::max<int64_t>(clip.top, -int64_t(offsetY));
    const int64_t right = std::min<int64_t>(clip.right, int64_t(dest.width) - offsetX);
    const int64_t bottom = std::min<int64_t>(clip.bottom, int64_t(dest.height) - offsetY);
    if (left >= right || top >= bottom) return MaskFillError::None;

    reader.ForEachNode([&](const CoverageMaskNode& head, const uint8_t* body) {
        const NodePainter painter(dest, paint, head.kind == CoverageOutline);
        if (head.kind == CoverageRaster) {
            const int64_t width = int64_t(head.right) - head.left;
            const int64_t r0 = std::max<int64_t>(head.top, top), r1 = std::min<int64_t>(head.bottom, bottom);
            const int64_t c0 = std::max<int64_t>(head.left, left), c1 = std::min<int64_t>(head.right, right);
            for (int64_t r = r0; r < r1; ++r) {
                const uint8_t* cells = body + (r - head.top) * width;
                for (int64_t c = c0; c < c1; ++c)
                    if (const uint8_t cover = cells[c - head.left])
                        painter.Pixel(int(c + offsetX), int(r + offsetY), cover);
            }
            return true;
        }
        const CoverageMaskEntry* entries = reinterpret_cast<const CoverageMaskEntry*>(body);
        for (int32_t i = 0; i < head.count; ++i) {
            CoverageMaskEntry e;
            std::memcpy(&e, entries + i, sizeof e);
            if (e.y < top || e.y >= bottom) continue;
            if (IsRun(e)) {
                const int64_t from = std::max<int64_t>(e.x, left), to = std::min<int64_t>(int64_t(e.x) + RunLength(e), right);
                if (from < to) painter.Run(int(from + offsetX), int(e.y + offsetY), int(to - from));
            } else if (e.x >= left && e.x < right) {
                painter.Pixel(int(e.x + offsetX), int(e.y + offsetY), std::min<unsigned>(e.value, 255));
            }
        }
        return true;
    });
    return MaskFillError::None;
}

MaskFillError FillMaskRuns(ImagingBitmap* dest, const void* list, size_t size, int clipLeft, int clipTop,
                           int clipRight, int clipBottom, int offsetX, int offsetY, const FillInfo* fillInfo) {
    if (!fillInfo) return MaskFillError::BadRequest;
    MaskPaint paint;
    paint.patternFill = fillInfo->FillType == FillPattern;
    paint.fillColor = fillInfo->FillColor;
    paint.outlineColor = fillInfo->OutlineColor;
    paint.patternOriginX = fillInfo->PatternOriginX;
    paint.patternOriginY = fillInfo->PatternOriginY;
    ImagingAccessScope destAccess(dest);
    if (!destAccess.ok()) return MaskFillError::BadDestination;
    ImagingAccessScope patternAccess(paint.patternFill ? fillInfo->PatternBitmap : nullptr);
    if (paint.patternFill) {
        if (!patternAccess.ok()) return MaskFillError::BadPattern;
        paint.pattern = RasterOf(fillInfo->PatternBitmap);
    }
    return FillMaskRunsBits(RasterOf(dest), list, size, RECT{clipLeft, clipTop, clipRight, clipBottom}, offsetX,
                            offsetY, paint);
}

MaskFillError FillMaskRuns(ImagingBitmap* dest, const void* heapList, int clipLeft, int clipTop, int clipRight,
                           int clipBottom, int offsetX, int offsetY, const FillInfo* fillInfo) {
    return FillMaskRuns(dest, heapList, HeapMaskListSize(heapList), clipLeft, clipTop, clipRight, clipBottom, offsetX,
                        offsetY, fillInfo);
}
