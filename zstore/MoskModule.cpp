// The Mosk server module: its object map and the four exported entry points.
#include <atlcom.h>
#include "Mosk.h"
#include "ZStorage.h"
#include "ZStream.h"

namespace {

CComModule g_module;

BEGIN_OBJECT_MAP(g_objectMap)
    OBJECT_ENTRY(CLSID_ZStream, CZStream)
    OBJECT_ENTRY(CLSID_ZStorage, CZStorage)
END_OBJECT_MAP()

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        if (FAILED(g_module.Init(g_objectMap, instance, &LIBID_MOSKLib))) return FALSE;
        ::DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        g_module.Term();
    }
    return TRUE;
}

STDAPI DllCanUnloadNow() { return g_module.CanUnloadNow(); }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* ppv) { return g_module.GetClassObject(clsid, iid, ppv); }

STDAPI DllRegisterServer() { return g_module.RegisterServer(TRUE); }

STDAPI DllUnregisterServer() { return g_module.UnregisterServer(TRUE); }
