#include "ClInternet.h"
#include "ClWinApp.h"
#include <cstring>
#include <vector>

IMPLEMENT_DYNAMIC(CInternetException, CException)

CInternetException::CInternetException(DWORD dwError) : m_dwContext(0), m_dwError(dwError) {}

BOOL CInternetException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (!lpszError || nMaxError == 0)
        return FALSE;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  GetModuleHandleA("wininet.dll"), m_dwError, 0, lpszError, nMaxError, nullptr);
    if (!length)
        length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, m_dwError, 0,
                                lpszError, nMaxError, nullptr);
    if (!length)
        wsprintfA(lpszError, "Internet error %lu", static_cast<unsigned long>(m_dwError));
    return TRUE;
}

void AFXAPI AfxThrowInternetException(DWORD_PTR dwContext, DWORD dwError)
{
    auto* e = new CInternetException(dwError ? dwError : GetLastError());
    e->m_dwContext = dwContext;
    throw e;
}

BOOL AFXAPI AfxParseURL(LPCSTR pstrURL, DWORD& dwServiceType, CString& strServer, CString& strObject,
                        INTERNET_PORT& nPort)
{
    dwServiceType = AFX_INET_SERVICE_UNK;
    if (!pstrURL || !*pstrURL)
        return FALSE;
    char host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
    char path[INTERNET_MAX_PATH_LENGTH + 1] = {};
    char extra[INTERNET_MAX_PATH_LENGTH + 1] = {};
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof host;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = sizeof path;
    parts.lpszExtraInfo = extra;
    parts.dwExtraInfoLength = sizeof extra;
    if (!InternetCrackUrlA(pstrURL, 0, 0, &parts))
        return FALSE;
    switch (parts.nScheme) {
    case INTERNET_SCHEME_HTTP: dwServiceType = AFX_INET_SERVICE_HTTP; break;
    case INTERNET_SCHEME_HTTPS: dwServiceType = AFX_INET_SERVICE_HTTPS; break;
    case INTERNET_SCHEME_FTP: dwServiceType = AFX_INET_SERVICE_FTP; break;
    case INTERNET_SCHEME_GOPHER: dwServiceType = AFX_INET_SERVICE_GOPHER; break;
    case INTERNET_SCHEME_FILE: dwServiceType = AFX_INET_SERVICE_FILE; break;
    default: dwServiceType = AFX_INET_SERVICE_UNK; break;
    }
    strServer = host;
    strObject = CString(path) + extra;
    if (strObject.IsEmpty())
        strObject = "/";
    nPort = parts.nPort;
    return dwServiceType != AFX_INET_SERVICE_UNK;
}

CInternetSession::CInternetSession(LPCSTR pstrAgent, DWORD_PTR dwContext, DWORD dwAccessType, LPCSTR pstrProxyName,
                                   LPCSTR pstrProxyBypass, DWORD dwFlags)
    : m_hSession(nullptr), m_dwContext(dwContext)
{
    CString agent;
    if (pstrAgent)
        agent = pstrAgent;
    else if (CWinApp* app = AfxGetApp(); app && app->m_pszAppName)
        agent = app->m_pszAppName;
    else {
        char module[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, module, MAX_PATH);
        const char* name = std::strrchr(module, '\\');
        agent = name ? name + 1 : module;
    }
    m_hSession = InternetOpenA(agent, dwAccessType, pstrProxyName, pstrProxyBypass, dwFlags);
    if (!m_hSession)
        AfxThrowInternetException(dwContext);
}

CInternetSession::~CInternetSession()
{
    Close();
}

void CInternetSession::Close()
{
    if (m_hSession)
        InternetCloseHandle(m_hSession);
    m_hSession = nullptr;
}

BOOL CInternetSession::SetCookie(LPCSTR pstrUrl, LPCSTR pstrCookieName, LPCSTR pstrCookieData)
{
    return InternetSetCookieA(pstrUrl, pstrCookieName, pstrCookieData);
}

BOOL CInternetSession::SetOption(DWORD dwOption, DWORD dwValue)
{
    return InternetSetOptionA(m_hSession, dwOption, &dwValue, sizeof dwValue);
}

