#pragma once
#include <windows.h>
#include <objidl.h>

#include <string>

class CCompressedReadStream;

// Holds the reader of one opened stream of the card.
class CStreamHolder
{
public:
    CStreamHolder() = default;
    ~CStreamHolder() { Close(); }
    CStreamHolder(const CStreamHolder&) = delete;
    CStreamHolder& operator=(const CStreamHolder&) = delete;

    IStream* Get() const { return m_stream; }
    void Reset(IStream* stream);   // takes over the caller's reference
    void Close() { Reset(nullptr); }

private:
    IStream* m_stream = nullptr;
};

// The card embedded in the program as resources of one type named 1, 2, 3 ..., joined into one
// block of memory and opened as a compound file, for the time of one load.
class CResourceStorage
{
public:
    static const WORD kCardResourceType = 21359;

    CResourceStorage() = default;
    ~CResourceStorage() { Close(); }
    CResourceStorage(const CResourceStorage&) = delete;
    CResourceStorage& operator=(const CResourceStorage&) = delete;

    // Joins the resources of the given type in module (null: the program itself) and opens the
    // compound file they form.
    bool Open(WORD resourceType, HMODULE module = nullptr);
    // The joined size of the pieces of the type in module: names 1, 2, 3 ... up to the first missing one.
    static size_t MeasurePieces(WORD resourceType, HMODULE module);
    // Opens a compound file already held in memory (a card file read from disk).
    bool OpenBytes(const void* data, size_t size);
    // Opens the named stream through the compressed-stream reader.
    bool OpenStream(const char* name, CStreamHolder& holder);
    void Close();

    IStorage* GetStorage() const { return m_storage; }
    size_t GetJoinedSize() const { return m_size; }
    HRESULT GetLastResult() const { return m_lastResult; }

private:
    bool OpenOnBlock();

    HGLOBAL m_block = nullptr;
    size_t m_size = 0;
    ILockBytes* m_lockBytes = nullptr;
    IStorage* m_storage = nullptr;
    HRESULT m_lastResult = S_OK;
};
