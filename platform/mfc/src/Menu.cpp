#include "ClMenu.h"
#include "ClModule.h"
#include "ClWnd.h"

#include <unordered_map>

IMPLEMENT_DYNCREATE(CMenu, CObject)

namespace {
// Menus of one thread: objects attached to handles, and temporaries made by FromHandle.
struct MenuMap {
    std::unordered_map<HMENU, CMenu*> permanent;
    std::unordered_map<HMENU, CMenu*> temporary;
    void DeleteTemporaries()
    {
        auto doomed = std::move(temporary);
        temporary.clear();
        for (auto& entry : doomed) {
            entry.second->m_hMenu = nullptr;
            delete entry.second;
        }
    }
    ~MenuMap() { DeleteTemporaries(); }
};
thread_local MenuMap t_menus;
}

CMenu::CMenu() : m_hMenu(nullptr) {}

CMenu::~CMenu() { DestroyMenu(); }

HMENU CMenu::GetSafeHmenu() const { return this ? m_hMenu : nullptr; }

CMenu* PASCAL CMenu::FromHandle(HMENU hMenu)
{
    if (!hMenu)
        return nullptr;
    auto found = t_menus.permanent.find(hMenu);
    if (found != t_menus.permanent.end())
        return found->second;
    found = t_menus.temporary.find(hMenu);
    if (found != t_menus.temporary.end())
        return found->second;
    CMenu* wrapper = new CMenu;
    wrapper->m_hMenu = hMenu;
    t_menus.temporary.emplace(hMenu, wrapper);
    return wrapper;
}

void PASCAL CMenu::DeleteTempMap() { t_menus.DeleteTemporaries(); }

BOOL CMenu::Attach(HMENU hMenu)
{
    if (!hMenu)
        return FALSE;
    DestroyMenu();
    m_hMenu = hMenu;
    t_menus.permanent[hMenu] = this;
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU h = m_hMenu;
    if (h) {
        auto found = t_menus.permanent.find(h);
        if (found != t_menus.permanent.end() && found->second == this)
            t_menus.permanent.erase(found);
    }
    m_hMenu = nullptr;
    return h;
}

BOOL CMenu::DestroyMenu()
{
    if (!m_hMenu)
        return FALSE;
    return ::DestroyMenu(Detach());
}

BOOL CMenu::LoadMenu(LPCSTR lpszResourceName)
{
    HINSTANCE module = AfxFindResourceHandle(lpszResourceName, MAKEINTRESOURCEA(4) /* RT_MENU */);
    return Attach(::LoadMenuA(module, lpszResourceName));
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const
{
    const int length = ::GetMenuStringA(m_hMenu, nIDItem, nullptr, 0, nFlags);
    if (length <= 0) {
        rString.Empty();
        return 0;
    }
    char* buffer = rString.GetBuffer(length + 1);
    ::GetMenuStringA(m_hMenu, nIDItem, buffer, length + 1, nFlags);
    rString.ReleaseBuffer();
    return rString.GetLength();
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect)
{
    return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd ? pWnd->m_hWnd : nullptr, lpRect);
}
