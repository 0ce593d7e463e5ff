#pragma once
// Conversions between point sizes and the per-character scales (inches per font design unit).
#include "FontEntry.h"

// |scale x em height x 72|.
double GetPointSize(const FontEntry& font, double scale);
// |points / 72 / em height|.
double ScaleForPointSize(const FontEntry& font, double points);
// Y becomes sign(Y) x the scale for the point size and X keeps its ratio to Y and its own sign,
// so mirrored text stays mirrored and a zero scale stays zero.
void SetPointSizeKeepRatio(const FontEntry& font, double points, double* x, double* y);
