// The font table: which logical fonts share an entry, what an entry holds, and the size scales.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "TestFonts.h"
#include "fonts/CodePages.h"
#include "fonts/FontSizes.h"
#include "fonts/FontTable.h"

using testfonts::Logical;

class FontTableTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(testfonts::Register()); }
    FontTable table;
};

TEST_F(FontTableTest, EntriesAreSharedByFaceAndStyleButNotByHeight) {
    const int plain = table.FindOrAdd(Logical("DejaVu Sans"));
    ASSERT_GE(plain, 0);
    EXPECT_EQ(plain, table.FindOrAdd(Logical("DejaVu Sans", FW_NORMAL, false, false, false, DEFAULT_CHARSET, -40)));
    LOGFONTA other = Logical("DejaVu Sans");
    other.lfWidth = 7;
    other.lfQuality = 4;
    other.lfEscapement = 900;
    EXPECT_EQ(plain, table.FindOrAdd(other));

    struct { LOGFONTA lf; const char* why; } distinct[] = {
        {Logical("DejaVu Sans", FW_BOLD), "weight"},
        {Logical("DejaVu Sans", FW_NORMAL, true), "italic"},
        {Logical("DejaVu Sans", FW_NORMAL, false, true), "underline"},
        {Logical("DejaVu Sans", FW_NORMAL, false, false, true), "strike-out"},
        {Logical("DejaVu Sans", FW_NORMAL, false, false, false, ANSI_CHARSET), "character set"},
        {Logical("dejavu sans"), "face case"},
    };
    for (const auto& d : distinct) {
        const int index = table.FindOrAdd(d.lf);
        EXPECT_GE(index, 0) << d.why;
        EXPECT_NE(plain, index) << d.why;
        EXPECT_EQ(index, table.FindOrAdd(d.lf)) << d.why;
    }
    EXPECT_EQ(1 + int(std::size(distinct)), table.Count());
}

TEST_F(FontTableTest, EntryHoldsTheEmSquareMetrics) {
    const int index = table.FindOrAdd(Logical("Liberation Serif", FW_NORMAL, false, false, false, DEFAULT_CHARSET, -16));
    ASSERT_GE(index, 0);
    const FontEntry* e = table.Entry(index);
    ASSERT_NE(nullptr, e);
    EXPECT_EQ(-16, e->logFont.lfHeight);  // the caller's logical font is kept as given
    EXPECT_EQ(2048u, e->metrics.otmEMSquare);
    EXPECT_GT(e->metrics.otmSize, 212u);
    const TEXTMETRICA& tm = e->metrics.otmTextMetrics;
    EXPECT_EQ(double(tm.tmHeight - tm.tmInternalLeading), e->emHeight);
    EXPECT_NEAR(2048.0, e->emHeight, 2.0);
    EXPECT_GT(e->metrics.otmsUnderscoreSize, 0);
    // Name offsets point past the fixed 212 bytes, the same in 32-bit and 64-bit builds.
    EXPECT_GE(e->metrics.otmpFamilyName, 212u);
    EXPECT_LT(e->metrics.otmpFamilyName, e->metrics.otmSize);
}

TEST_F(FontTableTest, AFontThatCannotBeMadeAddsNothing) {
    const int before = table.Count();
    LOGFONTA lf = Logical("");
    // A face no system has still gets a substitute from GDI; a damaged name must not crash.
    std::memset(lf.lfFaceName, 'x', sizeof lf.lfFaceName);
    const int index = table.FindOrAdd(lf);
    if (index == -1) EXPECT_EQ(before, table.Count());
    else EXPECT_EQ(0, table.Entry(index)->logFont.lfFaceName[LF_FACESIZE - 1]);
    EXPECT_EQ(nullptr, table.Entry(-1));
    EXPECT_EQ(nullptr, table.Entry(table.Count()));
}

TEST_F(FontTableTest, PointSizesAndScales) {
    const FontEntry* e = table.Entry(table.FindOrAdd(Logical("Liberation Serif")));
    ASSERT_NE(nullptr, e);
    const double scale = ScaleForPointSize(*e, 12);
    EXPECT_DOUBLE_EQ(12.0 / 72 / e->emHeight, scale);
    EXPECT_DOUBLE_EQ(12.0, GetPointSize(*e, scale));
    EXPECT_DOUBLE_EQ(12.0, GetPointSize(*e, -scale));

    struct { double x, y, points, wantX, wantY; } cases[] = {
        {2 * scale, scale, 24, 4 * scale, 2 * scale},       // ratio kept
        {-scale, scale, 24, -2 * scale, 2 * scale},         // mirrored x stays mirrored
        {scale, -scale, 6, 0.5 * scale, -0.5 * scale},      // mirrored y stays mirrored
        {scale, 0, 24, 0, 0},                               // a zero scale stays zero
        {0, scale, 24, 0, 2 * scale},
    };
    for (const auto& c : cases) {
        double x = c.x, y = c.y;
        SetPointSizeKeepRatio(*e, c.points, &x, &y);
        EXPECT_NEAR(c.wantX, x, 1e-15) << c.x << " " << c.y;
        EXPECT_NEAR(c.wantY, y, 1e-15) << c.x << " " << c.y;
    }
}

TEST(CodePages, CharsetsMapToThePlatformsCodePages) {
    struct { unsigned charset, page; } cases[] = {
        {0, 1252}, {128, 932}, {129, 949}, {134, 936}, {136, 950}, {161, 1253}, {162, 1254},
        {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251}, {222, 874}, {238, 1250}, {77, 1252}, {1000, 1252},
    };
    for (const auto& c : cases) EXPECT_EQ(c.page, CodePageFromCharset(c.charset)) << c.charset;
}

TEST(CodePages, LanguagesMapByPrimaryLanguage) {
    struct { unsigned language, page; } cases[] = {
        {0x0401, 1256}, {0x0804, 936}, {0x040D, 1255}, {0x0411, 932}, {0x0412, 949}, {0x0419, 1251},
        {0x041E, 874}, {0x0409, 1252}, {0x0407, 1252},
    };
    for (const auto& c : cases) EXPECT_EQ(c.page, CodePageFromLanguage(c.language)) << c.language;
}
