// Scroll sizes, the site's place in the scrollable area, scroll clamping and scrolling keys.
#include <gtest/gtest.h>

#include "ViewScrolling.h"

namespace {

TEST(ViewScrolling, TotalAndPageSizes)
{
    EXPECT_EQ(CSize(480, 672), ViewScrollTotal(CRectF(-0.5, -0.5, 4.5, 6.5), 96.0));
    EXPECT_EQ(CSize(960, 1344), ViewScrollTotal(CRectF(-0.5, -0.5, 4.5, 6.5), 192.0));
    EXPECT_EQ(CSize(600, 450), ViewScrollPage(CSize(800, 600)));
    EXPECT_EQ(CSize(75, 0), ViewScrollPage(CSize(101, 1)));
}

struct OffsetCase {
    const char* name;
    CSize client;
    bool restrict;
    CPoint expected;
};

TEST(ViewScrolling, SmallSitesAreCentredOnlyWithoutRestriction)
{
    // Area from -0.5 inch: 480 x 672 pixels at 96 pixels an inch, origin 48 pixels in.
    const CRectF area(-0.5, -0.5, 4.5, 6.5);
    const OffsetCase cases[] = {
        {"larger than the client", CSize(400, 500), false, CPoint(48, 48)},
        {"narrower", CSize(1000, 500), false, CPoint(48 + 260, 48)},
        {"narrower by an odd amount", CSize(1001, 500), false, CPoint(48 + 260, 48)},
        {"narrower and lower", CSize(1000, 1000), false, CPoint(48 + 260, 48 + 164)},
        {"restricted", CSize(1000, 1000), true, CPoint(48, 48)},
    };
    for (const OffsetCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, ViewSiteOffset(area, 96.0, c.client, c.restrict));
    }
}

TEST(ViewScrolling, ScrollPositionsStayInsideTheTotal)
{
    struct Case {
        CPoint wanted;
        CSize total;
        CPoint expected;
    } cases[] = {
        {CPoint(100, 50), CSize(1000, 800), CPoint(100, 50)},
        {CPoint(700, 500), CSize(1000, 800), CPoint(500, 400)},
        {CPoint(-10, 5), CSize(1000, 800), CPoint(0, 5)},
        {CPoint(-10, -400), CSize(1000, 800), CPoint(0, 0)},
        // A total smaller than the client area has nowhere to scroll.
        {CPoint(30, 30), CSize(100, 100), CPoint(0, 0)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, ClampViewScroll(c.wanted, c.total, CSize(500, 400)));
    }
}

TEST(ViewScrolling, ScrollingKeys)
{
    const CPoint at(300, 200);
    const CSize client(400, 300);
    const ViewSiteEdges edges{40, 30, 1040, 930};
    struct Case {
        UINT vk;
        bool shift;
        CPoint expected;
    } cases[] = {
        {VK_PRIOR, false, CPoint(300, 200 - 225)},
        {VK_PRIOR, true, CPoint(300, 30 - 15)},
        {VK_NEXT, false, CPoint(300, 200 + 225)},
        {VK_NEXT, true, CPoint(300, 930 - 285)},
        {VK_END, false, CPoint(300 + 300, 200)},
        {VK_END, true, CPoint(1040 - 380, 200)},
        {VK_HOME, false, CPoint(300 - 300, 200)},
        {VK_HOME, true, CPoint(40 - 20, 200)},
        {VK_LEFT, false, CPoint(299, 200)},
        {VK_LEFT, true, CPoint(295, 200)},
        {VK_UP, false, CPoint(300, 199)},
        {VK_RIGHT, true, CPoint(305, 200)},
        {VK_DOWN, true, CPoint(300, 205)},
        {'A', false, CPoint(300, 200)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.vk);
        EXPECT_EQ(c.expected, ViewKeyScrollTarget(c.vk, c.shift, at, client, edges));
    }
}

}  // namespace
