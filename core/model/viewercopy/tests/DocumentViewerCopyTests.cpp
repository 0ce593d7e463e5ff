#include "ClDocView.h"
#include "MailStandIn.h"
#include "SiteRecords.h"
#include "TarnDocViewerCopy.h"
#include "TarnSite.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

using namespace testfiles;

namespace {

// A card document whose messages are kept for the test instead of shown.
class CQuietCardDoc : public CTarnDoc
{
public:
    int ShowMessage(const CString& text, UINT) override
    {
        messages.push_back(static_cast<LPCSTR>(text));
        return IDOK;
    }
    std::vector<std::string> messages;
};

class DocumentViewerCopy : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_doc.OnNewDocument());
        m_doc.m_bRemember = FALSE;
        m_doc.SetSaveCompressedData(FALSE);
        m_doc.GetSiteByIndex(0)->GetProperties()->m_siteName = "Cover";
        m_doc.SetModifiedFlag(TRUE);
    }
    static std::string Template(const char* name = "reswriter_template.exe") { return BinFolder() + "\\" + name; }

    CQuietCardDoc m_doc;
    CScratchFolder m_folder;
};

TEST_F(DocumentViewerCopy, CardGoesIntoTheCopyAndTheDocumentStaysAsItWas)
{
    const std::string target = m_folder.File("Cover.exe");
    const int temporaryBefore = CountTemporaryCards();
    IStorage* root = m_doc.m_lpRootStg;
    ASSERT_TRUE(SaveDocumentToViewer(m_doc, target.c_str(), Template().c_str()));
    EXPECT_TRUE(m_doc.messages.empty());
    EXPECT_TRUE(m_doc.IsModified()) << "saving a viewer copy is not saving the card";
    EXPECT_TRUE(m_doc.GetPathName().IsEmpty());
    EXPECT_EQ(m_doc.m_lpRootStg, root) << "the document's storage was exchanged";
    EXPECT_EQ(CountTemporaryCards(), temporaryBefore);

    Bytes joined;
    for (const Chunk& chunk : ReadCardChunks(target))
        joined.insert(joined.end(), chunk.bytes.begin(), chunk.bytes.end());
    const BYTE signature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    ASSERT_GE(joined.size(), sizeof signature);
    EXPECT_TRUE(std::equal(signature, signature + sizeof signature, joined.begin())) << "not a compound file";
}

TEST_F(DocumentViewerCopy, MissingTemplateIsToldWithItsPath)
{
    const std::string missing = Template("GoneViewer.emp");
    EXPECT_FALSE(SaveDocumentToViewer(m_doc, m_folder.File("Cover.exe").c_str(), missing.c_str()));
    ASSERT_EQ(m_doc.messages.size(), 1u);
    EXPECT_NE(m_doc.messages[0].find(missing), std::string::npos) << m_doc.messages[0];
    EXPECT_FALSE(Exists(m_folder.File("Cover.exe")));
}

TEST_F(DocumentViewerCopy, TemplateThatCannotTakeTheCardLeavesNoProgram)
{
    EXPECT_FALSE(SaveDocumentToViewer(m_doc, m_folder.File("Cover.exe").c_str(),
                                      Template("reswriter_template_relocs.exe").c_str()));
    ASSERT_EQ(m_doc.messages.size(), 1u);
    EXPECT_FALSE(Exists(m_folder.File("Cover.exe")));
    EXPECT_TRUE(m_doc.IsModified());
}

TEST_F(DocumentViewerCopy, TemplateNameFollowsTheProgram)
{
    EXPECT_EQ(std::string(static_cast<LPCSTR>(GetEmptyViewerName())), GetEmptyViewerName(nullptr));
}

TEST_F(DocumentViewerCopy, UnsavedCardIsMailedAsATemporaryCopy)
{
    CMailLibrary library(BinFolder() + "\\mapi_standin.dll");
    ASSERT_EQ(library.Load(), CMailLibrary::State::kReady);
    HMODULE standIn = GetModuleHandleA("mapi_standin.dll");
    reinterpret_cast<StandInResetFn>(GetProcAddress(standIn, "StandInReset"))();
    const auto lastCall = reinterpret_cast<StandInLastCallFn>(GetProcAddress(standIn, "StandInLastCall"));
    m_doc.SetTitle("Card1");
    const int temporaryBefore = CountTemporaryCards();

    EXPECT_TRUE(SendDocumentByMail(m_doc, nullptr, nullptr, nullptr, nullptr, nullptr, "Hello", "A card", ".crd",
                                   &library));
    const StandInMailCall& call = *lastCall();
    EXPECT_EQ(call.calls, 1);
    EXPECT_EQ(call.flags, static_cast<ULONG>(MAPI_LOGON_UI | MAPI_DIALOG));
    EXPECT_EQ(call.fileName, "Card1.crd");
    EXPECT_EQ(call.subject, "Hello");
    EXPECT_EQ(call.recipientCount, 0u);
    ASSERT_GE(call.fileBytes.size(), 4u);
    EXPECT_EQ(static_cast<BYTE>(call.fileBytes[0]), 0xD0) << "the attachment is not the saved card";
    EXPECT_EQ(CountTemporaryCards(), temporaryBefore);
    EXPECT_TRUE(m_doc.IsModified());
    EXPECT_TRUE(m_doc.messages.empty());
}

