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
    // Each tap's weights for the four channels (blue, green, red, alpha), alpha 0 beyond the image.
    std::vector<float> acrossWeights(across.taps.size() * 4);
    for (size_t k = 0; k < across.taps.size(); ++k) {
        const float w = float(across.taps[k].weight);
        for (int ch = 0; ch < 4; ++ch) acrossWeights[4 * k + ch] = ch == 3 && across.taps[k].outside ? 0.0f : w;
    }
    // Source rows filtered across (four channels per reduced column), kept while the boxes of the
    // next reduced rows may still need them: boxes move down the image, so a few rows suffice.
    struct FilteredRow {
        int index = -1;
        std::vector<float> channels;
    };
    std::vector<FilteredRow> cache(4);
    std::vector<float> unpacked(size_t(source.width) * 4);
    // Only the source columns some box reaches are read.
    int firstColumn = source.width - 1, lastColumn = 0;
    for (const Tap& tap : across.taps) firstColumn = std::min(firstColumn, tap.index), lastColumn = std::max(lastColumn, tap.index);
    int nextSlot = 0;
    auto filtered = [&](int index) -> const std::vector<float>& {
        for (const FilteredRow& row : cache)
            if (row.index == index) return row.channels;
        FilteredRow& row = cache[nextSlot];
        nextSlot = (nextSlot + 1) % int(cache.size());
        row.index = index;
        row.channels.assign(size_t(columns) * 4, 0.0f);
        const uint8_t* pixels = source.Row(index);
        for (int i = 4 * firstColumn; i < 4 * (lastColumn + 1); ++i) unpacked[i] = float(pixels[i]);
        for (int i = 0; i < columns; ++i) {
            float c[4] = {0, 0, 0, 0};
            for (int k = across.first[i]; k < across.first[i + 1]; ++k) {
                const float* p = &unpacked[size_t(across.taps[k].index) * 4];
                const float* w = &acrossWeights[size_t(k) * 4];
                for (int ch = 0; ch < 4; ++ch) c[ch] += p[ch] * w[ch];
            }
            for (int ch = 0; ch < 4; ++ch) row.channels[4 * size_t(i) + ch] = c[ch];
        }
        return row.channels;
    };
    std::vector<float> accumulated(size_t(columns) * 4);
    std::vector<double> columnScale(columns);
    for (int i = 0; i < columns; ++i) columnScale[i] = across.sum[i] > 0 ? 1.0 / double(across.sum[i]) : 0.0;
    for (int j = 0; j < rows; ++j) {
        std::fill(accumulated.begin(), accumulated.end(), 0.0f);
        for (int t = down.first[j]; t < down.first[j + 1]; ++t) {
            const Tap& vertical = down.taps[t];
            const std::vector<float>& row = filtered(vertical.index);
            // A row beyond the image's edge lends its colour, not its alpha.
            const float w = float(vertical.weight), alpha = vertical.outside ? 0.0f : w;
            for (int i = 0; i < columns * 4; i += 4) {
                accumulated[i] += row[i] * w;
                accumulated[i + 1] += row[i + 1] * w;
                accumulated[i + 2] += row[i + 2] * w;
                accumulated[i + 3] += row[i + 3] * alpha;
            }
        }
        uint32_t* target = out.pixels.data() + size_t(j) * columns;
        const double rowScale = down.sum[j] > 0 ? 1.0 / double(down.sum[j]) : 0.0;
        for (int i = 0; i < columns; ++i) {
            // The weighed sums (never negative) over the weights' total, rounded.
            const double scale = columnScale[i] * rowScale;
            uint32_t v = 0;
            for (int ch = 0; ch < 4; ++ch) {
                const uint32_t value = uint32_t(double(accumulated[i * 4 + ch]) * scale + 0.5);
                v |= std::min<uint32_t>(255, value) << (8 * ch);
            }
            target[i] = v;
        }
    }
    return true;
}
