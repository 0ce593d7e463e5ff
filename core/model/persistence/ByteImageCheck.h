#pragma once
// The base of the checks that look at a platform file's structure in memory before the platform
// reads it: little-endian values at byte offsets (the caller keeps them inside the image) and the
// reason of a refusal.
#include <cstdint>
#include <cstring>
#include <vector>

#include "ClString.h"

class CByteImageCheck {
protected:
    explicit CByteImageCheck(const std::vector<unsigned char>& bytes) : m_bytes(bytes) {}

    static bool Fail(CString& why, const char* text)
    {
        why = text;
        return false;
    }
    uint32_t U32(size_t at) const
    {
        uint32_t v = 0;
        std::memcpy(&v, &m_bytes[at], 4);
        return v;
    }
    uint16_t U16(size_t at) const
    {
        uint16_t v = 0;
        std::memcpy(&v, &m_bytes[at], 2);
        return v;
    }

    const std::vector<unsigned char>& m_bytes;
};
