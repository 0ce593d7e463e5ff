#include "EffectPart.h"

#include <cstring>

#include "EffectWarp.h"

HRESULT CEffectPart::LoadProperties(CTarnPropertyBag& bag) {
    const HRESULT hr = LoadEffectRecords(bag, effect);
    effectNumber = effect.id;
    return hr;
}

void CEffectPart::ApplyToSegments(CHeapArray& paths) { WarpEffectSegments(effect, paths); }

void CEffectPart::SetEffectNumber(long number) {
    const long before = effect.id;
    if (SelectEffectPreset(effect, number) && number != before) modified = true;
    effectNumber = effect.id;
}

void CEffectPart::SetCurveCount(long count) {
    if (count < 0 || count > kMostEffectCurves) return;
    if (count != effect.count) modified = true;
    effect.count = count;
}

void CEffectPart::PutCurve(int index, long side, const EffectCurve& curve) {
    if (index < 0 || index >= kMostEffectCurves) return;
    if (effect.sides[index] != side || std::memcmp(&effect.curves[index], &curve, sizeof curve) != 0) modified = true;
    effect.sides[index] = side;
    effect.curves[index] = curve;
}
