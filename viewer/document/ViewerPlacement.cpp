#include "ViewerPlacement.h"

int CViewerPlacement::OnLoadProperties(CViewerPropertyBag& bag)
{
    bag.GetValue(0x40001001u, x);
    bag.GetValue(0x40001002u, y);
    bag.GetValue(0x40001003u, printed);
    bag.GetValue(0x40001004u, siteId);
    bag.GetValue(0x40001005u, angle);
    bag.GetValue(0x40001006u, horizontalFlip);
    bag.GetValue(0x40001007u, verticalFlip);
    return 0;
}

int CCardViewerPlacement::OnLoadProperties(CViewerPropertyBag& bag)
{
    bag.GetValue("RelativPos", relative);
    return CViewerPlacement::OnLoadProperties(bag);
}
