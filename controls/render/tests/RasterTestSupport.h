#pragma once
// Small fixtures for the rasteriser tests: guarded bitmaps, path builders and drawing helpers.
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/ImagingBitmap.h"
#include "render/DrawPolyBezier.h"

// A 24-bit bitmap whose rows and surroundings are fenced with a guard pattern, so a write outside
// the pixels shows.
class GuardedBitmap {
public:
    GuardedBitmap(int width, int height, std::uint8_t background = 0);
    ~GuardedBitmap();
    GuardedBitmap(const GuardedBitmap&) = delete;
    GuardedBitmap& operator=(const GuardedBitmap&) = delete;

    ImagingBitmap* get() { return &bitmap_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Channel 0 (blue) of pixel (x, y).
    int At(int x, int y) const;
    const std::uint8_t* Pixel(int x, int y) const;
    bool GuardsIntact() const;
    bool SamePixels(const GuardedBitmap& other) const;
    // "x,y: a vs b" of the first pixel that differs, or "" when none does.
    std::string FirstDifference(const GuardedBitmap& other) const;
    long long Sum() const;   // of channel 0 over all pixels

private:
    int width_, height_, bytesPerLine_;
    std::vector<std::uint8_t> memory_;
    std::vector<bool> isGuard_;
    ImagingBitmap bitmap_;
};

class PathBuilder {
public:
    PathBuilder& MoveTo(double x, double y);
    PathBuilder& LineTo(double x, double y);
    PathBuilder& CurveTo(double x1, double y1, double x2, double y2, double x3, double y3);
    PathBuilder& Close();   // ends the sub-path (back at its start when it is not there yet)
    PathBuilder& End();     // ends the sub-path where it is
    PathBuilder& Polygon(const std::vector<double>& xy);
    PathBuilder& Rect(double l, double t, double r, double b);
    PathBuilder& Ellipse(double cx, double cy, double rx, double ry);
    const std::vector<SegmentDesc>& segments();
    int count() { return static_cast<int>(segments().size()); }
    const SegmentDesc* data() { return segments().data(); }

private:
    std::vector<SegmentDesc> segs_;
    bool open_ = false;
    double startX_ = 0, startY_ = 0, curX_ = 0, curY_ = 0;
};

FillInfo SolidFill(std::uint32_t colour = 0xFFFFFF);
FillInfo Outline(double width, std::int32_t kind = OutlineSolid, std::uint32_t colour = 0xFFFFFF);

// Draws the whole path into the whole bitmap (highest quality unless told).
int DrawWhole(GuardedBitmap& target, PathBuilder& path, const FillInfo& request, RenderOptions options = {},
              std::vector<unsigned char>* list = nullptr);

// Draws the path tile by tile, in tiles of tileW x tileH.
void DrawInTiles(GuardedBitmap& target, PathBuilder& path, const FillInfo& request, int tileW, int tileH,
                 RenderOptions options = {});
