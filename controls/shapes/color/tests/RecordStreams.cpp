#include "RecordStreams.h"

#include <cstring>

HRESULT BagFromBytes(const std::vector<BYTE>& bytes, CTarnPropertyBag& bag) {
    IStream* stream = NewMemoryStream();
    ULONG written = 0;
    if (!bytes.empty()) stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    WriteRecordTerminator(stream);
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    const HRESULT hr = bag.ReadFrom(stream);
    stream->Release();
    return hr;
}

namespace {
void Append(std::vector<BYTE>& out, const void* data, size_t size) {
    const BYTE* p = static_cast<const BYTE*>(data);
    out.insert(out.end(), p, p + size);
}
}  // namespace

RecordWriter& RecordWriter::Id(long id, const void* data, ULONG size) {
    Append(bytes, &id, 4);
    Append(bytes, &size, 4);
    Append(bytes, data, size);
    return *this;
}

RecordWriter& RecordWriter::Named(const char* name, const void* data, ULONG size) {
    const ULONG length = static_cast<ULONG>(std::strlen(name));
    Append(bytes, &length, 4);
    Append(bytes, name, length);
    Append(bytes, &size, 4);
    Append(bytes, data, size);
    return *this;
}
