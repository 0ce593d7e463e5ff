// Saving and loading the text model as keyed property records.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "TextModel.h"
#include "fonts/CodePages.h"
#include "fonts/FontSizes.h"
#include "fonts/FontTable.h"

namespace {

// Takes a fixed-size field the way the property bag does: a record with data replaces the value,
// taking at most the field's width; an empty or missing record leaves it alone.
template <class T>
bool TakeField(bool found, const void* data, uint32_t size, T& value) {
    if (!found || size == 0 || !data) return false;
    T read;
    std::memset(&read, 0, sizeof read);
    std::memcpy(&read, data, std::min<size_t>(size, sizeof read));
    value = read;
    return true;
}

template <class T>
bool ReadNamed(TextRecordSource& source, const char* name, T& value) {
    const void* data = nullptr;
    uint32_t size = 0;
    const bool found = source.FindNamed(name, data, size);
    return TakeField(found, data, size, value);
}

template <class T>
bool ReadId(TextRecordSource& source, uint32_t id, T& value) {
    const void* data = nullptr;
    uint32_t size = 0;
    const bool found = source.FindId(id, data, size);
    return TakeField(found, data, size, value);
}

void ReadFiniteNamed(TextRecordSource& source, const char* name, double& value) {
    double read = value;
    if (ReadNamed(source, name, read) && std::isfinite(read)) value = read;
}

// The distinct font indices of the records, ascending.
std::vector<int32_t> DistinctFonts(const TextCharRecord* records, size_t count) {
    std::vector<int32_t> fonts(count);
    for (size_t i = 0; i < count; ++i) fonts[i] = records[i].font;
    std::sort(fonts.begin(), fonts.end());
    fonts.erase(std::unique(fonts.begin(), fonts.end()), fonts.end());
    return fonts;
}

}  // namespace

HRESULT CTextModel::Save(TextRecordSink& sink) const {
    const std::wstring text = Text();
    const uint32_t length = static_cast<uint32_t>(text.size());
    HRESULT hr = sink.PutNamed("TextLen", &length, sizeof length);
    if (SUCCEEDED(hr)) hr = sink.PutNamed("Text", text.data(), 2 * length);
    static const char* const kMarginNames[] = {"BottomMargin", "TopMargin", "LeftMargin", "RightMargin"};
    static const TextMargin kMarginOrder[] = {kBottomMargin, kTopMargin, kLeftMargin, kRightMargin};
    for (int i = 0; i < 4 && SUCCEEDED(hr); ++i)
        hr = sink.PutNamed(kMarginNames[i], &margins_[kMarginOrder[i]], sizeof(double));
    if (SUCCEEDED(hr)) hr = sink.PutNamed("HorizontalAlignment", &horizontalAlignment_, 4);
    if (SUCCEEDED(hr)) hr = sink.PutNamed("VerticalAlignment", &verticalAlignment_, 4);
    if (SUCCEEDED(hr)) hr = sink.PutNamed("WrapText", &wrapText_, 4);
    if (SUCCEEDED(hr)) hr = sink.PutNamed("TextDir", &textDir_, 4);
    LOGFONTA defaultFont{};
    if (const FontEntry* entry = FontTable::Shared().Entry(defaultFont_)) defaultFont = entry->logFont;
    if (SUCCEEDED(hr)) hr = sink.PutNamed("Font", &defaultFont, sizeof defaultFont);
    if (SUCCEEDED(hr)) hr = sink.PutNamed("FontX", &fontX_, sizeof fontX_);
    if (SUCCEEDED(hr)) hr = sink.PutNamed("FontY", &fontY_, sizeof fontY_);
    if (SUCCEEDED(hr)) hr = sink.PutId(kTextRecordType, &textType_, sizeof textType_);
    if (SUCCEEDED(hr))
        hr = sink.PutId(kTextRecordChars, chars_.data(), static_cast<uint32_t>(chars_.size() * sizeof(TextCharRecord)));
    if (FAILED(hr)) return hr;
    std::vector<FontEntry> entries;
    for (int32_t font : DistinctFonts(chars_.data(), chars_.size())) {
        const FontEntry* entry = FontTable::Shared().Entry(font);
        entries.push_back(entry ? *entry : FontEntry{});
    }
    return sink.PutId(kTextRecordFonts, entries.data(), static_cast<uint32_t>(entries.size() * sizeof(FontEntry)));
}

