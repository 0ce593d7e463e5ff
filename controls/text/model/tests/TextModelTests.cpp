// The text model's own rules: text with line ends, margins, settings, range formatting and
// snapshots.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "FakeTextFrame.h"
#include "TestFonts.h"
#include "fonts/FontTable.h"
#include "model/TextModel.h"

namespace {

const LOGFONTA& FontOf(const TextCharRecord& c) { return FontTable::Shared().Entry(c.font)->logFont; }

class TextModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testfonts::Register());
        model.SetFrame(&frame);
    }
    FakeTextFrame frame{2, 1};
    CTextModel model;
};

}  // namespace

TEST_F(TextModelTest, ANewModelUsesTwelvePointsOfTheDefaultFace) {
    ASSERT_NE(nullptr, FontTable::Shared().Entry(model.DefaultFont()));
    EXPECT_NEAR(12.0, model.PointSize(-1), 1e-9);
    EXPECT_DOUBLE_EQ(1.0, model.FontRatio());
    EXPECT_EQ(1, model.WrapText());
    EXPECT_EQ(kForwardText, model.TextDir());
    EXPECT_EQ(kArtisticText, model.Type());
    EXPECT_EQ(L"", model.Text());
}

TEST_F(TextModelTest, LineEndsAreStoredAsOneLineFeedAndReadAsCrLf) {
    struct { const wchar_t* put; const wchar_t* get; size_t chars; } cases[] = {
        {L"ab", L"ab", 2},
        {L"a\r\nb", L"a\r\nb", 3},
        {L"a\nb", L"a\r\nb", 3},
        {L"a\r\r\nb\r", L"a\r\nb", 3},
        {L"\n\n", L"\r\n\r\n", 2},
    };
    for (const auto& c : cases) {
        model.PutText(c.put);
        EXPECT_EQ(c.get, model.Text()) << c.put;
        EXPECT_EQ(c.chars, model.Chars().size());
        for (const TextCharRecord& r : model.Chars()) {
            EXPECT_NE(L'\r', r.ch);
            EXPECT_EQ(model.DefaultFont(), r.font);
            EXPECT_EQ(model.FontY(), r.yScale);
        }
    }
}

TEST_F(TextModelTest, PuttingTheSameTextChangesNothing) {
    EXPECT_FALSE(model.PutText(L""));
    EXPECT_TRUE(model.PutText(L"a\r\nb"));
    model.SetRangeStyle(0, 1, kStyleBold);
    model.layoutPending = model.textPending = false;
    EXPECT_FALSE(model.PutText(L"a\r\nb"));
    EXPECT_FALSE(model.layoutPending);
    EXPECT_EQ(FW_BOLD, FontOf(model.Chars()[0]).lfWeight);  // formatting kept
    EXPECT_TRUE(model.PutText(L"a\nc"));
    EXPECT_TRUE(model.layoutPending && model.textPending);
    // Earlier formatting is gone: every character takes the default font (bold now, as the last
    // character made bold became the default).
    for (const TextCharRecord& r : model.Chars()) EXPECT_EQ(model.DefaultFont(), r.font);
}

TEST_F(TextModelTest, MarginsAreCappedAtTheFrameAndPushTheOppositeOne) {
    // The frame is 4 inches wide and 2 high.
    struct { TextMargin which; double put, want, oppositeBefore, oppositeAfter; bool changed; } cases[] = {
        {kLeftMargin, 1, 1, 0, 0, true},
        {kLeftMargin, -3, 0, 0, 0, false},
        {kLeftMargin, 5, 4, 0, 0, true},        // capped at the width, the right margin 0
        {kLeftMargin, 3, 3, 2, 1, true},        // pushes the right margin back
        {kTopMargin, NAN, 0, 0.5, 0.5, false},
        {kBottomMargin, 1.5, 1.5, 1, 0.5, true},
        {kRightMargin, 4, 4, 1, 0, true},
    };
    const TextMargin opposite[] = {kRightMargin, kLeftMargin, kBottomMargin, kTopMargin};
    for (const auto& c : cases) {
        CTextModel m(&frame);
        m.PutMargin(opposite[c.which], c.oppositeBefore);
        EXPECT_EQ(c.changed, m.PutMargin(c.which, c.put)) << c.which << " " << c.put;
        EXPECT_EQ(c.changed, m.layoutPending);
        EXPECT_DOUBLE_EQ(c.want, m.Margin(c.which));
        EXPECT_DOUBLE_EQ(c.oppositeAfter, m.Margin(opposite[c.which]));
    }
}

TEST_F(TextModelTest, SizesShareAFontEntryButStylesDoNot) {
    model.PutText(L"abcd");
    model.SetRangeFontSize(0, 2, 30);
    EXPECT_EQ(model.Chars()[0].font, model.Chars()[3].font);
    EXPECT_NEAR(30, model.PointSize(0), 1e-9);
    EXPECT_NEAR(12, model.PointSize(3), 1e-9);
    EXPECT_NEAR(30, model.PointSize(-1), 1e-9);  // the default follows
    model.SetRangeStyle(2, 3, kStyleBold);
    EXPECT_NE(model.Chars()[2].font, model.Chars()[3].font);
    EXPECT_NEAR(12, model.PointSize(2), 1e-9);
}

