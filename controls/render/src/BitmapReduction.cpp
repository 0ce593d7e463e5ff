#include "BitmapReduction.h"

#include <algorithm>
#include <cmath>

#include "geometry/NumericHelpers.h"

namespace {

// Where boxes wider than this would average, whole source pixels are skipped instead.
constexpr double kWidestBox = 5.6;

struct Tap {
    int index;        // source pixel, clamped into the image
    bool outside;     // the pixel lies beyond the image: its alpha counts as 0
    int32_t weight;   // 1.15
};

// The taps of every box along one axis, with each box's first tap and weight sum.
struct AxisTaps {
    std::vector<Tap> taps;
    std::vector<int> first;     // boxes + 1 entries
    std::vector<int64_t> sum;
};

double BoxWidth(double step) {
    if (step <= kWidestBox) return step;
    return step - __round(step - kWidestBox + 0.5);
}

AxisTaps TapsOf(double start, double step, int boxes, int size) {
    AxisTaps axis;
    const double width = BoxWidth(step);
    axis.first.push_back(0);
    for (int i = 0; i < boxes; ++i) {
        const double centre = start + i * step;
        const double lo = centre - width / 2, hi = centre + width / 2;
        int64_t sum = 0;
        for (int p = int(std::floor(lo + 0.5)); p <= int(std::floor(hi + 0.5)); ++p) {
            const double overlap = std::min(hi, p + 0.5) - std::max(lo, p - 0.5);
            const int32_t w = __round(overlap * 32768);
            if (w <= 0) continue;
            axis.taps.push_back({std::min(std::max(p, 0), size - 1), p < 0 || p >= size, w});
            sum += w;
        }
        axis.first.push_back(int(axis.taps.size()));
        axis.sum.push_back(sum);
    }
    return axis;
}

}  // namespace

bool ReduceImage(const RasterBits& source, double x0, double y0, double stepX, double stepY, int columns, int rows,
                 ReducedImage& out) {
    if (columns <= 0 || rows <= 0 || int64_t(columns) * rows > (int64_t(1) << 26)) return false;
    out.columns = columns;
    out.rows = rows;
    out.x0 = x0, out.y0 = y0, out.stepX = stepX, out.stepY = stepY;
    out.pixels.assign(size_t(columns) * rows, 0);
    const AxisTaps across = TapsOf(x0, stepX, columns, source.width);
    const AxisTaps down = TapsOf(y0, stepY, rows, source.height);
    // One source row filtered across: four channels per reduced column.
    std::vector<int64_t> filtered(size_t(columns) * 4), accumulated(size_t(columns) * 4);
    for (int j = 0; j < rows; ++j) {
        std::fill(accumulated.begin(), accumulated.end(), 0);
        for (int t = down.first[j]; t < down.first[j + 1]; ++t) {
            const Tap& vertical = down.taps[t];
            const uint32_t* row = reinterpret_cast<const uint32_t*>(source.Row(vertical.index));
            for (int i = 0; i < columns; ++i) {
                int64_t c[4] = {0, 0, 0, 0};
                for (int k = across.first[i]; k < across.first[i + 1]; ++k) {
                    const Tap& tap = across.taps[k];
                    const uint32_t v = row[tap.index];
                    c[0] += int64_t(v & 0xFF) * tap.weight;
                    c[1] += int64_t((v >> 8) & 0xFF) * tap.weight;
                    c[2] += int64_t((v >> 16) & 0xFF) * tap.weight;
                    if (!tap.outside && !vertical.outside) c[3] += int64_t(v >> 24) * tap.weight;
                }
                for (int ch = 0; ch < 4; ++ch) accumulated[i * 4 + ch] += c[ch] * vertical.weight;
            }
        }
        uint32_t* target = out.pixels.data() + size_t(j) * columns;
        for (int i = 0; i < columns; ++i) {
            const int64_t norm = across.sum[i] * down.sum[j];
            uint32_t v = 0;
            for (int ch = 0; ch < 4; ++ch) {
                const int64_t value = norm > 0 ? (accumulated[i * 4 + ch] * 2 + norm) / (2 * norm) : 0;
                v |= uint32_t(std::min<int64_t>(255, std::max<int64_t>(0, value))) << (8 * ch);
            }
            target[i] = v;
        }
    }
    return true;
}
