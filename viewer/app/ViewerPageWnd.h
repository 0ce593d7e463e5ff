#pragma once
#include "ViewerWnd.h"

class CViewerSite;

// The child window that shows the current site, zoomed and panned.
class CViewerPageWnd : public CViewerWnd
{
public:
    enum Mode { kZoomMode = 0, kPanMode = 1 };

    CViewerPageWnd() : CViewerWnd("TarnSite") {}
    LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    // Narrows the zoom found to fit the page (the base keeps it).
    virtual double AdjustFitZoom(double zoom) { return zoom; }

    void SetSite(CViewerSite* site) { m_site = site; }
    CViewerSite* GetSite() const { return m_site; }
    void SetMode(Mode mode) { m_mode = mode; }
    Mode GetMode() const { return m_mode; }
    void SetClipToMargins(bool clip) { m_clipToMargins = clip; }
    bool GetClipToMargins() const { return m_clipToMargins; }
    bool IsFitted() const { return m_fitted; }
    double GetZoom() const { return m_zoom; }

    void ZoomToPage();
    void SetZoomAt(double zoom, POINT clientPoint);
    void Scroll(int dx, int dy);
    // Zooms so that the client rectangle fills the window; an empty one zooms in by 2.5 at its corner.
    void ZoomToRect(RECT rect);
    void RedrawAll();
    // The site's sheet (with or without its margins) in client pixels under the current zoom and origin.
    RECT PageRectInClient(bool withMargins) const;

private:
    static constexpr double kPixelsPerInch = 96.0;

    POINT KeepPageVisible(POINT origin) const;
    void Paint();
    void Render(HDC dc, const RECT& client) const;
    RECT Client() const;
    void DrawRubberBand(POINT from, POINT to) const;

    CViewerSite* m_site = nullptr;
    bool m_clipToMargins = true;
    Mode m_mode = kPanMode;
    double m_zoom = 1.0;
    POINT m_origin = {0, 0};
    bool m_fitted = true;
    bool m_dragging = false;
    POINT m_startPoint = {0, 0};
    POINT m_lastPoint = {0, 0};
    RECT m_previousClient = {0, 0, 0, 0};
};

class CCardViewerPageWnd : public CViewerPageWnd
{
public:
    // A fitted card site fills at most 1/1.15 of the fitting allowance.
    double AdjustFitZoom(double zoom) override { return zoom * 0.8695652173913044; }
};
