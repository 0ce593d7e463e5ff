#include "ClScrollView.h"

#include "ClDC.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CScrollView, CView)

BEGIN_MESSAGE_MAP(CScrollView, CView)
    ON_WM_SIZE()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
END_MESSAGE_MAP()

const SIZE CScrollView::sizeDefault = {0, 0};

CScrollView::CScrollView()
    : m_nMapMode(0), m_totalDev(0, 0), m_pageDev(0, 0), m_lineDev(0, 0), m_bScaleToFit(FALSE), m_bCenter(TRUE),
      m_bInsideUpdate(FALSE)
{
}

void CScrollView::SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage, const SIZE& sizeLine)
{
    (void)nMapMode;  // only MM_TEXT is kept
    m_nMapMode = MM_TEXT;
    m_bScaleToFit = FALSE;
    m_totalDev = CSize(std::max<LONG>(0, sizeTotal.cx), std::max<LONG>(0, sizeTotal.cy));
    m_pageDev = sizePage;
    if (m_pageDev.cx <= 0) m_pageDev.cx = m_totalDev.cx / 10;
    if (m_pageDev.cy <= 0) m_pageDev.cy = m_totalDev.cy / 10;
    m_lineDev = sizeLine;
    if (m_lineDev.cx <= 0) m_lineDev.cx = std::max<LONG>(1, m_pageDev.cx / 10);
    if (m_lineDev.cy <= 0) m_lineDev.cy = std::max<LONG>(1, m_pageDev.cy / 10);
    if (m_hWnd) {
        UpdateBars();
        Invalidate(TRUE);
    }
}

void CScrollView::SetScaleToFitSize(SIZE sizeTotal)
{
    m_nMapMode = MM_ANISOTROPIC;
    m_bScaleToFit = TRUE;
    m_totalDev = sizeTotal;
    if (m_hWnd) {
        UpdateBars();
        Invalidate(TRUE);
    }
}

void CScrollView::GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const
{
    nMapMode = m_nMapMode;
    sizeTotal = m_totalDev;
    sizePage = m_pageDev;
    sizeLine = m_lineDev;
}

CPoint CScrollView::GetDeviceScrollPosition() const
{
    const DWORD style = GetStyle();
    return CPoint((style & WS_HSCROLL) ? ::GetScrollPos(m_hWnd, SB_HORZ) : 0,
                   (style & WS_VSCROLL) ? ::GetScrollPos(m_hWnd, SB_VERT) : 0);
}

int CScrollView::ClampPosition(int pos, int total, int client)
{
    return std::max(0, std::min(pos, total - client));
}

void CScrollView::NeededBars(SIZE total, SIZE clientWithoutBars, SIZE barSize, BOOL& bHorz, BOOL& bVert)
{
    bHorz = total.cx > clientWithoutBars.cx;
    bVert = total.cy > clientWithoutBars.cy;
    // One bar takes room from the other axis, which may then need its bar too.
    if (bHorz && !bVert) bVert = total.cy > clientWithoutBars.cy - barSize.cy;
    if (bVert && !bHorz) bHorz = total.cx > clientWithoutBars.cx - barSize.cx;
}

void CScrollView::ScrollToPosition(POINT pt)
{
    CRect client;
    GetClientRect(&client);
    const CPoint old = GetDeviceScrollPosition();
    const DWORD style = GetStyle();
    const int x = (style & WS_HSCROLL) ? ClampPosition(pt.x, m_totalDev.cx, client.Width()) : 0;
    const int y = (style & WS_VSCROLL) ? ClampPosition(pt.y, m_totalDev.cy, client.Height()) : 0;
    if (style & WS_HSCROLL) ::SetScrollPos(m_hWnd, SB_HORZ, x, TRUE);
    if (style & WS_VSCROLL) ::SetScrollPos(m_hWnd, SB_VERT, y, TRUE);
    if (x != old.x || y != old.y) ScrollWindow(old.x - x, old.y - y);
}

void CScrollView::UpdateBars()
{
    if (m_bInsideUpdate || !m_hWnd) return;
    m_bInsideUpdate = TRUE;
    CRect client;
    GetClientRect(&client);
    const DWORD style = GetStyle();
    const CSize bar(::GetSystemMetrics(SM_CXVSCROLL), ::GetSystemMetrics(SM_CYHSCROLL));
    // The client area as it would be without any bar.
    CSize bare(client.Width() + ((style & WS_VSCROLL) ? bar.cx : 0),
               client.Height() + ((style & WS_HSCROLL) ? bar.cy : 0));
    BOOL needH = FALSE, needV = FALSE;
    if (!m_bScaleToFit) NeededBars(m_totalDev, bare, bar, needH, needV);
    const CPoint old = GetDeviceScrollPosition();
    ::ShowScrollBar(m_hWnd, SB_HORZ, needH);
    ::ShowScrollBar(m_hWnd, SB_VERT, needV);
    GetClientRect(&client);
    // A shown bar ranges over the total, one client extent a page; its position stays inside.
    auto rangeBar = [this](int bar, int oldPos, int total, int client) {
        const int pos = ClampPosition(oldPos, total, client);
        SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, total - 1, static_cast<UINT>(client), pos, 0};
        ::SetScrollInfo(m_hWnd, bar, &info, TRUE);
        return pos;
    };
    const CPoint pos(needH ? rangeBar(SB_HORZ, old.x, m_totalDev.cx, client.Width()) : 0,
                     needV ? rangeBar(SB_VERT, old.y, m_totalDev.cy, client.Height()) : 0);
    if (pos.x != old.x || pos.y != old.y) Invalidate(TRUE);
    m_bInsideUpdate = FALSE;
}

