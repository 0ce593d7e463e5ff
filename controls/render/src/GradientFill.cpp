#include "render/GradientFill.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "EngineTables.h"
#include "ImagingRaster.h"
#include "geometry/NumericHelpers.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
// Indices are kept in 32.32 fixed point; beyond this magnitude a row is clamped pixel by pixel.
constexpr double kIndexLimit = 1073741824.0;   // 2^30

struct Channels {
    int red, green, blue;
};

Channels ChannelsOf(COLORREF colour) {
    return {int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF)};
}

uint32_t EntryOf(int red, int green, int blue) {
    return uint32_t(blue) | (uint32_t(green) << 8) | (uint32_t(red) << 16);
}

// The quantised colours of one call: 2n steps there and back, a copy of the first, and when the
// gradient does not repeat, the end colour at 256 .. 511 and the start colour at 512 .. 767.
struct ColourTable {
    uint32_t entry[768] = {};
    int steps = 2;       // n
    int mask = 4;        // byte offsets of the entries the index may reach
    bool cyclic = false;

    // Entry of a quarter-step index (dither already added).
    uint32_t Lookup(int32_t index) const {
        if (cyclic) return entry[(index & mask) >> 2];
        if (index < 0) return entry[512];
        if (index > mask) return entry[256];
        return entry[index >> 2];
    }
};

int StepCount(Channels a, Channels b, bool coarse) {
    if (coarse) return 32;
    const int d = std::max({std::abs(a.red - b.red), std::abs(a.green - b.green), std::abs(a.blue - b.blue)});
    if (d > 128) return 256;
    int n = 2;
    while (n < d) n *= 2;
    return n;
}

void BuildColourTable(ColourTable& table, Channels from, Channels to, bool smooth, bool coarse, bool cyclic) {
    const int n = StepCount(from, to, coarse);
    table.steps = n;
    table.cyclic = cyclic;
    table.mask = cyclic ? 8 * n - 4 : 4 * n - 4;
    auto channel = [](int start, int end, double weight) { return __round(start + (end - start) * weight); };
    if (!smooth) {
        for (int k = 0; k < n; ++k) {
            auto step = [&](int start, int end) { return __round(start + double(k * (end - start)) / (n - 1)); };
            table.entry[k] = EntryOf(step(from.red, to.red), step(from.green, to.green), step(from.blue, to.blue));
        }
        for (int k = 0; k < n; ++k) table.entry[n + k] = table.entry[n - 1 - k];
    } else {
        const double* ramp = EngineTables::Get().cosineRamp;
        for (int k = 0; k < 2 * n; ++k) {
            const double w = ramp[k * (256 / n)];
            table.entry[k] = EntryOf(channel(from.red, to.red, w), channel(from.green, to.green, w),
                                     channel(from.blue, to.blue, w));
        }
    }
    table.entry[2 * n] = table.entry[0];
    if (!cyclic) {
        std::fill(table.entry + 256, table.entry + 512, table.entry[n]);
        std::fill(table.entry + 512, table.entry + 768, table.entry[0]);
    }
}

int64_t ToFixed3232(double v) {
    const double whole = std::floor(v);
    return int64_t(whole) * 4294967296LL + int64_t(uint32_t((v - whole) * 4294967295.0));
}

// Writes one row of pixels whose colours come from next() in x order.
template <int Bytes, class Colour>
void PaintRow(uint8_t* p, int width, Colour next) {
    if (Bytes == 4) {
        uint32_t* q = reinterpret_cast<uint32_t*>(p);
        for (int j = 0; j < width; ++j) q[j] = next(j);
        return;
    }
    // Whole 4-byte entries at a 3-byte step; the last pixel gets its three bytes only.
    for (int j = 0; j + 1 < width; ++j, p += 3) {
        const uint32_t v = next(j);
        std::memcpy(p, &v, 4);
    }
    const uint32_t v = next(width - 1);
    std::memcpy(p, &v, 3);
}

struct PaintArea {
    RasterBits raster;
    int left, top, right, bottom;
    int ditherX, ditherY;
    bool dither;
};

