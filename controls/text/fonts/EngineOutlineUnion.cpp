#include "EngineOutlineUnion.h"

bool EngineOutlineUnion(const SegmentArray&, const std::vector<SegmentArray>&, SegmentArray&) {
    // The engine has no Boolean operation yet: report the union as failed, so that the glyph keeps
    // its own outline, as it does whenever the union fails.
    return false;
}
