#pragma once
// The temporary files that hold the bytes of sounds while a card is open: named "S%04x%03x.ext" in
// the system's temporary folder, each created exclusively so that two processes (the editor and a
// previewing viewer) never share, overwrite or delete each other's files.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tempsound {

// Creates a new, empty file under a fresh name with the extension (none: "tmp") and returns it
// open for writing; INVALID_HANDLE_VALUE when no file could be made. The path is set on success.
HANDLE CreateUnique(const char* extension, std::string& path);

// Writes the bytes into the open file; false on a short write.
bool WriteAll(HANDLE file, const uint8_t* data, size_t size);

// The whole content of the file; false when it cannot be opened or read. A file larger than the
// 32-bit stored lengths allow is refused.
bool ReadAll(const std::string& path, std::vector<uint8_t>& bytes);

}  // namespace tempsound
