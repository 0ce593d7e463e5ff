#pragma once
// Module state and the resource chain: where the class library finds the application, the
// instance and the resource modules that strings, dialogs and menus are loaded from.
#include "ClObject.h"

#include <vector>

class CWinApp;

// The class-library state of one module (the application, or a DLL with its own resources).
struct CLASSLIB_API AFX_MODULE_STATE
{
    AFX_MODULE_STATE(BOOL bDLL, HINSTANCE hInstance);

    HINSTANCE m_hCurrentInstanceHandle;
    HINSTANCE m_hCurrentResourceHandle;
    LPCSTR m_lpszCurrentAppName;
    CWinApp* m_pCurrentWinApp;
    BOOL m_bDLL;
};

// The state the calling thread works in: the one set by AFX_MANAGE_STATE, else the application's.
CLASSLIB_API AFX_MODULE_STATE* AFXAPI AfxGetModuleState();
CLASSLIB_API AFX_MODULE_STATE* AFXAPI AfxGetAppModuleState();
// Makes pNewState the calling thread's state (null: back to the application's); returns the previous.
CLASSLIB_API AFX_MODULE_STATE* AFXAPI AfxSetModuleState(AFX_MODULE_STATE* pNewState);

// The state of the module that compiles this call: every module gets its own copy.
extern "C" IMAGE_DOS_HEADER __ImageBase;
inline AFX_MODULE_STATE* AfxGetStaticModuleState()
{
    static AFX_MODULE_STATE state(TRUE, reinterpret_cast<HINSTANCE>(&__ImageBase));
    return &state;
}

// Switches the calling thread to a module's state for the life of the object.
class CLASSLIB_API AFX_MAINTAIN_STATE
{
public:
    explicit AFX_MAINTAIN_STATE(AFX_MODULE_STATE* pNewState) : m_pPrevState(AfxSetModuleState(pNewState)) {}
    ~AFX_MAINTAIN_STATE() { AfxSetModuleState(m_pPrevState); }
    AFX_MAINTAIN_STATE(const AFX_MAINTAIN_STATE&) = delete;
    AFX_MAINTAIN_STATE& operator=(const AFX_MAINTAIN_STATE&) = delete;
private:
    AFX_MODULE_STATE* m_pPrevState;
};
#define AFX_MANAGE_STATE(p) AFX_MAINTAIN_STATE _ctlState(p);

CLASSLIB_API HINSTANCE AFXAPI AfxGetInstanceHandle();
CLASSLIB_API HINSTANCE AFXAPI AfxGetResourceHandle();
CLASSLIB_API void AFXAPI AfxSetResourceHandle(HINSTANCE hInstResource);
CLASSLIB_API LPCSTR AFXAPI AfxGetAppName();
// Owner window for the library's message boxes.
CLASSLIB_API HWND AFXAPI AfxGetMainWindowHandle();

// The resource modules searched for a resource, in order: the current state's resource module,
// then the extension libraries of that state, then (from a DLL's state) those of the application,
// and last this library's own resources.
CLASSLIB_API std::vector<HINSTANCE> AFXAPI AfxGetResourceChain();
// The first module of the chain that holds the resource; AfxGetResourceHandle() when none does.
CLASSLIB_API HINSTANCE AFXAPI AfxFindResourceHandle(LPCSTR lpszName, LPCSTR lpszType);
// The first non-empty string resource nID along the chain, as UTF-16 text without terminator.
CLASSLIB_API BOOL AFXAPI AfxLoadStringW(UINT nID, std::vector<WCHAR>& text);

// An extension library: a DLL whose resources and classes join those of the module that loads it.
struct AFX_EXTENSION_MODULE
{
    BOOL bInitialized;
    HMODULE hModule;
    HMODULE hResource;
};
CLASSLIB_API BOOL AFXAPI AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule);
// Removes the library's links from every chain.
CLASSLIB_API void AFXAPI AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll = FALSE);

// One link of the resource chain, added to the chain of the state current when it is made and
// removed when it is destroyed.
class CLASSLIB_API CDynLinkLibrary : public CObject
{
    DECLARE_DYNAMIC(CDynLinkLibrary)
public:
    explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem = FALSE);
    CDynLinkLibrary(HINSTANCE hModule, HINSTANCE hResource);
    ~CDynLinkLibrary() override;

    HINSTANCE m_hModule;
    HINSTANCE m_hResource;
    BOOL m_bSystem;        // searched after the other links
    AFX_MODULE_STATE* m_pModuleState;

private:
    void Link();
};
