#include "ViewZoom.h"

#include <algorithm>
#include <cmath>

#include "NumericHelpers.h"

ViewZoomLimits ComputeViewZoomLimits(const CRectF& area, CSize client, bool restrictVisibleArea, bool oldScrollRange)
{
    const double w = area.right - area.left;
    const double h = area.bottom - area.top;
    ViewZoomLimits limits{kViewFreeMinZoom, 0.0};
    if (restrictVisibleArea) {
        // The site must cover the client area on both axes.
        double least = 0.0;
        if (w > 0) least = std::max(least, client.cx / (kViewPixelsPerInch * w));
        if (h > 0) least = std::max(least, client.cy / (kViewPixelsPerInch * h));
        limits.minZoom = least > 0 ? least : kViewFreeMinZoom;
    }
    const double range = oldScrollRange ? kScrollRangeOld : kScrollRangeNT;
    const double longest = std::max(w, h);
    // A site without extent cannot overflow the scroll range: it is limited like a one-inch site.
    limits.maxZoom = range / (kViewPixelsPerInch * (longest > 0 ? longest : 1.0));
    return limits;
}

bool IsOldScrollRangeSystem()
{
    return (::GetVersion() & 0x80000000u) != 0;
}

double ClampViewZoom(double requested, double current, const ViewZoomLimits& limits)
{
    if (!std::isfinite(requested)) return current;
    double zoom = requested;
    if (zoom < limits.minZoom) zoom = limits.minZoom;
    if (zoom >= limits.maxZoom) zoom = limits.maxZoom;
    return zoom;
}

bool IsViewZoomChange(double from, double to, bool force)
{
    return force || std::fabs(to - from) >= kZoomEpsilon;
}

CSize ViewFitClientSize(CSize client, bool hasHorzBar, bool hasVertBar, int horzBarHeight, int vertBarWidth)
{
    CSize fit = client;
    if (!hasHorzBar) fit.cy -= horzBarHeight;
    if (!hasVertBar) fit.cx -= vertBarWidth;
    return fit;
}

int ViewExtentWithoutMargins(int extent)
{
    return extent + __trunc(-2.0 * extent * kViewMarginFraction);
}

ViewRectFit FitViewToRect(const CRectF& rect, CSize fitClient, bool withMargins)
{
    int cx = fitClient.cx;
    int cy = fitClient.cy;
    if (withMargins) {
        cx = ViewExtentWithoutMargins(cx);
        cy = ViewExtentWithoutMargins(cy);
    }
    const double w = std::fabs(rect.right - rect.left);
    const double h = std::fabs(rect.bottom - rect.top);
    ViewRectFit fit{false, 0.0, CPointF((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2)};
    if (w > 0 && h > 0) {
        fit.zoom = std::min(cx / (kViewPixelsPerInch * w), cy / (kViewPixelsPerInch * h));
        fit.setZoom = true;
    } else if (w > 0) {
        fit.zoom = cx / (kViewPixelsPerInch * w);
        fit.setZoom = true;
    } else if (h > 0) {
        fit.zoom = cy / (kViewPixelsPerInch * h);
        fit.setZoom = true;
    }
    return fit;
}

double ViewPageZoom(const CRectF& pageArea, CSize client)
{
    const ViewRectFit fit = FitViewToRect(pageArea, client, true);
    return fit.setZoom ? fit.zoom : 1.0;
}
