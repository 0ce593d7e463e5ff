// Which glyphs are drawn and where their outlines land in the unit frame.
#include <cmath>

#include "LayoutFixture.h"

TEST_F(LayoutTest, GlyphsOutsideTheFrameAreHiddenUnlessLoadingOrInPreview) {
    Text(L"a b\nc", 72, kArtisticText);
    frame.SetScales(0.4, 0.7);  // room for the a only
    layout.Layout(0, true);
    struct { bool loading, preview; int visible[5]; } cases[] = {
        {false, false, {1, 0, 0, 0, 0}},
        {true, false, {1, 0, 1, 0, 1}},   // blanks and feeds never draw
        {false, true, {1, 0, 1, 0, 1}},
    };
    for (const auto& c : cases) {
        frame.loading = c.loading;
        frame.preview = c.preview;
        for (size_t i = 0; i < 5; ++i) EXPECT_EQ(c.visible[i] != 0, layout.IsGlyphVisible(i)) << i << c.loading << c.preview;
    }
}

TEST_F(LayoutTest, OutlinesAreMappedIntoTheUnitFrame) {
    Text(L"Hi", 36);
    frame.SetScales(2, 1);
    model.PutMargin(kLeftMargin, 0.5);
    model.PutMargin(kTopMargin, 0.25);
    layout.Layout(0, true);
    layout.BuildTextOutline();
    const GlyphEntry& h = Glyph(0);
    const GlyphEntry& i = Glyph(1);
    ASSERT_EQ(2u, layout.GlyphSegmentCounts().size());
    EXPECT_EQ(h.count, layout.GlyphSegmentCounts()[0]);
    ASSERT_EQ(size_t(h.count + i.count), layout.Segments().size());
    const TextCharRecord& c = model.Chars()[1];
    for (int k = 0; k < i.count; ++k) {
        const SegmentDesc& from = i.segments[k];
        const SegmentDesc& to = layout.Segments()[h.count + k];
        EXPECT_EQ(from.kind, to.kind);
        // Back from the unit frame to inches inside the margins, the font's y axis turned down.
        EXPECT_NEAR(c.x + from.pt1.x * c.xScale, (to.pt1.x + 1) * 2 - 0.5, 1e-12);
        EXPECT_NEAR(c.y - from.pt1.y * c.yScale, (to.pt1.y + 1) * 1 - 0.25, 1e-12);
    }
    for (const SegmentDesc& s : layout.Segments()) {
        EXPECT_GE(s.pt1.x, -1 - 1e-9);
        EXPECT_LE(s.pt1.x, 1 + 1e-9);
    }
}

TEST_F(LayoutTest, AFrameWithoutExtentMapsNothing) {
    Text(L"x");
    frame.SetScales(0, 0);
    frame.preview = true;
    layout.Layout(0, true);
    layout.BuildTextOutline();
    EXPECT_TRUE(layout.Segments().empty());
    for (const TextCharRecord& c : model.Chars()) EXPECT_TRUE(std::isfinite(c.x) && std::isfinite(c.y));
}
