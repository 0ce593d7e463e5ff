#pragma once
// The record that travels with WM_USER+10 in movable global memory: a finished download handed to
// the user-interface thread for insertion. It holds no pointer: the document is named by the id
// that the main frame gave it, and the event handle is the record's own duplicate, which the
// handler sets and closes.
#include <cstddef>
#include <cstdint>
#include <windows.h>
#include "TarnApi.h"

constexpr UINT WM_DOWNLOAD_INSERT_IMAGE = WM_USER + 10;
constexpr UINT WM_DOWNLOAD_STATUS = WM_USER + 11;

struct InsertImageRecord
{
    uint32_t event;         // handle of the event to set once the record has been handled
    uint32_t documentId;
    int32_t siteId;
    uint32_t zero;
    double x;               // insertion point in document coordinates
    double y;
    int32_t insertFlags;    // passed through to the document's image insertion
    char path[260];         // the downloaded file, NUL-terminated
};
static_assert(sizeof(InsertImageRecord) == 296, "the record is 296 bytes");
static_assert(offsetof(InsertImageRecord, siteId) == 8 && offsetof(InsertImageRecord, x) == 16 &&
                  offsetof(InsertImageRecord, insertFlags) == 32 && offsetof(InsertImageRecord, path) == 36,
              "fields at their stored offsets");

// What the handler of WM_USER+10 needs of the main frame.
class TARN_API IDownloadInsertTarget
{
public:
    virtual ~IDownloadInsertTarget() = default;
    // Inserts the picture when the document is still open; FALSE when it is not.
    virtual BOOL InsertDownloadedImage(uint32_t documentId, const char* path, double x, double y, long siteId,
                                       long flags) = 0;
};

// Answers WM_USER+10: inserts through the target, then in every case frees the record and sets
// and closes its event.
TARN_API void HandleInsertImageRecord(HGLOBAL record, IDownloadInsertTarget& target);
