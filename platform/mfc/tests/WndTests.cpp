// Windows routed through CWnd: creation, message-map dispatch of window messages, commands and
// notifications, subclassing, destruction and failing handlers.
#include <classlib.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CTestWnd : public CWnd
{
public:
    std::vector<std::string> log;
    int createResult = 0;
    bool throwOnSize = false;
    int* postNcDestroyCount = nullptr;
    bool deleteSelf = false;

    int OnCreate(LPCREATESTRUCTA cs)
    {
        log.push_back(std::string("create ") + (cs->lpszName ? cs->lpszName : ""));
        if (createResult != 0)
            return createResult;
        return CWnd::OnCreate(cs);
    }
    void OnSize(UINT type, int cx, int cy)
    {
        if (throwOnSize)
            AfxThrowUserException();
        log.push_back("size " + std::to_string(type) + " " + std::to_string(cx) + " " + std::to_string(cy));
    }
    void OnLButtonDown(UINT flags, CPoint point)
    {
        log.push_back("lbutton " + std::to_string(flags) + " " + std::to_string(point.x) + " " + std::to_string(point.y));
    }
    void OnPaint()
    {
        CPaintDC dc(this);
        log.push_back(dc.m_hDC ? "paint" : "paint without dc");
    }
    LRESULT OnApp(WPARAM w, LPARAM l) { return static_cast<LRESULT>(w * 100 + l); }
    void OnCommand100() { log.push_back("command 100"); }
    void OnNotifyItem(NMHDR* header, LRESULT* result)
    {
        log.push_back("notify " + std::to_string(header->idFrom));
        *result = 55;
    }
    void PostNcDestroy() override
    {
        if (postNcDestroyCount)
            ++*postNcDestroyCount;
        if (deleteSelf)
            delete this;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_PAINT()
    ON_MESSAGE(WM_APP + 1, OnApp)
    ON_COMMAND(100, OnCommand100)
    ON_NOTIFY(NM_CLICK, 300, OnNotifyItem)
END_MESSAGE_MAP()

// Takes the input of a child before the child sees it.
class CFilterWnd : public CWnd
{
public:
    BOOL PreTranslateMessage(MSG* pMsg) override { return pMsg->message == WM_KEYDOWN; }
};

class CExceptionApp : public CWinApp
{
public:
    std::vector<UINT> failedMessages;
    void ProcessWndProcException(CException*, const MSG* pMsg) override { failedMessages.push_back(pMsg->message); }
};

bool CreateHidden(CWnd& wnd, const char* title = "test")
{
    return wnd.CreateEx(0, nullptr, title, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr) != FALSE;
}

TEST(Window, MessagesReachTheirHandlersWithUnpackedArguments)
{
    CTestWnd wnd;
    ASSERT_TRUE(CreateHidden(wnd, "main"));
    ASSERT_NE(wnd.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
    ASSERT_FALSE(wnd.log.empty());
    EXPECT_EQ(wnd.log[0], "create main");

    wnd.log.clear();
    wnd.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(120, 80));
    wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5, 7));
    EXPECT_EQ(wnd.SendMessage(WM_APP + 1, 3, 4), 304);
    EXPECT_NE(wnd.SendMessage(WM_COMMAND, MAKEWPARAM(100, 0), 0), 0);
    EXPECT_EQ(wnd.SendMessage(WM_COMMAND, MAKEWPARAM(101, 0), 0), 0);   // no handler: the default
    NMHDR header = {nullptr, 300, static_cast<UINT>(NM_CLICK)};
    EXPECT_EQ(wnd.SendMessage(WM_NOTIFY, 300, reinterpret_cast<LPARAM>(&header)), 55);
    EXPECT_EQ(wnd.log, (std::vector<std::string>{"size 0 120 80", "lbutton 1 -5 7", "command 100", "notify 300"}));

    // Messages without an entry go to the window's original procedure.
    wnd.SetWindowText("renamed");
    CString text;
    wnd.GetWindowText(text);
    EXPECT_STREQ(text, "renamed");
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(wnd.m_hWnd, nullptr);
}

