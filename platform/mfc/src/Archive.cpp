#include "ClArchive.h"
#include "ArchiveMaps.h"
#include "ClException.h"
#include "ClFile.h"

#include <algorithm>
#include <cstring>
#include <vector>

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void* lpBuf)
    : m_pDocument(nullptr), m_nMode(nMode), m_pFile(pFile), m_bUserBuf(lpBuf != nullptr),
      m_nBufSize(static_cast<UINT>(std::max(nBufSize, 128))), m_nObjectSchema(static_cast<UINT>(-1)),
      m_nMapCount(1), m_nDepth(0), m_pMaps(new ObjectMaps)
{
    if (!pFile)
        AfxThrowInvalidArgException();
    if (m_bUserBuf && nBufSize < 128)
        AfxThrowInvalidArgException();
    m_lpBufStart = m_bUserBuf ? static_cast<BYTE*>(lpBuf) : new BYTE[m_nBufSize];
    m_lpBufCur = m_lpBufStart;
    // Loading: [cur, max) holds bytes read ahead. Storing: [start, cur) waits to be written.
    m_lpBufMax = IsLoading() ? m_lpBufStart : m_lpBufStart + m_nBufSize;
    m_strFileName = pFile->GetFilePath();
}

CArchive::~CArchive()
{
    if (m_pFile && !(m_nMode & bNoFlushOnDelete)) {
        try {
            Close();
        } catch (CException* e) {
            e->Delete();
        }
    }
    if (!m_bUserBuf)
        delete[] m_lpBufStart;
}

void CArchive::Throw(int cause) const { AfxThrowArchiveException(cause, m_strFileName); }

BOOL CArchive::IsBufferEmpty() const { return m_lpBufCur == m_lpBufMax; }

UINT CArchive::GetObjectSchema()
{
    const UINT schema = m_nObjectSchema;
    m_nObjectSchema = static_cast<UINT>(-1);
    return schema;
}

UINT CArchive::Read(void* lpBuf, UINT nMax)
{
    if (!IsLoading())
        Throw(CArchiveException::writeOnly);
    if (!m_pFile)
        Throw(CArchiveException::generic);
    BYTE* out = static_cast<BYTE*>(lpBuf);
    UINT total = 0;
    while (nMax > 0) {
        const UINT buffered = static_cast<UINT>(m_lpBufMax - m_lpBufCur);
        if (buffered > 0) {
            const UINT n = std::min(buffered, nMax);
            memcpy(out, m_lpBufCur, n);
            m_lpBufCur += n;
            out += n;
            total += n;
            nMax -= n;
            continue;
        }
        if (nMax >= m_nBufSize) {
            // Large reads bypass the buffer.
            const UINT got = m_pFile->Read(out, nMax);
            if (got == 0)
                break;
            out += got;
            total += got;
            nMax -= got;
            continue;
        }
        const UINT got = m_pFile->Read(m_lpBufStart, m_nBufSize);
        m_lpBufCur = m_lpBufStart;
        m_lpBufMax = m_lpBufStart + got;
        if (got == 0)
            break;
    }
    return total;
}

void CArchive::ReadExact(void* lpBuf, UINT n)
{
    if (Read(lpBuf, n) != n)
        Throw(CArchiveException::endOfFile);
}

void CArchive::Write(const void* lpBuf, UINT nMax)
{
    if (IsLoading())
        Throw(CArchiveException::readOnly);
    if (!m_pFile)
        Throw(CArchiveException::generic);
    const BYTE* in = static_cast<const BYTE*>(lpBuf);
    const UINT room = static_cast<UINT>(m_lpBufMax - m_lpBufCur);
    if (nMax <= room) {
        memcpy(m_lpBufCur, in, nMax);
        m_lpBufCur += nMax;
        return;
    }
    Flush();
    if (nMax >= m_nBufSize) {
        m_pFile->Write(in, nMax);
        return;
    }
    memcpy(m_lpBufCur, in, nMax);
    m_lpBufCur += nMax;
}

void CArchive::Flush()
{
    if (!m_pFile)
        return;
    if (IsLoading()) {
        const UINT unread = static_cast<UINT>(m_lpBufMax - m_lpBufCur);
        if (unread > 0)
            m_pFile->Seek(-static_cast<LONG>(unread), 1 /* CFile::current */);
        m_lpBufCur = m_lpBufMax = m_lpBufStart;
    } else if (m_lpBufCur != m_lpBufStart) {
        const UINT pending = static_cast<UINT>(m_lpBufCur - m_lpBufStart);
        m_lpBufCur = m_lpBufStart;
        m_pFile->Write(m_lpBufStart, pending);
    }
}

void CArchive::Close()
{
    Flush();
    m_pFile = nullptr;
}

void CArchive::Abort()
{
    m_lpBufCur = m_lpBufStart;
    if (IsLoading())
        m_lpBufMax = m_lpBufStart;
    m_pFile = nullptr;
}

