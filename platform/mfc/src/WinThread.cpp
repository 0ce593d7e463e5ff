#include "ClThread.h"
#include <process.h>

namespace {

// The object behind a worker thread: the function, its argument and the real thread handle.
class CWorkerThread : public CWinThread
{
public:
    CWorkerThread(AFX_THREADPROC proc, LPVOID param) : m_proc(proc), m_param(param)
    {
        m_bAutoDelete = TRUE;
        m_hThread = nullptr;
        m_nThreadID = 0;
    }
    ~CWorkerThread() override
    {
        if (m_hThread)
            CloseHandle(m_hThread);
    }

    static unsigned __stdcall Start(void* self)
    {
        auto* thread = static_cast<CWorkerThread*>(self);
        const UINT code = thread->m_proc(thread->m_param);
        if (thread->m_bAutoDelete)
            delete thread;
        return code;
    }

private:
    AFX_THREADPROC m_proc;
    LPVOID m_param;
};

} // namespace

CWinThread* AFXAPI AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority, UINT nStackSize,
                                  DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (!pfnThreadProc)
        return nullptr;
    auto* thread = new CWorkerThread(pfnThreadProc, pParam);
    unsigned id = 0;
    // Started suspended, so that the handle is stored before the function can end and delete the object.
    const uintptr_t handle = _beginthreadex(lpSecurityAttrs, nStackSize, &CWorkerThread::Start, thread,
                                            CREATE_SUSPENDED, &id);
    if (!handle) {
        delete thread;
        return nullptr;
    }
    thread->m_hThread = reinterpret_cast<HANDLE>(handle);
    thread->m_nThreadID = id;
    SetThreadPriority(thread->m_hThread, nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        ResumeThread(thread->m_hThread);
    return thread;
}
