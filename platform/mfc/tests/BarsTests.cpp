// The frame's bars and idle work: status panes and menu-bar items follow their update handlers
// when the thread goes idle, prompts show in the first pane, the frame lays bars out before its
// view, and commands know the view they are routed through and the message being handled.
#include "TestResources.h"

#include <classlib.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool g_viewCommandEnabled = false;
CView* g_routingSeenByDocument = nullptr;
CView* g_routingSeenByView = nullptr;
MSG g_probeMessage = {};

class CBarsDocument : public CDocument
{
    DECLARE_DYNCREATE(CBarsDocument)
public:
    void OnDocCommand() { g_routingSeenByDocument = AfxGetRoutingView(); }
    void OnUpdateDocCommand(CCmdUI* ui) { ui->Enable(TRUE); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CBarsDocument, CDocument)
BEGIN_MESSAGE_MAP(CBarsDocument, CDocument)
    ON_COMMAND(ID_BARS_DOC_CMD, OnDocCommand)
    ON_UPDATE_COMMAND_UI(ID_BARS_DOC_CMD, OnUpdateDocCommand)
END_MESSAGE_MAP()

class CBarsView : public CView
{
    DECLARE_DYNCREATE(CBarsView)
public:
    void OnDraw(CDC*) override {}
    void OnViewCommand() { g_routingSeenByView = AfxGetRoutingView(); }
    void OnUpdateViewCommand(CCmdUI* ui) { ui->Enable(g_viewCommandEnabled); }
    LRESULT OnProbe(WPARAM, LPARAM)
    {
        g_probeMessage = *AfxGetCurrentMessage();
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CBarsView, CView)
BEGIN_MESSAGE_MAP(CBarsView, CView)
    ON_COMMAND(ID_BARS_VIEW_CMD, OnViewCommand)
    ON_UPDATE_COMMAND_UI(ID_BARS_VIEW_CMD, OnUpdateViewCommand)
    ON_MESSAGE(WM_BARS_PROBE, OnProbe)
END_MESSAGE_MAP()

class CBarsApp : public CWinApp
{
public:
    int DoMessageBox(LPCSTR, UINT, UINT) override { return IDOK; }
};

void DropQueuedMessages()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

class Bars : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_viewCommandEnabled = false;
        app.AddDocTemplate(new CSingleDocTemplate(IDR_BARS_DOC, RUNTIME_CLASS(CBarsDocument), RUNTIME_CLASS(CFrameWnd),
                                                  RUNTIME_CLASS(CBarsView)));
        app.OnFileNew();
        frame = static_cast<CFrameWnd*>(app.m_pMainWnd);
        ASSERT_NE(frame, nullptr);
        frame->ShowWindow(SW_SHOW);
        status = new CStatusBar;
        ASSERT_TRUE(status->Create(frame));
        // The prompt pane, one pane each for the view's, the document's and nobody's command.
        const UINT panes[] = {ID_SEPARATOR, ID_BARS_VIEW_CMD, ID_BARS_DOC_CMD, ID_BARS_NOBODY_CMD};
        ASSERT_TRUE(status->SetIndicators(panes, 4));
        // A menu bar with command items of its own.
        bar = ::CreateMenu();
        ::AppendMenuA(bar, MF_STRING, ID_BARS_VIEW_CMD, "View");
        ::AppendMenuA(bar, MF_STRING, ID_BARS_DOC_CMD, "Doc");
        ::AppendMenuA(bar, MF_STRING, ID_BARS_NOBODY_CMD, "Nobody");
        oldBar = ::GetMenu(frame->m_hWnd);
        ::SetMenu(frame->m_hWnd, bar);
        frame->RecalcLayout();
    }
    void TearDown() override
    {
        if (app.m_pMainWnd) {
            ::SetMenu(frame->m_hWnd, oldBar);
            ::DestroyMenu(bar);
            app.CloseAllDocuments(TRUE);
        }
        delete status;
        DropQueuedMessages();
    }
    bool Grayed(UINT id) const { return (::GetMenuState(bar, id, MF_BYCOMMAND) & MF_GRAYED) != 0; }

    CBarsApp app;
    CFrameWnd* frame = nullptr;
    CStatusBar* status = nullptr;
    HMENU bar = nullptr;
    HMENU oldBar = nullptr;
};

