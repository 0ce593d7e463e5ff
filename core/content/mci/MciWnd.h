#pragma once
// One hidden MCI window (Video for Windows) through which sounds are played, recorded, saved and
// measured. Every operation is one message to that window; its notifications go to the parent.
#include <windows.h>

class CMCIWnd
{
public:
    // The window's styles: recording, every notification to the parent, all controls, no menu,
    // and no error box of its own: a hidden window's modal box would stop its program, and every
    // error reaches the parent as a notification and a result.
    static constexpr DWORD kStyles = 0x3F78 | 0x4000;
    static constexpr UINT kUpdateTimerMs = 1000;
    // The modes MCIWNDM_GETMODEA and MCIWNDM_NOTIFYMODE report.
    static constexpr LONG kModeStop = 525;
    static constexpr LONG kModePlay = 526;

    CMCIWnd() = default;
    virtual ~CMCIWnd();
    CMCIWnd(const CMCIWnd&) = delete;
    CMCIWnd& operator=(const CMCIWnd&) = delete;

    virtual bool Create(HWND parent, HINSTANCE instance);
    virtual bool Open(const char* path);
    virtual LONG GetLength();
    virtual LONG GetPosition();
    virtual LRESULT Play();
    // -1 plays from the start.
    virtual bool PlayFrom(LONG position);
    virtual LRESULT Pause();
    virtual LRESULT Record();
    virtual LRESULT Close();
    virtual bool IsPlaying();
    virtual LRESULT Stop();
    virtual LRESULT NewRecording();
    virtual bool Save(const char* path);
    virtual LRESULT Seek(LONG position);

    HWND GetHandle() const { return m_window; }

private:
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const;

    HWND m_window = nullptr;
};