CHttpConnection* CInternetSession::GetHttpConnection(LPCSTR pstrServer, INTERNET_PORT nPort, LPCSTR pstrUserName,
                                                     LPCSTR pstrPassword)
{
    return new CHttpConnection(this, pstrServer, nPort, pstrUserName, pstrPassword);
}

CHttpConnection::CHttpConnection(CInternetSession* pSession, LPCSTR pstrServer, INTERNET_PORT nPort,
                                 LPCSTR pstrUserName, LPCSTR pstrPassword)
    : m_hConnection(nullptr), m_dwContext(pSession->GetContext())
{
    m_hConnection = InternetConnectA(*pSession, pstrServer, nPort, pstrUserName, pstrPassword, INTERNET_SERVICE_HTTP,
                                     0, m_dwContext);
    if (!m_hConnection)
        AfxThrowInternetException(m_dwContext);
}

CHttpConnection::~CHttpConnection()
{
    Close();
}

void CHttpConnection::Close()
{
    if (m_hConnection)
        InternetCloseHandle(m_hConnection);
    m_hConnection = nullptr;
}

CHttpFile* CHttpConnection::OpenRequest(LPCSTR pstrVerb, LPCSTR pstrObjectName, LPCSTR pstrReferer,
                                        DWORD_PTR dwContext, LPCSTR* ppstrAcceptTypes, LPCSTR pstrVersion,
                                        DWORD dwFlags)
{
    HINTERNET request = HttpOpenRequestA(m_hConnection, pstrVerb ? pstrVerb : "GET", pstrObjectName, pstrVersion,
                                         pstrReferer, ppstrAcceptTypes, dwFlags, dwContext);
    if (!request)
        AfxThrowInternetException(dwContext);
    return new CHttpFile(request, dwContext);
}

CHttpFile::CHttpFile(HINTERNET hRequest, DWORD_PTR dwContext) : m_hFile(hRequest), m_dwContext(dwContext) {}

CHttpFile::~CHttpFile()
{
    Close();
}

void CHttpFile::Close()
{
    if (m_hFile)
        InternetCloseHandle(m_hFile);
    m_hFile = nullptr;
}

BOOL CHttpFile::AddRequestHeaders(LPCSTR pstrHeaders, DWORD dwFlags, int dwHeadersLen)
{
    return HttpAddRequestHeadersA(m_hFile, pstrHeaders, static_cast<DWORD>(dwHeadersLen), dwFlags);
}

BOOL CHttpFile::SendRequest(LPCSTR pstrHeaders, DWORD dwHeadersLen, LPVOID lpOptional, DWORD dwOptionalLen)
{
    if (!HttpSendRequestA(m_hFile, pstrHeaders, dwHeadersLen, lpOptional, dwOptionalLen))
        AfxThrowInternetException(m_dwContext);
    return TRUE;
}

BOOL CHttpFile::QueryInfo(DWORD dwInfoLevel, CString& str) const
{
    str.Empty();
    DWORD size = 0;
    if (HttpQueryInfoA(m_hFile, dwInfoLevel, nullptr, &size, nullptr) || GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return FALSE;
    std::vector<char> text(size + 1, '\0');
    DWORD length = size + 1;
    if (!HttpQueryInfoA(m_hFile, dwInfoLevel, text.data(), &length, nullptr))
        return FALSE;
    str = CString(text.data(), static_cast<int>(length));
    return TRUE;
}

BOOL CHttpFile::SetOption(DWORD dwOption, DWORD dwValue)
{
    return InternetSetOptionA(m_hFile, dwOption, &dwValue, sizeof dwValue);
}

BOOL CHttpFile::QueryInfoStatusCode(DWORD& dwStatusCode) const
{
    DWORD size = sizeof dwStatusCode;
    return HttpQueryInfoA(m_hFile, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &dwStatusCode, &size, nullptr);
}

UINT CHttpFile::Read(void* lpBuf, UINT nCount)
{
    DWORD read = 0;
    if (!InternetReadFile(m_hFile, lpBuf, nCount, &read))
        AfxThrowInternetException(m_dwContext);
    return read;
}
