#include "atlmodule.h"
#include "atlregistrar.h"

namespace {
CComModule* g_module = nullptr;
}

CComModule* AtlModule() { return g_module; }

void AtlModuleLock() {
    if (g_module) g_module->Lock();
}

void AtlModuleUnlock() {
    if (g_module) g_module->Unlock();
}

CComModule::~CComModule() { Term(); }

HRESULT CComModule::Init(_ATL_OBJMAP_ENTRY* objectMap, HINSTANCE instance, const GUID* plibid) {
    if (m_initialised) return S_OK;
    m_objectMap = objectMap;
    m_instance = instance;
    m_resourceInstance = instance;
    m_registryInstance = instance;
    m_libid = plibid;
    m_lockCount = 0;
    ::InitializeCriticalSection(&m_csObjMap);
    ::InitializeCriticalSection(&m_csWindowCreate);
    ::InitializeCriticalSection(&m_csStaticDataInit);
    m_initialised = true;
    g_module = this;
    for (_ATL_OBJMAP_ENTRY* entry = m_objectMap; entry && entry->pclsid; ++entry) {
        if (entry->pfnObjectMain) entry->pfnObjectMain(true);
    }
    return S_OK;
}

void CComModule::Term() {
    if (!m_initialised) return;
    for (_ATL_OBJMAP_ENTRY* entry = m_objectMap; entry && entry->pclsid; ++entry) {
        if (entry->pCF) {
            IUnknown* factory = entry->pCF;
            entry->pCF = nullptr;
            factory->Release();
        }
        if (entry->pfnObjectMain) entry->pfnObjectMain(false);
    }
    for (auto& term : m_termFunctions) term.first(term.second);
    m_termFunctions.clear();
    ::DeleteCriticalSection(&m_csObjMap);
    ::DeleteCriticalSection(&m_csWindowCreate);
    ::DeleteCriticalSection(&m_csStaticDataInit);
    m_initialised = false;
    if (g_module == this) g_module = nullptr;
}

LONG CComModule::Lock() { return ::InterlockedIncrement(&m_lockCount); }

LONG CComModule::Unlock() { return ::InterlockedDecrement(&m_lockCount); }

std::wstring CComModule::GetModulePath() const {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = ::GetModuleFileNameW(m_instance, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

HRESULT CComModule::GetClassObject(REFCLSID clsid, REFIID iid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!m_initialised) return E_UNEXPECTED;
    for (_ATL_OBJMAP_ENTRY* entry = m_objectMap; entry && entry->pclsid; ++entry) {
        if (!IsEqualCLSID(clsid, *entry->pclsid)) continue;
        if (!entry->pCF) {
            ::EnterCriticalSection(&m_csObjMap);
            HRESULT hr = S_OK;
            if (!entry->pCF) {
                hr = entry->pfnGetClassObject(reinterpret_cast<void*>(entry->pfnCreateInstance), IID_IUnknown,
                                              reinterpret_cast<void**>(&entry->pCF));
            }
            ::LeaveCriticalSection(&m_csObjMap);
            if (FAILED(hr)) return hr;
        }
        return entry->pCF->QueryInterface(iid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT CComModule::RegisterServer(BOOL registerTypeLib, const CLSID* onlyClass) {
    for (_ATL_OBJMAP_ENTRY* entry = m_objectMap; entry && entry->pclsid; ++entry) {
        if (onlyClass && !IsEqualCLSID(*onlyClass, *entry->pclsid)) continue;
        HRESULT hr = entry->pfnUpdateRegistry(TRUE);
        if (FAILED(hr)) return hr;
    }
    return registerTypeLib ? RegisterTypeLib() : S_OK;
}

HRESULT CComModule::UnregisterServer(BOOL unregisterTypeLib, const CLSID* onlyClass) {
    for (_ATL_OBJMAP_ENTRY* entry = m_objectMap; entry && entry->pclsid; ++entry) {
        if (onlyClass && !IsEqualCLSID(*onlyClass, *entry->pclsid)) continue;
        entry->pfnUpdateRegistry(FALSE);
    }
    if (unregisterTypeLib) UnRegisterTypeLib();
    return S_OK;
}

HRESULT CComModule::RegisterTypeLib() const { return AtlRegisterTypeLib(m_instance); }

HRESULT CComModule::UnRegisterTypeLib() const { return AtlUnRegisterTypeLib(m_instance); }

HRESULT CComModule::UpdateRegistryFromResource(UINT nResID, BOOL bRegister,
                                               const std::vector<RegistryReplacement>& extra) {
    CRegistrar registrar;
    registrar.AddReplacement(L"MODULE", GetModulePath());
    for (const auto& replacement : extra) registrar.AddReplacement(replacement.name, replacement.value);
    return bRegister ? registrar.ResourceRegister(m_registryInstance, nResID)
                     : registrar.ResourceUnregister(m_registryInstance, nResID);
}

void CComModule::AddTermFunc(void (*fn)(DWORD_PTR), DWORD_PTR data) {
    if (fn) m_termFunctions.emplace_back(fn, data);
}
