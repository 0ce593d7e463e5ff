#include "DownloadRequest.h"

bool CDownloadRequest::IsSameAs(const CDownloadRequest& other) const
{
    return m_url.Compare(other.m_url) == 0 && m_filePath.Compare(other.m_filePath) == 0;
}

BOOL CDownloadRequest::CheckContent(const CString&, const CString&)
{
    return FALSE;
}

BOOL CDownloadRequest::Progress(int, int, BOOL, BOOL)
{
    return FALSE;
}
