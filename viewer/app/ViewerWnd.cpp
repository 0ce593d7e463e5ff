#include "ViewerWnd.h"

#include "ViewerMessages.h"
#include "ViewerResources.h"

CViewerWnd::~CViewerWnd()
{
    if (m_hwnd && IsWindow(m_hwnd)) {
        // The window may outlive its object only without it: detach before it goes.
        SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hwnd);
    }
}

LRESULT CViewerWnd::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool CViewerWnd::RegisterClass() const
{
    HINSTANCE module = GetModuleHandleA(nullptr);
    WNDCLASSEXA existing = {sizeof existing};
    if (GetClassInfoExA(module, m_className, &existing))
        return true;
    WNDCLASSEXA windowClass = {sizeof windowClass};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = ViewerWndProc;
    windowClass.hInstance = module;
    windowClass.hIcon = LoadIconA(module, MAKEINTRESOURCEA(IDI_VIEWER));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = m_className;
    return RegisterClassExA(&windowClass) != 0;
}

bool CViewerWnd::Create(HWND parent, const char* windowName, DWORD style, const RECT& rect, DWORD extendedStyle)
{
    if (!RegisterClass())
        return false;
    m_hwnd = CreateWindowExA(extendedStyle, m_className, windowName, style, rect.left, rect.top,
                             rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    if (!m_hwnd)
        return false;
    SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SendMessageA(m_hwnd, VWM_START, 0, 0);
    return true;
}

LRESULT CALLBACK ViewerWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {300, 300};
        return 0;
    default:
        break;
    }
    auto* window = reinterpret_cast<CViewerWnd*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!window)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    return window->WindowProc(hwnd, message, wParam, lParam);
}
