// Sizing the frame to the text, scaling the text, and the conversion of earlier files.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "TextLayout.h"
#include "geometry/NumericHelpers.h"
#include "model/TextFrame.h"
#include "render/EngineState.h"

void CTextLayout::FitFrameToText(double* x, double* y, bool force) {
    if (model_.Type() == kParagraphText && !force) return;
    if (model_.Type() == kAlongCurveText) return;  // the frame follows the path object instead
    const double oldX = frame_.XScale(), oldY = frame_.YScale();
    const double newX = sign(oldX) * (textWidth_ + model_.Margin(kLeftMargin) + model_.Margin(kRightMargin)) / 2;
    const double newY = sign(oldY) * (textHeight_ + model_.Margin(kTopMargin) + model_.Margin(kBottomMargin)) / 2;
    // The edge the alignment names stays where it was: left, right or centre, top, bottom or middle.
    const int32_t h = model_.HorizontalAlignment(), v = model_.VerticalAlignment();
    const tagPointF anchor{h == kAlignLeft ? -1.0 : h == kAlignRight ? 1.0 : 0.0,
                           v == kAlignTop ? -1.0 : v == kAlignBottom ? 1.0 : 0.0};
    const tagPointF before = frame_.MapUnitPoint(anchor);
    frame_.SetScales(newX, newY);
    const tagPointF after = frame_.MapUnitPoint(anchor);
    frame_.SetOffsets(frame_.XOffset() + before.x - after.x, frame_.YOffset() + before.y - after.y);
    if (x) *x = newX;
    if (y) *y = newY;
}

void CTextLayout::ScaleText(double fx, double fy) {
    CriticalSectionHolder hold(CacheLock());
    if (!std::isfinite(fx) || !std::isfinite(fy)) return;
    auto& chars = model_.MutableChars();
    for (TextCharRecord& c : chars) {
        c.xScale *= fx;
        c.x *= fx;
        c.yScale *= fy;
        c.y *= fy;
    }
    model_.SetDefaultScales(model_.FontX() * fx, model_.FontY() * fy);
    for (double& pen : feedPens_) pen *= fx;
    if (fx != 0) textWidth_ *= fx;
    if (fy != 0) {
        textHeight_ *= fy;
        topGap_ *= fy;
    }
    for (TextLine& line : lines_) {
        line.top *= fy;
        line.bottom *= fy;
    }
}

void CTextLayout::EqualizeScales() {
    {
        CriticalSectionHolder hold(CacheLock());
        const double common = std::min(model_.FontX(), model_.FontY());
        model_.SetDefaultScales(common, common);
        for (TextCharRecord& c : model_.MutableChars()) c.xScale = c.yScale = std::min(c.xScale, c.yScale);
    }
    Layout(0, true);
}

namespace {

bool FindInt(TextRecordSource& source, const char* name, int32_t& value) {
    const void* data = nullptr;
    uint32_t size = 0;
    if (!source.FindNamed(name, data, size)) return false;
    value = 0;
    if (data && size) std::memcpy(&value, data, std::min<size_t>(size, sizeof value));
    return true;
}

}  // namespace

void CTextLayout::ConvertEarlierFormat(TextRecordSource& source) {
    CriticalSectionHolder hold(CacheLock());
    int32_t ignored = 0, keepRatio = 0, smartFrame = 0;
    FindInt(source, "FormatWidth", ignored);
    FindInt(source, "KeepRatio", keepRatio);
    const void* data = nullptr;
    uint32_t size = 0;
    const bool hadFontY = source.FindNamed("FontY", data, size);
    if (!FindInt(source, "SmartFrame", smartFrame)) {
        Layout(0, true);
        return;
    }
    model_.PutTextType(model_.WrapText() ? kParagraphText : kArtisticText);
    const double oldX = frame_.XScale(), oldY = frame_.YScale();
    const double oldXOffset = frame_.XOffset(), oldYOffset = frame_.YOffset();
    frame_.SetScales(oldX * 1.1, oldY);
    Layout(0, false);
    frame_.SetScales(oldX, oldY);
    const double reference = smartFrame ? 2 * frame_.XScale() : textWidth_;
    if (model_.Type() != kParagraphText && ((keepRatio && reference != 0) || !hadFontY)) {
        // Scaled to the reference width; vertically to the frame's height when the file had no
        // FontY. An empty text (no glyph tops) or a zero extent is left as it is.
        const double inkHeight = textHeight_ - topGap_;
        const bool usable = textWidth_ > 0 && reference != 0 && (hadFontY || (topGap_ < 2147483647.0 && inkHeight > 0));
        if (usable) {
            const double fx = reference / textWidth_;
            ScaleText(fx, hadFontY ? fx : 2 * frame_.YScale() / inkHeight);
        }
    }
    FitFrameToText(nullptr, nullptr, true);
    Layout(0, true);
    if (model_.Type() == kParagraphText) frame_.SetOffsets(oldXOffset, oldYOffset);
}
