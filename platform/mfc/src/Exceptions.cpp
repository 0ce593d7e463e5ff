#include "ClException.h"
#include "ClModule.h"
#include "ClWinApp.h"

#include <cstdio>
#include <cstring>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CException)
IMPLEMENT_DYNAMIC(CInvalidArgException, CException)
IMPLEMENT_DYNAMIC(CUserException, CException)
IMPLEMENT_DYNAMIC(CResourceException, CException)
IMPLEMENT_DYNAMIC(CArchiveException, CException)
IMPLEMENT_DYNAMIC(CFileException, CException)
IMPLEMENT_DYNAMIC(COleException, CException)

namespace {
BOOL CopyMessage(LPCSTR text, LPSTR out, UINT nMax, PUINT pnHelpContext)
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (!out || nMax == 0)
        return FALSE;
    lstrcpynA(out, text, static_cast<int>(nMax));
    return TRUE;
}

BOOL CopyMessageWithName(LPCSTR text, const CString& name, LPSTR out, UINT nMax, PUINT pnHelpContext)
{
    CString message(text);
    if (!name.IsEmpty())
        message = CString("'") + name + "': " + message;
    return CopyMessage(message, out, nMax, pnHelpContext);
}
}

CException::CException(BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete) {}
CException::~CException() = default;

void CException::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

BOOL CException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (lpszError && nMaxError)
        *lpszError = 0;
    return FALSE;
}

int CException::ReportError(UINT nType, UINT nMessageID)
{
    char text[512];
    if (GetErrorMessage(text, sizeof text))
        return AfxMessageBox(text, nType);
    if (nMessageID != 0)
        return AfxMessageBox(nMessageID, nType);
    return AfxMessageBox("An unexpected error occurred.", nType);
}

CMemoryException::CMemoryException() : CException(TRUE) {}
BOOL CMemoryException::GetErrorMessage(LPSTR s, UINT n, PUINT h) { return CopyMessage("Out of memory.", s, n, h); }

CNotSupportedException::CNotSupportedException() : CException(TRUE) {}
BOOL CNotSupportedException::GetErrorMessage(LPSTR s, UINT n, PUINT h)
{
    return CopyMessage("The operation is not supported.", s, n, h);
}

CInvalidArgException::CInvalidArgException() : CException(TRUE) {}
BOOL CInvalidArgException::GetErrorMessage(LPSTR s, UINT n, PUINT h)
{
    return CopyMessage("An invalid argument was passed.", s, n, h);
}

CUserException::CUserException() : CException(TRUE) {}

CResourceException::CResourceException() : CException(TRUE) {}
BOOL CResourceException::GetErrorMessage(LPSTR s, UINT n, PUINT h)
{
    return CopyMessage("A required resource was unavailable.", s, n, h);
}

CArchiveException::CArchiveException(int cause, LPCSTR lpszArchiveName)
    : m_cause(cause), m_strFileName(lpszArchiveName)
{
}

BOOL CArchiveException::GetErrorMessage(LPSTR s, UINT n, PUINT h)
{
    static const char* const kTexts[] = {
        "No error.",
        "An unexpected error occurred while reading or writing the file.",
        "The file could not be written: the archive is open for reading.",
        "Unexpected end of file.",
        "The file could not be read: the archive is open for writing.",
        "The file has an invalid format (bad object index).",
        "The file has an invalid format (unknown or unexpected class).",
        "The file has an invalid format or an unsupported version.",
    };
    const bool known = m_cause >= 0 && m_cause < static_cast<int>(sizeof kTexts / sizeof kTexts[0]);
    return CopyMessageWithName(known ? kTexts[m_cause] : kTexts[generic], m_strFileName, s, n, h);
}

CFileException::CFileException(int cause, LONG lOsError, LPCSTR lpszArchiveName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszArchiveName)
{
}

