#pragma once
#include "ViewerPersistent.h"

// A hot spot of a card background: a shape that leads to another page.
class CViewerHotSpot : public CViewerPersistent
{
public:
    CViewerHotSpot() : CViewerPersistent("CPersistent") {}
    int OnLoadProperties(CViewerPropertyBag& bag) override;

    int shape = 0;
    int targetPage = 0;
};
