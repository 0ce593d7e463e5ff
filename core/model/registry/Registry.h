#pragma once
#include <deque>

#include "ClObject.h"
#include "ClString.h"
#include "Buffer.h"
#include "TarnApi.h"
#include "geometry/FloatRecords.h"

class CObList;
class CStringList;
class CStringArray;
class CByteArray;
class CDWordArray;
class CWordArray;

// Access to one registry hive through a stack of open keys. Nested structures are written by
// CreateKey(child), writes, Close() and read by Open(child), reads, Close(); names are relative to
// the current key. Every failure is a FALSE result with the registry's status kept as the last
// result; no exception leaves the class.
class TARN_API CRegistry : public CObject {
public:
    explicit CRegistry(BOOL bLocalMachine = FALSE, BOOL bReadOnly = FALSE);
    ~CRegistry() override;
    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;

    BOOL Open(LPCSTR name);
    BOOL CreateKey(LPCSTR name);
    BOOL Close();
    BOOL VerifyKey(LPCSTR name);
    BOOL VerifyValue(LPCSTR name);
    BOOL DeleteValue(LPCSTR name);
    BOOL DeleteKey(LPCSTR name);
    CString EnumKey(unsigned long index);
    unsigned long GetSubKeysCount();

    BOOL Read(LPCSTR name, int& value);
    BOOL Read(LPCSTR name, unsigned long& value);
    BOOL Read(LPCSTR name, bool& value);
    BOOL Read(LPCSTR name, CString& value);
    BOOL Read(LPCSTR name, double& value);
    BOOL Read(LPCSTR name, tagPointF& value);
    BOOL Read(LPCSTR name, tagSizeF& value);
    BOOL Read(LPCSTR name, tagRectF& value);
    // The caller owns the data (delete[]); a value of size 0 gives no data and size 0.
    BOOL Read(LPCSTR name, BYTE** data, UINT* size);
    BOOL Read(LPCSTR name, CBuffer<unsigned char>& value);
    BOOL Read(LPCSTR name, CObject& value);
    BOOL Read(LPCSTR name, CObList& value);
    BOOL Read(LPCSTR name, CWordArray& value);
    BOOL Read(LPCSTR name, RECT& value);
    BOOL Read(LPCSTR name, CStringList& value);
    BOOL Read(LPCSTR name, CStringArray& value);
    BOOL Read(LPCSTR name, CByteArray& value);
    BOOL Read(LPCSTR name, CDWordArray& value);
    BOOL Read(LPCSTR name, tagPOINT*& value);

    BOOL Write(LPCSTR name, int value);
    BOOL Write(LPCSTR name, unsigned long value);
    BOOL Write(LPCSTR name, bool value);
    BOOL Write(LPCSTR name, LPCSTR value);
    BOOL Write(LPCSTR name, const double& value);
    BOOL Write(LPCSTR name, const tagPointF& value);
    BOOL Write(LPCSTR name, const tagSizeF& value);
    BOOL Write(LPCSTR name, const tagRectF& value);
    BOOL Write(LPCSTR name, BYTE* data, UINT size);
    BOOL Write(LPCSTR name, CBuffer<unsigned char>& value);
    BOOL Write(LPCSTR name, CObject& value);
    BOOL Write(LPCSTR name, CObList& value);
    BOOL Write(LPCSTR name, CStringList& value);
    BOOL Write(LPCSTR name, CStringArray& value);
    BOOL Write(LPCSTR name, CByteArray& value);
    BOOL Write(LPCSTR name, CDWordArray& value);
    BOOL Write(LPCSTR name, CWordArray& value);
    BOOL Write(LPCSTR name, const RECT& value);
    BOOL Write(LPCSTR name, tagPOINT*& value);

    LONG GetLastResult() const { return m_lastResult; }
    DWORD GetLastType() const { return m_lastType; }
    DWORD GetLastSize() const { return m_lastSize; }
    HKEY GetCurrentKey() const { return m_currentKey; }
    const CString& GetLastOpenedName() const { return m_lastOpenedName; }
    BOOL IsReadOnly() const { return m_readOnly; }

private:
    bool IsRoot(HKEY key) const;
    void PushCurrent(HKEY key);
    // The raw query: with data null only the size is asked for. Keeps result, type and size.
    BOOL QueryValue(LPCSTR name, void* data, DWORD* size);
    BOOL SetValue(LPCSTR name, DWORD type, const void* data, DWORD size);
    BOOL ReadBinaryUpTo(LPCSTR name, DWORD limit, CBuffer<unsigned char>& bytes);
    template <class Collection>
    BOOL ReadSerialized(LPCSTR name, DWORD limit, Collection& value);
    template <class Collection>
    BOOL WriteSerialized(LPCSTR name, Collection& value);
    static LONG DeleteTree(HKEY parent, LPCSTR name);

    LONG m_lastResult = ERROR_SUCCESS;
    DWORD m_lastType = REG_NONE;
    DWORD m_lastSize = 0;
    HKEY m_root;
    HKEY m_currentKey;
    CString m_lastOpenedName;
    BOOL m_readOnly;
    std::deque<HKEY> m_keyStack;
};
