#include "ClOle.h"

namespace {
LONG g_lockCount = 0;
thread_local bool t_oleStarted = false;
}

BOOL AFXAPI AfxOleInit()
{
    if (t_oleStarted)
        return TRUE;
    const HRESULT hr = ::OleInitialize(nullptr);
    // S_FALSE: already initialised on this thread by someone else, which is fine.
    if (FAILED(hr))
        return FALSE;
    t_oleStarted = true;
    return TRUE;
}

void AFXAPI AfxOleTerm()
{
    if (!t_oleStarted)
        return;
    ::OleUninitialize();
    t_oleStarted = false;
}

void AFXAPI AfxOleLockApp() { InterlockedIncrement(&g_lockCount); }

void AFXAPI AfxOleUnlockApp()
{
    // An unbalanced unlock must not wrap the count around and keep the application alive.
    LONG current = g_lockCount;
    while (current > 0) {
        const LONG seen = InterlockedCompareExchange(&g_lockCount, current - 1, current);
        if (seen == current)
            return;
        current = seen;
    }
}

BOOL AFXAPI AfxOleCanExitApp() { return g_lockCount == 0; }
LONG AFXAPI AfxOleGetLockCount() { return g_lockCount; }
