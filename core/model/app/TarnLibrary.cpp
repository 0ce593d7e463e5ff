// What runs when the library is attached to and detached from a process: its place in the class
// library's resource chain, its resource library and the slot that carries a loading document's
// version.
#include <windows.h>

#include <string>

#include "ClModule.h"
#include "TarnApp.h"

DWORD dwTlsIdxDocVersion = TLS_OUT_OF_INDEXES;

namespace {
AFX_EXTENSION_MODULE g_tarnModule = {FALSE, nullptr, nullptr};
HINSTANCE g_resources = nullptr;

std::string FolderOf(HMODULE module) {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::string();
    std::string folder(path, n);
    const size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

// By plain name first (the system's search order), then beside this library.
HINSTANCE LoadResourceLibrary(HMODULE self) {
    HINSTANCE found = LoadLibraryA("TarnRes.dll");
    if (!found) {
        const std::string beside = FolderOf(self) + "TarnRes.dll";
        found = LoadLibraryA(beside.c_str());
    }
    return found;
}
}  // namespace

HINSTANCE GetTarnResourceHandle() { return g_resources; }

void InitTarnDLL() { new CDynLinkLibrary(g_tarnModule); }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        if (!AfxInitExtensionModule(g_tarnModule, instance)) return FALSE;
        // Never freed: strings and dialogs are taken from it until the process ends.
        g_resources = LoadResourceLibrary(instance);
        g_tarnModule.hResource = g_resources;
        dwTlsIdxDocVersion = TlsAlloc();
        new CDynLinkLibrary(g_tarnModule);
    } else if (reason == DLL_PROCESS_DETACH) {
        if (dwTlsIdxDocVersion != TLS_OUT_OF_INDEXES) TlsFree(dwTlsIdxDocVersion);
        dwTlsIdxDocVersion = TLS_OUT_OF_INDEXES;
        AfxTermExtensionModule(g_tarnModule);
    }
    return TRUE;
}
