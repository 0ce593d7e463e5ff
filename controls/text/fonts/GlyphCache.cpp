#include "GlyphCache.h"

#include "CharacterMap.h"
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
    sources_.clear();
    if (dc_) DeleteDC(dc_);
}

GlyphCache::FontSource* GlyphCache::SourceFor(int font, const FontEntry& entry) {
    auto found = sources_.find(font);
    if (found != sources_.end()) return found->second.get();
    auto source = std::make_unique<FontSource>();
    source->font = CreateOutlineFont(dc_, entry.logFont);
    if (source->font) {
        const HGDIOBJ previous = SelectObject(dc_, source->font);
        source->map = CharacterMap::FromFont(dc_);
        SelectObject(dc_, previous);
    }
    return sources_.emplace(font, std::move(source)).first->second.get();
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
    const HGDIOBJ previous = SelectObject(dc_, source->font);
    glyph.count = BuildGlyphOutlines(*entry, dc_, ch, source->map, glyph.metrics, glyph.segments, merge_);
    SelectObject(dc_, previous);
    if (glyph.count > 0) GetPathBounds(glyph.segments.data(), glyph.count, glyph.box, false, false);
    return glyph;
}

GlyphCache& GlyphCache::Shared() {
    static GlyphCache cache(FontTable::Shared());
    return cache;
}
