#pragma once
// Keyed property records as the drawing controls store them on a stream:
//   key (u32: 0 ends the list; bit 0x40000000 set: numeric id, no name; else name length),
//   name bytes, size (u32), data bytes.
#include <windows.h>
#include <objidl.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

const ULONG kPropertyIdFlag = 0x40000000;

// A stream that ends inside a record.
const HRESULT kRecordTruncated = STG_E_READFAULT;
// A record that claims more bytes than the stream holds, or a name longer than any name written.
const HRESULT kRecordOversized = STG_E_INVALIDHEADER;

// The records of one object while it loads, looked up by name or numeric id.
class CTarnPropertyBag {
public:
    struct Entry {
        long id;           // -1 for a record stored by name
        std::string name;  // empty for a record stored by id
        bool hasName;
        std::vector<BYTE> data;
        bool read;
    };

    void AddProperty(const char* name, long id, const void* data, ULONG size);
    // The first record in stream order whose id equals id, or whose name equals name; marks it read.
    BOOL FindProperty(const char* name, long id, const void*& data, ULONG& size);
    BOOL FindProperty(long id, const void*& data, ULONG& size) { return FindProperty(nullptr, id, data, size); }
    BOOL FindProperty(const char* name, const void*& data, ULONG& size) { return FindProperty(name, 0, data, size); }

    BOOL LoadPropString(const char* name, long id, std::string& out);
    template <class T>
    BOOL LoadPropVar(const char* name, long id, T& value) {
        const void* data = nullptr;
        ULONG size = 0;
        if (!FindProperty(name, id, data, size) || size == 0) return FALSE;
        std::memset(&value, 0, sizeof(T));
        std::memcpy(&value, data, size < sizeof(T) ? size : sizeof(T));
        return TRUE;
    }

    BOOL BeginUnreadedEnumeration();
    BOOL GetUnreaded(const char*& name, const void*& data, ULONG& size);

    size_t Count() const { return entries_.size(); }
    const Entry& At(size_t i) const { return entries_[i]; }

    // Reads records up to and including the terminating zero key. Nothing is kept on failure.
    HRESULT ReadFrom(IStream* stream);

private:
    std::vector<Entry> entries_;
    size_t cursor_ = 0;
};

// Writes one record; the first failing Write is returned and nothing further written.
HRESULT __SaveProp(IStream* stream, const char* name, const void* data, ULONG size);
HRESULT __SaveProp(IStream* stream, long id, const void* data, ULONG size);
HRESULT WriteRecordTerminator(IStream* stream);
