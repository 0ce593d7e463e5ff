// Benchmark of the text objects beside GDI, from one run:
//   glyphs   outlines built per second for 2,000 glyphs of a fresh font (plain and underlined),
//            against GDI's outline text (BeginPath, TextOutW, EndPath, GetPath at the em size);
//   layout   BreakLines + AlignLines of 10,000 characters, against DrawTextW with
//            DT_CALCRECT | DT_WORDBREAK over the same text and width.
//
//   text-bench [FONTFILE FACE]     (default: DejaVu Sans from the system's fonts)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fonts/CharacterMap.h"
#include "fonts/FontEntry.h"
#include "fonts/FontTable.h"
#include "fonts/GlyphCache.h"
#include "layout/TextLayout.h"
#include "model/PlainTextFrame.h"
#include "model/TextModel.h"

namespace {

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return double(counter.QuadPart) / double(frequency.QuadPart);
}

template <class F>
double Median(int runs, F&& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = Now();
        work();
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The first 2,000 code points the font maps, from the space on.
std::vector<wchar_t> MappedCharacters(const LOGFONTA& lf) {
    std::vector<wchar_t> chars;
    const HDC dc = CreateCompatibleDC(nullptr);
    const HFONT font = CreateOutlineFont(dc, lf);
    const HGDIOBJ previous = SelectObject(dc, font);
    const CharacterMap map = CharacterMap::FromFont(dc);
    for (unsigned c = 0x21; c < 0xFFFF && chars.size() < 2000; ++c)
        if (map.GlyphIndex(c)) chars.push_back(static_cast<wchar_t>(c));
    SelectObject(dc, previous);
    DeleteObject(font);
    DeleteDC(dc);
    return chars;
}

double OurGlyphs(const std::vector<wchar_t>& chars, const LOGFONTA& lf) {
    return Median(5, [&] {
        FontTable fonts;
        GlyphCache cache(fonts);
        const int font = fonts.FindOrAdd(lf);
        for (wchar_t ch : chars) cache.Glyph(ch, font);
    });
}

double GdiGlyphs(const std::vector<wchar_t>& chars, const LOGFONTA& lf) {
    return Median(5, [&] {
        const HDC dc = CreateCompatibleDC(nullptr);
        OutlineMetricsRecord metrics;
        const HFONT font = CreateOutlineFont(dc, lf, &metrics);
        const HGDIOBJ previous = SelectObject(dc, font);
        std::vector<POINT> points(4096);
        std::vector<BYTE> types(4096);
        for (wchar_t ch : chars) {
            BeginPath(dc);
            TextOutW(dc, 0, 0, &ch, 1);
            EndPath(dc);
            int n = GetPath(dc, nullptr, nullptr, 0);
            if (n > int(points.size())) {
                points.resize(size_t(n));
                types.resize(size_t(n));
            }
            if (n > 0) GetPath(dc, points.data(), types.data(), n);
            AbortPath(dc);
        }
        SelectObject(dc, previous);
        DeleteObject(font);
        DeleteDC(dc);
    });
}

// The platform's outline call alone, one per glyph into a kept buffer: the floor of building glyphs.
double OutlineCallsAlone(const std::vector<wchar_t>& chars, const LOGFONTA& lf) {
    return Median(5, [&] {
        const HDC dc = CreateCompatibleDC(nullptr);
        const HFONT font = CreateOutlineFont(dc, lf);
        const HGDIOBJ previous = SelectObject(dc, font);
        const CharacterMap map = CharacterMap::FromFont(dc);
        static const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
        std::vector<BYTE> buffer(10000);
        GLYPHMETRICS gm;
        for (wchar_t ch : chars)
            GetGlyphOutlineA(dc, map.GlyphIndex(ch), GGO_GLYPH_INDEX | GGO_NATIVE, &gm, DWORD(buffer.size()),
                             buffer.data(), &identity);
        SelectObject(dc, previous);
        DeleteObject(font);
        DeleteDC(dc);
    });
}

std::wstring SampleText(size_t length) {
    static const wchar_t* words[] = {L"greeting", L"card", L"for", L"you", L"and", L"a", L"happy", L"birthday,",
                                     L"with", L"love", L"from", L"all", L"of", L"us."};
    std::wstring text;
    for (size_t i = 0; text.size() < length; ++i) {
        text += words[(i * 7 + i / 3) % 14];
        text += (i % 40 == 39) ? L'\n' : L' ';
    }
    text.resize(length);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    const char* file = argc > 2 ? argv[1] : "Z:\\usr\\share\\fonts\\truetype\\dejavu\\DejaVuSans.ttf";
    const char* face = argc > 2 ? argv[2] : "DejaVu Sans";
    if (!AddFontResourceExA(file, FR_PRIVATE, nullptr)) {
        std::fprintf(stderr, "text-bench: cannot register %s\n", file);
        return 1;
    }
    LOGFONTA lf{};
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    const std::vector<wchar_t> chars = MappedCharacters(lf);
    LOGFONTA underlined = lf;
    underlined.lfUnderline = 1;

    const double ours = OurGlyphs(chars, lf), oursUnderlined = OurGlyphs(chars, underlined);
    const double gdi = GdiGlyphs(chars, lf), gdiUnderlined = GdiGlyphs(chars, underlined);
    const double n = double(chars.size());
    std::printf("%-28s %14s %14s %8s\n", "workload", "text objects", "GDI", "ratio");
    std::printf("%-28s %12.0f/s %12.0f/s %7.2fx\n", "glyphs, plain", n / ours, n / gdi, gdi / ours);
    std::printf("%-28s %12.0f/s %12.0f/s %7.2fx\n", "glyphs, underlined", n / oursUnderlined, n / gdiUnderlined,
                gdiUnderlined / oursUnderlined);
    const double floor = OutlineCallsAlone(chars, lf);
    std::printf("%-28s %12.0f/s %14s %7.2fx   (the platform's GetGlyphOutlineA alone)\n", "outline calls alone",
                n / floor, "", gdi / floor);

    // Layout of 10,000 characters at 12 points in a frame six inches wide.
    PlainTextFrame frame(3, 100);
    CTextModel model(&frame);
    const std::wstring text = SampleText(10000);
    model.PutTextType(kParagraphText);
    model.SetRangeFont(0, -1, lf);
    model.PutText(text);
    CTextLayout layout(model, frame, GlyphCache::Shared());
    layout.Layout(0, true);  // glyphs built once, as a drawn text has them
    const double ourLayout = Median(9, [&] {
        layout.BreakLines();
        layout.AlignLines();
    });
    const HDC dc = CreateCompatibleDC(nullptr);
    LOGFONTA screenFont = lf;
    screenFont.lfHeight = -12 * GetDeviceCaps(dc, LOGPIXELSY) / 72;
    const HFONT font = CreateFontIndirectA(&screenFont);
    const HGDIOBJ previous = SelectObject(dc, font);
    const int width = 6 * GetDeviceCaps(dc, LOGPIXELSX);
    const double gdiLayout = Median(9, [&] {
        RECT r{0, 0, width, 0};
        DrawTextW(dc, text.c_str(), int(text.size()), &r, DT_CALCRECT | DT_WORDBREAK);
    });
    SelectObject(dc, previous);
    DeleteObject(font);
    DeleteDC(dc);
    std::printf("%-28s %10.3f ms %11.3f ms %7.2fx   (%zu lines)\n", "layout, 10,000 characters", ourLayout * 1e3,
                gdiLayout * 1e3, gdiLayout / ourLayout, layout.Lines().size());
    std::printf("ratio: GDI's time over ours (above 1: the text objects are faster)\n");
    return 0;
}
