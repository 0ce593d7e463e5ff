#pragma once
// The editing view's three coordinate spaces and the rules between them:
//   document inches  --(x 96 x zoom, rounded)-->  view pixels  --(+ site offset - scroll)-->  window pixels
// View pixels are measured from the scroll origin of the whole scrollable site; window pixels from
// the client area's top-left corner.
#include <windows.h>

#include "ClGeometry.h"
#include "PointF.h"
#include "RectF.h"
#include "TarnApi.h"
#include "TarnControls.h"  // tagPointData, tagSizeData

// Pixels of one document inch at zoom 1.
constexpr double kViewPixelsPerInch = 96.0;

class TARN_API CViewMapping {
public:
    CViewMapping() = default;
    CViewMapping(double zoom, CPoint scroll, CPoint siteOffset) : m_zoom(zoom), m_scroll(scroll), m_siteOffset(siteOffset) {}

    double GetPixelsPerZoomedInch() const { return kViewPixelsPerInch * m_zoom; }

    CPoint DocToView(const CPointF& p) const;
    CPointF ViewToDoc(const CPoint& p) const;
    CPoint WinToView(const CPoint& p) const;
    CPoint ViewToWin(const CPoint& p) const;
    CPoint DocToWin(const CPointF& p) const { return ViewToWin(DocToView(p)); }
    CPointF WinToDoc(const CPoint& p) const { return ViewToDoc(WinToView(p)); }
    // A document rectangle's corners in view pixels.
    CRect DocToView(const CRectF& r) const;
    CRect ViewToWin(const CRect& r) const;

    // The conversions the drawing controls ask for through the view's events interface: the
    // record's source system says which member is given; the others are filled in.
    // E_INVALIDARG for an unknown source or a null record.
    HRESULT TransferCoordinates(tagPointData* data) const;
    HRESULT TransferSize(tagSizeData* data) const;

    double m_zoom = 1.0;
    CPoint m_scroll{0, 0};      // scroll position, view pixels
    CPoint m_siteOffset{0, 0};  // where the document origin lies, view pixels from the scroll origin
};
