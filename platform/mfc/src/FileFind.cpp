#include "ClFileFind.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CFileFind, CObject)

CFileFind::CFileFind() : m_hContext(INVALID_HANDLE_VALUE), m_bHaveCurrent(FALSE), m_bHaveNext(FALSE), m_found(), m_next() {}

CFileFind::~CFileFind() { Close(); }

void CFileFind::Close()
{
    if (m_hContext != INVALID_HANDLE_VALUE)
        ::FindClose(m_hContext);
    m_hContext = INVALID_HANDLE_VALUE;
    m_bHaveCurrent = m_bHaveNext = FALSE;
}

BOOL CFileFind::FindFile(LPCSTR pstrName, DWORD)
{
    Close();
    const CString pattern = pstrName && *pstrName ? CString(pstrName) : CString("*.*");
    const int slash = std::max(pattern.ReverseFind('\\'), pattern.ReverseFind('/'));
    m_strRoot = slash >= 0 ? pattern.Left(slash + 1) : CString();
    m_hContext = ::FindFirstFileA(pattern, &m_next);
    m_bHaveNext = m_hContext != INVALID_HANDLE_VALUE;
    return m_bHaveNext;
}

BOOL CFileFind::FindNextFile()
{
    if (!m_bHaveNext)
        return FALSE;
    // The match read ahead becomes the current one; the one after it is read ahead.
    m_found = m_next;
    m_bHaveCurrent = TRUE;
    m_bHaveNext = ::FindNextFileA(m_hContext, &m_next);
    return m_bHaveNext;
}

CString CFileFind::GetFileName() const { return m_bHaveCurrent ? CString(m_found.cFileName) : CString(); }
CString CFileFind::GetFilePath() const { return m_bHaveCurrent ? m_strRoot + m_found.cFileName : CString(); }

CString CFileFind::GetFileTitle() const
{
    const CString name = GetFileName();
    const int dot = name.ReverseFind('.');
    return dot > 0 ? name.Left(dot) : name;
}

DWORD CFileFind::GetLength() const { return m_bHaveCurrent ? m_found.nFileSizeLow : 0; }

BOOL CFileFind::IsDots() const
{
    if (!m_bHaveCurrent || !IsDirectory())
        return FALSE;
    const char* name = m_found.cFileName;
    return (name[0] == '.' && name[1] == 0) || (name[0] == '.' && name[1] == '.' && name[2] == 0);
}

BOOL CFileFind::MatchesMask(DWORD dwMask) const { return m_bHaveCurrent && (m_found.dwFileAttributes & dwMask) != 0; }

BOOL CFileFind::GetLastWriteTime(FILETIME* pTimeStamp) const
{
    if (!m_bHaveCurrent || !pTimeStamp)
        return FALSE;
    *pTimeStamp = m_found.ftLastWriteTime;
    return TRUE;
}
