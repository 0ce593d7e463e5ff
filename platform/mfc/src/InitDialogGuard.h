#pragma once
// WM_INITDIALOG runs inside the system's dialog code, which an exception must never cross.
#include "ClDialog.h"

// Calls dialog->OnInitDialog(). An exception it throws is reported through the application (or
// on its own when there is none) and *failed is set; the caller then closes the window its own way.
BOOL CallOnInitDialogGuarded(CDialog* dialog, HWND hWnd, bool* failed);
