#pragma once
// Memory streams to and from byte vectors, for the record tests.
#include <windows.h>
#include <objidl.h>

#include <vector>

// The whole content of a stream.
inline std::vector<BYTE> StreamBytes(IStream* stream) {
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::vector<BYTE> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    const LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    if (!bytes.empty()) stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    return bytes;
}

// A new memory stream holding the bytes, positioned at its start; the caller releases it.
inline IStream* StreamOf(const std::vector<BYTE>& bytes) {
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return nullptr;
    ULONG written = 0;
    if (!bytes.empty()) stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    const LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    return stream;
}
