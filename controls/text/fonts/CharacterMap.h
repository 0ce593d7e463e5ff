#pragma once
// Characters to TrueType glyph indices through the font's own "cmap" table: the last Windows
// record (platform 3) for Unicode BMP (encoding 1) or symbols (encoding 0), format 4. Every count,
// offset and glyph-array word is checked against the bytes read; a damaged map gives glyph 0.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

class CharacterMap {
public:
    // A map over a copy of a "cmap" table's bytes.
    explicit CharacterMap(std::vector<uint8_t> table);
    // The map of the font selected into dc; empty (every lookup gives 0) when it has none.
    static CharacterMap FromFont(HDC dc);

    // The glyph index of a UTF-16 code unit; 0 when unmapped or the map is unusable.
    uint16_t GlyphIndex(uint32_t ch) const;
    bool IsSymbolMap() const { return symbol_; }

private:
    std::vector<uint8_t> table_;
    size_t subtable_ = 0;    // start of the chosen format-4 subtable
    size_t segments_ = 0;    // segment count, 0 when no usable subtable
    size_t subtableEnd_ = 0; // end of the bytes the subtable's glyph words may come from
    bool symbol_ = false;
};

// The glyph index of ch in the font selected into dc, reading its map afresh.
uint16_t CharToGlyphIndex(HDC dc, uint32_t ch);
