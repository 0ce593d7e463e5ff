#include "ViewMapping.h"

#include "NumericHelpers.h"

CPoint CViewMapping::DocToView(const CPointF& p) const
{
    const double k = GetPixelsPerZoomedInch();
    return CPoint(__round(p.x * k), __round(p.y * k));
}

CPointF CViewMapping::ViewToDoc(const CPoint& p) const
{
    const double k = GetPixelsPerZoomedInch();
    return CPointF(p.x / k, p.y / k);
}

CPoint CViewMapping::WinToView(const CPoint& p) const
{
    return CPoint(p.x + m_scroll.x - m_siteOffset.x, p.y + m_scroll.y - m_siteOffset.y);
}

CPoint CViewMapping::ViewToWin(const CPoint& p) const
{
    return CPoint(m_siteOffset.x + p.x - m_scroll.x, m_siteOffset.y + p.y - m_scroll.y);
}

CRect CViewMapping::DocToView(const CRectF& r) const
{
    const CPoint topLeft = DocToView(CPointF(r.left, r.top));
    const CPoint bottomRight = DocToView(CPointF(r.right, r.bottom));
    return CRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
}

CRect CViewMapping::ViewToWin(const CRect& r) const
{
    const CPoint topLeft = ViewToWin(CPoint(r.left, r.top));
    const CPoint bottomRight = ViewToWin(CPoint(r.right, r.bottom));
    return CRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
}

HRESULT CViewMapping::TransferCoordinates(tagPointData* data) const
{
    if (!data) return E_INVALIDARG;
    switch (data->SourceSystem) {
    case SS_WIN: {
        const CPoint view = WinToView(CPoint(data->WinPoint));
        data->ViewPoint = view;
        data->DocPoint = ViewToDoc(view);
        return S_OK;
    }
    case SS_VIEW: {
        const CPoint view(data->ViewPoint);
        data->WinPoint = ViewToWin(view);
        data->DocPoint = ViewToDoc(view);
        return S_OK;
    }
    case SS_DOC: {
        const CPoint view = DocToView(CPointF(data->DocPoint));
        data->ViewPoint = view;
        data->WinPoint = ViewToWin(view);
        return S_OK;
    }
    default:
        return E_INVALIDARG;
    }
}

HRESULT CViewMapping::TransferSize(tagSizeData* data) const
{
    if (!data) return E_INVALIDARG;
    const double k = GetPixelsPerZoomedInch();
    switch (data->SourceSystem) {
    case SS_WIN:
        data->ViewSize = data->WinSize;
        data->DocSize.cx = data->WinSize.cx / k;
        data->DocSize.cy = data->WinSize.cy / k;
        return S_OK;
    case SS_VIEW:
        data->WinSize = data->ViewSize;
        data->DocSize.cx = data->ViewSize.cx / k;
        data->DocSize.cy = data->ViewSize.cy / k;
        return S_OK;
    case SS_DOC:
        // Window and view pixels have the same scale: both get the rounded product, the inverse
        // of the division the other two sources make.
        data->ViewSize.cx = __round(data->DocSize.cx * k);
        data->ViewSize.cy = __round(data->DocSize.cy * k);
        data->WinSize = data->ViewSize;
        return S_OK;
    default:
        return E_INVALIDARG;
    }
}
