#pragma once
// Exceptions of the class library. They are thrown as pointers made with new (throw new
// CArchiveException(...)) and the handler calls Delete() when it is done with them.
#include "ClObject.h"
#include "ClString.h"

class CLASSLIB_API CException : public CObject
{
    DECLARE_DYNAMIC(CException)
public:
    explicit CException(BOOL bAutoDelete = TRUE);
    ~CException() override;

    // Frees the exception unless it was made on the stack (bAutoDelete FALSE).
    void Delete();

    // Text describing the failure; FALSE when there is none.
    virtual BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr);
    // Shows the text in a message box (nMessageID's string when the exception has none).
    virtual int ReportError(UINT nType = MB_OK, UINT nMessageID = 0);

    BOOL m_bAutoDelete;
};

class CLASSLIB_API CMemoryException : public CException
{
    DECLARE_DYNAMIC(CMemoryException)
public:
    CMemoryException();
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) override;
};

class CLASSLIB_API CNotSupportedException : public CException
{
    DECLARE_DYNAMIC(CNotSupportedException)
public:
    CNotSupportedException();
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) override;
};

class CLASSLIB_API CInvalidArgException : public CException
{
    DECLARE_DYNAMIC(CInvalidArgException)
public:
    CInvalidArgException();
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) override;
};

// Thrown to end an operation whose failure the user has already been told about.
class CLASSLIB_API CUserException : public CException
{
    DECLARE_DYNAMIC(CUserException)
public:
    CUserException();
};

class CLASSLIB_API CResourceException : public CException
{
    DECLARE_DYNAMIC(CResourceException)
public:
    CResourceException();
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) override;
};

class CLASSLIB_API CArchiveException : public CException
{
    DECLARE_DYNAMIC(CArchiveException)
public:
    enum {
        none, generic, readOnly, endOfFile, writeOnly, badIndex, badClass, badSchema
    };
    explicit CArchiveException(int cause = CArchiveException::none, LPCSTR lpszArchiveName = nullptr);
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) override;

    int m_cause;
    CString m_strFileName;
};

class CLASSLIB_API CFileException : public CException
{
    DECLARE_DYNAMIC(CFileException)
public:
    enum {
        none, generic, fileNotFound, badPath, tooManyOpenFiles, accessDenied, invalidFile,
        removeCurrentDir, directoryFull, badSeek, hardIO, sharingViolation, lockViolation,
        diskFull, endOfFile
    };
    explicit CFileException(int cause = CFileException::none, LONG lOsError = -1, LPCSTR lpszArchiveName = nullptr);
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) override;

    // Maps a Win32 error code to a cause.
    static int PASCAL OsErrorToException(LONG lOsError);
    static void PASCAL ThrowOsError(LONG lOsError, LPCSTR lpszFileName = nullptr);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

class CLASSLIB_API COleException : public CException
{
    DECLARE_DYNAMIC(COleException)
public:
    explicit COleException(SCODE sc = E_UNEXPECTED);
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) override;
    // The SCODE an exception stands for (E_OUTOFMEMORY for memory, E_UNEXPECTED for others).
    static SCODE PASCAL Process(const CException* pAnyException);

    SCODE m_sc;
};

[[noreturn]] CLASSLIB_API void AFXAPI AfxThrowMemoryException();
[[noreturn]] CLASSLIB_API void AFXAPI AfxThrowNotSupportedException();
[[noreturn]] CLASSLIB_API void AFXAPI AfxThrowInvalidArgException();
[[noreturn]] CLASSLIB_API void AFXAPI AfxThrowUserException();
[[noreturn]] CLASSLIB_API void AFXAPI AfxThrowResourceException();
[[noreturn]] CLASSLIB_API void AFXAPI AfxThrowArchiveException(int cause, LPCSTR lpszArchiveName = nullptr);
[[noreturn]] CLASSLIB_API void AFXAPI AfxThrowFileException(int cause, LONG lOsError = -1, LPCSTR lpszFileName = nullptr);
[[noreturn]] CLASSLIB_API void AFXAPI AfxThrowOleException(SCODE sc);

// Message boxes with the main window of the application as owner.
CLASSLIB_API int AFXAPI AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
CLASSLIB_API int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);

// Handler macros of the classic style, over C++ exceptions.
#define TRY try
#define CATCH(class_name, e) catch (class_name * e)
#define AND_CATCH(class_name, e) catch (class_name * e)
#define END_CATCH
#define CATCH_ALL(e) catch (CException * e)
#define AND_CATCH_ALL(e) catch (CException * e)
#define END_CATCH_ALL
#define THROW(e) throw e
#define THROW_LAST() throw
