#include "TarnStrings.h"

#include <cstdlib>

namespace {
const char* Fallback(unsigned id)
{
    switch (id) {
    case kIdsDefaultSiteName:
        return "Panel";
    case kIdsSignature:
        return "TARN";
    case kIdsOldestVersion:
        return "1";
    case kIdsNewestVersion:
    case kIdsWrittenVersion:
        return "2";
    case kIdsReadOnlySaveAs:
        return "The file %s is read-only.\nDo you want to save it under another name?";
    case kIdsReadOnlySameName:
        return "The card was opened read-only and cannot be saved over itself.";
    case kIdsCardTooOld:
        return "This card was made by an older version of the program and cannot be opened.";
    case kIdsCardTooNew:
        return "This card was made by a newer version of the program and cannot be opened.";
    default:
        return "";
    }
}
}  // namespace

CString TarnString(unsigned id)
{
    CString text;
    if (!text.LoadString(id) || text.IsEmpty())
        text = Fallback(id);
    return text;
}

int TarnVersionString(unsigned id) { return static_cast<int>(std::strtol(TarnString(id), nullptr, 10)); }
