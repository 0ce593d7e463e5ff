// Start-up, shut-down and the four exported entry points of the drawing-controls server.
#include <windows.h>

#include "TarnControls.h"
#include "atlmodule.h"
#include "tarn/ControlHostWindow.h"
#include "tarn/ControlsModuleState.h"
#include "tarn/ControlsObjectMap.h"
#include "tarn/TypeLibDispatch.h"

namespace {
CComModule g_module;

// The resource library by plain name, else from this module's own folder.
HINSTANCE LoadResourceLibrary(HINSTANCE self) {
    HINSTANCE library = LoadLibraryA("TarnObjRes.dll");
    if (library) return library;
    char path[256];
    const DWORD length = GetModuleFileNameA(self, path, sizeof path);
    if (length == 0 || length >= sizeof path) return nullptr;
    char* slash = nullptr;
    for (char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/') slash = p;
    char* file = slash ? slash + 1 : path;
    const char name[] = "TarnObjRes.dll";
    if (static_cast<size_t>(file - path) + sizeof name > sizeof path) return nullptr;
    lstrcpyA(file, name);
    return LoadLibraryA(path);
}

BOOL InitInstance(HINSTANCE instance) {
    if (FAILED(g_module.Init(ControlsObjectMap(), instance, &LIBID_TARNCONTROLSLib))) return FALSE;
    RegisterControlHostWindowClass(instance, g_module.m_csWindowCreate);
    HINSTANCE resources = LoadResourceLibrary(instance);
    if (!resources) {
        g_module.Term();
        return FALSE;
    }
    LoadLibraryA("Riched20.dll");  // kept for the life of the process; the text objects need it
    SetControlsResourceInstance(resources);
    g_module.SetResourceInstance(resources);
    return TRUE;
}

void ExitInstance(bool processEnding) {
    // At process end other libraries may already be gone; only an explicit unload releases.
    if (!processEnding) ReleaseControlsTypeLib();
    g_module.Term();
}
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        return InitInstance(instance);
    }
    if (reason == DLL_PROCESS_DETACH) ExitInstance(reserved != nullptr);
    return TRUE;
}

STDAPI DllCanUnloadNow() { return g_module.GetLockCount() == 0 ? S_OK : S_FALSE; }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** ppv) { return g_module.GetClassObject(clsid, iid, ppv); }

STDAPI DllRegisterServer() { return g_module.RegisterServer(TRUE); }

STDAPI DllUnregisterServer() {
    g_module.UnregisterServer(FALSE);
    return S_OK;
}
