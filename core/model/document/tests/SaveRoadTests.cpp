// The roads a save takes, in one table: an untitled card, a card opened read-only (its file still
// read-only, or made writable since), and a copy saved as a viewer program. Each row checks the
// result, the read-only flag, the document's path, the messages and the files on disk.
#include <gtest/gtest.h>

#include <memory>

#include "CardControls.h"
#include "CardFixtures.h"
#include "TarnDocViewerCopy.h"
#include "TarnSite.h"
#include "TarnStrings.h"

namespace {

enum class Start { untitled, readOnlyFile, madeWritable };
enum class Act { save, viewerCopy };
enum class Choice { cancel, newName, ownName };
enum class PathAfter { empty, own, chosen };

struct SaveRoadCase {
    const char* name;
    Start start;
    Act act;
    int answer;      // to the read-only question
    Choice choice;   // in the file dialog
    BOOL result;
    BOOL readOnlyAfter;
    PathAfter pathAfter;
    std::vector<unsigned> messages;  // string ids, in order
    bool ownFileUnchanged;
    bool chosenFileWritten;
};

std::string BinFolder()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The text a message id gives, as the document formats it (the read-only question names the file).
std::string MessageText(unsigned id, const std::string& path)
{
    CString text;
    text.Format(static_cast<LPCSTR>(TarnString(id)), path.c_str());
    return static_cast<LPCSTR>(text);
}

class SaveRoads : public ::testing::TestWithParam<SaveRoadCase> {
protected:
    void SetUp() override { ASSERT_TRUE(RegisterCompressedStorage()); }
};

TEST_P(SaveRoads, FlagsPathAndFilesAreAsTheRoadSays)
{
    const SaveRoadCase& c = GetParam();
    const std::string own = TempCardPath("own");
    const std::string chosen = TempCardPath("chosen");
    auto doc = std::make_unique<CTestCardDoc>();
    if (c.start == Start::untitled) {
        ASSERT_TRUE(doc->OnNewDocument());
        doc->SetTitle("Birthday card #2");
        FillSampleCard(*doc, 2);
    } else {
        {
            CTestCardDoc writer;
            ASSERT_TRUE(writer.OnNewDocument());
            writer.m_bRemember = FALSE;
            FillSampleCard(writer, 2);
            ASSERT_TRUE(writer.OnSaveDocument(own.c_str()));
        }
        SetFileAttributesA(own.c_str(), FILE_ATTRIBUTE_READONLY);
        // Another program reading the file while it opens makes the card open read-only also
        // where the read-only attribute alone doesn't keep writers out.
        HANDLE reader = CreateFileA(own.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, reader);
        const BOOL opened = doc->OnOpenDocument(own.c_str());
        CloseHandle(reader);
        ASSERT_TRUE(opened);
        doc->SetPathName(own.c_str(), FALSE);
        ASSERT_TRUE(doc->IsReadOnly()) << "a read-only file opens read-only";
        if (c.start == Start::madeWritable)
            SetFileAttributesA(own.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    const auto ownBefore = Exists(own) ? FileBytes(own) : std::vector<unsigned char>();
    doc->messageAnswer = c.answer;
    doc->chosenName = c.choice == Choice::newName ? chosen : c.choice == Choice::ownName ? own : std::string();

    BOOL result = FALSE;
    if (c.act == Act::save) {
        result = doc->DoFileSave();
    } else {
        const std::string program = BinFolder() + "\\reswriter_template.exe";
        result = SaveDocumentToViewer(*doc, chosen.c_str(), program.c_str());
    }

    EXPECT_EQ(c.result, result);
    EXPECT_EQ(c.readOnlyAfter, doc->IsReadOnly());
    const std::string expectedPath = c.pathAfter == PathAfter::empty ? std::string()
                                     : c.pathAfter == PathAfter::own ? own
                                                                     : chosen;
    EXPECT_STREQ(expectedPath.c_str(), static_cast<LPCSTR>(doc->GetPathName()));
    std::vector<std::string> expectedMessages;
    for (unsigned id : c.messages)
        expectedMessages.push_back(MessageText(id, own));
    EXPECT_EQ(expectedMessages, doc->messages);
    if (c.ownFileUnchanged) {
        EXPECT_EQ(ownBefore, FileBytes(own));
    }
    EXPECT_EQ(c.chosenFileWritten, Exists(chosen));
    if (c.start == Start::untitled && c.act == Act::save) {
        // The dialog offers the title up to its first blank, in no folder without options.
        ASSERT_EQ(1u, doc->prompts.size());
        EXPECT_EQ("Birthday", doc->prompts[0]);
    }

    doc.reset();
    SetFileAttributesA(own.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(own.c_str());
    DeleteFileA(chosen.c_str());
}

const unsigned kAsk = kIdsReadOnlySaveAs;
const unsigned kSameName = kIdsReadOnlySameName;

INSTANTIATE_TEST_SUITE_P(
    Table, SaveRoads,
    ::testing::Values(
        SaveRoadCase{"UntitledTakesTheChosenName", Start::untitled, Act::save, IDOK, Choice::newName, TRUE, FALSE,
                     PathAfter::chosen, {}, false, true},
        SaveRoadCase{"UntitledCancelled", Start::untitled, Act::save, IDOK, Choice::cancel, FALSE, FALSE,
                     PathAfter::empty, {}, false, false},
        SaveRoadCase{"ReadOnlyOkSavesUnderANewName", Start::readOnlyFile, Act::save, IDOK, Choice::newName, TRUE,
                     FALSE, PathAfter::chosen, {kAsk}, true, true},
        SaveRoadCase{"ReadOnlyCancelLeavesItAsItIs", Start::readOnlyFile, Act::save, IDCANCEL, Choice::newName,
                     FALSE, TRUE, PathAfter::own, {kAsk}, true, false},
        SaveRoadCase{"ReadOnlyOkButDialogCancelled", Start::readOnlyFile, Act::save, IDOK, Choice::cancel, FALSE,
                     TRUE, PathAfter::own, {kAsk}, true, false},
        SaveRoadCase{"ReadOnlyOntoItsOwnFileIsRefused", Start::readOnlyFile, Act::save, IDOK, Choice::ownName, FALSE,
                     TRUE, PathAfter::own, {kAsk, kSameName}, true, false},
        SaveRoadCase{"MadeWritableIsReopenedAndSaved", Start::madeWritable, Act::save, IDOK, Choice::cancel, TRUE,
                     FALSE, PathAfter::own, {}, false, false},
        SaveRoadCase{"ViewerCopyOfAReadOnlyCardKeepsItReadOnly", Start::readOnlyFile, Act::viewerCopy, IDOK,
                     Choice::cancel, TRUE, TRUE, PathAfter::own, {}, true, true},
        SaveRoadCase{"ViewerCopyOfAnUntitledCardKeepsItUntitled", Start::untitled, Act::viewerCopy, IDOK,
                     Choice::cancel, TRUE, FALSE, PathAfter::empty, {}, false, true}),
    [](const ::testing::TestParamInfo<SaveRoadCase>& info) { return std::string(info.param.name); });

// While a viewer copy is written every control of every site stores its viewer form; afterwards
// the controls are back to their own form.
TEST(SaveForViewer, EveryControlSeesTheFlagOnlyWhileTheCopyIsWritten)
{
    ASSERT_TRUE(RegisterCompressedStorage());
    CTestCardDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    doc.m_bRemember = FALSE;
    FillSampleCard(doc, 2);
    const std::string program = TempCardPath("viewer");
    ASSERT_TRUE(SaveDocumentToViewer(doc, program.c_str(), (BinFolder() + "\\reswriter_template.exe").c_str()));
    int controls = 0;
    for (int s = 0; s < doc.GetSiteNumber(); ++s) {
        CTarnSite* site = doc.GetSiteByIndex(s);
        for (int i = 0; i < site->GetControlCount(); ++i, ++controls) {
            EXPECT_EQ(1, SavedForViewerOf(site->GetControlAt(i))) << s << "/" << i;
            LONG now = -1;
            site->GetControlAt(i)->get_SaveForViewer(&now);
            EXPECT_EQ(0, now) << s << "/" << i;
        }
    }
    EXPECT_EQ(6, controls);
    EXPECT_EQ(0, doc.GetFlag_SaveForViewer());

    // An ordinary save stores the controls' own form.
    const std::string card = TempCardPath("plain");
    ASSERT_TRUE(doc.OnSaveDocument(card.c_str()));
    EXPECT_EQ(0, SavedForViewerOf(doc.GetSiteByIndex(0)->GetControlAt(0)));
    DeleteFileA(program.c_str());
    DeleteFileA(card.c_str());
}

}  // namespace
