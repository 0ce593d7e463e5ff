#include "DownloadList.h"
#include "DownloadQueue.h"

CDownloadList::~CDownloadList()
{
    for (auto& item : m_items) {
        // Detaches a running job first, so that no worker calls the notificator again.
        m_queue.Remove(item.second, FALSE);
        if (m_deleteFiles)
            DeleteFileA(item.second->m_filePath);
        delete item.second;
    }
}

BOOL CDownloadList::Download(CDownloadNotificator* notificator)
{
    if (!notificator)
        return FALSE;
    notificator->m_id = m_nextId++;
    m_items[notificator->m_id] = notificator;
    if (m_queue.Add(notificator) && m_queue.AnyJobAccepts(notificator))
        return TRUE;
    m_queue.Remove(notificator, FALSE);
    m_items.erase(notificator->m_id);
    delete notificator;
    return FALSE;
}

void CDownloadList::OnStatusMessage(WPARAM wParam, LPARAM lParam)
{
    const auto found = m_items.find(static_cast<DWORD>(lParam));
    if (found == m_items.end())
        return;
    CDownloadNotificator* notificator = found->second;
    if (m_sink)
        m_sink->UpdateDownloadStatus(notificator, 0);
    if (wParam) {
        m_items.erase(found);
        Delete(notificator);
    }
}

void CDownloadList::Delete(CDownloadNotificator* notificator)
{
    if (m_sink)
        m_sink->UpdateDownloadStatus(notificator, 1);
    if (m_deleteFiles)
        DeleteFileA(notificator->m_filePath);
    delete notificator;
}
