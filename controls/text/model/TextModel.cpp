#include "TextModel.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "TextFrame.h"
#include "fonts/FontSizes.h"
#include "fonts/FontTable.h"

namespace {

bool Finite(double v) { return std::isfinite(v); }

// The face of new text: 12 points of the default serif face at the screen's resolution.
LOGFONTA DefaultLogFont() {
    LOGFONTA lf{};
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    lf.lfHeight = static_cast<LONG>(-12.0 * dpi / 72);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(lf.lfFaceName, "Times New Roman");
    return lf;
}

}  // namespace

CTextModel::CTextModel(TextFrame* frame) : frame_(frame) {
    const LOGFONTA lf = DefaultLogFont();
    const FontEntry* entry = nullptr;
    defaultFont_ = FindOrAddFont(&lf, &entry);
    if (defaultFont_ < 0) {
        // No serif face on this system: any outline face GDI offers keeps indices valid.
        LOGFONTA any = lf;
        any.lfFaceName[0] = 0;
        defaultFont_ = FindOrAddFont(&any, &entry);
    }
    if (entry) fontX_ = fontY_ = ScaleForPointSize(*entry, 12);
}

std::wstring CTextModel::Text() const {
    std::wstring text;
    text.reserve(chars_.size());
    for (const TextCharRecord& c : chars_) {
        if (c.ch == L'\n') text += L'\r';
        text += wchar_t(c.ch);
    }
    return text;
}

TextCharRecord CTextModel::NewChar(wchar_t ch) const {
    TextCharRecord record;
    record.ch = ch;
    record.font = defaultFont_;
    record.xScale = fontX_;
    record.yScale = fontY_;
    return record;
}

bool CTextModel::PutText(const std::wstring& text) {
    if (text == Text()) return false;
    chars_.clear();
    chars_.reserve(text.size());
    for (wchar_t ch : text)
        if (ch != L'\r') chars_.push_back(NewChar(ch));
    layoutPending = textPending = true;
    return true;
}

double CTextModel::Margin(TextMargin which) const { return margins_[which]; }

bool CTextModel::PutMargin(TextMargin which, double value) {
    if (!(value > 0)) value = 0;  // negative values and NaN alike
    const bool horizontal = which == kLeftMargin || which == kRightMargin;
    const TextMargin opposite = which == kLeftMargin ? kRightMargin
                               : which == kRightMargin ? kLeftMargin
                               : which == kTopMargin ? kBottomMargin : kTopMargin;
    if (frame_) {
        const double extent = 2 * std::fabs(horizontal ? frame_->XScale() : frame_->YScale());
        if (value > extent) value = extent;
        if (value + margins_[opposite] > extent) margins_[opposite] = extent - value;
    }
    const bool changed = value != margins_[which];
    margins_[which] = value;
    layoutPending = changed;
    return changed;
}

bool CTextModel::PutSetting(int32_t& field, int32_t value) {
    if (value == field) return false;
    field = value;
    layoutPending = true;
    return true;
}

bool CTextModel::PutHorizontalAlignment(int32_t value) { return PutSetting(horizontalAlignment_, value); }

bool CTextModel::PutVerticalAlignment(int32_t value) { return PutSetting(verticalAlignment_, value); }

bool CTextModel::PutWrapText(int32_t value) {
    if (!PutSetting(wrapText_, value)) return false;
    wrapChanged = true;
    return true;
}

bool CTextModel::PutTextDir(int32_t value) { return PutSetting(textDir_, value); }

bool CTextModel::PutTextType(int32_t value) { return PutSetting(textType_, value); }

double CTextModel::FontRatio() const { return fontY_ != 0 ? fontX_ / fontY_ : 1; }

bool CTextModel::PutFontRatio(double value) {
    if (!Finite(value) || FontRatio() == value) return false;
    fontX_ = value * fontY_;
    for (TextCharRecord& c : chars_) c.xScale = value * c.yScale;
    layoutPending = true;
    return true;
}

void CTextModel::SetDefaultScales(double x, double y) {
    if (!Finite(x) || !Finite(y)) return;
    fontX_ = x;
    fontY_ = y;
}

void CTextModel::SetDefaultFont(int32_t font, double x, double y) {
    if (!FontTable::Shared().Entry(font)) return;
    defaultFont_ = font;
    SetDefaultScales(x, y);
}

