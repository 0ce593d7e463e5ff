#pragma once
#include <windows.h>

#include <string>

// The card stored in a viewer program: resources of this type named 1, 2, 3 ... in file order,
// language 0, every chunk but the last exactly kCardChunkSize bytes.
const WORD kCardResourceType = 21359;
const DWORD kCardChunkSize = 500000;

// The viewer template beside the program module: its path without the extension, then "Viewer.emp".
std::string GetEmptyViewerName(HMODULE module);

enum class ViewerCopyStatus
{
    kWritten,
    kTemplateMissing,    // the template cannot be opened for reading
    kCopyFailed,         // copying the template onto the target failed (systemError says why)
    kCardUnreadable,     // the card file cannot be read
    kUpdateNotStarted,   // the copy is not a program whose resources can be rewritten
    kChunkRefused,       // a chunk of the card could not be added
    kUpdateNotFinished,  // the rebuilt resources could not be written into the copy
};

struct ViewerCopyResult
{
    ViewerCopyStatus status = ViewerCopyStatus::kWritten;
    DWORD systemError = 0;
    unsigned chunks = 0;   // chunks stored
};

// Copies the template onto target (overwriting it) and stores the card file in the copy's resources.
// When anything after the copy fails, the copy is deleted: no program without its card is left behind.
ViewerCopyResult WriteViewerCopy(const char* templatePath, const char* cardPath, const char* targetPath);