TEST(Window, FailedCreationAndDestructionEndWithOnePostNcDestroy)
{
    int count = 0;
    {
        CTestWnd refused;
        refused.createResult = -1;
        refused.postNcDestroyCount = &count;
        EXPECT_FALSE(CreateHidden(refused));
        EXPECT_EQ(refused.m_hWnd, nullptr);
        EXPECT_EQ(count, 1);
    }
    count = 0;
    auto* onHeap = new CTestWnd;
    onHeap->deleteSelf = true;
    onHeap->postNcDestroyCount = &count;
    ASSERT_TRUE(CreateHidden(*onHeap));
    HWND hWnd = onHeap->m_hWnd;
    ::DestroyWindow(hWnd);   // the object deletes itself after the last message
    EXPECT_EQ(count, 1);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);

    HWND scopedWindow;
    {
        CTestWnd scoped;
        ASSERT_TRUE(CreateHidden(scoped));
        scopedWindow = scoped.m_hWnd;
    }   // the window is destroyed with its object
    EXPECT_FALSE(::IsWindow(scopedWindow));
    EXPECT_EQ(CWnd::FromHandlePermanent(scopedWindow), nullptr);
}

TEST(Window, ExistingWindowsCanBeSubclassedAndGivenBack)
{
    HWND button = ::CreateWindowExA(0, "BUTTON", "raw", WS_OVERLAPPED, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(button, nullptr);
    const LONG_PTR original = ::GetWindowLongPtrA(button, GWLP_WNDPROC);

    CWnd* temp = CWnd::FromHandle(button);
    EXPECT_EQ(CWnd::FromHandlePermanent(button), nullptr);
    EXPECT_EQ(CWnd::FromHandle(button), temp);
    CWnd::DeleteTempMap();

    CTestWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(button));
    EXPECT_FALSE(CTestWnd().SubclassWindow(button));   // one object per window
    EXPECT_EQ(wnd.SendMessage(WM_APP + 1, 1, 2), 102);
    wnd.SetWindowText("through the button");
    CString text;
    wnd.GetWindowText(text);
    EXPECT_STREQ(text, "through the button");
    EXPECT_EQ(wnd.UnsubclassWindow(), button);
    EXPECT_EQ(::GetWindowLongPtrA(button, GWLP_WNDPROC), original);
    EXPECT_EQ(::SendMessageA(button, WM_APP + 1, 1, 2), 0);
    ::DestroyWindow(button);
}

TEST(Window, FailingHandlersAreReportedThroughTheApplication)
{
    CExceptionApp app;
    CTestWnd wnd;
    ASSERT_TRUE(CreateHidden(wnd));
    wnd.throwOnSize = true;
    wnd.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(1, 1));
    EXPECT_EQ(app.failedMessages, (std::vector<UINT>{WM_SIZE}));
    wnd.DestroyWindow();
}

TEST(Window, InputIsOfferedToParentsBeforeDispatch)
{
    CFilterWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr));
    CTestWnd child;
    ASSERT_TRUE(child.Create(nullptr, "child", WS_VISIBLE, CRect(0, 0, 50, 50), &parent, 7));
    EXPECT_EQ(child.GetDlgCtrlID(), 7);
    EXPECT_EQ(parent.GetDlgItem(7), &child);
    EXPECT_EQ(child.GetParent(), &parent);

    CWinThread thread;
    MSG key = {child.m_hWnd, WM_KEYDOWN, VK_SPACE, 0, 0, {0, 0}};
    MSG click = {child.m_hWnd, WM_LBUTTONDOWN, 0, 0, 0, {0, 0}};
    EXPECT_TRUE(thread.PreTranslateMessage(&key));
    EXPECT_FALSE(thread.PreTranslateMessage(&click));
    child.DestroyWindow();
    parent.DestroyWindow();
}

TEST(Window, PaintingUsesThePaintDC)
{
    CTestWnd wnd;
    ASSERT_TRUE(CreateHidden(wnd));
    wnd.log.clear();
    wnd.SendMessage(WM_PAINT);
    EXPECT_EQ(wnd.log, (std::vector<std::string>{"paint"}));
    wnd.DestroyWindow();
}

}  // namespace
