#pragma once
// The COM face of the rendering engine for the core library and the other deliverables: every
// method hands its arguments to the engine. The object keeps no state; the application interface
// it receives is kept module-wide for every drawing control.
#include <windows.h>

#include "TarnControls.h"
#include "atlbase.h"
#include "atlcom.h"

class CTarnRendering : public CComObjectRoot,
                       public CComCoClass<CTarnRendering, &CLSID_TarnRendering>,
                       public ITarnRendering {
public:
    DECLARE_REGISTRY_RESOURCEID(21177)
    DECLARE_AGGREGATABLE(CTarnRendering)

    BEGIN_COM_MAP(CTarnRendering)
    COM_INTERFACE_ENTRY_IID(IID_ITarnRendering, ITarnRendering)
    END_COM_MAP()

    STDMETHOD(DrawAntialiasedPolyBezier)(long* bdst, RECT* cliprect, SegmentDesc* segments, long snum,
                                         long* fillInfo) override;
    STDMETHOD(PtInPolyBezier)(tagPointF pt, SegmentDesc* segments, long snum, long bLeftHanded) override;
    STDMETHOD(LoadDIB)(long* pFile, long* bmp) override;
    STDMETHOD(CheckAlpha)(long* bmp) override;
    STDMETHOD(TransformBitmap)(long* bsrc, long* bdst, RECT* cliprect, long* pmat, long method,
                               long bBlendToDst) override;
    STDMETHOD(AlphaBlendBitmapRects)(long* bdst, long xd, long yd, long wd, long hd, long* bsrc, long xs,
                                     long ys) override;
    STDMETHOD(CheckHardwareCompatibility)(BSTR* pMsg) override;
    STDMETHOD(ParseEnhMetafile)(LONG_PTR hEnhMetafile, tagPointF ptOrigin, tagPointF ptScale,
                                IControlArray** ppCArray) override;
    STDMETHOD(SetTarnApp)(IUnknown* pTarnApp) override;
    STDMETHOD(BooleanOperation)(LONG_PTR* ppData1, long* pnCurves1, long nGlyphs1, LONG_PTR* ppData2,
                                long* pnCurves2, long nGlyphs2, LONG_PTR* ppDataOut, LONG_PTR* pOutBuf,
                                LONG_PTR* pnCurvesOut, long* nGlyphsOut, long idOp, long hint) override;
    STDMETHOD(PolyDrawW95)(HDC hdc, long* lppt, long* lpbTypes, long cCount) override;
    STDMETHOD(GetMinMaxOutlineWidth)(double* pMin, double* pMax) override;
};

// The text the compatibility check answers with on an unsuitable processor.
std::wstring HardwareRefusalText();
