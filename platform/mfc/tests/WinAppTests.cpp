// The application object: registration, profile in the registry and in an .INI file, message
// loop with idle processing, and the recent-file list.
#include <classlib.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

const char kTestKey[] = "ClassLibTests";

class TestApp : public CWinApp
{
public:
    TestApp() : CWinApp("TestApp") {}
    int idleCalls = 0;
    BOOL InitInstance() override { return TRUE; }
    BOOL OnIdle(LONG lCount) override
    {
        ++idleCalls;
        if (lCount == 0)
            PostQuitMessage(7);
        return CWinApp::OnIdle(lCount);
    }
};

void DeleteTestKey() { RegDeleteTreeA(HKEY_CURRENT_USER, (CString("Software\\") + kTestKey)); }

TEST(WinApp, RegistersItselfAsTheApplication)
{
    EXPECT_EQ(AfxGetApp(), nullptr);
    {
        TestApp app;
        EXPECT_EQ(AfxGetApp(), &app);
        EXPECT_TRUE(app.InitApplication());
        EXPECT_STREQ(app.m_pszAppName, "TestApp");
        EXPECT_STREQ(app.m_pszExeName, "classlib_tests");
        EXPECT_STREQ(AfxGetAppName(), "TestApp");
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
    EXPECT_STREQ(AfxGetAppName(), "");
}

TEST(WinApp, MessageLoopRunsIdleWorkAndEndsWithTheQuitCode)
{
    TestApp app;
    EXPECT_EQ(app.Run(), 7);
    EXPECT_GE(app.idleCalls, 1);
}

class Profile : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        DeleteTestKey();
        app = std::make_unique<TestApp>();
        app->InitApplication();
        if (GetParam()) {
            app->SetRegistryKey(kTestKey);
        } else {
            char dir[MAX_PATH];
            GetTempPathA(MAX_PATH, dir);
            iniPath = CString(dir) + "classlib-test-profile.ini";
            DeleteFileA(iniPath);
            free(const_cast<char*>(app->m_pszProfileName));
            app->m_pszProfileName = _strdup(iniPath);
        }
    }
    void TearDown() override
    {
        app.reset();
        DeleteTestKey();
        if (!iniPath.IsEmpty())
            DeleteFileA(iniPath);
    }
    std::unique_ptr<TestApp> app;
    CString iniPath;
};

TEST_P(Profile, ValuesRoundTripAndMissingOnesGiveTheDefault)
{
    EXPECT_EQ(app->GetProfileInt("Settings", "Count", 5), 5u);
    EXPECT_STREQ(app->GetProfileString("Settings", "Name", "none"), "none");
    LPBYTE data = nullptr;
    UINT size = 0;
    EXPECT_FALSE(app->GetProfileBinary("Settings", "Blob", &data, &size));

    EXPECT_TRUE(app->WriteProfileInt("Settings", "Count", -3));
    EXPECT_TRUE(app->WriteProfileString("Settings", "Name", "Card maker"));
    BYTE blob[] = {0, 1, 0x7F, 0x80, 0xFF};
    EXPECT_TRUE(app->WriteProfileBinary("Settings", "Blob", blob, sizeof blob));

    EXPECT_EQ(static_cast<int>(app->GetProfileInt("Settings", "Count", 5)), -3);
    EXPECT_STREQ(app->GetProfileString("Settings", "Name"), "Card maker");
    ASSERT_TRUE(app->GetProfileBinary("Settings", "Blob", &data, &size));
    EXPECT_EQ(size, sizeof blob);
    EXPECT_EQ(memcmp(data, blob, sizeof blob), 0);
    delete[] data;

    EXPECT_TRUE(app->WriteProfileString("Settings", "Name", nullptr));   // deletes the entry
    EXPECT_STREQ(app->GetProfileString("Settings", "Name", "gone"), "gone");
    app->WriteProfileString("Settings", nullptr, nullptr);                // deletes the section
    EXPECT_EQ(app->GetProfileInt("Settings", "Count", 9), 9u);
}

INSTANTIATE_TEST_SUITE_P(RegistryAndIniFile, Profile, ::testing::Values(true, false));

