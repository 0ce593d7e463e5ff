#include "MdiOrderClient.h"

#include "ClBars.h"

#include <vector>

HWND CMDIOrderClient::ActiveChild() const
{
    return reinterpret_cast<HWND>(::SendMessageA(m_hWnd, WM_MDIGETACTIVE, 0, 0));
}

LRESULT CMDIOrderClient::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MDICREATE: {
        const LRESULT child = CWnd::WindowProc(message, wParam, lParam);
        m_order.Created(reinterpret_cast<HWND>(child));
        return child;
    }
    case WM_MDIDESTROY:
        m_order.Destroyed(reinterpret_cast<HWND>(wParam));
        return CWnd::WindowProc(message, wParam, lParam);
    case WM_MDINEXT: {
        const HWND active = ActiveChild();
        const bool previous = lParam != 0;
        if (HWND target = m_order.Target(active, previous)) {
            // Placed where the client's own stepping looks for the next window, then activated by it.
            ::SetWindowPos(target, previous ? HWND_BOTTOM : active, 0, 0, 0, 0,
                           SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
            if (!previous) {
                // The client activates the window behind the active one: that is the target now.
                return CWnd::WindowProc(message, reinterpret_cast<WPARAM>(active), 0);
            }
            ::SendMessageA(m_hWnd, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(target), 0);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    case WM_MDISETMENU:
        m_hWindowMenu = reinterpret_cast<HMENU>(lParam);
        CWnd::WindowProc(message, wParam, lParam);
        return 1;
    case WM_MDIREFRESHMENU:
        CWnd::WindowProc(message, wParam, lParam);
        return 1;
    case WM_IDLEUPDATECMDUI:
        for (HWND child : std::vector<HWND>(m_order.Order()))
            if (!::IsWindow(child)) m_order.Destroyed(child);
        if (m_order.Idle(ActiveChild(), (::GetKeyState(VK_CONTROL) & 0x8000) != 0))
            ::SendMessageA(m_hWnd, WM_MDIREFRESHMENU, 0, 0);
        return 0;
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}
