// The document manager and template open cards into child frames: an empty card file becomes a
// new card that saves into it, an open card is brought back rather than read again, and a damaged
// card is refused with its message, leaving no frame behind and the file as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CardFixtures.h"
#include "ClMDI.h"
#include "ClWinApp.h"
#include "TarnChildFrame.h"
#include "TarnDocManager.h"
#include "TarnDocTemplate.h"

namespace {

std::vector<std::string> g_messages;

class CRecordingCardDoc : public CTestCardDoc {
    DECLARE_DYNCREATE(CRecordingCardDoc)
public:
    int ShowMessage(const CString& text, UINT type) override
    {
        g_messages.push_back(static_cast<LPCSTR>(text));
        return CTestCardDoc::ShowMessage(text, type);
    }
};
IMPLEMENT_DYNCREATE(CRecordingCardDoc, CTarnDoc)

class CBlankCardView : public CView {
    DECLARE_DYNCREATE(CBlankCardView)
public:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(CBlankCardView, CView)

class CQuietApp : public CWinApp {
public:
    int DoMessageBox(LPCSTR prompt, UINT, UINT) override
    {
        g_messages.push_back(prompt);
        return IDOK;
    }
};

class DocManager : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_messages.clear();
        main = new CMDIFrameWnd;
        ASSERT_TRUE(main->LoadFrame(0));
        app.m_pMainWnd = main;
        manager.AddDocTemplate(new CTarnDocTemplate(0, RUNTIME_CLASS(CRecordingCardDoc), RUNTIME_CLASS(CTarnChildFrame),
                                                    RUNTIME_CLASS(CBlankCardView)));
    }
    void TearDown() override
    {
        manager.CloseAllDocuments(TRUE);
        if (app.m_pMainWnd) main->DestroyWindow();
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    int Children() const
    {
        int count = 0;
        for (HWND child = ::GetWindow(main->m_hWndMDIClient, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            count += ::IsWindow(child) && (::GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_MDICHILD) ? 1 : 0;
        return count;
    }

    CQuietApp app;
    CTarnDocManager manager;
    CMDIFrameWnd* main = nullptr;
};

TEST_F(DocManager, AnEmptyFileBecomesANewCardThatSavesIntoIt)
{
    const std::string path = TempCardPath("empty-card");
    WriteFileBytes(path, {});
    CDocument* doc = manager.OpenDocumentFile(("\"" + path + "\"").c_str());
    ASSERT_NE(nullptr, doc);
    EXPECT_STREQ(path.c_str(), doc->GetPathName());
    EXPECT_EQ(1, Children());
    auto* card = DYNAMIC_DOWNCAST(CTarnDoc, doc);
    ASSERT_NE(nullptr, card);
    EXPECT_GT(card->GetSiteNumber(), 0);
    card->m_bRemember = FALSE;   // so that a second document can open the file
    ASSERT_TRUE(card->OnSaveDocument(path.c_str()));
    EXPECT_FALSE(FileBytes(path).empty());
    CTestCardDoc reopened;
    EXPECT_TRUE(reopened.OnOpenDocument(path.c_str()));
    EXPECT_EQ(card->GetSiteNumber(), reopened.GetSiteNumber());
    EXPECT_TRUE(g_messages.empty());
}

TEST_F(DocManager, AnOpenCardIsBroughtBackNotReadAgain)
{
    const std::string path = TempCardPath("open-twice");
    {
        CTestCardDoc source;
        ASSERT_TRUE(source.OnNewDocument());
        source.m_bRemember = FALSE;
        ASSERT_TRUE(source.OnSaveDocument(path.c_str()));
    }
    CDocument* first = manager.OpenDocumentFile(path.c_str());
    ASSERT_NE(nullptr, first);
    CDocument* second = manager.OpenDocumentFile(path.c_str());
    EXPECT_EQ(first, second);
    EXPECT_EQ(1, Children());
}

TEST_F(DocManager, ADamagedCardIsRefusedAndLeavesNothingBehind)
{
    const std::string path = TempCardPath("damaged");
    const std::vector<unsigned char> garbage = {'n', 'o', 't', ' ', 'a', ' ', 'c', 'a', 'r', 'd', 0, 1, 2, 3};
    WriteFileBytes(path, garbage);
    EXPECT_EQ(nullptr, manager.OpenDocumentFile(path.c_str()));
    EXPECT_FALSE(g_messages.empty());
    EXPECT_EQ(0, Children());
    EXPECT_EQ(garbage, FileBytes(path));
}

}  // namespace
