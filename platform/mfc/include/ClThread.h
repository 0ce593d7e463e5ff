#pragma once
// Worker threads: AfxBeginThread runs a function on a new thread that a CWinThread describes.
// The object deletes itself when the function returns unless m_bAutoDelete is cleared (create the
// thread suspended, clear the flag, then ResumeThread); an object kept that way owns the thread
// handle and closes it when deleted.
#include "ClWinApp.h"

typedef UINT(__cdecl* AFX_THREADPROC)(LPVOID);

CLASSLIB_API CWinThread* AFXAPI AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                                               int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                                               DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
