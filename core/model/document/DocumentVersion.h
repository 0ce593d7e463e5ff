#pragma once
// The version of the document being loaded on this thread, for objects whose stored form
// changed between versions. 0 outside a load. Kept in the exported slot dwTlsIdxDocVersion.
#include "TarnApi.h"

TARN_API int GetLoadingDocumentVersion();
TARN_API void SetLoadingDocumentVersion(int version);
