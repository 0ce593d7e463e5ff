#pragma once
// Thin internet classes over the system's WinINet: a session, an HTTP connection, a request file,
// the exception that their failures throw, and the URL parser.
#include "ClException.h"
#include "ClString.h"
#include <wininet.h>

enum : DWORD {
    AFX_INET_SERVICE_FTP = 1,
    AFX_INET_SERVICE_GOPHER = 2,
    AFX_INET_SERVICE_HTTP = 3,
    AFX_INET_SERVICE_UNK = 0x1000,
    AFX_INET_SERVICE_FILE = 0x1001,
    AFX_INET_SERVICE_HTTPS = 0x100B,
};
#define PRE_CONFIG_INTERNET_ACCESS INTERNET_OPEN_TYPE_PRECONFIG

// Splits a URL into its service, server, object (path and query, "/" when empty) and port.
CLASSLIB_API BOOL AFXAPI AfxParseURL(LPCSTR pstrURL, DWORD& dwServiceType, CString& strServer, CString& strObject,
                                     INTERNET_PORT& nPort);

class CLASSLIB_API CInternetException : public CException
{
    DECLARE_DYNAMIC(CInternetException)
public:
    explicit CInternetException(DWORD dwError);
    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) override;

    DWORD_PTR m_dwContext;
    DWORD m_dwError;
};

[[noreturn]] CLASSLIB_API void AFXAPI AfxThrowInternetException(DWORD_PTR dwContext, DWORD dwError = 0);

class CHttpConnection;
class CHttpFile;

class CLASSLIB_API CInternetSession
{
public:
    // No agent name: the application's name is the agent.
    explicit CInternetSession(LPCSTR pstrAgent = nullptr, DWORD_PTR dwContext = 1,
                              DWORD dwAccessType = PRE_CONFIG_INTERNET_ACCESS, LPCSTR pstrProxyName = nullptr,
                              LPCSTR pstrProxyBypass = nullptr, DWORD dwFlags = 0);
    virtual ~CInternetSession();
    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    static BOOL SetCookie(LPCSTR pstrUrl, LPCSTR pstrCookieName, LPCSTR pstrCookieData);
    BOOL SetOption(DWORD dwOption, DWORD dwValue);
    CHttpConnection* GetHttpConnection(LPCSTR pstrServer, INTERNET_PORT nPort = INTERNET_INVALID_PORT_NUMBER,
                                       LPCSTR pstrUserName = nullptr, LPCSTR pstrPassword = nullptr);
    virtual void Close();
    operator HINTERNET() const { return m_hSession; }
    DWORD_PTR GetContext() const { return m_dwContext; }

private:
    HINTERNET m_hSession;
    DWORD_PTR m_dwContext;
};

class CLASSLIB_API CHttpConnection
{
public:
    CHttpConnection(CInternetSession* pSession, LPCSTR pstrServer, INTERNET_PORT nPort, LPCSTR pstrUserName,
                    LPCSTR pstrPassword);
    virtual ~CHttpConnection();
    CHttpConnection(const CHttpConnection&) = delete;
    CHttpConnection& operator=(const CHttpConnection&) = delete;

    CHttpFile* OpenRequest(LPCSTR pstrVerb, LPCSTR pstrObjectName, LPCSTR pstrReferer = nullptr,
                           DWORD_PTR dwContext = 1, LPCSTR* ppstrAcceptTypes = nullptr, LPCSTR pstrVersion = nullptr,
                           DWORD dwFlags = 0);
    virtual void Close();
    operator HINTERNET() const { return m_hConnection; }

private:
    HINTERNET m_hConnection;
    DWORD_PTR m_dwContext;
};

class CLASSLIB_API CHttpFile
{
public:
    CHttpFile(HINTERNET hRequest, DWORD_PTR dwContext);
    virtual ~CHttpFile();
    CHttpFile(const CHttpFile&) = delete;
    CHttpFile& operator=(const CHttpFile&) = delete;

    BOOL AddRequestHeaders(LPCSTR pstrHeaders, DWORD dwFlags = HTTP_ADDREQ_FLAG_ADD_IF_NEW, int dwHeadersLen = -1);
    BOOL SendRequest(LPCSTR pstrHeaders = nullptr, DWORD dwHeadersLen = 0, LPVOID lpOptional = nullptr,
                     DWORD dwOptionalLen = 0);
    BOOL SetOption(DWORD dwOption, DWORD dwValue);
    BOOL QueryInfo(DWORD dwInfoLevel, CString& str) const;
    BOOL QueryInfoStatusCode(DWORD& dwStatusCode) const;
    // Reads up to nCount bytes; 0 at the end of the body. Failures throw CInternetException.
    UINT Read(void* lpBuf, UINT nCount);
    virtual void Close();
    operator HINTERNET() const { return m_hFile; }

private:
    HINTERNET m_hFile;
    DWORD_PTR m_dwContext;
};
