#include "ControlInfo.h"

CControlInfoArray g_arrControlInfo;

int FindControlInfoIndex(int commandID)
{
    const DWORD key = static_cast<DWORD>(commandID) & 0xFFFF;
    for (int i = 0; i < g_arrControlInfo.GetSize(); ++i)
        if ((g_arrControlInfo[i].commandId & 0xFFFF) == key)
            return i;
    return -1;
}

const CLSID* FindControlCLSIDByTypeID(int typeID)
{
    for (int i = 0; i < g_arrControlInfo.GetSize(); ++i)
        if (g_arrControlInfo[i].typeId == static_cast<DWORD>(typeID))
            return g_arrControlInfo[i].clsid;
    return nullptr;
}

int FindControlTypeIDByToolID(int toolID)
{
    for (int i = 0; i < g_arrControlInfo.GetSize(); ++i)
        if (g_arrControlInfo[i].toolId == static_cast<DWORD>(toolID))
            return static_cast<int>(g_arrControlInfo[i].typeId);
    return 0;
}
