#include "DownloadTransfer.h"
#include <cstdlib>
#include "DownloadCookies.h"

namespace {
constexpr DWORD_PTR kContext = 1;
}

void SplitContentType(const CString& value, CString& mediaType, CString& parameter)
{
    const int semicolon = value.Find(';');
    if (semicolon < 0) {
        mediaType = value;
        parameter.Empty();
    } else {
        mediaType = value.Left(semicolon);
        parameter = value.Mid(semicolon + 1);
    }
    mediaType.TrimLeft();
    mediaType.TrimRight();
    parameter.TrimLeft();
    parameter.TrimRight();
}

CDownloadTransfer::~CDownloadTransfer()
{
    Close();
}

bool CDownloadTransfer::Open(const char* url, DWORD receiveTimeout)
{
    Close();
    m_url = url;
    if (!AfxParseURL(url, m_serviceType, m_server, m_object, m_port) || m_serviceType != AFX_INET_SERVICE_HTTP)
        return false;
    try {
        m_session = std::make_unique<CInternetSession>(nullptr, kContext, PRE_CONFIG_INTERNET_ACCESS);
        m_session->SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, receiveTimeout);
        m_session->SetOption(INTERNET_OPTION_SEND_TIMEOUT, receiveTimeout);
        m_session->SetOption(INTERNET_OPTION_RECEIVE_TIMEOUT, receiveTimeout);
        const CString data = DownloadCookies::MakeDataValue(DownloadCookies::kEmail, DownloadCookies::kUserId);
        const struct { const char* name; const char* value; } cookies[] = {
            {"KD_ID", DownloadCookies::kUserId}, {"KD_EMAIL", DownloadCookies::kEmail},
            {"KD_NAME", DownloadCookies::kUserName}, {"KD_STN", DownloadCookies::kStation}, {"KD_DATA", data}};
        for (const auto& cookie : cookies) {
            if (!CInternetSession::SetCookie(url, cookie.name, cookie.value)) {
                Close();
                return false;
            }
        }
        m_connection.reset(m_session->GetHttpConnection(m_server, m_port));
        m_file.reset(m_connection->OpenRequest("GET", m_object, nullptr, kContext, nullptr, nullptr,
                                               INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_RELOAD |
                                                   INTERNET_FLAG_NO_CACHE_WRITE));
        m_file->SetOption(INTERNET_OPTION_SEND_TIMEOUT, receiveTimeout);
        m_file->SetOption(INTERNET_OPTION_RECEIVE_TIMEOUT, receiveTimeout);
        m_file->AddRequestHeaders("Accept: */*\r\nUser-Agent: TARN_DOWNLOADER\r\n",
                                  HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE);
        m_file->SendRequest();
        DWORD status = 0;
        // An error page is not the picture that was asked for.
        if (!m_file->QueryInfoStatusCode(status) || status < 200 || status > 299) {
            Close();
            return false;
        }
        ReadResponseHeaders();
        return true;
    } catch (CInternetException* e) {
        e->Delete();
        Close();
        return false;
    }
}

void CDownloadTransfer::ReadResponseHeaders()
{
    m_contentLength = 0;
    if (!m_file->QueryInfo(HTTP_QUERY_RAW_HEADERS_CRLF, m_rawHeaders))
        return;
    CString type;
    if (m_file->QueryInfo(HTTP_QUERY_CONTENT_TYPE, type))
        SplitContentType(type, m_mediaType, m_parameter);
    CString length;
    if (m_file->QueryInfo(HTTP_QUERY_CONTENT_LENGTH, length)) {
        const long value = std::strtol(length, nullptr, 10);
        m_contentLength = value > 0 ? static_cast<int>(value) : 0;
    }
}

void CDownloadTransfer::Close()
{
    m_file.reset();
    m_connection.reset();
    m_session.reset();
}
