#pragma once
// The effect part of a shape control: its envelope effect (none, one of the presets or custom
// curves, EffectValues), the effect's records (class 0x4004) and the warp it applies to a path.
#include "EffectValues.h"
#include "tarn/HeapArray.h"

class CEffectPart {
public:
    virtual ~CEffectPart() = default;
    bool IsEmpty() const { return effect.IsEmpty(); }
    virtual HRESULT SaveProperties(IStream* stream) { return SaveEffectRecords(stream, effect); }
    // Reads the effect; a damaged effect record is refused and leaves the effect as it was.
    virtual HRESULT LoadProperties(CTarnPropertyBag& bag);
    // Warps the segments of every sub-path in place (lines become cubics).
    virtual void ApplyToSegments(CHeapArray& paths);
    // Selects the effect (a preset's curves come from the preset table); marks the part modified
    // when the id changes. Ids outside -1..14 are ignored.
    virtual void SetEffectNumber(long number);
    // Stores the count (0..10), marking the part modified on a change.
    virtual void SetCurveCount(long count);
    // Stores one curve and its side, marking the part modified when either differs.
    virtual void PutCurve(int index, long side, const EffectCurve& curve);
    // The frame point a warped point came from (y down); unchanged when the part is empty.
    tagPointF InverseMapPoint(tagPointF point) const { return InverseMapEffectPoint(effect, point); }

    EffectValues effect;
    // Mirrors effect.id for the layers that only read the number.
    long effectNumber = 0;
    bool modified = false;
};
