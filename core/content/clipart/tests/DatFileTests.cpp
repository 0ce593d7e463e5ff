// The library reader on fixtures from the Python writer: the rules that the line-by-line
// comparison with the Python reader (check_clipart.py) does not show on its own.
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "ClipartTestFiles.h"
#include "DatFile.h"
#include "TempFiles.h"

namespace {

std::unique_ptr<CItemType> Root(const CDatFile& file)
{
    CItemType* item = nullptr;
    EXPECT_TRUE(file.GetRootItem(item));
    return std::unique_ptr<CItemType>(item);
}

std::unique_ptr<CItemType> Child(const CDatFile& file, const CItemType* parent)
{
    CItemType* item = nullptr;
    return std::unique_ptr<CItemType>(file.GetChildItem(parent, item) ? item : nullptr);
}

std::unique_ptr<CItemType> Next(const CDatFile& file, const CItemType* node)
{
    CItemType* item = nullptr;
    return std::unique_ptr<CItemType>(file.GetNextSiblingItem(node, item) ? item : nullptr);
}

TEST(DatFileOpen, SectionCountUpTo100)
{
    CDatFile hundred;
    ASSERT_TRUE(hundred.Open(ClipartFixturePath("sections_100.dat").c_str()));
    EXPECT_TRUE(hundred.IsNewFormatFile());
    EXPECT_STREQ("Deep", hundred.GetProductName());

    CDatFile tooMany;
    SetLastError(0);
    EXPECT_FALSE(tooMany.Open(ClipartFixturePath("sections_101.dat").c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA), GetLastError());
    EXPECT_EQ(nullptr, tooMany.GetFileBase());
    CItemType* item = nullptr;
    EXPECT_FALSE(tooMany.GetRootItem(item));
}

TEST(DatFileOpen, MissingEmptyAndForeignFilesFail)
{
    CDatFile file;
    EXPECT_FALSE(file.Open("clipart_fixtures\\no such library.dat"));
    EXPECT_FALSE(file.Open(ClipartFixturePath("wrong_magic.dat").c_str()));
    EXPECT_FALSE(file.IsValidFile());
    TempFile empty("clipart_empty");
    empty.Write({});
    EXPECT_FALSE(file.Open(empty.Path().c_str()));
    // A failed open leaves nothing to walk or search.
    unsigned long* ids = nullptr;
    EXPECT_EQ(0, file.FindImages("cat", ids));
    delete[] ids;
    EXPECT_EQ(CString(), file.GetImagePath(0));
}

TEST(DatFileOpen, OldFormatIsTheKeywordTree)
{
    CDatFile file;
    ASSERT_TRUE(file.Open(ClipartFixturePath("old_format.dat").c_str()));
    EXPECT_FALSE(file.IsNewFormatFile());
    EXPECT_TRUE(file.IsValidFile());
    EXPECT_STREQ("OLD FILE FORMAT", file.GetProductName());
    auto root = Root(file);
    EXPECT_EQ(CDatFile::kKeywordLevel, root->getLevel());
    EXPECT_EQ(CString("cat"), root->getName());
    EXPECT_EQ(3u, file.GetChildItemCount(root.get()));
    auto image = Child(file, root.get());
    ASSERT_TRUE(image);
    EXPECT_EQ(CDatFile::kFileLevel, image->getLevel());
    EXPECT_EQ(CString("Picture 0"), image->getFileLabel());
    EXPECT_EQ(1000, image->getFileTime());
    EXPECT_EQ(7, image->getFileSize());
    EXPECT_EQ(file.GetFileTableSize() + file.GetKeyTableSize(),
              static_cast<unsigned long>(file.GetKeyTable() + file.GetKeyTableSize() - file.GetFileTable()));
}

TEST(DatFileOpen, EachOpenMapsItsOwnFile)
{
    // "x\lib.dat" and "x_lib.dat" would share a mapping name made from the path.
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "clipart_x";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string first = folder + "\\lib.dat", second = folder + "_lib.dat";
    CopyFileA(ClipartFixturePath("old_format.dat").c_str(), first.c_str(), FALSE);
    CopyFileA(ClipartFixturePath("two_levels.dat").c_str(), second.c_str(), FALSE);
    {
        CDatFile a, b;
        ASSERT_TRUE(a.Open(first.c_str()));
        ASSERT_TRUE(b.Open(second.c_str()));
        EXPECT_STREQ("OLD FILE FORMAT", a.GetProductName());
        EXPECT_STREQ("Clip Art Library 1", b.GetProductName());
    }
    DeleteFileA(first.c_str());
    DeleteFileA(second.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST(DatFileTree, NamesFromKeyTableAndHiddenChildren)
{
    CDatFile file;
    ASSERT_TRUE(file.Open(ClipartFixturePath("two_levels.dat").c_str()));
    auto group = Root(file);
    EXPECT_EQ(CString("Nature"), group->getName());
    auto category = Child(file, group.get());
    ASSERT_TRUE(category);
    EXPECT_EQ(1, category->getLevel());
    EXPECT_EQ(CString("cat"), category->getName());  // from the key table
    auto hidden = Next(file, category.get());
    ASSERT_TRUE(hidden);
    EXPECT_FALSE(hidden->isVisible());
    EXPECT_EQ(CString("tree"), hidden->getName());
    EXPECT_EQ(group.get(), hidden->getParent());
}

TEST(DatFileTree, SiblingsOutliveTheirParentNode)
{
    CDatFile file;
    ASSERT_TRUE(file.Open(ClipartFixturePath("two_levels.dat").c_str()));
    auto group = Root(file);
    auto first = Child(file, group.get());
    ASSERT_TRUE(first);
    group.reset();
    auto second = Next(file, first.get());
    ASSERT_TRUE(second);
    EXPECT_EQ(1, second->getIndex());
    auto third = Next(file, second.get());
    ASSERT_TRUE(third);
    EXPECT_EQ(CString("sea"), third->getName());
    EXPECT_FALSE(Next(file, third.get()));  // past the parent's three children
}

TEST(DatFileTree, KeywordImagesInAnyOrder)
{
    CDatFile file;
    ASSERT_TRUE(file.Open(ClipartFixturePath("old_format.dat").c_str()));
    std::unique_ptr<CItemType> keyword = Root(file);
    while (keyword && keyword->getName() != CString("last"))
        keyword = Next(file, keyword.get());
    ASSERT_TRUE(keyword);
    auto first = Child(file, keyword.get());
    ASSERT_TRUE(first);
    EXPECT_EQ(CString("img\\pic011.bmp"), first->getName());
    auto second = Next(file, first.get());
    ASSERT_TRUE(second);
    EXPECT_EQ(CString("img\\pic000.bmp"), second->getName());
    EXPECT_FALSE(Next(file, second.get()));
}

TEST(DatFileTree, CopiesOwnTheirAttributes)
{
    CDatFile file;
    ASSERT_TRUE(file.Open(ClipartFixturePath("old_format.dat").c_str()));
    auto root = Root(file);
    auto image = Child(file, root.get());
    ASSERT_TRUE(image);
    CItemType copy(*image);
    image.reset();
    EXPECT_EQ(CString("Picture 0"), copy.getFileLabel());
    CItemType assigned;
    assigned = copy;
    EXPECT_NE(copy.getAttribs(), assigned.getAttribs());
    EXPECT_EQ(CString("img\\pic000.bmp"), assigned.getName());
}

TEST(DatFileSearch, WholeKeywordIgnoringCase)
{
    CDatFile file;
    ASSERT_TRUE(file.Open(ClipartFixturePath("two_levels.dat").c_str()));
    struct Case { const char* keyword; int count; };
    for (const Case& c : {Case{"bird", 1}, Case{"BIRD", 1}, Case{"Black Cat", 1}, Case{"black", 0},
                          Case{"bir", 0}, Case{"", 0}, Case{"tree", 4}}) {
        unsigned long* ids = nullptr;
        EXPECT_EQ(c.count, file.FindImages(c.keyword, ids)) << c.keyword;
        ASSERT_NE(nullptr, ids) << c.keyword;
        delete[] ids;
    }
    unsigned long* ids = nullptr;
    ASSERT_EQ(1, file.FindImages("bird", ids));
    EXPECT_EQ(CString("img\\pic004.bmp"), file.GetImagePath(ids[0]));
    delete[] ids;
    EXPECT_EQ(CString(), file.GetImagePath(file.GetFileTableSize()));
    EXPECT_EQ(CString(), file.GetImagePath(0xFFFFFFF0ul));
}

} // namespace
