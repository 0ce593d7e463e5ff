#pragma once
// The placement matrix lives in the shared geometry library; the interface header comes first so
// that its records are the ones in use.
#include <windows.h>

#include "TarnControls.h"
#include "geometry/AffineMatrix.h"
