#pragma once
// The editing view's zoom rules: the limits that keep the scrollable extent inside the scroll
// range (and, on request, the site over the whole client area), the clamping of a requested zoom,
// and the zoom that fits a document rectangle into the client area.
#include <windows.h>

#include "ClGeometry.h"
#include "PointF.h"
#include "RectF.h"
#include "TarnApi.h"
#include "ViewMapping.h"  // kViewPixelsPerInch

// Share of the client extent left free on each side when a rectangle is fitted with margins.
constexpr double kViewMarginFraction = 0.05;
// Lowest zoom when the site need not cover the client area.
constexpr double kViewFreeMinZoom = 0.05;
// Scroll ranges: 15 bits on systems that report themselves as non-NT, 16 bits otherwise.
constexpr int kScrollRangeOld = 16383;
constexpr int kScrollRangeNT = 32767;
// Zooms closer than this count as the same.
constexpr double kZoomEpsilon = 1e-10;

struct ViewZoomLimits {
    double minZoom;
    double maxZoom;
};

// area: the scrollable site area in inches; oldScrollRange: the platform's version value has its
// top bit set. A site without width or height sets no limit on that axis.
TARN_API ViewZoomLimits ComputeViewZoomLimits(const CRectF& area, CSize client, bool restrictVisibleArea,
                                               bool oldScrollRange);
// Whether the running system reports itself as non-NT (the top bit of its version value).
TARN_API bool IsOldScrollRangeSystem();

// The zoom a request ends at: below the minimum the minimum, at or above the maximum the maximum.
// A request that is not a finite number keeps the current zoom.
TARN_API double ClampViewZoom(double requested, double current, const ViewZoomLimits& limits);
// Whether going from one zoom to another does anything (or is forced).
TARN_API bool IsViewZoomChange(double from, double to, bool force);

// The client extent a fitted rectangle may use: without a scroll bar now, the room that bar will
// take once shown is subtracted, so the fit still holds when it appears.
TARN_API CSize ViewFitClientSize(CSize client, bool hasHorzBar, bool hasVertBar, int horzBarHeight, int vertBarWidth);
// An extent with the margins taken off both sides: e + trunc(-2e x 0.05).
TARN_API int ViewExtentWithoutMargins(int extent);

// What fitting a rectangle does: the zoom to set (only when setZoom) and the document point to
// put in the centre. An axis on which the rectangle has no extent sets no limit; a rectangle with
// no extent at all (a point) only centres it.
struct ViewRectFit {
    bool setZoom;
    double zoom;
    CPointF centre;
};
TARN_API ViewRectFit FitViewToRect(const CRectF& rect, CSize fitClient, bool withMargins);

// The zoom "zoom to page" would choose, without the scroll-bar correction.
TARN_API double ViewPageZoom(const CRectF& pageArea, CSize client);
