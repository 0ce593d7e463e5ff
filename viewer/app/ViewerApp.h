#pragma once
#include "ResString.h"
#include "ViewerFrame.h"

#include <memory>

// The viewer program: its frame, its title and its message loop.
class CViewerApp
{
public:
    CViewerApp();
    virtual ~CViewerApp();
    CViewerApp(const CViewerApp&) = delete;
    CViewerApp& operator=(const CViewerApp&) = delete;

    virtual std::unique_ptr<CViewerFrame> CreateFrame() const;

    // The program's run: start-up, message loop, end; answers the exit code.
    int Run(HINSTANCE module, int showCommand);

    HINSTANCE GetModule() const { return m_module; }
    CViewerFrame* GetFrame() const { return m_frame.get(); }
    const char* GetTitle() const { return m_title.Text(); }

protected:
    CResString m_title;

private:
    bool InitInstance();
    int MessageLoop();
    void ExitInstance();
    void TellNoCard() const;

    HINSTANCE m_module = nullptr;
    int m_showCommand = SW_SHOWNORMAL;
    std::unique_ptr<CViewerFrame> m_frame;
};

class CCardViewerApp : public CViewerApp
{
public:
    CCardViewerApp();
    std::unique_ptr<CViewerFrame> CreateFrame() const override;
};

// The one application object of the program.
CViewerApp& TheViewerApp();
