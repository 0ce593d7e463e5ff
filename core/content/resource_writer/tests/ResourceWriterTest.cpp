#include "ResourceUpdate.h"
#include "ResourceUpdateFile.h"
#include "TestProgramFile.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

namespace
{
const UINT kCardType = 21359;
const size_t kPiece = 500000;

using ResourceId = std::tuple<std::wstring, std::wstring, WORD>;
using ResourceContents = std::map<ResourceId, std::vector<BYTE>>;

std::wstring KeyText(const CResourceKey& key)
{
    return key.IsNamed() ? key.Name() : L"#" + std::to_wstring(key.Id());
}

// Everything the writer reads back from a program, without changing it.
ResourceContents ReadContents(const std::string& path)
{
    ResourceContents contents;
    CResourceUpdate* update = BeginUpdateResourceFile(path.c_str(), 0);
    if (!update)
        return contents;
    for (const auto& [type, names] : update->Tree().Types())
        for (const auto& [name, languages] : names)
            for (const auto& [language, data] : languages)
                contents[ResourceId(KeyText(type), KeyText(name), language)] = data.bytes;
    EndUpdateResourceFile(update, 1);
    return contents;
}

ResourceContents WithoutType(ResourceContents contents, const std::wstring& type)
{
    for (auto it = contents.begin(); it != contents.end();)
        it = std::get<0>(it->first) == type ? contents.erase(it) : std::next(it);
    return contents;
}

// Cuts a card into pieces the way the save-as-viewer command does.
bool StoreCard(const std::string& program, const std::vector<BYTE>& card)
{
    CResourceUpdate* update = BeginUpdateResourceFile(program.c_str(), 0);
    if (!update)
        return false;
    bool ok = true;
    UINT name = 1;
    for (size_t at = 0; at < card.size(); at += kPiece, ++name)
    {
        const DWORD size = DWORD(std::min(kPiece, card.size() - at));
        ok = UpdateResourceFile(update, kCardType, name, 0, card.data() + at, size) && ok;
    }
    return EndUpdateResourceFile(update, ok ? 0 : 1) && ok;
}

// What every rewritten program must satisfy, whatever it holds.
void ExpectConsistentHeaders(const std::vector<BYTE>& image)
{
    const ProgramLayout layout = ParseLayout(image);
    ASSERT_GE(layout.resourceIndex, 0);
    const IMAGE_SECTION_HEADER& resources = layout.Resources();
    const DWORD alignment = layout.SectionAlignment();
    EXPECT_EQ(image.size(), size_t(resources.PointerToRawData) + resources.SizeOfRawData);
    EXPECT_EQ(resources.Misc.VirtualSize, resources.SizeOfRawData);
    EXPECT_EQ(layout.Directory(IMAGE_DIRECTORY_ENTRY_RESOURCE).Size, resources.SizeOfRawData);
    EXPECT_EQ(layout.Directory(IMAGE_DIRECTORY_ENTRY_RESOURCE).VirtualAddress, resources.VirtualAddress);
    EXPECT_EQ(resources.SizeOfRawData % alignment, 0u);
    EXPECT_EQ(layout.SizeOfImage(), resources.VirtualAddress + resources.SizeOfRawData);
    EXPECT_EQ(layout.SizeOfImage() % alignment, 0u);
    EXPECT_EQ(layout.CheckSum(), 0u);
}

class ResourceWriterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        templateBytes = ReadBytes(TemplatePath());
        WriteBytes(program, templateBytes);
        templateContents = ReadContents(program);
        ASSERT_FALSE(templateContents.empty());
    }

    std::vector<BYTE> DumpCard()
    {
        const std::string out = folder.Path("card.out");
        DeleteFileA(out.c_str());
        EXPECT_EQ(RunProgram(program, "dump \"" + out + "\""), 0);
        return ReadBytes(out);
    }

    ScratchFolder folder;
    std::string program = folder.Path("viewer copy.exe");
    std::vector<BYTE> templateBytes;
    ResourceContents templateContents;
};
} // namespace

