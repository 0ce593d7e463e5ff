#include "ViewerCopyWriter.h"

#include "ResourceUpdateFile.h"

#include <memory>
#include <vector>

namespace {

struct HandleCloser
{
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

FileHandle OpenForReading(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    return FileHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

// Adds the card's chunks to the update; stops at the first chunk shorter than a full one.
ViewerCopyStatus AddCardChunks(CResourceUpdate* update, HANDLE card, unsigned& chunks)
{
    std::vector<BYTE> buffer(kCardChunkSize);
    for (UINT name = 1;; ++name) {
        DWORD got = 0;
        if (!ReadFile(card, buffer.data(), kCardChunkSize, &got, nullptr))
            return ViewerCopyStatus::kCardUnreadable;
        if (got > 0) {
            if (!UpdateResourceFile(update, kCardResourceType, name, 0, buffer.data(), got))
                return ViewerCopyStatus::kChunkRefused;
            ++chunks;
        }
        if (got < kCardChunkSize)
            return ViewerCopyStatus::kWritten;
    }
}

}  // namespace

std::string GetEmptyViewerName(HMODULE module)
{
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    std::string name(path, length);
    const size_t dot = name.find_last_of('.');
    const size_t slash = name.find_last_of("\\/");
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        name.resize(dot);
    return name + "Viewer.emp";
}

ViewerCopyResult WriteViewerCopy(const char* templatePath, const char* cardPath, const char* targetPath)
{
    ViewerCopyResult result;
    if (!OpenForReading(templatePath)) {
        result.status = ViewerCopyStatus::kTemplateMissing;
        return result;
    }
    FileHandle card = OpenForReading(cardPath);
    if (!card) {
        result.status = ViewerCopyStatus::kCardUnreadable;
        return result;
    }
    if (!CopyFileA(templatePath, targetPath, FALSE)) {
        result.status = ViewerCopyStatus::kCopyFailed;
        result.systemError = GetLastError();
        return result;
    }

    CResourceUpdate* update = BeginUpdateResourceFile(targetPath, 0);
    if (!update) {
        result.systemError = GetLastError();
        result.status = ViewerCopyStatus::kUpdateNotStarted;
    } else {
        result.status = AddCardChunks(update, card.get(), result.chunks);
        if (result.status == ViewerCopyStatus::kWritten && result.chunks == 0)
            result.status = ViewerCopyStatus::kCardUnreadable;   // a viewer without a card shows nothing
        const bool discard = result.status != ViewerCopyStatus::kWritten;
        if (!EndUpdateResourceFile(update, discard ? 1 : 0) && !discard) {
            result.systemError = GetLastError();
            result.status = ViewerCopyStatus::kUpdateNotFinished;
        }
    }
    if (result.status != ViewerCopyStatus::kWritten) {
        result.chunks = 0;
        DeleteFileA(targetPath);
    }
    return result;
}
