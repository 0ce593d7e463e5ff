// Child frame captions and the order Ctrl+Tab walks the documents in.
#include <gtest/gtest.h>

#include <vector>

#include "ChildFrameTitle.h"
#include "MdiActivationOrder.h"

namespace {

TEST(ChildFrameTitle, DescriptionAndWindowNumber)
{
    struct Case {
        const char* title;
        const char* extra;
        int number, count;
        const char* expected;
    } cases[] = {
        {"Card1", "", 1, 1, "Card1"},
        {"Card1", "", 2, 2, "Card1:2"},
        {"Card1", "", 1, 2, "Card1:1"},
        {"Birthday.crd", "Front", 1, 1, "Birthday.crd - Front"},
        {"Birthday.crd", "Front", 3, 3, "Birthday.crd - Front:3"},
        // A description is text, not a format.
        {"A", "100%s", 1, 1, "A - 100%s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_STREQ(c.expected, MakeChildFrameTitle(c.title, c.extra, c.number, c.count));
    }
}

HWND W(int n) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(n)); }

TEST(MdiActivationOrder, CtrlTabWalksTheMostRecentlyUsedOrder)
{
    CMdiActivationOrder order;
    order.Created(W(1));
    order.Created(W(2));
    order.Created(W(3));   // opened last, active
    EXPECT_EQ((std::vector<HWND>{W(3), W(2), W(1)}), order.Order());

    // The user works in 1, then in 3: idle passes bring each to the front.
    EXPECT_TRUE(order.Idle(W(1), false));
    EXPECT_TRUE(order.Idle(W(3), false));
    EXPECT_FALSE(order.Idle(W(3), false));
    EXPECT_EQ((std::vector<HWND>{W(3), W(1), W(2)}), order.Order());

    // Ctrl held: three Ctrl+Tab steps visit 1, 2 and back to 3 while the order stays put.
    HWND active = W(3);
    std::vector<HWND> visited;
    for (int step = 0; step < 3; ++step) {
        active = order.Target(active, false);
        visited.push_back(active);
        EXPECT_FALSE(order.Idle(active, true));
    }
    EXPECT_EQ((std::vector<HWND>{W(1), W(2), W(3)}), visited);

    // Ctrl released on 2: it becomes the most recent.
    EXPECT_TRUE(order.Idle(W(2), false));
    EXPECT_EQ((std::vector<HWND>{W(2), W(3), W(1)}), order.Order());
    // Previous goes the other way round.
    EXPECT_EQ(W(1), order.Target(W(2), true));
    EXPECT_EQ(W(2), order.Target(W(3), true));
}

TEST(MdiActivationOrder, ClosedAndUnknownChildren)
{
    CMdiActivationOrder order;
    EXPECT_EQ(nullptr, order.Target(W(1), false));
    EXPECT_FALSE(order.Idle(nullptr, false));
    order.Created(W(1));
    order.Created(W(2));
    order.Destroyed(W(2));
    EXPECT_EQ((std::vector<HWND>{W(1)}), order.Order());
    EXPECT_EQ(W(1), order.Target(W(1), false));
    EXPECT_EQ(W(1), order.Target(W(9), false));   // not in the list: the first
    // A child made without the client's knowledge joins the list when it is first seen active.
    EXPECT_FALSE(order.Idle(W(9), true));
    EXPECT_TRUE(order.Idle(W(9), false));
    EXPECT_EQ((std::vector<HWND>{W(9), W(1)}), order.Order());
}

}  // namespace
