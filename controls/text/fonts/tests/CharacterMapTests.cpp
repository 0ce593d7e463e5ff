// The format-4 character map walk over hand-made tables, a real font's table and damaged bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "TestFonts.h"
#include "fonts/CharacterMap.h"
#include "fonts/FontEntry.h"

namespace {

struct Segment {
    uint16_t start, end, delta;
    std::vector<uint16_t> glyphs;  // empty: mapped by delta alone
};

void Put16(std::vector<uint8_t>& b, uint16_t v) {
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v));
}

void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, uint16_t(v >> 16));
    Put16(b, uint16_t(v));
}

// A "cmap" table with the given encoding records (platform, encoding) all pointing at one format-4
// subtable made of the segments (the closing 0xFFFF segment is added).
std::vector<uint8_t> MakeCmap(std::vector<Segment> segments, std::vector<std::pair<uint16_t, uint16_t>> records) {
    segments.push_back({0xFFFF, 0xFFFF, 1, {}});
    const size_t n = segments.size();
    std::vector<uint8_t> sub;
    Put16(sub, 4);
    Put16(sub, 0);  // length, patched below
    Put16(sub, 0);
    Put16(sub, uint16_t(2 * n));
    Put16(sub, 0);
    Put16(sub, 0);
    Put16(sub, 0);
    for (const Segment& s : segments) Put16(sub, s.end);
    Put16(sub, 0);
    for (const Segment& s : segments) Put16(sub, s.start);
    for (const Segment& s : segments) Put16(sub, s.delta);
    size_t glyphWords = 0;
    for (size_t i = 0; i < n; ++i) {
        if (segments[i].glyphs.empty()) Put16(sub, 0);
        else Put16(sub, uint16_t(2 * (n - i) + 2 * glyphWords));
        glyphWords += segments[i].glyphs.size();
    }
    for (const Segment& s : segments)
        for (uint16_t g : s.glyphs) Put16(sub, g);
    sub[2] = uint8_t(sub.size() >> 8);
    sub[3] = uint8_t(sub.size());
    std::vector<uint8_t> table;
    Put16(table, 0);
    Put16(table, uint16_t(records.size()));
    for (auto r : records) {
        Put16(table, r.first);
        Put16(table, r.second);
        Put32(table, uint32_t(4 + 8 * records.size()));
    }
    table.insert(table.end(), sub.begin(), sub.end());
    return table;
}

}  // namespace

TEST(CharacterMap, DeltaAndGlyphArraySegments) {
    const CharacterMap map(MakeCmap({{0x20, 0x7E, uint16_t(-29), {}}, {0x100, 0x102, 5, {7, 0, 65535}}}, {{3, 1}}));
    EXPECT_FALSE(map.IsSymbolMap());
    struct { uint32_t ch; uint16_t glyph; } cases[] = {
        {0x1F, 0}, {0x20, 3}, {0x41, 36}, {0x7E, 97}, {0x7F, 0},
        {0x100, 12}, {0x101, 0},   // a zero word stays 0, without the delta
        {0x102, 4},                // 65535 + 5 wraps
        {0x103, 0}, {0xFFFF, 0},   // the closing segment maps 0xFFFF to 0
    };
    for (const auto& c : cases) EXPECT_EQ(c.glyph, map.GlyphIndex(c.ch)) << std::hex << c.ch;
}

TEST(CharacterMap, TheLastWindowsRecordWinsAndSymbolMapsUseTheF000Page) {
    const auto symbol = MakeCmap({{0xF020, 0xF0FF, uint16_t(-0xF000 + 3), {}}}, {{3, 1}, {1, 0}, {3, 0}});
    const CharacterMap map(symbol);
    EXPECT_TRUE(map.IsSymbolMap());
    EXPECT_EQ(0x41 + 3, map.GlyphIndex('A'));
    EXPECT_EQ(0x41 + 3, map.GlyphIndex(0xF041));
    const CharacterMap unicode(MakeCmap({{0x41, 0x41, 1, {}}}, {{3, 0}, {3, 1}, {0, 3}}));
    EXPECT_FALSE(unicode.IsSymbolMap());
    EXPECT_EQ(0x42, unicode.GlyphIndex('A'));
    const CharacterMap none(MakeCmap({{0x41, 0x41, 1, {}}}, {{1, 0}, {3, 10}}));
    EXPECT_EQ(0, none.GlyphIndex('A'));
}

TEST(CharacterMap, DamagedTablesGiveGlyphZero) {
    const auto good = MakeCmap({{0x100, 0x102, 0, {7, 8, 9}}}, {{3, 1}});
    ASSERT_EQ(8, CharacterMap(good).GlyphIndex(0x101));
    struct { const char* what; size_t at; uint8_t value; } damage[] = {
        {"record count beyond the table", 3, 200},
        {"subtable offset beyond the table", 8, 0x7F},
        {"format 6", 13, 6},
        {"odd segment count", 19, 3},
        {"segment count beyond the table", 18, 0x40},
        {"glyph word offset beyond the table", 4 + 8 + 14 + 2 * 2 + 2 + 2 * 2 + 2 * 2 + 0, 0x70},
    };
    for (const auto& d : damage) {
        auto bytes = good;
        ASSERT_LT(d.at, bytes.size());
        bytes[d.at] = d.value;
        EXPECT_EQ(0, CharacterMap(bytes).GlyphIndex(0x101)) << d.what;
    }
    for (size_t cut = 0; cut < good.size(); ++cut) {
        const std::vector<uint8_t> shortTable(good.begin(), good.begin() + cut);
        const uint16_t g = CharacterMap(shortTable).GlyphIndex(0x101);
        EXPECT_TRUE(g == 0 || g == 8) << cut;
    }
}

TEST(CharacterMap, ThousandDamagedCopiesOfARealMapNeverReadOutside) {
    ASSERT_TRUE(testfonts::Register());
    const HDC dc = CreateCompatibleDC(nullptr);
    const HFONT font = CreateOutlineFont(dc, testfonts::Logical("DejaVu Sans"));
    ASSERT_NE(nullptr, font);
    const HGDIOBJ previous = SelectObject(dc, font);
    const DWORD size = GetFontData(dc, 0x70616d63, 0, nullptr, 0);
    ASSERT_NE(GDI_ERROR, size);
    std::vector<uint8_t> real(size);
    ASSERT_EQ(size, GetFontData(dc, 0x70616d63, 0, real.data(), size));
    EXPECT_EQ(36, CharToGlyphIndex(dc, 'A'));
    SelectObject(dc, previous);
    DeleteObject(font);
    DeleteDC(dc);

    std::mt19937 random(23);
    for (int copy = 0; copy < 1000; ++copy) {
        std::vector<uint8_t> bytes = real;
        const int hits = 1 + int(random() % 8);
        for (int h = 0; h < hits; ++h) {
            // Most damage goes to the headers and arrays near the start, where the walk looks.
            const size_t at = random() % 4 ? random() % std::min<size_t>(bytes.size(), 512) : random() % bytes.size();
            bytes[at] = uint8_t(random());
        }
        if (random() % 5 == 0) bytes.resize(random() % bytes.size());
        const CharacterMap map(bytes);
        for (uint32_t ch : {0x20u, 0x41u, 0x416u, 0x20ACu, 0xFFFFu, uint32_t(random() % 0x10000)}) {
            const uint16_t g = map.GlyphIndex(ch);
            (void)g;  // any index or 0; a read outside the table would fault under the checks
        }
    }
}
