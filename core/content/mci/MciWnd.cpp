#include "MciWnd.h"

#include <vfw.h>

CMCIWnd::~CMCIWnd() { Close(); }

LRESULT CMCIWnd::Send(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return SendMessageA(m_window, message, wParam, lParam);
}

bool CMCIWnd::Create(HWND parent, HINSTANCE instance)
{
    Close();
    m_window = MCIWndCreateA(parent, instance, kStyles, nullptr);
    if (!m_window)
        return false;
    Send(MCIWNDM_SETTIMEFORMATA, 0, reinterpret_cast<LPARAM>("ms"));
    Send(MCIWNDM_SETACTIVETIMER, kUpdateTimerMs, 0);
    Send(MCIWNDM_SETINACTIVETIMER, kUpdateTimerMs, 0);
    ShowWindow(m_window, SW_HIDE);
    return true;
}

bool CMCIWnd::Open(const char* path)
{
    if (Send(MCIWNDM_OPENA, 0, reinterpret_cast<LPARAM>(path)) != 0)
        return false;
    Send(MCIWNDM_SETTIMEFORMATA, 0, reinterpret_cast<LPARAM>("ms"));
    return true;
}

LONG CMCIWnd::GetLength() { return static_cast<LONG>(Send(MCIWNDM_GETLENGTH, 0, 0)); }

LONG CMCIWnd::GetPosition() { return static_cast<LONG>(Send(MCIWNDM_GETPOSITIONA, 0, 0)); }

LRESULT CMCIWnd::Play() { return Send(MCI_PLAY, 0, 0); }

bool CMCIWnd::PlayFrom(LONG position)
{
    // -1 asks for the start; the window itself takes positions only, and a sound starts at 0 ms.
    return Send(MCIWNDM_PLAYFROM, 0, position < 0 ? 0 : position) == 0;
}

LRESULT CMCIWnd::Pause() { return Send(MCI_PAUSE, 0, 0); }

LRESULT CMCIWnd::Record() { return Send(MCI_RECORD, 0, 0); }

LRESULT CMCIWnd::Close()
{
    if (!m_window)
        return 0;
    const LRESULT result = Send(MCI_CLOSE, 0, 0);
    // The window is ours: closing the device alone would leave it behind.
    DestroyWindow(m_window);
    m_window = nullptr;
    return result;
}

bool CMCIWnd::IsPlaying() { return m_window && Send(MCIWNDM_GETMODEA, 0, 0) == kModePlay; }

LRESULT CMCIWnd::Stop() { return Send(MCI_STOP, 0, 0); }

LRESULT CMCIWnd::NewRecording() { return Send(MCIWNDM_NEWA, 0, reinterpret_cast<LPARAM>("waveaudio")); }

bool CMCIWnd::Save(const char* path)
{
    if (!path)
        return false;
    // Windows NT's MCI window takes the name as UTF-16.
    if ((GetVersion() & 0x80000000u) == 0) {
        WCHAR wide[256] = L"";
        if (!MultiByteToWideChar(CP_ACP, 0, path, -1, wide, 255))
            return false;
        return Send(MCI_SAVE, 0, reinterpret_cast<LPARAM>(wide)) == 0;
    }
    return Send(MCI_SAVE, 0, reinterpret_cast<LPARAM>(path)) == 0;
}

LRESULT CMCIWnd::Seek(LONG position) { return Send(MCI_SEEK, 0, position); }
