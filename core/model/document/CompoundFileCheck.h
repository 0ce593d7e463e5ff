#pragma once
// A look at a compound file's own structure before the system's storage code opens it: sector
// chains that loop or leave the file, and directory trees that loop, are refused here, because
// the storage code would follow them for ever.
#include <vector>

#include "ClString.h"
#include "TarnApi.h"

// True when the structure holds together; otherwise false with the reason.
TARN_API bool CompoundFileStructureIsSound(const std::vector<unsigned char>& file, CString* reason = nullptr);
TARN_API bool CompoundFileStructureIsSound(LPCSTR path, CString* reason = nullptr);
