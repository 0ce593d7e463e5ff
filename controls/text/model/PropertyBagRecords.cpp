#include "PropertyBagRecords.h"

namespace {
// Records stored by name carry the id -1; an id no record has keeps a name lookup to names.
constexpr long kNoId = 0;
}

bool PropertyBagRecordSource::FindNamed(const char* name, const void*& data, uint32_t& size) {
    ULONG found = 0;
    if (!bag_.FindProperty(name, kNoId, data, found)) return false;
    size = found;
    return true;
}

bool PropertyBagRecordSource::FindId(uint32_t id, const void*& data, uint32_t& size) {
    ULONG found = 0;
    if (!bag_.FindProperty(nullptr, static_cast<long>(id), data, found)) return false;
    size = found;
    return true;
}

HRESULT StreamRecordSink::PutNamed(const char* name, const void* data, uint32_t size) {
    return __SaveProp(stream_, name, data, size);
}

HRESULT StreamRecordSink::PutId(uint32_t id, const void* data, uint32_t size) {
    return __SaveProp(stream_, static_cast<long>(id), data, size);
}
