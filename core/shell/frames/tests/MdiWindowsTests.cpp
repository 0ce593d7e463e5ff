// Child frames in a real MDI frame: opened maximised, numbered captions for a document with two
// windows, and Ctrl+Tab through the most recently used order.
#include <gtest/gtest.h>

#include <vector>

#include "ClBars.h"
#include "ClDocument.h"
#include "MdiOrderClient.h"
#include "TarnChildFrame.h"

namespace {

class CBlankView : public CView {
    DECLARE_DYNCREATE(CBlankView)
public:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(CBlankView, CView)

class CNamedDocument : public CDocument {
};

class MdiWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        main = new CMDIFrameWnd;
        ASSERT_TRUE(main->LoadFrame(0));
        main->ShowWindow(SW_SHOW);
        ASSERT_TRUE(client.SubclassWindow(main->m_hWndMDIClient));
        doc.m_bAutoDelete = FALSE;
        doc.SetTitle("Card1");
    }
    void TearDown() override
    {
        client.UnsubclassWindow();
        if (::IsWindow(main->m_hWnd)) main->DestroyWindow();
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    CTarnChildFrame* NewChild(CDocument* document = nullptr)
    {
        auto* child = new CTarnChildFrame;
        CCreateContext context;
        context.m_pNewViewClass = RUNTIME_CLASS(CBlankView);
        context.m_pCurrentDoc = document;
        EXPECT_TRUE(child->LoadFrame(0, WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, main, &context));
        child->InitialUpdateFrame(document, TRUE);
        Idle();
        return child;
    }
    void Idle() { client.SendMessage(WM_IDLEUPDATECMDUI, TRUE); }
    HWND Active() const { return reinterpret_cast<HWND>(::SendMessageA(main->m_hWndMDIClient, WM_MDIGETACTIVE, 0, 0)); }

    CMDIFrameWnd* main = nullptr;
    CMDIOrderClient client;
    CNamedDocument doc;
};

TEST_F(MdiWindows, ChildrenOpenMaximisedAndNumberTheirWindows)
{
    CTarnChildFrame* first = NewChild(&doc);
    EXPECT_TRUE(::IsZoomed(first->m_hWnd));
    first->OnUpdateFrameTitle(TRUE);
    CString caption;
    first->GetWindowText(caption);
    EXPECT_STREQ("Card1", caption);

    CTarnChildFrame* second = NewChild(&doc);
    EXPECT_TRUE(::IsZoomed(second->m_hWnd));
    first->OnUpdateFrameTitle(TRUE);
    second->OnUpdateFrameTitle(TRUE);
    first->GetWindowText(caption);
    EXPECT_STREQ("Card1:1", caption);
    second->GetWindowText(caption);
    EXPECT_STREQ("Card1:2", caption);
    second->MDIDestroy();
    first->MDIDestroy();
}

TEST_F(MdiWindows, CtrlTabWalksTheChildrenInTheOrderTheyWereUsed)
{
    const HWND one = NewChild()->m_hWnd;
    const HWND two = NewChild()->m_hWnd;
    const HWND three = NewChild()->m_hWnd;
    EXPECT_EQ((std::vector<HWND>{three, two, one}), client.Order().Order());

    // Work in the first, then in the third.
    ::SendMessageA(main->m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(one), 0);
    Idle();
    ::SendMessageA(main->m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(three), 0);
    Idle();
    EXPECT_EQ((std::vector<HWND>{three, one, two}), client.Order().Order());

    // Ctrl held (no idle pass in between): one, then two.
    ::SendMessageA(main->m_hWndMDIClient, WM_MDINEXT, 0, 0);
    EXPECT_EQ(one, Active());
    ::SendMessageA(main->m_hWndMDIClient, WM_MDINEXT, 0, 0);
    EXPECT_EQ(two, Active());
    // Ctrl released: two is now the most recent; Ctrl+Tab goes back to three.
    Idle();
    EXPECT_EQ((std::vector<HWND>{two, three, one}), client.Order().Order());
    ::SendMessageA(main->m_hWndMDIClient, WM_MDINEXT, 0, 0);
    EXPECT_EQ(three, Active());
    // Ctrl+Shift+Tab from there goes back the other way: to two, and from the first round to the last.
    ::SendMessageA(main->m_hWndMDIClient, WM_MDINEXT, 0, 1);
    EXPECT_EQ(two, Active());
    ::SendMessageA(main->m_hWndMDIClient, WM_MDINEXT, 0, 1);
    EXPECT_EQ(one, Active());
}

}  // namespace