double CTextModel::PointSize(int index) const {
    const bool ofDefault = index < 0 || static_cast<size_t>(index) >= chars_.size();
    const int font = ofDefault ? defaultFont_ : chars_[static_cast<size_t>(index)].font;
    const FontEntry* entry = FontTable::Shared().Entry(font);
    return entry ? GetPointSize(*entry, ofDefault ? fontY_ : chars_[static_cast<size_t>(index)].yScale) : 0;
}

int32_t CTextModel::UsableFont(int32_t index) const {
    return FontTable::Shared().Entry(index) ? index : defaultFont_;
}

void CTextModel::Sanitise(TextCharRecord& record) const {
    if (!FontTable::Shared().Entry(record.font)) record.font = defaultFont_;
    if (!Finite(record.xScale) || !Finite(record.yScale)) {
        record.xScale = fontX_;
        record.yScale = fontY_;
    }
    if (!Finite(record.x) || !Finite(record.y) || !Finite(record.rotation)) record.x = record.y = record.rotation = 0;
    record.padding1 = 0;
    std::memset(record.padding2, 0, sizeof record.padding2);
}

void CTextModel::PutFormatData(const std::vector<TextCharRecord>& records) {
    chars_ = records;
    for (TextCharRecord& c : chars_) Sanitise(c);
    if (!chars_.empty()) {
        defaultFont_ = chars_.front().font;
        fontX_ = chars_.front().xScale;
        fontY_ = chars_.front().yScale;
    }
    layoutPending = true;
}

bool CTextModel::ClampRange(long start, long end, size_t& first, size_t& last) const {
    const long length = static_cast<long>(chars_.size());
    if (end < 0 || end > length) end = length;
    if (start < 0) start = 0;
    if (start > length) start = length;
    first = static_cast<size_t>(start);
    last = static_cast<size_t>(std::max(start, end));
    return first < last;
}

std::vector<TextCharRecord> CTextModel::RangeFormat(long start, long end) const {
    size_t first, last;
    if (!ClampRange(start, end, first, last)) return {};
    return std::vector<TextCharRecord>(chars_.begin() + first, chars_.begin() + last);
}

void CTextModel::PutRangeFormat(long start, long end, const std::vector<TextCharRecord>& records) {
    size_t first, last;
    ClampRange(start, end, first, last);
    chars_.erase(chars_.begin() + first, chars_.begin() + last);
    std::vector<TextCharRecord> inserted = records;
    for (TextCharRecord& c : inserted) Sanitise(c);
    chars_.insert(chars_.begin() + first, inserted.begin(), inserted.end());
    layoutPending = true;
}

TextSnapshot CTextModel::Snapshot() const {
    TextSnapshot s;
    s.chars = chars_;
    s.leftMargin = margins_[kLeftMargin];
    s.rightMargin = margins_[kRightMargin];
    s.topMargin = margins_[kTopMargin];
    s.bottomMargin = margins_[kBottomMargin];
    s.horizontalAlignment = horizontalAlignment_;
    s.verticalAlignment = verticalAlignment_;
    s.wrapText = wrapText_;
    s.fontX = fontX_;
    s.fontY = fontY_;
    s.defaultFont = defaultFont_;
    s.textDir = textDir_;
    s.textType = textType_;
    return s;
}

void CTextModel::ApplySnapshot(const TextSnapshot& s) {
    PutMargin(kLeftMargin, s.leftMargin);
    PutMargin(kTopMargin, s.topMargin);
    PutMargin(kRightMargin, s.rightMargin);
    PutMargin(kBottomMargin, s.bottomMargin);
    horizontalAlignment_ = s.horizontalAlignment;
    verticalAlignment_ = s.verticalAlignment;
    wrapText_ = s.wrapText;
    textDir_ = s.textDir;
    defaultFont_ = UsableFont(s.defaultFont);
    if (Finite(s.fontX) && Finite(s.fontY)) {
        fontX_ = s.fontX;
        fontY_ = s.fontY;
    }
    chars_ = s.chars;
    for (TextCharRecord& c : chars_) Sanitise(c);
    textType_ = s.textType;
    layoutPending = true;
}
