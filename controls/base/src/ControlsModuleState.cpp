#include "tarn/ControlsModuleState.h"

namespace {
HINSTANCE g_resourceInstance = nullptr;
ITarnApp* g_tarnApp = nullptr;

// Made by the static initialiser, deleted at unload.
struct ViewDataLock {
    CRITICAL_SECTION section;
    ViewDataLock() { InitializeCriticalSection(&section); }
    ~ViewDataLock() { DeleteCriticalSection(&section); }
} g_viewDataLock;
}  // namespace

HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

HINSTANCE ControlsResourceInstance() { return g_resourceInstance ? g_resourceInstance : ThisModule(); }
void SetControlsResourceInstance(HINSTANCE instance) { g_resourceInstance = instance; }

ITarnApp* GetTarnApp() { return g_tarnApp; }
void SetTarnAppPointer(ITarnApp* app) { g_tarnApp = app; }

CRITICAL_SECTION& ControlViewDataLock() { return g_viewDataLock.section; }

std::string LoadResourceString(UINT id) {
    char buffer[1024];
    const int length = LoadStringA(ControlsResourceInstance(), id, buffer, sizeof buffer);
    return length > 0 ? std::string(buffer, length) : std::string();
}
