#include "TempSoundFile.h"

#include <cstdio>
#include <cstdlib>

namespace tempsound {

namespace {
// Names come from a 15-bit random number and the tick count: a few thousand tries find a free
// one even in a crowded folder.
constexpr int kNameTries = 4096;
constexpr DWORD kChunk = 1u << 20;
}

HANDLE CreateUnique(const char* extension, std::string& path)
{
    char folder[256] = "";
    const DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder)
        return INVALID_HANDLE_VALUE;
    const char* ext = extension && *extension ? extension : "tmp";
    for (int attempt = 0; attempt < kNameTries; ++attempt) {
        char name[MAX_PATH + 16];
        std::snprintf(name, sizeof name, "%sS%04x%03x.%s", folder, static_cast<unsigned>(std::rand()),
                      static_cast<unsigned>(GetTickCount() % 1000), ext);
        HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            path = name;
            return file;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED &&
            error != ERROR_SHARING_VIOLATION)
            return INVALID_HANDLE_VALUE;
    }
    return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, const uint8_t* data, size_t size)
{
    while (size > 0) {
        const DWORD part = size > kChunk ? kChunk : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, data, part, &written, nullptr) || written != part)
            return false;
        data += part;
        size -= part;
    }
    return true;
}

bool ReadAll(const std::string& path, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size = {};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart >= 0 && size.QuadPart < 0xFFFFFFFFLL;
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        size_t done = 0;
        while (ok && done < bytes.size()) {
            const size_t left = bytes.size() - done;
            const DWORD part = left > kChunk ? kChunk : static_cast<DWORD>(left);
            DWORD read = 0;
            ok = ReadFile(file, bytes.data() + done, part, &read, nullptr) && read == part;
            done += read;
        }
    }
    CloseHandle(file);
    if (!ok)
        bytes.clear();
    return ok;
}

}  // namespace tempsound
