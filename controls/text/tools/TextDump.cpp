// Prints what the text objects make of a font, for checks against independent readers.
//
//   text-dump glyphs FONTFILE FACE [bold] [italic] [underline] [strikeout] HEX...
//       per code point: "glyph U+XXXX index N advance A segments K", then the outline as path
//       lines (M, L, C, Z with 17 significant digits) and a blank line
//   text-dump metrics FONTFILE FACE [styles] HEX...
//       per code point: "metrics U+XXXX blackbox W H origin X Y cellinc X Y"
//   text-dump cmap FONTFILE FACE FIRST LAST
//       "cmap XXXX N" for every code point from FIRST to LAST (hex) that maps to a glyph
//   text-dump save-sample FILE
//       saves a sample text's records to FILE and prints what the text holds
//   text-dump load FILE [OUT]
//       loads a text's records, prints what the text holds and saves it again to OUT
//   text-dump layout FILE XSCALE YSCALE
//       loads a text's records into a frame of that half width and height (inches), converts an
//       earlier file's layout and prints the frame, size, lines and places
//   text-dump curve-nearest FILE
//       for "path ..." and "near x y" lines: the path's length and the nearest positions
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fonts/CharacterMap.h"
#include "fonts/FontEntry.h"
#include "fonts/FontTable.h"
#include "fonts/GlyphCache.h"
#include "CurveCommands.h"
#include "RecordSamples.h"

namespace {

void PrintPath(const SegmentArray& segments) {
    bool open = false;
    for (size_t i = 0; i < segments.size(); ++i) {
        const SegmentDesc& s = segments[i];
        if (s.kind == kSegmentEnd) {
            if (open) std::printf("Z\n");
            open = false;
            continue;
        }
        if (!open) std::printf("M %.17g %.17g\n", s.pt1.x, s.pt1.y);
        open = true;
        const tagPointF end = i + 1 < segments.size() ? segments[i + 1].pt1 : s.pt2;
        if (s.kind == kSegmentLine)
            std::printf("L %.17g %.17g\n", s.pt2.x, s.pt2.y);
        else
            std::printf("C %.17g %.17g %.17g %.17g %.17g %.17g\n", s.pt2.x, s.pt2.y, s.pt3.x, s.pt3.y, end.x, end.y);
    }
}

CharacterMap MapOfFont(int font) {
    const HDC dc = CreateCompatibleDC(nullptr);
    const HFONT outline = CreateOutlineFont(dc, FontTable::Shared().Entry(font)->logFont);
    const HGDIOBJ previous = SelectObject(dc, outline);
    CharacterMap map = CharacterMap::FromFont(dc);
    SelectObject(dc, previous);
    DeleteObject(outline);
    DeleteDC(dc);
    return map;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: text-dump glyphs|metrics FONTFILE FACE [bold] [italic] [underline] [strikeout] HEX...\n"
                 "       text-dump cmap FONTFILE FACE FIRST LAST\n"
                 "       text-dump save-sample FILE | load FILE [OUT] | layout FILE XSCALE YSCALE | curve-nearest FILE\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && !std::strcmp(argv[1], "save-sample")) return SaveRecordSample(argv[2]);
    if ((argc == 3 || argc == 4) && !std::strcmp(argv[1], "load")) return LoadRecords(argv[2], argc == 4 ? argv[3] : nullptr);
    if (argc == 5 && !std::strcmp(argv[1], "layout")) return LayOutRecords(argv[2], std::atof(argv[3]), std::atof(argv[4]));
    if (argc == 3 && !std::strcmp(argv[1], "curve-nearest")) return PrintNearestPositions(argv[2]);
    if (argc < 4) return Usage();
    const std::string command = argv[1];
    if (command != "glyphs" && command != "metrics" && command != "cmap") return Usage();
    if (!AddFontResourceExA(argv[2], FR_PRIVATE, nullptr)) {
        std::fprintf(stderr, "text-dump: cannot register %s\n", argv[2]);
        return 1;
    }
    LOGFONTA lf{};
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(lf.lfFaceName, argv[3], LF_FACESIZE - 1);
    int arg = 4;
    for (; arg < argc; ++arg) {
        if (!std::strcmp(argv[arg], "bold")) lf.lfWeight = FW_BOLD;
        else if (!std::strcmp(argv[arg], "italic")) lf.lfItalic = 1;
        else if (!std::strcmp(argv[arg], "underline")) lf.lfUnderline = 1;
        else if (!std::strcmp(argv[arg], "strikeout")) lf.lfStrikeOut = 1;
        else break;
    }
    const int font = FindOrAddFont(&lf, nullptr);
    if (font < 0) {
        std::fprintf(stderr, "text-dump: cannot make the font %s\n", argv[3]);
        return 1;
    }
    if (command == "cmap") {
        if (argc - arg != 2) return Usage();
        const unsigned long first = std::strtoul(argv[arg], nullptr, 16), last = std::strtoul(argv[arg + 1], nullptr, 16);
        const CharacterMap map = MapOfFont(font);
        for (unsigned long c = first; c <= last && c <= 0xFFFF; ++c) {
            const unsigned index = map.GlyphIndex(c);
            if (index) std::printf("cmap %04lX %u\n", c, index);
        }
        return 0;
    }
    GlyphCache& cache = GlyphCache::Shared();
    const CharacterMap map = MapOfFont(font);
    for (; arg < argc; ++arg) {
        const unsigned long code = std::strtoul(argv[arg], nullptr, 16);
        const GlyphEntry& g = cache.Glyph(static_cast<wchar_t>(code), font);
        if (command == "metrics") {
            std::printf("metrics U+%04lX blackbox %u %u origin %ld %ld cellinc %d %d\n", code, g.metrics.gmBlackBoxX,
                        g.metrics.gmBlackBoxY, g.metrics.gmptGlyphOrigin.x, g.metrics.gmptGlyphOrigin.y,
                        g.metrics.gmCellIncX, g.metrics.gmCellIncY);
            continue;
        }
        std::printf("glyph U+%04lX index %u advance %d segments %d\n", code, map.GlyphIndex(code), g.metrics.gmCellIncX,
                    g.count);
        PrintPath(g.segments);
        std::printf("\n");
    }
    return 0;
}
