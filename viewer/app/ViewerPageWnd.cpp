#include "ViewerPageWnd.h"

#include "SiteGeometry.h"
#include "ViewerMessages.h"
#include "ViewerResources.h"
#include "ViewerSite.h"

#include <algorithm>
#include <cmath>

namespace {
const double kMinZoom = 0.25;
const double kMaxZoom = 8.32;
const int kVisibleMargin = 40;

LONG Round(double value) { return static_cast<LONG>(std::lround(value)); }
}  // namespace

RECT CViewerPageWnd::Client() const
{
    RECT client = {};
    GetClientRect(m_hwnd, &client);
    return client;
}

RECT CViewerPageWnd::PageRectInClient(bool withMargins) const
{
    RECT page = {};
    if (!m_site || !m_site->GetBackground())
        return page;
    const CRectD rect = CardSiteRect(*m_site->GetBackground(), withMargins);
    const double scale = m_zoom * kPixelsPerInch;
    page.left = Round(rect.left * scale) - m_origin.x;
    page.top = Round(rect.top * scale) - m_origin.y;
    page.right = Round(rect.right * scale) - m_origin.x;
    page.bottom = Round(rect.bottom * scale) - m_origin.y;
    return page;
}

POINT CViewerPageWnd::KeepPageVisible(POINT origin) const
{
    const POINT saved = m_origin;
    auto* self = const_cast<CViewerPageWnd*>(this);
    self->m_origin = origin;
    const RECT page = PageRectInClient(true);
    self->m_origin = saved;
    const RECT client = Client();
    RECT shown = {};
    IntersectRect(&shown, &page, &client);
    if (shown.right - shown.left < kVisibleMargin) {
        if (page.right < kVisibleMargin)
            origin.x -= kVisibleMargin - page.right;
        else if (page.left > client.right - kVisibleMargin)
            origin.x += page.left - (client.right - kVisibleMargin);
    }
    if (shown.bottom - shown.top < kVisibleMargin) {
        if (page.bottom < kVisibleMargin)
            origin.y -= kVisibleMargin - page.bottom;
        else if (page.top > client.bottom - kVisibleMargin)
            origin.y += page.top - (client.bottom - kVisibleMargin);
    }
    return origin;
}

void CViewerPageWnd::ZoomToPage()
{
    if (!m_site || !m_site->GetBackground())
        return;
    const CRectD rect = CardSiteRect(*m_site->GetBackground(), true);
    const RECT client = Client();
    const int width = client.right - client.left, height = client.bottom - client.top;
    if (!(rect.Width() > 0) || !(rect.Height() > 0) || width < 1 || height < 1)
        return;
    const double pixelsPerInch = std::min(width / (rect.Width() * 1.1), height / (rect.Height() * 1.1));
    const double zoom = AdjustFitZoom(pixelsPerInch / kPixelsPerInch);
    const double scale = m_zoom * kPixelsPerInch;
    const POINT centre = {Round((rect.left + rect.right) / 2 * scale) - m_origin.x,
                          Round((rect.top + rect.bottom) / 2 * scale) - m_origin.y};
    SetZoomAt(zoom, centre);
    m_fitted = true;
}

void CViewerPageWnd::SetZoomAt(double zoom, POINT clientPoint)
{
    const double scale = m_zoom * kPixelsPerInch;
    const double x = (clientPoint.x + m_origin.x) / scale;
    const double y = (clientPoint.y + m_origin.y) / scale;
    zoom = zoom >= kMaxZoom ? kMaxZoom : (zoom <= kMinZoom ? kMinZoom : zoom);
    const RECT client = Client();
    m_zoom = zoom;
    POINT origin = {static_cast<LONG>(-(client.right - client.left) / 2 + zoom * kPixelsPerInch * x),
                    static_cast<LONG>(-(client.bottom - client.top) / 2 + zoom * kPixelsPerInch * y)};
    m_origin = KeepPageVisible(origin);
    RedrawAll();
    m_fitted = false;
}

void CViewerPageWnd::Scroll(int dx, int dy)
{
    m_origin = KeepPageVisible({m_origin.x - dx, m_origin.y - dy});
    RedrawAll();
    UpdateWindow(m_hwnd);
    m_fitted = false;
}

