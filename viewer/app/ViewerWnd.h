#pragma once
#include <windows.h>

// Base of every window object of the viewer: the window procedure finds the object through the
// window's user data.
class CViewerWnd
{
public:
    explicit CViewerWnd(const char* className) : m_className(className) {}
    virtual ~CViewerWnd();
    CViewerWnd(const CViewerWnd&) = delete;
    CViewerWnd& operator=(const CViewerWnd&) = delete;

    virtual LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    // Registers the class, creates the window and sends it VWM_START; false when either fails.
    bool Create(HWND parent, const char* windowName, DWORD style, const RECT& rect, DWORD extendedStyle);
    void Show() { ShowWindow(m_hwnd, SW_SHOW); }
    HWND GetHwnd() const { return m_hwnd; }

protected:
    HWND m_hwnd = nullptr;

private:
    bool RegisterClass() const;

    const char* m_className;
};

LRESULT CALLBACK ViewerWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
