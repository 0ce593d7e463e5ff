// Two-colour gradient fills of a rectangle of a 24-bit or 32-bit bitmap: linear at an angle or
// elliptical around a centre, from a table of quantised colour steps with optional 2 x 2 ordered
// dithering between neighbouring steps.
#pragma once

#include <windows.h>

struct ImagingBitmap;

enum GradientKind { GradientLinear = 0, GradientElliptical = 1 };

// Paints left..right x top..bottom (right and bottom exclusive, cut to the bitmap; nothing outside
// it changes). A bitmap without pixels is first allocated at (width + 1) x (height + 3) of the
// rectangle. Angles are in degrees, counter-clockwise with y up; colours are 0x00BBGGRR. The colour
// table belongs to the call, so several threads may paint gradients at once. Degenerate requests (a
// zero length or extent, a density of 0 or less, values that are not finite) paint the start colour.
void FillLinearGradient(int kind, int extentWidth, int extentHeight, double centreX, double centreY,
                        double radiusX, double radiusY, double angle, double density, double startX,
                        double startY, double length, int smooth, COLORREF colour1, COLORREF colour2,
                        ImagingBitmap* bitmap, int bitsPerPixel, int dither, int left, int top, int right,
                        int bottom, int ditherOriginX, int ditherOriginY, int coarse, int cyclic);
