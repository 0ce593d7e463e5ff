#pragma once
// One download: where the data go and where they come from, and the two calls through which the
// job that carries it reports. Both calls come from the job's worker thread.
#include <classlib.h>
#include "TarnApi.h"

class TARN_API CDownloadRequest : public CObject
{
public:
    CDownloadRequest() = default;
    CDownloadRequest(const char* url, const char* filePath) : m_filePath(filePath), m_url(url) {}

    // Equal when the URLs and then the file paths are equal, byte for byte.
    bool IsSameAs(const CDownloadRequest& other) const;

    // The response's media type and content-type parameter; TRUE stops the download before any
    // data are written.
    virtual BOOL CheckContent(const CString& mediaType, const CString& parameter);
    // Bytes received so far and the content length (0 when unknown); TRUE stops the download.
    virtual BOOL Progress(int received, int total, BOOL failed, BOOL finished);

    CString m_filePath;
    CString m_url;
};
