#pragma once
// CString: an ANSI character string with the framework's classic interface. The object holds one
// pointer to its characters; length and capacity live in a header in front of them.
#include "ClassLibExport.h"
#include <cstdarg>

class CArchive;

class CLASSLIB_API CString
{
public:
    CString();
    CString(const CString& other);
    CString(CString&& other) noexcept;
    CString(char ch, int nRepeat = 1);
    // A value whose high word is zero is a string resource id (MAKEINTRESOURCE), loaded from the
    // resource chain.
    CString(LPCSTR psz);
    CString(LPCSTR pch, int nLength);
    CString(const unsigned char* psz);
    CString(LPCWSTR psz);
    ~CString();

    int GetLength() const;
    BOOL IsEmpty() const;
    void Empty();

    char GetAt(int nIndex) const;
    char operator[](int nIndex) const;
    char operator[](unsigned int nIndex) const { return GetAt(static_cast<int>(nIndex)); }
    void SetAt(int nIndex, char ch);
    operator LPCSTR() const { return m_pchData; }

    CString& operator=(const CString& s);
    CString& operator=(CString&& s) noexcept;
    CString& operator=(char ch);
    CString& operator=(LPCSTR psz);
    CString& operator=(const unsigned char* psz);
    CString& operator=(LPCWSTR psz);

    CString& operator+=(const CString& s);
    CString& operator+=(char ch);
    CString& operator+=(LPCSTR psz);

    friend CLASSLIB_API CString AFXAPI operator+(const CString& a, const CString& b);
    friend CLASSLIB_API CString AFXAPI operator+(const CString& a, char ch);
    friend CLASSLIB_API CString AFXAPI operator+(char ch, const CString& b);
    friend CLASSLIB_API CString AFXAPI operator+(const CString& a, LPCSTR b);
    friend CLASSLIB_API CString AFXAPI operator+(LPCSTR a, const CString& b);

    int Compare(LPCSTR psz) const;
    int CompareNoCase(LPCSTR psz) const;
    int Collate(LPCSTR psz) const;
    int CollateNoCase(LPCSTR psz) const;

    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString SpanIncluding(LPCSTR charSet) const;
    CString SpanExcluding(LPCSTR charSet) const;

    void MakeUpper();
    void MakeLower();
    void MakeReverse();
    int Replace(char chOld, char chNew);
    int Replace(LPCSTR pszOld, LPCSTR pszNew);
    int Remove(char ch);
    int Insert(int nIndex, char ch);
    int Insert(int nIndex, LPCSTR psz);
    int Delete(int nIndex, int nCount = 1);

    void TrimRight();
    void TrimRight(char chTarget);
    void TrimRight(LPCSTR targets);
    void TrimLeft();
    void TrimLeft(char chTarget);
    void TrimLeft(LPCSTR targets);

    int Find(char ch) const;
    int Find(char ch, int nStart) const;
    int Find(LPCSTR pszSub) const;
    int Find(LPCSTR pszSub, int nStart) const;
    int ReverseFind(char ch) const;
    int FindOneOf(LPCSTR charSet) const;

    // printf semantics; the format may be a string resource id (FormatMessage style loads it).
    void __cdecl Format(LPCSTR pszFormat, ...);
    void __cdecl Format(UINT nFormatID, ...);
    void FormatV(LPCSTR pszFormat, va_list args);
    // %1, %2 ... inserts through the system's FormatMessage.
    void __cdecl FormatMessage(LPCSTR pszFormat, ...);
    void __cdecl FormatMessage(UINT nFormatID, ...);

    // Loads a string resource through the resource chain; FALSE (string unchanged) when no module has it.
    BOOL LoadString(UINT nID);

    void AnsiToOem();
    void OemToAnsi();
    BSTR AllocSysString() const;
    BSTR SetSysString(BSTR* pbstr) const;

    LPSTR GetBuffer(int nMinBufLength);
    void ReleaseBuffer(int nNewLength = -1);
    LPSTR GetBufferSetLength(int nNewLength);
    void FreeExtra();
    LPSTR LockBuffer();
    void UnlockBuffer();

    friend CLASSLIB_API CArchive& AFXAPI operator<<(CArchive& ar, const CString& s);
    friend CLASSLIB_API CArchive& AFXAPI operator>>(CArchive& ar, CString& s);

private:
    struct Header { int length; int capacity; };
    Header* header() const { return reinterpret_cast<Header*>(m_pchData) - 1; }
    void reserve(int capacity, bool keep);
    void assign(LPCSTR pch, int n);
    void append(LPCSTR pch, int n);
    void release();

    LPSTR m_pchData;
};

// Comparisons of CString with CString and with C strings.
inline bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
inline bool operator==(const CString& a, LPCSTR b) { return a.Compare(b) == 0; }
inline bool operator==(LPCSTR a, const CString& b) { return b.Compare(a) == 0; }
inline bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }
inline bool operator!=(const CString& a, LPCSTR b) { return a.Compare(b) != 0; }
inline bool operator!=(LPCSTR a, const CString& b) { return b.Compare(a) != 0; }
inline bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
inline bool operator<(const CString& a, LPCSTR b) { return a.Compare(b) < 0; }
inline bool operator<(LPCSTR a, const CString& b) { return b.Compare(a) > 0; }
inline bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
inline bool operator>(const CString& a, LPCSTR b) { return a.Compare(b) > 0; }
inline bool operator>(LPCSTR a, const CString& b) { return b.Compare(a) < 0; }
inline bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
inline bool operator<=(const CString& a, LPCSTR b) { return a.Compare(b) <= 0; }
inline bool operator<=(LPCSTR a, const CString& b) { return b.Compare(a) >= 0; }
inline bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }
inline bool operator>=(const CString& a, LPCSTR b) { return a.Compare(b) >= 0; }
inline bool operator>=(LPCSTR a, const CString& b) { return b.Compare(a) <= 0; }
