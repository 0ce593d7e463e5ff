#include "DocumentVersion.h"

#include <windows.h>

#include "TarnApp.h"

// The slot is exported so that the card library and the sites read the version the same way the
// document stores it; a slot that could not be allocated reads as "outside a load".
int GetLoadingDocumentVersion()
{
    if (dwTlsIdxDocVersion == TLS_OUT_OF_INDEXES)
        return 0;
    return static_cast<int>(reinterpret_cast<INT_PTR>(TlsGetValue(dwTlsIdxDocVersion)));
}

void SetLoadingDocumentVersion(int version)
{
    if (dwTlsIdxDocVersion == TLS_OUT_OF_INDEXES)
        return;
    TlsSetValue(dwTlsIdxDocVersion, reinterpret_cast<LPVOID>(static_cast<INT_PTR>(version)));
}
