#pragma once
// The values of one colour slot of a coloured drawing object, the rules its setters apply, and the
// slot's keyed property records (class 0x4003). Slot 0 is the visible fill and outline; slot 1 is
// an opacity mask laid over the fill. COM-free: the controls and the viewer read the same records.
#include <windows.h>
#include <objidl.h>

#include "TarnControls.h"
#include "tarn/PropertyRecords.h"

enum ColorFillType : long { kFillNA = -1, kFillNone = 0, kFillSolid = 1, kFillLinear = 2, kFillElliptic = 3 };

struct ColorSlotValues {
    long fillType;
    COLORREF color;
    COLORREF color1;  // gradient start
    COLORREF color2;  // gradient end
    long gradParamType;  // nonzero: the gradient is given by its bound points
    tagPointF bound[3];
    double gradDensity;
    long gradType;
    long gradCyclic;
    double gradAngle;  // degrees, in [0, 360)
    long bindRotation;
    double gradCX;  // ellipse centre offset, 0.02 of the radius per unit
    double gradCY;
    long hasOutline;
    double outlineWidth;  // inches
    COLORREF outlineColor;
    long outlineStyle;

    static ColorSlotValues Defaults(int slot);
};
static_assert(sizeof(long) == 4 && sizeof(COLORREF) == 4, "integers and colours are stored as 4 bytes");

// Every recorded value the same, bit for bit.
bool operator==(const ColorSlotValues& a, const ColorSlotValues& b);
inline bool operator!=(const ColorSlotValues& a, const ColorSlotValues& b) { return !(a == b); }
// Two objects' slots compared: every value exactly, bound points within 1e-6.
bool SameSlotValues(const ColorSlotValues& a, const ColorSlotValues& b);
// Two snapshots of one slot compared by what their fill type uses (1e-10 on doubles); the outline
// counts unless ignored.
bool EquivalentSlotValues(const ColorSlotValues& a, const ColorSlotValues& b, bool ignoreOutline);

// Setter rules. Each clamping rule reports through `clamped` whether it had to clamp.
double ClampGradientDensity(double value, bool* clamped = nullptr);  // [0.1, 50]
double ClampGradientCX(double value, bool* clamped = nullptr);       // [-500, 500]
double ClampGradientCY(double value, bool* clamped = nullptr);       // [-100, 100]
double ClampOutlineWidth(double value, bool* clamped = nullptr);     // [0, 1] inch
double ReduceGradientAngle(double degrees);                          // into [0, 360)

// Writes both slots' records, slot 0 first; the first failing write ends it with its error.
HRESULT SaveColorRecords(IStream* stream, const ColorSlotValues (&slots)[2]);
// Reads both slots: the old one-slot form (a record named "FillType") into slot 0, else each value
// by key or by its name with "_0"/"_1". A missing record keeps the current value. Returns whether
// any colour record was found.
bool LoadColorRecords(CTarnPropertyBag& bag, ColorSlotValues (&slots)[2]);

// The record key of field n of a slot.
inline long ColorRecordKey(int slot, int field) { return 0x40030000 + 0x1000 * slot + field; }
