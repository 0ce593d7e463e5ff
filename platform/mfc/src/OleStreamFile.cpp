#include "ClOleStreamFile.h"
#include "ClException.h"

#include <vector>

IMPLEMENT_DYNAMIC(COleStreamFile, CFile)

namespace {
std::vector<WCHAR> Wide(LPCSTR text)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, text ? text : "", -1, nullptr, 0);
    std::vector<WCHAR> wide(static_cast<size_t>(n > 0 ? n : 1), 0);
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, text ? text : "", -1, wide.data(), n);
    return wide;
}

// The storage flags have the same values as the file's mode and share flags.
DWORD StorageMode(DWORD nOpenFlags)
{
    return nOpenFlags & (CFile::modeRead | CFile::modeWrite | CFile::modeReadWrite | 0x70 | CFile::modeCreate);
}

void ReportError(CFileException* pError, SCODE sc, LPCSTR name)
{
    if (!pError)
        return;
    pError->m_cause = COleStreamFile::ScodeToFileCause(sc);
    pError->m_lOsError = sc;
    pError->m_strFileName = name;
}
}

COleStreamFile::COleStreamFile(LPSTREAM lpStream) : m_lpStream(lpStream)
{
    m_bCloseOnDelete = FALSE;
}

COleStreamFile::~COleStreamFile()
{
    if (m_lpStream && m_bCloseOnDelete)
        Abort();
}

void COleStreamFile::Attach(LPSTREAM lpStream)
{
    m_lpStream = lpStream;
    m_bCloseOnDelete = FALSE;
}

LPSTREAM COleStreamFile::Detach()
{
    LPSTREAM stream = m_lpStream;
    m_lpStream = nullptr;
    return stream;
}

int PASCAL COleStreamFile::ScodeToFileCause(SCODE sc)
{
    switch (sc) {
    case S_OK: return CFileException::none;
    case STG_E_FILENOTFOUND: return CFileException::fileNotFound;
    case STG_E_PATHNOTFOUND: return CFileException::badPath;
    case STG_E_TOOMANYOPENFILES: return CFileException::tooManyOpenFiles;
    case STG_E_ACCESSDENIED:
    case STG_E_FILEALREADYEXISTS: return CFileException::accessDenied;
    case STG_E_INVALIDHANDLE: return CFileException::invalidFile;
    case STG_E_NOMOREFILES: return CFileException::directoryFull;
    case STG_E_SEEKERROR: return CFileException::badSeek;
    case STG_E_WRITEFAULT:
    case STG_E_READFAULT: return CFileException::hardIO;
    case STG_E_SHAREVIOLATION: return CFileException::sharingViolation;
    case STG_E_LOCKVIOLATION: return CFileException::lockViolation;
    case STG_E_MEDIUMFULL: return CFileException::diskFull;
    default: return CFileException::generic;
    }
}

void COleStreamFile::ThrowStorageError(SCODE sc) const
{
    if (sc == E_OUTOFMEMORY || sc == STG_E_INSUFFICIENTMEMORY)
        AfxThrowMemoryException();
    AfxThrowFileException(ScodeToFileCause(sc), sc, m_strFileName);
}

BOOL COleStreamFile::OpenStream(LPSTORAGE lpStorage, LPCSTR lpszStreamName, DWORD nOpenFlags, CFileException* pError)
{
    if (!lpStorage) {
        ReportError(pError, E_POINTER, lpszStreamName);
        return FALSE;
    }
    LPSTREAM stream = nullptr;
    const SCODE sc = lpStorage->OpenStream(Wide(lpszStreamName).data(), nullptr,
                                           StorageMode(nOpenFlags) & ~static_cast<DWORD>(modeCreate), 0, &stream);
    if (FAILED(sc)) {
        ReportError(pError, sc, lpszStreamName);
        return FALSE;
    }
    m_lpStream = stream;
    m_bCloseOnDelete = TRUE;
    m_strFileName = lpszStreamName;
    return TRUE;
}

