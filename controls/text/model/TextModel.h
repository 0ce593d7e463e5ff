#pragma once
// The data of one text object: its characters, each with its own font and scales, the default
// font and scales of new text, the margins, alignments, wrapping, direction and text type. The
// COM layer of the text control calls it; the viewer loads and lays it out without COM. A text
// that the preview thread also draws is changed under the cache lock, as the by-name edits do.
#include <windows.h>

#include <string>
#include <vector>

#include "TextCharRecord.h"
#include "TextRecordIo.h"

class TextFrame;

enum TextHorzAlignment : int32_t { kAlignLeft = 0, kAlignRight = 1, kAlignCenter = 2 };
enum TextVertAlignment : int32_t { kAlignTop = 0, kAlignBottom = 1, kAlignMiddle = 2 };
enum TextDirection : int32_t { kBackwardText = 0, kForwardText = 1 };
enum TextType : int32_t { kArtisticText = 0, kParagraphText = 1, kAlongCurveText = 2 };

// Style bits of SetRangeStyle.
enum TextStyleBits : unsigned { kStyleBold = 1, kStyleItalic = 2, kStyleUnderline = 4, kStyleStrikeOut = 8 };

enum TextMargin { kLeftMargin, kRightMargin, kTopMargin, kBottomMargin };

// A whole text object's state, as the TextData snapshot object carries it.
struct TextSnapshot {
    std::vector<TextCharRecord> chars;
    double leftMargin = 0, rightMargin = 0, topMargin = 0, bottomMargin = 0;
    int32_t horizontalAlignment = 0, verticalAlignment = 0, wrapText = 1;
    double fontX = 0, fontY = 0;
    int32_t defaultFont = 0, textDir = 1, textType = 0;
};

class CTextModel {
public:
    // frame may be null until the control connects one; margins are then not capped.
    explicit CTextModel(TextFrame* frame = nullptr);
    virtual ~CTextModel() = default;

    void SetFrame(TextFrame* frame) { frame_ = frame; }
    TextFrame* Frame() const { return frame_; }

    // The text with every LF written as CR LF.
    std::wstring Text() const;
    // Rebuilds every character from text (CRs dropped) in the default font and scales; false
    // when it equals the current text and nothing changed.
    bool PutText(const std::wstring& text);

    double Margin(TextMargin which) const;
    // Negative values become 0, a margin is capped at the frame's extent and pushes the opposite
    // margin back; true when the value changed.
    bool PutMargin(TextMargin which, double value);

    int32_t HorizontalAlignment() const { return horizontalAlignment_; }
    int32_t VerticalAlignment() const { return verticalAlignment_; }
    int32_t WrapText() const { return wrapText_; }
    int32_t TextDir() const { return textDir_; }
    int32_t Type() const { return textType_; }
    int32_t Modified() const { return modified_; }
    bool PutHorizontalAlignment(int32_t value);
    bool PutVerticalAlignment(int32_t value);
    bool PutWrapText(int32_t value);
    bool PutTextDir(int32_t value);
    bool PutTextType(int32_t value);
    void PutModified(int32_t value) { modified_ = value; }

    // FontX / FontY (1 for a zero FontY); putting it rescales every character's X.
    double FontRatio() const;
    bool PutFontRatio(double value);

    int32_t DefaultFont() const { return defaultFont_; }
    // Sets FontX and FontY directly (layout's scaling); non-finite values are refused.
    void SetDefaultScales(double x, double y);
    // The font and scales of new text, as a range's formats carried them; a font the table lacks
    // is refused.
    void SetDefaultFont(int32_t font, double x, double y);
    double FontX() const { return fontX_; }
    double FontY() const { return fontY_; }
    // Point size of a character (or of the default when index is -1).
    double PointSize(int index) const;

    const std::vector<TextCharRecord>& Chars() const { return chars_; }
    std::vector<TextCharRecord>& MutableChars() { return chars_; }
    // All character records; a non-empty list also sets the default font and scales from its
    // first character. Fonts the table does not hold and unusable scales become the default's.
    void PutFormatData(const std::vector<TextCharRecord>& records);
    // Copies of the records start .. end (clamped to the text).
    std::vector<TextCharRecord> RangeFormat(long start, long end) const;
    // Replaces start .. end by the records given.
    void PutRangeFormat(long start, long end, const std::vector<TextCharRecord>& records);

    // Range formatting: end -1 means the end of the text; ranges are clamped to the text.
    void SetRangeFontSize(long start, long end, double points);
    void SetRangeFont(long start, long end, const LOGFONTA& font);
    void SetRangeStyle(long start, long end, unsigned bits);

    // The clamped range [first, last) of the arguments (end -1: the end of the text); false when empty.
    bool ClampRange(long start, long end, size_t& first, size_t& last) const;

    TextSnapshot Snapshot() const;
    void ApplySnapshot(const TextSnapshot& snapshot);

    HRESULT Save(TextRecordSink& sink) const;
    // Reads the records, keeping the current value of each field whose record is missing.
    // Damaged records are never used: a font entry the record does not hold, a font that cannot
    // be made or a non-finite scale falls back to the default.
    HRESULT Load(TextRecordSource& source);

    // Set by every change that needs layout; the layer that lays the text out clears them.
    bool layoutPending = false;
    bool textPending = false;
    bool wrapChanged = false;

protected:
    // Changes an integer setting that needs layout; false when it already has the value.
    bool PutSetting(int32_t& field, int32_t value);
    // A font index the table holds, else the default font.
    int32_t UsableFont(int32_t index) const;
    void Sanitise(TextCharRecord& record) const;
    // The record a new character gets.
    TextCharRecord NewChar(wchar_t ch) const;
    // Gives the character (or the default, for null) the font, keeping its point size.
    void ApplyFont(int newFont, int oldFont, double& x, double& y);

    TextFrame* frame_ = nullptr;
    std::vector<TextCharRecord> chars_;
    double margins_[4] = {0, 0, 0, 0};
    int32_t horizontalAlignment_ = kAlignLeft;
    int32_t verticalAlignment_ = kAlignTop;
    int32_t defaultFont_ = -1;
    double fontX_ = 0, fontY_ = 0;
    int32_t wrapText_ = 1;
    int32_t textDir_ = kForwardText;
    int32_t textType_ = kArtisticText;
    int32_t modified_ = 0;
};
