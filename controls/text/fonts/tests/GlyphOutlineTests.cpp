// Glyph outlines: the native-outline conversion on hand-made buffers, the bars, and real glyphs
// built through the cache.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "TestFonts.h"
#include "fonts/CharacterMap.h"
#include "fonts/EngineOutlineUnion.h"
#include "fonts/FontTable.h"
#include "fonts/GlyphCache.h"
#include "fonts/GlyphOutline.h"
#include "render/PointInPath.h"

namespace {

FIXED Fixed(double v) {
    const long raw = long(v * 65536);
    FIXED f;
    f.value = short(raw >> 16);
    f.fract = WORD(raw & 0xFFFF);
    return f;
}

// Builds GGO_NATIVE bytes: contours of curves, each curve a type and its points.
struct NativeBuffer {
    std::vector<BYTE> bytes;
    size_t header = 0;
    void Contour(double x, double y) {
        header = bytes.size();
        TTPOLYGONHEADER h{};
        h.dwType = TT_POLYGON_TYPE;
        h.pfxStart = {Fixed(x), Fixed(y)};
        Append(&h, sizeof h);
        Patch();
    }
    void Curve(WORD type, std::vector<std::pair<double, double>> points) {
        WORD head[2] = {type, WORD(points.size())};
        Append(head, sizeof head);
        for (auto p : points) {
            POINTFX f{Fixed(p.first), Fixed(p.second)};
            Append(&f, sizeof f);
        }
        Patch();
    }
    void Append(const void* p, size_t n) {
        const BYTE* b = static_cast<const BYTE*>(p);
        bytes.insert(bytes.end(), b, b + n);
    }
    void Patch() {
        const DWORD cb = DWORD(bytes.size() - header);
        std::memcpy(bytes.data() + header, &cb, sizeof cb);
    }
};

void ExpectPoint(const tagPointF& p, double x, double y) {
    EXPECT_DOUBLE_EQ(x, p.x);
    EXPECT_DOUBLE_EQ(y, p.y);
}

}  // namespace

TEST(NativeOutline, LinesCloseOnlyAcrossARealGap) {
    NativeBuffer b;
    b.Contour(0, 0);
    b.Curve(TT_PRIM_LINE, {{0, 10}, {10, 10}});
    b.Contour(20, 0);
    b.Curve(TT_PRIM_LINE, {{20, 10}, {30, 10}, {20, 0}});
    SegmentArray out;
    ConvertNativeOutline(b.bytes.data(), b.bytes.size(), out);
    ASSERT_EQ(4u + 4u, out.size());
    EXPECT_EQ(kSegmentLine, out[0].kind);
    ExpectPoint(out[0].pt1, 0, 0);
    ExpectPoint(out[0].pt2, 0, 10);
    ExpectPoint(out[2].pt1, 10, 10);  // the closing line back to the start
    ExpectPoint(out[2].pt2, 0, 0);
    EXPECT_EQ(kSegmentEnd, out[3].kind);
    ExpectPoint(out[3].pt1, 0, 0);
    ExpectPoint(out[3].pt2, 0, 10);   // the end record repeats the contour's first record
    EXPECT_EQ(kSegmentEnd, out[7].kind);  // second contour ends on its start: no closing line
    ExpectPoint(out[6].pt2, 20, 0);
}

TEST(NativeOutline, QuadraticSplinesBecomeCubicsThroughImpliedMidpoints) {
    NativeBuffer b;
    b.Contour(0, 0);
    b.Curve(TT_PRIM_QSPLINE, {{0, 30}, {30, 30}, {30, 0}});
    b.Curve(TT_PRIM_QSPLINE, {{15, -6}});  // one point adds nothing
    SegmentArray out;
    ConvertNativeOutline(b.bytes.data(), b.bytes.size(), out);
    ASSERT_EQ(4u, out.size());  // two cubics, the closing line from (30, 0), the end
    EXPECT_EQ(kSegmentBezier, out[0].kind);
    ExpectPoint(out[0].pt1, 0, 0);
    ExpectPoint(out[0].pt2, 0, 20);    // (current + 2B) / 3
    ExpectPoint(out[0].pt3, 5, 30);    // (C + 2B) / 3 with C the midpoint (15, 30)
    ExpectPoint(out[1].pt1, 15, 30);
    ExpectPoint(out[1].pt2, 25, 30);
    ExpectPoint(out[1].pt3, 30, 20);
    EXPECT_EQ(kSegmentLine, out[2].kind);
    ExpectPoint(out[2].pt1, 30, 0);
}

TEST(NativeOutline, FractionsAndNegativeCoordinates) {
    NativeBuffer b;
    b.Contour(-1.5, -0.25);
    b.Curve(TT_PRIM_LINE, {{-0.015625, 100.75}});
    SegmentArray out;
    ConvertNativeOutline(b.bytes.data(), b.bytes.size(), out);
    ASSERT_EQ(3u, out.size());
    ExpectPoint(out[0].pt1, -1.5, -0.25);
    ExpectPoint(out[0].pt2, -0.015625, 100.75);
}

