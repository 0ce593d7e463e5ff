#include "ColorValues.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <string>

namespace {

struct FieldDesc {
    int number;  // field number of the record key
    const char* name;
    size_t offset;
    ULONG size;
};

#define COLOR_FIELD(n, name, member) {n, name, offsetof(ColorSlotValues, member), sizeof(ColorSlotValues::member)}
#define BOUND_FIELD(n, name, i, axis) \
    {n, name, offsetof(ColorSlotValues, bound) + (i) * sizeof(tagPointF) + offsetof(tagPointF, axis), sizeof(double)}

// Every value of a slot, by field number.
const FieldDesc kFields[] = {
    COLOR_FIELD(2, "FillType", fillType),        COLOR_FIELD(3, "Color", color),
    COLOR_FIELD(4, "Color1", color1),            COLOR_FIELD(5, "Color2", color2),
    COLOR_FIELD(6, "ParamType", gradParamType),  BOUND_FIELD(7, "Bound0x", 0, x),
    BOUND_FIELD(8, "Bound0y", 0, y),             BOUND_FIELD(9, "Bound1x", 1, x),
    BOUND_FIELD(10, "Bound1y", 1, y),            BOUND_FIELD(11, "Bound2x", 2, x),
    BOUND_FIELD(12, "Bound2y", 2, y),            COLOR_FIELD(13, "GradDensity", gradDensity),
    COLOR_FIELD(14, "GradType", gradType),       COLOR_FIELD(15, "GradCyclic", gradCyclic),
    COLOR_FIELD(16, "GradAngle", gradAngle),     COLOR_FIELD(17, "BindRot", bindRotation),
    COLOR_FIELD(18, "GradCX", gradCX),           COLOR_FIELD(19, "GradCY", gradCY),
    COLOR_FIELD(20, "Outline", hasOutline),      COLOR_FIELD(21, "OutlineWidth", outlineWidth),
    COLOR_FIELD(22, "OutlineColor", outlineColor), COLOR_FIELD(23, "OutlineStyle", outlineStyle),
};
#undef COLOR_FIELD
#undef BOUND_FIELD

static_assert(sizeof(kFields) / sizeof(kFields[0]) == 22, "a slot has 22 recorded values");

const FieldDesc& Field(int number) { return kFields[number - 2]; }

const tagPointF kDefaultBounds[3] = {{0, 0}, {1, 0}, {0, 1}};

double Clamp(double value, double low, double high, bool* clamped) {
    const double result = value < low ? low : value > high ? high : value;
    if (clamped) *clamped = result != value;
    return result;
}

// Reads a record into its field at the field's width (a shorter record fills the low bytes).
bool ReadField(CTarnPropertyBag& bag, const char* name, long id, const FieldDesc& field, ColorSlotValues& slot) {
    const void* data = nullptr;
    ULONG size = 0;
    if (!bag.FindProperty(name, id, data, size) || size == 0) return false;
    BYTE* target = reinterpret_cast<BYTE*>(&slot) + field.offset;
    std::memset(target, 0, field.size);
    std::memcpy(target, data, size < field.size ? size : field.size);
    return true;
}

HRESULT WriteField(IStream* stream, int slotIndex, const ColorSlotValues& slot, int number) {
    const FieldDesc& field = Field(number);
    return __SaveProp(stream, ColorRecordKey(slotIndex, number),
                      reinterpret_cast<const BYTE*>(&slot) + field.offset, field.size);
}

HRESULT SaveSlot(IStream* stream, int s, const ColorSlotValues& slot) {
    HRESULT hr = WriteField(stream, s, slot, 2);
    if (FAILED(hr)) return hr;
    if (slot.fillType == kFillSolid) {
        hr = WriteField(stream, s, slot, 3);
    } else if (slot.fillType >= kFillLinear) {
        if (slot.gradParamType != 0) {
            hr = WriteField(stream, s, slot, 6);
            for (int i = 0; i < 3 && SUCCEEDED(hr); ++i) {
                const tagPointF& p = slot.bound[i];
                const tagPointF& d = kDefaultBounds[i];
                if (std::fabs(p.x - d.x) >= 1e-10 || std::fabs(p.y - d.y) >= 1e-10) {
                    hr = WriteField(stream, s, slot, 7 + 2 * i);
                    if (SUCCEEDED(hr)) hr = WriteField(stream, s, slot, 8 + 2 * i);
                }
            }
        }
        if (SUCCEEDED(hr)) hr = WriteField(stream, s, slot, 4);
        if (SUCCEEDED(hr)) hr = WriteField(stream, s, slot, 5);
        if (SUCCEEDED(hr) && slot.gradDensity != 1.0) hr = WriteField(stream, s, slot, 13);
        if (SUCCEEDED(hr) && slot.gradType != 0) hr = WriteField(stream, s, slot, 14);
        if (SUCCEEDED(hr) && slot.gradCyclic != 1) hr = WriteField(stream, s, slot, 15);
        if (slot.fillType == kFillLinear) {
            if (SUCCEEDED(hr) && slot.gradAngle != 0) hr = WriteField(stream, s, slot, 16);
            if (SUCCEEDED(hr) && slot.bindRotation != 1) hr = WriteField(stream, s, slot, 17);
        } else if (slot.fillType == kFillElliptic) {
            if (SUCCEEDED(hr) && slot.gradCX != 0) hr = WriteField(stream, s, slot, 18);
            if (SUCCEEDED(hr) && slot.gradCY != 0) hr = WriteField(stream, s, slot, 19);
        }
    }
    if (SUCCEEDED(hr)) hr = WriteField(stream, s, slot, 20);
    if (SUCCEEDED(hr) && slot.hasOutline) {
        hr = WriteField(stream, s, slot, 21);
        if (SUCCEEDED(hr)) hr = WriteField(stream, s, slot, 22);
        if (SUCCEEDED(hr)) hr = WriteField(stream, s, slot, 23);
    }
    return hr;
}

// The values of the old one-slot form, found by name only (it has no bound points).
const int kOneSlotFields[] = {2, 3, 4, 5, 13, 16, 17, 14, 15, 18, 19, 20, 21, 22, 23, 6};

}  // namespace

