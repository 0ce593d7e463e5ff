#pragma once
// Outlines close to one pixel wide are not outlined and filled: every point of the walk is spread
// over the four pixels around it with bilinear weights, blended as d * (1 - a) + C * a rounded to
// the nearest integer, and recorded pixel by pixel.
#include <windows.h>

#include <cstdint>

#include "CoverageNodeWriter.h"
#include "PathWalk.h"

struct ImagingBitmap;

// Blends the outline colour into single pixels, d * (1 - a) + C * a rounded to the nearest integer,
// and keeps the rectangle of the pixels it touched.
class ThinPixelBlender {
public:
    ThinPixelBlender(ImagingBitmap* destination, std::uint32_t colour);

    void Blend(int x, int y, double a);
    // Pixels [x0, x1) of row y at the alpha coverage / 255.
    void BlendSpan(int y, int x0, int x1, unsigned coverage);

    bool painted() const { return dirtyLeft_ < dirtyRight_; }
    int dirtyLeft() const { return dirtyLeft_; }
    int dirtyTop() const { return dirtyTop_; }
    int dirtyRight() const { return dirtyRight_; }
    int dirtyBottom() const { return dirtyBottom_; }

private:
    unsigned char* bits_ = nullptr;
    int bytesPerLine_ = 0;
    int pixelBytes_ = 3;
    double blue_, green_, red_;
    unsigned blueByte_, greenByte_, redByte_;
    int dirtyLeft_ = 0x7FFFFFFF, dirtyTop_ = 0x7FFFFFFF, dirtyRight_ = -0x7FFFFFFF, dirtyBottom_ = -0x7FFFFFFF;
};

// Receives the exact pixel areas of a thin outline from the cell sweep. Narrow strokes are capped:
// no byte above t * 637.5 (t the half width), and a capped pixel is blended at the stroke width,
// so strokes narrower than 0.8 pixel never reach full strength and crossings do not pile up.
class ThinCoverageSink {
public:
    ThinCoverageSink(ThinPixelBlender& blender, CoverageNodeWriter* writer, double halfWidth);

    void operator()(int y, int x0, int x1, int coverage)
    {
        if (coverage <= 0 || x0 >= x1) return;
        const bool capped = coverage > cap_;
        if (capped) {
            for (int x = x0; x < x1; ++x) blender_.Blend(x, y, cappedAlpha_);
        } else {
            blender_.BlendSpan(y, x0, x1, static_cast<unsigned>(coverage));
        }
        if (writer_) {
            const std::uint16_t byte = static_cast<std::uint16_t>(capped ? cap_ : coverage);
            for (int x = x0; x < x1; ++x) writer_->Entry(x, y, byte);
        }
    }

private:
    ThinPixelBlender& blender_;
    CoverageNodeWriter* writer_;
    int cap_;
    double cappedAlpha_;
};

class PointPlotter {
public:
    // colour is 0x00BBGGRR; pixels outside clip are never touched.
    PointPlotter(ImagingBitmap* destination, std::uint32_t colour, const RECT& clip, CoverageNodeWriter* writer);

    // The point's weight falls on the pixels around (x, y) (pixel centres at whole coordinates).
    void Splat(double x, double y, double weight);

    // Plots the walk's drawn points at (x - 0.5, y - 0.5), each at its own strength.
    void PlotWalk(const PathWalk& walk);

    const ThinPixelBlender& blender() const { return blender_; }

private:
    void Blend(int x, int y, double a);

    ThinPixelBlender blender_;
    RECT clip_;
    CoverageNodeWriter* writer_;
};