BOOL COleStreamFile::CreateStream(LPSTORAGE lpStorage, LPCSTR lpszStreamName, DWORD nOpenFlags, CFileException* pError)
{
    if (!lpStorage) {
        ReportError(pError, E_POINTER, lpszStreamName);
        return FALSE;
    }
    LPSTREAM stream = nullptr;
    const SCODE sc = lpStorage->CreateStream(Wide(lpszStreamName).data(), StorageMode(nOpenFlags), 0, 0, &stream);
    if (FAILED(sc)) {
        ReportError(pError, sc, lpszStreamName);
        return FALSE;
    }
    m_lpStream = stream;
    m_bCloseOnDelete = TRUE;
    m_strFileName = lpszStreamName;
    return TRUE;
}

BOOL COleStreamFile::CreateMemoryStream(CFileException* pError)
{
    LPSTREAM stream = nullptr;
    const SCODE sc = CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    if (FAILED(sc)) {
        ReportError(pError, sc, nullptr);
        return FALSE;
    }
    m_lpStream = stream;
    m_bCloseOnDelete = TRUE;
    return TRUE;
}

DWORD COleStreamFile::GetPosition() const
{
    ULARGE_INTEGER pos{};
    LARGE_INTEGER zero{};
    const SCODE sc = m_lpStream->Seek(zero, STREAM_SEEK_CUR, &pos);
    if (FAILED(sc))
        ThrowStorageError(sc);
    return pos.LowPart;
}

LONG COleStreamFile::Seek(LONG lOff, UINT nFrom)
{
    LARGE_INTEGER move;
    move.QuadPart = lOff;
    ULARGE_INTEGER pos{};
    const DWORD origin = nFrom == begin ? STREAM_SEEK_SET : nFrom == current ? STREAM_SEEK_CUR : STREAM_SEEK_END;
    const SCODE sc = m_lpStream->Seek(move, origin, &pos);
    if (FAILED(sc))
        ThrowStorageError(sc);
    return static_cast<LONG>(pos.LowPart);
}

void COleStreamFile::SetLength(DWORD dwNewLen)
{
    ULARGE_INTEGER size;
    size.QuadPart = dwNewLen;
    const SCODE sc = m_lpStream->SetSize(size);
    if (FAILED(sc))
        ThrowStorageError(sc);
}

DWORD COleStreamFile::GetLength() const
{
    STATSTG stat{};
    const SCODE sc = m_lpStream->Stat(&stat, STATFLAG_NONAME);
    if (FAILED(sc))
        ThrowStorageError(sc);
    return stat.cbSize.LowPart;
}

UINT COleStreamFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return 0;
    ULONG read = 0;
    const SCODE sc = m_lpStream->Read(lpBuf, nCount, &read);
    if (FAILED(sc))
        ThrowStorageError(sc);
    return read;
}

void COleStreamFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    ULONG written = 0;
    const SCODE sc = m_lpStream->Write(lpBuf, nCount, &written);
    if (FAILED(sc))
        ThrowStorageError(sc);
    if (written != nCount)
        AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
}

void COleStreamFile::LockRange(DWORD dwPos, DWORD dwCount)
{
    ULARGE_INTEGER offset, count;
    offset.QuadPart = dwPos;
    count.QuadPart = dwCount;
    const SCODE sc = m_lpStream->LockRegion(offset, count, LOCK_EXCLUSIVE);
    if (FAILED(sc))
        ThrowStorageError(sc);
}

void COleStreamFile::UnlockRange(DWORD dwPos, DWORD dwCount)
{
    ULARGE_INTEGER offset, count;
    offset.QuadPart = dwPos;
    count.QuadPart = dwCount;
    const SCODE sc = m_lpStream->UnlockRegion(offset, count, LOCK_EXCLUSIVE);
    if (FAILED(sc))
        ThrowStorageError(sc);
}

void COleStreamFile::Abort()
{
    if (m_lpStream) {
        m_lpStream->Release();
        m_lpStream = nullptr;
    }
    m_strFileName.Empty();
}

void COleStreamFile::Flush()
{
    const SCODE sc = m_lpStream->Commit(STGC_DEFAULT);
    if (FAILED(sc))
        ThrowStorageError(sc);
}

void COleStreamFile::Close()
{
    if (m_lpStream) {
        m_lpStream->Release();
        m_lpStream = nullptr;
    }
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
}
