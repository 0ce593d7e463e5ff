#pragma once
#include <cstring>
#include <type_traits>
#include <vector>

#include "ClString.h"
#include "TarnApi.h"

// Key of a property record: the name's length, or a numeric id carrying this bit.
constexpr unsigned long kPropertyIdBit = 0x40000000;
// The id of an entry that was stored under a name.
constexpr long kNoPropertyId = -1;

// The property records of one object while it loads, in stream order, for lookup by name or id.
// The bag owns every entry's name and data.
class TARN_API CTarnPropertyBag {
public:
    CTarnPropertyBag() = default;
    ~CTarnPropertyBag();
    CTarnPropertyBag(const CTarnPropertyBag&) = delete;
    CTarnPropertyBag& operator=(const CTarnPropertyBag&) = delete;

    // Takes ownership of name (new char[], may be null) and data (new BYTE[], may be null).
    void AddProperty(char* name, long id, void* data, ULONG size);

    // The first entry in stream order whose id equals id or whose name equals name (exact) wins;
    // it is marked read. The data stays the bag's.
    BOOL FindProperty(const char* name, long id, const void*& data, ULONG& size);
    BOOL FindProperty(long id, const void*& data, ULONG& size) { return FindProperty(nullptr, id, data, size); }
    BOOL FindProperty(const char* name, const void*& data, ULONG& size) { return FindProperty(name, 0, data, size); }

    BOOL LoadPropString(const char* name, long id, CString& out);
    BOOL LoadPropString(const char* name, CString& out) { return LoadPropString(name, 0, out); }

    // FALSE, value unchanged, when the record is missing or empty. Otherwise at most the value's
    // own size is copied and the rest of the value is zeroed.
    template <class T>
    BOOL LoadPropVar(const char* name, long id, T& value)
    {
        static_assert(std::is_trivially_copyable<T>::value, "property values are plain bytes");
        const void* data = nullptr;
        ULONG size = 0;
        if (!FindProperty(name, id, data, size) || size == 0)
            return FALSE;
        unsigned char bytes[sizeof(T)] = {};
        std::memcpy(bytes, data, size < sizeof(T) ? size : sizeof(T));
        std::memcpy(&value, bytes, sizeof(T));
        return TRUE;
    }
    template <class T>
    BOOL LoadPropVar(const char* name, T& value)
    {
        return LoadPropVar(name, 0, value);
    }

    BOOL BeginUnreadedEnumeration();
    // The next entry that has a name and has not been read.
    BOOL GetUnreaded(char*& name, void*& data, ULONG& size);

    int GetCount() const { return static_cast<int>(m_entries.size()); }

private:
    struct Entry {
        long id;
        char* name;
        void* data;
        ULONG size;
        bool read;
    };
    std::vector<Entry> m_entries;
    size_t m_cursor = 0;
};