ColorSlotValues ColorSlotValues::Defaults(int slot) {
    ColorSlotValues v{};
    v.fillType = slot == 0 ? kFillSolid : kFillNone;
    v.color = slot == 0 ? 0x000000 : 0xFFFFFF;
    v.color1 = 0x000000;
    v.color2 = 0xFFFFFF;
    v.gradParamType = 0;
    for (int i = 0; i < 3; ++i) v.bound[i] = kDefaultBounds[i];
    v.gradDensity = 1.0;
    v.gradType = 0;
    v.gradCyclic = 1;
    v.gradAngle = 0;
    v.bindRotation = 1;
    v.gradCX = v.gradCY = 0;
    v.hasOutline = 0;
    v.outlineWidth = 0;
    v.outlineColor = 0x000000;
    v.outlineStyle = 0;
    return v;
}

bool operator==(const ColorSlotValues& a, const ColorSlotValues& b) {
    for (const FieldDesc& f : kFields)
        if (std::memcmp(reinterpret_cast<const BYTE*>(&a) + f.offset, reinterpret_cast<const BYTE*>(&b) + f.offset,
                        f.size) != 0)
            return false;
    return true;
}

bool SameSlotValues(const ColorSlotValues& a, const ColorSlotValues& b) {
    ColorSlotValues bounded = b;
    for (int i = 0; i < 3; ++i) {
        if (std::fabs(a.bound[i].x - b.bound[i].x) > 1e-6 || std::fabs(a.bound[i].y - b.bound[i].y) > 1e-6)
            return false;
        bounded.bound[i] = a.bound[i];
    }
    return a == bounded;
}

bool EquivalentSlotValues(const ColorSlotValues& a, const ColorSlotValues& b, bool ignoreOutline) {
    auto within = [](double x, double y) { return std::fabs(x - y) <= 1e-10; };
    auto nearPoint = [&](int i) { return within(a.bound[i].x, b.bound[i].x) && within(a.bound[i].y, b.bound[i].y); };
    if (a.fillType != b.fillType) return false;
    if (!ignoreOutline) {
        if (a.hasOutline != b.hasOutline) return false;
        if (a.hasOutline && (a.outlineColor != b.outlineColor || a.outlineStyle != b.outlineStyle ||
                             a.outlineWidth != b.outlineWidth))
            return false;
    }
    switch (a.fillType) {
    case kFillSolid: return a.color == b.color;
    case kFillLinear:
    case kFillElliptic: {
        if (a.color1 != b.color1 || a.color2 != b.color2 || a.gradParamType != b.gradParamType) return false;
        const bool linear = a.fillType == kFillLinear;
        if (a.gradParamType != 0) {
            if (!nearPoint(0) || !nearPoint(1) || (!linear && !nearPoint(2))) return false;
        } else if (linear) {
            if (a.bindRotation != b.bindRotation || !within(a.gradAngle, b.gradAngle)) return false;
        } else if (!within(a.gradCY, b.gradCY) || !within(a.gradCX, b.gradCX)) {
            return false;
        }
        return within(a.gradDensity, b.gradDensity) && a.gradType == b.gradType && a.gradCyclic == b.gradCyclic;
    }
    default: return true;
    }
}

double ClampGradientDensity(double value, bool* clamped) { return Clamp(value, 0.1, 50, clamped); }
double ClampGradientCX(double value, bool* clamped) { return Clamp(value, -500, 500, clamped); }
double ClampGradientCY(double value, bool* clamped) { return Clamp(value, -100, 100, clamped); }
double ClampOutlineWidth(double value, bool* clamped) { return Clamp(value, 0, 1, clamped); }

double ReduceGradientAngle(double degrees) {
    const double a = degrees / 360;
    const double reduced = (a - std::floor(a)) * 360;
    return reduced >= 360 ? 0 : reduced;
}

HRESULT SaveColorRecords(IStream* stream, const ColorSlotValues (&slots)[2]) {
    HRESULT hr = SaveSlot(stream, 0, slots[0]);
    return SUCCEEDED(hr) ? SaveSlot(stream, 1, slots[1]) : hr;
}

bool LoadColorRecords(CTarnPropertyBag& bag, ColorSlotValues (&slots)[2]) {
    const void* data = nullptr;
    ULONG size = 0;
    if (bag.FindProperty("FillType", data, size)) {
        for (int n : kOneSlotFields) ReadField(bag, Field(n).name, 0, Field(n), slots[0]);
        return true;
    }
    bool found = false;
    for (int s = 0; s < 2; ++s)
        for (const FieldDesc& f : kFields) {
            const std::string suffixed = std::string(f.name) + (s == 0 ? "_0" : "_1");
            // By key first, then by the suffixed name.
            if (ReadField(bag, nullptr, ColorRecordKey(s, f.number), f, slots[s]) ||
                ReadField(bag, suffixed.c_str(), 0, f, slots[s]))
                found = true;
        }
    return found;
}
