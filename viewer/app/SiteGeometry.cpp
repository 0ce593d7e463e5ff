#include "SiteGeometry.h"

CRectD CardSiteRect(const CViewerBackground& background, bool withMargins)
{
    const CRectD& r = background.rect;
    const CRectD& m = background.margins;
    CRectD result;
    if (withMargins) {
        result.right = r.right - m.left - (r.left - m.left);
        result.bottom = r.bottom - m.top - (r.top - m.top);
    } else {
        result.right = r.right - m.right - m.left - r.left;
        result.bottom = r.bottom - m.bottom - m.top - r.top;
    }
    return result;
}

double CardSiteAspect(const CViewerBackground& background)
{
    const CRectD rect = CardSiteRect(background, false);
    if (!(rect.Width() > 0) || !(rect.Height() > 0))
        return 0;
    return rect.Width() / rect.Height();
}
