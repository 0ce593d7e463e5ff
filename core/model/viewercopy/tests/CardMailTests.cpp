#include "CardMail.h"
#include "MailStandIn.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

using namespace testfiles;

namespace {

// The stand-in mail library of the tests, reached by its full path so that the system's own mail library
// stays out of the way.
class MailTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_library = std::make_unique<CMailLibrary>(BinFolder() + "\\mapi_standin.dll");
        ASSERT_EQ(m_library->Load(), CMailLibrary::State::kReady);
        HMODULE standIn = GetModuleHandleA("mapi_standin.dll");
        ASSERT_NE(standIn, nullptr);
        m_lastCall = reinterpret_cast<StandInLastCallFn>(GetProcAddress(standIn, "StandInLastCall"));
        m_setResult = reinterpret_cast<StandInSetResultFn>(GetProcAddress(standIn, "StandInSetResult"));
        reinterpret_cast<StandInResetFn>(GetProcAddress(standIn, "StandInReset"))();
    }

    MessageSink Sink()
    {
        return [this](const UserMessage& m) { m_messages.push_back(m); };
    }

    std::unique_ptr<CMailLibrary> m_library;
    StandInLastCallFn m_lastCall = nullptr;
    StandInSetResultFn m_setResult = nullptr;
    std::vector<UserMessage> m_messages;
};

TEST_F(MailTest, NamedAttachmentAndRecipientReachTheMailLibrary)
{
    CScratchFolder folder;
    Write(folder.File("card.exe"), Pattern(321));
    const std::string path = folder.File("card.exe");
    MailRequest request;
    request.attachmentPath = path.c_str();
    request.attachmentTitle = "Birthday.exe";
    request.recipientName = "Ann Example";
    request.recipientAddress = "ann@example.org";
    request.subject = "A card for you";
    request.noteText = "Open the attachment.";

    EXPECT_EQ(SendCardByMail(*m_library, request, MailDocument(), Sink()), MailOutcome::kSent);
    const StandInMailCall& call = *m_lastCall();
    EXPECT_EQ(call.calls, 1);
    EXPECT_EQ(call.session, 0u);
    EXPECT_EQ(call.flags, static_cast<ULONG>(MAPI_LOGON_UI | MAPI_DIALOG));
    EXPECT_EQ(call.fileCount, 1u);
    EXPECT_EQ(call.filePosition, static_cast<ULONG>(-1));
    EXPECT_EQ(call.filePath, path);
    EXPECT_EQ(call.fileName, "Birthday.exe");
    EXPECT_TRUE(Bytes(call.fileBytes.begin(), call.fileBytes.end()) == Pattern(321));
    EXPECT_EQ(call.subject, "A card for you");
    EXPECT_EQ(call.noteText, "Open the attachment.");
    ASSERT_EQ(call.recipientCount, 1u);
    EXPECT_EQ(call.recipientClass, static_cast<ULONG>(MAPI_TO));
    EXPECT_EQ(call.recipientName, "Ann Example");
    EXPECT_EQ(call.recipientAddress, "ann@example.org");
    EXPECT_TRUE(m_messages.empty());
    EXPECT_TRUE(Exists(path)) << "a named attachment belongs to the caller";
}

TEST_F(MailTest, WithoutTextsOrRecipientsTheMessageLeavesThemOut)
{
    CScratchFolder folder;
    Write(folder.File("card.crd"), Pattern(12));
    MailDocument document;
    document.pathName = folder.File("card.crd");
    document.title = "card.crd";

    EXPECT_EQ(SendCardByMail(*m_library, MailRequest(), document, Sink()), MailOutcome::kSent);
    const StandInMailCall& call = *m_lastCall();
    EXPECT_FALSE(call.hasSubject);
    EXPECT_FALSE(call.hasNoteText);
    EXPECT_EQ(call.recipientCount, 0u);
    EXPECT_EQ(call.filePath, document.pathName) << "a saved, unmodified card is sent from its own file";
    EXPECT_EQ(call.fileName, "card.crd");
}

