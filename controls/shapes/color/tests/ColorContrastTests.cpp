// Contrast colours. The expected values come from Python's colorsys (the standard HLS pair) run
// over the same rules, so the conversion is checked against an independent implementation.
#include <gtest/gtest.h>

#include "ColorContrast.h"

TEST(ColorContrast, SingleColoursMatchTheStandardHlsPair) {
    const struct {
        COLORREF in, out;
    } cases[] = {
        {0x0000FF, 0xFFFF00}, {0x00FF00, 0xFF00FF}, {0x808080, 0x808080}, {0x123456, 0xFFFFFF},
        {0xC0FFEE, 0x000000}, {0x7F3F1F, 0xFFFFFF}, {0xFFFFFF, 0x000000}, {0x000000, 0xFFFFFF},
        {0x6699CC, 0x000000}, {0x2080C0, 0xC06020}, {0x40A060, 0xA04080}, {0x9933CC, 0x66CC33},
        {0x3366CC, 0xCC9933},
    };
    for (const auto& c : cases) EXPECT_EQ(ContrastOfColor(c.in), c.out) << std::hex << c.in;
    for (COLORREF c : {0x000000u, 0x123456u, 0xFEDCBAu, 0x00FF80u}) EXPECT_EQ(HlsToColor(ColorToHls(c)), c);
}

TEST(ColorContrast, PairsTakeTheHueOppositeTheirMean) {
    const struct {
        COLORREF a, b, out;
    } cases[] = {
        {0x2080C0, 0x40A060, 0x205BC0}, {0x0000FF, 0x00FF00, 0x0080FF}, {0x9933CC, 0x808080, 0x33CC4D}};
    for (const auto& c : cases) EXPECT_EQ(ContrastOfPair(c.a, c.b), c.out) << std::hex << c.a << " " << c.b;
    // Opposite hues have no mean direction; the answer is still a colour.
    ContrastOfPair(0x0000FF, 0xFFFF00);
}

TEST(ColorContrast, BackgroundIsBlackOrWhiteByFillAndOutline) {
    ColorSlotValues s = ColorSlotValues::Defaults(0);
    s.color = 0xFFFFFF;
    EXPECT_EQ(ContrastBackground(s), 0x000000u) << "white solid without outline";
    s.hasOutline = 1;
    EXPECT_EQ(ContrastBackground(s), 0xFFFFFFu) << "with a black outline";
    s.outlineColor = 0xFFFFFF;
    EXPECT_EQ(ContrastBackground(s), 0x000000u) << "light outline: the fill decides";
    s.fillType = kFillNone;
    EXPECT_EQ(ContrastBackground(s), 0x000000u) << "no fill, light outline";
    s.hasOutline = 0;
    EXPECT_EQ(ContrastBackground(s), 0xFFFFFFu) << "no fill, no outline";
    s.fillType = kFillLinear;
    s.color1 = 0xC1C1C1;  // luminance 193: light
    s.color2 = 0xFFFFFF;
    EXPECT_EQ(ContrastBackground(s), 0x000000u);
    s.color2 = 0xC0C0C0;  // luminance 192: dark
    EXPECT_EQ(ContrastBackground(s), 0xFFFFFFu);
    s.fillType = kFillNA;
    EXPECT_EQ(ContrastBackground(s), 0xFFFFFFu);
}

TEST(ColorContrast, MarksFollowOutlineThenClosedFillElseRed) {
    ColorSlotValues s = ColorSlotValues::Defaults(0);
    s.color = 0x0000FF;
    EXPECT_EQ(ContrastMarkColor(s, true), 0xFFFF00u);
    EXPECT_EQ(ContrastMarkColor(s, false), 0xFF0000u);
    s.hasOutline = 1;
    s.outlineColor = 0x00FF00;
    EXPECT_EQ(ContrastMarkColor(s, false), 0xFF00FFu);
    s.hasOutline = 0;
    s.fillType = kFillElliptic;
    s.color1 = 0x0000FF;
    s.color2 = 0x00FF00;
    EXPECT_EQ(ContrastMarkColor(s, true), 0x0080FFu);
}
