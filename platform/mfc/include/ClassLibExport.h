#pragma once
// Import/export decoration of ClassLib.dll. Every module of the system shares one copy of the
// library's state (run-time class list, module state, resource chain), so nothing is linked statically.

#ifdef CLASSLIB_BUILDING
#define CLASSLIB_API __declspec(dllexport)
#else
#define CLASSLIB_API __declspec(dllimport)
#endif

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#ifndef AFXAPI
#define AFXAPI __stdcall
#endif

// Opaque iteration cursor of the lists and maps.
struct __POSITION {};
typedef __POSITION* POSITION;
#define BEFORE_START_POSITION ((POSITION)-1L)
