#pragma once
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

// The property records of one stored object, in stored order, for lookup by name or numeric id.
class CViewerPropertyBag
{
public:
    struct Record
    {
        bool hasId = false;
        uint32_t id = 0;
        bool hasName = false;
        std::string name;
        std::vector<BYTE> data;
    };

    void AddById(uint32_t id, std::vector<BYTE> data);
    void AddByName(std::string name, std::vector<BYTE> data);
    void Clear() { m_records.clear(); }
    size_t Count() const { return m_records.size(); }
    const Record& At(size_t index) const { return m_records[index]; }

    // The first record in stored order wins; names compare case-sensitively.
    const Record* FindByName(const char* name) const;
    const Record* FindById(uint32_t id) const;
    const Record* FindByNameOrId(const char* name, uint32_t id) const;

    // Copy a found record of non-zero size into a fixed field: at most the field's width, the rest
    // of the field zeroed. Without such a record the field keeps its value and the answer is false.
    template <class T> bool GetValue(uint32_t id, T& field) const { return CopyInto(FindById(id), field); }
    template <class T> bool GetValue(const char* name, T& field) const { return CopyInto(FindByName(name), field); }
    template <class T> bool GetValue(const char* name, uint32_t id, T& field) const
    {
        return CopyInto(FindByNameOrId(name, id), field);
    }
    bool GetText(const char* name, uint32_t id, std::string& text) const;

private:
    template <class T> static bool CopyInto(const Record* record, T& field)
    {
        static_assert(std::is_trivially_copyable<T>::value, "fixed fields only");
        if (!record || record->data.empty())
            return false;
        BYTE bytes[sizeof(T)] = {};
        std::memcpy(bytes, record->data.data(), record->data.size() < sizeof(T) ? record->data.size() : sizeof(T));
        std::memcpy(&field, bytes, sizeof(T));
        return true;
    }

    std::vector<Record> m_records;
};
