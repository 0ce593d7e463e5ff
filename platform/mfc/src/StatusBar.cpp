#include "ClBars.h"

#include "ClCmdUI.h"
#include "ClMDI.h"

#include <algorithm>
#include <commctrl.h>

IMPLEMENT_DYNAMIC(CStatusBar, CWnd)

BEGIN_MESSAGE_MAP(CStatusBar, CWnd)
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

namespace {
// Room around a pane's text, pixels.
constexpr int kPanePadding = 12;

// The state an update handler gives one pane.
class CStatusCmdUI : public CCmdUI
{
public:
    explicit CStatusCmdUI(CStatusBar* bar) : m_bar(bar) {}
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        m_bar->EnablePane(static_cast<int>(m_nIndex), bOn);
    }
    void SetCheck(int) override {}
    void SetText(LPCSTR lpszText) override
    {
        if (lpszText) m_bar->SetPaneText(static_cast<int>(m_nIndex), lpszText);
    }

private:
    CStatusBar* m_bar;
};
}  // namespace

CStatusBar::CStatusBar() = default;
CStatusBar::~CStatusBar() = default;

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&init);
    if (!pParentWnd || !pParentWnd->m_hWnd) return FALSE;
    // The frame lays the bar out itself: no automatic placement by the control.
    HWND hWnd = ::CreateWindowExA(0, STATUSCLASSNAMEA, "", dwStyle | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NOMOVEY,
                                  0, 0, 0, 0, pParentWnd->m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)),
                                  nullptr, nullptr);
    if (!hWnd) return FALSE;
    if (!SubclassWindow(hWnd)) {
        ::DestroyWindow(hWnd);
        return FALSE;
    }
    return TRUE;
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    if (nIDCount < 0 || (nIDCount > 0 && !lpIDArray)) return FALSE;
    m_panes.clear();
    HDC dc = m_hWnd ? ::GetDC(m_hWnd) : nullptr;
    HGDIOBJ oldFont = dc ? ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0))) : nullptr;
    for (int i = 0; i < nIDCount; ++i) {
        Pane pane{lpIDArray[i], CString(), TRUE, 0};
        if (pane.id != ID_SEPARATOR) pane.text.LoadString(pane.id);
        SIZE extent = {0, 0};
        if (dc && !pane.text.IsEmpty())
            ::GetTextExtentPoint32A(dc, pane.text, pane.text.GetLength(), &extent);
        pane.width = extent.cx + kPanePadding;
        m_panes.push_back(pane);
    }
    if (dc) {
        ::SelectObject(dc, oldFont);
        ::ReleaseDC(m_hWnd, dc);
    }
    ApplyPanes();
    return TRUE;
}

UINT CStatusBar::GetItemID(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_panes[static_cast<size_t>(nIndex)].id : 0;
}

int CStatusBar::CommandToIndex(UINT nIDFind) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (m_panes[static_cast<size_t>(i)].id == nIDFind) return i;
    return -1;
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate)
{
    if (nIndex < 0 || nIndex >= GetCount()) return FALSE;
    Pane& pane = m_panes[static_cast<size_t>(nIndex)];
    const CString text(lpszNewText ? lpszNewText : "");
    if (pane.text == text) return TRUE;
    pane.text = text;
    if (m_hWnd && bUpdate)
        ::SendMessageA(m_hWnd, SB_SETTEXTA, static_cast<WPARAM>(nIndex),
                       reinterpret_cast<LPARAM>(pane.enabled ? static_cast<LPCSTR>(pane.text) : ""));
    return TRUE;
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_panes[static_cast<size_t>(nIndex)].text : CString();
}

BOOL CStatusBar::IsPaneEnabled(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() && m_panes[static_cast<size_t>(nIndex)].enabled;
}

void CStatusBar::EnablePane(int nIndex, BOOL bEnable)
{
    if (nIndex < 0 || nIndex >= GetCount()) return;
    Pane& pane = m_panes[static_cast<size_t>(nIndex)];
    bEnable = bEnable ? TRUE : FALSE;
    if (pane.enabled == bEnable) return;
    pane.enabled = bEnable;
    if (m_hWnd)
        ::SendMessageA(m_hWnd, SB_SETTEXTA, static_cast<WPARAM>(nIndex),
                       reinterpret_cast<LPARAM>(bEnable ? static_cast<LPCSTR>(pane.text) : ""));
}

void CStatusBar::ApplyPanes()
{
    if (!m_hWnd || m_panes.empty()) return;
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    // The prompt pane (the first separator) takes what the fixed panes leave.
    std::vector<int> rights(m_panes.size());
    int right = client.right;
    for (size_t i = m_panes.size(); i-- > 0;) {
        rights[i] = i + 1 == m_panes.size() ? -1 : right;
        if (i > 0) right -= m_panes[i].width;
    }
    ::SendMessageA(m_hWnd, SB_SETPARTS, static_cast<WPARAM>(rights.size()), reinterpret_cast<LPARAM>(rights.data()));
    for (size_t i = 0; i < m_panes.size(); ++i)
        ::SendMessageA(m_hWnd, SB_SETTEXTA, i,
                       reinterpret_cast<LPARAM>(m_panes[i].enabled ? static_cast<LPCSTR>(m_panes[i].text) : ""));
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    CStatusCmdUI state(this);
    state.m_nIndexMax = static_cast<UINT>(GetCount());
    for (int i = 0; i < GetCount(); ++i) {
        state.m_nID = m_panes[static_cast<size_t>(i)].id;
        state.m_nIndex = static_cast<UINT>(i);
        // The prompt pane belongs to the frame's messages, not to a command.
        if (state.m_nID != ID_SEPARATOR) state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}

LRESULT CStatusBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    auto* params = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    if (!params || !(GetStyle() & WS_VISIBLE)) return 0;
    RECT own;
    ::GetWindowRect(m_hWnd, &own);
    int height = own.bottom - own.top;
    if (height <= 0) {
        // A fresh bar: the control's own height for its font.
        HDC dc = ::GetDC(m_hWnd);
        TEXTMETRICA metrics = {};
        ::GetTextMetricsA(dc, &metrics);
        ::ReleaseDC(m_hWnd, dc);
        height = metrics.tmHeight + 8;
    }
    RECT& free = params->rect;
    const int top = std::max(free.top, free.bottom - height);
    ::MoveWindow(m_hWnd, free.left, top, free.right - free.left, free.bottom - top, TRUE);
    free.bottom = top;
    ApplyPanes();
    return 0;
}

LRESULT CStatusBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    if (!(GetStyle() & WS_VISIBLE)) return 0;
    CWnd* parent = CWnd::FromHandlePermanent(::GetParent(m_hWnd));
    auto* frame = DYNAMIC_DOWNCAST(CFrameWnd, parent);
    if (frame) OnUpdateCmdUI(frame, static_cast<BOOL>(wParam));
    return 0;
}
