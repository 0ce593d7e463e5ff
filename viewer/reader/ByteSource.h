#pragma once
#include <windows.h>
#include <objidl.h>
#include <cstddef>

// Where an archive takes its bytes from: a stream of the card, or a memory block that holds one
// property's data (nested objects, hot spots, stored controls).
class CByteSource
{
public:
    virtual ~CByteSource() = default;
    // Copies up to count bytes and answers how many were delivered.
    virtual ULONG Read(void* buffer, ULONG count) = 0;
    virtual void Rewind() = 0;
};

class CStreamByteSource : public CByteSource
{
public:
    explicit CStreamByteSource(IStream* stream);
    ~CStreamByteSource() override;
    CStreamByteSource(const CStreamByteSource&) = delete;
    CStreamByteSource& operator=(const CStreamByteSource&) = delete;

    ULONG Read(void* buffer, ULONG count) override;
    void Rewind() override;

private:
    IStream* m_stream;
};

class CMemoryByteSource : public CByteSource
{
public:
    CMemoryByteSource(const void* start, size_t size);

    ULONG Read(void* buffer, ULONG count) override;
    void Rewind() override { m_position = 0; }

private:
    const BYTE* m_start;
    size_t m_size;
    size_t m_position = 0;
};
