#pragma once
#include <windows.h>

#include <vector>

// Unpacks one whole compressed frame ("NRAT", sizes, CRC, zlib data) into out.
// S_OK, or STG_E_DOCFILECORRUPT for a frame that is damaged or claims more than it can hold.
HRESULT UnpackFrame(const std::vector<BYTE>& frame, std::vector<BYTE>& out);
