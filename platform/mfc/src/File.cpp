#include "ClFile.h"
#include "ClException.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CFile, CObject)

CFile::CFile() : m_hFile(INVALID_HANDLE_VALUE), m_bCloseOnDelete(FALSE) {}

CFile::CFile(HANDLE hFile) : m_hFile(hFile), m_bCloseOnDelete(FALSE) {}

CFile::CFile(LPCSTR lpszFileName, UINT nOpenFlags) : CFile()
{
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CFile::~CFile()
{
    if (m_hFile != INVALID_HANDLE_VALUE && m_bCloseOnDelete)
        Abort();
}

BOOL CFile::Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    m_bCloseOnDelete = FALSE;
    m_hFile = INVALID_HANDLE_VALUE;
    m_strFileName = lpszFileName;

    DWORD access = 0;
    switch (nOpenFlags & 3) {
    case modeRead: access = GENERIC_READ; break;
    case modeWrite: access = GENERIC_WRITE; break;
    case modeReadWrite: access = GENERIC_READ | GENERIC_WRITE; break;
    default:
        if (pError) { pError->m_cause = CFileException::generic; pError->m_strFileName = lpszFileName; }
        return FALSE;
    }
    DWORD share = 0;
    switch (nOpenFlags & 0x70) {
    case shareCompat:
    case shareExclusive: share = 0; break;
    case shareDenyWrite: share = FILE_SHARE_READ; break;
    case shareDenyRead: share = FILE_SHARE_WRITE; break;
    default: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    }
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, (nOpenFlags & modeNoInherit) == 0};
    DWORD disposition = OPEN_EXISTING;
    if (nOpenFlags & modeCreate)
        disposition = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    HANDLE h = CreateFileA(lpszFileName, access, share, &sa, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (pError) {
            const LONG error = static_cast<LONG>(GetLastError());
            pError->m_lOsError = error;
            pError->m_cause = CFileException::OsErrorToException(error);
            pError->m_strFileName = lpszFileName;
        }
        return FALSE;
    }
    m_hFile = h;
    m_bCloseOnDelete = TRUE;
    return TRUE;
}

CString CFile::GetFileName() const
{
    const int slash = std::max(m_strFileName.ReverseFind('\\'), m_strFileName.ReverseFind('/'));
    return m_strFileName.Mid(slash + 1);
}

CString CFile::GetFileTitle() const
{
    CString name = GetFileName();
    const int dot = name.ReverseFind('.');
    return dot >= 0 ? name.Left(dot) : name;
}

CString CFile::GetFilePath() const { return m_strFileName; }
void CFile::SetFilePath(LPCSTR lpszNewName) { m_strFileName = lpszNewName; }

void CFile::ThrowLastError() const
{
    CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_strFileName);
    AfxThrowFileException(CFileException::generic, -1, m_strFileName);
}

DWORD CFile::GetPosition() const
{
    const DWORD pos = SetFilePointer(m_hFile, 0, nullptr, FILE_CURRENT);
    if (pos == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
        ThrowLastError();
    return pos;
}

LONG CFile::Seek(LONG lOff, UINT nFrom)
{
    const DWORD method = nFrom == begin ? FILE_BEGIN : nFrom == current ? FILE_CURRENT : FILE_END;
    SetLastError(NO_ERROR);
    const DWORD pos = SetFilePointer(m_hFile, lOff, nullptr, method);
    if (pos == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
        ThrowLastError();
    return static_cast<LONG>(pos);
}

void CFile::SetLength(DWORD dwNewLen)
{
    Seek(static_cast<LONG>(dwNewLen), begin);
    if (!SetEndOfFile(m_hFile))
        ThrowLastError();
}

DWORD CFile::GetLength() const
{
    SetLastError(NO_ERROR);
    const DWORD size = GetFileSize(m_hFile, nullptr);
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        ThrowLastError();
    return size;
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return 0;
    DWORD read = 0;
    if (!ReadFile(m_hFile, lpBuf, nCount, &read, nullptr))
        ThrowLastError();
    return read;
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    DWORD written = 0;
    if (!WriteFile(m_hFile, lpBuf, nCount, &written, nullptr))
        ThrowLastError();
    if (written != nCount)
        AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
}

void CFile::LockRange(DWORD dwPos, DWORD dwCount)
{
    if (!LockFile(m_hFile, dwPos, 0, dwCount, 0))
        ThrowLastError();
}

void CFile::UnlockRange(DWORD dwPos, DWORD dwCount)
{
    if (!UnlockFile(m_hFile, dwPos, 0, dwCount, 0))
        ThrowLastError();
}

void CFile::Abort()
{
    if (m_hFile != INVALID_HANDLE_VALUE) {
        CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
    m_strFileName.Empty();
}

void CFile::Flush()
{
    if (m_hFile != INVALID_HANDLE_VALUE && !FlushFileBuffers(m_hFile))
        ThrowLastError();
}

void CFile::Close()
{
    BOOL ok = TRUE;
    if (m_hFile != INVALID_HANDLE_VALUE)
        ok = CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    m_bCloseOnDelete = FALSE;
    if (!ok)
        ThrowLastError();
    m_strFileName.Empty();
}

void PASCAL CFile::Rename(LPCSTR lpszOldName, LPCSTR lpszNewName)
{
    if (!MoveFileA(lpszOldName, lpszNewName))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), lpszOldName);
}

void PASCAL CFile::Remove(LPCSTR lpszFileName)
{
    if (!DeleteFileA(lpszFileName))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), lpszFileName);
}
