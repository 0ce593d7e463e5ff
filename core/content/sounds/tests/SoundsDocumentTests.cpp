// A card document's sounds: saved with the card (compressed or not), opened again, copied, and a
// damaged "Sounds" stream that costs the card nothing but its sounds.
#include <gtest/gtest.h>

#include "CardFixtures.h"
#include "SoundItem.h"
#include "SoundSourceList.h"
#include "SoundStore.h"
#include "SoundTestSupport.h"
#include "SoundsCard.h"

namespace {

class SoundsDocumentTest : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override { ASSERT_TRUE(RegisterCompressedStorage()); }
    PrivateTempFolder temp;
};

TEST_P(SoundsDocumentTest, SoundsSurviveSaveOpenAndSaveAgain)
{
    const bool compressed = GetParam();
    const std::string first = TempCardPath("sounds1");
    const std::string second = TempCardPath("sounds2");
    {
        CSoundStore expected;
        FillSampleSounds(expected);
        const size_t files = temp.Files().size();
        {
            CTestCardDoc doc;
            ASSERT_TRUE(doc.OnNewDocument());
            FillSampleCard(doc);
            FillSampleSounds(*doc.GetSoundStore());
            doc.SetSaveCompressedData(compressed);
            ASSERT_TRUE(doc.OnSaveDocument(first.c_str()));
        }
        const std::vector<unsigned char> raw = StreamBytes(first, L"Sounds");
        ASSERT_GE(raw.size(), 4u);
        EXPECT_EQ(raw[0] == 'N' && raw[1] == 'R' && raw[2] == 'A' && raw[3] == 'T', compressed);
        {
            CTestCardDoc opened;
            ASSERT_TRUE(opened.OnOpenDocument(first.c_str()));
            EXPECT_TRUE(opened.messages.empty());
            ExpectEqualStores(expected, *opened.GetSoundStore());
            EXPECT_EQ(temp.Files().size(), 2 * files) << "every loaded item has a file of its own";
            opened.SetSaveCompressedData(compressed);
            ASSERT_TRUE(opened.OnSaveDocument(second.c_str()));
            // The card's own file is saved over while its sounds came from it.
            ASSERT_TRUE(opened.OnSaveDocument(first.c_str()));
            EXPECT_TRUE(opened.messages.empty());
        }
        for (const std::string& path : {first, second}) {
            CTestCardDoc again;
            ASSERT_TRUE(again.OnOpenDocument(path.c_str()));
            ExpectEqualStores(expected, *again.GetSoundStore());
        }
        EXPECT_EQ(temp.Files().size(), files) << "the documents' items deleted their files";
    }
    EXPECT_TRUE(temp.Files().empty());
    DeleteFileA(first.c_str());
    DeleteFileA(second.c_str());
}

TEST_P(SoundsDocumentTest, ADamagedSoundsStreamCostsOnlyTheSounds)
{
    const std::string path = TempCardPath("damaged");
    {
        CTestCardDoc doc;
        ASSERT_TRUE(doc.OnNewDocument());
        FillSampleCard(doc);
        FillSampleSounds(*doc.GetSoundStore());
        doc.SetSaveCompressedData(GetParam());
        ASSERT_TRUE(doc.OnSaveDocument(path.c_str()));
    }
    // Plain bytes claiming a list count no stream can hold.
    const std::wstring wide(path.begin(), path.end());
    IStorage* storage = nullptr;
    ASSERT_EQ(StgOpenStorage(wide.c_str(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0, &storage), S_OK);
    PutStream(storage, L"Sounds", {0xFF, 0xFF, 0xFF, 0x7F, 1, 0, 0, 0});
    storage->Release();

    CTestCardDoc opened;
    ASSERT_TRUE(opened.OnOpenDocument(path.c_str()));
    EXPECT_EQ(opened.messages.size(), 1u);
    EXPECT_TRUE(opened.GetSoundStore()->IsEmpty());
    EXPECT_EQ(opened.GetSiteNumber(), 3) << "the card itself opens";
    EXPECT_TRUE(temp.Files().empty());
    DeleteFileA(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(Storage, SoundsDocumentTest, ::testing::Values(false, true));

TEST(SoundsDocument, CopiesAppendTheOtherCardsLists)
{
    PrivateTempFolder temp;
    CTestCardDoc source;
    ASSERT_TRUE(source.OnNewDocument());
    FillSampleSounds(*source.GetSoundStore());
    Append(*source.GetSoundStore()->GetList(9, stWave), MakeItem({1, 2}, nullptr));
    CTestCardDoc target;
    ASSERT_TRUE(target.OnNewDocument());
    target.CopySoundsFrom(source);
    EXPECT_EQ(target.messages.size(), 1u) << "the nameless item is reported once";
    EXPECT_EQ(target.GetSoundStore()->GetCount(), source.GetSoundStore()->GetCount());
    target.DeleteContents();
    EXPECT_TRUE(target.GetSoundStore()->IsEmpty()) << "a reused document starts without sounds";
}

}  // namespace
