#include "ResourceTree.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <functional>

namespace
{
const DWORD kDirectoryBit = 0x80000000u;
const DWORD kHeaderSize = 16;
const DWORD kEntrySize = 8;
const DWORD kDataEntrySize = 16;

struct DirectoryEntry
{
    DWORD name;
    DWORD offsetToData;
};

struct DataEntry
{
    DWORD offsetToData;
    DWORD size;
    DWORD codePage;
    DWORD reserved;
};

static_assert(sizeof(IMAGE_RESOURCE_DIRECTORY) == kHeaderSize, "directory header layout");
static_assert(sizeof(DirectoryEntry) == kEntrySize, "directory entry layout");
static_assert(sizeof(DataEntry) == kDataEntrySize, "data entry layout");

bool CopyOut(const std::vector<BYTE>& section, uint64_t offset, void* out, uint64_t size)
{
    if (offset > section.size() || size > section.size() - offset)
        return false;
    std::memcpy(out, section.data() + offset, static_cast<size_t>(size));
    return true;
}

uint64_t AlignUp(uint64_t value, uint64_t alignment)
{
    return (value + alignment - 1) / alignment * alignment;
}

// Reads one directory level of a section, refusing anything that points outside it.
class DirectoryReader
{
public:
    explicit DirectoryReader(const std::vector<BYTE>& section, DWORD virtualAddress)
        : m_section(section), m_virtualAddress(virtualAddress),
          m_entryBudget(section.size() / kEntrySize), m_byteBudget(section.size())
    {
    }

    // Calls visit(key entry name, offset to data) for each entry of the directory at offset.
    bool ForEachEntry(DWORD offset, const std::function<bool(DWORD, DWORD)>& visit)
    {
        IMAGE_RESOURCE_DIRECTORY header;
        if (!CopyOut(m_section, offset, &header, sizeof header))
            return false;
        const DWORD count = DWORD(header.NumberOfNamedEntries) + header.NumberOfIdEntries;
        // A damaged directory may point many entries at the same subdirectory; a sound one visits
        // every entry once, so more visits than the section can hold entries means damage.
        if (count > m_entryBudget)
            return false;
        m_entryBudget -= count;
        for (DWORD i = 0; i < count; ++i)
        {
            DirectoryEntry entry;
            if (!CopyOut(m_section, uint64_t(offset) + kHeaderSize + uint64_t(i) * kEntrySize, &entry, sizeof entry))
                return false;
            if (!visit(entry.name, entry.offsetToData))
                return false;
        }
        return true;
    }

    bool ReadKey(DWORD entryName, CResourceKey& key) const
    {
        if (!(entryName & kDirectoryBit))
        {
            key = CResourceKey(WORD(entryName & 0xFFFF));
            return true;
        }
        const uint64_t offset = entryName & ~kDirectoryBit;
        WORD length = 0;
        if (!CopyOut(m_section, offset, &length, sizeof length))
            return false;
        std::wstring name(length, L'\0');
        if (!CopyOut(m_section, offset + 2, name.data(), uint64_t(length) * 2))
            return false;
        key = CResourceKey(std::move(name));
        return true;
    }

    bool ReadData(DWORD offset, WORD language, CResourceData& data)
    {
        DataEntry entry;
        if (!CopyOut(m_section, offset, &entry, sizeof entry))
            return false;
        if (entry.offsetToData < m_virtualAddress || entry.size > m_byteBudget)
            return false;
        m_byteBudget -= entry.size;
        data.language = language;
        data.bytes.resize(entry.size);
        return CopyOut(m_section, uint64_t(entry.offsetToData) - m_virtualAddress, data.bytes.data(), entry.size);
    }

private:
    const std::vector<BYTE>& m_section;
    DWORD m_virtualAddress;
    uint64_t m_entryBudget;
    uint64_t m_byteBudget;
};
} // namespace

