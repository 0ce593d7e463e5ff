#pragma once
// Bars of a frame: the status bar. A frame lays out its bars before its main pane: each child
// window with an id in the bar range gets WM_SIZEPARENT and takes its strip of the rectangle it
// is handed; the pane gets what is left. On idle, every bar updates its elements through the
// command route of its frame (enabled or not, text).
#include "ClDocView.h"

#include <vector>

// Frame layout and idle messages of the library.
#define WM_SIZEPARENT 0x0361
#define WM_SETMESSAGESTRING 0x0362
#define WM_IDLEUPDATECMDUI 0x0363
// Child ids of the frame's bars.
#define AFX_IDW_CONTROLBAR_FIRST 0xE800
#define AFX_IDW_CONTROLBAR_LAST 0xE8FF
#define AFX_IDW_STATUS_BAR 0xE801
// A status pane that shows the prompts.
#define ID_SEPARATOR 0

// What WM_SIZEPARENT hands each bar: the rectangle still free, which the bar shrinks by its strip.
struct AFX_SIZEPARENTPARAMS {
    HDWP hDWP;
    RECT rect;
    SIZE sizeTotal;
    BOOL bStretch;
};

class CLASSLIB_API CStatusBar : public CWnd
{
    DECLARE_DYNAMIC(CStatusBar)
public:
    CStatusBar();
    ~CStatusBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE, UINT nID = AFX_IDW_STATUS_BAR);
    // One pane per id; a pane's text is the string of its id (ID_SEPARATOR: the prompt pane).
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
    int GetCount() const { return static_cast<int>(m_panes.size()); }
    UINT GetItemID(int nIndex) const;
    int CommandToIndex(UINT nIDFind) const;
    BOOL SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate = TRUE);
    CString GetPaneText(int nIndex) const;
    // Disabled panes show no text.
    BOOL IsPaneEnabled(int nIndex) const;
    void EnablePane(int nIndex, BOOL bEnable);

    // Each pane with an id asks the command route of pTarget for its state.
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler);

    LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);

protected:
    struct Pane {
        UINT id;
        CString text;
        BOOL enabled;
        int width;
    };
    void ApplyPanes();
    std::vector<Pane> m_panes;
    DECLARE_MESSAGE_MAP()
};

// The view that commands are being routed through (set while the active frame hands a command
// or an update to its active view), or null.
CLASSLIB_API CView* AfxGetRoutingView();
// The message being handled by a window procedure of this thread, else the loop's last message.
CLASSLIB_API const MSG* AfxGetCurrentMessage();
