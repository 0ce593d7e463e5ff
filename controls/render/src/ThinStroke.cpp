#include "ThinStroke.h"

#include <algorithm>
#include <cmath>
#include <limits>

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
    dirty_.Add(y, x, x + 1);
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
    dirty_.Add(y, x0, x1);
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

namespace {

// Corners of the pixel border by perimeter position: top edge left to right from 0, right edge top
// to bottom from 1, bottom edge right to left from 2, left edge bottom to top from 3.
const double kCornerX[4] = {1, 1, 0, 0};
const double kCornerY[4] = {0, 1, 1, 0};

// Area terms of the border from perimeter position from to to, going round clockwise on screen.
double ArcTerms(double fromS, double fromX, double fromY, double toS, double toX, double toY)
{
    double delta = toS - fromS;
    if (delta < 0) delta += 4;
    double sum = 0, x = fromX, y = fromY;
    // Corners strictly between the two positions, in order (corner k sits at position k + 1).
    double s = std::floor(fromS);
    for (int i = 0; i < 5; ++i) {
        const double corner = s + 1 + i;
        if (!(corner < fromS + delta)) break;
        if (corner <= fromS) continue;
        const int k = static_cast<int>(corner - 1) & 3;
        sum += x * kCornerY[k] - kCornerX[k] * y;
        x = kCornerX[k];
        y = kCornerY[k];
    }
    sum += x * toY - toX * y;
    return sum;
}

inline double Clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

} // namespace

void ThinLineWalker::Corner(int vertex, int in, int out, double t, std::vector<Pt>& left, std::vector<Pt>& right)
{
    const Pt& p = pts_[vertex];
    const Pt& u1 = dirs_[in];
    const Pt& u2 = dirs_[out];
    const double c = u1.x * u2.x + u1.y * u2.y;
    const double cross = u1.x * u2.y - u1.y * u2.x;
    const Pt n1{u1.y, -u1.x}, n2{u2.y, -u2.x};
    for (int side = 0; side < 2; ++side) {
        const double sgn = side == 0 ? 1.0 : -1.0;
        std::vector<Pt>& out_ = side == 0 ? left : right;
        const bool outer = sgn * cross > 0;
        bool miter = c > -0.5;
        if (miter && !outer && cross != 0) {
            // The inner sides meet where they cross, when that lies on both segments.
            const double reach = t * std::sqrt((1 - c) / (1 + c));
            miter = reach <= lengths_[in] && reach <= lengths_[out];
        }
        if (miter) {
            const double k = sgn * t / (1 + c);
            out_.push_back({p.x + (n1.x + n2.x) * k, p.y + (n1.y + n2.y) * k});
        } else {
            out_.push_back({p.x + sgn * t * n1.x, p.y + sgn * t * n1.y});
            out_.push_back({p.x + sgn * t * n2.x, p.y + sgn * t * n2.y});
        }
    }
}

void ThinLineWalker::BuildSides(bool closed, double t)
{
    const int n = static_cast<int>(pts_.size());
    const int segs = closed ? n : n - 1;
    dirs_.resize(segs);
    lengths_.resize(segs);
    for (int s = 0; s < segs; ++s) {
        const Pt& a = pts_[s];
        const Pt& b = pts_[(s + 1) % n];
        const double dx = b.x - a.x, dy = b.y - a.y, len = std::sqrt(dx * dx + dy * dy);
        dirs_[s] = {dx / len, dy / len};
        lengths_[s] = len;
    }
    left_.clear();
    right_.clear();
    if (closed) {
        for (int v = 0; v < n; ++v) Corner(v, (v - 1 + segs) % segs, v % segs, t, left_, right_);
        return;
    }
    left_.push_back({pts_[0].x + t * dirs_[0].y, pts_[0].y - t * dirs_[0].x});
    right_.push_back({pts_[0].x - t * dirs_[0].y, pts_[0].y + t * dirs_[0].x});
    for (int v = 1; v < n - 1; ++v) Corner(v, v - 1, v, t, left_, right_);
    const Pt& e = pts_[n - 1];
    const Pt& d = dirs_[segs - 1];
    left_.push_back({e.x + t * d.y, e.y - t * d.x});
    right_.push_back({e.x - t * d.y, e.y + t * d.x});
}

