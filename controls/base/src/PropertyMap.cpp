#include "tarn/PropertyMap.h"

int CountPropMapEntries(const PropMapEntry* table) {
    int n = 0;
    if (table)
        while (table[n].pclsidPropPage) ++n;
    return n;
}

std::vector<PropMapEntry> MergePropMapEntries(const PropMapEntry* baseTable, const PropMapEntry* ownTable) {
    const int baseCount = CountPropMapEntries(baseTable);
    const int ownCount = CountPropMapEntries(ownTable);
    std::vector<bool> removed(baseCount, false);
    for (int i = 0; i < ownCount; ++i) {
        if (ownTable[i].description) continue;
        for (int b = 0; b < baseCount; ++b)
            if (baseTable[b].pclsidPropPage == ownTable[i].pclsidPropPage) removed[b] = true;
    }
    std::vector<PropMapEntry> merged;
    for (int b = 0; b < baseCount; ++b)
        if (!removed[b]) merged.push_back(baseTable[b]);
    for (int i = 0; i < ownCount; ++i)
        if (ownTable[i].description) merged.push_back(ownTable[i]);
    merged.push_back(PropMapEntry{nullptr, 0, nullptr, nullptr, 0, 0, 0});
    return merged;
}

const PropMapEntry* FindPropMapEntry(const PropMapEntry* table, DISPID dispid) {
    for (int i = 0; table && table[i].pclsidPropPage; ++i)
        if (table[i].dispid == dispid) return &table[i];
    return nullptr;
}
