#pragma once
// OLE start-up of the application and the lock that keeps it running while objects it serves
// (documents, automation objects) exist.
#include "ClassLibExport.h"

// Initialises OLE for the calling thread (once); FALSE when OLE cannot start.
CLASSLIB_API BOOL AFXAPI AfxOleInit();
CLASSLIB_API void AFXAPI AfxOleTerm();
// The application stays up while the lock count is above zero.
CLASSLIB_API void AFXAPI AfxOleLockApp();
CLASSLIB_API void AFXAPI AfxOleUnlockApp();
CLASSLIB_API BOOL AFXAPI AfxOleCanExitApp();
CLASSLIB_API LONG AFXAPI AfxOleGetLockCount();
