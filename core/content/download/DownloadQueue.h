#pragma once
// The main frame's downloads: one job per accepted request. The queue's list is locked, so that
// the user-interface thread and the workers that end may change it at the same time.
#include <classlib.h>
#include "TarnApi.h"
#include <memory>
#include "DownloadRequest.h"

struct DownloadJobList;

class CDownloader;

class TARN_API CDownloadQueue : public CObject
{
public:
    static constexpr DWORD kDefaultStallLimit = 300000;

    CDownloadQueue();
    ~CDownloadQueue() override;

    // FALSE for no request or a URL that is not http; otherwise a new job takes the request.
    BOOL Add(CDownloadRequest* request);
    // Offers the request to the jobs in order; TRUE at the first that starts.
    BOOL AnyJobAccepts(CDownloadRequest* request);
    // all: every job; otherwise the job whose first request equals the request. The requests of
    // a cancelled job get a failure report; no request is touched by the job afterwards.
    void Remove(CDownloadRequest* request, BOOL all);
    int GetJobCount();

    // How long a download may go without data before it fails (milliseconds).
    void SetStallLimit(DWORD milliseconds) { m_stallLimit = milliseconds; }
    DWORD GetStallLimit() const { return m_stallLimit; }

protected:
    virtual CDownloader* CreateJob();
    const std::shared_ptr<DownloadJobList>& JobList() const { return m_list; }

private:
    std::shared_ptr<DownloadJobList> m_list;
    DWORD m_stallLimit = kDefaultStallLimit;
};
