#pragma once
// Counts read from a file are trusted only as far as the file can hold that many items.
#include <windows.h>

#include "TarnApi.h"

class CArchive;

// Bytes between the loading archive's logical position and the end of its file.
TARN_API ULONGLONG ArchiveBytesLeft(CArchive& ar);

// Reads a u32 count and refuses it (bad-schema archive exception) when the rest of the file can't
// hold that many items of at least minBytesEach bytes.
TARN_API DWORD ReadCheckedCount(CArchive& ar, ULONG minBytesEach);
