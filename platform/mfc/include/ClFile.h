#pragma once
// CFile: a Win32 file, and the base of the memory and stream files that archives work on.
#include "ClObject.h"
#include "ClString.h"

class CFileException;

class CLASSLIB_API CFile : public CObject
{
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags {
        modeRead = 0x0000, modeWrite = 0x0001, modeReadWrite = 0x0002,
        shareCompat = 0x0000, shareExclusive = 0x0010, shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030, shareDenyNone = 0x0040,
        modeNoInherit = 0x0080, modeCreate = 0x1000, modeNoTruncate = 0x2000,
        typeText = 0x4000, typeBinary = (int)0x8000
    };
    enum SeekPosition { begin = 0x0, current = 0x1, end = 0x2 };

    CFile();
    explicit CFile(HANDLE hFile);
    // Throws CFileException when the file cannot be opened.
    CFile(LPCSTR lpszFileName, UINT nOpenFlags);
    ~CFile() override;

    HANDLE m_hFile;
    BOOL m_bCloseOnDelete;
    CString m_strFileName;

    // FALSE with the cause in *pError (when given) when the file cannot be opened.
    virtual BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    virtual CString GetFileName() const;
    virtual CString GetFileTitle() const;
    virtual CString GetFilePath() const;
    virtual void SetFilePath(LPCSTR lpszNewName);

    virtual DWORD GetPosition() const;
    virtual LONG Seek(LONG lOff, UINT nFrom);
    void SeekToBegin() { Seek(0, begin); }
    DWORD SeekToEnd() { return static_cast<DWORD>(Seek(0, end)); }
    virtual void SetLength(DWORD dwNewLen);
    virtual DWORD GetLength() const;

    // Reads up to nCount bytes; fewer only at the end of the file.
    virtual UINT Read(void* lpBuf, UINT nCount);
    // Writes all bytes or throws.
    virtual void Write(const void* lpBuf, UINT nCount);
    virtual void LockRange(DWORD dwPos, DWORD dwCount);
    virtual void UnlockRange(DWORD dwPos, DWORD dwCount);
    virtual void Abort();
    virtual void Flush();
    virtual void Close();

    static void PASCAL Rename(LPCSTR lpszOldName, LPCSTR lpszNewName);
    static void PASCAL Remove(LPCSTR lpszFileName);

protected:
    void ThrowLastError() const;
};