CArchive& CArchive::operator<<(BYTE by) { Write(&by, 1); return *this; }
CArchive& CArchive::operator<<(WORD w) { Write(&w, 2); return *this; }
CArchive& CArchive::operator<<(LONG l) { Write(&l, 4); return *this; }
CArchive& CArchive::operator<<(DWORD dw) { Write(&dw, 4); return *this; }
CArchive& CArchive::operator<<(float f) { Write(&f, 4); return *this; }
CArchive& CArchive::operator<<(double d) { Write(&d, 8); return *this; }
CArchive& CArchive::operator<<(LONGLONG v) { Write(&v, 8); return *this; }
CArchive& CArchive::operator<<(ULONGLONG v) { Write(&v, 8); return *this; }

CArchive& CArchive::operator>>(BYTE& by) { ReadExact(&by, 1); return *this; }
CArchive& CArchive::operator>>(WORD& w) { ReadExact(&w, 2); return *this; }
CArchive& CArchive::operator>>(LONG& l) { ReadExact(&l, 4); return *this; }
CArchive& CArchive::operator>>(DWORD& dw) { ReadExact(&dw, 4); return *this; }
CArchive& CArchive::operator>>(float& f) { ReadExact(&f, 4); return *this; }
CArchive& CArchive::operator>>(double& d) { ReadExact(&d, 8); return *this; }
CArchive& CArchive::operator>>(int& i) { ReadExact(&i, 4); return *this; }
CArchive& CArchive::operator>>(short& w) { ReadExact(&w, 2); return *this; }
CArchive& CArchive::operator>>(char& ch) { ReadExact(&ch, 1); return *this; }
CArchive& CArchive::operator>>(signed char& ch) { ReadExact(&ch, 1); return *this; }
CArchive& CArchive::operator>>(unsigned& u) { ReadExact(&u, 4); return *this; }
CArchive& CArchive::operator>>(LONGLONG& v) { ReadExact(&v, 8); return *this; }
CArchive& CArchive::operator>>(ULONGLONG& v) { ReadExact(&v, 8); return *this; }

DWORD CArchive::ReadCount()
{
    WORD small = 0;
    *this >> small;
    if (small != 0xFFFF)
        return small;
    DWORD large = 0;
    *this >> large;
    return large;
}

void CArchive::WriteCount(DWORD dwCount)
{
    if (dwCount < 0xFFFF) {
        *this << static_cast<WORD>(dwCount);
    } else {
        *this << static_cast<WORD>(0xFFFF) << dwCount;
    }
}

void CArchive::WriteString(LPCSTR lpsz)
{
    Write(lpsz, static_cast<UINT>(strlen(lpsz)));
}

LPSTR CArchive::ReadString(LPSTR lpsz, UINT nMax)
{
    if (nMax == 0)
        return nullptr;
    UINT n = 0;
    char ch;
    bool any = false;
    while (n + 1 < nMax && Read(&ch, 1) == 1) {
        any = true;
        if (ch == '\n')
            break;
        if (ch != '\r')
            lpsz[n++] = ch;
    }
    lpsz[n] = 0;
    return any ? lpsz : nullptr;
}

BOOL CArchive::ReadString(CString& rString)
{
    std::vector<char> line;
    char ch;
    bool any = false;
    while (Read(&ch, 1) == 1) {
        any = true;
        if (ch == '\n')
            break;
        if (ch != '\r')
            line.push_back(ch);
    }
    rString = CString(line.data(), static_cast<int>(line.size()));
    return any;
}

namespace {
// Strings longer than this arrive in chunks, so a forged length costs no more memory than the
// bytes that really follow it.
constexpr DWORD kStringChunk = 64 * 1024;

DWORD ReadStringLength(CArchive& ar, bool& wide)
{
    BYTE small = 0;
    ar >> small;
    if (small < 0xFF)
        return small;
    WORD medium = 0;
    ar >> medium;
    if (medium == 0xFFFE && !wide) {
        // Marker of a string stored in 16-bit characters; its length follows in the same form.
        wide = true;
        return ReadStringLength(ar, wide);
    }
    if (medium < 0xFFFF)
        return medium;
    DWORD large = 0;
    ar >> large;
    return large;
}

template <typename Char>
std::vector<Char> ReadChars(CArchive& ar, DWORD count)
{
    std::vector<Char> chars;
    while (count > 0) {
        const DWORD chunk = std::min(count, kStringChunk);
        const size_t at = chars.size();
        chars.resize(at + chunk);
        if (ar.Read(chars.data() + at, chunk * sizeof(Char)) != chunk * sizeof(Char))
            AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
        count -= chunk;
    }
    return chars;
}
}

CArchive& AFXAPI operator<<(CArchive& ar, const CString& s)
{
    const DWORD length = static_cast<DWORD>(s.GetLength());
    if (length < 0xFF) {
        ar << static_cast<BYTE>(length);
    } else if (length < 0xFFFE) {
        ar << static_cast<BYTE>(0xFF) << static_cast<WORD>(length);
    } else {
        ar << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFF) << length;
    }
    ar.Write(static_cast<LPCSTR>(s), length);
    return ar;
}

CArchive& AFXAPI operator>>(CArchive& ar, CString& s)
{
    bool wide = false;
    const DWORD length = ReadStringLength(ar, wide);
    if (wide) {
        std::vector<WCHAR> chars = ReadChars<WCHAR>(ar, length);
        chars.push_back(0);
        s = chars.data();
    } else {
        std::vector<char> chars = ReadChars<char>(ar, length);
        s = CString(chars.data(), static_cast<int>(chars.size()));
    }
    return ar;
}
