#include "FontEntry.h"

#include <cstring>
#include <vector>

namespace {

// Deletes a GDI object when the scope ends.
class GdiObjectHolder {
public:
    explicit GdiObjectHolder(HGDIOBJ object) : object_(object) {}
    ~GdiObjectHolder() { if (object_) DeleteObject(object_); }
    GdiObjectHolder(const GdiObjectHolder&) = delete;
    GdiObjectHolder& operator=(const GdiObjectHolder&) = delete;
    HGDIOBJ Get() const { return object_; }
private:
    HGDIOBJ object_;
};

// Name fields arrive as offsets from the platform structure's start; the record keeps them as a
// 32-bit caller sees them, so that saved entries do not depend on the build.
uint32_t NameOffset(PSTR field) {
    const UINT_PTR offset = reinterpret_cast<UINT_PTR>(field);
    if (offset < sizeof(OUTLINETEXTMETRICA)) return static_cast<uint32_t>(offset);
    return static_cast<uint32_t>(offset - sizeof(OUTLINETEXTMETRICA) + sizeof(OutlineMetricsRecord));
}

}  // namespace

bool ReadOutlineMetrics(HDC dc, OutlineMetricsRecord& record) {
    const UINT needed = GetOutlineTextMetricsA(dc, 0, nullptr);
    if (needed < sizeof(OUTLINETEXTMETRICA)) return false;
    std::vector<BYTE> buffer(needed);
    auto* otm = reinterpret_cast<OUTLINETEXTMETRICA*>(buffer.data());
    if (!GetOutlineTextMetricsA(dc, needed, otm)) return false;
    // Entries are saved whole: padding bytes must not carry whatever memory held.
    std::memset(&record, 0, sizeof record);
    record.otmSize = sizeof(OutlineMetricsRecord) + (needed - sizeof(OUTLINETEXTMETRICA));
    record.otmTextMetrics = otm->otmTextMetrics;
    BYTE* metricsBytes = reinterpret_cast<BYTE*>(&record.otmTextMetrics);
    const size_t afterCharSet = offsetof(TEXTMETRICA, tmCharSet) + 1;
    std::memset(metricsBytes + afterCharSet, 0, sizeof(TEXTMETRICA) - afterCharSet);
    record.otmFiller = otm->otmFiller;
    record.otmPanoseNumber = otm->otmPanoseNumber;
    record.otmfsSelection = otm->otmfsSelection;
    record.otmfsType = otm->otmfsType;
    record.otmsCharSlopeRise = otm->otmsCharSlopeRise;
    record.otmsCharSlopeRun = otm->otmsCharSlopeRun;
    record.otmItalicAngle = otm->otmItalicAngle;
    record.otmEMSquare = otm->otmEMSquare;
    record.otmAscent = otm->otmAscent;
    record.otmDescent = otm->otmDescent;
    record.otmLineGap = otm->otmLineGap;
    record.otmsCapEmHeight = otm->otmsCapEmHeight;
    record.otmsXHeight = otm->otmsXHeight;
    record.otmrcFontBox = otm->otmrcFontBox;
    record.otmMacAscent = otm->otmMacAscent;
    record.otmMacDescent = otm->otmMacDescent;
    record.otmMacLineGap = otm->otmMacLineGap;
    record.otmusMinimumPPEM = otm->otmusMinimumPPEM;
    record.otmptSubscriptSize = otm->otmptSubscriptSize;
    record.otmptSubscriptOffset = otm->otmptSubscriptOffset;
    record.otmptSuperscriptSize = otm->otmptSuperscriptSize;
    record.otmptSuperscriptOffset = otm->otmptSuperscriptOffset;
    record.otmsStrikeoutSize = otm->otmsStrikeoutSize;
    record.otmsStrikeoutPosition = otm->otmsStrikeoutPosition;
    record.otmsUnderscoreSize = otm->otmsUnderscoreSize;
    record.otmsUnderscorePosition = otm->otmsUnderscorePosition;
    record.otmpFamilyName = NameOffset(otm->otmpFamilyName);
    record.otmpFaceName = NameOffset(otm->otmpFaceName);
    record.otmpStyleName = NameOffset(otm->otmpStyleName);
    record.otmpFullName = NameOffset(otm->otmpFullName);
    return true;
}

HFONT CreateOutlineFont(HDC dc, const LOGFONTA& logFont, OutlineMetricsRecord* metrics) {
    LOGFONTA lf = logFont;
    lf.lfFaceName[LF_FACESIZE - 1] = 0;
    lf.lfHeight = static_cast<LONG>(-12.0 * GetDeviceCaps(dc, LOGPIXELSY) * (1.0 / 72));
    lf.lfWidth = 0;
    lf.lfPitchAndFamily = 255;
    lf.lfOutPrecision = OUT_TT_PRECIS;
    GdiObjectHolder probe(CreateFontIndirectA(&lf));
    OutlineMetricsRecord probeMetrics;
    {
        const HGDIOBJ previous = SelectObject(dc, probe.Get());
        const bool measured = probe.Get() && ReadOutlineMetrics(dc, probeMetrics);
        SelectObject(dc, previous);
        if (!measured || probeMetrics.otmEMSquare == 0) return nullptr;
    }
    lf.lfHeight = -static_cast<LONG>(probeMetrics.otmEMSquare);
    lf.lfWidth = 0;
    HFONT font = CreateFontIndirectA(&lf);
    if (font && metrics) {
        const HGDIOBJ previous = SelectObject(dc, font);
        const bool measured = ReadOutlineMetrics(dc, *metrics);
        SelectObject(dc, previous);
        if (!measured) {
            DeleteObject(font);
            return nullptr;
        }
    }
    return font;
}

bool FontEntry::Init() {
    const HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return false;
    OutlineMetricsRecord measured;
    const HFONT font = CreateOutlineFont(dc, logFont, &measured);
    DeleteDC(dc);
    if (!font) return false;
    DeleteObject(font);
    // Some fonts report the angle in tenths of a degree beyond the valid range.
    if (measured.otmItalicAngle > 900) measured.otmItalicAngle = 0;
    metrics = measured;
    emHeight = double(measured.otmTextMetrics.tmHeight - measured.otmTextMetrics.tmInternalLeading);
    return emHeight > 0;
}