bool CResourceKey::operator<(const CResourceKey& other) const
{
    if (m_named != other.m_named)
        return m_named;
    if (!m_named)
        return m_id < other.m_id;
    const size_t common = std::min(m_name.size(), other.m_name.size());
    for (size_t i = 0; i < common; ++i)
    {
        const wint_t a = std::towupper(m_name[i]);
        const wint_t b = std::towupper(other.m_name[i]);
        if (a != b)
            return a < b;
    }
    if (m_name.size() != other.m_name.size())
        return m_name.size() < other.m_name.size();
    return m_name < other.m_name;
}

void CResourceTree::SetPlacement(DWORD fileOffset, DWORD virtualAddress)
{
    m_fileOffset = fileOffset;
    m_virtualAddress = virtualAddress;
}

bool CResourceTree::ReadDirectory(const std::vector<BYTE>& section)
{
    DirectoryReader reader(section, m_virtualAddress);
    TypeMap types;
    const bool ok = reader.ForEachEntry(0, [&](DWORD typeName, DWORD typeOffset) {
        CResourceKey type(WORD(0));
        if (!(typeOffset & kDirectoryBit) || !reader.ReadKey(typeName, type))
            return false;
        NameMap names;
        const bool typeOk = reader.ForEachEntry(typeOffset & ~kDirectoryBit, [&](DWORD nameName, DWORD nameOffset) {
            CResourceKey name(WORD(0));
            if (!(nameOffset & kDirectoryBit) || !reader.ReadKey(nameName, name))
                return false;
            LanguageMap languages;
            const bool nameOk = reader.ForEachEntry(nameOffset & ~kDirectoryBit, [&](DWORD languageName, DWORD dataOffset) {
                // Languages are numbers and their entries lead to data, never to another directory.
                if ((languageName & kDirectoryBit) || (dataOffset & kDirectoryBit))
                    return false;
                CResourceData data;
                if (!reader.ReadData(dataOffset, WORD(languageName & 0xFFFF), data))
                    return false;
                languages.emplace(data.language, std::move(data));
                return true;
            });
            if (!nameOk)
                return false;
            names.emplace(std::move(name), std::move(languages));
            return true;
        });
        if (!typeOk)
            return false;
        types.emplace(std::move(type), std::move(names));
        return true;
    });
    if (!ok)
        return false;
    m_types = std::move(types);
    return true;
}

