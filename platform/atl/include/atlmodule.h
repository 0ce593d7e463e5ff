#pragma once
// The server module: object map, lock count, class-factory cache, registration and the helpers
// behind a server's exported DllGetClassObject, DllCanUnloadNow, DllRegisterServer, DllUnregisterServer.
#include <windows.h>
#include <unknwn.h>
#include <vector>
#include <string>

struct AtlCategoryMapEntry;

// One creatable class of a server.
struct _ATL_OBJMAP_ENTRY {
    const CLSID* pclsid;
    HRESULT(WINAPI* pfnUpdateRegistry)(BOOL bRegister);
    HRESULT(WINAPI* pfnGetClassObject)(void* pv, REFIID iid, void** ppv);  // makes the class factory
    HRESULT(WINAPI* pfnCreateInstance)(void* pv, REFIID iid, void** ppv);  // makes one object
    IUnknown* pCF;        // cached class factory, made at the first request
    DWORD dwRegister;     // cookie of a CoRegisterClassObject registration
    LPCTSTR(WINAPI* pfnGetObjectDescription)();
    const AtlCategoryMapEntry*(WINAPI* pfnGetCategoryMap)();
    void(WINAPI* pfnObjectMain)(bool bStarting);
};

#define BEGIN_OBJECT_MAP(x) static _ATL_OBJMAP_ENTRY x[] = {
#define OBJECT_ENTRY(clsid, cls)                                                                   \
    {&(clsid), cls::UpdateRegistry, cls::_ClassFactoryCreatorClass::CreateInstance,                \
     cls::_CreatorClass::CreateInstance, nullptr, 0, cls::GetObjectDescription,                    \
     cls::GetCategoryMap, cls::ObjectMain},
#define END_OBJECT_MAP()                                                                           \
    {nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr, nullptr, nullptr}};

// A name/value pair substituted into registration scripts as %NAME%.
struct RegistryReplacement {
    std::wstring name;
    std::wstring value;
};

class CComModule {
public:
    CComModule() = default;
    CComModule(const CComModule&) = delete;
    CComModule& operator=(const CComModule&) = delete;
    ~CComModule();

    // Makes this the process's module; plibid names the type library held as resource TYPELIB 1.
    HRESULT Init(_ATL_OBJMAP_ENTRY* objectMap, HINSTANCE instance, const GUID* plibid = nullptr);
    // Releases the cached factories, runs the termination functions; safe to call twice.
    void Term();

    LONG Lock();
    LONG Unlock();
    LONG GetLockCount() const { return m_lockCount; }

    HINSTANCE GetModuleInstance() const { return m_instance; }
    HINSTANCE GetResourceInstance() const { return m_resourceInstance; }
    void SetResourceInstance(HINSTANCE instance) { m_resourceInstance = instance; }
    // Where registration scripts are looked up; the module itself unless a server keeps them elsewhere.
    HINSTANCE GetRegistryResourceInstance() const { return m_registryInstance; }
    void SetRegistryResourceInstance(HINSTANCE instance) { m_registryInstance = instance; }
    std::wstring GetModulePath() const;
    _ATL_OBJMAP_ENTRY* GetObjectMap() const { return m_objectMap; }

    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** ppv);
    HRESULT CanUnloadNow() const { return m_lockCount == 0 ? S_OK : S_FALSE; }

    // Runs every entry's script in map order and stops at the first failure; then the type library.
    HRESULT RegisterServer(BOOL registerTypeLib = FALSE, const CLSID* onlyClass = nullptr);
    // Runs every entry's script for removal; failures do not stop the others.
    HRESULT UnregisterServer(BOOL unregisterTypeLib = FALSE, const CLSID* onlyClass = nullptr);
    HRESULT RegisterTypeLib() const;
    HRESULT UnRegisterTypeLib() const;

    // Runs the script stored as resource (type "REGISTRY") nResID, with %MODULE% and the extras replaced.
    HRESULT UpdateRegistryFromResource(UINT nResID, BOOL bRegister,
                                       const std::vector<RegistryReplacement>& extra = {});

    void AddTermFunc(void (*fn)(DWORD_PTR), DWORD_PTR data);

    // Guards the lazy creation of class factories.
    CRITICAL_SECTION m_csObjMap;
    // Guards window creation of classes that make windows (control hosting).
    CRITICAL_SECTION m_csWindowCreate;
    // General module lock.
    CRITICAL_SECTION m_csStaticDataInit;

private:
    _ATL_OBJMAP_ENTRY* m_objectMap = nullptr;
    HINSTANCE m_instance = nullptr;
    HINSTANCE m_resourceInstance = nullptr;
    HINSTANCE m_registryInstance = nullptr;
    const GUID* m_libid = nullptr;
    volatile LONG m_lockCount = 0;
    bool m_initialised = false;
    std::vector<std::pair<void (*)(DWORD_PTR), DWORD_PTR>> m_termFunctions;
};

// The module of this process's server, set by CComModule::Init; null before.
CComModule* AtlModule();
// Lock-count helpers that objects call; they do nothing when no module was initialised.
void AtlModuleLock();
void AtlModuleUnlock();
