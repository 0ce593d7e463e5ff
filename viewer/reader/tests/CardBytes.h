#pragma once
// Test-side composer of card bytes, written from the stored format's tables: little-endian values,
// property-record lists, object tags numbered as the writer numbers them, the compressed frame and
// the compound file around "Contents".
#include <windows.h>
#include <objidl.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace cardbytes {

using Bytes = std::vector<BYTE>;

inline void Append(Bytes& out, const void* data, size_t size)
{
    const BYTE* p = static_cast<const BYTE*>(data);
    out.insert(out.end(), p, p + size);
}
inline void PutU16(Bytes& out, uint16_t v) { Append(out, &v, 2); }
inline void PutU32(Bytes& out, uint32_t v) { Append(out, &v, 4); }
inline void PutDouble(Bytes& out, double v) { Append(out, &v, 8); }
inline Bytes U32(uint32_t v) { Bytes b; PutU32(b, v); return b; }
inline Bytes U8(uint8_t v) { return Bytes{v}; }
inline Bytes Double(double v) { Bytes b; PutDouble(b, v); return b; }
inline Bytes Doubles(double a, double b) { Bytes r; PutDouble(r, a); PutDouble(r, b); return r; }
inline Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
inline Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts)
        Append(out, part.data(), part.size());
    return out;
}

// One object's property-record list.
class Records
{
public:
    Records& Id(uint32_t id, const Bytes& data)
    {
        PutU32(m_bytes, id);
        PutU32(m_bytes, static_cast<uint32_t>(data.size()));
        Append(m_bytes, data.data(), data.size());
        return *this;
    }
    Records& Named(const std::string& name, const Bytes& data)
    {
        PutU32(m_bytes, static_cast<uint32_t>(name.size()));
        Append(m_bytes, name.data(), name.size());
        PutU32(m_bytes, static_cast<uint32_t>(data.size()));
        Append(m_bytes, data.data(), data.size());
        return *this;
    }
    Bytes End() const
    {
        Bytes out = m_bytes;
        PutU32(out, 0);
        return out;
    }

private:
    Bytes m_bytes;
};

// Object tags numbered as the card's writer numbers them: one counter from 1; a new class takes one
// index and its object the next; an object of a known class takes one index.
class Tags
{
public:
    void Object(Bytes& out, const std::string& className, uint16_t schema = 1)
    {
        auto known = m_classes.find(className);
        if (known == m_classes.end()) {
            PutU16(out, 0xFFFF);
            PutU16(out, schema);
            PutU16(out, static_cast<uint16_t>(className.size()));
            Append(out, className.data(), className.size());
            m_classes[className] = m_next++;
        } else if (known->second < 0x7FFF) {
            PutU16(out, static_cast<uint16_t>(0x8000 | known->second));
        } else {
            PutU16(out, 0x7FFF);
            PutU32(out, 0x80000000u | known->second);
        }
        ++m_next;   // the object's own index
    }
    uint32_t Next() const { return m_next; }

private:
    std::map<std::string, uint32_t> m_classes;
    uint32_t m_next = 1;
};

// The compressed frame: "NRAT", U, C, CRC-32 of the compressed bytes from seed 0xD209FA72, zlib data.
Bytes Frame(const Bytes& content);

// A compound file holding the given streams, as a file image.
Bytes CompoundFile(const std::vector<std::pair<std::string, Bytes>>& streams);

}  // namespace cardbytes
