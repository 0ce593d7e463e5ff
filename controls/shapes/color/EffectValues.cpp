#include "EffectValues.h"

#include <cstring>

namespace {

const long kKeyId = 0x40040001, kKeyCount = 0x40040002, kKeySides = 0x40040003, kKeyCurves = 0x40040004;

struct Preset {
    long count;
    long sides[2];
    EffectCurve curves[2];
};

const double t1 = 1.0 / 3, t2 = 2.0 / 3, s1 = 1.0 / 6, s5 = 5.0 / 6;

const Preset kPresets[kLastEffectPreset] = {
    {2, {0, 2}, {{{{-1, 1}, {-t1, t2}, {t1, t1}, {1, 0}}}, {{{-1, -1}, {-t1, -t2}, {t1, -t1}, {1, 0}}}}},
    {2, {0, 2}, {{{{-1, 0}, {-t1, t1}, {t1, t2}, {1, 1}}}, {{{-1, 0}, {-t1, -t1}, {t1, -t2}, {1, -1}}}}},
    {2, {3, 1}, {{{{-1, -1}, {-t2, -t1}, {-t1, t1}, {0, 1}}}, {{{1, -1}, {t2, -t1}, {t1, t1}, {0, 1}}}}},
    {2, {3, 1}, {{{{0, -1}, {-t1, -t1}, {-t2, t1}, {-1, 1}}}, {{{0, -1}, {t1, -t1}, {t2, t1}, {1, 1}}}}},
    {2, {0, 2}, {{{{-1, 1}, {-t1, s5}, {t1, t2}, {1, 0.5}}}, {{{-1, -1}, {-t1, -s5}, {t1, -t2}, {1, -0.5}}}}},
    {2, {0, 2}, {{{{-1, 0.5}, {-t1, t2}, {t1, s5}, {1, 1}}}, {{{-1, -0.5}, {-t1, -t2}, {t1, -s5}, {1, -1}}}}},
    {2, {3, 1}, {{{{-1, -1}, {-s5, -t1}, {-t2, t1}, {-0.5, 1}}}, {{{1, -1}, {s5, -t1}, {t2, t1}, {0.5, 1}}}}},
    {2, {3, 1}, {{{{-0.5, -1}, {-t2, -t1}, {-s5, t1}, {-1, 1}}}, {{{0.5, -1}, {t2, -t1}, {s5, t1}, {1, 1}}}}},
    {2, {0, 2}, {{{{-1, 0.5}, {-0.5, 1.1}, {0.5, 1.1}, {1, 0.5}}}, {{{-1, -0.5}, {-0.5, -1.1}, {0.5, -1.1}, {1, -0.5}}}}},
    {2, {0, 2}, {{{{-1, 1}, {-0.5, 0.5}, {0.5, 0.5}, {1, 1}}}, {{{-1, -1}, {-0.5, -0.5}, {0.5, -0.5}, {1, -1}}}}},
    {1, {0, 0}, {{{{-1, 0.5}, {-0.5, 1.1}, {0.5, 1.1}, {1, 0.5}}}, {}}},
    {1, {2, 0}, {{{{-1, -0.5}, {-0.5, -1.1}, {0.5, -1.1}, {1, -0.5}}}, {}}},
    {2, {0, 2}, {{{{-1, 0.8}, {0, 0.3}, {0, 1.3}, {1, 0.8}}}, {{{-1, -0.8}, {0, -1.3}, {0, -0.3}, {1, -0.8}}}}},
    {2, {0, 2}, {{{{-1, 0.8}, {0, 1.3}, {0, 0.3}, {1, 0.8}}}, {{{-1, -0.8}, {0, -0.3}, {0, -1.3}, {1, -0.8}}}}},
};

// x(t) or y(t) of a cubic.
double CurveAt(const EffectCurve& c, bool y, double t) {
    auto v = [&](int i) { return y ? c.p[i].y : c.p[i].x; };
    const double u = 1 - t;
    return u * u * u * v(0) + 3 * u * u * t * v(1) + 3 * u * t * t * v(2) + t * t * t * v(3);
}

struct Edges {
    double left = -1, right = 1, top = 1, bottom = -1;
};

// The frame's edges at a point: each curve replaces the edge of its side, found by 15 bisection
// steps on the coordinate that runs along the edge (the curves are drawn from the left or bottom).
// The warp moves the upper end only where the curve passes the target by `margin`.
Edges EdgesAt(const EffectValues& effect, double X, double Y, double margin) {
    Edges e;
    const int count = effect.count < 0 ? 0 : effect.count > kMostEffectCurves ? kMostEffectCurves : effect.count;
    for (int i = 0; i < count; ++i) {
        const EffectCurve& c = effect.curves[i];
        const long side = effect.sides[i];
        const bool vertical = side == kSideRight || side == kSideLeft;
        const double target = vertical ? Y : X;
        double lo = 0, hi = 1, m = 0.5;
        for (int step = 0; step < 15; ++step) {
            m = (lo + hi) / 2;
            if (CurveAt(c, vertical, m) - target >= margin)
                hi = m;
            else
                lo = m;
        }
        const double value = CurveAt(c, !vertical, m);
        switch (side) {
        case kSideTop: e.top = value; break;
        case kSideRight: e.right = value; break;
        case kSideBottom: e.bottom = value; break;
        case kSideLeft: e.left = value; break;
        default: break;
        }
    }
    return e;
}

bool ValidId(long id) { return id >= kEffectCustom && id <= kLastEffectPreset; }

}  // namespace

