#pragma once
// The rasteriser's drawing request. It crosses the rendering object's interface as raw memory, so
// its layout is fixed (checked below for the 32-bit build).
#include <cstddef>
#include <cstdint>

struct ImagingBitmap;

enum FillKind : std::int32_t {
    FillNone = -1,      // no fill
    FillSolid = 0,      // any value other than -1 and 1 fills with FillColor
    FillPattern = 1,    // pixels of PatternBitmap
};

enum OutlineKind : std::int32_t {
    OutlineNone = 0,
    OutlineSolid = 1,
    OutlineDash = 2,        // 18 on, 6 off
    OutlineDot = 3,         // 3 on, 3 off
    OutlineDashDot = 4,     // 9, 6, 3, 6
    OutlineDashDotDot = 5,  // 9, 3, 3, 3, 3, 3
};

struct FillInfo {
    std::int32_t FillType;          // FillKind
    std::uint32_t FillColor;        // 0x00BBGGRR
    ImagingBitmap* PatternBitmap;   // 24-bit pixels, 32-bit with alpha, or 8-bit mask of FillColor
    std::int32_t PatternOriginX;    // destination column of the pattern's first column
    std::int32_t PatternOriginY;    // destination row of the pattern's origin
    std::int32_t Reserved1;
    std::int32_t Reserved2;
    std::int32_t OutlineType;       // OutlineKind
    double OutlineWidth;            // destination pixels
    std::uint32_t OutlineColor;     // 0x00BBGGRR
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(FillInfo, PatternBitmap) == 8, "request layout");
static_assert(offsetof(FillInfo, OutlineType) == 28, "request layout");
static_assert(offsetof(FillInfo, OutlineWidth) == 32, "request layout");
static_assert(offsetof(FillInfo, OutlineColor) == 40, "request layout");
#endif

// Dash patterns of outline kinds 2 to 5: head (low 16 bits: lengths in use, top bit: starts drawn)
// and up to six lengths, counted in pixel steps along the outline.
struct DashPattern {
    std::uint32_t head;
    std::int32_t lengths[6];
};

// Pattern of an outline kind, or null when the kind draws solid or nothing.
const DashPattern* DashPatternForOutline(std::int32_t outlineKind);
