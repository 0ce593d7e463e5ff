#pragma once
// What an editing view does with a document's update: the hint (a site id, 0 for every site) and
// an optional update record say whether and how the view redraws or re-lays itself out.
#include <windows.h>

#include "TarnApi.h"

enum class ViewHintAction {
    Ignore,
    InvalidateAll,            // window and canvas
    ValidateDocRect,          // the record's document rectangle
    InvalidateDocRect,
    ValidateViewRect,         // the record's view-pixel rectangle
    InvalidateViewRect,
    UpdateSiteOffset,
    UpdateAll,
    UpdateAllForced,
    HideParent,
    UpdateVisibleAreaRestriction,
    NormalSelectionMode,
};

// hint: the site the update is for (0: all sites); viewSiteId: the site the view shows;
// hasRecord/recordType: the update record, when one came; registered: the view is connected to
// its document. Unknown record types are ignored.
TARN_API ViewHintAction DecideViewHintAction(LPARAM hint, int viewSiteId, bool hasRecord, int recordType,
                                            bool registered);
