#include "CardComposer.h"
#include "MemoryCardFrame.h"
#include "FrameLayout.h"
#include "SiteGeometry.h"
#include "ViewerApp.h"
#include "ViewerDoc.h"
#include "ViewerMessages.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

using cardcomposer::Bytes;


Bytes ThreePanelCard()
{
    cardcomposer::CardPlan card;
    const char* names[] = {"Front", "Inside", "Back"};
    for (int i = 0; i < 3; ++i) {
        cardcomposer::SitePlan site;
        site.id = i;
        site.name = names[i];
        site.rectRight = 6.0;
        site.rectBottom = 4.0;
        card.sites.push_back(site);
    }
    cardcomposer::PagePlan page;
    page.placements = {{0, 0.0, 0.0}};
    card.pages = {page};
    return cardcomposer::ComposeCardFile(card, false);
}

std::string Title(HWND window)
{
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

class Frame : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InitCommonControls();
        m_frame = std::make_unique<CMemoryCardFrame>(ThreePanelCard());
        ASSERT_TRUE(m_frame->Create(nullptr, m_app.GetTitle(), WS_OVERLAPPEDWINDOW, RECT{0, 0, 0, 0}, 0));
        ASSERT_FALSE(m_frame->HasNoCard());
        m_hwnd = m_frame->GetHwnd();
    }
    LRESULT Command(UINT id) { return SendMessageA(m_hwnd, WM_COMMAND, id, 0); }
    bool ZoomToPageEnabled()
    {
        return SendMessageA(m_frame->GetToolbar()->GetHwnd(), TB_ISBUTTONENABLED, ID_ZOOMTOPAGE, 0) != 0;
    }

    CCardViewerApp m_app;
    std::unique_ptr<CMemoryCardFrame> m_frame;
    HWND m_hwnd = nullptr;
};

TEST_F(Frame, StartsOnTheFirstPanelSizedToTheToolbarAndThePage)
{
    EXPECT_EQ(Title(m_hwnd), "Festoon Viewer - Front");
    EXPECT_EQ(m_frame->CurrentPageIndex(), 0);
    RECT window = {};
    GetWindowRect(m_hwnd, &window);
    EXPECT_EQ(window.left, 30);
    EXPECT_EQ(window.top, 30);
    const int width = m_frame->GetToolbar()->MaxSize().cx + 20;
    const double aspect = CardSiteAspect(*m_frame->GetDocument()->GetSiteByIndex(0).GetBackground());
    EXPECT_EQ(window.right - window.left, std::max(width, 300));
    EXPECT_EQ(window.bottom - window.top, std::max(static_cast<int>(width / aspect), 300));
    EXPECT_TRUE(m_frame->GetView()->IsFitted());
    EXPECT_TRUE(m_frame->GetView()->GetClipToMargins());
    EXPECT_EQ(m_frame->GetView()->GetMode(), CViewerPageWnd::kPanMode);
    EXPECT_FALSE(ZoomToPageEnabled());
}

TEST_F(Frame, PageCommandsWalkThePanels)
{
    const struct
    {
        UINT command;
        int shown;
    } steps[] = {{ID_PREVPAGE, 2}, {ID_NEXTPAGE, 0}, {ID_NEXTPAGE, 1}, {ID_PAGE_FIRST + 2, 2},
                 {ID_NEXTPAGE, 0}, {ID_PAGE_FIRST + 8, 0}, {ID_PAGE_LAST + 1, 0}, {ID_PAGE_FIRST + 1, 1}};
    const char* names[] = {"Front", "Inside", "Back"};
    for (const auto& step : steps) {
        Command(step.command);
        EXPECT_EQ(m_frame->CurrentPageIndex(), step.shown) << "after command " << step.command;
        EXPECT_EQ(Title(m_hwnd), std::string("Festoon Viewer - ") + names[step.shown]);
    }
}

