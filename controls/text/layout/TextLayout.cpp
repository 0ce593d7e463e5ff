#include "TextLayout.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

#include "fonts/FontTable.h"
#include "fonts/GlyphCache.h"
#include "model/TextFrame.h"
#include "render/EngineState.h"

namespace {

// The tallest metrics of a line's characters, each scaled by its own Y.
struct LineMetrics {
    double ascent = 0, externalLeading = 0, height = 0, descent = 0;
    void Raise(const TEXTMETRICA& tm, double y) {
        ascent = std::max(ascent, double(tm.tmHeight - tm.tmDescent) * y);
        externalLeading = std::max(externalLeading, double(tm.tmExternalLeading) * y);
        height = std::max(height, double(tm.tmHeight) * y);
        descent = std::max(descent, std::fabs(double(tm.tmDescent)) * y);
    }
};

bool IsBreakCandidate(wchar_t ch) { return std::iswspace(ch) || std::iswpunct(ch); }

}  // namespace

CTextLayout::CTextLayout(CTextModel& model, TextFrame& frame, GlyphCache& glyphs)
    : model_(model), frame_(frame), glyphs_(glyphs) {}

const FontEntry* CTextLayout::FontOf(int32_t font) const { return FontTable::Shared().Entry(font); }

const GlyphEntry& CTextLayout::GlyphOf(const TextCharRecord& c) const {
    return glyphs_.Glyph(static_cast<wchar_t>(c.ch), c.font);
}

std::vector<CTextLayout::CharMetrics> CTextLayout::MetricsOfChars() const {
    const auto& chars = model_.Chars();
    std::vector<CharMetrics> metrics(chars.size());
    int32_t lastFont = -1;
    const TEXTMETRICA* lastMetrics = nullptr;
    for (size_t i = 0; i < chars.size(); ++i) {
        if (chars[i].font != lastFont || i == 0) {
            lastFont = chars[i].font;
            const FontEntry* f = FontOf(lastFont);
            lastMetrics = f ? &f->metrics.otmTextMetrics : nullptr;
        }
        metrics[i] = {&GlyphOf(chars[i]), lastMetrics};
    }
    return metrics;
}

double CTextLayout::RightEdgeUnits(const TextCharRecord& c, const CharMetrics& m, bool alignment) {
    if (std::iswspace(c.ch)) {
        const double average = m.font ? m.font->tmAveCharWidth : 0;
        return alignment ? average + m.glyph->metrics.gmptGlyphOrigin.x : average;
    }
    return double(m.glyph->metrics.gmptGlyphOrigin.x) + double(m.glyph->metrics.gmBlackBoxX);
}

double CTextLayout::AvailableWidth() const {
    return 2 * std::fabs(frame_.XScale()) - model_.Margin(kLeftMargin) - model_.Margin(kRightMargin);
}

double CTextLayout::AvailableHeight() const {
    return 2 * std::fabs(frame_.YScale()) - model_.Margin(kTopMargin) - model_.Margin(kBottomMargin);
}

void CTextLayout::Layout(long first, bool fit) {
    CriticalSectionHolder hold(CacheLock());
    EnsureTextGlyphs(first < 0 ? 0 : first);
    RefreshCachedState();
    if (model_.Type() == kAlongCurveText) PlaceAlongCurve();
    else BreakLines();
    if (fit) AlignLines();
}

void CTextLayout::EnsureTextGlyphs(long first) {
    CriticalSectionHolder hold(CacheLock());
    auto& chars = model_.MutableChars();
    for (size_t i = first < 0 ? 0 : static_cast<size_t>(first); i < chars.size(); ++i)
        chars[i].hasOutline = GlyphOf(chars[i]).count > 0;
}

