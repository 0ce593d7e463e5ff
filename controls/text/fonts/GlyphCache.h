#pragma once
// Glyph outlines of (character, font index) pairs, built once and shared by every text object for
// the life of the process. Used by the user-interface and preview threads under the cache lock;
// entries are never removed, so a reference to one stays valid.
#include <windows.h>

#include <map>
#include <memory>
#include <utility>

#include "FontTable.h"
#include "GlyphOutline.h"
#include "geometry/FloatRecords.h"

class CharacterMap;

struct GlyphEntry {
    tagRectF box{0, 0, 0, 0};  // bounds of the on-path points, control points left out
    GLYPHMETRICS metrics{};
    int count = -1;            // segment records; -1 until built
    SegmentArray segments;
};

class GlyphCache {
public:
    explicit GlyphCache(FontTable& fonts, OutlineUnion merge = nullptr);
    ~GlyphCache();
    GlyphCache(const GlyphCache&) = delete;
    GlyphCache& operator=(const GlyphCache&) = delete;

    // The glyph of ch in the font at index, built on first use. An index the font table does not
    // hold gives an empty glyph.
    const GlyphEntry& Glyph(wchar_t ch, int font);

    // The cache of the process, over the shared font table.
    static GlyphCache& Shared();

private:
    struct FontSource;  // the em-square font and character map of one table entry
    FontSource* SourceFor(int font, const FontEntry& entry);
    void SelectFont(HFONT font);

    FontTable& fonts_;
    OutlineUnion merge_;
    HDC dc_ = nullptr;
    HGDIOBJ originalFont_ = nullptr;
    HFONT selectedFont_ = nullptr;
    std::map<std::pair<wchar_t, int>, GlyphEntry> glyphs_;
    std::map<int, std::unique_ptr<FontSource>> sources_;
    std::vector<BYTE> outlineBuffer_;
    SegmentArray workSegments_;
};
