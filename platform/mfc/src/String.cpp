#include "ClString.h"
#include "ClException.h"
#include "ClModule.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mbstring.h>
#include <new>
#include <vector>

namespace {
// Every empty string points here, so an empty CString never allocates.
struct EmptyString { int length = 0; int capacity = 0; char text[4] = {0, 0, 0, 0}; };
EmptyString g_empty;
LPSTR EmptyText() { return g_empty.text; }

int SafeLength(LPCSTR psz) { return psz ? static_cast<int>(strlen(psz)) : 0; }
bool IsResourceId(LPCSTR psz) { return psz != nullptr && HIWORD(reinterpret_cast<ULONG_PTR>(psz)) == 0; }
}

void CString::release()
{
    if (m_pchData != EmptyText())
        free(header());
    m_pchData = EmptyText();
}

void CString::reserve(int capacity, bool keep)
{
    if (capacity < 0)
        AfxThrowMemoryException();
    if (capacity <= header()->capacity)
        return;
    const int length = keep ? header()->length : 0;
    auto* block = static_cast<Header*>(malloc(sizeof(Header) + static_cast<size_t>(capacity) + 1));
    if (!block)
        AfxThrowMemoryException();
    block->capacity = capacity;
    block->length = length;
    char* text = reinterpret_cast<char*>(block + 1);
    memcpy(text, m_pchData, static_cast<size_t>(length));
    text[length] = 0;
    release();
    m_pchData = text;
}

void CString::assign(LPCSTR pch, int n)
{
    if (n <= 0) {
        if (m_pchData != EmptyText()) { header()->length = 0; m_pchData[0] = 0; }
        return;
    }
    if (pch >= m_pchData && pch <= m_pchData + header()->length) {
        // Assigning a part of ourselves: copy first.
        CString copy(pch, n);
        *this = std::move(copy);
        return;
    }
    reserve(n, false);
    memcpy(m_pchData, pch, static_cast<size_t>(n));
    header()->length = n;
    m_pchData[n] = 0;
}

void CString::append(LPCSTR pch, int n)
{
    if (n <= 0)
        return;
    const int length = GetLength();
    if (n > INT_MAX - length - 1)
        AfxThrowMemoryException();
    if (pch >= m_pchData && pch <= m_pchData + length) {
        CString copy(pch, n);
        append(copy.m_pchData, n);
        return;
    }
    if (length + n > header()->capacity)
        reserve(std::max(length + n, length + length / 2), true);
    memcpy(m_pchData + length, pch, static_cast<size_t>(n));
    header()->length = length + n;
    m_pchData[length + n] = 0;
}

CString::CString() : m_pchData(EmptyText()) {}
CString::CString(const CString& other) : m_pchData(EmptyText()) { assign(other.m_pchData, other.GetLength()); }
CString::CString(CString&& other) noexcept : m_pchData(other.m_pchData) { other.m_pchData = EmptyText(); }
CString::CString(char ch, int nRepeat) : m_pchData(EmptyText())
{
    if (nRepeat > 0) {
        reserve(nRepeat, false);
        memset(m_pchData, ch, static_cast<size_t>(nRepeat));
        header()->length = nRepeat;
        m_pchData[nRepeat] = 0;
    }
}
CString::CString(LPCSTR psz) : m_pchData(EmptyText())
{
    if (IsResourceId(psz))
        LoadString(LOWORD(reinterpret_cast<ULONG_PTR>(psz)));
    else
        assign(psz, SafeLength(psz));
}
CString::CString(LPCSTR pch, int nLength) : m_pchData(EmptyText()) { if (pch) assign(pch, nLength); }
CString::CString(const unsigned char* psz) : CString(reinterpret_cast<LPCSTR>(psz)) {}
CString::CString(LPCWSTR psz) : m_pchData(EmptyText()) { *this = psz; }
CString::~CString() { release(); }

int CString::GetLength() const { return header()->length; }
BOOL CString::IsEmpty() const { return GetLength() == 0; }
void CString::Empty() { release(); }

