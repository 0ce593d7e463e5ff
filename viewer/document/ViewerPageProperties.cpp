#include "ViewerPageProperties.h"

int CViewerPageProperties::OnLoadProperties(CViewerPropertyBag& bag)
{
    // Top and right margins sit under crossed ids: the margins are stored as one rectangle.
    bag.GetValue(0x40001001u, geometry.width);
    bag.GetValue(0x40001002u, geometry.height);
    bag.GetValue(0x40001003u, geometry.leftMargin);
    bag.GetValue(0x40001005u, geometry.topMargin);
    bag.GetValue(0x40001004u, geometry.rightMargin);
    bag.GetValue(0x40001006u, geometry.bottomMargin);
    return 0;
}

int CCardViewerPageProperties::OnLoadProperties(CViewerPropertyBag& bag)
{
    bag.GetValue(0x40002001u, spacing);
    // The front-side flag is stored in one byte; the rest of the field is cleared by the getter.
    bag.GetValue(0x40002002u, frontSide);
    bag.GetValue(0x40002003u, foldLine);
    return CViewerPageProperties::OnLoadProperties(bag);
}
