#include "atlobjectroot.h"

HRESULT CComObjectRootBase::QueryByMap(void* object, const ComMapEntry* map, REFIID iid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!map || !map->piid) return E_NOINTERFACE;
    char* base = static_cast<char*>(object);
    if (IsEqualIID(iid, IID_IUnknown)) {
        auto* unknown = reinterpret_cast<IUnknown*>(base + map->offset);
        unknown->AddRef();
        *ppv = unknown;
        return S_OK;
    }
    for (const ComMapEntry* entry = map; entry->piid; ++entry) {
        if (!IsEqualIID(iid, *entry->piid)) continue;
        if (entry->resolve) {
            HRESULT hr = entry->resolve(object, iid, ppv, entry->offset);
            if (hr == S_OK) return hr;
            continue;
        }
        auto* unknown = reinterpret_cast<IUnknown*>(base + entry->offset);
        unknown->AddRef();
        *ppv = unknown;
        return S_OK;
    }
    return E_NOINTERFACE;
}
