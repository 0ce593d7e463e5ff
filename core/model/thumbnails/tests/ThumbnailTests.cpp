// The "Thumbnails" records: their stored form, their extension lists and damaged input.
#include <gtest/gtest.h>

#include <cstring>

#include "ClException.h"
#include "StreamHelpers.h"
#include "TarnThumbnail.h"

namespace {

std::vector<unsigned char> WriteBoth(CTarnThumbnail& thumbnail)
{
    return ArchiveBytes([&](CArchive& ar) {
        thumbnail.Serialize(ar);
        thumbnail.SerializeEx(ar);
    });
}

bool ReadBoth(const std::vector<unsigned char>& bytes, CTarnThumbnail& thumbnail)
{
    try {
        ReadArchive(bytes, [&](CArchive& ar) {
            thumbnail.Serialize(ar);
            thumbnail.SerializeEx(ar);
        });
    } catch (CException* e) {
        e->Delete();
        return false;
    }
    return true;
}

TEST(Thumbnail, EmptyDescriptionAndNoImage)
{
    CTarnThumbnail thumbnail;
    const auto bytes = WriteBoth(thumbnail);
    // L = 1, one NUL, S = 0, then the extension list's terminator.
    const std::vector<unsigned char> expected = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(expected, bytes);
}

TEST(Thumbnail, SiteSizeKindCarriesTheAreaAndReadsItBack)
{
    CSiteSizeThumbnail thumbnail;
    thumbnail.m_description = "panel";
    thumbnail.m_image = {1, 2, 3};
    thumbnail.m_width = 4.25;
    thumbnail.m_height = 5.5;
    const auto bytes = WriteBoth(thumbnail);
    // 4 + 6 + 4 + 3 bytes of main record, then 36 bytes of extension list.
    ASSERT_EQ(17u + 36u, bytes.size());
    CSiteSizeThumbnail loaded;
    ASSERT_TRUE(ReadBoth(bytes, loaded));
    EXPECT_EQ(4.25, loaded.m_width);
    EXPECT_EQ(5.5, loaded.m_height);
    EXPECT_EQ(thumbnail.m_image, loaded.m_image);
    EXPECT_EQ(0, std::strncmp(loaded.m_description, "4.25 x 5.5", 10));
}

TEST(Thumbnail, WithoutHeightTheDescriptionStays)
{
    CTarnThumbnail plain;
    plain.m_description = "stored";
    auto bytes = ArchiveBytes([&](CArchive& ar) {
        plain.Serialize(ar);
        const double width = 2.0;
        ar << DWORD(0x40000001) << DWORD(8) << width << DWORD(0);
    });
    CSiteSizeThumbnail loaded;
    ASSERT_TRUE(ReadBoth(bytes, loaded));
    EXPECT_STREQ("stored", loaded.m_description);
    EXPECT_EQ(2.0, loaded.m_width);
}

TEST(Thumbnail, SizesBeyondTheStreamAreRefused)
{
    CSiteSizeThumbnail thumbnail;
    thumbnail.m_description = "x";
    thumbnail.m_image = {9, 9};
    const auto bytes = WriteBoth(thumbnail);
    struct Case {
        size_t at;
        DWORD value;
    } cases[] = {{0, 0x7FFFFFFF}, {6, 0xFFFFFFFF}, {16, 0x10000000}};
    for (const Case& c : cases) {
        auto damaged = bytes;
        std::memcpy(&damaged[c.at], &c.value, 4);
        CSiteSizeThumbnail loaded;
        EXPECT_FALSE(ReadBoth(damaged, loaded)) << c.at;
    }
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        CSiteSizeThumbnail loaded;
        EXPECT_FALSE(ReadBoth(std::vector<unsigned char>(bytes.begin(), bytes.begin() + cut), loaded)) << cut;
    }
}

}  // namespace
