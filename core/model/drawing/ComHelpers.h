#pragma once
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "ClString.h"
#include "TarnApi.h"

// The box text of ShowUtilityErrorMessage: the text (or a general one), the code and the system's
// description of it when it has one; at most 1024 characters.
TARN_API CString FormatUtilityErrorMessage(const char* text, DWORD code);
// Shows that text in a message box without owner.
TARN_API void ShowUtilityErrorMessage(const char* text, DWORD code);

// Advises sink on source's connection point for iid. Throws the class library's OLE exception
// when source has no connection points or none for iid, or the advise fails.
TARN_API void AdviseConnectionPoint(IUnknown* source, REFIID iid, IUnknown* sink, DWORD* cookie);
// Undoes an advise; a zero cookie does nothing.
TARN_API void UnadviseConnectionPoint(IUnknown* source, REFIID iid, DWORD cookie);
