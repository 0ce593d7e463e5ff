#include "RecordSamples.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "fonts/FontTable.h"
#include "fonts/GlyphCache.h"
#include "layout/TextLayout.h"
#include "model/PlainTextFrame.h"
#include "model/PropertyBagRecords.h"
#include "model/TextModel.h"

namespace {

bool WriteModel(const CTextModel& model, const char* path) {
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return false;
    StreamRecordSink sink(stream);
    bool ok = SUCCEEDED(model.Save(sink)) && SUCCEEDED(WriteRecordTerminator(stream));
    HGLOBAL memory = nullptr;
    STATSTG stat{};
    ok = ok && SUCCEEDED(GetHGlobalFromStream(stream, &memory)) && SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME));
    if (ok) {
        const char* bytes = static_cast<const char*>(GlobalLock(memory));
        std::ofstream file(path, std::ios::binary);
        file.write(bytes, static_cast<std::streamsize>(stat.cbSize.QuadPart));
        GlobalUnlock(memory);
        ok = bool(file);
    }
    stream->Release();
    return ok;
}

void PrintModel(const CTextModel& model) {
    std::printf("textlen %zu\n", model.Text().size());
    std::printf("text");
    for (wchar_t ch : model.Text()) std::printf(" %04X", unsigned(ch));
    std::printf("\n");
    std::printf("margins %.17g %.17g %.17g %.17g\n", model.Margin(kLeftMargin), model.Margin(kRightMargin),
                model.Margin(kTopMargin), model.Margin(kBottomMargin));
    std::printf("settings halign %d valign %d wrap %d dir %d type %d\n", model.HorizontalAlignment(),
                model.VerticalAlignment(), model.WrapText(), model.TextDir(), model.Type());
    const FontEntry* def = FontTable::Shared().Entry(model.DefaultFont());
    std::printf("default face %s fontx %.17g fonty %.17g points %.17g\n", def ? def->logFont.lfFaceName : "-",
                model.FontX(), model.FontY(), model.PointSize(-1));
    const auto& chars = model.Chars();
    for (size_t i = 0; i < chars.size(); ++i) {
        const FontEntry* e = FontTable::Shared().Entry(chars[i].font);
        std::printf("char %zu U+%04X face %s weight %ld italic %d underline %d strikeout %d charset %d points %.6f "
                    "ratio %.6f\n",
                    i, unsigned(chars[i].ch), e ? e->logFont.lfFaceName : "-", e ? e->logFont.lfWeight : 0,
                    e ? e->logFont.lfItalic : 0, e ? e->logFont.lfUnderline : 0, e ? e->logFont.lfStrikeOut : 0,
                    e ? e->logFont.lfCharSet : 0, model.PointSize(static_cast<int>(i)),
                    chars[i].yScale != 0 ? chars[i].xScale / chars[i].yScale : 0);
    }
}

}  // namespace

int SaveRecordSample(const char* path) {
    CTextModel model;
    model.PutText(L"Bold italic\r\nsizes \x416\x44B \x20AC\r\nunder");
    model.SetRangeStyle(0, 4, kStyleBold);
    model.SetRangeStyle(5, 11, kStyleItalic);
    model.SetRangeFontSize(12, 17, 24);
    model.SetRangeStyle(23, -1, kStyleUnderline | kStyleStrikeOut);
    LOGFONTA sans{};
    lstrcpyA(sans.lfFaceName, "DejaVu Sans");
    model.SetRangeFont(18, 22, sans);
    model.PutMargin(kLeftMargin, 0.25);
    model.PutMargin(kBottomMargin, 0.125);
    model.PutHorizontalAlignment(kAlignCenter);
    model.PutVerticalAlignment(kAlignBottom);
    model.PutTextType(kParagraphText);
    model.PutFontRatio(1.5);
    PrintModel(model);
    if (!WriteModel(model, path)) {
        std::fprintf(stderr, "text-dump: cannot write %s\n", path);
        return 1;
    }
    return 0;
}

namespace {

// Reads a record file into the bag; false (with a message) when it is refused.
bool ReadBag(const char* path, CTarnPropertyBag& bag) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return false;
    ULONG written = 0;
    stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    const LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    const HRESULT hr = bag.ReadFrom(stream);
    stream->Release();
    if (FAILED(hr)) std::printf("refused 0x%08lX\n", static_cast<unsigned long>(hr));
    return SUCCEEDED(hr);
}

}  // namespace

int LayOutRecords(const char* path, double xScale, double yScale) {
    CTarnPropertyBag bag;
    if (!ReadBag(path, bag)) return 3;
    PlainTextFrame frame(xScale, yScale);
    frame.loading = true;
    CTextModel model(&frame);
    PropertyBagRecordSource source(bag);
    model.Load(source);
    CTextLayout layout(model, frame, GlyphCache::Shared());
    layout.ConvertEarlierFormat(source);
    std::printf("type %d\n", model.Type());
    std::printf("frame %.17g %.17g offset %.17g %.17g\n", frame.XScale(), frame.YScale(), frame.XOffset(), frame.YOffset());
    std::printf("size %.17g %.17g topgap %.17g\n", layout.TextWidth(), layout.TextHeight(), layout.FirstLineTopGap());
    for (const TextLine& l : layout.Lines())
        std::printf("line %d %d %d %.17g %.17g\n", l.first, l.last, l.endKind, l.top, l.bottom);
    const auto& chars = model.Chars();
    for (size_t i = 0; i < chars.size(); ++i)
        std::printf("place %zu U+%04X %.17g %.17g scale %.17g %.17g\n", i, unsigned(chars[i].ch), chars[i].x, chars[i].y,
                    chars[i].xScale, chars[i].yScale);
    return 0;
}

int LoadRecords(const char* path, const char* out) {
    CTarnPropertyBag bag;
    if (!ReadBag(path, bag)) return 3;
    CTextModel model;
    PropertyBagRecordSource source(bag);
    model.Load(source);
    PrintModel(model);
    if (out && !WriteModel(model, out)) {
        std::fprintf(stderr, "text-dump: cannot write %s\n", out);
        return 1;
    }
    return 0;
}
