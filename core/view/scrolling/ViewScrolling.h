#pragma once
// Scroll sizes, the place of the site in the scrollable area, the clamping of a scroll position
// and the targets of the scrolling keys of the editing view. All values are view pixels.
#include <windows.h>

#include "ClGeometry.h"
#include "RectF.h"
#include "TarnApi.h"

// The scrollable extent of the site area at k pixels per inch.
TARN_API CSize ViewScrollTotal(const CRectF& area, double k);
// A page of scrolling: three quarters of the client extent.
TARN_API CSize ViewScrollPage(CSize client);
// Where the document origin lies in the scrollable area. A site narrower (lower) than the client
// area is centred on that axis unless the visible area is restricted.
TARN_API CPoint ViewSiteOffset(const CRectF& area, double k, CSize client, bool restrictVisibleArea);
// The scroll position nearest the wanted one that keeps the client area inside the total.
TARN_API CPoint ClampViewScroll(CPoint wanted, CSize total, CSize client);

// The site's extreme coordinates, already turned into scroll positions.
struct ViewSiteEdges {
    int left;
    int top;
    int right;
    int bottom;
};
// The scroll position a scrolling key leads to (before clamping); the unchanged position for
// other keys.
TARN_API CPoint ViewKeyScrollTarget(UINT vk, bool shift, CPoint scroll, CSize client, const ViewSiteEdges& edges);
