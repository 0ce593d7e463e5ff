#pragma once
// A download started by the main frame: where the picture goes (document, point, site) and the
// hand-over to the user-interface thread. Progress calls come on the worker thread and only post:
// WM_USER+11 carries the notificator's id (never its address), with wParam 1 for the last report;
// WM_USER+10 carries a finished file. Notificators are created, found and deleted on the
// user-interface thread only, by CDownloadList.
#include <cstdint>
#include "DownloadRequest.h"
#include "InsertImageRecord.h"

class TARN_API CDownloadNotificator : public CDownloadRequest
{
public:
    static constexpr DWORD kHandOverWait = 5000;

    CDownloadNotificator() = default;
    CDownloadNotificator(const char* url, const char* filePath, HWND window, uint32_t documentId, long insertFlags,
                         double x, double y, long siteId);

    BOOL CheckContent(const CString& mediaType, const CString& parameter) override;
    BOOL Progress(int received, int total, BOOL failed, BOOL finished) override;

    // The percentage done, or the bytes so far while the total is unknown (0 or less).
    int GetProgress() const;
    int GetTotal() const;
    BOOL HasFailed() const;
    DWORD GetId() const { return m_id; }

private:
    friend class CDownloadList;
    // Posts the finished file and waits, at most kHandOverWait, until it has been handled.
    void HandOver(HWND window);

    HWND m_window = nullptr;       // null: nobody to notify
    uint32_t m_documentId = 0;
    long m_insertFlags = 0;
    double m_x = 0;
    double m_y = 0;
    long m_siteId = 0;
    int m_progress = 0;
    int m_total = 0;
    bool m_failed = false;
    DWORD m_id = 0;
};
