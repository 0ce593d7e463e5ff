// Sound items and their temporary files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "SoundItem.h"
#include "SoundTestSupport.h"

namespace {

class SoundItemTest : public ::testing::Test
{
protected:
    PrivateTempFolder temp;
};

// Measures without a media device: the tests of the MCI window measure for real.
class CFixedLengthItem : public CSoundItem
{
protected:
    double MeasureDuration(const char*, HWND) override { return 1.5; }
};

TEST_F(SoundItemTest, CopiesHaveTheirOwnFileAndDeleteOnlyIt)
{
    CSoundItem* original = MakeItem({5, 6, 7}, "song", "mid");
    original->m_delayBefore = 1;
    original->m_pauseAfter = 2;
    original->m_pauseBetween = 3;
    original->m_duration = 4;
    original->m_playCount = 5;
    auto copy = std::make_unique<CSoundItem>();
    ASSERT_TRUE(copy->CopyFrom(*original));
    EXPECT_NE(copy->GetTempPath(), original->GetTempPath());
    EXPECT_EQ(SoundFileBytes(copy->GetTempPath()), Bytes({5, 6, 7}));
    EXPECT_STREQ(copy->GetName(), "song");
    EXPECT_STREQ(copy->GetExtension(), "mid");
    EXPECT_EQ(copy->m_delayBefore + copy->m_pauseAfter + copy->m_pauseBetween + copy->m_duration, 10.0);
    EXPECT_EQ(copy->m_playCount, 5u);
    const std::string copyPath = copy->GetTempPath();
    const std::string originalPath = original->GetTempPath();
    EXPECT_EQ(copyPath.substr(copyPath.size() - 4), ".mid");
    delete original;
    EXPECT_EQ(GetFileAttributesA(originalPath.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(SoundFileBytes(copyPath), Bytes({5, 6, 7}));
    copy.reset();
    EXPECT_TRUE(temp.Files().empty());
}

TEST_F(SoundItemTest, AnItemWithoutANameCannotBeCopied)
{
    std::unique_ptr<CSoundItem> nameless(MakeItem({1}, nullptr));
    CSoundItem copy;
    copy.SetName("old");
    EXPECT_FALSE(copy.CopyFrom(*nameless));
    EXPECT_EQ(copy.GetName(), nullptr);
    EXPECT_TRUE(copy.GetTempPath().empty());
    std::unique_ptr<CSoundItem> emptyName(MakeItem({1}, ""));
    EXPECT_TRUE(copy.CopyFrom(*emptyName)) << "an empty name is a name";
}

TEST_F(SoundItemTest, ANewFileReplacesTheOldOne)
{
    CSoundItem item;
    item.SetExtension("wav");
    const std::string first = item.NewTempFileName();
    EXPECT_NE(GetFileAttributesA(first.c_str()), INVALID_FILE_ATTRIBUTES);
    const std::string second = item.NewTempFileName();
    EXPECT_EQ(GetFileAttributesA(first.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(temp.Files().size(), 1u);
    char buffer[CSoundItem::kPathCapacity];
    item.GetFilePath(buffer);
    EXPECT_EQ(second, buffer);
    item.DeleteTempFile();
    EXPECT_TRUE(temp.Files().empty());
    item.GetFilePath(buffer);
    EXPECT_STREQ(buffer, "");
}

TEST_F(SoundItemTest, NamesAreUniqueAndNeverTakeAnExistingFile)
{
    std::srand(77);
    std::string taken;
    {
        CSoundItem probe;
        probe.SetExtension("wav");
        taken = probe.NewTempFileName();
    }
    // Another process's file under the name the generator gives next.
    HANDLE other = CreateFileA(taken.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(other, "keep", 4, &written, nullptr);
    CloseHandle(other);
    std::srand(77);
    std::set<std::string> names;
    {
        std::vector<std::unique_ptr<CSoundItem>> items;
        for (int i = 0; i < 300; ++i) {
            items.push_back(std::make_unique<CSoundItem>());
            items.back()->SetExtension("wav");
            ASSERT_NE(items.back()->NewTempFileName(), nullptr);
            names.insert(items.back()->GetTempPath());
        }
        EXPECT_EQ(names.size(), 300u);
        EXPECT_EQ(names.count(taken), 0u);
    }
    EXPECT_EQ(SoundFileBytes(taken), Bytes({'k', 'e', 'e', 'p'}));
    DeleteFileA(taken.c_str());
}

TEST_F(SoundItemTest, LoadFromFileCopiesAndMeasures)
{
    std::unique_ptr<CSoundItem> source(MakeItem({9, 9, 9}, "src"));
    CFixedLengthItem item;
    item.SetExtension("wav");
    ASSERT_TRUE(item.LoadFromFile(source->GetTempPath().c_str()));
    EXPECT_EQ(item.m_duration, 1.5);
    EXPECT_NE(item.GetTempPath(), source->GetTempPath());
    EXPECT_EQ(SoundFileBytes(item.GetTempPath()), Bytes({9, 9, 9}));
    const std::string first = item.GetTempPath();
    EXPECT_FALSE(item.LoadFromFile((temp.Path() + "\\missing.wav").c_str()));
    EXPECT_EQ(item.GetTempPath(), first) << "a missing source leaves the item as it was";
}

}  // namespace
