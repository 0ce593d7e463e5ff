#pragma once
// Joining the resources of two modules: the drawing server's menus and accelerators are added
// after the shell's own.
#include <windows.h>

#include "TarnApi.h"

// Moves every top-level item of source to the end of target (popups change owner, so the caller
// may destroy source afterwards). Returns the number of items moved.
TARN_API int AppendMenuItems(HMENU target, HMENU source);

// A new table holding first's entries followed by second's; either may be null. Where both bind
// the same key, first's entry wins. Null when both are empty.
TARN_API HACCEL AppendAccelerators(HACCEL first, HACCEL second);
