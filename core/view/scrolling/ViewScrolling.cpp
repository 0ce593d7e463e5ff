#include "ViewScrolling.h"

#include <algorithm>

#include "NumericHelpers.h"

CSize ViewScrollTotal(const CRectF& area, double k)
{
    return CSize(__round(k * (area.right - area.left)), __round(k * (area.bottom - area.top)));
}

CSize ViewScrollPage(CSize client)
{
    return CSize(static_cast<int>(client.cx * 0.75), static_cast<int>(client.cy * 0.75));
}

CPoint ViewSiteOffset(const CRectF& area, double k, CSize client, bool restrictVisibleArea)
{
    CPoint offset(__round(-k * area.left), __round(-k * area.top));
    if (!restrictVisibleArea) {
        const CSize total = ViewScrollTotal(area, k);
        if (total.cx < client.cx) offset.x += (client.cx - total.cx) / 2;
        if (total.cy < client.cy) offset.y += (client.cy - total.cy) / 2;
    }
    return offset;
}

CPoint ClampViewScroll(CPoint wanted, CSize total, CSize client)
{
    // The far limit first, then the near one: a total smaller than the client area scrolls to 0.
    const int x = std::max(0, std::min(static_cast<int>(wanted.x), static_cast<int>(total.cx - client.cx)));
    const int y = std::max(0, std::min(static_cast<int>(wanted.y), static_cast<int>(total.cy - client.cy)));
    return CPoint(x, y);
}

CPoint ViewKeyScrollTarget(UINT vk, bool shift, CPoint scroll, CSize client, const ViewSiteEdges& edges)
{
    CPoint p = scroll;
    const int step = shift ? 5 : 1;
    switch (vk) {
    case VK_PRIOR:
        p.y = shift ? edges.top - __trunc(0.05 * client.cy) : p.y - __trunc(0.75 * client.cy);
        break;
    case VK_NEXT:
        p.y = shift ? edges.bottom - __trunc(0.95 * client.cy) : p.y + __trunc(0.75 * client.cy);
        break;
    case VK_END:
        p.x = shift ? edges.right - __trunc(0.95 * client.cx) : p.x + __trunc(0.75 * client.cx);
        break;
    case VK_HOME:
        p.x = shift ? edges.left - __trunc(0.05 * client.cx) : p.x - __trunc(0.75 * client.cx);
        break;
    case VK_LEFT: p.x -= step; break;
    case VK_UP: p.y -= step; break;
    case VK_RIGHT: p.x += step; break;
    case VK_DOWN: p.y += step; break;
    default: break;
    }
    return p;
}
