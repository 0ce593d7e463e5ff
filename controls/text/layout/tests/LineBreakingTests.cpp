// Placing characters on lines and breaking paragraph text at the frame.
#include <algorithm>
#include <cwctype>

#include "LayoutFixture.h"

namespace {

std::vector<std::pair<int, int>> Spans(const CTextLayout& layout) {
    std::vector<std::pair<int, int>> spans;
    for (const TextLine& l : layout.Lines()) spans.push_back({l.first, l.last});
    return spans;
}

}  // namespace

TEST_F(LayoutTest, CharactersAdvanceByTheirCellsOnOneBaseline) {
    Text(L"Tag");
    layout.Layout(0, false);
    ASSERT_EQ(1u, layout.Lines().size());
    const auto& c = model.Chars();
    // The T reaches left of its origin: the pen starts at that overhang.
    const double overhang = -Glyph(0).metrics.gmptGlyphOrigin.x * c[0].xScale;
    ASSERT_GT(overhang, 0);
    EXPECT_DOUBLE_EQ(overhang, c[0].x);
    EXPECT_DOUBLE_EQ(overhang + Advance(0), c[1].x);
    EXPECT_DOUBLE_EQ(overhang + Advance(0) + Advance(1), c[2].x);
    const TEXTMETRICA& tm = Metrics(0);
    EXPECT_DOUBLE_EQ((tm.tmHeight - tm.tmDescent) * c[0].yScale, c[0].y);
    EXPECT_EQ(c[0].y, c[2].y);
    EXPECT_DOUBLE_EQ((tm.tmHeight + tm.tmExternalLeading) * c[0].yScale, layout.TextHeight());
    EXPECT_DOUBLE_EQ(c[2].x + (Glyph(2).metrics.gmptGlyphOrigin.x + Glyph(2).metrics.gmBlackBoxX) * c[2].xScale,
                     layout.TextWidth());
    EXPECT_EQ(kLineEndsText, layout.Lines()[0].endKind);
    for (const TextCharRecord& r : c) EXPECT_EQ(1, r.hasOutline);
}

TEST_F(LayoutTest, ALineFeedEndsItsLineAndBeginsTheNext) {
    Text(L"ab\ncd\n");
    layout.Layout(0, false);
    ASSERT_EQ(3u, layout.Lines().size());
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0, 2}, {2, 5}, {5, 5}}), Spans(layout));
    EXPECT_EQ(kLineEndsAtFeed, layout.Lines()[0].endKind);
    EXPECT_EQ(kLineEndsAtFeed, layout.Lines()[1].endKind);
    EXPECT_EQ(kLineEndsText, layout.Lines()[2].endKind);
    const auto& c = model.Chars();
    EXPECT_DOUBLE_EQ(0, c[2].x);  // the feed takes the next line's starting pen
    EXPECT_DOUBLE_EQ(0, c[3].x);
    EXPECT_DOUBLE_EQ(Advance(3), c[4].x);
    EXPECT_DOUBLE_EQ(layout.Lines()[0].bottom, layout.Lines()[1].top);
    EXPECT_GT(c[3].y, c[0].y);
    EXPECT_DOUBLE_EQ(3 * (layout.Lines()[0].bottom - layout.Lines()[0].top), layout.TextHeight());
}

TEST_F(LayoutTest, ABreakFallsAfterTheLastBlankOrPunctuation) {
    Text(L"ab cd");
    // Just wide enough for "ab " and part of c: c overflows.
    layout.Layout(0, false);
    const double cRight = model.Chars()[3].x + (Glyph(3).metrics.gmptGlyphOrigin.x + Glyph(3).metrics.gmBlackBoxX) *
                                                   model.Chars()[3].xScale;
    frame.SetScales(cRight / 2 - 0.01, 1);
    layout.Layout(0, false);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0, 2}, {3, 4}}), Spans(layout));
    EXPECT_EQ(kLineWrapped, layout.Lines()[0].endKind);
    EXPECT_DOUBLE_EQ(0, model.Chars()[3].x);
}

TEST_F(LayoutTest, AWordLongerThanTheFrameBreaksJustBeforeTheOverflowingCharacter) {
    Text(L"abcdef");
    frame.SetScales(0.01, 1);  // narrower than any glyph
    layout.Layout(0, false);
    // The first character of a line never overflows: one character a line.
    EXPECT_EQ(6u, layout.Lines().size());
    frame.SetScales(Advance(0) * 1.2, 1);  // a little more than two glyphs wide
    layout.Layout(0, false);
    ASSERT_GE(layout.Lines().size(), 2u);
    EXPECT_EQ(0, layout.Lines()[0].first);
    EXPECT_EQ(layout.Lines()[0].last + 1, layout.Lines()[1].first);
    EXPECT_EQ(kLineWrapped, layout.Lines()[0].endKind);
}

TEST_F(LayoutTest, OnlyWrappedParagraphTextWraps) {
    struct { int32_t type; int32_t wrap; size_t lines; } cases[] = {
        {kParagraphText, 1, 2}, {kParagraphText, 0, 1}, {kArtisticText, 1, 1}, {kArtisticText, 0, 1},
    };
    for (const auto& c : cases) {
        Text(L"wide words", 72, c.type);
        model.PutWrapText(c.wrap);
        frame.SetScales(2, 1);  // four inches: "wide " fits, "wide words" does not
        layout.Layout(0, false);
        EXPECT_EQ(c.lines, layout.Lines().size()) << c.type << " " << c.wrap;
    }
}

TEST_F(LayoutTest, AnEmptyTextMeasuresOneAverageWidthByOneLine) {
    layout.Layout(0, true);
    EXPECT_TRUE(layout.Lines().empty());
    const TEXTMETRICA& tm = FontTable::Shared().Entry(model.DefaultFont())->metrics.otmTextMetrics;
    EXPECT_DOUBLE_EQ(tm.tmAveCharWidth * model.FontX(), layout.TextWidth());
    EXPECT_DOUBLE_EQ((tm.tmHeight + tm.tmExternalLeading) * model.FontY(), layout.TextHeight());
    EXPECT_EQ(2147483647.0, layout.FirstLineTopGap());
}

TEST_F(LayoutTest, TheTopGapIsTheSmallestDistanceToAGlyphTopOnTheFirstLine) {
    Text(L"ao T\nj");
    layout.Layout(0, false);
    const double a = (Metrics(0).tmHeight - Glyph(0).metrics.gmptGlyphOrigin.y) * model.Chars()[0].yScale;
    const double o = (Metrics(1).tmHeight - Glyph(1).metrics.gmptGlyphOrigin.y) * model.Chars()[1].yScale;
    const double t = (Metrics(3).tmHeight - Glyph(3).metrics.gmptGlyphOrigin.y) * model.Chars()[3].yScale;
    // The blank and the feed have no glyph top; the j on the second line does not count.
    EXPECT_DOUBLE_EQ(std::min({a, o, t}), layout.FirstLineTopGap());
    EXPECT_LT(t, a);
}