bool operator==(const EffectValues& a, const EffectValues& b) {
    if (a.id != b.id || a.count != b.count) return false;
    for (int i = 0; i < kMostEffectCurves; ++i)
        if (a.sides[i] != b.sides[i] || std::memcmp(&a.curves[i], &b.curves[i], sizeof(EffectCurve)) != 0) return false;
    return true;
}

bool SelectEffectPreset(EffectValues& effect, long id) {
    if (!ValidId(id)) return false;
    effect.id = id;
    if (id > 0) {
        const Preset& p = kPresets[id - 1];
        effect.count = p.count;
        for (int i = 0; i < p.count; ++i) {
            effect.sides[i] = p.sides[i];
            effect.curves[i] = p.curves[i];
        }
    }
    return true;
}

HRESULT SaveEffectRecords(IStream* stream, const EffectValues& effect) {
    HRESULT hr = __SaveProp(stream, kKeyId, &effect.id, sizeof effect.id);
    if (FAILED(hr) || effect.id != kEffectCustom) return hr;
    if (effect.count < 0 || effect.count > kMostEffectCurves) return E_UNEXPECTED;
    hr = __SaveProp(stream, kKeyCount, &effect.count, sizeof effect.count);
    if (SUCCEEDED(hr)) hr = __SaveProp(stream, kKeySides, effect.sides, sizeof(long) * effect.count);
    if (SUCCEEDED(hr)) hr = __SaveProp(stream, kKeyCurves, effect.curves, sizeof(EffectCurve) * effect.count);
    return hr;
}

HRESULT LoadEffectRecords(CTarnPropertyBag& bag, EffectValues& effect) {
    EffectValues loaded = effect;
    const void* data = nullptr;
    ULONG size = 0;
    if (bag.FindProperty("EffectId", kKeyId, data, size)) {
        long id = 0;
        std::memcpy(&id, data, size < sizeof id ? size : sizeof id);
        if (!SelectEffectPreset(loaded, id)) return STG_E_DOCFILECORRUPT;
    }
    if (bag.FindProperty("#ofCurves", kKeyCount, data, size)) {
        long count = 0;
        std::memcpy(&count, data, size < sizeof count ? size : sizeof count);
        if (count < 0 || count > kMostEffectCurves) return STG_E_DOCFILECORRUPT;
        loaded.count = count;
    }
    const ULONG count = static_cast<ULONG>(loaded.count);
    if (bag.FindProperty("CurveSides", kKeySides, data, size)) {
        if (size < sizeof(long) * count) return STG_E_DOCFILECORRUPT;
        if (count) std::memcpy(loaded.sides, data, sizeof(long) * count);
    }
    if (bag.FindProperty("Curves", kKeyCurves, data, size)) {
        if (size < sizeof(EffectCurve) * count) return STG_E_DOCFILECORRUPT;
        if (count) std::memcpy(loaded.curves, data, sizeof(EffectCurve) * count);
    }
    effect = loaded;
    return S_OK;
}

tagPointF WarpEffectPoint(const EffectValues& effect, tagPointF point) {
    if (effect.IsEmpty()) return point;
    const double X = point.x, Y = -point.y;
    const Edges e = EdgesAt(effect, X, Y, 1e-10);
    return tagPointF{(X * (e.right - e.left) + (e.right + e.left)) / 2,
                     -((e.top - e.bottom) * Y + (e.top + e.bottom)) / 2};
}

tagPointF InverseMapEffectPoint(const EffectValues& effect, tagPointF point) {
    if (effect.IsEmpty()) return point;
    const double Y = -point.y;
    const Edges e = EdgesAt(effect, point.x, Y, 0.0);
    const double width = e.right - e.left, height = e.top - e.bottom;
    // Where the edges meet (a pinched corner) the frame has no extent: keep the edge's own value.
    const double x = width != 0 ? 2 * (point.x - e.left) / width - 1 : 0;
    const double y = height != 0 ? 1 - 2 * (Y - e.bottom) / height : 0;
    return tagPointF{x, y};
}
