// The interface and class ids of the controls' type library, defined once in this program.
#include <initguid.h>

#include "TarnControls.h"
