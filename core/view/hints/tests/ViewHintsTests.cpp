// What a view does with a document's update hints.
#include <gtest/gtest.h>

#include "ViewHints.h"

namespace {

using A = ViewHintAction;

TEST(ViewHints, RecordTypesMapToTheirActions)
{
    const A expected[] = {A::InvalidateAll,    A::ValidateDocRect,  A::InvalidateDocRect, A::ValidateViewRect,
                          A::InvalidateViewRect, A::UpdateSiteOffset, A::UpdateAll,         A::UpdateAllForced,
                          A::HideParent,         A::UpdateVisibleAreaRestriction, A::NormalSelectionMode};
    for (int type = 0; type < 11; ++type) {
        SCOPED_TRACE(type);
        EXPECT_EQ(expected[type], DecideViewHintAction(3, 3, true, type, true));
        // Hint 0 is for every site.
        EXPECT_EQ(expected[type], DecideViewHintAction(0, 3, true, type, true));
    }
}

TEST(ViewHints, WhoseHintsAreFollowed)
{
    struct Case {
        const char* name;
        LPARAM hint;
        int site;
        bool hasRecord;
        int type;
        bool registered;
        A expected;
    } cases[] = {
        {"another site", 4, 3, true, 2, true, A::Ignore},
        {"another site, no record", 4, 3, false, 0, true, A::Ignore},
        {"no record", 3, 3, false, 0, true, A::InvalidateAll},
        {"all sites, no record", 0, 3, false, 0, false, A::InvalidateAll},
        {"unbound view, all sites", 0, -1, true, 0, true, A::InvalidateAll},
        {"not registered", 3, 3, true, 2, false, A::Ignore},
        {"not registered, hide", 3, 3, true, 8, false, A::HideParent},
        {"unknown type", 3, 3, true, 11, true, A::Ignore},
        {"negative type", 3, 3, true, -1, true, A::Ignore},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, DecideViewHintAction(c.hint, c.site, c.hasRecord, c.type, c.registered));
    }
}

}  // namespace
