#include "DatFile.h"
#include <algorithm>
#include "SearchExpression.h"

namespace {

constexpr uint32_t kLevelRecordHeader = 8;
constexpr uint32_t kChildEntrySize = 12;
constexpr uint32_t kFileEntryNumbers = 16;

} // namespace

CDatFile::CDatFile() = default;

CItemType::ParentLink CDatFile::LinkOf(const CItemType& node)
{
    CItemType::ParentLink link;
    link.present = true;
    link.level = node.m_level;
    link.id = static_cast<unsigned long>(node.m_id);
    link.nextOffset = node.m_nextOffset;
    link.childCount = node.m_childCount;
    return link;
}

CDatFile::~CDatFile()
{
    UnMapFile();
}

void CDatFile::UnMapFile()
{
    if (m_view.base())
        UnmapViewOfFile(m_view.base());
    m_view = MappedBytes();
    if (m_mapping)
        CloseHandle(m_mapping);
    m_mapping = nullptr;
    if (m_file != INVALID_HANDLE_VALUE)
        CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
}

BOOL CDatFile::Open(const char* path)
{
    UnMapFile();
    m_path = path ? path : "";
    m_productName.Empty();
    m_newFormat = FALSE;
    m_sectionCount = 0;
    {
        std::lock_guard<std::mutex> lock(m_indexLock);
        m_indexBuilt = false;
        m_keywordIndex.clear();
    }
    SetLastError(ERROR_SUCCESS);
    m_file = CreateFileA(m_path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_file == INVALID_HANDLE_VALUE || !MapHandle() || !ReadHeader()) {
        DWORD error = GetLastError();
        UnMapFile();
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

BOOL CDatFile::MapHandle()
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_file, &size) || size.QuadPart < 4 ||
        static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX) {
        SetLastError(ERROR_INVALID_DATA);
        return FALSE;
    }
    // A private, unnamed mapping: a name made from the path could be shared by another file.
    m_mapping = CreateFileMappingA(m_file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!m_mapping)
        return FALSE;
    void* view = MapViewOfFile(m_mapping, FILE_MAP_READ, 0, 0, 0);
    if (!view)
        return FALSE;
    m_view = MappedBytes(static_cast<const unsigned char*>(view), static_cast<uint64_t>(size.QuadPart));
    return TRUE;
}

BOOL CDatFile::ReadHeader()
{
    uint32_t magic = 0, fileTable = 0, keyTable = 0, marker = 0;
    if (!m_view.ReadU32(0, magic) || magic != kMagic)
        return FALSE;
    if (!m_view.ReadU32(4, fileTable) || !m_view.ReadU32(8, keyTable) || !m_view.ReadU32(12, marker) ||
        fileTable < 16 || fileTable > keyTable || keyTable > m_view.size()) {
        SetLastError(ERROR_INVALID_DATA);
        return FALSE;
    }
    m_fileTable = fileTable;
    m_keyTable = keyTable;
    m_newFormat = marker == kSectionedMarker;
    for (Section& section : m_sections)
        section = Section();
    if (!m_newFormat) {
        m_productName = "OLD FILE FORMAT";
        return TRUE;
    }
    const char* name = nullptr;
    uint32_t nameLength = 0, count = 0;
    if (!m_view.ReadString(16, m_view.size(), name, nameLength) ||
        !m_view.ReadU32(16 + uint64_t(nameLength) + 1, count)) {
        SetLastError(ERROR_INVALID_DATA);
        return FALSE;
    }
    if (count > kMaxSections) {
        SetLastError(ERROR_INVALID_DATA);
        return FALSE;
    }
    m_productName = CString(name, static_cast<int>(nameLength));
    const uint64_t descriptors = 16 + uint64_t(nameLength) + 1 + 4;
    for (uint32_t d = 0; d < count; ++d) {
        uint32_t field[4];
        for (int i = 0; i < 4; ++i) {
            if (!m_view.ReadU32(descriptors + 16 * d + 4 * i, field[i])) {
                SetLastError(ERROR_INVALID_DATA);
                return FALSE;
            }
        }
        if (field[1] > m_view.size() || (field[2] != kNoOffset && field[2] >= m_view.size())) {
            SetLastError(ERROR_INVALID_DATA);
            return FALSE;
        }
        Section& section = m_sections[d];
        section.firstRecord = uint64_t(field[0]) + kRecordsGap;
        section.recordsEnd = field[1];
        section.names = field[2];
        section.fourth = field[3];
    }
    m_sectionCount = static_cast<int>(count);
    return TRUE;
}

BOOL CDatFile::IsValidFile() const
{
    uint32_t magic = 0;
    return m_view.ReadU32(0, magic) && magic == kMagic;
}

const unsigned char* CDatFile::GetFileTable() const
{
    return m_view.base() ? m_view.base() + m_fileTable : nullptr;
}

const unsigned char* CDatFile::GetKeyTable() const
{
    return m_view.base() ? m_view.base() + m_keyTable : nullptr;
}

