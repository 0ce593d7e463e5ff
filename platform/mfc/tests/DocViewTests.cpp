// Document, frame and view made together by a single-document template; commands routed from
// the frame through view and document; opening, saving and closing.
#include "TestResources.h"

#include <classlib.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_events;
int g_documentsAlive = 0;

class CTestDocument : public CDocument
{
    DECLARE_DYNCREATE(CTestDocument)
public:
    CTestDocument() { ++g_documentsAlive; }
    ~CTestDocument() override { --g_documentsAlive; }
    CString m_text;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << m_text;
        else
            ar >> m_text;
    }
    void DeleteContents() override { m_text.Empty(); }
    void OnDocCommand() { g_events.push_back("document command"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CTestDocument, CDocument)
BEGIN_MESSAGE_MAP(CTestDocument, CDocument)
    ON_COMMAND(ID_DOC_CMD, OnDocCommand)
END_MESSAGE_MAP()

class CTestView : public CView
{
    DECLARE_DYNCREATE(CTestView)
public:
    void OnDraw(CDC*) override { g_events.push_back("draw"); }
    void OnInitialUpdate() override { g_events.push_back("initial update"); }
    void OnUpdate(CView*, LPARAM lHint, CObject*) override { g_events.push_back("update " + std::to_string(lHint)); }
    void OnViewCommand() { g_events.push_back("view command"); }
    void OnUpdateViewCommand(CCmdUI* ui) { ui->Enable(FALSE); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CTestView, CView)
BEGIN_MESSAGE_MAP(CTestView, CView)
    ON_COMMAND(ID_VIEW_CMD, OnViewCommand)
    ON_UPDATE_COMMAND_UI(ID_VIEW_CMD, OnUpdateViewCommand)
END_MESSAGE_MAP()

class CTestDocApp : public CWinApp
{
public:
    std::vector<std::string> messages;
    int answer = IDNO;
    int DoMessageBox(LPCSTR lpszPrompt, UINT, UINT) override
    {
        messages.push_back(lpszPrompt);
        return answer;
    }
};

// Drops the quit message that the main frame's end posts.
bool TakeQuitMessage()
{
    MSG msg;
    bool quit = false;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        quit = quit || msg.message == WM_QUIT;
    return quit;
}

CString TempPath(const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return CString(dir) + name;
}

class DocView : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_events.clear();
        app.AddDocTemplate(new CSingleDocTemplate(IDR_TEST_DOC, RUNTIME_CLASS(CTestDocument),
                                                  RUNTIME_CLASS(CFrameWnd), RUNTIME_CLASS(CTestView)));
    }
    void TearDown() override
    {
        app.CloseAllDocuments(TRUE);
        TakeQuitMessage();
        EXPECT_EQ(g_documentsAlive, 0);
    }
    CFrameWnd* MainFrame() { return static_cast<CFrameWnd*>(app.m_pMainWnd); }
    CTestDocApp app;
};

