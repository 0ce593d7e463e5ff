#include "ByteSource.h"

#include <algorithm>
#include <cstring>

CStreamByteSource::CStreamByteSource(IStream* stream) : m_stream(stream)
{
    if (m_stream)
        m_stream->AddRef();
}

CStreamByteSource::~CStreamByteSource()
{
    if (m_stream)
        m_stream->Release();
}

ULONG CStreamByteSource::Read(void* buffer, ULONG count)
{
    if (!m_stream || count == 0)
        return 0;
    ULONG delivered = 0;
    if (FAILED(m_stream->Read(buffer, count, &delivered)))
        return 0;
    // A stream that claims more than was asked for must not make us trust bytes we never got.
    return std::min(delivered, count);
}

void CStreamByteSource::Rewind()
{
    if (!m_stream)
        return;
    LARGE_INTEGER start{};
    m_stream->Seek(start, STREAM_SEEK_SET, nullptr);
}

CMemoryByteSource::CMemoryByteSource(const void* start, size_t size)
    : m_start(static_cast<const BYTE*>(start)), m_size(start ? size : 0)
{
}

ULONG CMemoryByteSource::Read(void* buffer, ULONG count)
{
    const size_t available = m_size - m_position;
    const ULONG delivered = static_cast<ULONG>(std::min<size_t>(count, available));
    if (delivered) {
        std::memcpy(buffer, m_start + m_position, delivered);
        m_position += delivered;
    }
    return delivered;
}
