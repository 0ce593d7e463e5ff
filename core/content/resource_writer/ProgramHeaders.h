#pragma once
#include <windows.h>
#include <vector>

// The headers of a program file that the resource writer reads and patches, with the place of its
// resource section. Both formats are read: a 32-bit program (PE32, optional header magic 0x10B) and a
// 64-bit one (PE32+, magic 0x20B); the fields the writer patches sit at each format's own offsets.
struct CProgramHeaders
{
    IMAGE_DOS_HEADER dosHeader = {};
    IMAGE_FILE_HEADER fileHeader = {};
    // The optional header as the file holds it; is64 tells which member is valid.
    union
    {
        IMAGE_OPTIONAL_HEADER32 pe32;
        IMAGE_OPTIONAL_HEADER64 pe64;
    } optionalHeader = {};
    bool is64 = false;
    std::vector<IMAGE_SECTION_HEADER> sections;

    // Calls visit with the optional header of the file's format; the fields common to both
    // (alignments, sizes, checksum, data directories) have the same names in either.
    template <class Visitor> decltype(auto) WithOptionalHeader(Visitor&& visit)
    {
        return is64 ? visit(optionalHeader.pe64) : visit(optionalHeader.pe32);
    }
    template <class Visitor> decltype(auto) WithOptionalHeader(Visitor&& visit) const
    {
        return is64 ? visit(optionalHeader.pe64) : visit(optionalHeader.pe32);
    }
    DWORD OptionalHeaderSize() const { return is64 ? sizeof(IMAGE_OPTIONAL_HEADER64) : sizeof(IMAGE_OPTIONAL_HEADER32); }
    size_t resourceSectionIndex = 0;
    ULONGLONG fileSize = 0;

    const IMAGE_SECTION_HEADER& ResourceSection() const { return sections[resourceSectionIndex]; }
    IMAGE_SECTION_HEADER& ResourceSection() { return sections[resourceSectionIndex]; }

    // File offsets of the optional header and of the resource section's table record.
    LONGLONG OptionalHeaderOffset() const;
    LONGLONG ResourceRecordOffset() const;

    // Reads and checks the headers of an open file. Refuses (ERROR_BAD_EXE_FORMAT) a file that is not
    // a PE32 or PE32+ program, has no ".rsrc" section, keeps its resource directory elsewhere than at the start
    // of that section, or holds anything behind it (further sections, relocations or debug data in the
    // section's range, a certificate, an overlay), since rewriting the section would destroy that.
    bool Read(HANDLE file);
};
