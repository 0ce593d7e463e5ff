#include "ViewHints.h"

namespace {
// Update-record types in their stored order.
constexpr ViewHintAction kRecordActions[] = {
    ViewHintAction::InvalidateAll,
    ViewHintAction::ValidateDocRect,
    ViewHintAction::InvalidateDocRect,
    ViewHintAction::ValidateViewRect,
    ViewHintAction::InvalidateViewRect,
    ViewHintAction::UpdateSiteOffset,
    ViewHintAction::UpdateAll,
    ViewHintAction::UpdateAllForced,
    ViewHintAction::HideParent,
    ViewHintAction::UpdateVisibleAreaRestriction,
    ViewHintAction::NormalSelectionMode,
};
constexpr int kHideParentType = 8;
}  // namespace

ViewHintAction DecideViewHintAction(LPARAM hint, int viewSiteId, bool hasRecord, int recordType, bool registered)
{
    if (hint != 0 && hint != viewSiteId) return ViewHintAction::Ignore;
    if (!hasRecord) return ViewHintAction::InvalidateAll;
    if (recordType < 0 || recordType >= static_cast<int>(sizeof(kRecordActions) / sizeof(kRecordActions[0])))
        return ViewHintAction::Ignore;
    // Before the view is connected only a request to hide its frame is followed.
    if (!registered && recordType != kHideParentType) return ViewHintAction::Ignore;
    return kRecordActions[recordType];
}
