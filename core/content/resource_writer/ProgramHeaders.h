#pragma once
#include <windows.h>
#include <vector>

// The headers of a 32-bit program file that the resource writer reads and patches, with the
// place of its resource section.
struct CProgramHeaders
{
    IMAGE_DOS_HEADER dosHeader = {};
    IMAGE_FILE_HEADER fileHeader = {};
    IMAGE_OPTIONAL_HEADER32 optionalHeader = {};
    std::vector<IMAGE_SECTION_HEADER> sections;
    size_t resourceSectionIndex = 0;
    ULONGLONG fileSize = 0;

    const IMAGE_SECTION_HEADER& ResourceSection() const { return sections[resourceSectionIndex]; }
    IMAGE_SECTION_HEADER& ResourceSection() { return sections[resourceSectionIndex]; }

    // File offsets of the optional header and of the resource section's table record.
    LONGLONG OptionalHeaderOffset() const;
    LONGLONG ResourceRecordOffset() const;

    // Reads and checks the headers of an open file. Refuses (ERROR_BAD_EXE_FORMAT) a file that is not
    // a 32-bit program, has no ".rsrc" section, keeps its resource directory elsewhere than at the start
    // of that section, or holds anything behind it (further sections, relocations or debug data in the
    // section's range, a certificate, an overlay), since rewriting the section would destroy that.
    bool Read(HANDLE file);
};
