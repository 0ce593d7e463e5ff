#pragma once
// What every object of the drawing-controls server shares with the module: where its strings,
// menus and bitmaps come from, the application interface, and the lock of the controls' view records.
#include <windows.h>

#include <string>

struct ITarnApp;

// The resource library (TarnObjRes) once the module has started; until then this module itself.
HINSTANCE ControlsResourceInstance();
void SetControlsResourceInstance(HINSTANCE instance);

// Kept without a reference: the application outlives every control.
ITarnApp* GetTarnApp();
void SetTarnAppPointer(ITarnApp* app);

// One lock shared by all controls for their per-view records.
CRITICAL_SECTION& ControlViewDataLock();

// A string of the resource library; empty when the id is not there.
std::string LoadResourceString(UINT id);
// The module (DLL or program) that holds this code.
HMODULE ThisModule();
