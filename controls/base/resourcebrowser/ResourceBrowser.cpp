#include "resourcebrowser/ResourceBrowser.h"

#include "tarn/ControlsModuleState.h"

namespace {
HRESULT LoadMenuCopy(UINT id, HMENU* menu) {
    if (!menu) return E_POINTER;
    // A fresh copy on every call: the caller merges and destroys it.
    *menu = ::LoadMenuA(ControlsResourceInstance(), MAKEINTRESOURCEA(id));
    return S_OK;
}
}  // namespace

STDMETHODIMP CResourceBrowser::FindString(UINT id, LPSTR buffer, long bufferLength, VARIANT_BOOL* found) {
    if (!found) return E_POINTER;
    *found = VARIANT_FALSE;
    if (!buffer || bufferLength <= 0) return S_OK;
    HINSTANCE library = ControlsResourceInstance();
    // Strings live sixteen to a block; a missing block means a missing string.
    if (!::FindResourceA(library, MAKEINTRESOURCEA(id / 16 + 1), MAKEINTRESOURCEA(6) /* RT_STRING */))
        return S_OK;
    if (::LoadStringA(library, id, buffer, static_cast<int>(bufferLength)) > 0) *found = VARIANT_TRUE;
    return S_OK;
}

STDMETHODIMP CResourceBrowser::GetMainFrameMenuHandle(HMENU* menu) { return LoadMenuCopy(kMainFrameMenuId, menu); }

STDMETHODIMP CResourceBrowser::GetDocumentMenuHandle(HMENU* menu) { return LoadMenuCopy(kDocumentMenuId, menu); }

STDMETHODIMP CResourceBrowser::GetResourceInstance(LONG_PTR* instance) {
    if (!instance) return E_POINTER;
    *instance = reinterpret_cast<LONG_PTR>(ControlsResourceInstance());
    return S_OK;
}

STDMETHODIMP CResourceBrowser::GetComponentToolbarID(UINT* id) {
    if (!id) return E_POINTER;
    *id = kComponentToolbarId;
    return S_OK;
}

STDMETHODIMP CResourceBrowser::GetAcceleratorTableID(UINT* id) {
    if (!id) return E_POINTER;
    *id = kAcceleratorTableId;
    return S_OK;
}
