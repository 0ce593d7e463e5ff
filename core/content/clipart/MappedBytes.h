#pragma once
// Checked reads from a read-only view of a file: every word and string is found inside the view,
// or the read answers false and the caller treats the file as malformed.
#include <cstdint>
#include <cstring>

class MappedBytes
{
public:
    MappedBytes() = default;
    MappedBytes(const unsigned char* base, uint64_t size) : m_base(base), m_size(size) {}

    const unsigned char* base() const { return m_base; }
    uint64_t size() const { return m_size; }

    bool ReadU32(uint64_t pos, uint32_t& value) const
    {
        if (pos > m_size || m_size - pos < 4)
            return false;
        std::memcpy(&value, m_base + pos, 4);
        return true;
    }

    // A NUL-terminated string starting at pos whose NUL lies before end (and inside the view).
    // On success text points at it and length is its length without the NUL.
    bool ReadString(uint64_t pos, uint64_t end, const char*& text, uint32_t& length) const
    {
        if (end > m_size)
            end = m_size;
        if (pos >= end)
            return false;
        const void* nul = std::memchr(m_base + pos, 0, static_cast<size_t>(end - pos));
        if (!nul)
            return false;
        text = reinterpret_cast<const char*>(m_base + pos);
        length = static_cast<uint32_t>(static_cast<const unsigned char*>(nul) - (m_base + pos));
        return true;
    }

private:
    const unsigned char* m_base = nullptr;
    uint64_t m_size = 0;
};
