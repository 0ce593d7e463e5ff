#pragma once
// The effect part of a shape control: the number of its envelope effect and the warp it applies to
// a path. This holds the least the shape layers need (effect 0, no warp); the envelopes belong to
// the effect data of the shape kinds, which complete this class.
#include "tarn/HeapArray.h"

class CEffectPart {
public:
    virtual ~CEffectPart() = default;
    // Warps the segments of every sub-path in place (lines may become cubics).
    virtual void ApplyToSegments(CHeapArray&) {}
    virtual void SetEffectNumber(long number) { effectNumber = number; }
    long effectNumber = 0;
};
