#include "ViewerApp.h"

#include "ViewerResources.h"

#include <commctrl.h>

namespace {
CViewerApp* g_application = nullptr;
}

CViewerApp& TheViewerApp() { return *g_application; }

CViewerApp::CViewerApp()
{
    g_application = this;
    m_title.Load(IDS_VIEWER_TITLE);
}

CViewerApp::~CViewerApp()
{
    if (g_application == this)
        g_application = nullptr;
}

std::unique_ptr<CViewerFrame> CViewerApp::CreateFrame() const { return std::make_unique<CViewerFrame>(); }

CCardViewerApp::CCardViewerApp() { m_title.Load(IDS_CARD_VIEWER_TITLE); }

std::unique_ptr<CViewerFrame> CCardViewerApp::CreateFrame() const { return std::make_unique<CCardViewerFrame>(); }

void CViewerApp::TellNoCard() const
{
    CResString text;
    if (!text.Load(IDS_NO_CARD))
        return;
    MessageBoxA(nullptr, text.Text(), GetTitle(), MB_OK | MB_ICONERROR);
}

bool CViewerApp::InitInstance()
{
    InitCommonControls();
    m_frame = CreateFrame();
    if (!m_frame || !m_frame->Create(nullptr, GetTitle(), WS_OVERLAPPEDWINDOW, RECT{0, 0, 0, 0}, 0))
        return false;
    if (m_frame->HasNoCard())
        return false;
    ShowWindow(m_frame->GetHwnd(), m_showCommand);
    UpdateWindow(m_frame->GetHwnd());
    return true;
}

int CViewerApp::MessageLoop()
{
    HACCEL accelerators = LoadAcceleratorsA(m_module, MAKEINTRESOURCEA(IDR_ACCELERATORS));
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        HWND active = GetActiveWindow();
        if (accelerators && active && TranslateAcceleratorA(active, accelerators, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

void CViewerApp::ExitInstance() { m_frame.reset(); }

int CViewerApp::Run(HINSTANCE module, int showCommand)
{
    m_module = module;
    m_showCommand = showCommand;
    if (!InitInstance()) {
        const bool noCard = m_frame && m_frame->HasNoCard();
        // Told before the frame goes: its end posts the quit message that would close the box at once.
        if (noCard)
            TellNoCard();
        ExitInstance();
        return noCard ? 1 : 0;
    }
    const int exitCode = MessageLoop();
    ExitInstance();
    return exitCode;
}
