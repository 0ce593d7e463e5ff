#pragma once
// The application's MDI main window: the shell's menu and accelerators with the drawing server's
// appended, the status bar with the position, zoom and unit panes, the MDI client that keeps the
// children's activation order, and the prompts of commands the server defines.
#include "ClBars.h"
#include "ClMDI.h"
#include "TarnApi.h"

struct IResourceBrowser;
class CMDIOrderClient;

// Resource ids of the main frame.
#define TARN_IDR_MAINFRAME_MENU 12015
#define TARN_IDR_MAINFRAME_ACCEL 12016
#define TARN_ID_INDICATOR_POSITION 12081
#define TARN_ID_INDICATOR_ZOOM 12080
#define TARN_ID_INDICATOR_UNITS 12138
// Asked of the active view: its fill and outline colours.
#define TARN_WM_GET_FILL_COLOR 0x1001
#define TARN_WM_GET_OUTLINE_COLOR 0x1002
#define TARN_NO_COLOR 0xFF000000

class TARN_API CTarnMainFrame : public CMDIFrameWnd {
    DECLARE_DYNAMIC(CTarnMainFrame)
public:
    CTarnMainFrame();
    ~CTarnMainFrame() override;

    BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr) override;
    void GetMessageString(UINT nID, CString& rMessage) const override;

    IResourceBrowser* GetResourceBrowser() const { return m_pResourceBrowser; }
    CStatusBar& GetStatusBar() { return m_wndStatusBar; }
    CMDIOrderClient* GetMdiClient() const { return m_pMdiClient; }

    // A string of the drawing server's resource library; TRUE when found.
    BOOL FindServerString(UINT id, char* buffer, UINT size) const;

    // Loads that accelerator table, appends it to the frame's and destroys the loaded copy.
    virtual void AddAcceleratorsToEngine(int resourceId);
    virtual void AddAcceleratorsToEngine(HACCEL table);
    // Menu 12015 with menu's items and then the server's main-frame menu appended.
    virtual HMENU AddMenuToEngine(HMENU menu);
    virtual LRESULT OnGetFillColor(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnGetOutlineColor(WPARAM wParam, LPARAM lParam);

protected:
    int OnCreate(LPCREATESTRUCTA lpcs);
    virtual BOOL CreateStatusBar();
    void OnUpdateIndicator(CCmdUI* pCmdUI);
    LRESULT OnFillColorMessage(WPARAM wParam, LPARAM lParam) { return OnGetFillColor(wParam, lParam); }
    LRESULT OnOutlineColorMessage(WPARAM wParam, LPARAM lParam) { return OnGetOutlineColor(wParam, lParam); }
    LRESULT AskActiveView(UINT message) const;
    DECLARE_MESSAGE_MAP()

    IResourceBrowser* m_pResourceBrowser = nullptr;
    CMDIOrderClient* m_pMdiClient = nullptr;
    CStatusBar m_wndStatusBar;
    HMENU m_hMergedMenu = nullptr;
};