TEST(WinAppProfile, RegistryValuesWithoutTerminatorOrOfAnotherTypeAreHandled)
{
    DeleteTestKey();
    TestApp app;
    app.InitApplication();
    app.SetRegistryKey(kTestKey);
    HKEY section = app.GetSectionKey("Raw");
    ASSERT_NE(section, nullptr);
    RegSetValueExA(section, "NoTerminator", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3);
    const DWORD number = 12;
    RegSetValueExA(section, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegSetValueExA(section, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>("12"), 3);
    RegCloseKey(section);

    EXPECT_STREQ(app.GetProfileString("Raw", "NoTerminator"), "abc");
    EXPECT_STREQ(app.GetProfileString("Raw", "Number", "dflt"), "dflt");   // not a string
    EXPECT_EQ(app.GetProfileInt("Raw", "Text", 4), 4u);                     // not a number
    DeleteTestKey();
}

TEST(RecentFiles, NewestFirstWithoutDuplicatesAndBounded)
{
    CRecentFileList list(0, "Recent", "File%d", 3);
    list.Add("C:\\a.tcd");
    list.Add("C:\\b.tcd");
    list.Add("C:\\c.tcd");
    list.Add("c:\\A.TCD");   // the same file again: moves to the front
    EXPECT_STREQ(list[0], "c:\\A.TCD");
    EXPECT_STREQ(list[1], "C:\\c.tcd");
    EXPECT_STREQ(list[2], "C:\\b.tcd");
    list.Add("C:\\d.tcd");   // the oldest drops out
    EXPECT_STREQ(list[2], "C:\\c.tcd");
    list.Remove(0);
    EXPECT_STREQ(list[0], "c:\\A.TCD");
    EXPECT_TRUE(list[2].IsEmpty());
    CString name;
    EXPECT_FALSE(list.GetDisplayName(name, 2, nullptr, 0));
}

TEST(RecentFiles, ListIsStoredInTheProfile)
{
    DeleteTestKey();
    TestApp app;
    app.InitApplication();
    app.SetRegistryKey(kTestKey);
    app.LoadStdProfileSettings(4);
    ASSERT_NE(app.m_pRecentFileList, nullptr);
    app.AddToRecentFileList("C:\\cards\\one.tcd");
    app.AddToRecentFileList("C:\\cards\\two.tcd");
    app.SaveStdProfileSettings();
    EXPECT_STREQ(app.GetProfileString("Recent File List", "File1"), "C:\\cards\\two.tcd");
    EXPECT_STREQ(app.GetProfileString("Recent File List", "File2"), "C:\\cards\\one.tcd");

    app.LoadStdProfileSettings(4);   // a fresh list reads them back
    EXPECT_STREQ((*app.m_pRecentFileList)[1], "C:\\cards\\one.tcd");
    DeleteTestKey();
}

TEST(RecentFiles, PathsAreShortenedForDisplay)
{
    struct Case { const char* path; int max; BOOL atLeastName; const char* expected; };
    const Case cases[] = {
        {"C:\\short.tcd", 30, TRUE, "C:\\short.tcd"},
        {"C:\\one\\two\\three\\four\\card.tcd", 26, TRUE, "C:\\...\\three\\four\\card.tcd"},
        {"C:\\one\\two\\three\\four\\card.tcd", 25, TRUE, "C:\\...\\four\\card.tcd"},
        {"C:\\one\\two\\three\\four\\card.tcd", 20, TRUE, "C:\\...\\four\\card.tcd"},
        {"C:\\one\\two\\three\\four\\card.tcd", 15, TRUE, "C:\\...\\card.tcd"},
        {"C:\\one\\two\\three\\four\\card.tcd", 10, TRUE, "card.tcd"},
        {"C:\\one\\two\\three\\four\\card.tcd", 10, FALSE, ""},
        {"\\\\server\\share\\dir\\deeper\\card.tcd", 29, TRUE, "\\\\server\\share\\...\\card.tcd"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(AfxAbbreviatePath(c.path, c.max, c.atLeastName), c.expected) << c.path << " " << c.max;
}

class CMruApp : public TestApp
{
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMruApp, TestApp)
    ON_UPDATE_COMMAND_UI(ID_FILE_MRU_FILE1, OnUpdateRecentFileMenu)
    ON_COMMAND_EX_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16, OnOpenRecentFile)
END_MESSAGE_MAP()

void UpdateMenuItems(CMenu& popup, CCmdTarget& target)
{
    CCmdUI ui;
    ui.m_pMenu = &popup;
    ui.m_nIndexMax = popup.GetMenuItemCount();
    for (ui.m_nIndex = 0; ui.m_nIndex < ui.m_nIndexMax; ++ui.m_nIndex) {
        ui.m_nID = popup.GetMenuItemID(static_cast<int>(ui.m_nIndex));
        if (ui.m_nID != 0 && ui.m_nID != static_cast<UINT>(-1))
            ui.DoUpdate(&target, FALSE);
    }
}

CMenu* FileMenu(CMenu& popup)
{
    popup.CreatePopupMenu();
    popup.AppendMenu(MF_STRING, 100, "&New");
    popup.AppendMenu(MF_STRING, ID_FILE_MRU_FILE1, "Recent File");
    popup.AppendMenu(MF_SEPARATOR);
    popup.AppendMenu(MF_STRING, 101, "E&xit");
    return &popup;
}

TEST(RecentFiles, TheMenuListsTheFilesAndOpensThem)
{
    CMruApp app;
    app.m_pRecentFileList = new CRecentFileList(0, "Recent", "File%d", 4);
    CMenu popup;
    FileMenu(popup);
    UpdateMenuItems(popup, app);   // no files yet: the placeholder stays, disabled
    EXPECT_EQ(popup.GetMenuItemCount(), 4u);
    EXPECT_TRUE(popup.GetMenuState(ID_FILE_MRU_FILE1, MF_BYCOMMAND) & MF_GRAYED);

    app.AddToRecentFileList("C:\\cards\\one.tcd");
    app.AddToRecentFileList("C:\\cards\\a&b.tcd");
    for (int round = 0; round < 2; ++round) {   // updating again replaces, never duplicates
        UpdateMenuItems(popup, app);
        ASSERT_EQ(popup.GetMenuItemCount(), 5u);
        CString text;
        popup.GetMenuString(ID_FILE_MRU_FILE1, text, MF_BYCOMMAND);
        EXPECT_STREQ(text, "&1 C:\\cards\\a&&b.tcd");
        popup.GetMenuString(ID_FILE_MRU_FILE1 + 1, text, MF_BYCOMMAND);
        EXPECT_STREQ(text, "&2 C:\\cards\\one.tcd");
        EXPECT_EQ(popup.GetMenuItemID(4), 101u);
    }

    // Without a document manager nothing opens: the file leaves the list.
    EXPECT_TRUE(app.OnCmdMsg(ID_FILE_MRU_FILE1, CN_COMMAND, nullptr, nullptr));
    EXPECT_STREQ((*app.m_pRecentFileList)[0], "C:\\cards\\one.tcd");
    EXPECT_TRUE((*app.m_pRecentFileList)[1].IsEmpty());
}

}  // namespace
