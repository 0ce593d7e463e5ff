#pragma once
// One character of a text object. Saved byte for byte in the text's records, so the layout is a
// file format (little-endian, no pointer), the same from 32-bit and 64-bit builds.
#include <cstddef>
#include <cstdint>

struct TextCharRecord {
    uint16_t ch = 0;          // one UTF-16 code unit; LF (10) ends a line, CR is never stored
    uint16_t padding1 = 0;
    int32_t font = 0;         // index into the font table
    double xScale = 0;        // inches per font design unit, horizontally
    double yScale = 0;        // and vertically
    double x = 0;             // pen position of the origin, written by layout
    double y = 0;             // baseline, written by layout
    double rotation = 0;      // radians; along a curve, the direction to the next character
    uint8_t hasOutline = 0;   // 1 when the glyph has outline segments (after layout: drawn)
    uint8_t padding2[7] = {};
};
static_assert(sizeof(TextCharRecord) == 56, "character records are 56 bytes");
static_assert(offsetof(TextCharRecord, font) == 4 && offsetof(TextCharRecord, xScale) == 8 &&
                  offsetof(TextCharRecord, rotation) == 40 && offsetof(TextCharRecord, hasOutline) == 48,
              "character record fields sit where the saved records have them");