uint64_t CDatFile::LevelEnd(int level) const
{
    if (level >= 0)
        return level < m_sectionCount ? m_sections[level].recordsEnd : 0;
    return level == kFileLevel ? m_keyTable : m_view.size();
}

bool CDatFile::CreateItem(CItemType*& item, uint64_t pos, int level, const CItemType* parent, int index,
                          bool visible) const
{
    CItemType node;
    node.m_parent = parent;
    node.m_level = level;
    node.m_index = index;
    node.m_visible = visible;
    const char* text = nullptr;
    uint32_t length = 0;
    if (level >= 0) {
        if (level >= m_sectionCount)
            return false;
        const Section& section = m_sections[level];
        uint32_t nameOffset = 0, count = 0;
        if (pos < section.firstRecord || pos + kLevelRecordHeader > section.recordsEnd ||
            !m_view.ReadU32(pos, nameOffset) || !m_view.ReadU32(pos + 4, count) ||
            count > (section.recordsEnd - pos - kLevelRecordHeader) / kChildEntrySize)
            return false;
        const uint64_t area = section.names == kNoOffset ? m_keyTable : section.names;
        if (!m_view.ReadString(area + nameOffset, m_view.size(), text, length))
            return false;
        node.m_id = static_cast<long>(pos + 4);
        node.m_childCount = count;
        node.m_nextOffset = static_cast<unsigned long>(pos + kLevelRecordHeader + uint64_t(kChildEntrySize) * count);
    } else if (level == kFileLevel) {
        const char* label = nullptr;
        uint32_t labelLength = 0;
        if (pos < m_fileTable || !m_view.ReadString(pos, m_keyTable, text, length))
            return false;
        const uint64_t labelPos = pos + length + 1;
        if (!m_view.ReadString(labelPos, m_keyTable, label, labelLength))
            return false;
        const uint64_t numbers = labelPos + labelLength + 1;
        uint32_t value[4];
        if (numbers + kFileEntryNumbers > m_keyTable)
            return false;
        for (int i = 0; i < 4; ++i)
            m_view.ReadU32(numbers + 4 * i, value[i]);
        node.m_id = static_cast<long>(labelPos);
        node.m_nextOffset = static_cast<unsigned long>(numbers + kFileEntryNumbers);
        auto* attribs = new CImageAttribs;
        attribs->m_label = CString(label, static_cast<int>(labelLength));
        attribs->m_time = static_cast<long>(value[0]);
        attribs->m_date = static_cast<long>(value[1]);
        attribs->m_size = static_cast<long>(value[2]);
        attribs->m_attr = static_cast<long>(value[3]);
        node.m_attribs = attribs;
    } else if (level == kKeywordLevel) {
        uint64_t idsPos = 0;
        uint32_t count = 0;
        if (pos < m_keyTable || !ReadKeywordEntry(pos, text, idsPos, count))
            return false;
        length = static_cast<uint32_t>(idsPos - 4 - 1 - pos);
        node.m_id = static_cast<long>(idsPos - 4);
        node.m_childCount = count;
        node.m_nextOffset = static_cast<unsigned long>(idsPos + uint64_t(4) * count);
    } else {
        return false;
    }
    node.m_name = CString(text, static_cast<int>(length));
    if (parent)
        node.m_parentLink = LinkOf(*parent);
    item = new CItemType(node);
    return true;
}

bool CDatFile::CreateChild(const CItemType::ParentLink& parent, const CItemType* parentNode, unsigned long i,
                           CItemType*& item) const
{
    if (i >= parent.childCount || parent.level == kFileLevel)
        return false;
    CItemType* child = nullptr;
    if (parent.level == kKeywordLevel) {
        uint32_t image = 0;
        if (!m_view.ReadU32(uint64_t(parent.id) + 4 + 4 * uint64_t(i), image) ||
            !CreateItem(child, m_fileTable + image, kFileLevel, parentNode, static_cast<int>(i), true))
            return false;
    } else {
        const uint64_t entry = uint64_t(parent.id) + 4 + uint64_t(kChildEntrySize) * i;
        uint32_t visible = 0, rawLevel = 0, offset = 0;
        if (!m_view.ReadU32(entry, visible) || !m_view.ReadU32(entry + 4, rawLevel) ||
            !m_view.ReadU32(entry + 8, offset))
            return false;
        const int level = static_cast<int32_t>(rawLevel);
        uint64_t pos = 0;
        if (level >= 0) {
            // Levels only deepen: a record cannot contain itself or an ancestor.
            if (level <= parent.level || level >= m_sectionCount)
                return false;
            pos = m_sections[level].firstRecord + offset;
        } else if (level == kFileLevel) {
            pos = m_fileTable + offset;
        } else if (level == kKeywordLevel) {
            pos = m_keyTable + offset;
        } else {
            return false;
        }
        if (!CreateItem(child, pos, level, parentNode, static_cast<int>(i), visible != 0))
            return false;
    }
    // The link carries the parent as it was read, whether or not the parent node is still alive.
    child->m_parentLink = parent;
    item = child;
    return true;
}

