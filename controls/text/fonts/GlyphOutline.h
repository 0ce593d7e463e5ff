#pragma once
// Glyph outlines as segment records: the conversion of the platform's native outline, the
// underline and strike-out bars, and the glyph built from both. Coordinates are font design units
// of the em-square font, y up, origin at the glyph origin on the baseline.
#include <windows.h>

#include <cstddef>
#include <vector>

#include "FontEntry.h"
#include "geometry/SegmentDesc.h"

class CharacterMap;

using SegmentArray = std::vector<SegmentDesc>;

// The engine's union of a glyph with its bars (each bar its own operand array). Returns false when
// the union fails, and then the glyph keeps its own outline.
using OutlineUnion = bool (*)(const SegmentArray& glyph, const std::vector<SegmentArray>& bars, SegmentArray& result);

// Appends the contours of a GGO_NATIVE buffer (TTPOLYGONHEADER records) to out, quadratic
// splines as cubics. Never reads past size: a header or curve that does not fit ends the walk.
void ConvertNativeOutline(const BYTE* buffer, size_t size, SegmentArray& out);

// The underline and strike-out bars the entry's font asks for, across the glyph's advance.
std::vector<SegmentArray> DecorationBars(const FontEntry& font, const GLYPHMETRICS& metrics);

// Builds the outline of ch with the entry's em-square font selected into dc: its metrics, its
// contours (none for white space), and the bars joined in through merge. Returns the number of
// segment records. scratch, when given, is the outline buffer kept from one glyph to the next.
int BuildGlyphOutlines(const FontEntry& font, HDC dc, wchar_t ch, const CharacterMap& map, GLYPHMETRICS& metrics,
                       SegmentArray& segments, OutlineUnion merge, std::vector<BYTE>* scratch = nullptr);
