#pragma once
// The HTTP side of one download: a GET with the download cookies and headers, the response's
// content type and length, and the body read in pieces.
#include <memory>
#include <ClInternet.h>
#include "TarnApi.h"

class TARN_API CDownloadTransfer
{
public:
    CDownloadTransfer() = default;
    ~CDownloadTransfer();
    CDownloadTransfer(const CDownloadTransfer&) = delete;
    CDownloadTransfer& operator=(const CDownloadTransfer&) = delete;

    // Sends the request and reads the response headers; false (with everything closed) when the
    // URL is not http, the server cannot be reached or answers with an error status. Every network
    // wait ends after receiveTimeout milliseconds.
    bool Open(const char* url, DWORD receiveTimeout);
    // Up to count bytes of the body; 0 at its end. Throws CInternetException.
    UINT Read(void* buffer, UINT count) { return m_file->Read(buffer, count); }
    void Close();

    CString m_mediaType;
    CString m_parameter;
    CString m_rawHeaders;
    CString m_server;
    CString m_object;
    CString m_url;
    INTERNET_PORT m_port = 0;
    DWORD m_serviceType = 0;
    int m_contentLength = 0;  // 0: unknown

private:
    void ReadResponseHeaders();

    std::unique_ptr<CInternetSession> m_session;
    std::unique_ptr<CHttpConnection> m_connection;
    std::unique_ptr<CHttpFile> m_file;
};

// Splits a Content-Type value into the media type (before the first ";") and its parameter (the
// text after it, trimmed of blanks).
TARN_API void SplitContentType(const CString& value, CString& mediaType, CString& parameter);
