#pragma once
// Outlines close to one pixel wide are not outlined and filled: every point of the walk is spread
// over the four pixels around it with bilinear weights, blended as d * (1 - a) + C * a rounded to
// the nearest integer, and recorded pixel by pixel.
#include <windows.h>

#include <cstdint>

#include "DirtyRect.h"
#include <vector>

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

    const DirtyRect& dirty() const { return dirty_; }

private:
    unsigned char* bits_ = nullptr;
    int bytesPerLine_ = 0;
    int pixelBytes_ = 3;
    double blue_, green_, red_;
    unsigned blueByte_, greenByte_, redByte_;
    DirtyRect dirty_;
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

// Narrow outlines (up to 0.95 pixel) are painted without building polygons for the scan converter:
// both sides are offset by t, half the width, and walked pixel by pixel as one loop that keeps the
// stroke on its right (a run's left side forward, its right side back, flat ends between them).
// Every passage of the loop through a pixel gives the exact area of the pixel on its right; a
// pixel's passages are summed, and a total above 1 loses 1, which for the two sides of a straight
// stretch leaves exactly the area between them; a side that comes back to a pixel it passed (round
// a corner) makes a total up to 1.5 exactly 1 instead.
class ThinLineWalker {
public:
    // Paints one stretch of points (closed: joined round, else flat ends) into the pixels of tile.
    void Paint(const WalkPoint* points, int count, bool closed, double t, const RECT& tile, ThinCoverageSink& sink);

private:
    struct Pt {
        double x, y;
    };
    struct Cell {
        int x, y;
        double total;
        unsigned sides;   // which sides have passed it (1 left, 2 right)
    };

    void BuildSides(bool closed, double t);
    void Corner(int vertex, int in, int out, double t, std::vector<Pt>& left, std::vector<Pt>& right);
    // sides[i]: the side edge i of the loop belongs to (0 for the flat ends).
    void WalkLoop(const std::vector<Pt>& loop, const std::vector<unsigned char>& sides);
    void WalkEdge(double ax, double ay, double bx, double by);
    void StartAt(double x, double y);
    void AddLocal(double x, double y);
    void Exit(double lx, double ly, double s);
    void Contribute(int x, int y, double area, unsigned side);
    void Flush(ThinCoverageSink& sink);

    std::vector<Pt> pts_;
    std::vector<Pt> dirs_;
    std::vector<double> lengths_;
    std::vector<Pt> left_, right_, loop_;
    std::vector<unsigned char> loopSides_;
    unsigned edgeSide_ = 0, entrySide_ = 0;
    std::vector<Cell> cells_;
    std::vector<int> table_;   // open addressing over cells_, -1 empty
    RECT tile_{};
    double boxLeft_ = 0, boxTop_ = 0, boxRight_ = 0, boxBottom_ = 0;

    // Walk state: the pixel the loop is in, the passage's entry and its area terms so far.
    int px_ = 0, py_ = 0;
    double lastX_ = 0, lastY_ = 0;   // last point, local to the pixel
    double entryX_ = 0, entryY_ = 0, entryS_ = 0;
    double sum_ = 0;
    enum class Passage { Entered, Head, Lost };   // came in through the border, holds the loop's start, or
    Passage passage_ = Passage::Lost;             // began where the loop came back into the clip
    bool headOpen_ = false;          // the loop's first passage is still waiting for the loop's end
    int headX_ = 0, headY_ = 0;
    double headSum_ = 0, headExitS_ = 0, headExitX_ = 0, headExitY_ = 0;
    bool headExited_ = false;
};
