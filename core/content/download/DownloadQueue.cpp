#include "DownloadQueue.h"
#include <ClInternet.h>
#include "DownloadJobList.h"
#include "Downloader.h"

CDownloadQueue::CDownloadQueue() : m_list(std::make_shared<DownloadJobList>()) {}

CDownloadQueue::~CDownloadQueue()
{
    Remove(nullptr, TRUE);
}

CDownloader* CDownloadQueue::CreateJob()
{
    return new CDownloader(m_list, m_stallLimit);
}

BOOL CDownloadQueue::Add(CDownloadRequest* request)
{
    if (!request)
        return FALSE;
    DWORD service = 0;
    CString server, object;
    INTERNET_PORT port = 0;
    if (!AfxParseURL(request->m_url, service, server, object, port) || service != AFX_INET_SERVICE_HTTP)
        return FALSE;
    CDownloader* job = CreateJob();
    job->AddRequest(request);
    CSingleLock lock(&m_list->lock, TRUE);
    m_list->jobs.Add(job);
    return TRUE;
}

BOOL CDownloadQueue::AnyJobAccepts(CDownloadRequest* request)
{
    // Under the list's lock no job of the list can end and delete itself.
    CSingleLock lock(&m_list->lock, TRUE);
    for (INT_PTR i = 0; i < m_list->jobs.GetSize(); ++i) {
        if (static_cast<CDownloader*>(m_list->jobs[i])->Start(request))
            return TRUE;
    }
    return FALSE;
}

void CDownloadQueue::Remove(CDownloadRequest* request, BOOL all)
{
    CSingleLock lock(&m_list->lock, TRUE);
    CObArray& jobs = m_list->jobs;
    if (all) {
        while (jobs.GetSize() > 0) {
            auto* job = static_cast<CDownloader*>(jobs[jobs.GetSize() - 1]);
            jobs.RemoveAt(jobs.GetSize() - 1);
            if (job->Detach(FALSE))
                delete job;
        }
        return;
    }
    for (INT_PTR i = 0; i < jobs.GetSize(); ++i) {
        auto* job = static_cast<CDownloader*>(jobs[i]);
        if (job->HasFirstRequest(request)) {
            jobs.RemoveAt(i);
            if (job->Detach(TRUE))
                delete job;
            return;
        }
    }
}

int CDownloadQueue::GetJobCount()
{
    CSingleLock lock(&m_list->lock, TRUE);
    return static_cast<int>(m_list->jobs.GetSize());
}
