#pragma once
// Error information for dispatch callers: the description travels with the failing HRESULT.
#include <windows.h>
#include <oleauto.h>

// Sets the thread's error information (source: the class's ProgID, description, interface) and
// returns hr, so that a method can end with `return AtlReportError(...)`.
HRESULT AtlReportError(const CLSID& clsid, LPCOLESTR description, const IID& iid = GUID_NULL, HRESULT hr = E_FAIL);
