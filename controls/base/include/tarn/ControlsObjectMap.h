#pragma once
// The creatable classes of the drawing-controls server, in registration order.
#include "atlmodule.h"

_ATL_OBJMAP_ENTRY* ControlsObjectMap();