HRESULT CTextModel::Load(TextRecordSource& source) {
    // 1. The default font and scales.
    LOGFONTA stored{};
    ReadNamed(source, "Font", stored);
    const int loadedDefault = FindOrAddFont(&stored, nullptr);
    if (loadedDefault >= 0) defaultFont_ = loadedDefault;
    double scale = 0;
    if (ReadNamed(source, "FontX", scale) && std::isfinite(scale) && std::fabs(scale) >= 1e-10) fontX_ = scale;
    scale = 0;
    if (ReadNamed(source, "FontY", scale) && std::isfinite(scale) && std::fabs(scale) >= 1e-10) fontY_ = scale;

    // 2. The text: UTF-16 when its size matches TextLen, else 8-bit text in the font's code page.
    const void* textData = nullptr;
    uint32_t textSize = 0;
    if (source.FindNamed("Text", textData, textSize)) {
        uint32_t textLen = 0;
        const bool haveLen = ReadNamed(source, "TextLen", textLen);
        std::wstring text;
        if (haveLen && uint64_t(textSize) == 2 * uint64_t(textLen)) {
            text.resize(textLen);
            if (textLen) std::memcpy(&text[0], textData, textSize);
        } else if (textSize && textData) {
            const char* bytes = static_cast<const char*>(textData);
            int count = static_cast<int>(std::min<uint32_t>(textSize, 0x7FFFFFFF));
            if (bytes[count - 1] == '\n') --count;
            const FontEntry* entry = FontTable::Shared().Entry(defaultFont_);
            const UINT page = CodePageFromCharset(entry ? entry->logFont.lfCharSet : DEFAULT_CHARSET);
            const int wide = count ? MultiByteToWideChar(page, 0, bytes, count, nullptr, 0) : 0;
            if (wide > 0) {
                text.resize(static_cast<size_t>(wide));
                MultiByteToWideChar(page, 0, bytes, count, &text[0], wide);
            }
        }
        chars_.clear();
        for (wchar_t ch : text)
            if (ch != L'\r') chars_.push_back(NewChar(ch));
        layoutPending = textPending = true;
    }

    // 3. Margins, alignments, wrapping, direction and type.
    ReadFiniteNamed(source, "BottomMargin", margins_[kBottomMargin]);
    ReadFiniteNamed(source, "TopMargin", margins_[kTopMargin]);
    ReadFiniteNamed(source, "LeftMargin", margins_[kLeftMargin]);
    ReadFiniteNamed(source, "RightMargin", margins_[kRightMargin]);
    ReadNamed(source, "HorizontalAlignment", horizontalAlignment_);
    ReadNamed(source, "VerticalAlignment", verticalAlignment_);
    ReadNamed(source, "WrapText", wrapText_);
    ReadNamed(source, "TextDir", textDir_);
    ReadId(source, kTextRecordType, textType_);

    // 4. Character formats: the stored font indices name the stored entries in ascending order.
    const void* charData = nullptr;
    uint32_t charSize = 0;
    if (source.FindId(kTextRecordChars, charData, charSize) && charData) {
        const size_t n = std::min<size_t>(chars_.size(), charSize / sizeof(TextCharRecord));
        std::vector<TextCharRecord> stored(n);
        if (n) std::memcpy(stored.data(), charData, n * sizeof(TextCharRecord));
        const void* fontData = nullptr;
        uint32_t fontSize = 0;
        if (!source.FindId(kTextRecordFonts, fontData, fontSize) || !fontData) fontSize = 0;
        const size_t entriesHeld = fontSize / sizeof(FontEntry);
        const std::vector<int32_t> distinct = DistinctFonts(stored.data(), n);
        for (size_t i = 0; i < distinct.size(); ++i) {
            int font = -1;
            if (i < entriesHeld) {
                FontEntry entry;
                std::memcpy(&entry, static_cast<const BYTE*>(fontData) + i * sizeof(FontEntry), sizeof entry);
                font = FindOrAddFont(&entry.logFont, nullptr);
            }
            for (size_t c = 0; c < n; ++c) {
                if (stored[c].font != distinct[i]) continue;
                const bool usable = font >= 0 && std::isfinite(stored[c].xScale) && std::isfinite(stored[c].yScale);
                chars_[c].font = font >= 0 ? font : defaultFont_;
                chars_[c].xScale = usable ? stored[c].xScale : fontX_;
                chars_[c].yScale = usable ? stored[c].yScale : fontY_;
            }
        }
    }
    return S_OK;
}
