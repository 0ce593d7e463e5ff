#include "ExportGeometry.h"
#include <algorithm>

namespace ExportGeometry {

namespace {
CString Numbered(const CString& base, const char* infix, int number, const char* extension)
{
    CString name;
    name.Format("%s%s%02d%s", static_cast<LPCSTR>(base), infix, number, extension);
    return name;
}
}

CString ImageFileName(const CString& base, int number, const char* extension)
{
    return Numbered(base, "_Frame", number, extension);
}

CString PageFileName(const CString& base, int page)
{
    return page == 0 ? base + ".htm" : Numbered(base, "_Page", page, ".htm");
}

int QualityFactor(int quality)
{
    const int factor = 256 - static_cast<int>(quality * 2.55);
    return std::min(255, std::max(2, factor));
}

int HtmlTargetWidth(int resolutionWidth)
{
    return resolutionWidth - 2 * GetSystemMetrics(SM_CXHSCROLL);
}

RenderSize FitIntoResolution(double siteWidth, double siteHeight, int resolutionWidth, int resolutionHeight)
{
    const double byWidth = resolutionWidth / siteWidth, byHeight = resolutionHeight / siteHeight;
    if (byWidth > byHeight)
        return {static_cast<int>(byHeight * siteWidth), resolutionHeight, byHeight};
    return {resolutionWidth, static_cast<int>(byWidth * siteHeight), byWidth};
}

RenderSize ExactSize(double siteWidth, double siteHeight, int width, int height)
{
    return {width, height, std::min(width / siteWidth, height / siteHeight)};
}

} // namespace ExportGeometry