char CString::GetAt(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetLength())
        AfxThrowInvalidArgException();
    return m_pchData[nIndex];
}
char CString::operator[](int nIndex) const { return GetAt(nIndex); }
void CString::SetAt(int nIndex, char ch)
{
    if (nIndex < 0 || nIndex >= GetLength())
        AfxThrowInvalidArgException();
    m_pchData[nIndex] = ch;
}

CString& CString::operator=(const CString& s) { if (this != &s) assign(s.m_pchData, s.GetLength()); return *this; }
CString& CString::operator=(CString&& s) noexcept
{
    if (this != &s) { release(); m_pchData = s.m_pchData; s.m_pchData = EmptyText(); }
    return *this;
}
CString& CString::operator=(char ch) { assign(&ch, 1); return *this; }
CString& CString::operator=(LPCSTR psz) { assign(psz, SafeLength(psz)); return *this; }
CString& CString::operator=(const unsigned char* psz) { return *this = reinterpret_cast<LPCSTR>(psz); }
CString& CString::operator=(LPCWSTR psz)
{
    Empty();
    if (!psz || !*psz)
        return *this;
    const int wideLength = static_cast<int>(wcslen(psz));
    const int n = WideCharToMultiByte(CP_ACP, 0, psz, wideLength, nullptr, 0, nullptr, nullptr);
    if (n > 0) {
        reserve(n, false);
        WideCharToMultiByte(CP_ACP, 0, psz, wideLength, m_pchData, n, nullptr, nullptr);
        header()->length = n;
        m_pchData[n] = 0;
    }
    return *this;
}

CString& CString::operator+=(const CString& s) { append(s.m_pchData, s.GetLength()); return *this; }
CString& CString::operator+=(char ch) { append(&ch, 1); return *this; }
CString& CString::operator+=(LPCSTR psz) { append(psz, SafeLength(psz)); return *this; }

CString AFXAPI operator+(const CString& a, const CString& b) { CString r(a); r += b; return r; }
CString AFXAPI operator+(const CString& a, char ch) { CString r(a); r += ch; return r; }
CString AFXAPI operator+(char ch, const CString& b) { CString r(ch); r += b; return r; }
CString AFXAPI operator+(const CString& a, LPCSTR b) { CString r(a); r += b; return r; }
CString AFXAPI operator+(LPCSTR a, const CString& b) { CString r(a); r += b; return r; }

int CString::Compare(LPCSTR psz) const { return strcmp(m_pchData, psz ? psz : ""); }
int CString::CompareNoCase(LPCSTR psz) const { return _stricmp(m_pchData, psz ? psz : ""); }
int CString::Collate(LPCSTR psz) const { return strcoll(m_pchData, psz ? psz : ""); }
int CString::CollateNoCase(LPCSTR psz) const { return _stricoll(m_pchData, psz ? psz : ""); }

CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength() - std::max(nFirst, 0)); }
CString CString::Mid(int nFirst, int nCount) const
{
    const int length = GetLength();
    nFirst = std::clamp(nFirst, 0, length);
    nCount = std::clamp(nCount, 0, length - nFirst);
    return CString(m_pchData + nFirst, nCount);
}
CString CString::Left(int nCount) const { return CString(m_pchData, std::clamp(nCount, 0, GetLength())); }
CString CString::Right(int nCount) const
{
    nCount = std::clamp(nCount, 0, GetLength());
    return CString(m_pchData + GetLength() - nCount, nCount);
}
CString CString::SpanIncluding(LPCSTR charSet) const { return Left(static_cast<int>(strspn(m_pchData, charSet))); }
CString CString::SpanExcluding(LPCSTR charSet) const { return Left(static_cast<int>(strcspn(m_pchData, charSet))); }

void CString::MakeUpper() { CharUpperBuffA(m_pchData, static_cast<DWORD>(GetLength())); }
void CString::MakeLower() { CharLowerBuffA(m_pchData, static_cast<DWORD>(GetLength())); }
void CString::MakeReverse() { std::reverse(m_pchData, m_pchData + GetLength()); }

