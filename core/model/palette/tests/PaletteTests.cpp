#include <gtest/gtest.h>

#include <set>

#include "ColorPalette.h"
#include "PaletteBytes.h"
#include "TempFiles.h"

namespace {

TEST(PaletteFileTest, ReadsNameAndColoursInFileOrder)
{
    TempFile file("palette_ok");
    file.Write(PaletteFileBytes("TARN", "Autumn", {{0x0033CC, "Brick"}, {0xFFFFFF, ""}, {0x123456, "Odd"}}));
    ColorPalette palette;
    ASSERT_TRUE(ReadColorPaletteFile(file.Path().c_str(), palette));
    EXPECT_STREQ(palette.m_name, "Autumn");
    ASSERT_EQ(palette.m_items.size(), 3u);
    EXPECT_EQ(palette.m_items[0].color, 0x0033CCu);
    EXPECT_STREQ(palette.m_items[0].name, "Brick");
    EXPECT_EQ(palette.m_items[1].color, 0xFFFFFFu);
    EXPECT_TRUE(palette.m_items[1].name.IsEmpty());
    EXPECT_STREQ(palette.m_items[2].name, "Odd");
}

TEST(PaletteFileTest, LongNamesUseTheWideLengthPrefix)
{
    TempFile file("palette_long");
    const std::string longName(300, 'n');
    file.Write(PaletteFileBytes("TARN", longName, {{1, longName}}));
    ColorPalette palette;
    ASSERT_TRUE(ReadColorPaletteFile(file.Path().c_str(), palette));
    EXPECT_EQ(palette.m_name.GetLength(), 300);
    ASSERT_EQ(palette.m_items.size(), 1u);
    EXPECT_EQ(palette.m_items[0].name.GetLength(), 300);
}

TEST(PaletteFileTest, EmptyPaletteKeepsItsName)
{
    TempFile file("palette_empty");
    file.Write(PaletteFileBytes("TARN", "Nothing", {}));
    ColorPalette palette;
    ASSERT_TRUE(ReadColorPaletteFile(file.Path().c_str(), palette));
    EXPECT_STREQ(palette.m_name, "Nothing");
    EXPECT_TRUE(palette.m_items.empty());
}

TEST(PaletteFileTest, BadFilesAreRefusedAndLeaveNoHalfPalette)
{
    const auto good = PaletteFileBytes("TARN", "Cut", {{0x11, "one"}, {0x22, "two"}});
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
    } cases[] = {
        {"lower-case magic", PaletteFileBytes("tarn", "x", {{1, "a"}})},
        {"other magic", PaletteFileBytes("TARX", "x", {})},
        {"empty file", {}},
        {"cut in the spare bytes", std::vector<unsigned char>(good.begin(), good.begin() + 6)},
        {"cut inside the count", std::vector<unsigned char>(good.begin(), good.begin() + 12)},
        {"cut inside the last colour", std::vector<unsigned char>(good.begin(), good.end() - 2)},
        {"count larger than the colours", [] {
             auto b = PaletteFileBytes("TARN", "Liar", {{1, "a"}});
             b[12] = 0xFF;  // low byte of the count: 255 colours announced, one present
             return b;
         }()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFile file("palette_bad");
        file.Write(c.bytes);
        ColorPalette palette;
        palette.m_name = "stale";
        palette.m_items.push_back({5, "stale"});
        EXPECT_FALSE(ReadColorPaletteFile(file.Path().c_str(), palette));
        EXPECT_TRUE(palette.m_name.IsEmpty());
        EXPECT_TRUE(palette.m_items.empty());
    }
    ColorPalette palette;
    EXPECT_FALSE(ReadColorPaletteFile("Z:\\no\\such\\folder\\missing.cpl", palette));
    EXPECT_FALSE(ReadColorPaletteFile(nullptr, palette));
}

TEST(DefaultPaletteTest, HoldsNinetyNineNamedColoursThenTheCube)
{
    ColorPalette palette;
    FillDefaultColorPalette(palette);
    EXPECT_FALSE(palette.m_name.IsEmpty());
    ASSERT_EQ(palette.m_items.size(), 295u);
    struct Probe {
        size_t index;
        const char* name;
        COLORREF color;
    } const probes[] = {
        {0, "Black", 0x000000},    {5, "50% Black", 0x7F7F7F}, {10, "White", 0xFFFFFF},
        {11, "Blue", 0xFF0000},    {15, "Red", 0x0000FF},      {18, "Orange", 0x0066FF},
        {49, "Chartreuse", 0x00FF99}, {97, "Storm Blue", 0x990033}, {98, "Deep Blue", 0xCC0033},
    };
    for (const Probe& p : probes) {
        SCOPED_TRACE(p.name);
        EXPECT_STREQ(palette.m_items[p.index].name, p.name);
        EXPECT_EQ(palette.m_items[p.index].color, p.color);
    }
    std::set<COLORREF> cube;
    COLORREF previous = 0;
    for (size_t i = 99; i < palette.m_items.size(); ++i) {
        const ColorPalette::Item& item = palette.m_items[i];
        EXPECT_TRUE(item.name.IsEmpty());
        for (int shift = 0; shift < 24; shift += 8)
            EXPECT_EQ(((item.color >> shift) & 0xFF) % 0x33, 0u) << std::hex << item.color;
        if (i > 99) {
            EXPECT_GT(item.color, previous);
        }
        previous = item.color;
        cube.insert(item.color);
    }
    EXPECT_EQ(palette.m_items[99].color, 0x000000u);
    EXPECT_EQ(palette.m_items.back().color, 0xFF6699u);
    EXPECT_EQ(cube.size(), 196u);
}

}  // namespace
