#include "SaveToViewer.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

using namespace testfiles;

namespace {

std::string Template(const char* name = "reswriter_template.exe") { return BinFolder() + "\\" + name; }

struct Recorded
{
    std::vector<UserMessage> messages;
    MessageSink Sink()
    {
        return [this](const UserMessage& m) { messages.push_back(m); };
    }
};

CardSaver SaverOf(const Bytes& card, std::string* savedTo = nullptr)
{
    return [card, savedTo](const char* path) {
        if (savedTo)
            *savedTo = path;
        Write(path, card);
        return true;
    };
}

TEST(SaveCardToViewer, WritesTheCardAndDeletesTheTemporaryFile)
{
    CScratchFolder folder;
    const int temporaryBefore = CountTemporaryCards();
    std::string savedTo;
    Recorded recorded;
    const Bytes card = Pattern(600000);

    EXPECT_TRUE(SaveCardToViewer(Template().c_str(), folder.File("viewer.exe").c_str(), SaverOf(card, &savedTo),
                                 recorded.Sink()));
    EXPECT_TRUE(recorded.messages.empty());
    EXPECT_NE(savedTo.find("afx"), std::string::npos) << savedTo;
    EXPECT_FALSE(Exists(savedTo)) << "temporary card file left behind";
    EXPECT_EQ(CountTemporaryCards(), temporaryBefore);

    Bytes joined;
    for (const Chunk& chunk : ReadCardChunks(folder.File("viewer.exe")))
        joined.insert(joined.end(), chunk.bytes.begin(), chunk.bytes.end());
    EXPECT_TRUE(joined == card);
}

struct RoadFailure
{
    const char* label;
    std::string templatePath;
    bool saveSucceeds;
    bool targetInMissingFolder;
    UINT expectedMessage;
};

class SaveCardToViewerFailures : public ::testing::TestWithParam<RoadFailure> {};

TEST_P(SaveCardToViewerFailures, ReportsOnceAndCleansUp)
{
    const RoadFailure& c = GetParam();
    CScratchFolder folder;
    const int temporaryBefore = CountTemporaryCards();
    const std::string target = c.targetInMissingFolder ? folder.File("missing\\viewer.exe") : folder.File("viewer.exe");
    Recorded recorded;
    CardSaver saver = c.saveSucceeds ? SaverOf(Pattern(100)) : CardSaver([](const char*) { return false; });

    EXPECT_FALSE(SaveCardToViewer(c.templatePath.c_str(), target.c_str(), saver, recorded.Sink())) << c.label;
    ASSERT_EQ(recorded.messages.size(), 1u) << c.label;
    EXPECT_EQ(recorded.messages[0].id, c.expectedMessage) << c.label;
    EXPECT_FALSE(Exists(target)) << c.label;
    EXPECT_EQ(CountTemporaryCards(), temporaryBefore) << c.label << ": temporary card file left behind";
    if (c.expectedMessage == kMsgViewerTemplateMissing)
        EXPECT_EQ(recorded.messages[0].argument, c.templatePath);
    if (c.expectedMessage == kMsgViewerCopyCaption)
        EXPECT_NE(recorded.messages[0].systemError, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Road, SaveCardToViewerFailures,
    ::testing::Values(RoadFailure{"template missing", Template("absentViewer.emp"), true, false,
                                  kMsgViewerTemplateMissing},
                      RoadFailure{"card not saved", Template(), false, false, kMsgCardSaveFailed},
                      RoadFailure{"copy fails", Template(), true, true, kMsgViewerCopyCaption},
                      RoadFailure{"resource update cannot start", Template("reswriter_template_relocs.exe"), true,
                                  false, kMsgViewerCopyNotWritten}));

TEST(UserMessageText, TemplatePathFillsTheMessage)
{
    UserMessage message;
    message.id = kMsgViewerTemplateMissing;
    message.argument = "C:\\Cards\\FestoonViewer.emp";
    EXPECT_NE(UserMessageText(message).find("C:\\Cards\\FestoonViewer.emp"), std::string::npos);
    message.id = kMsgViewerCopyCaption;
    message.systemError = ERROR_PATH_NOT_FOUND;
    EXPECT_FALSE(UserMessageText(message).empty());
}

}  // namespace