void CTextLayout::BreakLines() {
    CriticalSectionHolder hold(CacheLock());
    lines_.clear();
    feedPens_.clear();
    textWidth_ = textHeight_ = 0;
    topGap_ = 2147483647.0;
    auto& chars = model_.MutableChars();
    const size_t n = chars.size();
    if (n == 0) {
        // An empty text still measures one average character by one line.
        if (const FontEntry* f = FontOf(model_.DefaultFont())) {
            const TEXTMETRICA& tm = f->metrics.otmTextMetrics;
            textWidth_ = tm.tmAveCharWidth * model_.FontX();
            textHeight_ = (tm.tmHeight + tm.tmExternalLeading) * model_.FontY();
        }
        return;
    }
    const std::vector<CharMetrics> metricsOf = MetricsOfChars();
    auto overhang = [&](size_t i) {
        const double left = -metricsOf[i].glyph->metrics.gmptGlyphOrigin.x * chars[i].xScale;
        return left > 0 ? left : 0.0;
    };
    const bool wraps = model_.Type() == kParagraphText && model_.WrapText();
    const double available = AvailableWidth();
    double top = 0;
    size_t first = 0;
    bool startsAtFeed = false;
    while (first < n) {
        // A line begun by the feed that ended the previous one measures that feed's font at the
        // size of the character after it, and starts where that character starts.
        const bool feedStart = startsAtFeed && first + 1 < n;
        LineMetrics metrics;
        double pen = overhang(feedStart ? first + 1 : first);
        if (feedStart && metricsOf[first].font) metrics.Raise(*metricsOf[first].font, chars[first + 1].yScale);

        size_t last = n - 1, next = n;
        TextLineEnd kind = kLineEndsText;
        double feedPen = 0;
        long candidate = -1;
        double previousAdvance = 0;
        for (size_t j = first; j < n; ++j) {
            TextCharRecord& c = chars[j];
            const GlyphEntry& g = *metricsOf[j].glyph;
            c.hasOutline = g.count > 0;
            // Only drawn glyphs have a top: white space and feeds (whose metrics may be those of
            // a missing-glyph box) do not lower the gap.
            if (lines_.empty() && g.count > 0 && metricsOf[j].font)
                topGap_ = std::min(topGap_, (metricsOf[j].font->tmHeight - g.metrics.gmptGlyphOrigin.y) * c.yScale);
            pen += previousAdvance;
            const bool beginningFeed = j == first && startsAtFeed;
            if (wraps) {
                if (IsBreakCandidate(c.ch)) candidate = static_cast<long>(j);
                // A line feed and the first character of a line never overflow.
                const bool overflows = c.ch != L'\n' && j != first &&
                                       RightEdgeUnits(c, metricsOf[j], false) * c.xScale + pen > available + 1e-10;
                if (overflows) {
                    kind = kLineWrapped;
                    if (candidate >= 0 && static_cast<size_t>(candidate) != j) {
                        last = static_cast<size_t>(candidate);
                        next = last + 1;
                    } else {
                        last = j - 1;
                        next = j;
                    }
                    break;
                }
            }
            c.x = pen;
            if (c.ch == L'\n' && !beginningFeed) {
                // The feed ends this line and begins the next.
                kind = kLineEndsAtFeed;
                feedPen = pen;
                last = j;
                next = j;
                break;
            }
            previousAdvance = c.ch == L'\n' ? 0 : g.metrics.gmCellIncX * c.xScale;
        }

        double extent = 0;
        for (size_t k = first; k <= last; ++k) {
            const TextCharRecord& c = chars[k];
            if (!(k == first && feedStart) && metricsOf[k].font) metrics.Raise(*metricsOf[k].font, c.yScale);
            if (c.ch != L'\n') extent = std::max(extent, RightEdgeUnits(c, metricsOf[k], false) * c.xScale + c.x);
        }
        for (size_t k = first; k <= last; ++k) chars[k].y = top + metrics.ascent;
        TextLine line;
        line.first = static_cast<int32_t>(first);
        line.last = static_cast<int32_t>(last);
        line.endKind = kind;
        line.top = top;
        line.bottom = top + metrics.height + metrics.externalLeading;
        lines_.push_back(line);
        feedPens_.push_back(feedPen);
        textWidth_ = std::max(textWidth_, extent);
        textHeight_ += metrics.height + metrics.externalLeading;
        top = line.bottom;
        startsAtFeed = kind == kLineEndsAtFeed;
        first = next;
    }
}

void CTextLayout::AlignLines() {
    CriticalSectionHolder hold(CacheLock());
    auto& chars = model_.MutableChars();
    if (model_.Type() == kAlongCurveText || chars.empty()) return;
    const double available = model_.Type() == kParagraphText ? AvailableWidth() : textWidth_;
    double down = 0;
    const int32_t vertical = model_.VerticalAlignment();
    if (vertical == kAlignBottom || vertical == kAlignMiddle) {
        down = AvailableHeight() - textHeight_;
        if (vertical == kAlignMiddle) down /= 2;
        if (std::fabs(down) <= 1e-10) down = 0;
    }
    const int32_t horizontal = model_.HorizontalAlignment();
    const bool measures = horizontal == kAlignRight || horizontal == kAlignCenter;
    const std::vector<CharMetrics> metricsOf = measures ? MetricsOfChars() : std::vector<CharMetrics>();
    for (size_t index = 0; index < lines_.size(); ++index) {
        TextLine& line = lines_[index];
        if (line.first < 0 || line.last < line.first || static_cast<size_t>(line.last) >= chars.size()) continue;
        // A line's ending feed begins the next line and moves with that one.
        const bool sharedFeed = line.endKind == kLineEndsAtFeed && index + 1 < lines_.size();
        double right = 0;
        if (horizontal == kAlignRight || horizontal == kAlignCenter) {
            const TextCharRecord& last = chars[static_cast<size_t>(line.last)];
            const double lastX = sharedFeed && index < feedPens_.size() ? feedPens_[index] : last.x;
            right = available - lastX - RightEdgeUnits(last, metricsOf[size_t(line.last)], true) * last.xScale;
            if (horizontal == kAlignCenter) right /= 2;
            if (std::fabs(right) <= 1e-10) right = 0;
        }
        const int32_t moved = sharedFeed ? line.last - 1 : line.last;
        for (int32_t k = line.first; k <= moved; ++k) {
            chars[static_cast<size_t>(k)].x += right;
            chars[static_cast<size_t>(k)].y += down;
        }
        if (sharedFeed && index < feedPens_.size()) feedPens_[index] += right;
        line.top += down;
        line.bottom += down;
    }
}