struct DocumentCase
{
    const char* label;
    bool saved;
    bool modified;
    const char* title;
    const char* expectedTitle;
    bool expectTemporaryCopy;
};

class MailDocumentCases : public MailTest, public ::testing::WithParamInterface<DocumentCase> {};

TEST_P(MailDocumentCases, AttachmentFollowsTheDocumentsState)
{
    const DocumentCase& c = GetParam();
    CScratchFolder folder;
    const int temporaryBefore = CountTemporaryCards();
    MailDocument document;
    if (c.saved) {
        document.pathName = folder.File("Summer.crd");
        Write(document.pathName, Pattern(40));
    }
    document.title = c.title;
    document.filterExtension = ".crd";
    document.modified = c.modified;
    int saves = 0;
    document.save = [&saves](const char* path) {
        ++saves;
        Write(path, Pattern(4321));
        return true;
    };

    EXPECT_EQ(SendCardByMail(*m_library, MailRequest(), document, Sink()), MailOutcome::kSent) << c.label;
    const StandInMailCall& call = *m_lastCall();
    EXPECT_EQ(call.fileName, c.expectedTitle) << c.label;
    EXPECT_EQ(saves, c.expectTemporaryCopy ? 1 : 0) << c.label;
    if (c.expectTemporaryCopy) {
        EXPECT_NE(call.filePath, document.pathName) << c.label;
        EXPECT_TRUE(Bytes(call.fileBytes.begin(), call.fileBytes.end()) == Pattern(4321)) << c.label;
        EXPECT_FALSE(Exists(call.filePath)) << c.label << ": temporary copy left behind";
    }
    EXPECT_EQ(CountTemporaryCards(), temporaryBefore) << c.label;
}

INSTANTIATE_TEST_SUITE_P(States, MailDocumentCases,
                         ::testing::Values(DocumentCase{"new, untouched", false, false, "Card1", "Card1.crd", true},
                                           DocumentCase{"new with a dotted title", false, true, "Card.v2", "Card.v2",
                                                        true},
                                           DocumentCase{"saved, modified", true, true, "Summer.crd", "Summer.crd",
                                                        true},
                                           DocumentCase{"saved, clean", true, false, "Summer.crd", "Summer.crd",
                                                        false}));

struct ResultCase
{
    ULONG mapiResult;
    MailOutcome expected;
    bool reported;
};

class MailResults : public MailTest, public ::testing::WithParamInterface<ResultCase> {};

