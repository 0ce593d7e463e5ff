// Aligning lines in the frame, sizing the frame to the text, scaling and earlier files.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>

#include "LayoutFixture.h"

namespace {

double InkRight(const CTextModel& model, size_t i, const GlyphEntry& g) {
    const TextCharRecord& c = model.Chars()[i];
    return c.x + (g.metrics.gmptGlyphOrigin.x + double(g.metrics.gmBlackBoxX)) * c.xScale;
}

// Records by name for the earlier-format conversion.
class NamedRecords : public TextRecordSource {
public:
    std::map<std::string, std::string> named;
    bool FindNamed(const char* name, const void*& data, uint32_t& size) override {
        auto it = named.find(name);
        if (it == named.end()) return false;
        data = it->second.data();
        size = uint32_t(it->second.size());
        return true;
    }
    bool FindId(uint32_t, const void*&, uint32_t&) override { return false; }
    template <class T>
    void Put(const char* name, T v) { named[name] = std::string(reinterpret_cast<const char*>(&v), sizeof v); }
};

}  // namespace

TEST_F(LayoutTest, RightAlignedLinesEndAtTheFrameLessTheRightMargin) {
    Text(L"ab\nlonger", 36);
    model.PutMargin(kRightMargin, 0.25);
    model.PutHorizontalAlignment(kAlignRight);
    layout.Layout(0, true);
    ASSERT_EQ(2u, layout.Lines().size());
    const double edge = 2 * frame.XScale() - 0.25;
    EXPECT_NEAR(edge, InkRight(model, 8, Glyph(8)), 1e-12);
    // The first line ends at its feed: white space is measured by the average width.
    // The first line ends at its feed, measured by the average width where the b's advance ends;
    // the feed itself begins the second line and stands where that line starts.
    const TextCharRecord& b = model.Chars()[1];
    const TextCharRecord& feed = model.Chars()[2];
    EXPECT_NEAR(edge, b.x + Advance(1) + (Metrics(2).tmAveCharWidth + Glyph(2).metrics.gmptGlyphOrigin.x) * feed.xScale,
                1e-12);
    EXPECT_DOUBLE_EQ(model.Chars()[3].x, feed.x);
}

TEST_F(LayoutTest, CentredLinesShareTheirMiddle) {
    Text(L"a\nwwww");
    model.PutHorizontalAlignment(kAlignCenter);
    layout.Layout(0, true);
    // The gap right of the ink equals the shift of the line's starting pen.
    const double overhang = std::max(0.0, -Glyph(2).metrics.gmptGlyphOrigin.x * model.Chars()[2].xScale);
    EXPECT_NEAR(2 * frame.XScale() - InkRight(model, 5, Glyph(5)), model.Chars()[2].x - overhang, 1e-12);
}

TEST_F(LayoutTest, VerticalCentringOfATallTextMovesItUpByHalfTheExcess) {
    Text(L"a\nb\nc");
    frame.SetScales(2, 0.5);  // one inch high, the text about 3.5
    model.PutVerticalAlignment(kAlignMiddle);
    layout.Layout(0, false);
    const double topBefore = layout.Lines()[0].top, yBefore = model.Chars()[0].y;
    layout.AlignLines();
    const double excess = layout.TextHeight() - 1.0;
    EXPECT_NEAR(topBefore - excess / 2, layout.Lines()[0].top, 1e-12);
    EXPECT_NEAR(yBefore - excess / 2, model.Chars()[0].y, 1e-12);
    model.PutVerticalAlignment(kAlignBottom);
    layout.Layout(0, true);
    EXPECT_NEAR(1.0, layout.Lines().back().bottom, 1e-12);
}