int CScrollView::ScrollDelta(UINT nCode, UINT nPos, int current, int page, int line, int total)
{
    switch (nCode) {
    case SB_TOP: return -current;
    case SB_BOTTOM: return total - current;
    case SB_LINEUP: return -line;
    case SB_LINEDOWN: return line;
    case SB_PAGEUP: return -page;
    case SB_PAGEDOWN: return page;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: return static_cast<int>(nPos) - current;
    default: return 0;
    }
}

BOOL CScrollView::OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll)
{
    const CPoint pos = GetDeviceScrollPosition();
    const UINT horz = LOBYTE(nScrollCode);
    const UINT vert = HIBYTE(nScrollCode);
    CSize delta(0, 0);
    if (horz != 0xFF) {
        // Thumb codes carry only 16 bits: the exact track position comes from the bar.
        SCROLLINFO info = {sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
        if ((horz == SB_THUMBTRACK || horz == SB_THUMBPOSITION) && ::GetScrollInfo(m_hWnd, SB_HORZ, &info))
            nPos = static_cast<UINT>(info.nTrackPos);
        delta.cx = ScrollDelta(horz, nPos, pos.x, m_pageDev.cx, m_lineDev.cx, m_totalDev.cx);
    }
    if (vert != 0xFF) {
        SCROLLINFO info = {sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
        if ((vert == SB_THUMBTRACK || vert == SB_THUMBPOSITION) && ::GetScrollInfo(m_hWnd, SB_VERT, &info))
            nPos = static_cast<UINT>(info.nTrackPos);
        delta.cy = ScrollDelta(vert, nPos, pos.y, m_pageDev.cy, m_lineDev.cy, m_totalDev.cy);
    }
    return OnScrollBy(delta, bDoScroll);
}

BOOL CScrollView::OnScrollBy(CSize sizeScroll, BOOL bDoScroll)
{
    const DWORD style = GetStyle();
    CRect client;
    GetClientRect(&client);
    const CPoint old = GetDeviceScrollPosition();
    CPoint pos = old;
    if (style & WS_HSCROLL) pos.x = ClampPosition(old.x + sizeScroll.cx, m_totalDev.cx, client.Width());
    if (style & WS_VSCROLL) pos.y = ClampPosition(old.y + sizeScroll.cy, m_totalDev.cy, client.Height());
    if (pos.x == old.x && pos.y == old.y) return FALSE;
    if (bDoScroll) {
        ScrollWindow(old.x - pos.x, old.y - pos.y);
        if (pos.x != old.x) ::SetScrollPos(m_hWnd, SB_HORZ, pos.x, TRUE);
        if (pos.y != old.y) ::SetScrollPos(m_hWnd, SB_VERT, pos.y, TRUE);
    }
    return TRUE;
}

void CScrollView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    if (m_bScaleToFit) {
        CRect client;
        GetClientRect(&client);
        pDC->SetMapMode(MM_ANISOTROPIC);
        pDC->SetWindowExt(m_totalDev);
        pDC->SetViewportExt(client.Size());
        pDC->SetViewportOrg(0, 0);
    } else {
        pDC->SetMapMode(MM_TEXT);
        CPoint origin(0, 0);
        if (!pDC->IsPrinting()) {
            origin = -GetDeviceScrollPosition();
            if (m_bCenter) {
                CRect client;
                GetClientRect(&client);
                if (m_totalDev.cx < client.Width()) origin.x = (client.Width() - m_totalDev.cx) / 2;
                if (m_totalDev.cy < client.Height()) origin.y = (client.Height() - m_totalDev.cy) / 2;
            }
        }
        pDC->SetViewportOrg(origin);
    }
    CView::OnPrepareDC(pDC, pInfo);
}

void CScrollView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    UpdateBars();
}

void CScrollView::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar*)
{
    OnScroll(MAKEWORD(nSBCode, 0xFF), nPos);
}

void CScrollView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar*)
{
    OnScroll(MAKEWORD(0xFF, nSBCode), nPos);
}