template <int Bytes, class RowIndex>
void PaintIndexedRows(const PaintArea& area, const ColourTable& table, RowIndex rowIndex) {
    const int width = area.right - area.left;
    const int(*offsets)[4] = EngineTables::Get().ditherOffsets;
    for (int y = area.top; y < area.bottom; ++y) {
        uint8_t* p = area.raster.Row(y) + intptr_t(area.left) * Bytes;
        auto index = rowIndex(y);
        if (area.dither) {
            const int rowPart = 2 * ((y + area.ditherY) & 1);
            const int* even = offsets[((area.left + area.ditherX) & 1) + rowPart];
            const int* odd = offsets[((area.left + 1 + area.ditherX) & 1) + rowPart];
            PaintRow<Bytes>(p, width, [&](int j) {
                const int32_t i = index(j);
                return table.Lookup(i + ((j & 1) ? odd : even)[i & 3]);
            });
        } else {
            PaintRow<Bytes>(p, width, [&](int j) { return table.Lookup(index(j)); });
        }
    }
}

template <class RowIndex>
void PaintIndexed(const PaintArea& area, const ColourTable& table, RowIndex rowIndex) {
    if (area.raster.bitsPerPixel == 32)
        PaintIndexedRows<4>(area, table, rowIndex);
    else
        PaintIndexedRows<3>(area, table, rowIndex);
}

void PaintFlat(const PaintArea& area, uint32_t value) {
    ColourTable table;
    table.cyclic = true;
    table.mask = 0;
    table.entry[0] = value;
    PaintArea plain = area;
    plain.dither = false;
    PaintIndexed(plain, table, [](int) { return [](int) { return int32_t(0); }; });
}

struct Angle {
    int quadrant;
    double c, s;
};

Angle NormaliseAngle(double degrees) {
    double a = __crop(degrees);
    a -= 360.0 * std::floor(a / 360.0);
    if (a < 0) a += 360.0;
    const int q = std::min(3, std::max(0, int(std::floor(a / 90.0))));
    return {q, std::cos(a * kPi / 180.0), std::sin(a * kPi / 180.0)};
}

// The quarter-step index along a row of a linear gradient: 32.32 fixed point stepped per pixel.
struct LinearRow {
    int64_t start, step;
    double startValue, stepValue;
    bool clamped;
    int32_t operator()(int j) const {
        if (!clamped) return int32_t((start + int64_t(j) * step) >> 32);
        const double v = std::min(kIndexLimit, std::max(-kIndexLimit, startValue + j * stepValue));
        return int32_t(std::floor(v));
    }
};

}  // namespace

