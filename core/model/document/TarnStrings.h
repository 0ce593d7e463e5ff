#pragma once
// Texts of the document from the resource library, with the stored format's own values as the
// fallback when the library isn't there.
#include "ClString.h"
#include "TarnApi.h"

enum : unsigned {
    kIdsDefaultSiteName = 12018,
    kIdsSignature = 12067,
    kIdsOldestVersion = 12068,
    kIdsNewestVersion = 12069,
    kIdsWrittenVersion = 12070,
    kIdsReadOnlySaveAs = 12139,
    kIdsReadOnlySameName = 12140,
    kIdsCardTooOld = 12282,
    kIdsCardTooNew = 12283,
};

TARN_API CString TarnString(unsigned id);
// A version number held in a string resource (base 10).
TARN_API int TarnVersionString(unsigned id);
