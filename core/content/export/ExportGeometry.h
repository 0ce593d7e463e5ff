#pragma once
// The numbers and names of an export: image and page file names, the imaging library's quality
// factor, and the size at which a site is rendered.
#include <classlib.h>
#include "TarnApi.h"

namespace ExportGeometry {

// base + "_Frame" + two or more digits + extension ("card_Frame07.png").
TARN_API CString ImageFileName(const CString& base, int number, const char* extension);
// base + ".htm" for page 0, base + "_Page" + two or more digits + ".htm" for the others.
TARN_API CString PageFileName(const CString& base, int page);
// 256 - trunc(quality x 2.55), kept within 2..255.
TARN_API int QualityFactor(int quality);

// The width of an HTML page's table: the resolution's width less the two arrows of a horizontal
// scroll bar.
TARN_API int HtmlTargetWidth(int resolutionWidth);

struct RenderSize
{
    int width;
    int height;
    double zoom;
};

// The site fitted into the resolution, keeping its aspect (raster export).
TARN_API RenderSize FitIntoResolution(double siteWidth, double siteHeight, int resolutionWidth, int resolutionHeight);
// Exactly the given size; the zoom is the smaller of the two ratios (HTML export).
TARN_API RenderSize ExactSize(double siteWidth, double siteHeight, int width, int height);

} // namespace ExportGeometry
