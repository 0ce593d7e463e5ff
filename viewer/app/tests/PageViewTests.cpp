#include "SiteGeometry.h"
#include "ViewerControlFactory.h"
#include "ViewerMessages.h"
#include "ViewerPageWnd.h"
#include "ViewerSite.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

int g_viewChanges = 0;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == VWM_VIEWCHANGED)
        ++g_viewChanges;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A card view of 400 x 300 client pixels over one site whose sheet is 6 x 4 inches.
class PageView : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WNDCLASSA parentClass = {};
        parentClass.lpfnWndProc = ParentProc;
        parentClass.hInstance = GetModuleHandleA(nullptr);
        parentClass.lpszClassName = "PageViewTestParent";
        RegisterClassA(&parentClass);
        m_parent = CreateWindowExA(0, "PageViewTestParent", "", WS_OVERLAPPEDWINDOW, 0, 0, 600, 500, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(m_parent, nullptr);
        m_site.CreateParts(m_factory);
        m_site.GetBackground()->rect = {0, 0, 6, 4};
        m_site.GetBackground()->margins = {0, 0, 0, 0};
        m_view.SetSite(&m_site);
        ASSERT_TRUE(m_view.Create(m_parent, "", WS_CHILD | WS_VISIBLE, RECT{0, 0, 400, 300}, 0));
        RECT client = {};
        GetClientRect(m_view.GetHwnd(), &client);
        ASSERT_EQ(client.right, 400);
        ASSERT_EQ(client.bottom, 300);
        g_viewChanges = 0;
    }
    void TearDown() override { DestroyWindow(m_parent); }

    void Key(WPARAM key) { SendMessageA(m_view.GetHwnd(), WM_KEYDOWN, key, 0); }

    CStoredControlFactory m_factory;
    CCardViewerSite m_site;
    CCardViewerPageWnd m_view;
    HWND m_parent = nullptr;
};

TEST_F(PageView, ZoomToPageCentresTheFittedSheet)
{
    m_view.ZoomToPage();
    EXPECT_TRUE(m_view.IsFitted());
    // min(400 / 6.6, 300 / 4.4) pixels per inch, narrowed for a card.
    EXPECT_NEAR(m_view.GetZoom(), 400 / 6.6 / 96 * 0.8695652173913044, 1e-12);
    const RECT page = m_view.PageRectInClient(true);
    EXPECT_NEAR((page.left + page.right) / 2.0, 200, 1.0);
    EXPECT_NEAR((page.top + page.bottom) / 2.0, 150, 1.0);
}

TEST_F(PageView, ZoomStopsAtItsLimits)
{
    m_view.ZoomToPage();
    for (int i = 0; i < 8; ++i)
        Key(VK_ADD);
    EXPECT_DOUBLE_EQ(m_view.GetZoom(), 8.32);
    EXPECT_FALSE(m_view.IsFitted());
    EXPECT_GT(g_viewChanges, 0) << "the frame was not told that the view left its fit";
    for (int i = 0; i < 12; ++i)
        Key(VK_SUBTRACT);
    EXPECT_DOUBLE_EQ(m_view.GetZoom(), 0.25);
}

TEST_F(PageView, PanningAlwaysLeavesFortyPixelsOfTheSheet)
{
    m_view.ZoomToPage();
    const struct
    {
        WPARAM key;
        const char* direction;
    } moves[] = {{VK_LEFT, "right"}, {VK_RIGHT, "left"}, {VK_UP, "down"}, {VK_DOWN, "up"}};
    for (const auto& move : moves) {
        m_view.ZoomToPage();
        for (int i = 0; i < 60; ++i)
            Key(move.key);
        const RECT page = m_view.PageRectInClient(true);
        const RECT client = {0, 0, 400, 300};
        RECT shown = {};
        IntersectRect(&shown, &page, &client);
        EXPECT_GE(shown.right - shown.left, 40) << "moved " << move.direction;
        EXPECT_GE(shown.bottom - shown.top, 40) << "moved " << move.direction;
        EXPECT_FALSE(m_view.IsFitted());
    }
}

TEST_F(PageView, EmptySheetCannotBeFitted)
{
    m_site.GetBackground()->rect = {0, 0, 0, 4};
    const double before = m_view.GetZoom();
    m_view.ZoomToPage();
    EXPECT_EQ(m_view.GetZoom(), before);
    EXPECT_EQ(CardSiteAspect(*m_site.GetBackground()), 0.0);
}

TEST_F(PageView, EmptyRubberBandZoomsInByTwoAndAHalf)
{
    m_view.ZoomToPage();
    const double fitted = m_view.GetZoom();
    m_view.ZoomToRect(RECT{200, 150, 200, 150});
    EXPECT_NEAR(m_view.GetZoom(), fitted * 2.5, 1e-12);
}

TEST(CardSiteRect, MarginsWidenTheSheetAroundThePrintableArea)
{
    CCardViewerBackground background;
    background.rect = {0.5, 0.25, 6.5, 9.25};
    background.margins = {1.0, 0.5, 0.75, 0.25};
    const CRectD whole = CardSiteRect(background, true);
    EXPECT_DOUBLE_EQ(whole.Width(), 6.0);
    EXPECT_DOUBLE_EQ(whole.Height(), 9.0);
    const CRectD printable = CardSiteRect(background, false);
    EXPECT_DOUBLE_EQ(printable.left, 0.0);
    EXPECT_DOUBLE_EQ(printable.Width(), 6.5 - 0.75 - 1.0 - 0.5);
    EXPECT_DOUBLE_EQ(printable.Height(), 9.25 - 0.25 - 0.5 - 0.25);
}

}  // namespace