TEST(NativeOutline, DamagedBuffersStayInsideTheirBytes) {
    NativeBuffer b;
    b.Contour(0, 0);
    b.Curve(TT_PRIM_QSPLINE, {{0, 30}, {30, 30}, {30, 0}});
    b.Contour(20, 0);
    b.Curve(TT_PRIM_LINE, {{20, 10}, {30, 10}});
    // Every cut, a header that claims more than the buffer and a curve that claims more points.
    for (size_t cut = 0; cut <= b.bytes.size(); ++cut) {
        std::vector<BYTE> copy(b.bytes.begin(), b.bytes.begin() + cut);
        copy.resize(cut + 64, 0xCD);  // bytes past the reported size must not be read as curves
        SegmentArray out;
        ConvertNativeOutline(copy.data(), cut, out);
        for (const SegmentDesc& s : out) EXPECT_NE(0xCDCDCDCD, int(s.pt1.x)) << cut;
    }
    auto bigHeader = b.bytes;
    const DWORD huge = 0x7FFFFFF0;
    std::memcpy(bigHeader.data(), &huge, 4);
    SegmentArray out;
    ConvertNativeOutline(bigHeader.data(), bigHeader.size(), out);
    EXPECT_TRUE(out.empty());
    auto manyPoints = b.bytes;
    const WORD count = 60000;
    std::memcpy(manyPoints.data() + sizeof(TTPOLYGONHEADER) + 2, &count, 2);
    out.clear();
    ConvertNativeOutline(manyPoints.data(), manyPoints.size(), out);
    for (const SegmentDesc& s : out) EXPECT_LE(s.pt1.x, 30);
}

class GlyphBuildTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(testfonts::Register()); }
    int Font(const LOGFONTA& lf) {
        const int index = fonts.FindOrAdd(lf);
        EXPECT_GE(index, 0);
        return index;
    }
    FontTable fonts;
};

namespace {

int unionCalls = 0;
bool failUnion = false;

// Stands in for the engine's union: glyph and bars side by side.
bool ConcatenatingUnion(const SegmentArray& glyph, const std::vector<SegmentArray>& bars, SegmentArray& result) {
    ++unionCalls;
    if (failUnion) return false;
    result = glyph;
    for (const SegmentArray& bar : bars) result.insert(result.end(), bar.begin(), bar.end());
    return true;
}

int Contours(const SegmentArray& s) {
    int n = 0;
    for (const SegmentDesc& d : s) n += d.kind == kSegmentEnd;
    return n;
}

}  // namespace

TEST_F(GlyphBuildTest, WhiteSpaceHasMetricsButNoContours) {
    GlyphCache cache(fonts);
    const int font = Font(testfonts::Logical("DejaVu Sans"));
    for (wchar_t ch : {L' ', L'\t', L'\n', wchar_t(0x3000)}) {
        const GlyphEntry& g = cache.Glyph(ch, font);
        EXPECT_EQ(0, g.count) << int(ch);
        EXPECT_TRUE(g.segments.empty());
    }
    EXPECT_EQ(651, cache.Glyph(L' ', font).metrics.gmCellIncX);
    const GlyphEntry& a = cache.Glyph(L'A', font);
    EXPECT_EQ(1401, a.metrics.gmCellIncX);
    EXPECT_EQ(2, Contours(a.segments));  // the outside and the counter
    EXPECT_EQ(&a, &cache.Glyph(L'A', font));  // built once
    EXPECT_DOUBLE_EQ(16, a.box.left);
    EXPECT_DOUBLE_EQ(1384, a.box.right);
    EXPECT_DOUBLE_EQ(0, a.box.top);
    EXPECT_DOUBLE_EQ(1493, a.box.bottom);
}

TEST_F(GlyphBuildTest, BarsJoinThroughTheUnionAndAFailedUnionKeepsTheGlyph) {
    unionCalls = 0;
    failUnion = false;
    GlyphCache cache(fonts, ConcatenatingUnion);
    const int plain = Font(testfonts::Logical("Liberation Serif"));
    const int underlined = Font(testfonts::Logical("Liberation Serif", FW_NORMAL, false, true));
    const int both = Font(testfonts::Logical("Liberation Serif", FW_NORMAL, false, true, true));
    const GlyphEntry& p = cache.Glyph(L'o', plain);
    const GlyphEntry& u = cache.Glyph(L'o', underlined);
    EXPECT_EQ(1, unionCalls);
    EXPECT_EQ(p.count + 5, u.count);
    const FontEntry* e = fonts.Entry(underlined);
    const SegmentDesc* bar = &u.segments[p.count];
    const double y0 = e->metrics.otmsUnderscorePosition;
    const double y1 = y0 < e->metrics.otmDescent ? y0 + e->metrics.otmsUnderscoreSize : y0 - e->metrics.otmsUnderscoreSize;
    EXPECT_DOUBLE_EQ(0, bar[0].pt1.x);
    EXPECT_DOUBLE_EQ(std::min(y0, y1), bar[0].pt1.y);
    EXPECT_DOUBLE_EQ(std::max(y0, y1), bar[0].pt2.y);
    EXPECT_DOUBLE_EQ(p.metrics.gmCellIncX, bar[1].pt2.x);
    EXPECT_EQ(kSegmentEnd, bar[4].kind);
    EXPECT_EQ(p.count + 10, cache.Glyph(L'o', both).count);

    const GlyphEntry& space = cache.Glyph(L' ', underlined);
    EXPECT_EQ(5, space.count);  // an underlined space is its bar alone
    EXPECT_DOUBLE_EQ(cache.Glyph(L' ', plain).metrics.gmCellIncX, space.segments[1].pt2.x);

    failUnion = true;
    GlyphCache failing(fonts, ConcatenatingUnion);
    EXPECT_EQ(p.count, failing.Glyph(L'o', underlined).count);
    EXPECT_EQ(5, failing.Glyph(L' ', underlined).count);
    GlyphCache withoutUnion(fonts);
    EXPECT_EQ(p.count, withoutUnion.Glyph(L'o', underlined).count);
}

