#pragma once
#include <cstddef>

#include "ClString.h"
#include "TarnApi.h"

// Room that FormatUnitsText fills unless told otherwise: what a length edit field holds.
constexpr size_t kUnitTextSize = 64;

// A length typed by the user ("2.5 cm", "3*(1+1)") in inches, or -HUGE_VAL when the number part is
// empty or malformed. A unit part that names no unit leaves the value unscaled; without a unit part
// the default unit applies when useDefaultUnit is nonzero. The text is left as it was.
TARN_API double ParseUnitsText(const char* text, int useDefaultUnit);

// "<number> <short name>" in the default unit, the number with up to `precision` decimals; cut
// to fit bufferSize bytes including the terminator.
TARN_API void FormatUnitsText(double inches, char* buffer, int precision, size_t bufferSize = kUnitTextSize);
TARN_API void FormatDefUnitsText(double value, char* buffer, int precision, size_t bufferSize = kUnitTextSize);

// "<width> x <height> <unit name>": a size given in inches, shown in the default unit with up to
// four significant digits, as previews describe a site.
TARN_API CString SizeInDefaultUnitText(double widthInches, double heightInches);
