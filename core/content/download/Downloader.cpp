#include "Downloader.h"
#include "DownloadJobList.h"
#include "DownloadTransfer.h"

IMPLEMENT_DYNAMIC(CDownloader, CObject)

CDownloader::CDownloader(std::shared_ptr<DownloadJobList> list, DWORD stallLimit)
    : m_list(std::move(list)), m_stallLimit(stallLimit)
{
}

CDownloader::~CDownloader()
{
    // Never reached while a worker runs: the worker itself deletes a job that it ran.
    delete m_thread;
}

BOOL CDownloader::AddRequest(CDownloadRequest* request)
{
    CSingleLock lock(&m_lock, TRUE);
    if (!request)
        return FALSE;
    if (m_requests.GetSize() == 0 || static_cast<CDownloadRequest*>(m_requests[0])->IsSameAs(*request)) {
        if (m_requests.GetSize() == 0 && m_identity.m_url.IsEmpty() && m_identity.m_filePath.IsEmpty()) {
            m_identity.m_url = request->m_url;
            m_identity.m_filePath = request->m_filePath;
        }
        m_requests.Add(request);
        return TRUE;
    }
    return FALSE;
}

BOOL CDownloader::HasFirstRequest(const CDownloadRequest* request)
{
    // The identity is fixed before the job joins its queue's list, and the job leaves the list
    // when its requests go: read under the list's lock, it needs no lock of the job, which a
    // worker may hold for seconds while it hands a file over.
    return request && m_identity.IsSameAs(*request);
}

void CDownloader::RemoveAllRequests()
{
    CSingleLock lock(&m_lock, TRUE);
    m_requests.RemoveAll();
}

BOOL CDownloader::Start(CDownloadRequest* request)
{
    // A job whose lock is taken has a worker already (only a worker holds it for long): it is
    // busy, and the caller need not wait for it.
    if (!TryEnterCriticalSection(&m_lock.m_sect))
        return FALSE;
    struct Leave
    {
        CRITICAL_SECTION* section;
        ~Leave() { LeaveCriticalSection(section); }
    } leave{&m_lock.m_sect};
    if (m_busy || !request || m_requests.GetSize() == 0 ||
        !static_cast<CDownloadRequest*>(m_requests[0])->IsSameAs(*request))
        return FALSE;
    m_thread = AfxBeginThread(&CDownloader::WorkerMain, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!m_thread)
        return FALSE;
    m_thread->m_bAutoDelete = FALSE;
    m_busy = TRUE;
    m_running = true;
    ResumeThread(m_thread->m_hThread);
    return TRUE;
}

BOOL CDownloader::Detach(BOOL reportFailure)
{
    CSingleLock lock(&m_lock, TRUE);
    m_stop = true;
    if (reportFailure) {
        for (INT_PTR i = 0; i < m_requests.GetSize(); ++i)
            static_cast<CDownloadRequest*>(m_requests[i])->Progress(0, 0, TRUE, FALSE);
    }
    m_requests.RemoveAll();
    if (m_running) {
        m_orphaned = true;
        return FALSE;
    }
    return TRUE;
}

BOOL CDownloader::ReportProgress(int received, int total, BOOL failed, BOOL finished)
{
    CSingleLock lock(&m_lock, TRUE);
    BOOL stop = FALSE;
    for (INT_PTR i = 0; i < m_requests.GetSize(); ++i) {
        if (static_cast<CDownloadRequest*>(m_requests[i])->Progress(received, total, failed, finished))
            stop = TRUE;
    }
    return stop;
}

bool CDownloader::StopRequested()
{
    CSingleLock lock(&m_lock, TRUE);
    return m_stop;
}

UINT __cdecl CDownloader::WorkerMain(LPVOID param)
{
    auto* object = static_cast<CObject*>(param);
    if (!object || !object->IsKindOf(RUNTIME_CLASS(CDownloader)))
        return static_cast<UINT>(-1);
    auto* job = static_cast<CDownloader*>(object);
    const UINT code = job->Run();
    if (job->FinishWorker())
        delete job;
    return code;
}

UINT CDownloader::Run()
{
    CString url, path;
    {
        CSingleLock lock(&m_lock, TRUE);
        if (m_requests.GetSize() == 0)
            return 0;
        auto* first = static_cast<CDownloadRequest*>(m_requests[0]);
        url = first->m_url;
        path = first->m_filePath;
        for (INT_PTR i = 0; i < m_requests.GetSize(); ++i)
            static_cast<CDownloadRequest*>(m_requests[i])->Progress(0, 0, FALSE, FALSE);
    }
    CDownloadTransfer transfer;
    const bool opened = transfer.Open(url, m_stallLimit);
    bool stopped = StopRequested();
    if (opened && !stopped) {
        CSingleLock lock(&m_lock, TRUE);
        for (INT_PTR i = 0; i < m_requests.GetSize(); ++i) {
            if (static_cast<CDownloadRequest*>(m_requests[i])->CheckContent(transfer.m_mediaType, transfer.m_parameter))
                stopped = true;
        }
    }
    if (!opened || stopped) {
        ReportProgress(0, 0, TRUE, FALSE);
        return 0;
    }
    int received = 0;
    bool failed = false;
    if (!Transfer(transfer, path, received, failed)) {
        // The file could not be made: nothing was written.
        ReportProgress(0, 0, TRUE, FALSE);
        return 0;
    }
    ReportProgress(received, transfer.m_contentLength, failed, TRUE);
    return 0;
}

bool CDownloader::Transfer(CDownloadTransfer& transfer, const CString& path, int& received, bool& failed)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        transfer.Close();
        return false;
    }
    const int length = transfer.m_contentLength;
    DWORD lastData = GetTickCount();
    char buffer[kReadSize];
    for (;;) {
        if (length > 0 && received >= length)
            break;
        if (ReportProgress(received, length, FALSE, FALSE) || StopRequested() || GetTickCount() - lastData > m_stallLimit) {
            failed = true;
            break;
        }
        UINT got = 0;
        try {
            // A read waits at most the stall limit (the transfer's receive time-out).
            got = transfer.Read(buffer, kReadSize);
        } catch (CInternetException* e) {
            e->Delete();
            failed = true;
            break;
        }
        if (got == 0) {
            // The body ended: complete without a length, short of it otherwise.
            failed = length > 0;
            break;
        }
        lastData = GetTickCount();
        DWORD written = 0;
        if (!WriteFile(file, buffer, got, &written, nullptr) || written != got) {
            failed = true;
            break;
        }
        received += static_cast<int>(got);
    }
    CloseHandle(file);
    transfer.Close();
    return true;
}

BOOL CDownloader::FinishWorker()
{
    // Lock order: the list, then the job. A job that is no longer in the list was detached (under
    // the same lock) while this worker ran, and is deleted here as well.
    std::shared_ptr<DownloadJobList> list = m_list;
    CSingleLock listLock(&list->lock, TRUE);
    list->Take(this);
    CSingleLock lock(&m_lock, TRUE);
    m_busy = FALSE;
    m_running = false;
    m_requests.RemoveAll();
    return TRUE;
}
