#include <gtest/gtest.h>

#include <string>

#include "Profiler.h"
#include "RegistryFixture.h"
#include "TempFiles.h"

namespace {

const std::string kFamily = "TarnProfileTests";
const std::string kGeneral = "SOFTWARE\\" + kFamily + "\\Card\\Options\\General";

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override { regtest::DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\" + kFamily); }
    void TearDown() override { SetUp(); }
};

TEST_F(ProfileTest, DescriptionsPresentAndAbsent)
{
    const std::string start = kGeneral + "\\StartDialog";
    regtest::PutText(HKEY_LOCAL_MACHINE, start + "\\Dialog", "Caption", "Welcome");
    regtest::PutDword(HKEY_LOCAL_MACHINE, start + "\\Dialog", "Width", 320);
    regtest::PutText(HKEY_LOCAL_MACHINE, start, "Title", "Make a card");
    regtest::PutText(HKEY_LOCAL_MACHINE, start + "\\Button0", "Text", "New");
    regtest::PutDword(HKEY_LOCAL_MACHINE, start + "\\Button0", "ID", 9000);
    regtest::PutText(HKEY_LOCAL_MACHINE, start + "\\Button1", "Text", "Open");
    regtest::PutText(HKEY_LOCAL_MACHINE, start + "\\Button3", "Text", "after a gap: not read");
    regtest::PutText(HKEY_LOCAL_MACHINE, kGeneral + "\\AboutBox", "Title", "no dialog item");

    CProfiler profile;
    profile.m_strFamilyRootName = kFamily.c_str();
    profile.SetProductName("Cards");
    CString name;
    EXPECT_FALSE(profile.GetProductName(name)) << "not loaded yet";
    CDialogInfo info;
    EXPECT_FALSE(profile.GetStartDialogInfo(info));

    EXPECT_TRUE(profile.LoadDataFromRegistry("Card"));
    EXPECT_TRUE(profile.GetProductName(name));
    EXPECT_STREQ(name, "Cards");
    EXPECT_FALSE(profile.GetAboutDialogInfo(info)) << "a description without its dialog item";
    ASSERT_TRUE(profile.GetStartDialogInfo(info));
    EXPECT_TRUE(info.IsInitialized());
    EXPECT_STREQ(info.m_strCaption, "Welcome");
    EXPECT_EQ(info.m_nWidth, 320);
    EXPECT_STREQ(info.m_strTitle, "Make a card");
    ASSERT_EQ(info.m_Items.size(), 2u);
    EXPECT_EQ(info.m_Items[0].id, 9000);
    EXPECT_STREQ(info.m_Items[1].text, "Open");

    profile.Clear();
    EXPECT_FALSE(profile.GetStartDialogInfo(info));
    EXPECT_FALSE(profile.GetProductName(name));
}

TEST_F(ProfileTest, MissingKeysLeaveEmptyDescriptions)
{
    CProfiler profile;
    profile.m_strFamilyRootName = kFamily.c_str();
    EXPECT_TRUE(profile.LoadDataFromRegistry("Card"));
    CDialogInfo info;
    EXPECT_FALSE(profile.GetAboutDialogInfo(info));
    EXPECT_FALSE(profile.GetStartDialogInfo(info));
    CString name;
    EXPECT_TRUE(profile.GetProductName(name));
    EXPECT_TRUE(name.IsEmpty());
}

TEST_F(ProfileTest, ProfileFilesCarryOnlyTheLoadedMark)
{
    TempFile file("profile");
    CProfiler saved;
    EXPECT_TRUE(saved.SaveData(file.Path().c_str()));
    CProfiler loaded;
    EXPECT_FALSE(loaded.IsLoaded());
    EXPECT_TRUE(loaded.LoadData(file.Path().c_str()));
    EXPECT_TRUE(loaded.IsLoaded());
    CDialogInfo info;
    EXPECT_FALSE(loaded.GetAboutDialogInfo(info));

    CProfiler missing;
    EXPECT_FALSE(missing.LoadData("Z:\\no\\such\\profile.dat"));
    EXPECT_FALSE(missing.IsLoaded());
    EXPECT_FALSE(missing.SaveData("Z:\\no\\such\\folder\\profile.dat"));
}

}  // namespace
