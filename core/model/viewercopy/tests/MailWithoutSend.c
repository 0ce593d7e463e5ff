/* A library named like a mail library that lacks the send entry. */
#include <windows.h>

__declspec(dllexport) int MAPINothing(void) { return 0; }
