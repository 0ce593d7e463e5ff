#include "MediaPanelDlg.h"

#include <commctrl.h>
#include <vfw.h>

CMediaPanelDlg::CMediaPanelDlg() : CMediaPlayback(m_mciWnd) {}

CMediaPanelDlg::~CMediaPanelDlg()
{
    SetList(nullptr);
    if (m_dialog) {
        SetWindowLongPtrA(m_dialog, DWLP_USER, 0);
        DestroyWindow(m_dialog);
    }
    m_mciWnd.Close();
}

bool CMediaPanelDlg::Create(HWND parent, HINSTANCE module)
{
    m_dialog = CreateDialogParamA(module, MAKEINTRESOURCEA(kDialogId), parent, DialogProc,
                                  reinterpret_cast<LPARAM>(this));
    if (!m_dialog)
        return false;
    if (!m_mciWnd.Create(m_dialog, module))
        return false;
    m_button = GetDlgItem(m_dialog, kButtonId);
    m_slider = GetDlgItem(m_dialog, kSliderId);
    m_time = GetDlgItem(m_dialog, kTimeId);
    ShowWindow(m_dialog, SW_SHOW);
    UpdateWindow(m_dialog);
    SetTimer(m_dialog, kTimerId, kTickMs, nullptr);
    m_playIcon = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(kPlayIconId), IMAGE_ICON, 16, 16, 0));
    m_pauseIcon = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(kPauseIconId), IMAGE_ICON, 16, 16, 0));
    SendMessageA(m_slider, TBM_SETRANGE, FALSE, MAKELPARAM(0, kSliderRange));
    ShowPlaying(false);
    SetList(nullptr);
    return true;
}

INT_PTR CALLBACK CMediaPanelDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        auto* panel = reinterpret_cast<CMediaPanelDlg*>(lParam);
        panel->m_dialog = dialog;
        return TRUE;
    }
    auto* panel = reinterpret_cast<CMediaPanelDlg*>(GetWindowLongPtrA(dialog, DWLP_USER));
    return panel ? panel->HandleMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CMediaPanelDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        CloseMci();
        return 0;
    case WM_SIZE:
        Layout(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) != kButtonId)
            return FALSE;
        if (IsPlaying())
            Pause();
        else
            Play();
        SetFocus(GetParent(m_dialog));
        return TRUE;
    case WM_TIMER:
        if (wParam != kTimerId)
            return FALSE;
        Tick();
        return TRUE;
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) != m_slider)
            return FALSE;
        SetSliderPos(static_cast<int>(SendMessageA(m_slider, TBM_GETPOS, 0, 0)));
        OnScroll(LOWORD(wParam), HIWORD(wParam));
        SetFocus(GetParent(m_dialog));
        return TRUE;
    case MCIWNDM_NOTIFYMODE:
        if (static_cast<LONG>(lParam) == CMCIWnd::kModeStop)
            OnModeStop();
        return TRUE;
    case MCIWNDM_NOTIFYERROR:
        OnMciError();
        return TRUE;
    default:
        return FALSE;
    }
}

void CMediaPanelDlg::Layout(int width, int height)
{
    if (!m_button || !m_slider || !m_time)
        return;
    // 2-pixel margins; the button keeps its width on the left, the time its width on the right,
    // and the slider takes what lies between with 4-pixel gaps.
    RECT button = {}, time = {};
    GetWindowRect(m_button, &button);
    GetWindowRect(m_time, &time);
    const int buttonWidth = button.right - button.left;
    const int timeWidth = time.right - time.left;
    const int top = 2, bottom = height - 2;
    const int h = bottom > top ? bottom - top : 0;
    MoveWindow(m_button, 2, top, buttonWidth, h, TRUE);
    const int timeLeft = width - 2 - timeWidth;
    MoveWindow(m_time, timeLeft, top, timeWidth, h, TRUE);
    const int sliderLeft = 2 + buttonWidth + 4;
    const int sliderWidth = timeLeft - 4 - sliderLeft;
    MoveWindow(m_slider, sliderLeft, top, sliderWidth > 0 ? sliderWidth : 0, h, TRUE);
}

void CMediaPanelDlg::ShowPlaying(bool playing)
{
    if (!m_button)
        return;
    SendMessageA(m_button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(playing ? m_pauseIcon : m_playIcon));
    const LONG_PTR style = GetWindowLongPtrA(m_button, GWL_STYLE);
    SetWindowLongPtrA(m_button, GWL_STYLE, style & ~static_cast<LONG_PTR>(BS_DEFPUSHBUTTON));
}

void CMediaPanelDlg::ShowSlider(int pos)
{
    if (m_slider)
        SendMessageA(m_slider, TBM_SETPOS, TRUE, pos);
}

void CMediaPanelDlg::ShowTime(const char* text)
{
    if (m_time)
        SetWindowTextA(m_time, text);
}

void CMediaPanelDlg::ShowEnabled(bool enabled)
{
    for (HWND control : {m_button, m_slider, m_time}) {
        if (control)
            EnableWindow(control, enabled);
    }
}
