#pragma once
// Bitmap-cached drawing of the image-like kinds: each view keeps the control rendered into a 32-bit
// bitmap (alpha in byte 3) and blends it onto the canvas, rendering again only when the control's
// size in device pixels changed or the area to paint leaves what the bitmap covers. Hit and overlap
// tests look at the bitmap's alpha.
#include "RectControlBase.h"
#include "imaging/ImagingBitmap.h"

class CBitmapViewData : public CRectViewData {
public:
    explicit CBitmapViewData(ITarnViewEvents* view) : CRectViewData(view) { ImagingInitBitmap(&bitmap); }
    ~CBitmapViewData() override { Free(); }
    void Free();
    bool HasBitmap() const { return bitmap.Allocated != 0; }

    ImagingBitmap bitmap;
    SIZE deviceSize{0, 0};      // the control's size in device pixels when the bitmap was made
    RECT covered{0, 0, 0, 0};   // pixels the bitmap holds, relative to the control's device origin
    double scale = 0;           // device pixels an inch when it was made
};

class CBitmapCachedControl : public CRectControlBase {
public:
    STDMETHOD(Draw)(tagDrawOptions* options) override;
    STDMETHOD(FreeTemporaryData)() override;
    STDMETHOD(ContainsPoint)(tagPointF point, double maxDelta, ITarnViewEvents* view) override;
    STDMETHOD(OverlapsWithRect)(tagRectF rect, ITarnViewEvents* view) override;
    CControlViewData* CreateViewData(ITarnViewEvents* view) override;

    // Whether the kind has a picture to draw this way; without one the layer draws.
    virtual bool HasBitmapContent() { return true; }
    // Whether a view's bitmap still serves for `area` (relative to the device origin) at `size`.
    virtual bool IsBitmapValid(const CBitmapViewData& record, const SIZE& size, const RECT& area);
    // Renders the control into `bitmap`, whose pixel (0, 0) is device pixel `origin`, at `scale`
    // device pixels an inch; pixels the control does not cover keep alpha 0.
    virtual void RenderIntoBitmap(ImagingBitmap& bitmap, POINT origin, double scale) = 0;

    CBitmapViewData* BitmapRecord(ITarnViewEvents* view);

protected:
    // The bounding rectangle in device pixels at `scale` (right and bottom exclusive).
    RECT DeviceBounds(double scale);
};