void ThinLineWalker::Contribute(int x, int y, double area, unsigned side)
{
    if (x < tile_.left || x >= tile_.right || y < tile_.top || y >= tile_.bottom) return;
    const unsigned mask = static_cast<unsigned>(table_.size()) - 1;
    unsigned h = (static_cast<unsigned>(x) * 0x9E3779B1u ^ static_cast<unsigned>(y) * 0x85EBCA77u) & mask;
    for (;;) {
        const int index = table_[h];
        if (index < 0) break;
        Cell& cell = cells_[index];
        if (cell.x == x && cell.y == y) {
            cell.total += area;
            if (cell.total > 1) {
                if ((cell.sides & side) != 0 && cell.total <= 1.5) cell.total = 1;
                else cell.total -= 1;
            }
            cell.sides |= side;
            return;
        }
        h = (h + 1) & mask;
    }
    table_[h] = static_cast<int>(cells_.size());
    cells_.push_back({x, y, area, side});
    if (cells_.size() * 2 > table_.size()) {
        // Grow and place every cell again.
        table_.assign(table_.size() * 2, -1);
        const unsigned m = static_cast<unsigned>(table_.size()) - 1;
        for (int i = 0; i < static_cast<int>(cells_.size()); ++i) {
            unsigned g = (static_cast<unsigned>(cells_[i].x) * 0x9E3779B1u ^ static_cast<unsigned>(cells_[i].y) * 0x85EBCA77u) & m;
            while (table_[g] >= 0) g = (g + 1) & m;
            table_[g] = i;
        }
    }
}

void ThinLineWalker::StartAt(double x, double y)
{
    px_ = static_cast<int>(std::floor(x));
    py_ = static_cast<int>(std::floor(y));
    lastX_ = x - px_;
    lastY_ = y - py_;
    sum_ = 0;
    passage_ = Passage::Lost;
}

inline void ThinLineWalker::AddLocal(double x, double y)
{
    sum_ += lastX_ * y - x * lastY_;
    lastX_ = x;
    lastY_ = y;
}

// The passage leaves its pixel at (lx, ly), perimeter position s.
void ThinLineWalker::Exit(double lx, double ly, double s)
{
    AddLocal(lx, ly);
    if (passage_ == Passage::Entered) {
        const double area = (sum_ + ArcTerms(s, lx, ly, entryS_, entryX_, entryY_)) / 2;
        Contribute(px_, py_, Clamp01(area), entrySide_);
    } else if (passage_ == Passage::Head) {
        // The loop's first passage: finished when the loop comes back to its start.
        headX_ = px_;
        headY_ = py_;
        headSum_ = sum_;
        headExitS_ = s;
        headExitX_ = lx;
        headExitY_ = ly;
        headExited_ = true;
    }
}

namespace {

// Perimeter position of a point on the pixel border (local coordinates).
inline double Perimeter(double lx, double ly)
{
    if (ly == 0) return lx;
    if (lx == 1) return 1 + ly;
    if (ly == 1) return 3 - lx;
    return 4 - ly;
}

} // namespace

void ThinLineWalker::WalkEdge(double ax, double ay, double bx, double by)
{
    const double dx = bx - ax, dy = by - ay;
    if (dx == 0 && dy == 0) return;
    const double inf = std::numeric_limits<double>::infinity();
    const double invX = dx != 0 ? 1 / dx : 0, invY = dy != 0 ? 1 / dy : 0;
    const int stepX = dx > 0 ? 1 : 0, stepY = dy > 0 ? 1 : 0;
    for (int guard = 0; guard < (1 << 22); ++guard) {
        const double tx = dx != 0 ? (px_ + stepX - ax) * invX : inf;
        const double ty = dy != 0 ? (py_ + stepY - ay) * invY : inf;
        if (tx >= 1 && ty >= 1) {
            AddLocal(Clamp01(bx - px_), Clamp01(by - py_));
            return;
        }
        double lx, ly;
        int mx = 0, my = 0;
        if (tx < ty) {
            mx = dx > 0 ? 1 : -1;
            lx = dx > 0 ? 1 : 0;
            ly = Clamp01(ay + dy * tx - py_);
        } else if (ty < tx) {
            my = dy > 0 ? 1 : -1;
            ly = dy > 0 ? 1 : 0;
            lx = Clamp01(ax + dx * ty - px_);
        } else {
            mx = dx > 0 ? 1 : -1;
            my = dy > 0 ? 1 : -1;
            lx = dx > 0 ? 1 : 0;
            ly = dy > 0 ? 1 : 0;
        }
        Exit(lx, ly, Perimeter(lx, ly));
        px_ += mx;
        py_ += my;
        lastX_ = lx - mx;
        lastY_ = ly - my;
        entryX_ = lastX_;
        entryY_ = lastY_;
        entryS_ = Perimeter(lastX_, lastY_);
        entrySide_ = edgeSide_;
        sum_ = 0;
        passage_ = Passage::Entered;
    }
}

