#pragma once
// CMemFile: a file in a growable block of memory.
#include "ClFile.h"

class CLASSLIB_API CMemFile : public CFile
{
    DECLARE_DYNAMIC(CMemFile)
public:
    // nGrowBytes: allocation granularity; 0 forbids growing beyond an attached buffer.
    explicit CMemFile(UINT nGrowBytes = 1024);
    // Same as Attach(lpBuffer, nBufferSize, nGrowBytes).
    CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    ~CMemFile() override;

    // With nGrowBytes 0 the whole buffer is the file's content; otherwise the file starts empty
    // and the buffer is grown (reallocated) as needed, then owned by the file.
    void Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    // Hands the buffer to the caller (who frees it with free()) and empties the file.
    BYTE* Detach();

    DWORD GetPosition() const override;
    LONG Seek(LONG lOff, UINT nFrom) override;
    void SetLength(DWORD dwNewLen) override;
    DWORD GetLength() const override;
    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    void LockRange(DWORD, DWORD) override;
    void UnlockRange(DWORD, DWORD) override;
    void Abort() override;
    void Flush() override;
    void Close() override;

protected:
    virtual BYTE* Alloc(DWORD nBytes);
    virtual BYTE* Realloc(BYTE* lpMem, DWORD nBytes);
    virtual void Free(BYTE* lpMem);
    virtual void GrowFile(DWORD dwNewLen);

    UINT m_nGrowBytes;
    DWORD m_nPosition;
    DWORD m_nBufferSize;
    DWORD m_nFileSize;
    BYTE* m_lpBuffer;
    BOOL m_bAutoDelete;   // the buffer is ours to grow and free
};