BOOL CFileException::GetErrorMessage(LPSTR s, UINT n, PUINT h)
{
    static const char* const kTexts[] = {
        "No error.",
        "An unexpected file error occurred.",
        "The file was not found.",
        "The path is invalid.",
        "Too many files are open.",
        "Access to the file was denied.",
        "The file handle is invalid.",
        "The current directory cannot be removed.",
        "The directory is full.",
        "The file position could not be set.",
        "A hardware input/output error occurred.",
        "The file is in use by another program.",
        "A region of the file is locked.",
        "The disk is full.",
        "Unexpected end of file.",
    };
    const bool known = m_cause >= 0 && m_cause < static_cast<int>(sizeof kTexts / sizeof kTexts[0]);
    return CopyMessageWithName(known ? kTexts[m_cause] : kTexts[generic], m_strFileName, s, n, h);
}

int PASCAL CFileException::OsErrorToException(LONG lOsError)
{
    switch (lOsError) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_BAD_NETPATH:
    case ERROR_FILENAME_EXCED_RANGE: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
    case ERROR_CANNOT_MAKE: return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
    case ERROR_SEEK_ON_DEVICE: return badSeek;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_NOT_READY: return hardIO;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    default: return generic;
    }
}

void PASCAL CFileException::ThrowOsError(LONG lOsError, LPCSTR lpszFileName)
{
    if (lOsError != 0)
        AfxThrowFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

COleException::COleException(SCODE sc) : m_sc(sc) {}

BOOL COleException::GetErrorMessage(LPSTR s, UINT n, PUINT h)
{
    LPSTR system = nullptr;
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, static_cast<DWORD>(m_sc), 0, reinterpret_cast<LPSTR>(&system), 0, nullptr);
    char text[64];
    snprintf(text, sizeof text, "OLE error 0x%08lX.", static_cast<unsigned long>(m_sc));
    const BOOL result = CopyMessage(system ? system : text, s, n, h);
    if (system)
        LocalFree(system);
    return result;
}

SCODE PASCAL COleException::Process(const CException* pAnyException)
{
    if (!pAnyException)
        return E_UNEXPECTED;
    if (pAnyException->IsKindOf(RUNTIME_CLASS(COleException)))
        return static_cast<const COleException*>(pAnyException)->m_sc;
    if (pAnyException->IsKindOf(RUNTIME_CLASS(CMemoryException)))
        return E_OUTOFMEMORY;
    if (pAnyException->IsKindOf(RUNTIME_CLASS(CNotSupportedException)))
        return E_NOTIMPL;
    return E_UNEXPECTED;
}

void AFXAPI AfxThrowMemoryException() { throw new CMemoryException; }
void AFXAPI AfxThrowNotSupportedException() { throw new CNotSupportedException; }
void AFXAPI AfxThrowInvalidArgException() { throw new CInvalidArgException; }
void AFXAPI AfxThrowUserException() { throw new CUserException; }
void AFXAPI AfxThrowResourceException() { throw new CResourceException; }
void AFXAPI AfxThrowArchiveException(int cause, LPCSTR lpszArchiveName)
{
    throw new CArchiveException(cause, lpszArchiveName);
}
void AFXAPI AfxThrowFileException(int cause, LONG lOsError, LPCSTR lpszFileName)
{
    throw new CFileException(cause, lOsError, lpszFileName);
}
void AFXAPI AfxThrowOleException(SCODE sc) { throw new COleException(sc); }

int AFXAPI AfxMessageBox(LPCSTR lpszText, UINT nType, UINT nIDHelp)
{
    // The application decides how messages are shown.
    if (CWinApp* app = AfxGetApp())
        return app->DoMessageBox(lpszText, nType, nIDHelp);
    return MessageBoxA(AfxGetMainWindowHandle(), lpszText, AfxGetAppName(), nType);
}

int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString text;
    if (!text.LoadString(nIDPrompt))
        text.Format("Message %u", nIDPrompt);
    return AfxMessageBox(text, nType, nIDHelp);
}