TEST_F(DocView, NewDocumentComesWithFrameAndViewAndRoutesCommands)
{
    app.OnFileNew();
    CFrameWnd* frame = MainFrame();
    ASSERT_NE(frame, nullptr);
    auto* doc = DYNAMIC_DOWNCAST(CTestDocument, frame->GetActiveDocument());
    ASSERT_NE(doc, nullptr);
    CView* view = frame->GetActiveView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetDocument(), doc);
    EXPECT_EQ(view->GetParentFrame(), frame);
    EXPECT_EQ(g_events, (std::vector<std::string>{"initial update"}));
    CString caption;
    frame->GetWindowText(caption);
    EXPECT_STREQ(caption, "Card - Test App");

    g_events.clear();
    EXPECT_TRUE(frame->OnCmdMsg(ID_DOC_CMD, CN_COMMAND, nullptr, nullptr));
    EXPECT_TRUE(frame->OnCmdMsg(ID_VIEW_CMD, CN_COMMAND, nullptr, nullptr));
    EXPECT_FALSE(frame->OnCmdMsg(ID_NOBODY_CMD, CN_COMMAND, nullptr, nullptr));
    frame->SendMessage(WM_COMMAND, ID_DOC_CMD);
    doc->UpdateAllViews(nullptr, 5);
    doc->UpdateAllViews(view, 6);   // the sender is not told
    EXPECT_EQ(g_events, (std::vector<std::string>{"document command", "view command", "document command", "update 5"}));

    // A menu about to open takes its items' states from the command route.
    CMenu* popup = CMenu::FromHandle(::GetSubMenu(::GetMenu(frame->m_hWnd), 0));
    ASSERT_NE(popup, nullptr);
    frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup->m_hMenu), MAKELPARAM(0, FALSE));
    EXPECT_FALSE(popup->GetMenuState(ID_DOC_CMD, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(popup->GetMenuState(ID_VIEW_CMD, MF_BYCOMMAND) & MF_GRAYED);     // its update handler
    EXPECT_TRUE(popup->GetMenuState(ID_NOBODY_CMD, MF_BYCOMMAND) & MF_GRAYED);   // no handler at all
    CMenu::DeleteTempMap();
}

TEST_F(DocView, SavedDocumentsOpenAgainInTheSameDocument)
{
    const CString path = TempPath("classlib-docview.tcd");
    DeleteFileA(path);
    app.OnFileNew();
    auto* doc = DYNAMIC_DOWNCAST(CTestDocument, MainFrame()->GetActiveDocument());
    ASSERT_NE(doc, nullptr);
    doc->m_text = "hello";
    ASSERT_TRUE(doc->DoSave(path));
    EXPECT_STREQ(doc->GetTitle(), "classlib-docview.tcd");
    doc->m_text = "changed, not saved";

    EXPECT_EQ(app.OpenDocumentFile(path), doc);   // already open: just shown
    EXPECT_STREQ(doc->m_text, "changed, not saved");

    doc->SetPathName(TempPath("other-name.tcd"));
    EXPECT_EQ(app.OpenDocumentFile(path), doc);   // one document: loaded again
    EXPECT_STREQ(doc->m_text, "hello");
    EXPECT_EQ(g_documentsAlive, 1);
    EXPECT_TRUE(app.messages.empty());
    DeleteFileA(path);
}

TEST_F(DocView, ClosingTheFrameAsksAboutChangesAndEndsTheApplication)
{
    app.OnFileNew();
    CFrameWnd* frame = MainFrame();
    auto* doc = DYNAMIC_DOWNCAST(CTestDocument, frame->GetActiveDocument());
    ASSERT_NE(doc, nullptr);
    doc->SetModifiedFlag();

    app.answer = IDCANCEL;
    frame->SendMessage(WM_CLOSE);
    EXPECT_EQ(app.messages.size(), 1u);
    EXPECT_EQ(MainFrame(), frame);   // still open
    EXPECT_EQ(g_documentsAlive, 1);

    app.answer = IDNO;
    HWND hWnd = frame->m_hWnd;
    frame->SendMessage(WM_CLOSE);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(MainFrame(), nullptr);
    EXPECT_EQ(g_documentsAlive, 0);
    EXPECT_TRUE(TakeQuitMessage());
}

TEST_F(DocView, AFileThatCannotBeOpenedLeavesNothingBehind)
{
    EXPECT_EQ(app.OpenDocumentFile(TempPath("no-such-card.tcd")), nullptr);
    EXPECT_EQ(app.messages.size(), 1u);   // told why
    EXPECT_EQ(g_documentsAlive, 0);
    EXPECT_EQ(MainFrame(), nullptr);
}

class MultipleDocuments : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_events.clear();
        main = new CMDIFrameWnd;
        ASSERT_TRUE(main->LoadFrame(IDR_MAIN_MDI));
        app.m_pMainWnd = main;
        app.AddDocTemplate(new CMultiDocTemplate(IDR_TEST_DOC, RUNTIME_CLASS(CTestDocument),
                                                 RUNTIME_CLASS(CMDIChildWnd), RUNTIME_CLASS(CTestView)));
    }
    void TearDown() override
    {
        if (app.m_pMainWnd)
            app.m_pMainWnd->SendMessage(WM_CLOSE);
        TakeQuitMessage();
        EXPECT_EQ(g_documentsAlive, 0);
    }
    CTestDocApp app;
    CMDIFrameWnd* main = nullptr;
};

TEST_F(MultipleDocuments, EachDocumentGetsAChildFrameAndCommandsGoToTheActiveOne)
{
    app.OnFileNew();
    app.OnFileNew();
    EXPECT_EQ(g_documentsAlive, 2);
    CMDIChildWnd* second = main->MDIGetActive();
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(main->GetActiveDocument()->GetTitle(), "Card2");
    CString caption;
    second->GetWindowText(caption);
    EXPECT_STREQ(caption, "Card2");
    EXPECT_EQ(second->GetMDIFrame(), main);

    g_events.clear();
    EXPECT_TRUE(main->OnCmdMsg(ID_DOC_CMD, CN_COMMAND, nullptr, nullptr));
    EXPECT_TRUE(main->OnCmdMsg(ID_VIEW_CMD, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(g_events, (std::vector<std::string>{"document command", "view command"}));

    // The child's menu is the frame's while it is active.
    HMENU bar = ::GetMenu(main->m_hWnd);
    EXPECT_EQ(bar, second->m_hMenuShared);

    main->MDINext();
    CMDIChildWnd* first = main->MDIGetActive();
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, second);
    EXPECT_STREQ(main->GetActiveDocument()->GetTitle(), "Card1");

    first->SendMessage(WM_CLOSE);
    EXPECT_EQ(g_documentsAlive, 1);
    EXPECT_EQ(main->MDIGetActive(), second);
    EXPECT_EQ(app.m_pMainWnd, main);

    main->SendMessage(WM_CLOSE);
    EXPECT_EQ(g_documentsAlive, 0);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_TRUE(TakeQuitMessage());
}

TEST_F(MultipleDocuments, WithoutAChildTheFrameRoutesToItselfAndTheApplication)
{
    EXPECT_EQ(main->MDIGetActive(), nullptr);
    EXPECT_EQ(main->GetActiveDocument(), nullptr);
    EXPECT_FALSE(main->OnCmdMsg(ID_DOC_CMD, CN_COMMAND, nullptr, nullptr));
    EXPECT_TRUE(main->OnCmdMsg(ID_WINDOW_CASCADE, CN_COMMAND, nullptr, nullptr));
}

}  // namespace
