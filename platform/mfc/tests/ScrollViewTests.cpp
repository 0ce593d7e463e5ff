// The scrolling view: bars only for the axes that need them, positions kept inside the total,
// scroll-bar codes, and the drawing origin it gives paints (not printed pages).
#include "TestResources.h"

#include <classlib.h>

#include <gtest/gtest.h>

namespace {

TEST(ScrollViewArithmetic, BarsNeeded)
{
    const SIZE bar = {17, 17};
    struct Case {
        SIZE total;
        bool horz, vert;
    } cases[] = {
        {{300, 200}, false, false},
        {{500, 200}, true, false},
        {{300, 400}, false, true},
        {{500, 400}, true, true},
        // One bar eats into the other axis, which then needs its bar too.
        {{500, 290}, true, true},
        {{390, 400}, true, true},
        {{383, 400}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.total.cx << "x" << c.total.cy);
        BOOL horz = FALSE, vert = FALSE;
        CScrollView::NeededBars(c.total, SIZE{400, 300}, bar, horz, vert);
        EXPECT_EQ(c.horz, horz != FALSE);
        EXPECT_EQ(c.vert, vert != FALSE);
    }
}

TEST(ScrollViewArithmetic, PositionsAndScrollCodes)
{
    EXPECT_EQ(0, CScrollView::ClampPosition(-5, 1000, 400));
    EXPECT_EQ(600, CScrollView::ClampPosition(9999, 1000, 400));
    EXPECT_EQ(0, CScrollView::ClampPosition(50, 300, 400));   // nothing to scroll
    EXPECT_EQ(250, CScrollView::ClampPosition(250, 1000, 400));

    struct Case {
        UINT code;
        int expected;
    } cases[] = {
        {SB_LINEUP, -7}, {SB_LINEDOWN, 7}, {SB_PAGEUP, -90}, {SB_PAGEDOWN, 90},
        {SB_TOP, -120}, {SB_BOTTOM, 880}, {SB_THUMBTRACK, 500 - 120}, {SB_THUMBPOSITION, 500 - 120}, {SB_ENDSCROLL, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(c.expected, CScrollView::ScrollDelta(c.code, 500, 120, 90, 7, 1000));
    }
}

class CPlainScrollView : public CScrollView
{
    DECLARE_DYNCREATE(CPlainScrollView)
public:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(CPlainScrollView, CScrollView)

class ScrollViewWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame = new CFrameWnd;
        CCreateContext context;
        context.m_pNewViewClass = RUNTIME_CLASS(CPlainScrollView);
        ASSERT_TRUE(frame->LoadFrame(IDR_TEST_DOC, WS_OVERLAPPEDWINDOW, nullptr, &context));
        view = static_cast<CPlainScrollView*>(CWnd::FromHandlePermanent(::GetDlgItem(frame->m_hWnd, AFX_IDW_PANE_FIRST)));
        ASSERT_NE(view, nullptr);
        // A client area of exactly 400 x 300 before any bar shows.
        RECT want = {0, 0, 400, 300};
        ::AdjustWindowRectEx(&want, frame->GetStyle(), ::GetMenu(frame->m_hWnd) != nullptr, 0);
        frame->SetWindowPos(nullptr, 0, 0, want.right - want.left, want.bottom - want.top, SWP_NOZORDER | SWP_NOMOVE);
        frame->ShowWindow(SW_SHOW);
        frame->RecalcLayout();
    }
    void TearDown() override
    {
        if (frame && frame->m_hWnd) frame->DestroyWindow();
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    CSize Client() const
    {
        CRect r;
        view->GetClientRect(&r);
        return r.Size();
    }
    CWinApp app;
    CFrameWnd* frame = nullptr;
    CPlainScrollView* view = nullptr;
};

TEST_F(ScrollViewWindow, BarsComeAndGoWithTheTotal)
{
    RECT viewRect;
    ::GetClientRect(view->m_hWnd, &viewRect);
    ASSERT_EQ(400, viewRect.right);

    view->SetScrollSizes(MM_TEXT, CSize(2000, 1500));
    EXPECT_TRUE(view->GetStyle() & WS_HSCROLL);
    EXPECT_TRUE(view->GetStyle() & WS_VSCROLL);
    EXPECT_EQ(400 - ::GetSystemMetrics(SM_CXVSCROLL), Client().cx);

    view->SetScrollSizes(MM_TEXT, CSize(1000, 100));
    EXPECT_TRUE(view->GetStyle() & WS_HSCROLL);
    EXPECT_FALSE(view->GetStyle() & WS_VSCROLL);

    view->SetScrollSizes(MM_TEXT, CSize(100, 100));
    EXPECT_FALSE(view->GetStyle() & (WS_HSCROLL | WS_VSCROLL));

    view->SetScaleToFitSize(CSize(5000, 5000));
    EXPECT_FALSE(view->GetStyle() & (WS_HSCROLL | WS_VSCROLL));
}

TEST_F(ScrollViewWindow, ScrollingStaysInsideTheTotal)
{
    view->SetScrollSizes(MM_TEXT, CSize(2000, 1500), CSize(200, 150), CSize(10, 10));
    const CSize client = Client();
    view->ScrollToPosition(CPoint(100, 50));
    EXPECT_EQ(CPoint(100, 50), view->GetScrollPosition());
    view->ScrollToPosition(CPoint(-5, 99999));
    EXPECT_EQ(CPoint(0, 1500 - client.cy), view->GetScrollPosition());

    EXPECT_TRUE(view->OnScrollBy(CSize(40, -40)));
    EXPECT_EQ(CPoint(40, 1500 - client.cy - 40), view->GetScrollPosition());
    view->ScrollToPosition(CPoint(2000, 1500));
    EXPECT_FALSE(view->OnScrollBy(CSize(10, 10)));   // already at the end

    view->SendMessage(WM_HSCROLL, SB_PAGEUP);
    EXPECT_EQ(2000 - client.cx - 200, view->GetScrollPosition().x);
    view->SendMessage(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(1500 - client.cy - 10, view->GetScrollPosition().y);
    view->SendMessage(WM_HSCROLL, SB_TOP);
    EXPECT_EQ(0, view->GetScrollPosition().x);

    // A larger window keeps the position inside the new range.
    frame->SetWindowPos(nullptr, 0, 0, 1000, 900, SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_LE(view->GetScrollPosition().y, 1500 - Client().cy);
}

TEST_F(ScrollViewWindow, PaintsAreMovedByTheScrollPrintedPagesAreNot)
{
    view->SetScrollSizes(MM_TEXT, CSize(2000, 1500));
    view->ScrollToPosition(CPoint(120, 80));
    CClientDC dc(view);
    view->OnPrepareDC(&dc, nullptr);
    POINT origin;
    ::GetViewportOrgEx(dc.m_hDC, &origin);
    EXPECT_EQ(-120, origin.x);
    EXPECT_EQ(-80, origin.y);

    dc.m_bPrinting = TRUE;
    view->OnPrepareDC(&dc, nullptr);
    ::GetViewportOrgEx(dc.m_hDC, &origin);
    EXPECT_EQ(0, origin.x);
    EXPECT_EQ(0, origin.y);
    dc.m_bPrinting = FALSE;

    // A total smaller than the client area is centred.
    view->SetScrollSizes(MM_TEXT, CSize(100, 60));
    view->OnPrepareDC(&dc, nullptr);
    ::GetViewportOrgEx(dc.m_hDC, &origin);
    EXPECT_EQ((400 - 100) / 2, origin.x);
    EXPECT_EQ((300 - 60) / 2, origin.y);

    view->SetScaleToFitSize(CSize(800, 600));
    view->OnPrepareDC(&dc, nullptr);
    EXPECT_EQ(MM_ANISOTROPIC, ::GetMapMode(dc.m_hDC));
}

}  // namespace
