#pragma once
// What card tests need of their test controls, without the controls' own headers (which must not
// meet the framework's in one file).
#include <windows.h>
#include <objbase.h>

#include "TarnControls.h"

// {7C1D2E3F-4A5B-4C6D-8E9F-0A1B2C3D4E01}
const CLSID CLSID_CardTestControl = {0x7c1d2e3f, 0x4a5b, 0x4c6d, {0x8e, 0x9f, 0x0a, 0x1b, 0x2c, 0x3d, 0x4e, 0x01}};
// {7C1D2E3F-4A5B-4C6D-8E9F-0A1B2C3D4E02}
const CLSID CLSID_CardUnreadableControl = {0x7c1d2e3f, 0x4a5b, 0x4c6d, {0x8e, 0x9f, 0x0a, 0x1b, 0x2c, 0x3d, 0x4e, 0x02}};

// Registers the test control classes for the life of the object.
class TestControlClasses {
public:
    TestControlClasses();
    ~TestControlClasses();

private:
    DWORD m_cookies[2] = {};
};

// A new plain control with one reference.
IBaseControl* NewCardControl(long label);
long LabelOf(IBaseControl* control);
void SetLabel(IBaseControl* control, long label);
// Makes from name to (kept as its buddy when asked).
void ReferTo(IBaseControl* from, IBaseControl* to, bool asBuddy);
IBaseControl* ReferredOf(IBaseControl* control);
// The control's SaveForViewer when it was last stored; -1 before it ever was.
LONG SavedForViewerOf(IBaseControl* control);
