#include "ClModule.h"
#include "ClWnd.h"

#include <algorithm>
#include <mutex>

IMPLEMENT_DYNAMIC(CDynLinkLibrary, CObject)

namespace {
AFX_MODULE_STATE& AppState()
{
    static AFX_MODULE_STATE state(FALSE, GetModuleHandleA(nullptr));
    return state;
}

thread_local AFX_MODULE_STATE* t_currentState = nullptr;

// Every link of every chain, oldest first.
struct Links {
    std::mutex lock;
    std::vector<CDynLinkLibrary*> all;
};
Links& AllLinks()
{
    static Links links;
    return links;
}

void AddLinksOf(AFX_MODULE_STATE* state, std::vector<HINSTANCE>& chain)
{
    Links& links = AllLinks();
    std::lock_guard<std::mutex> guard(links.lock);
    for (int pass = 0; pass < 2; ++pass)
        for (CDynLinkLibrary* link : links.all)
            if (link->m_pModuleState == state && (link->m_bSystem != FALSE) == (pass == 1) && link->m_hResource)
                chain.push_back(link->m_hResource);
}
}

AFX_MODULE_STATE::AFX_MODULE_STATE(BOOL bDLL, HINSTANCE hInstance)
    : m_hCurrentInstanceHandle(hInstance), m_hCurrentResourceHandle(hInstance),
      m_lpszCurrentAppName(nullptr), m_pCurrentWinApp(nullptr), m_bDLL(bDLL)
{
}

AFX_MODULE_STATE* AFXAPI AfxGetAppModuleState() { return &AppState(); }

AFX_MODULE_STATE* AFXAPI AfxGetModuleState()
{
    return t_currentState ? t_currentState : &AppState();
}

AFX_MODULE_STATE* AFXAPI AfxSetModuleState(AFX_MODULE_STATE* pNewState)
{
    AFX_MODULE_STATE* previous = t_currentState;
    t_currentState = pNewState;
    return previous;
}

HINSTANCE AFXAPI AfxGetInstanceHandle() { return AfxGetModuleState()->m_hCurrentInstanceHandle; }
HINSTANCE AFXAPI AfxGetResourceHandle() { return AfxGetModuleState()->m_hCurrentResourceHandle; }
void AFXAPI AfxSetResourceHandle(HINSTANCE hInstResource) { AfxGetModuleState()->m_hCurrentResourceHandle = hInstResource; }

LPCSTR AFXAPI AfxGetAppName()
{
    LPCSTR name = AfxGetModuleState()->m_lpszCurrentAppName;
    if (!name)
        name = AppState().m_lpszCurrentAppName;
    return name ? name : "";
}

HWND AFXAPI AfxGetMainWindowHandle()
{
    CWnd* main = AfxGetMainWnd();
    return main && main->m_hWnd ? main->m_hWnd : GetActiveWindow();
}

std::vector<HINSTANCE> AFXAPI AfxGetResourceChain()
{
    std::vector<HINSTANCE> chain;
    AFX_MODULE_STATE* state = AfxGetModuleState();
    if (state->m_hCurrentResourceHandle)
        chain.push_back(state->m_hCurrentResourceHandle);
    AddLinksOf(state, chain);
    if (state != &AppState()) {
        if (AppState().m_hCurrentResourceHandle)
            chain.push_back(AppState().m_hCurrentResourceHandle);
        AddLinksOf(&AppState(), chain);
    }
    // The library's own strings come last, so that every module can override them.
    chain.push_back(reinterpret_cast<HINSTANCE>(&__ImageBase));
    // A module reached twice is searched once, at its first place.
    std::vector<HINSTANCE> unique;
    for (HINSTANCE h : chain)
        if (std::find(unique.begin(), unique.end(), h) == unique.end())
            unique.push_back(h);
    return unique;
}

HINSTANCE AFXAPI AfxFindResourceHandle(LPCSTR lpszName, LPCSTR lpszType)
{
    for (HINSTANCE h : AfxGetResourceChain())
        if (FindResourceA(h, lpszName, lpszType))
            return h;
    return AfxGetResourceHandle();
}

namespace {
// Finds string nID in one module's string table block (16 counted UTF-16 strings per block).
bool LoadStringFrom(HINSTANCE module, UINT nID, std::vector<WCHAR>& text)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(nID / 16 + 1), MAKEINTRESOURCEA(6) /* RT_STRING */);
    if (!found)
        return false;
    HGLOBAL loaded = LoadResource(module, found);
    const auto* p = static_cast<const WCHAR*>(LockResource(loaded));
    const DWORD bytes = SizeofResource(module, found);
    if (!p)
        return false;
    const WCHAR* end = p + bytes / sizeof(WCHAR);
    for (UINT i = 0; i < nID % 16; ++i) {
        if (p >= end)
            return false;
        const WORD length = *p;
        if (static_cast<size_t>(end - p) <= length)
            return false;
        p += 1 + length;
    }
    if (p >= end)
        return false;
    const WORD length = *p++;
    if (length == 0 || static_cast<size_t>(end - p) < length)
        return false;
    text.assign(p, p + length);
    return true;
}
}

BOOL AFXAPI AfxLoadStringW(UINT nID, std::vector<WCHAR>& text)
{
    for (HINSTANCE h : AfxGetResourceChain())
        if (LoadStringFrom(h, nID, text))
            return TRUE;
    return FALSE;
}

BOOL AFXAPI AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule)
{
    if (!hModule)
        return FALSE;
    state.hModule = hModule;
    state.hResource = hModule;
    state.bInitialized = TRUE;
    return TRUE;
}

void AFXAPI AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL)
{
    std::vector<CDynLinkLibrary*> doomed;
    {
        Links& links = AllLinks();
        std::lock_guard<std::mutex> guard(links.lock);
        for (CDynLinkLibrary* link : links.all)
            if (link->m_hModule == state.hModule)
                doomed.push_back(link);
    }
    for (CDynLinkLibrary* link : doomed)
        delete link;
    state.bInitialized = FALSE;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem)
    : m_hModule(state.hModule), m_hResource(state.hResource), m_bSystem(bSystem), m_pModuleState(nullptr)
{
    Link();
}

CDynLinkLibrary::CDynLinkLibrary(HINSTANCE hModule, HINSTANCE hResource)
    : m_hModule(hModule), m_hResource(hResource), m_bSystem(FALSE), m_pModuleState(nullptr)
{
    Link();
}

void CDynLinkLibrary::Link()
{
    m_pModuleState = AfxGetModuleState();
    Links& links = AllLinks();
    std::lock_guard<std::mutex> guard(links.lock);
    links.all.push_back(this);
}

CDynLinkLibrary::~CDynLinkLibrary()
{
    Links& links = AllLinks();
    std::lock_guard<std::mutex> guard(links.lock);
    links.all.erase(std::remove(links.all.begin(), links.all.end(), this), links.all.end());
}