TEST_F(LayoutTest, FittingKeepsTheEdgeTheAlignmentNames) {
    struct { int32_t h, v; double keepX, keepY; } cases[] = {
        {kAlignLeft, kAlignTop, -1, -1}, {kAlignRight, kAlignBottom, 1, 1}, {kAlignCenter, kAlignMiddle, 0, 0},
    };
    for (const auto& c : cases) {
        Text(L"fit me", 36, kArtisticText);
        frame.SetScales(3, 2);
        frame.SetOffsets(5, 7);
        model.PutHorizontalAlignment(c.h);
        model.PutVerticalAlignment(c.v);
        layout.Layout(0, true);
        const tagPointF before = frame.MapUnitPoint({c.keepX, c.keepY});
        double x = 0, y = 0;
        layout.FitFrameToText(&x, &y, false);
        EXPECT_NEAR(layout.TextWidth() / 2, x, 1e-12);
        EXPECT_NEAR(layout.TextHeight() / 2, y, 1e-12);
        const tagPointF after = frame.MapUnitPoint({c.keepX, c.keepY});
        EXPECT_NEAR(before.x, after.x, 1e-12) << c.h;
        EXPECT_NEAR(before.y, after.y, 1e-12) << c.v;
    }
    // Paragraph text keeps its frame unless forced.
    Text(L"para", 36, kParagraphText);
    frame.SetScales(3, 2);
    layout.Layout(0, true);
    layout.FitFrameToText(nullptr, nullptr, false);
    EXPECT_EQ(3, frame.XScale());
    layout.FitFrameToText(nullptr, nullptr, true);
    EXPECT_NEAR(layout.TextWidth() / 2, frame.XScale(), 1e-12);
}

TEST_F(LayoutTest, ScalingAndEqualizing) {
    Text(L"ab\ncd", 36);
    model.PutFontRatio(2);
    layout.Layout(0, true);
    const double width = layout.TextWidth(), height = layout.TextHeight(), x1 = model.Chars()[1].x;
    layout.ScaleText(0.5, 3);
    EXPECT_DOUBLE_EQ(width / 2, layout.TextWidth());
    EXPECT_DOUBLE_EQ(height * 3, layout.TextHeight());
    EXPECT_DOUBLE_EQ(x1 / 2, model.Chars()[1].x);
    layout.EqualizeScales();
    for (const TextCharRecord& c : model.Chars()) EXPECT_EQ(c.xScale, c.yScale);
    EXPECT_EQ(model.FontX(), model.FontY());
}

TEST_F(LayoutTest, EarlierFilesAreConvertedWithoutDividingByZero) {
    struct { std::wstring text; int32_t wrap; bool smart, fontY; int32_t smartValue, keepRatio; } cases[] = {
        {L"", 0, true, false, 1, 1},        // empty text: no glyph tops, nothing to scale by
        {L"Old", 0, true, false, 1, 0},     // no FontY: scaled to the frame in both directions
        {L"Old", 0, true, true, 0, 1},      // keep ratio with the text's own width
        {L"Old", 1, true, true, 1, 1},      // wrapping: paragraph text, not scaled
        {L"Old", 1, false, true, 0, 0},     // no SmartFrame: laid out as it is
    };
    for (const auto& c : cases) {
        CTextModel m(&frame);
        CTextLayout l(m, frame, GlyphCache::Shared());
        m.PutText(c.text);
        m.PutWrapText(c.wrap);
        frame.SetScales(2, 1);
        frame.SetOffsets(3, 4);
        NamedRecords records;
        if (c.smart) records.Put("SmartFrame", c.smartValue);
        records.Put("KeepRatio", c.keepRatio);
        records.Put("FormatWidth", int32_t(5));
        if (c.fontY) records.Put("FontY", m.FontY());
        l.ConvertEarlierFormat(records);
        EXPECT_TRUE(std::isfinite(frame.XScale()) && std::isfinite(frame.YScale()));
        EXPECT_TRUE(std::isfinite(m.FontX()) && std::isfinite(m.FontY()));
        for (const TextCharRecord& r : m.Chars()) EXPECT_TRUE(std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.xScale));
        if (c.smart) {
            EXPECT_EQ(c.wrap ? kParagraphText : kArtisticText, m.Type());
        }
        if (c.smart && c.wrap) {
            EXPECT_EQ(3, frame.XOffset());
            EXPECT_EQ(4, frame.YOffset());
        }
        if (!c.text.empty() && c.smart && !c.fontY) {
            // Scaled so that the ink fills the old frame's height, the width the old frame's width.
            EXPECT_NEAR(2 * 1.0, l.TextHeight() - l.FirstLineTopGap(), 1e-9);
        }
    }
}
