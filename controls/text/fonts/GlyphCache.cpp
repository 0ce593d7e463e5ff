#include "GlyphCache.h"

#include "CharacterMap.h"
#include "EngineOutlineUnion.h"
#include "render/BezierGeometry.h"
#include "render/EngineState.h"

struct GlyphCache::FontSource {
    HFONT font = nullptr;
    CharacterMap map{{}};
    ~FontSource() {
        if (font) DeleteObject(font);
    }
};

GlyphCache::GlyphCache(FontTable& fonts, OutlineUnion merge) : fonts_(fonts), merge_(merge) {}

GlyphCache::~GlyphCache() {
    if (dc_ && originalFont_) SelectObject(dc_, originalFont_);
    sources_.clear();
    if (dc_) DeleteDC(dc_);
}

GlyphCache::FontSource* GlyphCache::SourceFor(int font, const FontEntry& entry) {
    auto found = sources_.find(font);
    if (found != sources_.end()) return found->second.get();
    auto source = std::make_unique<FontSource>();
    source->font = CreateOutlineFont(dc_, entry.logFont);
    if (source->font) {
        SelectFont(source->font);
        source->map = CharacterMap::FromFont(dc_);
    }
    return sources_.emplace(font, std::move(source)).first->second.get();
}

void GlyphCache::SelectFont(HFONT font) {
    // The cache's own context keeps the last font selected: runs of one font select it once.
    if (font == selectedFont_) return;
    const HGDIOBJ previous = SelectObject(dc_, font);
    if (!originalFont_) originalFont_ = previous;
    selectedFont_ = font;
}

const GlyphEntry& GlyphCache::Glyph(wchar_t ch, int font) {
    CriticalSectionHolder hold(CacheLock());
    GlyphEntry& glyph = glyphs_[{ch, font}];
    if (glyph.count != -1) return glyph;
    glyph.count = 0;
    const FontEntry* entry = fonts_.Entry(font);
    if (!dc_) dc_ = CreateCompatibleDC(nullptr);
    if (!entry || !dc_) return glyph;
    FontSource* source = SourceFor(font, *entry);
    if (!source->font) return glyph;
    SelectFont(source->font);
    // Built in the cache's working array, then copied into an array of the glyph's own size.
    glyph.count = BuildGlyphOutlines(*entry, dc_, ch, source->map, glyph.metrics, workSegments_, merge_,
                                     &outlineBuffer_);
    glyph.segments.assign(workSegments_.begin(), workSegments_.end());
    if (glyph.count > 0) GetPathBounds(glyph.segments.data(), glyph.count, glyph.box, false, false);
    return glyph;
}

GlyphCache& GlyphCache::Shared() {
    static GlyphCache cache(FontTable::Shared(), EngineOutlineUnion);
    return cache;
}
