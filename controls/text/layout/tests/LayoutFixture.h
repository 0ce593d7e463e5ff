#pragma once
// A text in DejaVu Sans inside a frame the test controls, laid out through the shared glyph cache.
#include <gtest/gtest.h>

#include <string>

#include "FakeTextFrame.h"
#include "TestFonts.h"
#include "fonts/FontTable.h"
#include "fonts/GlyphCache.h"
#include "layout/TextLayout.h"
#include "model/TextModel.h"

class LayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testfonts::Register());
        model.SetFrame(&frame);
    }
    // The text in DejaVu Sans at the point size: at 72 points one em is one inch.
    void Text(const std::wstring& text, double points = 72, int32_t type = kParagraphText) {
        model.PutTextType(type);
        const LOGFONTA sans = testfonts::Logical("DejaVu Sans");
        model.SetRangeFont(0, -1, sans);
        model.SetRangeFontSize(0, -1, points);
        model.PutText(text);
    }
    const GlyphEntry& Glyph(size_t i) { return GlyphCache::Shared().Glyph(model.Chars()[i].ch, model.Chars()[i].font); }
    const TEXTMETRICA& Metrics(size_t i) {
        return FontTable::Shared().Entry(model.Chars()[i].font)->metrics.otmTextMetrics;
    }
    double Advance(size_t i) { return Glyph(i).metrics.gmCellIncX * model.Chars()[i].xScale; }

    FakeTextFrame frame{2, 1};
    CTextModel model;
    CTextLayout layout{model, frame, GlyphCache::Shared()};
};