TEST_F(ResourceWriterTest, TemplateHasItsOwnResourcesInEveryForm)
{
    // The fixture itself must cover what the writer keeps: two languages of one name and a named resource.
    EXPECT_TRUE(templateContents.count(ResourceId(L"#10", L"#101", 1033)));
    EXPECT_TRUE(templateContents.count(ResourceId(L"#10", L"#101", 2048)));
    EXPECT_TRUE(templateContents.count(ResourceId(L"#10", L"GREETING", 1033)));
    EXPECT_TRUE(templateContents.count(ResourceId(L"CUSTOMTYPE", L"HELLO", 1033)));
    EXPECT_TRUE(templateContents.count(ResourceId(L"#6", L"#1", 1033)));
    EXPECT_EQ(RunProgram(program, "check"), 0);
}

TEST_F(ResourceWriterTest, UpdatesThatChangeNothingLeaveTheFileByteForByte)
{
    CResourceUpdate* untouched = BeginUpdateResourceFile(program.c_str(), 0);
    ASSERT_NE(untouched, nullptr);
    EXPECT_TRUE(EndUpdateResourceFile(untouched, 0));
    EXPECT_EQ(ReadBytes(program), templateBytes);

    CResourceUpdate* discarded = BeginUpdateResourceFile(program.c_str(), 0);
    ASSERT_NE(discarded, nullptr);
    const std::vector<BYTE> piece = PatternBytes(1000, 1);
    EXPECT_TRUE(UpdateResourceFile(discarded, kCardType, 1, 0, piece.data(), DWORD(piece.size())));
    EXPECT_TRUE(EndUpdateResourceFile(discarded, 1));
    EXPECT_EQ(ReadBytes(program), templateBytes);
}

class StoredCardTest : public ResourceWriterTest, public ::testing::WithParamInterface<size_t>
{
};

TEST_P(StoredCardTest, CopyRunsAndReadsItsCardBack)
{
    const std::vector<BYTE> card = PatternBytes(GetParam(), unsigned(GetParam()));
    ASSERT_TRUE(StoreCard(program, card));

    const std::vector<BYTE> image = ReadBytes(program);
    ExpectConsistentHeaders(image);
    const ResourceContents contents = ReadContents(program);
    EXPECT_EQ(WithoutType(contents, L"#21359"), templateContents);
    const size_t pieces = (card.size() + kPiece - 1) / kPiece;
    for (size_t i = 0; i < pieces; ++i)
    {
        const auto found = contents.find(ResourceId(L"#21359", L"#" + std::to_wstring(i + 1), 0));
        ASSERT_NE(found, contents.end()) << "piece " << i + 1;
        EXPECT_EQ(found->second.size(), std::min(kPiece, card.size() - i * kPiece));
    }
    EXPECT_EQ(contents.size(), templateContents.size() + pieces);

    EXPECT_EQ(DumpCard(), card);
    EXPECT_EQ(RunProgram(program, "check"), 0);
}

INSTANTIATE_TEST_SUITE_P(CardSizes, StoredCardTest, ::testing::Values(1, 4095, 4096, 500000, 1000000, 1234567));

TEST_F(ResourceWriterTest, SecondPieceWithTheSameKeysIsRefusedAndTheFirstStays)
{
    const std::vector<BYTE> first = PatternBytes(300, 1), second = PatternBytes(500, 2);
    CResourceUpdate* update = BeginUpdateResourceFile(program.c_str(), 0);
    ASSERT_NE(update, nullptr);
    EXPECT_TRUE(UpdateResourceFile(update, kCardType, 1, 0, first.data(), DWORD(first.size())));
    SetLastError(0);
    EXPECT_FALSE(UpdateResourceFile(update, kCardType, 1, 0, second.data(), DWORD(second.size())));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_TRUE(EndUpdateResourceFile(update, 0));
    EXPECT_EQ(DumpCard(), first);
}

