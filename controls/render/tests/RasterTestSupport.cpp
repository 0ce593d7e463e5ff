#include "RasterTestSupport.h"

#include <cstring>

namespace {
constexpr std::uint8_t kGuard = 0xA5;
constexpr int kGuardRows = 2;
}

GuardedBitmap::GuardedBitmap(int width, int height, std::uint8_t background)
    : width_(width), height_(height), bytesPerLine_((width * 3 + 3) / 4 * 4 + 4)
{
    const size_t total = static_cast<size_t>(bytesPerLine_) * (height + 2 * kGuardRows);
    memory_.assign(total, kGuard);
    isGuard_.assign(total, true);
    for (int y = 0; y < height; ++y) {
        const size_t row = static_cast<size_t>(y + kGuardRows) * bytesPerLine_;
        std::memset(&memory_[row], background, static_cast<size_t>(width) * 3);
        for (int i = 0; i < width * 3; ++i) isGuard_[row + i] = false;
    }
    ImagingInitBitmap(&bitmap_);
    ImagingAttachBits(&bitmap_, &memory_[static_cast<size_t>(kGuardRows) * bytesPerLine_], width, height, 24,
                      bytesPerLine_);
}

GuardedBitmap::~GuardedBitmap() { ImagingFreeBitmap(&bitmap_); }

const std::uint8_t* GuardedBitmap::Pixel(int x, int y) const
{
    return &memory_[static_cast<size_t>(y + kGuardRows) * bytesPerLine_ + static_cast<size_t>(x) * 3];
}

int GuardedBitmap::At(int x, int y) const { return Pixel(x, y)[0]; }

bool GuardedBitmap::GuardsIntact() const
{
    for (size_t i = 0; i < memory_.size(); ++i)
        if (isGuard_[i] && memory_[i] != kGuard) return false;
    return true;
}

bool GuardedBitmap::SamePixels(const GuardedBitmap& other) const
{
    return width_ == other.width_ && height_ == other.height_ && memory_ == other.memory_;
}

std::string GuardedBitmap::FirstDifference(const GuardedBitmap& other) const
{
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            for (int c = 0; c < 3; ++c)
                if (Pixel(x, y)[c] != other.Pixel(x, y)[c])
                    return std::to_string(x) + "," + std::to_string(y) + ": " + std::to_string(Pixel(x, y)[c]) + " vs " +
                           std::to_string(other.Pixel(x, y)[c]);
    return "";
}

long long GuardedBitmap::Sum() const
{
    long long s = 0;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) s += At(x, y);
    return s;
}

PathBuilder& PathBuilder::MoveTo(double x, double y)
{
    if (open_) End();
    open_ = true;
    startX_ = curX_ = x;
    startY_ = curY_ = y;
    return *this;
}

PathBuilder& PathBuilder::LineTo(double x, double y)
{
    SegmentDesc s{};
    s.kind = SegmentLine;
    s.pt1 = {curX_, curY_};
    s.pt2 = {x, y};
    s.pt3 = {x, y};
    segs_.push_back(s);
    curX_ = x;
    curY_ = y;
    return *this;
}

PathBuilder& PathBuilder::CurveTo(double x1, double y1, double x2, double y2, double x3, double y3)
{
    SegmentDesc s{};
    s.kind = SegmentCubic;
    s.pt1 = {curX_, curY_};
    s.pt2 = {x1, y1};
    s.pt3 = {x2, y2};
    segs_.push_back(s);
    curX_ = x3;
    curY_ = y3;
    return *this;
}

PathBuilder& PathBuilder::Close()
{
    if (curX_ != startX_ || curY_ != startY_) LineTo(startX_, startY_);
    return End();
}

PathBuilder& PathBuilder::End()
{
    SegmentDesc s{};
    s.kind = SegmentEnd;
    s.pt1 = {curX_, curY_};
    segs_.push_back(s);
    open_ = false;
    return *this;
}

PathBuilder& PathBuilder::Polygon(const std::vector<double>& xy)
{
    MoveTo(xy[0], xy[1]);
    for (size_t i = 2; i + 1 < xy.size(); i += 2) LineTo(xy[i], xy[i + 1]);
    return Close();
}

PathBuilder& PathBuilder::Rect(double l, double t, double r, double b)
{
    return Polygon({l, t, r, t, r, b, l, b});
}

PathBuilder& PathBuilder::Ellipse(double cx, double cy, double rx, double ry)
{
    const double k = 0.5522847498307936;
    MoveTo(cx + rx, cy);
    CurveTo(cx + rx, cy + k * ry, cx + k * rx, cy + ry, cx, cy + ry);
    CurveTo(cx - k * rx, cy + ry, cx - rx, cy + k * ry, cx - rx, cy);
    CurveTo(cx - rx, cy - k * ry, cx - k * rx, cy - ry, cx, cy - ry);
    CurveTo(cx + k * rx, cy - ry, cx + rx, cy - k * ry, cx + rx, cy);
    return End();
}

const std::vector<SegmentDesc>& PathBuilder::segments()
{
    if (open_) End();
    return segs_;
}

FillInfo SolidFill(std::uint32_t colour)
{
    FillInfo f{};
    f.FillType = FillSolid;
    f.FillColor = colour;
    f.OutlineType = OutlineNone;
    return f;
}

FillInfo Outline(double width, std::int32_t kind, std::uint32_t colour)
{
    FillInfo f{};
    f.FillType = FillNone;
    f.OutlineType = kind;
    f.OutlineWidth = width;
    f.OutlineColor = colour;
    return f;
}

int DrawWhole(GuardedBitmap& target, PathBuilder& path, const FillInfo& request, RenderOptions options,
              std::vector<unsigned char>* list)
{
    RECT clip{0, 0, target.width(), target.height()};
    unsigned char* begin = list ? list->data() : nullptr;
    const unsigned char* end = list ? list->data() + list->size() : nullptr;
    return DrawPolyBezierTiledEx(target.get(), &clip, path.data(), path.count(), begin, end, &request, options, 0);
}

void DrawInTiles(GuardedBitmap& target, PathBuilder& path, const FillInfo& request, int tileW, int tileH,
                 RenderOptions options)
{
    for (int y = 0; y < target.height(); y += tileH)
        for (int x = 0; x < target.width(); x += tileW) {
            RECT clip{x, y, x + tileW, y + tileH};
            DrawPolyBezierTiledEx(target.get(), &clip, path.data(), path.count(), nullptr, nullptr, &request, options, 0);
        }
}
