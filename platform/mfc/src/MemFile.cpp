#include "ClMemFile.h"
#include "ClException.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNAMIC(CMemFile, CFile)

CMemFile::CMemFile(UINT nGrowBytes)
    : m_nGrowBytes(nGrowBytes), m_nPosition(0), m_nBufferSize(0), m_nFileSize(0),
      m_lpBuffer(nullptr), m_bAutoDelete(TRUE)
{
}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes) : CMemFile(nGrowBytes)
{
    Attach(lpBuffer, nBufferSize, nGrowBytes);
}

CMemFile::~CMemFile()
{
    if (m_lpBuffer)
        Close();
}

void CMemFile::Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes)
{
    if (m_lpBuffer)
        Close();
    m_lpBuffer = lpBuffer;
    m_nBufferSize = lpBuffer ? nBufferSize : 0;
    m_nGrowBytes = nGrowBytes;
    m_nPosition = 0;
    m_nFileSize = nGrowBytes == 0 ? m_nBufferSize : 0;
    m_bAutoDelete = nGrowBytes != 0;
}

BYTE* CMemFile::Detach()
{
    BYTE* buffer = m_lpBuffer;
    m_lpBuffer = nullptr;
    m_nFileSize = m_nBufferSize = m_nPosition = 0;
    return buffer;
}

BYTE* CMemFile::Alloc(DWORD nBytes) { return static_cast<BYTE*>(malloc(nBytes)); }
BYTE* CMemFile::Realloc(BYTE* lpMem, DWORD nBytes) { return static_cast<BYTE*>(realloc(lpMem, nBytes)); }
void CMemFile::Free(BYTE* lpMem) { free(lpMem); }

void CMemFile::GrowFile(DWORD dwNewLen)
{
    if (dwNewLen <= m_nBufferSize)
        return;
    if (m_nGrowBytes == 0 || !m_bAutoDelete)
        AfxThrowMemoryException();
    DWORD newSize = m_nBufferSize;
    while (newSize < dwNewLen) {
        const DWORD step = std::max<DWORD>(m_nGrowBytes, newSize / 2);
        if (newSize > 0xFFFFFFFFu - step)
            AfxThrowMemoryException();
        newSize += step;
    }
    BYTE* grown = m_lpBuffer ? Realloc(m_lpBuffer, newSize) : Alloc(newSize);
    if (!grown)
        AfxThrowMemoryException();
    m_lpBuffer = grown;
    m_nBufferSize = newSize;
}

DWORD CMemFile::GetPosition() const { return m_nPosition; }

LONG CMemFile::Seek(LONG lOff, UINT nFrom)
{
    LONGLONG target = lOff;
    if (nFrom == current)
        target += m_nPosition;
    else if (nFrom == end)
        target += m_nFileSize;
    if (target < 0 || target > 0x7FFFFFFF)
        AfxThrowFileException(CFileException::badSeek, -1, m_strFileName);
    m_nPosition = static_cast<DWORD>(target);
    return static_cast<LONG>(m_nPosition);
}

void CMemFile::SetLength(DWORD dwNewLen)
{
    if (dwNewLen > m_nBufferSize)
        GrowFile(dwNewLen);
    if (dwNewLen > m_nFileSize)
        memset(m_lpBuffer + m_nFileSize, 0, dwNewLen - m_nFileSize);
    m_nFileSize = dwNewLen;
    if (m_nPosition > dwNewLen)
        m_nPosition = dwNewLen;
}

DWORD CMemFile::GetLength() const { return m_nFileSize; }

UINT CMemFile::Read(void* lpBuf, UINT nCount)
{
    if (m_nPosition >= m_nFileSize || nCount == 0)
        return 0;
    const UINT n = std::min<DWORD>(nCount, m_nFileSize - m_nPosition);
    memcpy(lpBuf, m_lpBuffer + m_nPosition, n);
    m_nPosition += n;
    return n;
}

void CMemFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    if (m_nPosition > 0xFFFFFFFFu - nCount)
        AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
    const DWORD endPos = m_nPosition + nCount;
    if (endPos > m_nBufferSize)
        GrowFile(endPos);
    // A write after a seek beyond the end leaves zeros in the gap, never stale memory.
    if (m_nPosition > m_nFileSize)
        memset(m_lpBuffer + m_nFileSize, 0, m_nPosition - m_nFileSize);
    memcpy(m_lpBuffer + m_nPosition, lpBuf, nCount);
    m_nPosition = endPos;
    if (endPos > m_nFileSize)
        m_nFileSize = endPos;
}

void CMemFile::LockRange(DWORD, DWORD) { AfxThrowNotSupportedException(); }
void CMemFile::UnlockRange(DWORD, DWORD) { AfxThrowNotSupportedException(); }
void CMemFile::Flush() {}
void CMemFile::Abort() { Close(); }

void CMemFile::Close()
{
    if (m_lpBuffer && m_bAutoDelete)
        Free(m_lpBuffer);
    m_lpBuffer = nullptr;
    m_bAutoDelete = TRUE;
    m_nPosition = m_nBufferSize = m_nFileSize = 0;
}
