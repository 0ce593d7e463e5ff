#pragma once
// The envelope effect of a coloured drawing object: its id (0 none, 1-14 a preset, -1 custom
// curves), up to ten curves each replacing one edge of the frame [-1, 1]², the presets, the
// effect's keyed property records (class 0x4004) and the warp of points. COM-free.
#include <windows.h>
#include <objidl.h>

#include "TarnControls.h"
#include "tarn/PropertyRecords.h"

const long kEffectNone = 0;
const long kEffectCustom = -1;
const long kLastEffectPreset = 14;
const int kMostEffectCurves = 10;

// Frame edges a curve replaces: top (y = +1), right, bottom, left; y points up in the frame.
enum EffectSide : long { kSideTop = 0, kSideRight = 1, kSideBottom = 2, kSideLeft = 3 };

// One cubic Bézier: start, first control, second control, end.
struct EffectCurve {
    tagPointF p[4];
};
static_assert(sizeof(EffectCurve) == 64, "a curve record is 64 bytes");
static_assert(sizeof(long) == 4, "ids, counts and sides are stored as 4 bytes in both builds");

struct EffectValues {
    long id = kEffectNone;
    long count = 0;
    long sides[kMostEffectCurves] = {};
    EffectCurve curves[kMostEffectCurves] = {};

    bool IsEmpty() const { return id == kEffectNone; }
};

bool operator==(const EffectValues& a, const EffectValues& b);

// Stores the id; for a preset (1-14) copies its count, sides and curves. Ids 0 and -1 keep the
// curves. Answers false, changing nothing, for an id outside -1..14.
bool SelectEffectPreset(EffectValues& effect, long id);

// "EffectId" always; count, sides and curves for a custom effect only.
HRESULT SaveEffectRecords(IStream* stream, const EffectValues& effect);
// Reads the id (selecting its preset), then count, sides and curves where recorded. Refuses,
// changing nothing, an id outside -1..14, a count outside 0..10 and side or curve records shorter
// than the count: STG_E_DOCFILECORRUPT. No effect record at all leaves the effect as it was.
HRESULT LoadEffectRecords(CTarnPropertyBag& bag, EffectValues& effect);

// Warps a frame point given in document orientation (y down), and maps a warped point back.
tagPointF WarpEffectPoint(const EffectValues& effect, tagPointF point);
tagPointF InverseMapEffectPoint(const EffectValues& effect, tagPointF point);
