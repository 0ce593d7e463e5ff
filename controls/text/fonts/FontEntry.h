#pragma once
// One font of the text objects: the logical font the characters ask for, the outline metrics of
// that font made at its em square, and the em height. Entries are written whole into text records,
// so the layout is a file format, the same from 32-bit and 64-bit builds.
#include <windows.h>

#include <cstddef>
#include <cstdint>

// OUTLINETEXTMETRICA as the 32-bit platform lays it out (212 bytes). The four name fields are
// offsets from the start of this record, as GDI hands them to a 32-bit caller; never pointers.
struct OutlineMetricsRecord {
    uint32_t otmSize;
    TEXTMETRICA otmTextMetrics;
    BYTE otmFiller;
    PANOSE otmPanoseNumber;
    uint32_t otmfsSelection;
    uint32_t otmfsType;
    int32_t otmsCharSlopeRise;
    int32_t otmsCharSlopeRun;
    int32_t otmItalicAngle;
    uint32_t otmEMSquare;
    int32_t otmAscent;
    int32_t otmDescent;
    uint32_t otmLineGap;
    uint32_t otmsCapEmHeight;
    uint32_t otmsXHeight;
    RECT otmrcFontBox;
    int32_t otmMacAscent;
    int32_t otmMacDescent;
    uint32_t otmMacLineGap;
    uint32_t otmusMinimumPPEM;
    POINT otmptSubscriptSize;
    POINT otmptSubscriptOffset;
    POINT otmptSuperscriptSize;
    POINT otmptSuperscriptOffset;
    uint32_t otmsStrikeoutSize;
    int32_t otmsStrikeoutPosition;
    int32_t otmsUnderscoreSize;
    int32_t otmsUnderscorePosition;
    uint32_t otmpFamilyName;
    uint32_t otmpFaceName;
    uint32_t otmpStyleName;
    uint32_t otmpFullName;
};
static_assert(sizeof(TEXTMETRICA) == 56, "TEXTMETRICA has no pointer and one layout");
static_assert(sizeof(OutlineMetricsRecord) == 212, "outline metrics records are 212 bytes");
static_assert(offsetof(OutlineMetricsRecord, otmfsSelection) == 72, "32-bit OUTLINETEXTMETRICA layout");
static_assert(offsetof(OutlineMetricsRecord, otmsUnderscorePosition) == 192, "32-bit OUTLINETEXTMETRICA layout");

struct FontEntry {
    LOGFONTA logFont;
    OutlineMetricsRecord metrics;
    double emHeight;  // tmHeight - tmInternalLeading of the em-square font, in font design units

    // Fills the metrics and the em height from logFont; false when the font cannot be made.
    bool Init();
};
static_assert(sizeof(LOGFONTA) == 60, "LOGFONTA is 60 bytes");
static_assert(sizeof(FontEntry) == 280, "font entries are 280 bytes in text records");
static_assert(offsetof(FontEntry, metrics) == 60 && offsetof(FontEntry, emHeight) == 272,
              "font entry fields sit at offsets 0, 60 and 272");

// A font of the logical font's face and style whose height is its em square, so that outlines
// taken with it come in font design units. Null when the face has no outline metrics. When
// metrics is given it receives the em-square font's outline metrics.
HFONT CreateOutlineFont(HDC dc, const LOGFONTA& logFont, OutlineMetricsRecord* metrics = nullptr);

// Reads the outline metrics of the font selected into dc into the fixed record.
bool ReadOutlineMetrics(HDC dc, OutlineMetricsRecord& record);
