#include "CharacterMap.h"

#include <utility>

namespace {

constexpr DWORD kCmapTag = 0x70616d63;  // "cmap" as GetFontData takes it

uint16_t Word(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>((b[at] << 8) | b[at + 1]);
}

uint32_t Long(const std::vector<uint8_t>& b, size_t at) {
    return (uint32_t(b[at]) << 24) | (uint32_t(b[at + 1]) << 16) | (uint32_t(b[at + 2]) << 8) | b[at + 3];
}

}  // namespace

CharacterMap::CharacterMap(std::vector<uint8_t> table) : table_(std::move(table)) {
    const size_t size = table_.size();
    if (size < 4) return;
    const size_t records = Word(table_, 2);
    bool found = false;
    uint32_t offset = 0;
    for (size_t i = 0; i < records; ++i) {
        const size_t at = 4 + 8 * i;
        if (at + 8 > size) return;  // a record beyond the table: the map is damaged
        const uint16_t platform = Word(table_, at), encoding = Word(table_, at + 2);
        if (platform == 3 && (encoding == 1 || encoding == 0)) {
            found = true;
            symbol_ = encoding == 0;
            offset = Long(table_, at + 4);
        }
    }
    if (!found || offset > size || size - offset < 14) return;
    if (Word(table_, offset) != 4) return;
    // The stored length is a 16-bit field that large maps overflow: the arrays are bounded by
    // the bytes of the table instead.
    const size_t available = size - offset;
    const size_t segCountX2 = Word(table_, offset + 6);
    if (segCountX2 == 0 || segCountX2 % 2) return;
    // endCode[n], reservedPad, startCode[n], idDelta[n], idRangeOffset[n] must all be there.
    if (16 + 4 * segCountX2 > available) return;
    subtable_ = offset;
    subtableEnd_ = size;
    segments_ = segCountX2 / 2;
}

CharacterMap CharacterMap::FromFont(HDC dc) {
    const DWORD size = GetFontData(dc, kCmapTag, 0, nullptr, 0);
    if (size == GDI_ERROR || size == 0) return CharacterMap({});
    std::vector<uint8_t> bytes(size);
    if (GetFontData(dc, kCmapTag, 0, bytes.data(), size) != size) return CharacterMap({});
    return CharacterMap(std::move(bytes));
}

uint16_t CharacterMap::GlyphIndex(uint32_t ch) const {
    if (!segments_) return 0;
    const uint32_t code = (symbol_ ? (ch | 0xF000) : ch) & 0xFFFF;
    const size_t n = segments_;
    const size_t endCodes = subtable_ + 14;
    const size_t startCodes = endCodes + 2 * n + 2;
    const size_t deltas = startCodes + 2 * n;
    const size_t rangeOffsets = deltas + 2 * n;
    size_t segment = 0;
    while (segment < n && Word(table_, endCodes + 2 * segment) < code) ++segment;
    if (segment == n) return 0;
    const uint16_t start = Word(table_, startCodes + 2 * segment);
    if (start > code) return 0;
    const uint16_t delta = Word(table_, deltas + 2 * segment);
    const size_t rangeEntry = rangeOffsets + 2 * segment;
    const uint16_t rangeOffset = Word(table_, rangeEntry);
    if (rangeOffset == 0) return static_cast<uint16_t>(code + delta);
    // The glyph word lies rangeOffset bytes past the segment's own idRangeOffset entry.
    const size_t wordAt = rangeEntry + rangeOffset + 2 * size_t(code - start);
    if (wordAt + 2 > subtableEnd_) return 0;
    const uint16_t glyph = Word(table_, wordAt);
    return glyph == 0 ? 0 : static_cast<uint16_t>(glyph + delta);
}

uint16_t CharToGlyphIndex(HDC dc, uint32_t ch) {
    return CharacterMap::FromFont(dc).GlyphIndex(ch);
}
