#pragma once
// One sound panel at the bottom of the viewer's frame (dialog 1035): a play/pause button, a
// position slider over the whole playlist and the elapsed time, playing through a hidden MCI
// window of its own.
#include <windows.h>

#include "MciWnd.h"
#include "MediaPlayback.h"

// The MCI window comes first so that it exists before the playing logic that uses it.
struct CMediaPanelMci {
    CMCIWnd m_mciWnd;
};

class CMediaPanelDlg : private CMediaPanelMci, public CMediaPlayback
{
public:
    static constexpr int kDialogId = 1035;
    static constexpr int kButtonId = 14096;
    static constexpr int kSliderId = 14083;
    static constexpr int kTimeId = 14091;
    static constexpr int kPlayIconId = 12071;
    static constexpr int kPauseIconId = 12072;
    static constexpr UINT_PTR kTimerId = 1976;

    CMediaPanelDlg();
    ~CMediaPanelDlg() override;

    // Makes the dialog and its MCI window; false when either can't be made.
    bool Create(HWND parent, HINSTANCE module);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Layout(int width, int height);
    void CloseMci() { m_mciWnd.Close(); }
    HWND GetHwnd() const { return m_dialog; }
    CMCIWnd& GetMci() { return m_mciWnd; }

protected:
    void ShowPlaying(bool playing) override;
    void ShowSlider(int pos) override;
    void ShowTime(const char* text) override;
    void ShowEnabled(bool enabled) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_dialog = nullptr;
    HWND m_slider = nullptr;
    HWND m_button = nullptr;
    HWND m_time = nullptr;
    HICON m_playIcon = nullptr;
    HICON m_pauseIcon = nullptr;
};
