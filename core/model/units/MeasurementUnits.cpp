#include "MeasurementUnits.h"

#include <cstring>

#include "ClString.h"

namespace {

struct UnitDefinition {
    const char* key;
    UINT nameId;
    UINT shortNameId;
    const char* fallbackName;  // used when the resource library lacks the string
    const char* fallbackShortName;
    double inchesPerUnit;
};

const UnitDefinition kUnits[] = {
    {"inch", 12142, 12141, "Inches", "in", 1.0},
    {"pt", 12144, 12143, "Points", "pt", 1.0 / 72.0},
    {"mm", 12146, 12145, "Millimeters", "mm", 1.0 / 25.4},
    {"cm", 12148, 12147, "Centimeters", "cm", 1.0 / 2.54},
    {"px", 12152, 12151, "Pixels", "px", 1.0 / 96.0},
};
constexpr int kUnitCount = sizeof kUnits / sizeof kUnits[0];

struct UnitTable {
    MeasurementUnit units[kUnitCount] = {};
    int count = 0;
    bool built = false;
    WORD language = 0;
    MeasurementUnit* defaultUnit = nullptr;
};

UnitTable& Table()
{
    static UnitTable table;
    return table;
}

void CopyText(char* target, size_t size, const CString& text)
{
    lstrcpynA(target, text, static_cast<int>(size));
}

CString ResourceText(UINT id, const char* fallback)
{
    CString text;
    if (!text.LoadString(id) || text.IsEmpty())
        text = fallback;
    return text;
}

double Factor(const MeasurementUnit* unit)
{
    return unit ? unit->InchesPerUnit : 1.0;
}

}  // namespace

bool SameUnitText(const char* a, const char* b)
{
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, -1, b, -1) == CSTR_EQUAL;
}

BOOL LoadMeasurementUnits(WORD language)
{
    UnitTable& table = Table();
    if (table.built && table.language == language)
        return TRUE;
    for (int i = 0; i < kUnitCount; ++i) {
        const UnitDefinition& def = kUnits[i];
        MeasurementUnit& unit = table.units[i];
        std::memset(&unit, 0, sizeof unit);
        CopyText(unit.Name, sizeof unit.Name, ResourceText(def.nameId, def.fallbackName));
        CopyText(unit.ShortName, sizeof unit.ShortName, ResourceText(def.shortNameId, def.fallbackShortName));
        lstrcpynA(unit.Key, def.key, sizeof unit.Key);
        unit.PixelBased = 0;
        unit.InchesPerUnit = def.inchesPerUnit;
    }
    table.count = kUnitCount;
    // A rebuild keeps the default unit: the records stay where they are.
    if (!table.defaultUnit)
        table.defaultUnit = &table.units[0];
    table.built = true;
    table.language = language;
    return TRUE;
}

int GetNUnits()
{
    return Table().count;
}

MeasurementUnit* GetMeasurementUnit(int index)
{
    UnitTable& table = Table();
    return (index >= 0 && index < table.count) ? &table.units[index] : nullptr;
}

MeasurementUnit* GetNextMeasurementUnit(const MeasurementUnit* unit)
{
    UnitTable& table = Table();
    if (!unit)
        return table.count ? &table.units[0] : nullptr;
    for (int i = 0; i < table.count; ++i) {
        if (SameUnitText(table.units[i].Name, unit->Name))
            return i + 1 < table.count ? &table.units[i + 1] : nullptr;
    }
    return nullptr;
}

MeasurementUnit* GetDefaultMeasurementUnit()
{
    return Table().defaultUnit;
}

BOOL SetDefaultMeasurementUnit(MeasurementUnit* unit)
{
    Table().defaultUnit = unit;
    return TRUE;
}

BOOL SetDefaultMeasurementUnitByShortName(const char* shortName)
{
    UnitTable& table = Table();
    for (int i = 0; shortName && i < table.count; ++i) {
        if (SameUnitText(table.units[i].ShortName, shortName)) {
            table.defaultUnit = &table.units[i];
            return TRUE;
        }
    }
    return FALSE;
}

BOOL SetDefaultMeasurementUnitByName(const char* name)
{
    UnitTable& table = Table();
    for (int i = 0; name && i < table.count; ++i) {
        if (SameUnitText(table.units[i].Name, name)) {
            table.defaultUnit = &table.units[i];
            return TRUE;
        }
    }
    return FALSE;
}

double UnitsToPixels(const MeasurementUnit* unit, double value, double zoom)
{
    return value * Factor(unit) * zoom * kScreenPixelsPerInch;
}

double PixelsToUnits(const MeasurementUnit* unit, double pixels, double zoom)
{
    return pixels / (zoom * Factor(unit) * kScreenPixelsPerInch);
}

double UnitsToInches(const MeasurementUnit* unit, double value, double)
{
    return value * Factor(unit);
}

double InchesToUnits(const MeasurementUnit* unit, double inches, double)
{
    return inches / Factor(unit);
}

double DefaultUnitsToPixels(double value, double zoom)
{
    return UnitsToPixels(GetDefaultMeasurementUnit(), value, zoom);
}

double PixelsToDefaultUnits(double pixels, double zoom)
{
    return PixelsToUnits(GetDefaultMeasurementUnit(), pixels, zoom);
}

double DefaultUnitsToInches(double value, double zoom)
{
    return UnitsToInches(GetDefaultMeasurementUnit(), value, zoom);
}

double InchesToDefaultUnits(double inches, double zoom)
{
    return InchesToUnits(GetDefaultMeasurementUnit(), inches, zoom);
}

double InchesToPixels(double inches, double zoom)
{
    return inches * zoom * kScreenPixelsPerInch;
}

double PixelsToInches(double pixels, double zoom)
{
    return pixels / kScreenPixelsPerInch / zoom;
}

double GetSpinStep(const MeasurementUnit* unit, double step)
{
    if (!unit)
        return step;
    const char* key = unit->Key;
    if (!std::strcmp(key, "mm"))
        return step * 10.0;
    if (!std::strcmp(key, "m"))
        return step * 0.01;
    if (!std::strcmp(key, "km"))
        return step * 0.00001;
    if (!std::strcmp(key, "pt") || !std::strcmp(key, "px"))
        return 1.0;
    return step;  // inch, cm and any other unit
}

double GetSpinStep(double step)
{
    return GetSpinStep(GetDefaultMeasurementUnit(), step);
}

int GetSpinPrecizion(const MeasurementUnit* unit, int decimals)
{
    if (!unit)
        return decimals;
    const char* key = unit->Key;
    if (!std::strcmp(key, "mm"))
        return decimals - 1;
    if (!std::strcmp(key, "m"))
        return decimals + 2;
    if (!std::strcmp(key, "km"))
        return decimals + 5;
    if (!std::strcmp(key, "px"))
        return 0;
    return decimals;  // inch, cm, pt and any other unit
}

int GetSpinPrecizion(int decimals)
{
    return GetSpinPrecizion(GetDefaultMeasurementUnit(), decimals);
}
