#pragma once
// Tarn.dll exports the numeric and segment helpers under their own names; the drawing-controls
// server and the viewer compile the same sources into themselves without exporting them.
#if defined(TARN_GEOM_EXPORTS)
#define TARN_GEOM_API __declspec(dllexport)
#else
#define TARN_GEOM_API
#endif
