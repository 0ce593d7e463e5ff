#include "ArchiveReader.h"
#include "ViewerPersistent.h"

#include <algorithm>
#include <cstring>

namespace {
const uint16_t kNullTag = 0;
const uint16_t kNewClassTag = 0xFFFF;
const uint16_t kClassTagBit = 0x8000;
const uint16_t kBigTag = 0x7FFF;
const uint32_t kBigClassTagBit = 0x80000000u;
const ULONG kBlockStep = 64 * 1024;
}

CArchiveReader::CArchiveReader(CByteSource& source) : m_source(source) {}

bool CArchiveReader::Fail()
{
    m_failed = true;
    return false;
}

bool CArchiveReader::ReadBytes(void* buffer, ULONG count)
{
    if (m_failed)
        return false;
    BYTE* target = static_cast<BYTE*>(buffer);
    ULONG done = 0;
    while (done < count) {
        const ULONG got = m_source.Read(target + done, count - done);
        if (got == 0)
            return Fail();
        done += got;
    }
    return true;
}

bool CArchiveReader::ReadBlock(std::vector<BYTE>& out, uint32_t size)
{
    out.clear();
    while (out.size() < size) {
        const size_t before = out.size();
        const ULONG step = static_cast<ULONG>(std::min<size_t>(kBlockStep, size - before));
        out.resize(before + step);
        if (!ReadBytes(out.data() + before, step)) {
            out.clear();
            return false;
        }
    }
    return !m_failed;
}

bool CArchiveReader::ReadU16(uint16_t& value)
{
    BYTE raw[2];
    if (!ReadBytes(raw, sizeof raw))
        return false;
    value = static_cast<uint16_t>(raw[0] | (raw[1] << 8));
    return true;
}

bool CArchiveReader::ReadU32(uint32_t& value)
{
    BYTE raw[4];
    if (!ReadBytes(raw, sizeof raw))
        return false;
    value = raw[0] | (raw[1] << 8) | (raw[2] << 16) | (static_cast<uint32_t>(raw[3]) << 24);
    return true;
}

bool CArchiveReader::ReadDouble(double& value)
{
    BYTE raw[8];
    if (!ReadBytes(raw, sizeof raw))
        return false;
    std::memcpy(&value, raw, sizeof value);
    return true;
}

void CArchiveReader::Rewind()
{
    m_source.Rewind();
    m_failed = false;
    m_names.clear();
    m_table.clear();
}

const char* CArchiveReader::ClassNameAt(size_t index) const
{
    if (index == 0 || index > m_table.size() || !m_table[index - 1].isClass)
        return nullptr;
    return m_names[m_table[index - 1].nameIndex].c_str();
}

bool CArchiveReader::ReadNewClass()
{
    uint16_t schema = 0, length = 0;
    if (!ReadU16(schema) || !ReadU16(length))
        return false;
    std::string name(length, '\0');
    if (length && !ReadBytes(&name[0], length))
        return false;
    // The stored class never overrides the caller's: its place in the card decides what it is.
    auto known = std::find(m_names.begin(), m_names.end(), name);
    const size_t nameIndex = static_cast<size_t>(known - m_names.begin());
    if (known == m_names.end())
        m_names.push_back(std::move(name));
    m_table.push_back({true, nameIndex});
    m_table.push_back({false, nameIndex});
    return true;
}

bool CArchiveReader::UseKnownClass(uint32_t index)
{
    // The writer numbers classes and objects from one counter, so a class tag must name a class entry.
    if (index == 0 || index > m_table.size() || !m_table[index - 1].isClass)
        return Fail();
    m_table.push_back({false, m_table[index - 1].nameIndex});
    return true;
}

bool CArchiveReader::ReadObjectContents(CViewerPersistent& object)
{
    if (!object.Load(*this))
        return Fail();
    return !m_failed;
}

bool CArchiveReader::ReadObject(CViewerPersistent& object)
{
    bool read = false;
    return ReadObject(object, read);
}

bool CArchiveReader::ReadObject(CViewerPersistent& object, bool& read)
{
    read = false;
    uint16_t tag = 0;
    if (!ReadU16(tag))
        return false;
    if (tag == kNullTag)
        return true;
    if (tag == kNewClassTag)
        return read = ReadNewClass() && ReadObjectContents(object);
    if (tag == kBigTag) {
        uint32_t bigTag = 0;
        if (!ReadU32(bigTag))
            return false;
        if (bigTag & kBigClassTagBit)
            return read = UseKnownClass(bigTag & ~kBigClassTagBit) && ReadObjectContents(object);
        // A back-reference to an object read before: nothing follows and nothing new is numbered.
        if (bigTag == 0 || bigTag > m_table.size() || m_table[bigTag - 1].isClass)
            return Fail();
        return true;
    }
    if (tag & kClassTagBit)
        return read = UseKnownClass(tag & ~kClassTagBit) && ReadObjectContents(object);
    if (tag > m_table.size() || m_table[tag - 1].isClass)
        return Fail();
    return true;
}
