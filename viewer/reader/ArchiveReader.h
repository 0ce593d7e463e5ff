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

    // Two writers number the tags of one archive differently, and cards come from both: writing an
    // object through the archive's object writer numbers its class and then the object from one
    // counter; writing the class tag before the object's own serialisation numbers the classes only.
    // A class tag is taken when it names a class in either numbering; a back-reference when it names
    // an object of the first.
    size_t TableSize() const { return m_table.size(); }
    // The class name of a class entry of the shared numbering (index from 1); null otherwise.
    const char* ClassNameAt(size_t index) const;
    // The class name of the index-th class first seen (the class-only numbering); null otherwise.
    const char* ClassNameInOrder(size_t index) const;

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
    std::vector<TableEntry> m_table;      // shared numbering: entry i has index i + 1
    std::vector<size_t> m_classOrder;     // class-only numbering: class i + 1, as index into m_names
};
