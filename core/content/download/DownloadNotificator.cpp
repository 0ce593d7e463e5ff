#include "DownloadNotificator.h"
#include <cstring>

namespace {
// One lock for every notificator's progress state, held for each progress call's bookkeeping.
CCriticalSection& NotificatorLock()
{
    static CCriticalSection lock;
    return lock;
}
}

CDownloadNotificator::CDownloadNotificator(const char* url, const char* filePath, HWND window, uint32_t documentId,
                                           long insertFlags, double x, double y, long siteId)
    : CDownloadRequest(url, filePath), m_window(window), m_documentId(documentId), m_insertFlags(insertFlags), m_x(x),
      m_y(y), m_siteId(siteId)
{
}

BOOL CDownloadNotificator::CheckContent(const CString&, const CString&)
{
    return FALSE;
}

BOOL CDownloadNotificator::Progress(int received, int total, BOOL failed, BOOL finished)
{
    HWND window;
    DWORD id;
    {
        CSingleLock lock(&NotificatorLock(), TRUE);
        m_total = total;
        m_progress = total < 1 ? received : static_cast<int>(static_cast<double>(received) / total * 100.0);
        m_failed = m_failed || failed;
        window = m_window;
        id = m_id;
    }
    // Only a complete download is inserted; a stopped, failed or timed-out one is not.
    if (finished && !failed && window)
        HandOver(window);
    // The last thing this call does: after the final report the user-interface thread may delete
    // the notificator at any time.
    if (window)
        PostMessageA(window, WM_DOWNLOAD_STATUS, (failed || finished) ? 1 : 0, static_cast<LPARAM>(id));
    return FALSE;
}

void CDownloadNotificator::HandOver(HWND window)
{
    if (m_filePath.GetLength() >= 260)
        return;
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!event)
        return;
    HANDLE recordEvent = nullptr;
    HGLOBAL record = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(InsertImageRecord));
    if (record && DuplicateHandle(GetCurrentProcess(), event, GetCurrentProcess(), &recordEvent, 0, FALSE,
                                  DUPLICATE_SAME_ACCESS)) {
        auto* data = static_cast<InsertImageRecord*>(GlobalLock(record));
        data->event = static_cast<uint32_t>(HandleToLong(recordEvent));
        data->documentId = m_documentId;
        data->siteId = static_cast<int32_t>(m_siteId);
        data->x = m_x;
        data->y = m_y;
        data->insertFlags = static_cast<int32_t>(m_insertFlags);
        std::memcpy(data->path, static_cast<LPCSTR>(m_filePath), m_filePath.GetLength() + 1);
        GlobalUnlock(record);
        // The record and its event belong to the handler from here on.
        if (PostMessageA(window, WM_DOWNLOAD_INSERT_IMAGE, 0, reinterpret_cast<LPARAM>(record)))
            WaitForSingleObject(event, kHandOverWait);
        else {
            CloseHandle(recordEvent);
            GlobalFree(record);
        }
    } else if (record) {
        GlobalFree(record);
    }
    CloseHandle(event);
}

int CDownloadNotificator::GetProgress() const
{
    CSingleLock lock(&NotificatorLock(), TRUE);
    return m_progress;
}

int CDownloadNotificator::GetTotal() const
{
    CSingleLock lock(&NotificatorLock(), TRUE);
    return m_total;
}

BOOL CDownloadNotificator::HasFailed() const
{
    CSingleLock lock(&NotificatorLock(), TRUE);
    return m_failed;
}