void CViewerPageWnd::ZoomToRect(RECT rect)
{
    const RECT client = Client();
    const int width = client.right - client.left, height = client.bottom - client.top;
    if (width < 1 || height < 1)
        return;
    double factor = std::max(double(rect.right - rect.left) / width, double(rect.bottom - rect.top) / height);
    double zoom = factor > 0 ? m_zoom / factor : HUGE_VAL;
    if (zoom > 2 * kMaxZoom || zoom < 0.5) {
        factor = factor >= 2.5 ? 2.5 : (factor <= 0.4 ? 0.4 : factor);
        zoom = m_zoom / factor;
    }
    SetZoomAt(zoom, {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

void CViewerPageWnd::DrawRubberBand(POINT from, POINT to) const
{
    const RECT band = {std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x), std::max(from.y, to.y)};
    HDC dc = GetDC(m_hwnd);
    DrawFocusRect(dc, &band);
    ReleaseDC(m_hwnd, dc);
}

void CViewerPageWnd::RedrawAll()
{
    if (m_hwnd)
        InvalidateRect(m_hwnd, nullptr, FALSE);
}

void CViewerPageWnd::Render(HDC dc, const RECT& client) const
{
    FillRect(dc, &client, GetSysColorBrush(COLOR_APPWORKSPACE));
    if (!m_site || !m_site->GetBackground())
        return;
    const CViewerBackground& background = *m_site->GetBackground();
    const RECT page = PageRectInClient(true);
    HBRUSH fill = CreateSolidBrush(background.color);
    FillRect(dc, &page, fill);
    DeleteObject(fill);
    // The frame lies one pixel outside the page.
    const RECT frame = {page.left - 1, page.top - 1, page.right + 1, page.bottom + 1};
    FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

    // Until the site's drawing objects are drawn here, its name tells which panel is shown.
    RECT titleArea = page;
    InflateRect(&titleArea, -4, -4);
    const std::string& name = m_site->GetSiteProperties() ? m_site->GetSiteProperties()->GetName() : std::string();
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, background.color == 0 ? RGB(255, 255, 255) : RGB(0, 0, 0));
    DrawTextA(dc, name.c_str(), -1, &titleArea, DT_CENTER | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
}

void CViewerPageWnd::Paint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hwnd, &paint);
    const RECT client = Client();
    // Drawn off-screen first so that the window never shows a half-drawn page.
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP buffer = CreateCompatibleBitmap(dc, std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1));
    HGDIOBJ old = SelectObject(memory, buffer);
    Render(memory, client);
    BitBlt(dc, paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right - paint.rcPaint.left,
           paint.rcPaint.bottom - paint.rcPaint.top, memory, paint.rcPaint.left, paint.rcPaint.top, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(buffer);
    DeleteDC(memory);
    EndPaint(m_hwnd, &paint);
}

LRESULT CViewerPageWnd::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case VWM_START:
        m_previousClient = Client();
        break;
    case WM_PAINT:
        Paint();
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR: {
        const UINT cursor = m_mode == kPanMode ? IDC_PAN_CURSOR : IDC_ZOOM_CURSOR;
        HCURSOR shape = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(cursor));
        SetCursor(shape ? shape : LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
        return 1;
    }
    case WM_SIZE: {
        const RECT client = Client();
        if (m_fitted) {
            ZoomToPage();
        } else {
            // The point at the centre of the window stays there.
            const POINT shift = {(m_previousClient.right - client.right) / 2, (m_previousClient.bottom - client.bottom) / 2};
            m_origin = KeepPageVisible({m_origin.x + shift.x, m_origin.y + shift.y});
            RedrawAll();
        }
        m_previousClient = client;
        break;
    }
    case WM_KEYDOWN: {
        const RECT client = Client();
        const POINT centre = {client.right / 2, client.bottom / 2};
        switch (wParam) {
        case VK_LEFT: Scroll(20, 0); break;
        case VK_UP: Scroll(0, 20); break;
        case VK_RIGHT: Scroll(-20, 0); break;
        case VK_DOWN: Scroll(0, -20); break;
        case VK_ADD: SetZoomAt(m_zoom * 2.5, centre); break;
        case VK_SUBTRACT: SetZoomAt(m_zoom * 0.4, centre); break;
        default: break;
        }
        break;
    }
    case WM_LBUTTONDOWN:
        m_lastPoint = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        m_startPoint = m_lastPoint;
        m_dragging = true;
        SetCapture(hwnd);
        break;
    case WM_MOUSEMOVE:
        if (m_dragging && (wParam & MK_LBUTTON)) {
            const POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (m_mode == kPanMode) {
                Scroll(point.x - m_lastPoint.x, point.y - m_lastPoint.y);
            } else {
                DrawRubberBand(m_startPoint, m_lastPoint);
                DrawRubberBand(m_startPoint, point);
            }
            m_lastPoint = point;
        }
        break;
    case WM_LBUTTONUP:
        if (m_dragging) {
            ReleaseCapture();
            if (m_mode == kZoomMode) {
                const POINT end = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
                DrawRubberBand(m_startPoint, m_lastPoint);
                ZoomToRect({std::min(m_startPoint.x, end.x), std::min(m_startPoint.y, end.y),
                            std::max(m_startPoint.x, end.x), std::max(m_startPoint.y, end.y)});
            }
        }
        m_dragging = false;
        break;
    case WM_RBUTTONDOWN:
        if (m_mode == kZoomMode)
            SetZoomAt(m_zoom * 0.4, {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        break;
    case WM_ACTIVATEAPP:
        m_dragging = false;
        break;
    default:
        break;
    }
    if (!m_fitted && message != VWM_START)
        SendMessageA(GetParent(hwnd), VWM_VIEWCHANGED, 0, 0);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
