#include "FontSizes.h"

#include <cmath>

#include "geometry/NumericHelpers.h"

double GetPointSize(const FontEntry& font, double scale) {
    return std::fabs(scale * font.emHeight * 72);
}

double ScaleForPointSize(const FontEntry& font, double points) {
    if (!(font.emHeight > 0)) return 0;
    return std::fabs(points * (1.0 / 72) / font.emHeight);
}

void SetPointSizeKeepRatio(const FontEntry& font, double points, double* x, double* y) {
    const double ratio = *y != 0 ? *x / *y : 1;
    *y = sign(*y) * ScaleForPointSize(font, points);
    *x = sign(*x) * std::fabs(*y * ratio);
}