int CString::Replace(char chOld, char chNew)
{
    int count = 0;
    if (chOld == chNew)
        return 0;
    for (int i = 0; i < GetLength(); ++i)
        if (m_pchData[i] == chOld) { m_pchData[i] = chNew; ++count; }
    return count;
}

int CString::Replace(LPCSTR pszOld, LPCSTR pszNew)
{
    const int oldLength = SafeLength(pszOld);
    if (oldLength == 0)
        return 0;
    CString result;
    int count = 0;
    LPCSTR p = m_pchData;
    while (LPCSTR hit = strstr(p, pszOld)) {
        result.append(p, static_cast<int>(hit - p));
        result += pszNew;
        p = hit + oldLength;
        ++count;
    }
    if (count) {
        result.append(p, static_cast<int>(m_pchData + GetLength() - p));
        *this = std::move(result);
    }
    return count;
}

int CString::Remove(char ch)
{
    const int length = GetLength();
    char* end = std::remove(m_pchData, m_pchData + length, ch);
    const int removed = static_cast<int>(m_pchData + length - end);
    if (removed) { *end = 0; header()->length = length - removed; }
    return removed;
}

int CString::Insert(int nIndex, char ch) { return Insert(nIndex, CString(ch)); }
int CString::Insert(int nIndex, LPCSTR psz)
{
    nIndex = std::clamp(nIndex, 0, GetLength());
    CString result(m_pchData, nIndex);
    result += psz;
    result += m_pchData + nIndex;
    *this = std::move(result);
    return GetLength();
}

int CString::Delete(int nIndex, int nCount)
{
    const int length = GetLength();
    nIndex = std::max(nIndex, 0);
    if (nCount > 0 && nIndex < length) {
        nCount = std::min(nCount, length - nIndex);
        memmove(m_pchData + nIndex, m_pchData + nIndex + nCount, static_cast<size_t>(length - nIndex - nCount + 1));
        header()->length = length - nCount;
    }
    return GetLength();
}

void CString::TrimRight() { TrimRight(" \t\r\n\v\f"); }
void CString::TrimRight(char chTarget) { char set[2] = {chTarget, 0}; TrimRight(set); }
void CString::TrimRight(LPCSTR targets)
{
    int length = GetLength();
    while (length > 0 && strchr(targets, m_pchData[length - 1]) && m_pchData[length - 1])
        --length;
    if (length != GetLength()) { m_pchData[length] = 0; header()->length = length; }
}
void CString::TrimLeft() { TrimLeft(" \t\r\n\v\f"); }
void CString::TrimLeft(char chTarget) { char set[2] = {chTarget, 0}; TrimLeft(set); }
void CString::TrimLeft(LPCSTR targets)
{
    const int skip = static_cast<int>(strspn(m_pchData, targets));
    if (skip) Delete(0, skip);
}

int CString::Find(char ch) const { return Find(ch, 0); }
int CString::Find(char ch, int nStart) const
{
    if (nStart < 0 || nStart >= GetLength())
        return -1;
    const void* hit = memchr(m_pchData + nStart, ch, static_cast<size_t>(GetLength() - nStart));
    return hit ? static_cast<int>(static_cast<const char*>(hit) - m_pchData) : -1;
}
int CString::Find(LPCSTR pszSub) const { return Find(pszSub, 0); }
int CString::Find(LPCSTR pszSub, int nStart) const
{
    if (nStart < 0 || nStart > GetLength())
        return -1;
    LPCSTR hit = strstr(m_pchData + nStart, pszSub ? pszSub : "");
    return hit ? static_cast<int>(hit - m_pchData) : -1;
}
int CString::ReverseFind(char ch) const
{
    for (int i = GetLength() - 1; i >= 0; --i)
        if (m_pchData[i] == ch) return i;
    return -1;
}
int CString::FindOneOf(LPCSTR charSet) const
{
    const size_t n = strcspn(m_pchData, charSet);
    return n < static_cast<size_t>(GetLength()) ? static_cast<int>(n) : -1;
}