TEST_F(TextModelTest, RangeStyleTogglesFromTheFirstCharacter) {
    model.PutText(L"abcd");
    model.SetRangeStyle(1, 2, kStyleItalic);       // b italic
    model.SetRangeStyle(0, 3, kStyleItalic);       // a is not: all of a..c become italic
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(FontOf(model.Chars()[i]).lfItalic) << i;
    EXPECT_FALSE(FontOf(model.Chars()[3]).lfItalic);
    model.SetRangeStyle(1, -1, kStyleItalic);      // b is italic: b..d become upright
    EXPECT_TRUE(FontOf(model.Chars()[0]).lfItalic);
    for (int i = 1; i < 4; ++i) EXPECT_FALSE(FontOf(model.Chars()[i]).lfItalic) << i;
    model.SetRangeStyle(0, 4, kStyleBold | kStyleUnderline);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(FW_BOLD, FontOf(model.Chars()[i]).lfWeight);
        EXPECT_TRUE(FontOf(model.Chars()[i]).lfUnderline);
    }
    EXPECT_EQ(model.Chars()[3].font, model.DefaultFont());
}

TEST_F(TextModelTest, AnEmptyRangeTogglesTheDefaultFont) {
    const int before = model.DefaultFont();
    model.SetRangeStyle(2, 2, kStyleBold | kStyleStrikeOut);
    const LOGFONTA& lf = FontTable::Shared().Entry(model.DefaultFont())->logFont;
    EXPECT_EQ(FW_BOLD, lf.lfWeight);
    EXPECT_TRUE(lf.lfStrikeOut);
    EXPECT_NEAR(12, model.PointSize(-1), 1e-9);
    model.SetRangeStyle(0, 0, kStyleBold | kStyleStrikeOut);
    EXPECT_EQ(before, model.DefaultFont());
}

TEST_F(TextModelTest, RangesAreClampedToTheText) {
    model.PutText(L"abc");
    struct { long start, end; size_t count; } cases[] = {
        {0, -1, 3}, {-5, 2, 2}, {1, 100, 2}, {2, 1, 0}, {7, 9, 0}, {3, -1, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.count, model.RangeFormat(c.start, c.end).size()) << c.start << " " << c.end;
    model.SetRangeStyle(-5, 100, kStyleBold);
    for (const TextCharRecord& r : model.Chars()) EXPECT_EQ(FW_BOLD, FontOf(r).lfWeight);
    const auto ab = model.RangeFormat(0, 2);
    model.PutRangeFormat(50, 60, ab);  // past the end: appended
    EXPECT_EQ(L"abcab", model.Text());
    model.PutRangeFormat(1, 4, {});
    EXPECT_EQ(L"ab", model.Text());
}

TEST_F(TextModelTest, FontRatioScalesEveryCharacter) {
    model.PutText(L"ab");
    EXPECT_TRUE(model.PutFontRatio(2));
    EXPECT_FALSE(model.PutFontRatio(2));
    EXPECT_FALSE(model.PutFontRatio(INFINITY));
    EXPECT_DOUBLE_EQ(2, model.FontRatio());
    for (const TextCharRecord& r : model.Chars()) EXPECT_DOUBLE_EQ(2 * r.yScale, r.xScale);
}

TEST_F(TextModelTest, FormatDataNeverKeepsAFontTheTableLacks) {
    model.PutText(L"ab");
    auto records = model.Chars();
    records[0].font = 100000;
    records[1].xScale = NAN;
    records[1].padding2[3] = 9;
    model.PutFormatData(records);
    EXPECT_EQ(model.DefaultFont(), model.Chars()[0].font);
    EXPECT_EQ(model.FontX(), model.Chars()[1].xScale);
    EXPECT_EQ(0, model.Chars()[1].padding2[3]);
}

TEST_F(TextModelTest, SnapshotsRestoreEverything) {
    model.PutText(L"snap\r\nshot");
    model.SetRangeStyle(0, 4, kStyleItalic);
    model.PutMargin(kLeftMargin, 0.5);
    model.PutMargin(kBottomMargin, 0.25);
    model.PutHorizontalAlignment(kAlignRight);
    model.PutTextType(kParagraphText);
    const TextSnapshot saved = model.Snapshot();
    CTextModel other(&frame);
    other.ApplySnapshot(saved);
    EXPECT_EQ(model.Text(), other.Text());
    EXPECT_EQ(0, std::memcmp(model.Chars().data(), other.Chars().data(), model.Chars().size() * sizeof(TextCharRecord)));
    EXPECT_EQ(0.5, other.Margin(kLeftMargin));
    EXPECT_EQ(0.25, other.Margin(kBottomMargin));
    EXPECT_EQ(kAlignRight, other.HorizontalAlignment());
    EXPECT_EQ(kParagraphText, other.Type());
    EXPECT_EQ(model.DefaultFont(), other.DefaultFont());
}