TEST_P(MailResults, OnlyRealFailuresAreReported)
{
    CScratchFolder folder;
    Write(folder.File("card.crd"), Pattern(5));
    const std::string path = folder.File("card.crd");
    MailRequest request;
    request.attachmentPath = path.c_str();
    m_setResult(GetParam().mapiResult);

    const MailOutcome outcome = SendCardByMail(*m_library, request, MailDocument(), Sink());
    EXPECT_EQ(outcome, GetParam().expected);
    EXPECT_TRUE(MailWasReached(outcome));
    if (GetParam().reported) {
        ASSERT_EQ(m_messages.size(), 1u);
        EXPECT_EQ(m_messages[0].id, kMsgMailSendFailed);
    } else {
        EXPECT_TRUE(m_messages.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Results, MailResults,
                         ::testing::Values(ResultCase{SUCCESS_SUCCESS, MailOutcome::kSent, false},
                                           ResultCase{MAPI_USER_ABORT, MailOutcome::kQuietlyEnded, false},
                                           ResultCase{MAPI_E_LOGIN_FAILURE, MailOutcome::kQuietlyEnded, false},
                                           ResultCase{MAPI_E_FAILURE, MailOutcome::kSendFailed, true},
                                           ResultCase{MAPI_E_ATTACHMENT_NOT_FOUND, MailOutcome::kSendFailed, true}));

TEST_F(MailTest, OwnerIsDisabledDuringTheCallAndEnabledAfterwards)
{
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                 nullptr);
    ASSERT_NE(owner, nullptr);
    CScratchFolder folder;
    Write(folder.File("card.crd"), Pattern(5));
    const std::string path = folder.File("card.crd");
    MailRequest request;
    request.owner = owner;
    request.attachmentPath = path.c_str();

    EXPECT_EQ(SendCardByMail(*m_library, request, MailDocument(), Sink()), MailOutcome::kSent);
    EXPECT_EQ(m_lastCall()->uiParam, reinterpret_cast<ULONG_PTR>(owner));
    EXPECT_FALSE(m_lastCall()->ownerWasEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
}

TEST_F(MailTest, FailedSaveForSendingSendsNothing)
{
    MailDocument document;
    document.title = "Card1";
    document.save = [](const char*) { return false; };
    const int temporaryBefore = CountTemporaryCards();

    const MailOutcome outcome = SendCardByMail(*m_library, MailRequest(), document, Sink());
    EXPECT_EQ(outcome, MailOutcome::kNotSaved);
    EXPECT_FALSE(MailWasReached(outcome));
    EXPECT_EQ(m_lastCall()->calls, 0);
    EXPECT_TRUE(m_messages.empty()) << "the save reports its own failure";
    EXPECT_EQ(CountTemporaryCards(), temporaryBefore);
}

struct MissingLibraryCase
{
    const char* library;
    MailOutcome expected;
    UINT message;
};

class MailWithoutLibrary : public ::testing::TestWithParam<MissingLibraryCase> {};

TEST_P(MailWithoutLibrary, ReportsItsMessage)
{
    CMailLibrary library(BinFolder() + "\\" + GetParam().library);
    std::vector<UserMessage> messages;
    MailRequest request;
    request.attachmentPath = "C:\\never-read.crd";
    const MailOutcome outcome =
        SendCardByMail(library, request, MailDocument(), [&messages](const UserMessage& m) { messages.push_back(m); });
    EXPECT_EQ(outcome, GetParam().expected);
    EXPECT_FALSE(MailWasReached(outcome));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].id, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Libraries, MailWithoutLibrary,
                         ::testing::Values(MissingLibraryCase{"no_such_mail.dll", MailOutcome::kNoLibrary,
                                                              kMsgMailLoadFailed},
                                           MissingLibraryCase{"mapi_nosend.dll", MailOutcome::kNoSendMail,
                                                              kMsgMailInvalidLibrary}));

struct AvailabilityCase
{
    const char* profileValue;   // null: the value is removed
    const char* library;
    bool expected;
};

class MailAvailability : public ::testing::TestWithParam<AvailabilityCase> {};

TEST_P(MailAvailability, NeedsTheProfileSwitchAndTheLibrary)
{
    // The profile is shared by every program of the prefix: hold it while the switch is turned.
    HANDLE profileLock = CreateMutexA(nullptr, FALSE, "viewercopy_tests MAIL profile");
    ASSERT_NE(profileLock, nullptr);
    WaitForSingleObject(profileLock, INFINITE);
    char saved[32] = "";
    const bool hadValue = GetProfileStringA("MAIL", "MAPI", "", saved, sizeof saved) > 0;
    WriteProfileStringA("MAIL", "MAPI", GetParam().profileValue);
    EXPECT_EQ(ComputeMailAvailability(GetParam().library), GetParam().expected);
    WriteProfileStringA("MAIL", "MAPI", hadValue ? saved : nullptr);
    ReleaseMutex(profileLock);
    CloseHandle(profileLock);
}

INSTANTIATE_TEST_SUITE_P(Profiles, MailAvailability,
                         ::testing::Values(AvailabilityCase{"1", "mapi_standin.dll", true},
                                           AvailabilityCase{"0", "mapi_standin.dll", false},
                                           AvailabilityCase{nullptr, "mapi_standin.dll", false},
                                           AvailabilityCase{"1", "no_such_mail.dll", false}));

}  // namespace
