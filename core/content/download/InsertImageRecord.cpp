#include "InsertImageRecord.h"

void HandleInsertImageRecord(HGLOBAL record, IDownloadInsertTarget& target)
{
    if (!record)
        return;
    HANDLE event = nullptr;
    if (auto* data = static_cast<InsertImageRecord*>(GlobalLock(record))) {
        event = LongToHandle(static_cast<LONG>(data->event));
        data->path[sizeof data->path - 1] = '\0';
        target.InsertDownloadedImage(data->documentId, data->path, data->x, data->y, data->siteId,
                                     data->insertFlags);
        GlobalUnlock(record);
    }
    GlobalFree(record);
    if (event) {
        SetEvent(event);
        CloseHandle(event);
    }
}