void FillLinearGradient(int kind, int extentWidth, int extentHeight, double centreX, double centreY,
                        double radiusX, double radiusY, double angle, double density, double startX,
                        double startY, double length, int smooth, COLORREF colour1, COLORREF colour2,
                        ImagingBitmap* bitmap, int bitsPerPixel, int dither, int left, int top, int right,
                        int bottom, int ditherOriginX, int ditherOriginY, int coarse, int cyclic) {
    __set_precision(2);
    if (!bitmap || (bitsPerPixel != 24 && bitsPerPixel != 32)) return;
    if (!bitmap->Allocated) {
        const int64_t w = std::max<int64_t>(0, int64_t(right) - left), h = std::max<int64_t>(0, int64_t(bottom) - top);
        if (w + 1 > 0x7FFF || h + 3 > 0x7FFF) return;
        if (ImagingAllocateBitmap(bitmap, int(w + 1), int(h + 3), bitsPerPixel) != ImagingOk) return;
    }
    ImagingAccessScope access(bitmap);
    if (!access.ok()) return;
    PaintArea area;
    area.raster = RasterOf(bitmap);
    if (!area.raster.IsUsable() || area.raster.bitsPerPixel != bitsPerPixel) return;
    area.left = std::max(left, 0);
    area.top = std::max(top, 0);
    area.right = std::min(right, area.raster.width);
    area.bottom = std::min(bottom, area.raster.height);
    if (area.left >= area.right || area.top >= area.bottom) return;
    area.ditherX = ditherOriginX & 1;
    area.ditherY = ditherOriginY & 1;
    area.dither = dither != 0;

    Channels from = ChannelsOf(colour1), to = ChannelsOf(colour2);
    const uint32_t flat = EntryOf(from.red, from.green, from.blue);
    const Angle a = NormaliseAngle(angle);
    if (!std::isfinite(angle) || !std::isfinite(density) || !(density > 0)) return PaintFlat(area, flat);

    if (kind == GradientElliptical) {
        if (!std::isfinite(centreX) || !std::isfinite(centreY) || !std::isfinite(radiusX) || !std::isfinite(radiusY))
            return PaintFlat(area, flat);
        const double rx = radiusX > 0 ? radiusX : 1.0, ry = radiusY > 0 ? radiusY : 1.0;
        if (cyclic && rx / density < 2) {
            from = to = {(from.red + to.red) / 2, (from.green + to.green) / 2, (from.blue + to.blue) / 2};
        }
        ColourTable table;
        BuildColourTable(table, from, to, smooth != 0, coarse != 0, cyclic != 0);
        const int n = table.steps;
        const double effective = std::min({density, rx, ry});
        const double offset = effective > 1 ? (effective - 1) * 2 * n : 0.0;
        const double k = (rx / ry) * (rx / ry), g = 4.0 * n * effective / rx;
        const double A = (a.c * a.c + k * a.s * a.s) * g * g, C = (a.s * a.s + k * a.c * a.c) * g * g;
        const double B = 2 * (1 - k) * g * g * a.s * a.c;
        if (!std::isfinite(A) || !std::isfinite(B) || !std::isfinite(C)) return PaintFlat(area, flat);
        const double firstDx = area.left + 0.5 - centreX;
        PaintIndexed(area, table, [&](int y) {
            const double dy = centreY - (y + 0.5);
            const double cdy = C * dy * dy, bdy = B * dy;
            return [=](int j) {
                const double dx = firstDx + j;
                const double q = std::max(0.0, (A * dx + bdy) * dx + cdy);
                return int32_t(std::floor(std::min(kIndexLimit, std::sqrt(q) - offset)));
            };
        });
        return;
    }

    double sx = startX, sy = startY, L = length;
    if (length == 0) {
        static const int kCornerRight[4] = {0, 1, 1, 0}, kCornerTop[4] = {0, 0, 1, 1};
        sx = kCornerRight[a.quadrant] ? right : left;
        sy = kCornerTop[a.quadrant] ? top : bottom;
        L = std::fabs(a.c) * extentWidth + std::fabs(a.s) * extentHeight;
    }
    if (!std::isfinite(sx) || !std::isfinite(sy) || !std::isfinite(L) || L == 0) return PaintFlat(area, flat);
    if (cyclic && std::fabs(L) / density < 2) {
        from = to = {(from.red + to.red) / 2, (from.green + to.green) / 2, (from.blue + to.blue) / 2};
    }
    // Leftward gradients are measured from their far end with the colours exchanged, so that the
    // index grows along the row.
    const bool mirrored = a.quadrant == 1 || a.quadrant == 2;
    if (mirrored) std::swap(from, to);
    ColourTable table;
    BuildColourTable(table, from, to, smooth != 0, coarse != 0, cyclic != 0);
    const int n = table.steps;
    const double k = 4.0 * n * density / L;
    const double offset = density > 1 ? (density - 1) * 2 * n : 0.0;
    const double farEnd = L / density;
    const double stepValue = mirrored ? -a.c * k : a.c * k;
    if (!std::isfinite(k) || !std::isfinite(stepValue)) return PaintFlat(area, flat);
    const int lastColumn = area.right - area.left - 1;
    PaintIndexed(area, table, [&](int y) {
        const double t = (area.left + 0.5 - sx) * a.c + (sy - y - 0.5) * a.s;
        LinearRow row;
        row.startValue = mirrored ? (farEnd - t) * k + offset : t * k - offset;
        row.stepValue = stepValue;
        const double endValue = row.startValue + lastColumn * stepValue;
        row.clamped = !(std::fabs(row.startValue) < kIndexLimit && std::fabs(endValue) < kIndexLimit);
        if (!row.clamped) {
            row.start = ToFixed3232(row.startValue);
            row.step = ToFixed3232(stepValue);
        }
        return row;
    });
}
