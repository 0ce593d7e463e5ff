#pragma once
// Property-page maps of the drawing controls: which page shows which property.
#include <windows.h>
#include <oaidl.h>

#include <vector>

struct PropMapEntry {
    LPCOLESTR description;
    DISPID dispid;
    const CLSID* pclsidPropPage;  // null ends the table
    const IID* piidDispatch;
    DWORD dataOffset;
    DWORD dataSize;
    VARTYPE vt;
};

// A class's table: the base entries its own table does not remove (an own entry without a
// description removes the base entry of the same page), then its own described entries, then the
// terminator. The base table is never changed, so classes sharing it do not affect one another.
std::vector<PropMapEntry> MergePropMapEntries(const PropMapEntry* baseTable, const PropMapEntry* ownTable);

int CountPropMapEntries(const PropMapEntry* table);
const PropMapEntry* FindPropMapEntry(const PropMapEntry* table, DISPID dispid);
