#include "ProgramHeaders.h"

#include <algorithm>
#include <cstring>

namespace
{
const DWORD kSignatureSize = 4;

bool ReadExactly(HANDLE file, LONGLONG offset, void* buffer, DWORD size)
{
    LARGE_INTEGER at;
    at.QuadPart = offset;
    DWORD done = 0;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && ReadFile(file, buffer, size, &done, nullptr) &&
           done == size;
}

bool IsPowerOfTwo(DWORD value)
{
    return value != 0 && (value & (value - 1)) == 0;
}

bool IsResourceSectionName(const BYTE (&name)[IMAGE_SIZEOF_SHORT_NAME])
{
    static const BYTE expected[IMAGE_SIZEOF_SHORT_NAME] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
    return std::memcmp(name, expected, 6) == 0;
}

bool Refuse()
{
    SetLastError(ERROR_BAD_EXE_FORMAT);
    return false;
}
} // namespace

LONGLONG CProgramHeaders::OptionalHeaderOffset() const
{
    return LONGLONG(dosHeader.e_lfanew) + kSignatureSize + sizeof(IMAGE_FILE_HEADER);
}

LONGLONG CProgramHeaders::ResourceRecordOffset() const
{
    return OptionalHeaderOffset() + fileHeader.SizeOfOptionalHeader +
           LONGLONG(resourceSectionIndex) * sizeof(IMAGE_SECTION_HEADER);
}

bool CProgramHeaders::Read(HANDLE file)
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size))
        return false;
    fileSize = ULONGLONG(size.QuadPart);
    if (fileSize >= 0x80000000ull)
        return Refuse();

    DWORD signature = 0;
    if (!ReadExactly(file, 0, &dosHeader, sizeof dosHeader) || dosHeader.e_magic != IMAGE_DOS_SIGNATURE ||
        dosHeader.e_lfanew < LONG(sizeof dosHeader) || ULONGLONG(dosHeader.e_lfanew) >= fileSize)
        return Refuse();
    if (!ReadExactly(file, dosHeader.e_lfanew, &signature, sizeof signature) || signature != IMAGE_NT_SIGNATURE ||
        !ReadExactly(file, dosHeader.e_lfanew + kSignatureSize, &fileHeader, sizeof fileHeader))
        return Refuse();
    WORD magic = 0;
    if (!ReadExactly(file, OptionalHeaderOffset(), &magic, sizeof magic))
        return Refuse();
    if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC)
        is64 = true;
    else if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC)
        is64 = false;
    else
        return Refuse();
    if (fileHeader.SizeOfOptionalHeader != OptionalHeaderSize() ||
        !ReadExactly(file, OptionalHeaderOffset(), &optionalHeader, OptionalHeaderSize()) ||
        fileHeader.NumberOfSections == 0)
        return Refuse();
    const bool layoutSound = WithOptionalHeader([](const auto& optional) {
        return optional.NumberOfRvaAndSizes > IMAGE_DIRECTORY_ENTRY_RESOURCE && IsPowerOfTwo(optional.SectionAlignment) &&
               IsPowerOfTwo(optional.FileAlignment) && optional.SectionAlignment >= optional.FileAlignment;
    });
    if (!layoutSound)
        return Refuse();

    sections.resize(fileHeader.NumberOfSections);
    const LONGLONG tableOffset = OptionalHeaderOffset() + OptionalHeaderSize();
    if (ULONGLONG(tableOffset) + sections.size() * sizeof(IMAGE_SECTION_HEADER) > fileSize ||
        !ReadExactly(file, tableOffset, sections.data(), DWORD(sections.size() * sizeof(IMAGE_SECTION_HEADER))))
        return Refuse();

    size_t found = sections.size();
    for (size_t i = 0; i < sections.size() && found == sections.size(); ++i)
        if (IsResourceSectionName(sections[i].Name))
            found = i;
    if (found == sections.size())
        return Refuse();
    resourceSectionIndex = found;

    const IMAGE_SECTION_HEADER& resources = ResourceSection();
    const IMAGE_DATA_DIRECTORY* dataDirectories =
        WithOptionalHeader([](const auto& optional) { return optional.DataDirectory; });
    const DWORD sectionAlignment = WithOptionalHeader([](const auto& optional) { return optional.SectionAlignment; });
    const DWORD directoryCount = WithOptionalHeader([](const auto& optional) { return optional.NumberOfRvaAndSizes; });
    const IMAGE_DATA_DIRECTORY& directory = dataDirectories[IMAGE_DIRECTORY_ENTRY_RESOURCE];
    const ULONGLONG rawEnd = ULONGLONG(resources.PointerToRawData) + resources.SizeOfRawData;
    if (directory.VirtualAddress != resources.VirtualAddress || directory.VirtualAddress == 0 ||
        resources.SizeOfRawData == 0 || directory.Size > resources.SizeOfRawData ||
        resources.VirtualAddress % sectionAlignment != 0)
        return Refuse();
    // Nothing may follow the resource section in the file (overlay, certificate, symbols) ...
    if (rawEnd != fileSize)
        return Refuse();
    // ... nor in the image: other sections lie below it in memory and in the file.
    for (size_t i = 0; i < sections.size(); ++i)
    {
        if (i == resourceSectionIndex)
            continue;
        const IMAGE_SECTION_HEADER& other = sections[i];
        if (other.VirtualAddress >= resources.VirtualAddress)
            return Refuse();
        if (other.SizeOfRawData != 0 &&
            ULONGLONG(other.PointerToRawData) + other.SizeOfRawData > resources.PointerToRawData)
            return Refuse();
    }
    // Other data (relocations, debug directory, ...) must not live inside the section being rewritten.
    const DWORD directories = std::min<DWORD>(directoryCount, IMAGE_NUMBEROF_DIRECTORY_ENTRIES);
    for (DWORD i = 0; i < directories; ++i)
    {
        const IMAGE_DATA_DIRECTORY& other = dataDirectories[i];
        if (i == IMAGE_DIRECTORY_ENTRY_RESOURCE || (other.VirtualAddress == 0 && other.Size == 0))
            continue;
        if (i == IMAGE_DIRECTORY_ENTRY_SECURITY || other.VirtualAddress >= resources.VirtualAddress)
            return Refuse();
    }
    return true;
}