TEST_F(Bars, IdleUpdatesMenuBarItemsAndStatusPanes)
{
    EXPECT_STREQ(status->GetPaneText(1), "Does the view's thing\nView thing");
    app.OnIdle(0);
    struct Expect {
        UINT id;
        bool enabled;
    } first[] = {{ID_BARS_VIEW_CMD, false}, {ID_BARS_DOC_CMD, true}, {ID_BARS_NOBODY_CMD, false}};
    for (const Expect& e : first) {
        SCOPED_TRACE(e.id);
        EXPECT_EQ(!e.enabled, Grayed(e.id));
        EXPECT_EQ(e.enabled, status->IsPaneEnabled(status->CommandToIndex(e.id)) != FALSE);
    }
    // A handler that changes its mind shows on the next idle pass, not before.
    g_viewCommandEnabled = true;
    EXPECT_TRUE(Grayed(ID_BARS_VIEW_CMD));
    app.OnIdle(0);
    EXPECT_FALSE(Grayed(ID_BARS_VIEW_CMD));
    EXPECT_TRUE(status->IsPaneEnabled(1));
    // The prompt pane is not a command: idle work leaves it alone.
    EXPECT_TRUE(status->IsPaneEnabled(0));

    // Hidden frames are not updated.
    g_viewCommandEnabled = false;
    frame->ShowWindow(SW_HIDE);
    app.OnIdle(0);
    EXPECT_FALSE(Grayed(ID_BARS_VIEW_CMD));
}

TEST_F(Bars, PromptsShowInTheFirstPane)
{
    CString prompt;
    frame->GetMessageString(ID_BARS_VIEW_CMD, prompt);
    EXPECT_STREQ(prompt, "Does the view's thing");
    frame->GetMessageString(ID_BARS_DOC_CMD, prompt);
    EXPECT_STREQ(prompt, "DOC");
    frame->GetMessageString(0x7FF0, prompt);   // no string
    EXPECT_STREQ(prompt, "");

    frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_BARS_VIEW_CMD, MF_STRING), reinterpret_cast<LPARAM>(bar));
    EXPECT_STREQ(status->GetPaneText(0), "Does the view's thing");
    frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, MF_POPUP), reinterpret_cast<LPARAM>(bar));
    EXPECT_STREQ(status->GetPaneText(0), "");
    frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);   // the menu closed
    EXPECT_STREQ(status->GetPaneText(0), "Ready");
    frame->SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>("Working"));
    EXPECT_STREQ(status->GetPaneText(0), "Working");
}

TEST_F(Bars, TheStatusBarTakesTheBottomAndTheViewTheRest)
{
    CRect client, barRect, viewRect;
    frame->GetClientRect(&client);
    ::GetWindowRect(status->m_hWnd, &barRect);
    ::GetWindowRect(frame->GetActiveView()->m_hWnd, &viewRect);
    frame->ScreenToClient(&barRect);
    frame->ScreenToClient(&viewRect);
    EXPECT_GT(barRect.Height(), 0);
    EXPECT_EQ(client.bottom, barRect.bottom);
    EXPECT_EQ(client.Width(), barRect.Width());
    EXPECT_EQ(0, viewRect.top);
    EXPECT_EQ(barRect.top, viewRect.bottom);
}

TEST_F(Bars, CommandsKnowTheViewTheyAreRoutedThrough)
{
    CView* view = frame->GetActiveView();
    g_routingSeenByView = g_routingSeenByDocument = nullptr;
    EXPECT_TRUE(frame->OnCmdMsg(ID_BARS_VIEW_CMD, CN_COMMAND, nullptr, nullptr));
    EXPECT_TRUE(frame->OnCmdMsg(ID_BARS_DOC_CMD, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(view, g_routingSeenByView);
    EXPECT_EQ(view, g_routingSeenByDocument);
    EXPECT_EQ(nullptr, AfxGetRoutingView());   // only while routing
}

TEST_F(Bars, TheCurrentMessageIsTheOneBeingHandled)
{
    CView* view = frame->GetActiveView();
    view->SendMessage(WM_BARS_PROBE, 1234, 5678);
    EXPECT_EQ(view->m_hWnd, g_probeMessage.hwnd);
    EXPECT_EQ(static_cast<UINT>(WM_BARS_PROBE), g_probeMessage.message);
    EXPECT_EQ(1234u, g_probeMessage.wParam);
    EXPECT_EQ(5678, g_probeMessage.lParam);
}

}  // namespace
