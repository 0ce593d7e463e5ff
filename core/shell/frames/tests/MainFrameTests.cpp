// The main frame: the shell's menu and accelerators with the drawing server's appended, the status
// panes kept disabled on idle, the ordered MDI client, server prompts, and no window without the
// server's resource browser.
#include <gtest/gtest.h>
#include <objbase.h>

#include <vector>

#include "ClBars.h"
#include "AppendedResources.h"
#include "MdiOrderClient.h"
#include "TarnControls.h"
#include "TarnMainFrame.h"
#include "tests/ServerClassRegistration.h"

namespace {
class CFrameWithoutBrowser : public CTarnMainFrame {
public:
    CFrameWithoutBrowser()
    {
        if (m_pResourceBrowser) m_pResourceBrowser->Release();
        m_pResourceBrowser = nullptr;
    }
};

std::vector<CString> TopLevelTexts(HMENU menu)
{
    std::vector<CString> texts;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        char text[128] = {};
        ::GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        texts.emplace_back(text);
    }
    return texts;
}

std::vector<ACCEL> Accelerators(HACCEL table)
{
    std::vector<ACCEL> entries(::CopyAcceleratorTableA(table, nullptr, 0));
    if (!entries.empty()) ::CopyAcceleratorTableA(table, entries.data(), static_cast<int>(entries.size()));
    return entries;
}

class MainFrame : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ::CoInitialize(nullptr); }
    static void TearDownTestSuite() { ::CoUninitialize(); }
    void TearDown() override
    {
        if (frame && ::IsWindow(frame->m_hWnd)) frame->DestroyWindow();
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    CServerClassRegistration browserClass{CLSID_ResourceBrowser};
    CTarnMainFrame* frame = nullptr;
};

TEST_F(MainFrame, WithoutTheResourceBrowserNoWindowIsMade)
{
    // The refused window takes its frame object with it.
    auto* refused = new CFrameWithoutBrowser;
    EXPECT_FALSE(refused->LoadFrame(0));
}

TEST_F(MainFrame, JoinsTheShellsAndTheServersMenusAndAccelerators)
{
    ASSERT_EQ(browserClass.Result(), S_OK);
    frame = new CTarnMainFrame;
    ASSERT_NE(frame->GetResourceBrowser(), nullptr);
    ASSERT_TRUE(frame->LoadFrame(0));

    const std::vector<CString> menus = TopLevelTexts(::GetMenu(frame->m_hWnd));
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_STREQ(menus[0], "&File");
    EXPECT_STREQ(menus[1], "&Object");

    // Ctrl+N, Ctrl+O, Ctrl+S of the shell, then the server's Alt+Enter.
    const std::vector<ACCEL> keys = Accelerators(frame->m_hAccelTable);
    ASSERT_EQ(keys.size(), 4u);
    const WORD commands[] = {57600, 57601, 57603, 20001};
    for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(keys[i].cmd, commands[i]) << i;
    EXPECT_EQ(keys[3].key, VK_RETURN);
    EXPECT_TRUE(keys[3].fVirt & FALT);

    // The MDI client keeps the activation order.
    EXPECT_EQ(CWnd::FromHandlePermanent(frame->m_hWndMDIClient), frame->GetMdiClient());
}

TEST_F(MainFrame, StatusPanesStayDisabledAndPromptsComeFromTheServer)
{
    ASSERT_EQ(browserClass.Result(), S_OK);
    frame = new CTarnMainFrame;
    ASSERT_TRUE(frame->LoadFrame(0));
    frame->ShowWindow(SW_SHOW);
    CStatusBar& bar = frame->GetStatusBar();
    const UINT ids[] = {ID_SEPARATOR, TARN_ID_INDICATOR_POSITION, TARN_ID_INDICATOR_ZOOM, TARN_ID_INDICATOR_UNITS};
    ASSERT_EQ(bar.GetCount(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(bar.GetItemID(i), ids[i]) << i;
    bar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    for (int i = 1; i < 4; ++i) EXPECT_FALSE(bar.IsPaneEnabled(i)) << i;

    CString prompt;
    frame->GetMessageString(21226, prompt);   // only the server's library has it
    EXPECT_STREQ(prompt, "Transform");
    frame->GetMessageString(21214, prompt);   // nobody has it
    EXPECT_TRUE(prompt.IsEmpty());

    // Without a child there is no view to ask for its colours.
    EXPECT_EQ(static_cast<DWORD>(frame->SendMessage(TARN_WM_GET_FILL_COLOR)), TARN_NO_COLOR);
    EXPECT_EQ(static_cast<DWORD>(frame->SendMessage(TARN_WM_GET_OUTLINE_COLOR)), TARN_NO_COLOR);
}

TEST(AppendedResources, MovesPopupsAndJoinsTablesInOrder)
{
    HMENU target = ::CreateMenu();
    HMENU source = ::CreateMenu();
    HMENU popup = ::CreatePopupMenu();
    ::AppendMenuA(popup, MF_STRING, 7, "Seven");
    ::AppendMenuA(source, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "Pop");
    ::AppendMenuA(source, MF_STRING, 8, "Eight");
    EXPECT_EQ(AppendMenuItems(target, source), 2);
    EXPECT_EQ(::GetMenuItemCount(source), 0);
    ::DestroyMenu(source);
    ASSERT_EQ(::GetSubMenu(target, 0), popup) << "the popup survives its old owner";
    EXPECT_EQ(::GetMenuItemID(popup, 0), 7u);
    EXPECT_EQ(::GetMenuItemID(target, 1), 8u);
    ::DestroyMenu(target);

    ACCEL a[] = {{FVIRTKEY | FCONTROL, 'N', 1}};
    ACCEL b[] = {{FVIRTKEY | FCONTROL, 'N', 2}, {FVIRTKEY, VK_F2, 3}};
    HACCEL first = ::CreateAcceleratorTableA(a, 1);
    HACCEL second = ::CreateAcceleratorTableA(b, 2);
    HACCEL joined = AppendAccelerators(first, second);
    const std::vector<ACCEL> keys = Accelerators(joined);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].cmd, 1);
    EXPECT_EQ(keys[2].cmd, 3);
    EXPECT_EQ(AppendAccelerators(nullptr, nullptr), nullptr);
    for (HACCEL t : {first, second, joined}) ::DestroyAcceleratorTable(t);
}
}  // namespace