TEST_F(ResourceWriterTest, KeysAreTakenByTheirLow16Bits)
{
    const std::vector<BYTE> piece = PatternBytes(64, 3);
    CResourceUpdate* update = BeginUpdateResourceFile(program.c_str(), 0);
    ASSERT_NE(update, nullptr);
    EXPECT_TRUE(UpdateResourceFile(update, 0x10000 + kCardType, 0x20001, 0x30000, piece.data(), DWORD(piece.size())));
    EXPECT_TRUE(EndUpdateResourceFile(update, 0));
    EXPECT_EQ(ReadContents(program).at(ResourceId(L"#21359", L"#1", 0)), piece);
}

TEST_F(ResourceWriterTest, RewritingAWrittenCopyKeepsEveryResource)
{
    const std::vector<BYTE> card = PatternBytes(1000000, 7), extra = PatternBytes(12345, 8);
    ASSERT_TRUE(StoreCard(program, card));
    const ResourceContents before = ReadContents(program);

    CResourceUpdate* update = BeginUpdateResourceFile(program.c_str(), 0);
    ASSERT_NE(update, nullptr);
    EXPECT_TRUE(UpdateResourceFile(update, 21360, 5, 1033, extra.data(), DWORD(extra.size())));
    EXPECT_TRUE(EndUpdateResourceFile(update, 0));

    ResourceContents expected = before;
    expected[ResourceId(L"#21360", L"#5", 1033)] = extra;
    EXPECT_EQ(ReadContents(program), expected);
    ExpectConsistentHeaders(ReadBytes(program));
    EXPECT_EQ(DumpCard(), card);
    EXPECT_EQ(RunProgram(program, "check"), 0);
}

TEST_F(ResourceWriterTest, DiscardingExistingResourcesShrinksTheImage)
{
    ASSERT_TRUE(StoreCard(program, PatternBytes(1234567, 9)));
    const DWORD grownImage = ParseLayout(ReadBytes(program)).SizeOfImage();

    const std::vector<BYTE> small = PatternBytes(10, 10);
    CResourceUpdate* update = BeginUpdateResourceFile(program.c_str(), 1);
    ASSERT_NE(update, nullptr);
    EXPECT_TRUE(UpdateResourceFile(update, kCardType, 1, 0, small.data(), DWORD(small.size())));
    EXPECT_TRUE(EndUpdateResourceFile(update, 0));

    const std::vector<BYTE> image = ReadBytes(program);
    ExpectConsistentHeaders(image);
    EXPECT_LT(ParseLayout(image).SizeOfImage(), grownImage);
    EXPECT_LT(image.size(), templateBytes.size() + 4096 * 2);
    EXPECT_EQ(ReadContents(program).size(), 1u);
    EXPECT_EQ(DumpCard(), small);
}

TEST_F(ResourceWriterTest, FilesThatCannotBeOpenedAreLeftAlone)
{
    EXPECT_EQ(BeginUpdateResourceFile(folder.Path("missing.exe").c_str(), 0), nullptr);
    EXPECT_EQ(BeginUpdateResourceFile(nullptr, 0), nullptr);

    const std::string readOnly = folder.Path("read only.exe");
    WriteBytes(readOnly, templateBytes);
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    // An administrator may write read-only files anyway; then there is nothing to refuse.
    HANDLE writable = CreateFileA(readOnly.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (writable == INVALID_HANDLE_VALUE)
        EXPECT_EQ(BeginUpdateResourceFile(readOnly.c_str(), 0), nullptr);
    else
        CloseHandle(writable);

    HANDLE holder = CreateFileA(program.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(BeginUpdateResourceFile(program.c_str(), 0), nullptr);
    CloseHandle(holder);
    EXPECT_EQ(ReadBytes(program), templateBytes);

    // While an update is open, the file is locked against everyone else.
    CResourceUpdate* update = BeginUpdateResourceFile(program.c_str(), 0);
    ASSERT_NE(update, nullptr);
    EXPECT_EQ(CreateFileA(program.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_TRUE(EndUpdateResourceFile(update, 1));
}

TEST(ResourceUpdateHandle, NullHandlesAreRefused)
{
    const BYTE byte = 0;
    EXPECT_FALSE(UpdateResourceFile(nullptr, kCardType, 1, 0, &byte, 1));
    EXPECT_FALSE(EndUpdateResourceFile(nullptr, 0));
}
