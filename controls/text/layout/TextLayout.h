#pragma once
// Layout of a text object: characters placed on baselines, paragraph text broken into lines at
// the frame, lines aligned, the frame sized to artistic text, and the visible glyph outlines
// mapped into the control's unit frame for the rendering engine. Runs under the cache lock, as
// the font table and glyph cache it reads are shared by the user-interface and preview threads.
#include <vector>

#include "TextLine.h"
#include "fonts/GlyphOutline.h"
#include "model/TextModel.h"

class GlyphCache;
class TextFrame;
struct FontEntry;
struct GlyphEntry;

class CTextLayout {
public:
    CTextLayout(CTextModel& model, TextFrame& frame, GlyphCache& glyphs);
    virtual ~CTextLayout() = default;

    // Glyphs for the characters from first on, the control's refresh, placement (lines, or
    // along the curve), then alignment when fit is set.
    void Layout(long first, bool fit);
    // Makes sure the glyphs of the characters from first on are built and notes which have outlines.
    void EnsureTextGlyphs(long first);
    void BreakLines();
    void AlignLines();
    // Sizes the frame to the text and keeps the edge the alignment names; paragraph text only when
    // forced. The new scales are returned through x and y when given.
    void FitFrameToText(double* x, double* y, bool force);
    bool IsGlyphVisible(size_t index) const;
    void ScaleText(double fx, double fy);
    void EqualizeScales();
    // Fills the glyph segment array with every visible glyph in the control's unit frame.
    void BuildTextOutline();

    // Earlier files: "SmartFrame", "KeepRatio" and a missing "FontY" change how a loaded text is
    // laid out and fitted. Run after the model has loaded the same records.
    void ConvertEarlierFormat(TextRecordSource& source);

    const std::vector<TextLine>& Lines() const { return lines_; }
    double TextWidth() const { return textWidth_; }
    double TextHeight() const { return textHeight_; }
    double FirstLineTopGap() const { return topGap_; }
    const SegmentArray& Segments() const { return segments_; }
    const std::vector<int>& GlyphSegmentCounts() const { return glyphCounts_; }

    // The widening of every glyph box before the visibility test.
    double frameAllowance = 0;

protected:
    // The control's refresh of its cached state before placement.
    virtual void RefreshCachedState() {}
    // Placement along the control's curve; line layout when there is none.
    virtual void PlaceAlongCurve() { BreakLines(); }
    // Maps one glyph point of character c into the unit frame (along-curve controls override).
    virtual tagPointF MapGlyphPoint(const TextCharRecord& c, tagPointF p) const;

    // A character's glyph and font metrics, looked up once per pass.
    struct CharMetrics {
        const GlyphEntry* glyph;
        const TEXTMETRICA* font;  // null for a font the table lacks
    };
    std::vector<CharMetrics> MetricsOfChars() const;

    const FontEntry* FontOf(int32_t font) const;
    const GlyphEntry& GlyphOf(const TextCharRecord& c) const;
    // Right edge of a character's ink from its pen position, in its own X scale units: white space
    // counts the average width (and, for alignment, its origin too).
    static double RightEdgeUnits(const TextCharRecord& c, const CharMetrics& m, bool alignment);
    double AvailableWidth() const;
    double AvailableHeight() const;

    CTextModel& model_;
    TextFrame& frame_;
    GlyphCache& glyphs_;
    std::vector<TextLine> lines_;
    // The pen position of each line's ending feed on that line: the feed also begins the next
    // line, which is where its own x places it.
    std::vector<double> feedPens_;
    double textWidth_ = 0, textHeight_ = 0, topGap_ = 2147483647.0;
    SegmentArray segments_;
    std::vector<int> glyphCounts_;
};
