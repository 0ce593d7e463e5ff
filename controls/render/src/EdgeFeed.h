#pragma once
// Hands polygon edges in double destination pixels to the cell rasteriser: snapped down to the
// 1/256 grid, with non-finite edges dropped and far coordinates brought inside the fixed-point
// range without changing what they cover near the bitmap.
#include <cmath>
#include <cstdint>

#include "CellRasterizer.h"
#include "CoverageBands.h"

class EdgeFeed {
public:
    // tally, when given, counts every edge the rasteriser takes.
    explicit EdgeFeed(CellRasterizer& cells, EdgeTally* tally = nullptr) : cells_(cells), tally_(tally) {}

    void Line(double x1, double y1, double x2, double y2)
    {
        // The common edge, near the bitmap (the comparisons are false for NaN and infinities).
        if (Near(x1) && Near(y1) && Near(x2) && Near(y2)) {
            Fixed(x1, y1, x2, y2);
            return;
        }
        FarLine(x1, y1, x2, y2);
    }

    // The closed polygon through points[0 .. count) (anything with x and y): each point is brought
    // to the grid once, for the edge that ends there and the one that starts there.
    template <class Point>
    void Polygon(const Point* points, int count)
    {
        if (count < 2) return;
        double px = points[0].x, py = points[0].y;
        bool nearP = Near(px) && Near(py);
        std::int32_t fx = nearP ? ToFixed(px) : 0, fy = nearP ? ToFixed(py) : 0;
        for (int k = 1; k <= count; ++k) {
            const Point& q = points[k < count ? k : 0];
            const double qx = q.x, qy = q.y;
            const bool nearQ = Near(qx) && Near(qy);
            const std::int32_t gx = nearQ ? ToFixed(qx) : 0, gy = nearQ ? ToFixed(qy) : 0;
            if (nearP && nearQ) {
                cells_.AddEdge(fx, fy, gx, gy);
                if (tally_) tally_->Add(fy, gy);
            } else {
                FarLine(px, py, qx, qy);
            }
            px = qx;
            py = qy;
            nearP = nearQ;
            fx = gx;
            fy = gy;
        }
    }

    // A coordinate on the grid as the edges take it; false when it lies too far out to be taken
    // as it is.
    static bool ToFixedNear(double v, std::int32_t& fixed)
    {
        if (!Near(v)) return false;
        fixed = ToFixed(v);
        return true;
    }

private:
    static constexpr double kLimit = 2000000.0;

    // Two comparisons: the library's fabs goes through the x87 stack and memory on this target.
    static bool Near(double v) { return v <= kLimit && v >= -kLimit; }

    __attribute__((noinline)) void FarLine(double x1, double y1, double x2, double y2)
    {
        // v - v is 0 only for finite v (NaN and infinities give NaN).
        if (!(x1 - x1 == 0 && y1 - y1 == 0 && x2 - x2 == 0 && y2 - y2 == 0)) return;
        // Keep the part within the row range; parts beyond the sides become edges on the side
        // lines, which keep the height they span.
        if ((y1 < -kLimit && y2 < -kLimit) || (y1 > kLimit && y2 > kLimit)) return;
        if (y1 != y2) {
            const double ylo = std::max(std::min(y1, y2), -kLimit), yhi = std::min(std::max(y1, y2), kLimit);
            auto xAt = [&](double y) { return x1 + (x2 - x1) * ((y - y1) / (y2 - y1)); };
            const double ya = y1 < y2 ? ylo : yhi, yb = y1 < y2 ? yhi : ylo;
            double xa = ya == y1 ? x1 : xAt(ya), xb = yb == y2 ? x2 : xAt(yb);
            // Split at the side lines.
            double ys[4] = {ya, 0, 0, yb};
            double xs[4] = {xa, 0, 0, xb};
            int n = 1;
            for (double side : {-kLimit, kLimit}) {
                if ((xa < side) != (xb < side) && xa != side && xb != side) {
                    const double t = (side - xa) / (xb - xa);
                    xs[n] = side;
                    ys[n] = ya + (yb - ya) * t;
                    ++n;
                }
            }
            if (n == 3 && (ys[2] - ya) * (yb - ya) < (ys[1] - ya) * (yb - ya)) {
                std::swap(xs[1], xs[2]);
                std::swap(ys[1], ys[2]);
            }
            xs[n] = xb;
            ys[n] = yb;
            for (int i = 0; i < n; ++i) {
                const double cx1 = std::max(-kLimit, std::min(kLimit, xs[i]));
                const double cx2 = std::max(-kLimit, std::min(kLimit, xs[i + 1]));
                Fixed(cx1, ys[i], cx2, ys[i + 1]);
            }
        }
    }

    void Fixed(double x1, double y1, double x2, double y2)
    {
        const std::int32_t fx1 = ToFixed(x1), fy1 = ToFixed(y1), fx2 = ToFixed(x2), fy2 = ToFixed(y2);
        cells_.AddEdge(fx1, fy1, fx2, fy2);
        if (tally_) tally_->Add(fy1, fy2);
    }
    // Floor to the 1/256 grid without a library call.
    static std::int32_t ToFixed(double v)
    {
        const double scaled = v * kSubpixelScale;
        const std::int32_t t = static_cast<std::int32_t>(scaled);
        return t - (scaled < t ? 1 : 0);
    }

    CellRasterizer& cells_;
    EdgeTally* tally_;
};