bool CResourceTree::Add(const CResourceKey& type, const CResourceKey& name, WORD language, const void* data, DWORD size)
{
    LanguageMap& languages = m_types[type][name];
    if (languages.count(language))
        return false;
    CResourceData copy;
    copy.language = language;
    copy.bytes.assign(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
    languages.emplace(language, std::move(copy));
    return true;
}

bool CResourceTree::BuildSection(DWORD alignment, std::vector<BYTE>& section) const
{
    if (alignment == 0)
        return false;
    uint64_t typeCount = m_types.size(), nameCount = 0, languageCount = 0, stringBytes = 0, dataBytes = 0;
    auto countKey = [&](const CResourceKey& key) {
        if (key.IsNamed())
            stringBytes += 2 + 2 * uint64_t(key.Name().size());
    };
    if (typeCount > 0xFFFF)
        return false;
    for (const auto& [type, names] : m_types)
    {
        countKey(type);
        if (names.size() > 0xFFFF)
            return false;
        nameCount += names.size();
        for (const auto& [name, languages] : names)
        {
            countKey(name);
            if (languages.size() > 0xFFFF || name.Name().size() > 0xFFFF || type.Name().size() > 0xFFFF)
                return false;
            languageCount += languages.size();
            for (const auto& entry : languages)
                dataBytes += AlignUp(entry.second.bytes.size(), alignment);
        }
    }

    const uint64_t directoryBytes = kHeaderSize + 24 * (typeCount + nameCount + languageCount);
    const uint64_t firstData = AlignUp(uint64_t(m_virtualAddress) + directoryBytes + stringBytes, alignment);
    const uint64_t sectionEnd = firstData + dataBytes;
    if (sectionEnd > 0xFFFFFFFFull)
        return false;
    section.assign(static_cast<size_t>(sectionEnd - m_virtualAddress), 0);

    auto put = [&](uint64_t offset, const void* bytes, size_t size) {
        std::memcpy(section.data() + offset, bytes, size);
    };
    auto putHeader = [&](uint64_t offset, size_t named, size_t total) {
        IMAGE_RESOURCE_DIRECTORY header = {};
        header.MajorVersion = 4;
        header.NumberOfNamedEntries = WORD(named);
        header.NumberOfIdEntries = WORD(total - named);
        put(offset, &header, sizeof header);
    };
    uint64_t stringCursor = directoryBytes;
    auto entryName = [&](const CResourceKey& key) -> DWORD {
        if (!key.IsNamed())
            return key.Id();
        const DWORD at = DWORD(stringCursor);
        const WORD length = WORD(key.Name().size());
        put(stringCursor, &length, sizeof length);
        put(stringCursor + 2, key.Name().data(), 2 * size_t(length));
        stringCursor += 2 + 2 * uint64_t(length);
        return kDirectoryBit | at;
    };
    auto namedCount = [](const auto& map) {
        size_t named = 0;
        for (const auto& entry : map)
            named += entry.first.IsNamed() ? 1 : 0;
        return named;
    };

    uint64_t cursor = 0;
    uint64_t dataAddress = firstData;
    putHeader(cursor, namedCount(m_types), m_types.size());
    uint64_t typeSlot = cursor + kHeaderSize;
    cursor = typeSlot + kEntrySize * typeCount;
    for (const auto& [type, names] : m_types)
    {
        DirectoryEntry typeEntry = {entryName(type), kDirectoryBit | DWORD(cursor)};
        put(typeSlot, &typeEntry, sizeof typeEntry);
        typeSlot += kEntrySize;
        putHeader(cursor, namedCount(names), names.size());
        uint64_t nameSlot = cursor + kHeaderSize;
        cursor = nameSlot + kEntrySize * names.size();
        for (const auto& [name, languages] : names)
        {
            DirectoryEntry nameEntry = {entryName(name), kDirectoryBit | DWORD(cursor)};
            put(nameSlot, &nameEntry, sizeof nameEntry);
            nameSlot += kEntrySize;
            putHeader(cursor, 0, languages.size());
            uint64_t languageSlot = cursor + kHeaderSize;
            cursor = languageSlot + kEntrySize * languages.size();
            for (const auto& [language, data] : languages)
            {
                DirectoryEntry languageEntry = {language, DWORD(cursor)};
                put(languageSlot, &languageEntry, sizeof languageEntry);
                languageSlot += kEntrySize;
                DataEntry dataEntry = {DWORD(dataAddress), DWORD(data.bytes.size()), 0, 0};
                put(cursor, &dataEntry, sizeof dataEntry);
                cursor += kDataEntrySize;
                if (!data.bytes.empty())
                    put(dataAddress - m_virtualAddress, data.bytes.data(), data.bytes.size());
                dataAddress += AlignUp(data.bytes.size(), alignment);
            }
        }
    }
    return true;
}

bool CResourceTree::WriteSection(HANDLE file, DWORD alignment, DWORD& sectionSize) const
{
    std::vector<BYTE> section;
    if (!BuildSection(alignment, section))
    {
        SetLastError(ERROR_ARITHMETIC_OVERFLOW);
        return false;
    }
    LARGE_INTEGER at;
    at.QuadPart = m_fileOffset;
    if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN))
        return false;
    size_t written = 0;
    while (written < section.size())
    {
        const DWORD chunk = DWORD(std::min<size_t>(section.size() - written, 1u << 20));
        DWORD done = 0;
        if (!WriteFile(file, section.data() + written, chunk, &done, nullptr) || done != chunk)
            return false;
        written += chunk;
    }
    if (!SetEndOfFile(file))
        return false;
    sectionSize = DWORD(section.size());
    return true;
}
