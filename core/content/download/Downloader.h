#pragma once
// One download job: a worker thread that performs one HTTP GET into a file and reports to the
// requests that the job carries. The job deletes itself when its worker ends; a job taken out of
// its queue while the worker runs is handed to the worker, which deletes it, so a job is never
// deleted under a running worker.
#include <classlib.h>
#include <ClThread.h>
#include "TarnApi.h"
#include <memory>
#include "DownloadRequest.h"

struct DownloadJobList;

class CDownloadTransfer;

class TARN_API CDownloader : public CObject
{
    DECLARE_DYNAMIC(CDownloader)
public:
    static constexpr UINT kReadSize = 512;

    CDownloader(std::shared_ptr<DownloadJobList> list, DWORD stallLimit);
    ~CDownloader() override;

    // Starts the worker when the job is idle and the request is its first one.
    virtual BOOL Start(CDownloadRequest* request);
    // Empties the request list (the requests are not deleted).
    virtual void RemoveAllRequests();

    // Appends when the job is empty or the request equals its first one.
    BOOL AddRequest(CDownloadRequest* request);
    // Whether the job was made for this request (its first request equals it). Called under the
    // queue list's lock.
    BOOL HasFirstRequest(const CDownloadRequest* request);
    // Taken out of its queue: the requests get their failure report and are dropped, the worker
    // is asked to stop and will delete the job. Answers TRUE when the caller must delete the job
    // (no worker runs).
    BOOL Detach(BOOL reportFailure);

private:
    static UINT __cdecl WorkerMain(LPVOID param);
    UINT Run();
    // One progress round under the lock; TRUE when a request asked to stop.
    BOOL ReportProgress(int received, int total, BOOL failed, BOOL finished);
    bool Transfer(CDownloadTransfer& transfer, const CString& path, int& received, bool& stopped);
    bool StopRequested();
    // The worker's last step; TRUE when the worker must delete the job.
    BOOL FinishWorker();

    CCriticalSection m_lock;
    CDownloadRequest m_identity;   // URL and file path of the first request, fixed when added
    BYTE m_busy = FALSE;
    CObArray m_requests;
    std::shared_ptr<DownloadJobList> m_list;
    CWinThread* m_thread = nullptr;
    DWORD m_stallLimit;
    bool m_stop = false;
    bool m_running = false;
    bool m_orphaned = false;
};
