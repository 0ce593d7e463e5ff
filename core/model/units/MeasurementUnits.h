#pragma once
#include <windows.h>

#include "TarnApi.h"
#include "TarnControls.h"  // MeasurementUnit, the record the drawing controls see as well

// The controls read the table through ITarnApp in either build: no pointer, one layout.
static_assert(sizeof(MeasurementUnit) == 40, "a measurement unit is 40 bytes on every processor");

// Screen pixels per inch at zoom 1.
constexpr double kScreenPixelsPerInch = 96.0;

// Builds the unit table (inch, pt, mm, cm, px) with names from the resource strings when the
// language differs from the one given last time; the first unit becomes the default. TRUE.
TARN_API BOOL LoadMeasurementUnits(WORD language);
TARN_API int GetNUnits();
TARN_API MeasurementUnit* GetMeasurementUnit(int index);
TARN_API MeasurementUnit* GetNextMeasurementUnit(const MeasurementUnit* unit);
// Null until the table is built.
TARN_API MeasurementUnit* GetDefaultMeasurementUnit();
TARN_API BOOL SetDefaultMeasurementUnit(MeasurementUnit* unit);
TARN_API BOOL SetDefaultMeasurementUnitByShortName(const char* shortName);
TARN_API BOOL SetDefaultMeasurementUnitByName(const char* name);

// Conversions; zoom is the view's zoom factor. A null unit counts as inches.
TARN_API double UnitsToPixels(const MeasurementUnit* unit, double value, double zoom);
TARN_API double PixelsToUnits(const MeasurementUnit* unit, double pixels, double zoom);
TARN_API double UnitsToInches(const MeasurementUnit* unit, double value, double zoom);
TARN_API double InchesToUnits(const MeasurementUnit* unit, double inches, double zoom);
TARN_API double DefaultUnitsToPixels(double value, double zoom);
TARN_API double PixelsToDefaultUnits(double pixels, double zoom);
TARN_API double DefaultUnitsToInches(double value, double zoom);
TARN_API double InchesToDefaultUnits(double inches, double zoom);
TARN_API double InchesToPixels(double inches, double zoom);
TARN_API double PixelsToInches(double pixels, double zoom);

// Step and decimals of a spin control showing lengths in the unit.
TARN_API double GetSpinStep(const MeasurementUnit* unit, double stepInInches);
TARN_API double GetSpinStep(double stepInInches);
TARN_API int GetSpinPrecizion(const MeasurementUnit* unit, int decimalsForInches);
TARN_API int GetSpinPrecizion(int decimalsForInches);

// Equal under the user's locale collation, ignoring case.
bool SameUnitText(const char* a, const char* b);