// The engine's union joins the underline to the glyph: every point of a grid over both lies inside
// the joined outline exactly where it lies inside the plain glyph or the bar (even-odd), save for
// points within the snap of an edge.
TEST_F(GlyphBuildTest, TheEnginesUnionJoinsTheBarToTheGlyph) {
    GlyphCache cache(fonts, EngineOutlineUnion);
    const int plain = Font(testfonts::Logical("Liberation Serif"));
    const int underlined = Font(testfonts::Logical("Liberation Serif", FW_NORMAL, false, true));
    const GlyphEntry& p = cache.Glyph(L'o', plain);
    const GlyphEntry& u = cache.Glyph(L'o', underlined);
    const std::vector<SegmentArray> bars = DecorationBars(*fonts.Entry(underlined), p.metrics);
    ASSERT_EQ(1u, bars.size());
    ASSERT_FALSE(u.segments.empty());
    const auto inside = [](const SegmentArray& s, double x, double y) {
        return PtInPolyBezier(tagPointF{x, y}, s.data(), static_cast<int>(s.size())) != 0;
    };
    const double left = std::min(p.box.left, bars[0][0].pt1.x) - 10, right = p.metrics.gmCellIncX + 10.0;
    const double top = std::min(p.box.top, bars[0][0].pt1.y) - 10, bottom = p.box.bottom + 10;
    int checked = 0, mismatched = 0, inBar = 0;
    for (int i = 0; i < 60; ++i)
        for (int j = 0; j < 60; ++j) {
            const double x = left + (right - left) * (i + 0.37) / 60, y = top + (bottom - top) * (j + 0.61) / 60;
            const bool expected = inside(p.segments, x, y) || inside(bars[0], x, y);
            inBar += inside(bars[0], x, y);
            mismatched += inside(u.segments, x, y) != expected;
            ++checked;
        }
    EXPECT_GT(inBar, 0);
    EXPECT_LE(mismatched, 2) << "of " << checked;
}

TEST(DecorationBars, FallbackPlaceAndTheUnderlineAloneWhenBothFallBack) {
    FontEntry e{};
    GLYPHMETRICS gm{};
    gm.gmCellIncX = 1000;
    gm.gmCellIncY = 0;
    e.logFont.lfUnderline = 1;
    e.logFont.lfStrikeOut = 1;
    auto bars = DecorationBars(e, gm);
    ASSERT_EQ(1u, bars.size());
    EXPECT_DOUBLE_EQ(-20, bars[0][0].pt1.y);
    EXPECT_DOUBLE_EQ(0, bars[0][0].pt2.y);

    e.logFont.lfUnderline = 0;
    bars = DecorationBars(e, gm);
    ASSERT_EQ(1u, bars.size());  // a strike-out alone does take the fallback place
    EXPECT_DOUBLE_EQ(-20, bars[0][0].pt1.y);

    e.logFont.lfUnderline = 1;
    e.metrics.otmsStrikeoutPosition = 500;
    e.metrics.otmsStrikeoutSize = 50;
    e.metrics.otmDescent = -400;
    e.metrics.otmsUnderscorePosition = -500;  // below the descent: the bar grows upward
    e.metrics.otmsUnderscoreSize = 60;
    bars = DecorationBars(e, gm);
    ASSERT_EQ(2u, bars.size());
    EXPECT_DOUBLE_EQ(-500, bars[0][0].pt1.y);
    EXPECT_DOUBLE_EQ(-440, bars[0][0].pt2.y);
    EXPECT_DOUBLE_EQ(450, bars[1][0].pt1.y);
    EXPECT_DOUBLE_EQ(500, bars[1][0].pt2.y);
    EXPECT_DOUBLE_EQ(1000, bars[1][2].pt1.x);
}

TEST_F(GlyphBuildTest, AnIndexOutsideTheTableGivesAnEmptyGlyph) {
    GlyphCache cache(fonts);
    EXPECT_EQ(0, cache.Glyph(L'A', 1000).count);
    EXPECT_EQ(0, cache.Glyph(L'A', -1).count);
}
