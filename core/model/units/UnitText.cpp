#include "UnitText.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "ExpressionEvaluator.h"
#include "MeasurementUnits.h"
#include "geometry/NumericHelpers.h"

namespace {

bool IsNumberCharacter(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return (u >= '0' && u <= '9') || u == ' ' || u == '\t' || u == '\r' || u == '\n' || u == '\v' ||
           u == '\f' || (c != '\0' && std::strchr("+-*/(),.E", c) != nullptr);
}

}  // namespace

double ParseUnitsText(const char* text, int useDefaultUnit)
{
    if (!text)
        return -HUGE_VAL;
    size_t split = 0;
    while (text[split] && IsNumberCharacter(text[split]))
        ++split;
    // The number part is evaluated from a copy: the caller's text stays untouched.
    const std::string number(text, split);
    const double value = EvaluateExpression(number.c_str());
    if (value == -HUGE_VAL)
        return -HUGE_VAL;

    const char* unitPart = text + split;
    if (*unitPart) {
        for (int i = 0; i < GetNUnits(); ++i) {
            const MeasurementUnit* unit = GetMeasurementUnit(i);
            if (SameUnitText(unit->ShortName, unitPart))
                return value * unit->InchesPerUnit;
        }
        return value;
    }
    const MeasurementUnit* unit = GetDefaultMeasurementUnit();
    return (useDefaultUnit && unit) ? value * unit->InchesPerUnit : value;
}

void FormatDefUnitsText(double value, char* buffer, int precision, size_t bufferSize)
{
    if (!buffer || bufferSize == 0)
        return;
    const MeasurementUnit* unit = GetDefaultMeasurementUnit();
    std::snprintf(buffer, bufferSize, "%s %s", ftoa(value, precision), unit ? unit->ShortName : "");
}

void FormatUnitsText(double inches, char* buffer, int precision, size_t bufferSize)
{
    FormatDefUnitsText(InchesToDefaultUnits(inches, 1.0), buffer, precision, bufferSize);
}

CString SizeInDefaultUnitText(double widthInches, double heightInches)
{
    const MeasurementUnit* unit = GetDefaultMeasurementUnit();
    CString text;
    text.Format("%.4g x %.4g %s", InchesToDefaultUnits(widthInches, 1.0), InchesToDefaultUnits(heightInches, 1.0),
                unit ? unit->Name : "Inches");
    return text;
}
