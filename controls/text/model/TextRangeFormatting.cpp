// Range formatting of the text model: size, face and style of a run of characters.
#include <cmath>
#include <cstring>

#include "TextModel.h"
#include "fonts/FontSizes.h"
#include "fonts/FontTable.h"

namespace {

int CALLBACK NoteSymbolCharset(const LOGFONTA* font, const TEXTMETRICA*, DWORD type, LPARAM found) {
    if ((type & TRUETYPE_FONTTYPE) && font->lfCharSet == SYMBOL_CHARSET) *reinterpret_cast<bool*>(found) = true;
    return 1;
}

// SYMBOL_CHARSET when a TrueType face of that name has the symbol character set, else
// DEFAULT_CHARSET.
BYTE CharsetForFace(const char* face) {
    LOGFONTA query{};
    query.lfCharSet = DEFAULT_CHARSET;
    std::memcpy(query.lfFaceName, face, strnlen(face, LF_FACESIZE - 1));
    bool symbol = false;
    const HDC screen = GetDC(nullptr);
    if (screen) {
        EnumFontFamiliesExA(screen, &query, NoteSymbolCharset, reinterpret_cast<LPARAM>(&symbol), 0);
        ReleaseDC(nullptr, screen);
    }
    return symbol ? SYMBOL_CHARSET : DEFAULT_CHARSET;
}

const LOGFONTA* LogFontOf(int index) {
    const FontEntry* entry = FontTable::Shared().Entry(index);
    return entry ? &entry->logFont : nullptr;
}

}  // namespace

void CTextModel::ApplyFont(int newFont, int oldFont, double& x, double& y) {
    const FontEntry* oldEntry = FontTable::Shared().Entry(oldFont);
    const FontEntry* newEntry = FontTable::Shared().Entry(newFont);
    if (!oldEntry || !newEntry) return;
    SetPointSizeKeepRatio(*newEntry, GetPointSize(*oldEntry, y), &x, &y);
}

void CTextModel::SetRangeFontSize(long start, long end, double points) {
    if (!std::isfinite(points)) return;
    if (const FontEntry* entry = FontTable::Shared().Entry(defaultFont_))
        SetPointSizeKeepRatio(*entry, points, &fontX_, &fontY_);
    size_t first, last;
    if (ClampRange(start, end, first, last)) {
        for (size_t i = first; i < last; ++i) {
            TextCharRecord& c = chars_[i];
            if (const FontEntry* entry = FontTable::Shared().Entry(c.font))
                SetPointSizeKeepRatio(*entry, points, &c.xScale, &c.yScale);
        }
    }
    layoutPending = true;
}

void CTextModel::SetRangeFont(long start, long end, const LOGFONTA& font) {
    LOGFONTA face = font;
    face.lfFaceName[LF_FACESIZE - 1] = 0;
    face.lfCharSet = CharsetForFace(face.lfFaceName);
    // The face is new; the style and the size stay those of the character (or the default).
    auto restyle = [&face](int current) {
        const LOGFONTA* have = LogFontOf(current);
        if (!have) return -1;
        LOGFONTA wanted = face;
        wanted.lfWeight = have->lfWeight;
        wanted.lfItalic = have->lfItalic;
        wanted.lfUnderline = have->lfUnderline;
        wanted.lfStrikeOut = have->lfStrikeOut;
        return FindOrAddFont(&wanted, nullptr);
    };
    const int newDefault = restyle(defaultFont_);
    if (newDefault >= 0) {
        ApplyFont(newDefault, defaultFont_, fontX_, fontY_);
        defaultFont_ = newDefault;
    }
    size_t first, last;
    if (ClampRange(start, end, first, last)) {
        for (size_t i = first; i < last; ++i) {
            TextCharRecord& c = chars_[i];
            const int changed = restyle(c.font);
            if (changed < 0) continue;  // a face that cannot be made leaves the character alone
            ApplyFont(changed, c.font, c.xScale, c.yScale);
            c.font = changed;
        }
    }
    layoutPending = true;
}

void CTextModel::SetRangeStyle(long start, long end, unsigned bits) {
    size_t first, last;
    if (!ClampRange(start, end, first, last)) {
        // No range: the style of new text toggles.
        const LOGFONTA* have = LogFontOf(defaultFont_);
        if (!have) return;
        LOGFONTA wanted = *have;
        if (bits & kStyleBold) wanted.lfWeight = wanted.lfWeight == FW_NORMAL ? FW_BOLD : FW_NORMAL;
        if (bits & kStyleItalic) wanted.lfItalic = !wanted.lfItalic;
        if (bits & kStyleUnderline) wanted.lfUnderline = !wanted.lfUnderline;
        if (bits & kStyleStrikeOut) wanted.lfStrikeOut = !wanted.lfStrikeOut;
        const int font = FindOrAddFont(&wanted, nullptr);
        if (font < 0) return;
        ApplyFont(font, defaultFont_, fontX_, fontY_);
        defaultFont_ = font;
        layoutPending = true;
        return;
    }
    // The range's first character decides which way every character goes.
    const LOGFONTA* lead = LogFontOf(chars_[first].font);
    if (!lead) return;
    const LONG targetWeight = lead->lfWeight == FW_NORMAL ? FW_BOLD : FW_NORMAL;
    const BYTE targetItalic = !lead->lfItalic, targetUnderline = !lead->lfUnderline,
               targetStrikeOut = !lead->lfStrikeOut;
    for (size_t i = first; i < last; ++i) {
        TextCharRecord& c = chars_[i];
        const LOGFONTA* have = LogFontOf(c.font);
        if (!have) continue;
        LOGFONTA wanted = *have;
        if (bits & kStyleBold) wanted.lfWeight = targetWeight;
        if (bits & kStyleItalic) wanted.lfItalic = targetItalic;
        if (bits & kStyleUnderline) wanted.lfUnderline = targetUnderline;
        if (bits & kStyleStrikeOut) wanted.lfStrikeOut = targetStrikeOut;
        if (wanted.lfWeight == have->lfWeight && !wanted.lfItalic == !have->lfItalic &&
            !wanted.lfUnderline == !have->lfUnderline && !wanted.lfStrikeOut == !have->lfStrikeOut)
            continue;  // already in the target state
        const int font = FindOrAddFont(&wanted, nullptr);
        if (font < 0) continue;
        ApplyFont(font, c.font, c.xScale, c.yScale);
        c.font = font;
        defaultFont_ = font;
        fontX_ = c.xScale;
        fontY_ = c.yScale;
    }
    layoutPending = true;
}
