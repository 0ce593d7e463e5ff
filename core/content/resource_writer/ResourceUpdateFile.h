#pragma once
#include <windows.h>

class CResourceUpdate;

// Edits the resources of a 32-bit program file without the platform's own update functions.
// BeginUpdateResourceFile answers null when the file cannot be opened for reading and writing or is
// not a program whose resource section can be rewritten (GetLastError tells which).
CResourceUpdate* BeginUpdateResourceFile(const char* path, int discardExisting);

// Adds a copy of the bytes under (type, name, language), each taken by its low 16 bits. An existing
// resource of the same keys keeps its bytes and the call answers FALSE (ERROR_ALREADY_EXISTS).
BOOL UpdateResourceFile(CResourceUpdate* update, UINT type, UINT name, UINT language, const void* data, DWORD size);

// Writes the rebuilt resource section (unless discard is nonzero, or nothing was added) and frees the
// update. Answers FALSE when writing failed.
BOOL EndUpdateResourceFile(CResourceUpdate* update, int discard);
