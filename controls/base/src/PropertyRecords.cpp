#include "tarn/PropertyRecords.h"

#include <cstring>

namespace {
// No writer of this system stores a name longer than this; a longer key is a damaged stream.
const ULONG kLongestName = 0x10000;

HRESULT WriteAll(IStream* stream, const void* data, ULONG size) {
    if (size == 0) return S_OK;
    ULONG written = 0;
    HRESULT hr = stream->Write(data, size, &written);
    if (FAILED(hr)) return hr;
    return written == size ? S_OK : STG_E_WRITEFAULT;
}

HRESULT ReadAll(IStream* stream, void* data, ULONG size) {
    if (size == 0) return S_OK;
    ULONG read = 0;
    HRESULT hr = stream->Read(data, size, &read);
    if (FAILED(hr)) return hr;
    return read == size ? S_OK : kRecordTruncated;
}

// Bytes left behind the current position, or ~0 when the stream cannot tell.
ULONGLONG BytesLeft(IStream* stream) {
    STATSTG stat{};
    LARGE_INTEGER zero{};
    ULARGE_INTEGER position{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || FAILED(stream->Seek(zero, STREAM_SEEK_CUR, &position)))
        return ~0ULL;
    return stat.cbSize.QuadPart > position.QuadPart ? stat.cbSize.QuadPart - position.QuadPart : 0;
}
}  // namespace

void CTarnPropertyBag::AddProperty(const char* name, long id, const void* data, ULONG size) {
    Entry entry{id, name ? std::string(name) : std::string(), name != nullptr, {}, false};
    if (size) entry.data.assign(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
    entries_.push_back(std::move(entry));
}

BOOL CTarnPropertyBag::FindProperty(const char* name, long id, const void*& data, ULONG& size) {
    for (Entry& entry : entries_) {
        const bool idMatches = entry.id == id;
        const bool nameMatches = name && entry.hasName && entry.name == name;
        if (!idMatches && !nameMatches) continue;
        entry.read = true;
        data = entry.data.empty() ? nullptr : entry.data.data();
        size = static_cast<ULONG>(entry.data.size());
        return TRUE;
    }
    return FALSE;
}

BOOL CTarnPropertyBag::LoadPropString(const char* name, long id, std::string& out) {
    const void* data = nullptr;
    ULONG size = 0;
    if (!FindProperty(name, id, data, size)) return FALSE;
    out.assign(static_cast<const char*>(data), size);
    return TRUE;
}

BOOL CTarnPropertyBag::BeginUnreadedEnumeration() {
    cursor_ = 0;
    return entries_.empty() ? FALSE : TRUE;
}

BOOL CTarnPropertyBag::GetUnreaded(const char*& name, const void*& data, ULONG& size) {
    while (cursor_ < entries_.size()) {
        Entry& entry = entries_[cursor_++];
        if (!entry.hasName || entry.read) continue;
        name = entry.name.c_str();
        data = entry.data.empty() ? nullptr : entry.data.data();
        size = static_cast<ULONG>(entry.data.size());
        return TRUE;
    }
    return FALSE;
}

HRESULT CTarnPropertyBag::ReadFrom(IStream* stream) {
    if (!stream) return E_POINTER;
    std::vector<Entry> records;
    for (;;) {
        ULONG key = 0;
        HRESULT hr = ReadAll(stream, &key, sizeof key);
        if (FAILED(hr)) return hr;
        if (key == 0) break;
        Entry entry{-1, std::string(), false, {}, false};
        if (key & kPropertyIdFlag) {
            entry.id = static_cast<long>(key);
        } else {
            if (key > kLongestName || key > BytesLeft(stream)) return kRecordOversized;
            entry.name.resize(key);
            entry.hasName = true;
            hr = ReadAll(stream, &entry.name[0], key);
            if (FAILED(hr)) return hr;
        }
        ULONG size = 0;
        hr = ReadAll(stream, &size, sizeof size);
        if (FAILED(hr)) return hr;
        if (size > BytesLeft(stream)) return kRecordOversized;
        entry.data.resize(size);
        hr = ReadAll(stream, entry.data.data(), size);
        if (FAILED(hr)) return hr;
        records.push_back(std::move(entry));
    }
    for (Entry& record : records) entries_.push_back(std::move(record));
    return S_OK;
}

HRESULT __SaveProp(IStream* stream, const char* name, const void* data, ULONG size) {
    if (!stream || !name || (size && !data)) return E_POINTER;
    // An empty name would read back as the terminator, a long one as a damaged record, and a
    // length with the id bit as a numeric id.
    const size_t length = std::strlen(name);
    if (length == 0 || length > kLongestName) return E_INVALIDARG;
    const ULONG key = static_cast<ULONG>(length);
    HRESULT hr = WriteAll(stream, &key, sizeof key);
    if (SUCCEEDED(hr)) hr = WriteAll(stream, name, key);
    if (SUCCEEDED(hr)) hr = WriteAll(stream, &size, sizeof size);
    if (SUCCEEDED(hr)) hr = WriteAll(stream, data, size);
    return hr;
}

HRESULT __SaveProp(IStream* stream, long id, const void* data, ULONG size) {
    if (!stream || (size && !data)) return E_POINTER;
    const ULONG key = static_cast<ULONG>(id);
    if (!(key & kPropertyIdFlag)) return E_INVALIDARG;  // would read back as a name length
    HRESULT hr = WriteAll(stream, &key, sizeof key);
    if (SUCCEEDED(hr)) hr = WriteAll(stream, &size, sizeof size);
    if (SUCCEEDED(hr)) hr = WriteAll(stream, data, size);
    return hr;
}

HRESULT WriteRecordTerminator(IStream* stream) {
    const ULONG zero = 0;
    return WriteAll(stream, &zero, sizeof zero);
}
