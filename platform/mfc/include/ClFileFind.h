#pragma once
// CFileFind: the files of a folder that match a pattern, one at a time.
//
//   CFileFind finder;
//   for (BOOL more = finder.FindFile("C:\\cards\\*.tcd"); more;) {
//       more = finder.FindNextFile();
//       ... finder.GetFilePath() ...
//   }
#include "ClObject.h"
#include "ClString.h"

class CLASSLIB_API CFileFind : public CObject
{
    DECLARE_DYNAMIC(CFileFind)
public:
    CFileFind();
    ~CFileFind() override;

    // Starts a search (null: "*.*" in the current folder); FALSE when nothing matches.
    BOOL FindFile(LPCSTR pstrName = nullptr, DWORD dwUnused = 0);
    // Moves to the next match; FALSE when the current one is the last (it stays readable).
    BOOL FindNextFile();
    void Close();

    CString GetFileName() const;
    CString GetFilePath() const;
    CString GetFileTitle() const;
    CString GetRoot() const { return m_strRoot; }
    DWORD GetLength() const;
    BOOL IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
    BOOL IsReadOnly() const { return MatchesMask(FILE_ATTRIBUTE_READONLY); }
    BOOL IsHidden() const { return MatchesMask(FILE_ATTRIBUTE_HIDDEN); }
    // "." and "..".
    BOOL IsDots() const;
    BOOL MatchesMask(DWORD dwMask) const;
    BOOL GetLastWriteTime(FILETIME* pTimeStamp) const;

private:
    HANDLE m_hContext;
    BOOL m_bHaveCurrent;   // m_found holds a match the caller moved to
    BOOL m_bHaveNext;      // m_next holds the match FindNextFile moves to
    WIN32_FIND_DATAA m_found;
    WIN32_FIND_DATAA m_next;
    CString m_strRoot;     // folder of the pattern, ending in a separator (or empty)
};
