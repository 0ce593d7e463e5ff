#include "DrawOptions.h"

#include <cstring>

#include "TarnApp.h"

CDrawOptions::CDrawOptions() : tagDrawOptions(), bMargins(0), bMarginLine(0), bShadow(0)
{
    std::memset(static_cast<tagDrawOptions*>(this), 0, sizeof(tagDrawOptions));
}

CDrawOptions* CDrawOptions::Create()
{
    // Every draw dereferences the request, so a factory that makes none gets the plain one.
    if (CTarnApp* app = GetTarnApp()) {
        if (CDrawOptions* options = app->CreateDrawOptions())
            return options;
    }
    return new CDrawOptions();
}

CDrawOptions::~CDrawOptions() = default;

CDrawOptions::CDrawOptions(const CDrawOptions& other)
    : tagDrawOptions(other), bMargins(other.bMargins), bMarginLine(other.bMarginLine), bShadow(other.bShadow)
{
}

CDrawOptions& CDrawOptions::operator=(const CDrawOptions& other)
{
    static_cast<tagDrawOptions&>(*this) = other;
    bMargins = other.bMargins;
    bMarginLine = other.bMarginLine;
    bShadow = other.bShadow;
    return *this;
}

void CDrawOptions::Init(ITarnCanvas* canvas, const CRect& updateRect, const double& zoom,
                        const double& pixelsPerInch, int viewID, HRGN rgn, int printer, int clipped, int margins,
                        int marginLine, int shadow, ITarnViewEvents* view, int thumbnail, int highestQuality,
                        void* stopEvent)
{
    m_Canvas = canvas;
    m_pCallingView = view;
    UpdateRect.left = updateRect.left;
    UpdateRect.top = updateRect.top;
    UpdateRect.right = updateRect.right;
    UpdateRect.bottom = updateRect.bottom;
    ZoomValue = zoom;
    PixelsPerInch = pixelsPerInch;
    ViewID = viewID;
    RgnHandle = reinterpret_cast<LONG_PTR>(rgn);
    Printer = printer;
    Clipped = clipped;
    bMargins = margins;
    bMarginLine = marginLine;
    bShadow = shadow;
    bThumbnail = thumbnail;
    bHighestQuality = highestQuality;
    hStopEvent = reinterpret_cast<LONG_PTR>(stopEvent);
}

HRGN CDrawOptions::SetRgn(HRGN rgn)
{
    const HRGN previous = GetRgn();
    RgnHandle = reinterpret_cast<LONG_PTR>(rgn);
    return previous;
}