void CString::FormatV(LPCSTR pszFormat, va_list args)
{
    va_list measure;
    va_copy(measure, args);
    const int n = vsnprintf(nullptr, 0, pszFormat, measure);
    va_end(measure);
    if (n < 0) { Empty(); return; }
    CString result;
    result.reserve(n, false);
    vsnprintf(result.m_pchData, static_cast<size_t>(n) + 1, pszFormat, args);
    result.header()->length = n;
    *this = std::move(result);
}

void __cdecl CString::Format(LPCSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void __cdecl CString::Format(UINT nFormatID, ...)
{
    CString format;
    format.LoadString(nFormatID);
    va_list args;
    va_start(args, nFormatID);
    FormatV(format, args);
    va_end(args);
}

namespace {
CString FormatInserts(LPCSTR pszFormat, va_list* args)
{
    LPSTR buffer = nullptr;
    const DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                                     pszFormat, 0, 0, reinterpret_cast<LPSTR>(&buffer), 0, args);
    CString result(buffer ? buffer : "", buffer ? static_cast<int>(n) : 0);
    if (buffer) LocalFree(buffer);
    return result;
}
}

void __cdecl CString::FormatMessage(LPCSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    *this = FormatInserts(pszFormat, &args);
    va_end(args);
}

void __cdecl CString::FormatMessage(UINT nFormatID, ...)
{
    CString format;
    format.LoadString(nFormatID);
    va_list args;
    va_start(args, nFormatID);
    *this = FormatInserts(format, &args);
    va_end(args);
}

BOOL CString::LoadString(UINT nID)
{
    std::vector<WCHAR> text;
    if (!AfxLoadStringW(nID, text))
        return FALSE;
    const int wideLength = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), wideLength, nullptr, 0, nullptr, nullptr);
    CString result;
    if (n > 0) {
        result.reserve(n, false);
        WideCharToMultiByte(CP_ACP, 0, text.data(), wideLength, result.m_pchData, n, nullptr, nullptr);
        result.header()->length = n;
        result.m_pchData[n] = 0;
    }
    *this = std::move(result);
    return TRUE;
}

void CString::AnsiToOem() { if (GetLength()) CharToOemBuffA(m_pchData, m_pchData, static_cast<DWORD>(GetLength())); }
void CString::OemToAnsi() { if (GetLength()) OemToCharBuffA(m_pchData, m_pchData, static_cast<DWORD>(GetLength())); }

BSTR CString::AllocSysString() const
{
    const int n = MultiByteToWideChar(CP_ACP, 0, m_pchData, GetLength(), nullptr, 0);
    BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(n));
    if (!result)
        AfxThrowMemoryException();
    MultiByteToWideChar(CP_ACP, 0, m_pchData, GetLength(), result, n);
    result[n] = 0;
    return result;
}

BSTR CString::SetSysString(BSTR* pbstr) const
{
    BSTR fresh = AllocSysString();
    SysFreeString(*pbstr);
    *pbstr = fresh;
    return fresh;
}

LPSTR CString::GetBuffer(int nMinBufLength)
{
    if (nMinBufLength < 0)
        AfxThrowInvalidArgException();
    if (nMinBufLength > header()->capacity || m_pchData == EmptyText())
        reserve(std::max(nMinBufLength, 1), true);
    return m_pchData;
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (m_pchData == EmptyText())
        return;
    if (nNewLength < 0)
        nNewLength = static_cast<int>(strnlen(m_pchData, static_cast<size_t>(header()->capacity)));
    nNewLength = std::min(nNewLength, header()->capacity);
    header()->length = nNewLength;
    m_pchData[nNewLength] = 0;
}

LPSTR CString::GetBufferSetLength(int nNewLength)
{
    GetBuffer(nNewLength);
    if (m_pchData != EmptyText()) {
        header()->length = nNewLength;
        m_pchData[nNewLength] = 0;
    }
    return m_pchData;
}

void CString::FreeExtra()
{
    if (GetLength() < header()->capacity) {
        CString tight(m_pchData, GetLength());
        *this = std::move(tight);
    }
}

LPSTR CString::LockBuffer() { return GetBuffer(0); }
void CString::UnlockBuffer() {}
