#pragma once
// The server beside the test program and regsvr32 run on it, for the tests that go through the
// registry the way the core library does.
#include <windows.h>

#include <string>

// TarnControls.dll in the test program's own folder.
std::wstring ServerPath();

// Runs "regsvr32 /s ARGUMENTS server" and answers its exit code (~0 when it could not start).
DWORD RunRegsvr32(const std::wstring& arguments);
