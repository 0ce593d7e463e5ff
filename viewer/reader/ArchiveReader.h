#pragma once
#include "ByteSource.h"

#include <cstdint>
#include <string>
#include <vector>

class CViewerPersistent;

// Reads the card's archive: fixed-width little-endian values, byte blocks and objects behind the
// class library's object tags. Every read either delivers all the bytes asked for or marks the
// archive failed; once failed, every further read fails, so a damaged card ends the load instead
// of handing out bytes that were never stored.
class CArchiveReader
{
public:
    explicit CArchiveReader(CByteSource& source);
    CArchiveReader(const CArchiveReader&) = delete;
    CArchiveReader& operator=(const CArchiveReader&) = delete;

    bool ReadBytes(void* buffer, ULONG count);
    // Reads size bytes without trusting size up front: the block grows only as bytes arrive.
    bool ReadBlock(std::vector<BYTE>& out, uint32_t size);
    bool ReadU16(uint16_t& value);
    bool ReadU32(uint32_t& value);
    bool ReadDouble(double& value);

    // Reads one object tag and, where it introduces an object, the object itself into the caller's
    // object. Null and back-reference tags leave the object as it is. False when the tag or the object
    // is damaged.
    bool ReadObject(CViewerPersistent& object);
    // The same, telling whether the object itself was read (false for null and back-reference tags).
    bool ReadObject(CViewerPersistent& object, bool& read);

    bool Failed() const { return m_failed; }
    void MarkFailed() { m_failed = true; }
    void Rewind();

    // The card's writer numbers classes and objects from one counter starting at 1: a class seen
    // for the first time takes the next index and its object the one after; an object of a known
    // class takes one index. A class tag must name a class entry, a back-reference an object entry.
    size_t TableSize() const { return m_table.size(); }
    // The class name of a class entry (index from 1); null for object entries and unknown indexes.
    const char* ClassNameAt(size_t index) const;

private:
    struct TableEntry
    {
        bool isClass;
        size_t nameIndex;   // into m_names: the entry's class, for an object the class of the object
    };

    bool ReadNewClass();
    bool UseKnownClass(uint32_t index);
    bool ReadObjectContents(CViewerPersistent& object);
    bool Fail();

    CByteSource& m_source;
    bool m_failed = false;
    std::vector<std::string> m_names;     // every distinct class name once
    std::vector<TableEntry> m_table;      // entry i has index i + 1
};