TEST_F(DocumentViewerCopy, MailWithoutItsLibraryIsToldAndTheDocumentKeepsItsFile)
{
    const std::string path = m_folder.File("Card.crd");
    m_doc.m_bRemember = TRUE;
    ASSERT_TRUE(m_doc.OnSaveDocument(path.c_str()));
    m_doc.SetPathName(path.c_str(), FALSE);
    IStorage* root = m_doc.m_lpRootStg;
    CMailLibrary missing(BinFolder() + "\\no_such_mail.dll");

    EXPECT_FALSE(SendDocumentByMail(m_doc, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, ".crd",
                                    &missing));
    ASSERT_EQ(m_doc.messages.size(), 1u);
    EXPECT_EQ(m_doc.m_lpRootStg, root);
    EXPECT_TRUE(m_doc.m_bRemember);
    m_doc.GetSiteByIndex(0)->GetProperties()->m_siteName = "Renamed";
    EXPECT_TRUE(m_doc.OnSaveDocument(path.c_str())) << "the card can no longer be saved to its own file";
}

// A card document of a program whose card files end in ".crd", mailing through the stand-in.
class CMailingCardDoc : public CQuietCardDoc
{
public:
    CMailLibrary* GetMailLibrary() override { return library; }
    CMailLibrary* library = nullptr;
};

class CCardTemplate : public CSingleDocTemplate
{
public:
    CCardTemplate() : CSingleDocTemplate(0, nullptr, nullptr, nullptr)
    {
        m_strDocStrings = "Card\nCard\nCard\nCards (*.crd)\n.crd\nCard.Document\nCard Document";
    }
};

TEST(DocumentSendCommands, MailGoesOutNamedWithTheTemplatesExtension)
{
    CMailLibrary library(BinFolder() + "\\mapi_standin.dll");
    ASSERT_EQ(library.Load(), CMailLibrary::State::kReady);
    HMODULE standIn = GetModuleHandleA("mapi_standin.dll");
    reinterpret_cast<StandInResetFn>(GetProcAddress(standIn, "StandInReset"))();
    const auto lastCall = reinterpret_cast<StandInLastCallFn>(GetProcAddress(standIn, "StandInLastCall"));

    CCardTemplate cardTemplate;
    auto* doc = new CMailingCardDoc;
    doc->library = &library;
    ASSERT_TRUE(doc->OnNewDocument());
    doc->m_bRemember = FALSE;
    doc->SetSaveCompressedData(FALSE);
    cardTemplate.AddDocument(doc);
    doc->SetTitle("Card1");
    char subject[] = "Hello";
    EXPECT_TRUE(doc->SendMailTo(nullptr, nullptr, nullptr, nullptr, subject, nullptr));
    const StandInMailCall& call = *lastCall();
    EXPECT_EQ(call.calls, 1);
    EXPECT_EQ(call.fileName, "Card1.crd");
    EXPECT_EQ(call.subject, "Hello");
    EXPECT_TRUE(doc->messages.empty());
    cardTemplate.RemoveDocument(doc);
    delete doc;
}

TEST(DocumentSendCommands, ViewerCommandsAnswerLikeTheServices)
{
    CQuietCardDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    doc.m_bRemember = FALSE;
    EXPECT_EQ(std::string(static_cast<LPCSTR>(doc.GetEmptyViewerName())),
              std::string(static_cast<LPCSTR>(GetEmptyViewerName())));
    EXPECT_EQ(doc.IsCanSend(), IsDocumentMailAvailable());
    // The template beside the test program does not exist: told with its path, nothing written.
    CScratchFolder folder;
    EXPECT_FALSE(doc.OnSaveToViewer(folder.File("Cover.exe").c_str()));
    ASSERT_EQ(doc.messages.size(), 1u);
    EXPECT_NE(doc.messages[0].find(static_cast<LPCSTR>(GetEmptyViewerName())), std::string::npos) << doc.messages[0];
    EXPECT_FALSE(Exists(folder.File("Cover.exe")));
}

}  // namespace
