#include "ResourceUpdate.h"

#include <new>

namespace
{
bool WriteAt(HANDLE file, LONGLONG offset, const void* data, DWORD size)
{
    LARGE_INTEGER at;
    at.QuadPart = offset;
    DWORD done = 0;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && WriteFile(file, data, size, &done, nullptr) &&
           done == size;
}

bool ReadAt(HANDLE file, LONGLONG offset, void* data, DWORD size)
{
    LARGE_INTEGER at;
    at.QuadPart = offset;
    DWORD done = 0;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && ReadFile(file, data, size, &done, nullptr) &&
           done == size;
}

DWORD AlignUp(DWORD value, DWORD alignment)
{
    return (value + alignment - 1) / alignment * alignment;
}
} // namespace

CResourceUpdate::~CResourceUpdate()
{
    Close();
}

BOOL CResourceUpdate::Open(const char* path, BOOL discardExisting)
{
    Close();
    if (!path)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    m_file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_file == INVALID_HANDLE_VALUE)
        return FALSE;

    if (!m_headers.Read(m_file))
    {
        const DWORD error = GetLastError();
        Close();
        SetLastError(error);
        return FALSE;
    }
    const IMAGE_SECTION_HEADER& section = m_headers.ResourceSection();
    m_tree.SetPlacement(section.PointerToRawData, section.VirtualAddress);

    if (discardExisting)
    {
        m_changed = TRUE;
        return TRUE;
    }
    try
    {
        std::vector<BYTE> bytes(section.SizeOfRawData);
        if (!ReadAt(m_file, section.PointerToRawData, bytes.data(), DWORD(bytes.size())))
        {
            Close();
            SetLastError(ERROR_BAD_EXE_FORMAT);
            return FALSE;
        }
        if (!m_tree.ReadDirectory(bytes))
        {
            Close();
            SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
            return FALSE;
        }
    }
    catch (const std::bad_alloc&)
    {
        Close();
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    return TRUE;
}

BOOL CResourceUpdate::AddResource(UINT type, UINT name, UINT language, const void* data, DWORD size)
{
    if (m_file == INVALID_HANDLE_VALUE || (!data && size != 0))
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    try
    {
        // A resource that is already there keeps its bytes; the caller learns that this piece was not taken.
        if (!m_tree.Add(CResourceKey(WORD(type)), CResourceKey(WORD(name)), WORD(language), data, size))
        {
            SetLastError(ERROR_ALREADY_EXISTS);
            return FALSE;
        }
    }
    catch (const std::bad_alloc&)
    {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    m_changed = TRUE;
    return TRUE;
}

BOOL CResourceUpdate::Commit()
{
    if (m_file == INVALID_HANDLE_VALUE)
    {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!m_changed)
    {
        Close();
        return TRUE;
    }

    CProgramHeaders patched = m_headers;
    IMAGE_SECTION_HEADER& section = patched.ResourceSection();
    const DWORD sectionAlignment = patched.WithOptionalHeader([](const auto& optional) { return optional.SectionAlignment; });
    DWORD sectionSize = 0;
    bool written = false;
    try
    {
        written = m_tree.WriteSection(m_file, sectionAlignment, sectionSize);
    }
    catch (const std::bad_alloc&)
    {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    if (!written)
    {
        const DWORD error = GetLastError();
        Close();
        SetLastError(error);
        return FALSE;
    }

    const DWORD delta = sectionSize - section.SizeOfRawData;
    patched.WithOptionalHeader([&](auto& optional) {
        optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE].Size = sectionSize;
        optional.SizeOfInitializedData += delta;
        optional.CheckSum = 0;
        // The resource section is the last one, so the image ends where it ends.
        optional.SizeOfImage = AlignUp(section.VirtualAddress + sectionSize, optional.SectionAlignment);
    });
    section.Misc.VirtualSize = sectionSize;
    section.SizeOfRawData = sectionSize;

    const bool ok = WriteHeaders(patched);
    const DWORD error = GetLastError();
    Close();
    if (!ok)
    {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

bool CResourceUpdate::WriteHeaders(const CProgramHeaders& headers)
{
    if (!WriteAt(m_file, headers.OptionalHeaderOffset(), &headers.optionalHeader, headers.OptionalHeaderSize()) ||
        !WriteAt(m_file, headers.ResourceRecordOffset(), &headers.ResourceSection(), sizeof(IMAGE_SECTION_HEADER)))
        return false;
    m_headers = headers;
    return true;
}

void CResourceUpdate::Close()
{
    m_changed = FALSE;
    if (m_file != INVALID_HANDLE_VALUE)
    {
        CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
    }
}
