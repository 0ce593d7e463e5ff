// Menus from the resource chain, and command-state updates of menu items and controls.
#include "TestResources.h"

#include <classlib.h>

#include <gtest/gtest.h>

namespace {

class CMenuTarget : public CCmdTarget
{
public:
    BOOL canOpen = FALSE;
    void OnNew() {}
    void OnOpen() {}
    void OnUpdateOpen(CCmdUI* ui)
    {
        ui->Enable(canOpen);
        ui->SetCheck(canOpen ? 1 : 0);
        ui->SetText(canOpen ? "&Open now" : "&Open");
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMenuTarget, CCmdTarget)
    ON_COMMAND(ID_TEST_NEW, OnNew)
    ON_COMMAND(ID_TEST_OPEN, OnOpen)
    ON_UPDATE_COMMAND_UI(ID_TEST_OPEN, OnUpdateOpen)
END_MESSAGE_MAP()

void UpdateItems(CMenu* popup, CCmdTarget* target)
{
    CCmdUI ui;
    ui.m_pMenu = popup;
    ui.m_nIndexMax = popup->GetMenuItemCount();
    for (ui.m_nIndex = 0; ui.m_nIndex < ui.m_nIndexMax; ++ui.m_nIndex) {
        ui.m_nID = popup->GetMenuItemID(static_cast<int>(ui.m_nIndex));
        ui.DoUpdate(target, TRUE);
    }
}

TEST(MenuTest, LoadsThroughTheResourceChainAndUpdatesItems)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_MENU));
    CMenu* popup = menu.GetSubMenu(0);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(menu.GetSubMenu(0), popup);   // one temporary per handle
    ASSERT_EQ(popup->GetMenuItemCount(), 2u);
    CString text;
    popup->GetMenuString(ID_TEST_OPEN, text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&Open");

    CMenuTarget target;
    UpdateItems(popup, &target);
    EXPECT_TRUE(popup->GetMenuState(ID_TEST_OPEN, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(popup->GetMenuState(ID_TEST_NEW, MF_BYCOMMAND) & MF_GRAYED);   // has a handler

    target.canOpen = TRUE;
    UpdateItems(popup, &target);
    const UINT state = popup->GetMenuState(ID_TEST_OPEN, MF_BYCOMMAND);
    EXPECT_FALSE(state & MF_GRAYED);
    EXPECT_TRUE(state & MF_CHECKED);
    popup->GetMenuString(ID_TEST_OPEN, text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&Open now");

    CMenu missing;
    EXPECT_FALSE(missing.LoadMenu(9999));
    CMenu::DeleteTempMap();
}

TEST(MenuTest, OwnedMenusAreDestroyedWithTheirObject)
{
    HMENU handle;
    {
        CMenu popup;
        ASSERT_TRUE(popup.CreatePopupMenu());
        popup.AppendMenu(MF_STRING, 5, "five");
        handle = popup.m_hMenu;
        EXPECT_EQ(CMenu::FromHandle(handle), &popup);
    }
    EXPECT_FALSE(::IsMenu(handle));
    static CMenu* volatile none = nullptr;
    EXPECT_EQ(none->GetSafeHmenu(), nullptr);
}

TEST(MenuTest, ControlsFollowTheirCommandState)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr));
    HWND box = ::CreateWindowExA(0, "BUTTON", "&Open", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 80, 20, parent.m_hWnd,
                                 reinterpret_cast<HMENU>(ID_TEST_OPEN), nullptr, nullptr);
    ASSERT_NE(box, nullptr);
    CMenuTarget target;
    CCmdUI ui;
    ui.m_nID = ID_TEST_OPEN;
    ui.m_pOther = CWnd::FromHandle(box);
    ui.DoUpdate(&target, TRUE);
    EXPECT_FALSE(::IsWindowEnabled(box));
    target.canOpen = TRUE;
    ui.DoUpdate(&target, TRUE);
    EXPECT_TRUE(::IsWindowEnabled(box));
    EXPECT_EQ(::SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    char text[32];
    ::GetWindowTextA(box, text, sizeof text);
    EXPECT_STREQ(text, "&Open now");
    CWnd::DeleteTempMap();
    parent.DestroyWindow();
}

}  // namespace