void ThinLineWalker::WalkLoop(const std::vector<Pt>& loop, const std::vector<unsigned char>& sides)
{
    const int count = static_cast<int>(loop.size());
    if (count < 2) return;
    headExited_ = false;
    // A loop that starts far from the tile picks up its walk where it first comes near.
    bool lost = !(loop[0].x >= boxLeft_ && loop[0].x <= boxRight_ && loop[0].y >= boxTop_ && loop[0].y <= boxBottom_);
    if (!lost) {
        StartAt(loop[0].x, loop[0].y);
        passage_ = Passage::Head;
    }
    for (int i = 0; i < count; ++i) {
        const Pt& a = loop[i];
        const Pt& b = loop[(i + 1) % count];
        edgeSide_ = sides[i];
        // Only the part of the edge near the tile is walked; where the loop comes back in, the
        // passage it starts lies outside the tile and is never painted.
        double t0 = 0, t1 = 1;
        const double d[2] = {b.x - a.x, b.y - a.y}, o[2] = {a.x, a.y};
        const double lo[2] = {boxLeft_, boxTop_}, hi[2] = {boxRight_, boxBottom_};
        bool hit = true;
        for (int k = 0; k < 2 && hit; ++k) {
            if (d[k] == 0) {
                hit = o[k] >= lo[k] && o[k] <= hi[k];
                continue;
            }
            double ta = (lo[k] - o[k]) / d[k], tb = (hi[k] - o[k]) / d[k];
            if (ta > tb) std::swap(ta, tb);
            if (ta > t0) t0 = ta;
            if (tb < t1) t1 = tb;
        }
        if (!hit || !(t0 <= t1)) {
            lost = true;
            continue;
        }
        const double ax = t0 > 0 ? a.x + d[0] * t0 : a.x, ay = t0 > 0 ? a.y + d[1] * t0 : a.y;
        const double bx = t1 < 1 ? a.x + d[0] * t1 : b.x, by = t1 < 1 ? a.y + d[1] * t1 : b.y;
        if (lost || t0 > 0) {
            StartAt(ax, ay);
            lost = false;
        }
        WalkEdge(ax, ay, bx, by);
        if (t1 < 1) lost = true;
    }
    if (lost) return;
    if (passage_ == Passage::Head) {
        // The loop never left the pixel it started in.
        Contribute(px_, py_, Clamp01(sum_ / 2), 0);
    } else if (passage_ == Passage::Entered && headExited_ && px_ == headX_ && py_ == headY_) {
        const double area =
            (sum_ + headSum_ + ArcTerms(headExitS_, headExitX_, headExitY_, entryS_, entryX_, entryY_)) / 2;
        Contribute(px_, py_, Clamp01(area), entrySide_);
    }
}

void ThinLineWalker::Flush(ThinCoverageSink& sink)
{
    for (const Cell& cell : cells_) {
        const int byte = RoundChannel(255 * Clamp01(cell.total));
        if (byte > 0) sink(cell.y, cell.x, cell.x + 1, byte);
    }
}

void ThinLineWalker::Paint(const WalkPoint* points, int count, bool closed, double t, const RECT& tile,
                           ThinCoverageSink& sink)
{
    pts_.clear();
    for (int i = 0; i < count; ++i) {
        const WalkPoint& p = points[i];
        if (!(p.x - p.x == 0 && p.y - p.y == 0)) continue;
        if (!pts_.empty()) {
            const double dx = p.x - pts_.back().x, dy = p.y - pts_.back().y;
            if (dx * dx + dy * dy < 0.0001) continue;
        }
        pts_.push_back({p.x, p.y});
    }
    if (closed && pts_.size() > 2) {
        const double dx = pts_.front().x - pts_.back().x, dy = pts_.front().y - pts_.back().y;
        if (dx * dx + dy * dy < 0.0001) pts_.pop_back();
    }
    if (pts_.size() < 2 || !(t > 0)) return;
    if (pts_.size() == 2) closed = false;
    BuildSides(closed, t);
    tile_ = tile;
    boxLeft_ = tile.left - 2.0;
    boxTop_ = tile.top - 2.0;
    boxRight_ = tile.right + 2.0;
    boxBottom_ = tile.bottom + 2.0;
    cells_.clear();
    if (table_.size() < 256) table_.resize(256);
    std::fill(table_.begin(), table_.end(), -1);
    if (closed) {
        loopSides_.assign(left_.size(), 1);
        WalkLoop(left_, loopSides_);
        loop_.assign(right_.rbegin(), right_.rend());
        loopSides_.assign(right_.size(), 2);
        WalkLoop(loop_, loopSides_);
    } else {
        loop_.assign(left_.begin(), left_.end());
        loop_.insert(loop_.end(), right_.rbegin(), right_.rend());
        loopSides_.assign(left_.size() - 1, 1);
        loopSides_.push_back(0);
        loopSides_.insert(loopSides_.end(), right_.size() - 1, 2);
        loopSides_.push_back(0);
        WalkLoop(loop_, loopSides_);
    }
    Flush(sink);
}
