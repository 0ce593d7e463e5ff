#include "ResourceStorage.h"
#include "CompressedReadStream.h"

#include <cstring>
#include <limits>

void CStreamHolder::Reset(IStream* stream)
{
    if (m_stream)
        m_stream->Release();
    m_stream = stream;
}

namespace {
// Resource n of the type, or null when the module has none.
HRSRC FindPiece(HMODULE module, WORD type, WORD name)
{
    return FindResourceA(module, MAKEINTRESOURCEA(name), MAKEINTRESOURCEA(type));
}
}

size_t CResourceStorage::MeasurePieces(WORD resourceType, HMODULE module)
{
    // The first missing name ends the card; the names are 16-bit, so the walk ends there as well.
    size_t total = 0;
    for (WORD name = 1; name != 0; ++name) {
        HRSRC piece = FindPiece(module, resourceType, name);
        if (!piece)
            break;
        const DWORD size = SizeofResource(module, piece);
        if (size > std::numeric_limits<size_t>::max() - total)
            return 0;
        total += size;
    }
    return total;
}

bool CResourceStorage::Open(WORD resourceType, HMODULE module)
{
    Close();
    if (!module)
        module = GetModuleHandleA(nullptr);

    const size_t total = MeasurePieces(resourceType, module);
    if (total == 0) {
        m_lastResult = STG_E_FILENOTFOUND;
        return false;
    }

    m_block = GlobalAlloc(GMEM_MOVEABLE, total);
    if (!m_block) {
        m_lastResult = E_OUTOFMEMORY;
        return false;
    }
    BYTE* target = static_cast<BYTE*>(GlobalLock(m_block));
    if (!target) {
        m_lastResult = E_OUTOFMEMORY;
        Close();
        return false;
    }
    size_t copied = 0;
    for (WORD name = 1; name != 0 && copied < total; ++name) {
        HRSRC piece = FindPiece(module, resourceType, name);
        HGLOBAL loaded = piece ? LoadResource(module, piece) : nullptr;
        const void* bytes = loaded ? LockResource(loaded) : nullptr;
        const DWORD size = piece ? SizeofResource(module, piece) : 0;
        if (piece && size == 0)
            continue;   // an empty piece adds nothing
        if (!bytes || size > total - copied) {
            GlobalUnlock(m_block);
            m_lastResult = E_FAIL;
            Close();
            return false;
        }
        std::memcpy(target + copied, bytes, size);
        copied += size;
    }
    GlobalUnlock(m_block);
    m_size = copied;
    return OpenOnBlock();
}

bool CResourceStorage::OpenBytes(const void* data, size_t size)
{
    Close();
    if (!data || size == 0) {
        m_lastResult = STG_E_FILENOTFOUND;
        return false;
    }
    m_block = GlobalAlloc(GMEM_MOVEABLE, size);
    void* target = m_block ? GlobalLock(m_block) : nullptr;
    if (!target) {
        m_lastResult = E_OUTOFMEMORY;
        Close();
        return false;
    }
    std::memcpy(target, data, size);
    GlobalUnlock(m_block);
    m_size = size;
    return OpenOnBlock();
}

bool CResourceStorage::OpenOnBlock()
{
    m_lastResult = CreateILockBytesOnHGlobal(m_block, FALSE, &m_lockBytes);
    if (FAILED(m_lastResult)) {
        m_lockBytes = nullptr;
        Close();
        return false;
    }
    m_lastResult = StgOpenStorageOnILockBytes(m_lockBytes, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0,
                                              &m_storage);
    if (FAILED(m_lastResult) || !m_storage) {
        m_storage = nullptr;
        if (SUCCEEDED(m_lastResult))
            m_lastResult = E_FAIL;
        Close();
        return false;
    }
    return true;
}

bool CResourceStorage::OpenStream(const char* name, CStreamHolder& holder)
{
    holder.Close();
    if (!m_storage || !name) {
        m_lastResult = E_UNEXPECTED;
        return false;
    }
    WCHAR wideName[256] = {};
    if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, name, -1, wideName, 255) == 0 && name[0] != '\0') {
        // Longer than a stream name can be: no such stream.
        m_lastResult = STG_E_INVALIDNAME;
        return false;
    }
    IStream* raw = nullptr;
    m_lastResult = m_storage->OpenStream(wideName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &raw);
    if (FAILED(m_lastResult) || !raw)
        return false;

    CCompressedReadStream* reader = nullptr;
    m_lastResult = CCompressedReadStream::Create(&reader);
    if (SUCCEEDED(m_lastResult))
        m_lastResult = reader->put_Donor(raw);
    raw->Release();   // the reader keeps its own reference
    if (FAILED(m_lastResult)) {
        if (reader)
            reader->Release();
        return false;
    }
    holder.Reset(reader);
    return true;
}

void CResourceStorage::Close()
{
    if (m_lockBytes) {
        m_lockBytes->Release();
        m_lockBytes = nullptr;
    }
    if (m_storage) {
        m_storage->Release();
        m_storage = nullptr;
    }
    if (m_block) {
        GlobalFree(m_block);
        m_block = nullptr;
    }
    m_size = 0;
}
