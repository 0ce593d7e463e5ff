#pragma once
// CScrollView: a view larger than its window. The view keeps a total size in device pixels and
// shows scroll bars only for the axes that need them; OnPrepareDC moves the drawing origin so
// that OnDraw paints in whole-view coordinates. In scale-to-fit mode the whole total is squeezed
// into the client area instead and there are no bars.
#include "ClDocView.h"

class CLASSLIB_API CScrollView : public CView
{
    DECLARE_DYNAMIC(CScrollView)
public:
    CScrollView();

    // Page and line sizes left at zero become a tenth of the total and a tenth of the page.
    static const SIZE sizeDefault;

    // Only MM_TEXT: one logical unit is one device pixel.
    void SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage = sizeDefault,
                        const SIZE& sizeLine = sizeDefault);
    void SetScaleToFitSize(SIZE sizeTotal);
    BOOL IsScaleToFit() const { return m_bScaleToFit; }
    CSize GetTotalSize() const { return m_totalDev; }
    void GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const;

    // The client area's top-left corner in view pixels; (0, 0) on an axis without a bar.
    CPoint GetScrollPosition() const { return GetDeviceScrollPosition(); }
    CPoint GetDeviceScrollPosition() const;
    // Clamped into 0 .. total - client on each axis.
    void ScrollToPosition(POINT pt);

    // Moves by the given pixels, within the bars' ranges; FALSE when nothing moved.
    virtual BOOL OnScrollBy(CSize sizeScroll, BOOL bDoScroll = TRUE);
    // A scroll-bar request: the low byte the horizontal code, the high byte the vertical one
    // (0xFF: none).
    virtual BOOL OnScroll(UINT nScrollCode, UINT nPos, BOOL bDoScroll = TRUE);
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;

    // Shows, hides and ranges the bars for the present client size.
    void UpdateBars();

    void OnSize(UINT nType, int cx, int cy);
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);

    // The plain arithmetic, for callers and tests without a window.
    // Which bars a total needs in a client area measured without bars.
    static void NeededBars(SIZE total, SIZE clientWithoutBars, SIZE barSize, BOOL& bHorz, BOOL& bVert);
    // A position kept inside 0 .. max(0, total - client).
    static int ClampPosition(int pos, int total, int client);
    // How far one scroll-bar code moves (thumb codes: to nPos).
    static int ScrollDelta(UINT nCode, UINT nPos, int current, int page, int line, int total);

protected:
    int m_nMapMode;
    CSize m_totalDev;
    CSize m_pageDev;
    CSize m_lineDev;
    BOOL m_bScaleToFit;
    // The total is centred in a larger client area (scale-to-fit excepted).
    BOOL m_bCenter;
    BOOL m_bInsideUpdate;
    DECLARE_MESSAGE_MAP()
};