TEST_F(Frame, GoToPageAnswersWhetherThePanelChanged)
{
    EXPECT_EQ(SendMessageA(m_hwnd, VWM_GOTOPAGE, 1, 0), 1);
    EXPECT_EQ(SendMessageA(m_hwnd, VWM_GOTOPAGE, 1, 0), 0) << "the panel shown is not shown again";
    EXPECT_EQ(SendMessageA(m_hwnd, VWM_GOTOPAGE, 3, 0), 0);
    EXPECT_EQ(m_frame->CurrentPageIndex(), 1);
    HWND toolbar = m_frame->GetToolbar()->GetHwnd();
    for (UINT i = 0; i < 3; ++i)
        EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONPRESSED, ID_PAGE_FIRST + i, 0)) << "button " << i;
}

TEST_F(Frame, SizingKeepsThePageProportionOnlyWhileFitted)
{
    const double aspect = CardSiteAspect(*m_frame->GetDocument()->GetSiteByIndex(0).GetBackground());
    RECT dragged = {30, 30, 630, 100};
    EXPECT_EQ(SendMessageA(m_hwnd, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&dragged)), 1);
    EXPECT_EQ(dragged.bottom, 30 + static_cast<LONG>(600 / aspect));

    SendMessageA(m_hwnd, WM_KEYDOWN, VK_ADD, 0);   // not a frame key: the view zooms in
    EXPECT_FALSE(m_frame->GetView()->IsFitted());
    EXPECT_TRUE(ZoomToPageEnabled());
    RECT free = {30, 30, 630, 100};
    SendMessageA(m_hwnd, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&free));
    EXPECT_EQ(free.bottom, 100);

    SendMessageA(m_hwnd, WM_KEYDOWN, VK_MULTIPLY, 0);
    EXPECT_TRUE(m_frame->GetView()->IsFitted());
    EXPECT_FALSE(ZoomToPageEnabled());
}

TEST_F(Frame, ToolCommandsSetModesAndButtons)
{
    HWND toolbar = m_frame->GetToolbar()->GetHwnd();
    Command(ID_ZOOM);
    EXPECT_EQ(m_frame->GetView()->GetMode(), CViewerPageWnd::kZoomMode);
    EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONPRESSED, ID_ZOOM, 0));
    EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONPRESSED, ID_PAN, 0));
    Command(ID_PAN);
    EXPECT_EQ(m_frame->GetView()->GetMode(), CViewerPageWnd::kPanMode);
    EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONPRESSED, ID_PAN, 0));
    Command(ID_CLIPMARGINS);
    EXPECT_FALSE(m_frame->GetView()->GetClipToMargins());
    EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONPRESSED, ID_CLIPMARGINS, 0));
    Command(ID_CLIPMARGINS);
    EXPECT_TRUE(m_frame->GetView()->GetClipToMargins());
}

struct BadCard
{
    const char* label;
    Bytes bytes;
};

class FrameWithoutCard : public ::testing::TestWithParam<BadCard> {};

TEST_P(FrameWithoutCard, StartUpStopsWithoutAView)
{
    CCardViewerApp app;
    CMemoryCardFrame frame(GetParam().bytes);
    ASSERT_TRUE(frame.Create(nullptr, app.GetTitle(), WS_OVERLAPPEDWINDOW, RECT{0, 0, 0, 0}, 0));
    EXPECT_TRUE(frame.HasNoCard()) << GetParam().label;
    EXPECT_EQ(frame.GetView(), nullptr) << GetParam().label;
    EXPECT_FALSE(IsWindowVisible(frame.GetHwnd()));
    // Commands and keys of a frame without a card do nothing.
    SendMessageA(frame.GetHwnd(), WM_COMMAND, ID_NEXTPAGE, 0);
    SendMessageA(frame.GetHwnd(), WM_KEYDOWN, VK_MULTIPLY, 0);
    EXPECT_EQ(frame.CurrentPageIndex(), -1);
}

Bytes CutCard()
{
    const Bytes whole = ThreePanelCard();
    return Bytes(whole.begin(), whole.begin() + std::min<size_t>(1500, whole.size() / 2));
}

Bytes NoSites()
{
    cardcomposer::CardPlan card;
    return cardcomposer::ComposeCardFile(card, true);
}

INSTANTIATE_TEST_SUITE_P(Cards, FrameWithoutCard,
                         ::testing::Values(BadCard{"empty", Bytes()}, BadCard{"not a compound file", Bytes(4096, 0x5A)},
                                           BadCard{"cut short", CutCard()},
                                           BadCard{"no panels", NoSites()}));

}  // namespace
