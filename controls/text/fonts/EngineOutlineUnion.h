#pragma once
// The union of a glyph with its underline and strike-out bars through the rendering engine's path
// Boolean operation (union, with the hint that the operands are glyph contours), as the shared
// glyph cache joins them.
#include "GlyphOutline.h"

bool EngineOutlineUnion(const SegmentArray& glyph, const std::vector<SegmentArray>& bars, SegmentArray& result);
