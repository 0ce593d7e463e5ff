#include "ViewerHotSpot.h"

namespace {
const uint32_t kHotSpotShape = 0x40001001;
const uint32_t kHotSpotTarget = 0x40001002;
}

int CViewerHotSpot::OnLoadProperties(CViewerPropertyBag& bag)
{
    bag.GetValue(kHotSpotShape, shape);
    bag.GetValue(kHotSpotTarget, targetPage);
    return 0;
}
