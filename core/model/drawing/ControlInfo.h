#pragma once
#include <windows.h>

#include "ClCollTempl.h"
#include "TarnApi.h"

// One known kind of drawing control: the command that inserts it, its class, its tool and its type.
struct tagControlInfo {
    DWORD commandId;  // only the low 16 bits count
    const CLSID* clsid;
    DWORD toolId;
    DWORD typeId;
    DWORD reserved;
};

typedef CArray<tagControlInfo, const tagControlInfo&> CControlInfoArray;

// Filled once by the application at start and only read afterwards.
extern TARN_API CControlInfoArray g_arrControlInfo;

// Index of the first entry whose command id equals the low 16 bits of commandID, or -1.
TARN_API int FindControlInfoIndex(int commandID);
// Class of the first entry with that type, or null.
TARN_API const CLSID* FindControlCLSIDByTypeID(int typeID);
// Type of the first entry with that tool, or 0.
TARN_API int FindControlTypeIDByToolID(int toolID);
