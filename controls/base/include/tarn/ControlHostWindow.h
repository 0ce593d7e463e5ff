#pragma once
// The "AtlAxWin" window class: a child window that creates the control named by its window text
// (a class identifier in braces or a ProgID) and keeps it in-place active over its client area.
// The property pages put such windows into their dialogs to show composite controls.
#include <windows.h>

// Registers the two messages and the class under the module's window-creation lock.
void RegisterControlHostWindowClass(HINSTANCE instance, CRITICAL_SECTION& windowCreateLock);

// "WM_ATLGETCONTROL": answers the hosted control's IUnknown with a reference the caller releases
// (0 when the window hosts nothing). "WM_ATLGETHOST": the same for the host object.
UINT ControlHostGetControlMessage();
UINT ControlHostGetHostMessage();
