#pragma once
#include <windows.h>

#include "ClGeometry.h"
#include "TarnApi.h"
#include "TarnControls.h"  // tagDrawOptions

// The drawing request handed to every draw routine; its record part goes to the controls' Draw.
// The page background adds what it draws around the site.
class TARN_API CDrawOptions : public tagDrawOptions {
public:
    // A new request from the application's factory, or with every field zero when no application
    // object exists; the caller deletes it.
    static CDrawOptions* Create();
    virtual ~CDrawOptions();
    CDrawOptions(const CDrawOptions& other);
    CDrawOptions& operator=(const CDrawOptions& other);

    // Sets every field but the background colour and device context.
    void Init(ITarnCanvas* canvas, const CRect& updateRect, const double& zoom, const double& pixelsPerInch,
              int viewID, HRGN rgn, int printer, int clipped, int margins, int marginLine, int shadow,
              ITarnViewEvents* view, int thumbnail, int highestQuality, void* stopEvent);
    // Stores a new clipping region and returns the previous one; the caller owns both.
    HRGN SetRgn(HRGN rgn);
    HRGN GetRgn() const { return reinterpret_cast<HRGN>(RgnHandle); }

    int bMargins;
    int bMarginLine;
    int bShadow;

protected:
    CDrawOptions();
    // The application's default factory makes the plain request.
    friend class CTarnApp;
};
