#include "atlfactory.h"

STDMETHODIMP CComClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!m_createInstance) return E_UNEXPECTED;
    // An aggregated object can only be handed out through its own (non-delegating) IUnknown.
    if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    return m_createInstance(outer, iid, ppv);
}

STDMETHODIMP CComClassFactory::LockServer(BOOL lock) {
    if (lock)
        AtlModuleLock();
    else
        AtlModuleUnlock();
    return S_OK;
}
