#pragma once
// Memory streams for record tests: the bytes written, and a bag read back from bytes.
#include <windows.h>
#include <objidl.h>

#include <vector>

#include "tarn/PropertyRecords.h"

#include "ControlFixtures.h"

// A stream over a growing memory block; Release frees it.
inline IStream* NewMemoryStream() { return StreamOf({}); }
inline std::vector<BYTE> StreamBytes(IStream* stream) { return StreamContents(stream); }
// Reads the records of bytes (terminator appended when missing) into bag.
HRESULT BagFromBytes(const std::vector<BYTE>& bytes, CTarnPropertyBag& bag);

// Builds record streams by hand, as another writer would.
class RecordWriter {
public:
    RecordWriter& Id(long id, const void* data, ULONG size);
    RecordWriter& Named(const char* name, const void* data, ULONG size);
    template <class T>
    RecordWriter& Id(long id, const T& value) { return Id(id, &value, sizeof value); }
    template <class T>
    RecordWriter& Named(const char* name, const T& value) { return Named(name, &value, sizeof value); }
    std::vector<BYTE> bytes;
};