BOOL CDatFile::GetRootItem(CItemType*& item) const
{
    if (!m_view.base())
        return FALSE;
    if (m_newFormat)
        return m_sectionCount > 0 && CreateItem(item, m_sections[0].firstRecord, 0, nullptr, 0, true);
    return CreateItem(item, m_keyTable, kKeywordLevel, nullptr, 0, true);
}

BOOL CDatFile::GetChildItem(const CItemType* parent, CItemType*& item) const
{
    if (!parent || !m_view.base())
        return FALSE;
    return CreateChild(LinkOf(*parent), parent, 0, item);
}

BOOL CDatFile::GetNextSiblingItem(const CItemType* node, CItemType*& item) const
{
    if (!node || !m_view.base())
        return FALSE;
    const CItemType::ParentLink& parent = node->m_parentLink;
    // A keyword's images are its id list, in any order: the next one is the next id, wherever its
    // file entry lies (the position of the current entry says nothing about it).
    if (parent.present && parent.level == kKeywordLevel)
        return CreateChild(parent, node->m_parent, static_cast<unsigned long>(node->m_index) + 1, item);
    const bool throughParent = parent.present;
    const uint64_t pos = throughParent ? parent.nextOffset : node->m_nextOffset;
    if (pos >= LevelEnd(node->m_level))
        return FALSE;
    if (parent.present)
        return CreateChild(parent, node->m_parent, static_cast<unsigned long>(node->m_index) + 1, item);
    return CreateItem(item, node->m_nextOffset, node->m_level, nullptr, node->m_index + 1, true);
}

unsigned long CDatFile::GetChildItemCount(const CItemType* node) const
{
    return node ? node->m_childCount : 0;
}

bool CDatFile::ReadKeywordEntry(uint64_t pos, const char*& text, uint64_t& idsPos, uint32_t& count) const
{
    uint32_t length = 0;
    if (!m_view.ReadString(pos, m_view.size(), text, length))
        return false;
    const uint64_t countPos = pos + length + 1;
    if (!m_view.ReadU32(countPos, count) || count > (m_view.size() - countPos - 4) / 4)
        return false;
    idsPos = countPos + 4;
    return true;
}

namespace {

// The key under which the system's case-insensitive comparison finds a text equal to another:
// two texts compare equal exactly when their sort keys are equal.
std::string SortKey(const char* text)
{
    const LCID locale = GetThreadLocale();
    const int size = LCMapStringA(locale, LCMAP_SORTKEY | NORM_IGNORECASE, text, -1, nullptr, 0);
    std::string key(size > 0 ? static_cast<size_t>(size) : 0, '\0');
    if (size > 0)
        LCMapStringA(locale, LCMAP_SORTKEY | NORM_IGNORECASE, text, -1, &key[0], size);
    return key;
}

} // namespace

const std::unordered_map<std::string, uint64_t>& CDatFile::KeywordIndex() const
{
    std::lock_guard<std::mutex> lock(m_indexLock);
    if (!m_indexBuilt) {
        m_indexBuilt = true;
        // The scan ends at the first entry that does not lie inside the view, as the search does.
        for (uint64_t pos = m_keyTable; m_view.base() && pos < m_view.size();) {
            const char* text = nullptr;
            uint64_t idsPos = 0;
            uint32_t count = 0;
            if (!ReadKeywordEntry(pos, text, idsPos, count))
                break;
            m_keywordIndex.emplace(SortKey(text), pos);
            pos = idsPos + uint64_t(4) * count;
        }
    }
    return m_keywordIndex;
}

int CDatFile::FindImages(const char* keyword, unsigned long*& ids) const
{
    if (m_view.base() && keyword) {
        const auto& index = KeywordIndex();
        const auto found = index.find(SortKey(keyword));
        const char* text = nullptr;
        uint64_t idsPos = 0;
        uint32_t count = 0;
        if (found != index.end() && ReadKeywordEntry(found->second, text, idsPos, count) &&
            lstrcmpiA(keyword, text) == 0) {
            ids = new unsigned long[count ? count : 1];
            for (uint32_t i = 0; i < count; ++i) {
                uint32_t id = 0;
                m_view.ReadU32(idsPos + 4 * uint64_t(i), id);
                ids[i] = id;
            }
            return static_cast<int>(count);
        }
    }
    ids = new unsigned long[1];
    return 0;
}

CString CDatFile::GetImagePath(unsigned long id) const
{
    const char* text = nullptr;
    uint32_t length = 0;
    if (!m_view.base() || !m_view.ReadString(m_fileTable + id, m_keyTable, text, length))
        return CString();
    return CString(text, static_cast<int>(length));
}

unsigned CDatFile::FindImagesByExpression(CString& expression, unsigned long*& ids) const
{
    CSearchExpression search(*this);
    if (!search.Evaluate(expression))
        return 0;
    const std::vector<unsigned long>& found = search.Result();
    ids = new unsigned long[found.empty() ? 1 : found.size()];
    std::copy(found.begin(), found.end(), ids);
    return static_cast<unsigned>(found.size());
}
