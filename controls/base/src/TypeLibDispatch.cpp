#include "tarn/TypeLibDispatch.h"

#include <oleauto.h>

#include "TarnControls.h"
#include "tarn/ControlsModuleState.h"

namespace {
ITypeLib* g_typeLib = nullptr;
const GUID kLibraryId = {0x06618E99, 0x6403, 0x11D2, {0xA3, 0x8D, 0x48, 0x54, 0xE8, 0x27, 0xBD, 0x45}};
}  // namespace

HRESULT GetControlsTypeLib(ITypeLib** lib) {
    if (!lib) return E_POINTER;
    *lib = nullptr;
    if (!g_typeLib) {
        // This module's own copy first: a registered library may belong to another build.
        wchar_t path[MAX_PATH];
        const DWORD length = GetModuleFileNameW(ThisModule(), path, MAX_PATH);
        ITypeLib* loaded = nullptr;
        HRESULT hr = length && length < MAX_PATH ? LoadTypeLibEx(path, REGKIND_NONE, &loaded) : E_FAIL;
        if (FAILED(hr)) hr = LoadRegTypeLib(kLibraryId, 1, 0, LOCALE_NEUTRAL, &loaded);
        if (FAILED(hr)) return hr;
        g_typeLib = loaded;
    }
    g_typeLib->AddRef();
    *lib = g_typeLib;
    return S_OK;
}

HRESULT GetControlsTypeInfo(REFIID iid, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    ITypeLib* lib = nullptr;
    HRESULT hr = GetControlsTypeLib(&lib);
    if (FAILED(hr)) return hr;
    hr = lib->GetTypeInfoOfGuid(iid, info);
    lib->Release();
    return hr;
}

void ReleaseControlsTypeLib() {
    if (g_typeLib) g_typeLib->Release();
    g_typeLib = nullptr;
}
