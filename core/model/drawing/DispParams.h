#pragma once
#include <windows.h>
#include <oaidl.h>

#include "TarnApi.h"

// Deep copy of dispatch-call parameters into dst (whose old arrays are not freed). With counted
// nonzero, an argument that fails to copy becomes VT_ERROR holding the failure; otherwise it stays
// empty. No arguments (or no named arguments) give a null array.
TARN_API void CopyDispParams(DISPPARAMS* dst, const DISPPARAMS* src, int counted);

// Frees what CopyDispParams allocated, clearing every argument, and leaves dst empty.
TARN_API void FreeDispParams(DISPPARAMS* dst, int counted);
