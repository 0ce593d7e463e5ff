#pragma once
// The operation codes of IBaseControl::ShapeOperation and SupportsShapeOperation.
#include <windows.h>

enum : LONG { kToCurves = 1, kCombine = 2, kAdd = 3, kSubtract = 4, kIntersect = 5, kFitToPath = 6 };
