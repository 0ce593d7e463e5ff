#pragma once
// A clip-art library (.dat): a read-only index of categories, keywords and image paths, answered
// from a private read-only mapping of the file. Every offset, string and count read from the file
// is checked against the view: a malformed header fails Open, a malformed record ends the walk.
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <classlib.h>
#include "TarnApi.h"
#include "ItemType.h"
#include "MappedBytes.h"

class TARN_API CDatFile
{
public:
    static constexpr uint32_t kMagic = 0xFFEECCFF;
    static constexpr uint32_t kSectionedMarker = 0xEEFFFFCC;
    static constexpr uint32_t kNoOffset = 0xFFFFFFFF;
    static constexpr uint32_t kRecordsGap = 10240;
    static constexpr int kMaxSections = 100;
    enum Level { kFileLevel = -1, kKeywordLevel = -2 };

    CDatFile();
    virtual ~CDatFile();
    CDatFile(const CDatFile&) = delete;
    CDatFile& operator=(const CDatFile&) = delete;

    BOOL Open(const char* path);
    BOOL IsValidFile() const;
    BOOL IsNewFormatFile() const { return m_newFormat; }
    const char* GetProductName() const { return m_productName; }

    const unsigned char* GetFileBase() const { return m_view.base(); }
    const unsigned char* GetFileTable() const;
    const unsigned char* GetKeyTable() const;
    unsigned long GetFileTableSize() const { return static_cast<unsigned long>(m_keyTable - m_fileTable); }
    unsigned long GetKeyTableSize() const { return static_cast<unsigned long>(m_view.size() - m_keyTable); }

    BOOL GetRootItem(CItemType*& item) const;
    BOOL GetChildItem(const CItemType* parent, CItemType*& item) const;
    BOOL GetNextSiblingItem(const CItemType* node, CItemType*& item) const;
    unsigned long GetChildItemCount(const CItemType* node) const;

    // The image ids of the keyword that equals the given one ignoring case; the caller frees the
    // array with delete[] (it is allocated, with no ids, also when nothing matches).
    int FindImages(const char* keyword, unsigned long*& ids) const;
    // The image ids that a keyword expression selects (see CSearchExpression), in a new array
    // that the caller frees with delete[]; on a malformed expression 0, and ids is left untouched.
    unsigned FindImagesByExpression(CString& expression, unsigned long*& ids) const;
    // The stored path of the file entry that the image id names; empty for an id that names none.
    CString GetImagePath(unsigned long id) const;

private:
    struct Section
    {
        uint64_t firstRecord = 0;
        uint64_t recordsEnd = 0;
        uint64_t names = kNoOffset;   // kNoOffset: names come from the key table
        uint64_t fourth = kNoOffset;
    };

    static CItemType::ParentLink LinkOf(const CItemType& node);
    void UnMapFile();
    BOOL MapHandle();
    BOOL ReadHeader();
    // Reads the record of the given level at pos into a new node; false when it does not lie
    // wholly inside its table.
    bool CreateItem(CItemType*& item, uint64_t pos, int level, const CItemType* parent, int index,
                    bool visible) const;
    bool CreateChild(const CItemType::ParentLink& parent, const CItemType* parentNode, unsigned long i,
                     CItemType*& item) const;
    uint64_t LevelEnd(int level) const;
    // Reads the keyword entry at pos: its text, and where its ids start and how many there are.
    bool ReadKeywordEntry(uint64_t pos, const char*& text, uint64_t& idsPos, uint32_t& count) const;
    // The key table's keywords by their case-insensitive sort key, the first entry of each; made
    // at the first look-up.
    const std::unordered_map<std::string, uint64_t>& KeywordIndex() const;

    CString m_productName;
    CString m_path;
    BOOL m_newFormat = FALSE;
    Section m_sections[kMaxSections];
    int m_sectionCount = 0;
    uint64_t m_fileTable = 0;
    uint64_t m_keyTable = 0;
    MappedBytes m_view;
    HANDLE m_mapping = nullptr;
    HANDLE m_file = INVALID_HANDLE_VALUE;
    mutable std::mutex m_indexLock;
    mutable bool m_indexBuilt = false;
    mutable std::unordered_map<std::string, uint64_t> m_keywordIndex;
};
