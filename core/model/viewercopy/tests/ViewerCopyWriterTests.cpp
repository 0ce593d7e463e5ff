#include "TestFiles.h"
#include "ViewerCopyWriter.h"

#include <gtest/gtest.h>

using namespace testfiles;

namespace {

std::string Template(const char* name = "reswriter_template.exe") { return BinFolder() + "\\" + name; }

struct ChunkCase
{
    size_t cardSize;
    std::vector<size_t> chunkSizes;
};

class ViewerCopyChunks : public ::testing::TestWithParam<ChunkCase> {};

TEST_P(ViewerCopyChunks, CardIsCutIntoNamedChunksOfLanguageZero)
{
    CScratchFolder folder;
    const Bytes card = Pattern(GetParam().cardSize);
    Write(folder.File("card.crd"), card);

    const ViewerCopyResult result =
        WriteViewerCopy(Template().c_str(), folder.File("card.crd").c_str(), folder.File("viewer.exe").c_str());
    ASSERT_EQ(result.status, ViewerCopyStatus::kWritten);
    EXPECT_EQ(result.chunks, GetParam().chunkSizes.size());

    const std::vector<Chunk> chunks = ReadCardChunks(folder.File("viewer.exe"));
    ASSERT_EQ(chunks.size(), GetParam().chunkSizes.size());
    Bytes joined;
    for (size_t i = 0; i < chunks.size(); ++i) {
        EXPECT_EQ(chunks[i].bytes.size(), GetParam().chunkSizes[i]) << "chunk " << i + 1;
        EXPECT_EQ(chunks[i].language, 0) << "chunk " << i + 1;
        joined.insert(joined.end(), chunks[i].bytes.begin(), chunks[i].bytes.end());
    }
    EXPECT_TRUE(joined == card);
}

INSTANTIATE_TEST_SUITE_P(CardSizes, ViewerCopyChunks,
                         ::testing::Values(ChunkCase{10, {10}}, ChunkCase{499999, {499999}},
                                           ChunkCase{500000, {500000}}, ChunkCase{500001, {500000, 1}},
                                           ChunkCase{1000000, {500000, 500000}},
                                           ChunkCase{1000001, {500000, 500000, 1}}));

TEST(ViewerCopyWriter, CopyKeepsTheTemplatesOwnResources)
{
    CScratchFolder folder;
    Write(folder.File("card.crd"), Pattern(1234));
    ASSERT_EQ(WriteViewerCopy(Template().c_str(), folder.File("card.crd").c_str(), folder.File("viewer.exe").c_str())
                  .status,
              ViewerCopyStatus::kWritten);
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    std::string command = "\"" + folder.File("viewer.exe") + "\" check";
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    DWORD exitCode = 99;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    EXPECT_EQ(exitCode, 0u) << "the copy no longer finds its own resources";
}

TEST(ViewerCopyWriter, ExistingTargetIsOverwritten)
{
    CScratchFolder folder;
    Write(folder.File("card.crd"), Pattern(77));
    Write(folder.File("viewer.exe"), Pattern(5000));
    ASSERT_EQ(WriteViewerCopy(Template().c_str(), folder.File("card.crd").c_str(), folder.File("viewer.exe").c_str())
                  .status,
              ViewerCopyStatus::kWritten);
    const std::vector<Chunk> chunks = ReadCardChunks(folder.File("viewer.exe"));
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_TRUE(chunks[0].bytes == Pattern(77));
}

struct FailureCase
{
    const char* label;
    std::string templatePath;
    bool writeCard;
    size_t cardSize;
    bool targetInMissingFolder;
    ViewerCopyStatus expected;
};

class ViewerCopyFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ViewerCopyFailures, NothingHalfMadeIsLeftBehind)
{
    const FailureCase& c = GetParam();
    CScratchFolder folder;
    if (c.writeCard)
        Write(folder.File("card.crd"), Pattern(c.cardSize));
    const std::string target = c.targetInMissingFolder ? folder.File("missing\\viewer.exe") : folder.File("viewer.exe");
    const Bytes templateBefore = Exists(c.templatePath) ? Read(c.templatePath) : Bytes();

    const ViewerCopyResult result =
        WriteViewerCopy(c.templatePath.c_str(), folder.File("card.crd").c_str(), target.c_str());
    EXPECT_EQ(result.status, c.expected) << c.label;
    EXPECT_EQ(result.chunks, 0u) << c.label;
    EXPECT_FALSE(Exists(target)) << c.label << ": a viewer program without its card was left behind";
    if (Exists(c.templatePath)) {
        EXPECT_TRUE(Read(c.templatePath) == templateBefore) << c.label << ": the template changed";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ViewerCopyFailures,
    ::testing::Values(
        FailureCase{"missing template", Template("no_such_template.emp"), true, 10, false,
                    ViewerCopyStatus::kTemplateMissing},
        FailureCase{"missing card", Template(), false, 0, false, ViewerCopyStatus::kCardUnreadable},
        FailureCase{"empty card", Template(), true, 0, false, ViewerCopyStatus::kCardUnreadable},
        FailureCase{"target folder missing", Template(), true, 10, true, ViewerCopyStatus::kCopyFailed},
        FailureCase{"resources followed by relocations", Template("reswriter_template_relocs.exe"), true, 10, false,
                    ViewerCopyStatus::kUpdateNotStarted}));

TEST(ViewerCopyWriter, TemplateThatIsNotAProgramGivesNoCopy)
{
    CScratchFolder folder;
    Write(folder.File("card.crd"), Pattern(10));
    Write(folder.File("template.emp"), Pattern(4096));
    const ViewerCopyResult result = WriteViewerCopy(folder.File("template.emp").c_str(),
                                                    folder.File("card.crd").c_str(), folder.File("viewer.exe").c_str());
    EXPECT_EQ(result.status, ViewerCopyStatus::kUpdateNotStarted);
    EXPECT_FALSE(Exists(folder.File("viewer.exe")));
}

TEST(ViewerCopyWriter, TemplateNameFollowsTheProgramModule)
{
    char module[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string expected(module);
    expected = expected.substr(0, expected.find_last_of('.')) + "Viewer.emp";
    EXPECT_EQ(GetEmptyViewerName(nullptr), expected);
    EXPECT_NE(GetEmptyViewerName(nullptr).find("viewercopy_testsViewer.emp"), std::string::npos);
}

}  // namespace
