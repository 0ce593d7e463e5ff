#pragma once
// CArchive: the buffered binary archive of the class library. Little-endian values, length-prefixed
// strings and object/class tags with one 1-based index counter shared by classes and objects.
#include "ClObject.h"
#include "ClString.h"

#include <memory>

class CFile;
class CDocument;

class CLASSLIB_API CArchive
{
public:
    enum Mode { store = 0, load = 1, bNoFlushOnDelete = 2, bNoByteSwap = 4 };

    // The buffer is allocated by the archive unless lpBuf is given (then it stays the caller's).
    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = nullptr);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return (m_nMode & load) != 0; }
    BOOL IsStoring() const { return (m_nMode & load) == 0; }
    BOOL IsByteSwapping() const { return FALSE; }
    // Loading: TRUE when the buffer holds no unread bytes.
    BOOL IsBufferEmpty() const;
    CFile* GetFile() const { return m_pFile; }

    // The stored schema of the object being loaded, once: later calls answer (UINT)-1.
    UINT GetObjectSchema();
    void SetObjectSchema(UINT nSchema) { m_nObjectSchema = nSchema; }

    // Reads up to nMax bytes; fewer only at the end of the data.
    UINT Read(void* lpBuf, UINT nMax);
    void Write(const void* lpBuf, UINT nMax);
    // Storing: writes the buffer to the file. Loading: moves the file back to the archive's logical
    // position and drops what was read ahead, so that the file can be read directly from there.
    void Flush();
    void Close();
    // Ends the archive without writing the buffer and without throwing.
    void Abort();

    // Text lines (CR LF ended on writing; the line end is removed on reading).
    void WriteString(LPCSTR lpsz);
    LPSTR ReadString(LPSTR lpsz, UINT nMax);
    BOOL ReadString(CString& rString);

    // Element counts: u16, or 0xFFFF then u32.
    DWORD ReadCount();
    void WriteCount(DWORD dwCount);

    // Object tags.
    void WriteObject(const CObject* pOb);
    // Reads an object (or a reference to one read before, or null). With pClass, the object's
    // class must derive from it. Malformed input throws CArchiveException.
    CObject* ReadObject(const CRuntimeClass* pClass);
    void WriteClass(const CRuntimeClass* pClassRef);
    // Reads a class tag; with pClassRefRequested the class must derive from it.
    // *pSchema receives the class's stored schema, *pObTag the object index when the tag is not a
    // class (the function then returns null).
    CRuntimeClass* ReadClass(const CRuntimeClass* pClassRefRequested = nullptr, UINT* pSchema = nullptr,
                             DWORD* pObTag = nullptr);
    void SerializeClass(const CRuntimeClass* pClassRef);
    // Gives an object an index without writing it (storing) or adds it to the loaded objects
    // (loading), for objects that both sides know without archiving them.
    void MapObject(const CObject* pOb);

    CArchive& operator<<(BYTE by);
    CArchive& operator<<(WORD w);
    CArchive& operator<<(LONG l);
    CArchive& operator<<(DWORD dw);
    CArchive& operator<<(float f);
    CArchive& operator<<(double d);
    CArchive& operator<<(int i) { return *this << static_cast<LONG>(i); }
    CArchive& operator<<(short w) { return *this << static_cast<WORD>(w); }
    CArchive& operator<<(char ch) { return *this << static_cast<BYTE>(ch); }
    CArchive& operator<<(signed char ch) { return *this << static_cast<BYTE>(ch); }
    CArchive& operator<<(unsigned u) { return *this << static_cast<DWORD>(u); }
    CArchive& operator<<(LONGLONG v);
    CArchive& operator<<(ULONGLONG v);

    CArchive& operator>>(BYTE& by);
    CArchive& operator>>(WORD& w);
    CArchive& operator>>(LONG& l);
    CArchive& operator>>(DWORD& dw);
    CArchive& operator>>(float& f);
    CArchive& operator>>(double& d);
    CArchive& operator>>(int& i);
    CArchive& operator>>(short& w);
    CArchive& operator>>(char& ch);
    CArchive& operator>>(signed char& ch);
    CArchive& operator>>(unsigned& u);
    CArchive& operator>>(LONGLONG& v);
    CArchive& operator>>(ULONGLONG& v);

    // The document the archive belongs to, for objects that need it while they load or store.
    CDocument* m_pDocument;
    CString m_strFileName;

protected:
    // Fixed-size values: the whole value or CArchiveException endOfFile.
    void ReadExact(void* lpBuf, UINT n);
    void FillBuffer(UINT nBytesNeeded);
    [[noreturn]] void Throw(int cause) const;
    DWORD NextMapIndex();

    struct ObjectMaps;

    UINT m_nMode;
    CFile* m_pFile;
    BOOL m_bUserBuf;
    UINT m_nBufSize;
    BYTE* m_lpBufStart;
    BYTE* m_lpBufCur;
    BYTE* m_lpBufMax;
    UINT m_nObjectSchema;
    DWORD m_nMapCount;
    UINT m_nDepth;
    std::unique_ptr<ObjectMaps> m_pMaps;
};

CLASSLIB_API CArchive& AFXAPI operator<<(CArchive& ar, const CObject* pOb);
CLASSLIB_API CArchive& AFXAPI operator>>(CArchive& ar, CObject*& pOb);
CLASSLIB_API CArchive& AFXAPI operator>>(CArchive& ar, const CObject*& pOb);
