#pragma once
// CCmdUI: the state a command's update handler sets (enabled, checked, text) for one menu item,
// button or other user-interface element.
#include "ClassLibExport.h"

class CCmdTarget;
class CMenu;
class CWnd;

class CLASSLIB_API CCmdUI
{
public:
    CCmdUI();
    virtual ~CCmdUI();

    UINT m_nID;
    UINT m_nIndex;          // item index in a menu or bar
    CMenu* m_pMenu;         // set when updating a menu item
    CMenu* m_pSubMenu;
    CWnd* m_pOther;         // set when updating a window (button, bar pane)
    HMENU m_hMenu;          // the menu as a handle, for code without a menu object
    BOOL m_bEnableChanged;  // some handler called Enable
    BOOL m_bContinueRouting;
    UINT m_nIndexMax;

    // The element this update is for; the base records the request and updates m_hMenu items.
    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1);   // 0 clear, 1 checked, 2 indeterminate
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCSTR lpszText);

    // Lets the command go on to the next target of the route after this handler.
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Routes the update through pTarget; with no handler the element is disabled when asked to.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
};
