#pragma once
// The list of a queue's jobs with its lock. Shared by the queue and its jobs, so that a worker
// ending after its queue was destroyed still finds a valid list. Lock order: the list, then a job.
#include <classlib.h>

class CDownloader;

struct DownloadJobList
{
    CCriticalSection lock;
    CObArray jobs;

    // Takes the job out; FALSE when it was not there. The caller holds the lock.
    BOOL Take(CDownloader* job)
    {
        for (INT_PTR i = 0; i < jobs.GetSize(); ++i) {
            if (jobs[i] == reinterpret_cast<CObject*>(job)) {
                jobs.RemoveAt(i);
                return TRUE;
            }
        }
        return FALSE;
    }
};
