#include "ThinStroke.h"

#include <cmath>

#include <emmintrin.h>

#include "imaging/ImagingBitmap.h"

namespace {

// Nearest integer, halves to even: the conversion rounds by the SSE rounding mode, which the
// engine keeps at nearest.
inline int RoundChannel(double v) { return _mm_cvtsd_si32(_mm_set_sd(v)); }

} // namespace

ThinPixelBlender::ThinPixelBlender(ImagingBitmap* destination, std::uint32_t colour)
    : blue_(static_cast<double>((colour >> 16) & 0xFF)),
      green_(static_cast<double>((colour >> 8) & 0xFF)),
      red_(static_cast<double>(colour & 0xFF)),
      blueByte_((colour >> 16) & 0xFF),
      greenByte_((colour >> 8) & 0xFF),
      redByte_(colour & 0xFF)
{
    if (!destination || !destination->Addr) return;
    bits_ = destination->Addr;
    bytesPerLine_ = destination->BytesPerLine;
    pixelBytes_ = destination->BitsPerPixel / 8;
}

void ThinPixelBlender::Blend(int x, int y, double a)
{
    if (a > 1) a = 1;
    if (x < dirtyLeft_) dirtyLeft_ = x;
    if (x >= dirtyRight_) dirtyRight_ = x + 1;
    if (y < dirtyTop_) dirtyTop_ = y;
    if (y >= dirtyBottom_) dirtyBottom_ = y + 1;
    unsigned char* p = bits_ + static_cast<size_t>(y) * bytesPerLine_ + static_cast<size_t>(x) * pixelBytes_;
    const double keep = 1 - a;
    p[0] = static_cast<unsigned char>(RoundChannel(p[0] * keep + blue_ * a));
    p[1] = static_cast<unsigned char>(RoundChannel(p[1] * keep + green_ * a));
    p[2] = static_cast<unsigned char>(RoundChannel(p[2] * keep + red_ * a));
    if (pixelBytes_ == 4) p[3] = static_cast<unsigned char>(RoundChannel(p[3] * keep + 255 * a));
}

void ThinPixelBlender::BlendSpan(int y, int x0, int x1, unsigned coverage)
{
    if (coverage > 255) coverage = 255;
    if (x0 < dirtyLeft_) dirtyLeft_ = x0;
    if (x1 > dirtyRight_) dirtyRight_ = x1;
    if (y < dirtyTop_) dirtyTop_ = y;
    if (y >= dirtyBottom_) dirtyBottom_ = y + 1;
    // d (1 - c/255) + C c/255 rounded: the numerator is an integer and never lies half way between
    // two multiples of 255, so the nearest integer is (n + 127) / 255 exactly.
    const unsigned keep = 255 - coverage;
    const unsigned b = blueByte_ * coverage + 127, g = greenByte_ * coverage + 127, r = redByte_ * coverage + 127;
    const unsigned a = 255 * coverage + 127;
    unsigned char* p = bits_ + static_cast<size_t>(y) * bytesPerLine_ + static_cast<size_t>(x0) * pixelBytes_;
    for (int x = x0; x < x1; ++x, p += pixelBytes_) {
        p[0] = static_cast<unsigned char>((p[0] * keep + b) / 255);
        p[1] = static_cast<unsigned char>((p[1] * keep + g) / 255);
        p[2] = static_cast<unsigned char>((p[2] * keep + r) / 255);
        if (pixelBytes_ == 4) p[3] = static_cast<unsigned char>((p[3] * keep + a) / 255);
    }
}

ThinCoverageSink::ThinCoverageSink(ThinPixelBlender& blender, CoverageNodeWriter* writer, double halfWidth)
    : blender_(blender), writer_(writer)
{
    const double cap = halfWidth * 637.5;
    cap_ = cap >= 255 ? 255 : RoundChannel(cap);
    if (cap_ < 1) cap_ = 1;
    cappedAlpha_ = cap >= 255 ? 1.0 : 2 * halfWidth;
}

PointPlotter::PointPlotter(ImagingBitmap* destination, std::uint32_t colour, const RECT& clip,
                           CoverageNodeWriter* writer)
    : blender_(destination, colour), clip_(clip), writer_(writer)
{
    if (!destination || !destination->Addr) clip_ = RECT{0, 0, 0, 0};
}

inline void PointPlotter::Blend(int x, int y, double a)
{
    if (!(a > 0) || x < clip_.left || x >= clip_.right || y < clip_.top || y >= clip_.bottom) return;
    if (a > 1) a = 1;
    blender_.Blend(x, y, a);
    if (writer_) writer_->Entry(x, y, static_cast<std::uint16_t>(RoundChannel(255 * a)));
}

void PointPlotter::Splat(double x, double y, double weight)
{
    const double fx0 = std::floor(x), fy0 = std::floor(y);
    // Points far outside the clip (or unusable) touch nothing.
    if (!(fx0 >= clip_.left - 1 && fx0 < clip_.right && fy0 >= clip_.top - 1 && fy0 < clip_.bottom)) return;
    const int px = static_cast<int>(fx0), py = static_cast<int>(fy0);
    const double fx = x - fx0, fy = y - fy0;
    Blend(px, py, (1 - fx) * (1 - fy) * weight);
    Blend(px + 1, py, fx * (1 - fy) * weight);
    Blend(px, py + 1, (1 - fx) * fy * weight);
    Blend(px + 1, py + 1, fx * fy * weight);
}

void PointPlotter::PlotWalk(const PathWalk& walk)
{
    for (const WalkPoint& p : walk.points()) {
        if (p.gap) continue;
        Splat(p.x - 0.5, p.y - 0.5, p.coverage == 255 ? 1.0 : p.coverage * (1 / 255.0));
    }
}
