#pragma once
// The off-screen drawing surface of a view or of one drawing of a document: a 24-bit bitmap whose
// context follows the view's scroll position, the list of areas to redraw, an optional outline that
// clips what a drawing leaves on the bitmap, and the paint step that asks the listening view to
// redraw the dirty areas and then copies the bitmap to the screen or printer.
#include <windows.h>

#include "TarnControls.h"
#include "atlbase.h"
#include "atlcom.h"
#include "canvas/CanvasBitmap.h"
#include "canvas/DirtyRectList.h"
#include "tarn/SingleConnectionPoint.h"

class CTarnCanvas : public CComObjectRoot,
                    public CComCoClass<CTarnCanvas, &CLSID_TarnCanvas>,
                    public ITarnCanvas,
                    public ISupportErrorInfo,
                    public CSingleConnectionPoint<CTarnCanvas, ITarnViewEvents, &IID_ITarnViewEvents> {
public:
    DECLARE_REGISTRY_RESOURCEID(21005)
    DECLARE_AGGREGATABLE(CTarnCanvas)

    BEGIN_COM_MAP(CTarnCanvas)
    COM_INTERFACE_ENTRY_IID(IID_ITarnCanvas, ITarnCanvas)
    COM_INTERFACE_ENTRY_IID(IID_ISupportErrorInfo, ISupportErrorInfo)
    COM_INTERFACE_ENTRY_IID(IID_IConnectionPointContainer, IConnectionPointContainer)
    END_COM_MAP()

    // ITarnCanvas
    STDMETHOD(Initialize)(LONG_PTR hWnd, long cx, long cy) override;
    STDMETHOD(Resize)(long cx, long cy) override;
    STDMETHOD(GetHDC)(HDC* hdc) override;
    STDMETHOD(GetLeadBitmap)(long** bitmap) override;
    STDMETHOD(GetWorkHDC)(HDC* hdc) override;
    STDMETHOD(GetWorkLeadBitmap)(long** bitmap) override;
    STDMETHOD(StartDrawing)(tagDrawOptions* options) override;
    STDMETHOD(EndDrawing)() override;
    STDMETHOD(Paint)(HDC hdcDest, RECT rectUpdate, long bPrinter, double fRotateAngle, long bHFlip,
                     long bVFlip) override;
    STDMETHOD(FreeBitmap)() override;
    STDMETHOD(SetOffset)(POINT newOffset, long docopy) override;
    STDMETHOD(GetOffset)(POINT* offset) override;
    STDMETHOD(GetWorkOffset)(POINT* offset) override;
    STDMETHOD(InvalidateRect)(RECT* pRect) override;
    STDMETHOD(ValidateRect)(RECT* pRect) override;
    STDMETHOD(Invalidate)() override;
    STDMETHOD(IsCurrentRectTheLastOne)() override;
    STDMETHOD(SetClipPolybezier)(SegmentDesc* segments, long nSegs, RECT* bounds) override;
    STDMETHOD(GetClippingBounds)(RECT* bounds) override;

    // ISupportErrorInfo
    STDMETHOD(InterfaceSupportsErrorInfo)(REFIID iid) override;

    // What the tests read besides the interface.
    const CDirtyRectList& DirtyList() const { return dirty_; }

private:
    POINT Offset() const;
    RECT VisibleArea() const;
    void AddDirty(const RECT& r);
    HRESULT PaintToPrinter(HDC hdcDest, double angle, long bHFlip, long bVFlip);
    HRESULT PaintDithered(HDC hdcDest, const RECT& area);

    CCanvasBitmap main_;
    CCanvasBitmap work_;
    HWND owner_ = nullptr;
    CDirtyRectList dirty_;
    int current_ = -1;
    SegmentDesc* clipSegments_ = nullptr;  // the caller's array, kept alive by it until EndDrawing
    long clipCount_ = 0;
    RECT clipBounds_ = {};
    RECT workRect_ = {};
};
