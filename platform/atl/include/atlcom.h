#pragma once
// Object side of the template layer: object roots, interface maps, objects, creators, class factories.
#include "atlbase.h"
#include "atlobjectroot.h"
#include "atlobject.h"
#include "atlfactory.h"
