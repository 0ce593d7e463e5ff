#include "rendering/TarnRendering.h"

#include <cstring>
#include <string>

#include "render/AlphaBlendBitmaps.h"
#include "render/DrawPolyBezier.h"
#include "render/EngineState.h"
#include "render/FillInfo.h"
#include "render/PathBoolean.h"
#include "render/PointInPath.h"
#include "render/PolyDrawEmulation.h"
#include "render/TransformBitmap.h"
#include "tarn/ControlsModuleState.h"

namespace {
const UINT kIdsHardwareRefused = 21298;
}

std::wstring HardwareRefusalText() {
    const std::string text = LoadResourceString(kIdsHardwareRefused);
    const std::string chosen =
        text.empty() ? "This program needs a processor with the MMX extension." : text;
    std::wstring wide(chosen.size(), L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, chosen.data(), static_cast<int>(chosen.size()), &wide[0],
                                      static_cast<int>(wide.size()));
    wide.resize(n > 0 ? n : 0);
    return wide;
}

STDMETHODIMP CTarnRendering::DrawAntialiasedPolyBezier(long* bdst, RECT* cliprect, SegmentDesc* segments, long snum,
                                                       long* fillInfo) {
    DrawPolyBezierTiled(reinterpret_cast<ImagingBitmap*>(bdst), cliprect, segments, snum, nullptr, nullptr,
                        reinterpret_cast<const FillInfo*>(fillInfo), 1, 1, nullptr, 0);
    return S_OK;
}

STDMETHODIMP CTarnRendering::PtInPolyBezier(tagPointF pt, SegmentDesc* segments, long snum, long /*bLeftHanded*/) {
    return ::PtInPolyBezier(pt, segments, static_cast<int>(snum)) ? S_OK : S_FALSE;
}

STDMETHODIMP CTarnRendering::TransformBitmap(long* bsrc, long* bdst, RECT* cliprect, long* pmat, long method,
                                             long bBlendToDst) {
    if (!cliprect || !pmat) return E_POINTER;
    CAffineMatrix matrix;
    std::memcpy(matrix.m, pmat, sizeof matrix.m);
    ::TransformBitmap(reinterpret_cast<ImagingBitmap*>(bsrc), reinterpret_cast<ImagingBitmap*>(bdst), cliprect, matrix,
                      static_cast<int>(method), bBlendToDst == 1);
    return S_OK;
}

STDMETHODIMP CTarnRendering::PolyDrawW95(HDC hdc, long* lppt, long* lpbTypes, long cCount) {
    return PolyDrawEmulated(hdc, reinterpret_cast<const POINT*>(lppt), reinterpret_cast<const BYTE*>(lpbTypes),
                            static_cast<int>(cCount))
               ? S_OK
               : E_FAIL;
}

STDMETHODIMP CTarnRendering::BooleanOperation(LONG_PTR* ppData1, long* pnCurves1, long nGlyphs1, LONG_PTR* ppData2,
                                              long* pnCurves2, long nGlyphs2, LONG_PTR* ppDataOut, LONG_PTR* pOutBuf,
                                              LONG_PTR* pnCurvesOut, long* nGlyphsOut, long idOp, long hint) {
    static_assert(sizeof(long) == sizeof(int), "record counts cross the interface as 32-bit values");
    static_assert(sizeof(LONG_PTR) == sizeof(void*), "array pointers cross the interface in pointer-sized slots");
    const int ok = PathBooleanOperation(
        reinterpret_cast<SegmentDesc**>(ppData1), reinterpret_cast<int*>(pnCurves1), static_cast<int>(nGlyphs1),
        reinterpret_cast<SegmentDesc**>(ppData2), reinterpret_cast<int*>(pnCurves2), static_cast<int>(nGlyphs2),
        reinterpret_cast<SegmentDesc***>(ppDataOut), reinterpret_cast<SegmentDesc**>(pOutBuf),
        reinterpret_cast<int**>(pnCurvesOut), reinterpret_cast<int*>(nGlyphsOut), static_cast<int>(idOp),
        static_cast<int>(hint), 0);
    return ok ? S_OK : E_FAIL;
}

// Bitmap loading, the alpha check and metafile conversion are not part of this server yet: their
// callers get a plain refusal.
STDMETHODIMP CTarnRendering::LoadDIB(long*, long*) { return E_NOTIMPL; }
STDMETHODIMP CTarnRendering::CheckAlpha(long*) { return E_NOTIMPL; }
STDMETHODIMP CTarnRendering::ParseEnhMetafile(LONG_PTR, tagPointF, tagPointF, IControlArray**) { return E_NOTIMPL; }

STDMETHODIMP CTarnRendering::AlphaBlendBitmapRects(long* bdst, long xd, long yd, long wd, long hd, long* bsrc,
                                                   long xs, long ys) {
    ::AlphaBlendBitmapRects(reinterpret_cast<ImagingBitmap*>(bdst), xd, yd, wd, hd,
                            reinterpret_cast<ImagingBitmap*>(bsrc), xs, ys);
    return S_OK;
}

STDMETHODIMP CTarnRendering::CheckHardwareCompatibility(BSTR* pMsg) {
    if (!pMsg) return E_POINTER;
    const bool suitable = IsMmxAvailable() != 0;
    const std::wstring text = suitable ? std::wstring(L"ok") : HardwareRefusalText();
    *pMsg = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!*pMsg) return E_OUTOFMEMORY;
    return suitable ? S_OK : E_FAIL;
}

STDMETHODIMP CTarnRendering::SetTarnApp(IUnknown* pTarnApp) {
    // The application outlives every control, so no reference is taken.
    SetTarnAppPointer(reinterpret_cast<ITarnApp*>(pTarnApp));
    return S_OK;
}

STDMETHODIMP CTarnRendering::GetMinMaxOutlineWidth(double* pMin, double* pMax) {
    if (pMin) *pMin = 0.0;
    if (pMax) *pMax = 1.0;
    return S_OK;
}
