#pragma once
// What the editing view passes, by pointer in lParam, when it asks the notificator to start
// inserting a control. Fields after these belong to the view and are not read here.
#include <windows.h>

struct IPropChanger;

struct NewControlRequest {
    const CLSID* controlClsid;          // the class of the control to insert
    long controlId;                     // low 16 bits: the tool command that asked for it
    IPropChanger* defaultProperties;    // may be null
};

// The messages the notificator answers through IOleInPlaceObjectWindowless::OnWindowMessage.
constexpr UINT kStopInsertingMessage = WM_USER + 1;
constexpr UINT kStartInsertingMessage = WM_USER + 2;
