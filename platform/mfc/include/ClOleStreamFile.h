#pragma once
// COleStreamFile: a CFile over an OLE IStream, so that archives can be built on the streams of
// compound files and on memory streams.
#include "ClFile.h"

class CLASSLIB_API COleStreamFile : public CFile
{
    DECLARE_DYNAMIC(COleStreamFile)
public:
    // Same as Attach(lpStream).
    explicit COleStreamFile(LPSTREAM lpStream = nullptr);
    ~COleStreamFile() override;

    // Uses the caller's reference (no AddRef): Close releases it, the destructor does not.
    // Streams this file opens or creates itself are released by the destructor as well.
    void Attach(LPSTREAM lpStream);
    // Gives the reference back to the caller; the file is then closed without releasing it.
    LPSTREAM Detach();
    IStream* GetStream() const { return m_lpStream; }

    // The open flags are CFile's (modeRead/Write/ReadWrite, share..., modeCreate). FALSE with the
    // cause and SCODE (as m_lOsError) in *pError on failure.
    BOOL OpenStream(LPSTORAGE lpStorage, LPCSTR lpszStreamName,
                    DWORD nOpenFlags = modeReadWrite | shareExclusive, CFileException* pError = nullptr);
    BOOL CreateStream(LPSTORAGE lpStorage, LPCSTR lpszStreamName,
                      DWORD nOpenFlags = modeReadWrite | shareExclusive | modeCreate, CFileException* pError = nullptr);
    BOOL CreateMemoryStream(CFileException* pError = nullptr);

    DWORD GetPosition() const override;
    LONG Seek(LONG lOff, UINT nFrom) override;
    void SetLength(DWORD dwNewLen) override;
    DWORD GetLength() const override;
    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    void LockRange(DWORD dwPos, DWORD dwCount) override;
    void UnlockRange(DWORD dwPos, DWORD dwCount) override;
    void Abort() override;
    void Flush() override;
    void Close() override;

    // The file exception cause that stands for a storage SCODE.
    static int PASCAL ScodeToFileCause(SCODE sc);

protected:
    void ThrowStorageError(SCODE sc) const;
    LPSTREAM m_lpStream;
};
