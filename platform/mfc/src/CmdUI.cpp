#include "ClCmdUI.h"
#include "ClCmdTarget.h"
#include "ClMenu.h"
#include "ClWnd.h"

#include <cstring>

CCmdUI::CCmdUI()
    : m_nID(0), m_nIndex(0), m_pMenu(nullptr), m_pSubMenu(nullptr), m_pOther(nullptr), m_hMenu(nullptr),
      m_bEnableChanged(FALSE), m_bContinueRouting(FALSE), m_nIndexMax(0)
{
}

CCmdUI::~CCmdUI() = default;

namespace {
HMENU MenuOf(const CCmdUI& ui) { return ui.m_pMenu ? ui.m_pMenu->m_hMenu : ui.m_hMenu; }
}

void CCmdUI::Enable(BOOL bOn)
{
    if (HMENU menu = MenuOf(*this)) {
        EnableMenuItem(menu, m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    } else if (m_pOther && m_pOther->m_hWnd) {
        // A control losing the focus by being disabled hands it on first.
        if (!bOn && ::GetFocus() == m_pOther->m_hWnd)
            ::SendMessageA(::GetParent(m_pOther->m_hWnd), WM_NEXTDLGCTL, 0, FALSE);
        m_pOther->EnableWindow(bOn);
    }
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck)
{
    if (HMENU menu = MenuOf(*this)) {
        CheckMenuItem(menu, m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_pOther && m_pOther->m_hWnd &&
               (::SendMessageA(m_pOther->m_hWnd, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)) {
        ::SendMessageA(m_pOther->m_hWnd, BM_SETCHECK, static_cast<WPARAM>(nCheck), 0);
    }
}

void CCmdUI::SetRadio(BOOL bOn) { SetCheck(bOn ? 1 : 0); }

void CCmdUI::SetText(LPCSTR lpszText)
{
    if (!lpszText)
        return;
    if (m_pOther && m_pOther->m_hWnd && !MenuOf(*this)) {
        m_pOther->SetWindowText(lpszText);
        return;
    }
    if (!MenuOf(*this))
        return;
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<LPSTR>(lpszText);
    info.cch = static_cast<UINT>(strlen(lpszText));
    SetMenuItemInfoA(MenuOf(*this), m_nIndex, TRUE, &info);
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    if (m_nID == 0 || !pTarget)
        return TRUE;
    m_bEnableChanged = FALSE;
    const BOOL handled = pTarget->OnCmdMsg(m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), this, nullptr);
    if (bDisableIfNoHndler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info = {nullptr, nullptr};
        Enable(pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info));
    }
    return handled;
}
