#pragma once
// The main frame's downloads, kept and changed on the user-interface thread only: starting a
// download, answering its WM_USER+11 status posts, and deleting it after its last report.
#include <map>
#include "DownloadNotificator.h"

class CDownloadQueue;

// The status list that shows the downloads (the main frame's download page implements it).
class TARN_API IDownloadStatusSink
{
public:
    virtual ~IDownloadStatusSink() = default;
    // remove 0: the notificator's progress changed; 1: it goes away.
    virtual void UpdateDownloadStatus(CDownloadNotificator* notificator, int remove) = 0;
};

class TARN_API CDownloadList
{
public:
    CDownloadList(CDownloadQueue& queue, IDownloadStatusSink* sink) : m_queue(queue), m_sink(sink) {}
    // Stops what still runs and deletes every notificator (with its file when asked to).
    ~CDownloadList();
    CDownloadList(const CDownloadList&) = delete;
    CDownloadList& operator=(const CDownloadList&) = delete;

    // Takes the notificator and starts it; FALSE (and the notificator deleted) when the queue
    // does not accept it.
    BOOL Download(CDownloadNotificator* notificator);
    // Answers WM_USER+11.
    void OnStatusMessage(WPARAM wParam, LPARAM lParam);
    void SetDeleteDownloadedFiles(bool on) { m_deleteFiles = on; }
    int GetCount() const { return static_cast<int>(m_items.size()); }

private:
    void Delete(CDownloadNotificator* notificator);

    CDownloadQueue& m_queue;
    IDownloadStatusSink* m_sink;
    std::map<DWORD, CDownloadNotificator*> m_items;
    DWORD m_nextId = 1;
    bool m_deleteFiles = false;
};
