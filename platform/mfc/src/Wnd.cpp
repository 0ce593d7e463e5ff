// Windows routed through CWnd objects: handle maps, creation hook, the window procedure and the
// dispatch of window messages through message maps.
#include "ClWnd.h"
#include "ClBars.h"
#include "ClWinApp.h"
#include "ClException.h"
#include "ClModule.h"
#include "ClWinApp.h"

#include <cstdio>
#include <mutex>
#include <new>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

namespace {
// Windows of one thread: objects attached to them and temporaries made by FromHandle.
struct WindowMap {
    std::unordered_map<HWND, CWnd*> permanent;
    std::unordered_map<HWND, CWnd*> temporary;
    void DeleteTemporaries()
    {
        auto doomed = std::move(temporary);
        temporary.clear();
        for (auto& entry : doomed) {
            entry.second->m_hWnd = nullptr;
            delete entry.second;
        }
    }
    ~WindowMap() { DeleteTemporaries(); }
};
thread_local WindowMap t_windows;

// The message being handled on this thread, for Default().
struct CurrentMessage {
    HWND hWnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
thread_local CurrentMessage t_current = {nullptr, 0, 0, 0};
thread_local MSG t_currentMsg = {};

// The object whose window CreateEx is making on this thread, and the hook that attaches it.
thread_local CWnd* t_windowInit = nullptr;
thread_local HHOOK t_createHook = nullptr;

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && t_windowInit) {
        CWnd* pWnd = t_windowInit;
        t_windowInit = nullptr;   // only the first window made belongs to the object
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        pWnd->Attach(hWnd);
        const auto previous = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
        if (previous != &AfxWndProc)
            pWnd->m_pfnSuper = previous;
    }
    return ::CallNextHookEx(t_createHook, code, wParam, lParam);
}

}  // namespace

AfxCreationScope::AfxCreationScope(CWnd* pWnd)
    : m_pWnd(pWnd), m_pPreviousInit(t_windowInit), m_hPreviousHook(t_createHook)
{
    t_windowInit = pWnd;
    m_hHook = ::SetWindowsHookExA(WH_CBT, &CreationHook, nullptr, ::GetCurrentThreadId());
    t_createHook = m_hHook;
}

AfxCreationScope::~AfxCreationScope()
{
    ::UnhookWindowsHookEx(m_hHook);
    t_createHook = m_hPreviousHook;
    t_windowInit = m_pPreviousInit;
}

bool AfxCreationScope::Attached() const { return t_windowInit != m_pWnd; }

namespace {
const AFX_MSGMAP_ENTRY* FindWindowMessage(const AFX_MSGMAP* map, UINT message)
{
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr)
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nSig != AfxSig_end; ++entry)
            if (entry->nMessage == message && entry->nCode == 0 && entry->nID == 0)
                return entry;
    return nullptr;
}

CPoint PointOf(LPARAM lParam) { return CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))); }
}

// ---------------------------------------------------------------------------------------------

CWnd::CWnd() : m_hWnd(nullptr), m_pfnSuper(nullptr) {}

CWnd::~CWnd()
{
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
    if (m_hWnd)
        Detach();
}

HWND CWnd::GetSafeHwnd() const { return this ? m_hWnd : nullptr; }

CWnd* PASCAL CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    if (CWnd* permanent = FromHandlePermanent(hWnd))
        return permanent;
    auto& temporary = t_windows.temporary;
    auto found = temporary.find(hWnd);
    if (found != temporary.end())
        return found->second;
    CWnd* wrapper = new CWnd;
    wrapper->m_hWnd = hWnd;
    temporary.emplace(hWnd, wrapper);
    return wrapper;
}

CWnd* PASCAL CWnd::FromHandlePermanent(HWND hWnd)
{
    auto found = t_windows.permanent.find(hWnd);
    return found != t_windows.permanent.end() ? found->second : nullptr;
}

void PASCAL CWnd::DeleteTempMap() { t_windows.DeleteTemporaries(); }

BOOL CWnd::Attach(HWND hWndNew)
{
    if (!hWndNew || m_hWnd)
        return FALSE;
    m_hWnd = hWndNew;
    t_windows.permanent[hWndNew] = this;
    // A temporary object made before is no longer the window's object.
    auto found = t_windows.temporary.find(hWndNew);
    if (found != t_windows.temporary.end()) {
        found->second->m_hWnd = nullptr;
        delete found->second;
        t_windows.temporary.erase(found);
    }
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd) {
        auto found = t_windows.permanent.find(hWnd);
        if (found != t_windows.permanent.end() && found->second == this)
            t_windows.permanent.erase(found);
    }
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!hWnd || !::IsWindow(hWnd) || FromHandlePermanent(hWnd) || !Attach(hWnd))
        return FALSE;
    const auto previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (previous != &AfxWndProc)
        m_pfnSuper = previous;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    return pParent && SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow()
{
    if (m_hWnd && m_pfnSuper)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTA& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    if (m_hWnd)
        return FALSE;
    CREATESTRUCTA cs = {};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = dwStyle;
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    bool neverAttached;
    HWND hWnd;
    {
        AfxCreationScope scope(this);
        hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                                 cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
        neverAttached = !scope.Attached();
    }
    if (!hWnd) {
        // The window may have been attached and destroyed already (a WM_CREATE that failed).
        if (neverAttached)
            PostNcDestroy();
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, pParentWnd ? pParentWnd->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, void* pContext)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID, pContext);
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

void CWnd::PostNcDestroy() {}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(t_current.message, t_current.wParam, t_current.lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM)
{
    const UINT nID = LOWORD(wParam);
    const int nCode = HIWORD(wParam);
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (!header)
        return FALSE;
    AFX_NOTIFY notify = {pResult, header};
    const int nCode = static_cast<int>(MAKELONG(static_cast<WORD>(header->code), WM_NOTIFY));
    return OnCmdMsg(static_cast<UINT>(header->idFrom), nCode, &notify, nullptr);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

namespace {
// The control a parent's message is about, when the message comes from a control.
HWND ControlOf(HWND parent, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
        return lParam ? reinterpret_cast<NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        return item && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        return item && item->CtlType != ODT_MENU ? ::GetDlgItem(parent, static_cast<int>(wParam)) : nullptr;
    }
    case WM_COMPAREITEM:
        return lParam ? reinterpret_cast<COMPAREITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_DELETEITEM:
        return lParam ? reinterpret_cast<DELETEITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_CTLCOLORBTN: case WM_CTLCOLORDLG: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
    case WM_HSCROLL: case WM_VSCROLL:
        return reinterpret_cast<HWND>(lParam);
    default:
        return nullptr;
    }
}
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_COMMAND && message != WM_NOTIFY)
        return FALSE;
    const UINT code = message == WM_COMMAND ? HIWORD(wParam) : static_cast<WORD>(reinterpret_cast<NMHDR*>(lParam)->code);
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nSig != AfxSig_end; ++entry) {
            if (entry->nMessage != message + WM_REFLECT_BASE || entry->nCode != code)
                continue;
            LRESULT result = 0;
            if (entry->nSig == AfxSig_vNMHDRpl)
                (this->*reinterpret_cast<void (CCmdTarget::*)(NMHDR*, LRESULT*)>(entry->pfn))(
                    reinterpret_cast<NMHDR*>(lParam), &result);
            else
                (this->*entry->pfn)();
            if (pResult)
                *pResult = result;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT result = 0;
    // A control routed through an object of its own may handle what it tells its parent.
    if (HWND control = ControlOf(m_hWnd, message, wParam, lParam)) {
        CWnd* child = FromHandlePermanent(control);
        if (child && child != this && child->OnChildNotify(message, wParam, lParam, &result)) {
            *pResult = result;
            return TRUE;
        }
    }
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 1;
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        if (!OnNotify(wParam, lParam, &result))
            return FALSE;
        *pResult = result;
        return TRUE;
    }
    const AFX_MSGMAP_ENTRY* entry = FindWindowMessage(GetMessageMap(), message);
    if (!entry)
        return FALSE;

    union {
        AFX_PMSG pfn;
        void (CCmdTarget::*pfn_vv)();
        LRESULT (CCmdTarget::*pfn_lwl)(WPARAM, LPARAM);
        int (CCmdTarget::*pfn_is)(LPCREATESTRUCTA);
        void (CCmdTarget::*pfn_vwii)(UINT, int, int);
        void (CCmdTarget::*pfn_vwp)(UINT, CPoint);
        void (CCmdTarget::*pfn_vwww)(UINT, UINT, UINT);
        void (CCmdTarget::*pfn_vwt)(UINT_PTR);
        BOOL (CCmdTarget::*pfn_bD)(CDC*);
        void (CCmdTarget::*pfn_vW)(CWnd*);
        void (CCmdTarget::*pfn_vwwW)(UINT, UINT, CScrollBar*);
        BOOL (CCmdTarget::*pfn_bWww)(CWnd*, UINT, UINT);
        void (CCmdTarget::*pfn_vWp)(CWnd*, CPoint);
        BOOL (CCmdTarget::*pfn_bwsp)(UINT, short, CPoint);
        void (CCmdTarget::*pfn_vbw)(BOOL, UINT);
        void (CCmdTarget::*pfn_vwWb)(UINT, CWnd*, BOOL);
    } mmf;
    mmf.pfn = entry->pfn;

    switch (entry->nSig) {
    case AfxSig_vv: (this->*mmf.pfn_vv)(); break;
    case AfxSig_lwl: result = (this->*mmf.pfn_lwl)(wParam, lParam); break;
    case AfxSig_is: result = (this->*mmf.pfn_is)(reinterpret_cast<LPCREATESTRUCTA>(lParam)); break;
    case AfxSig_vwii:
        (this->*mmf.pfn_vwii)(static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        break;
    case AfxSig_vwp: (this->*mmf.pfn_vwp)(static_cast<UINT>(wParam), PointOf(lParam)); break;
    case AfxSig_vwww:
        (this->*mmf.pfn_vwww)(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case AfxSig_vwt: (this->*mmf.pfn_vwt)(static_cast<UINT_PTR>(wParam)); break;
    case AfxSig_bD: result = (this->*mmf.pfn_bD)(CDC::FromHandle(reinterpret_cast<HDC>(wParam))); break;
    case AfxSig_vW: (this->*mmf.pfn_vW)(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))); break;
    case AfxSig_vwwW:
        (this->*mmf.pfn_vwwW)(LOWORD(wParam), static_cast<short>(HIWORD(wParam)),
                              static_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(lParam))));
        break;
    case AfxSig_bWww:
        result = (this->*mmf.pfn_bWww)(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lParam), HIWORD(lParam));
        break;
    case AfxSig_vWp: (this->*mmf.pfn_vWp)(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), PointOf(lParam)); break;
    case AfxSig_bwsp:
        result = (this->*mmf.pfn_bwsp)(LOWORD(wParam), static_cast<short>(HIWORD(wParam)), PointOf(lParam));
        break;
    case AfxSig_vbw: (this->*mmf.pfn_vbw)(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)); break;
    case AfxSig_vwWb:
        (this->*mmf.pfn_vwWb)(LOWORD(wParam), CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), HIWORD(wParam) != 0);
        break;
    default:
        return FALSE;
    }
    *pResult = result;
    return TRUE;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);

    const CurrentMessage saved = t_current;
    t_current = {hWnd, message, wParam, lParam};
    LRESULT result = 0;
    try {
        result = pWnd->WindowProc(message, wParam, lParam);
    } catch (CException* e) {
        // A handler that fails ends its message; creation fails with it.
        result = message == WM_CREATE ? -1 : 0;
        MSG msg = {hWnd, message, wParam, lParam, 0, {0, 0}};
        if (CWinApp* app = AfxGetApp())
            app->ProcessWndProcException(e, &msg);
        else
            e->ReportError();
        e->Delete();
    } catch (const std::bad_alloc&) {
        // No exception may leave through the system's window code.
        result = message == WM_CREATE ? -1 : 0;
        CMemoryException memory;
        memory.m_bAutoDelete = FALSE;
        MSG msg = {hWnd, message, wParam, lParam, 0, {0, 0}};
        if (CWinApp* app = AfxGetApp())
            app->ProcessWndProcException(&memory, &msg);
        else
            memory.ReportError();
    }
    t_current = saved;

    if (message == WM_NCDESTROY && pWnd->m_hWnd == hWnd) {
        // The window is gone: give back its procedure and let the object go.
        if (pWnd->m_pfnSuper &&
            reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC)) == &AfxWndProc)
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pWnd->m_pfnSuper));
        pWnd->m_pfnSuper = nullptr;
        pWnd->Detach();
        pWnd->PostNcDestroy();
    }
    return result;
}

LPCSTR AFXAPI AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    static std::mutex lock;
    static std::set<std::string> names;
    HINSTANCE instance = AfxGetInstanceHandle();
    char name[96];
    snprintf(name, sizeof name, "Afx:%p:%x:%p:%p:%p", static_cast<void*>(instance), nClassStyle,
             static_cast<void*>(hCursor), static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
    std::lock_guard<std::mutex> guard(lock);
    auto found = names.find(name);
    if (found != names.end())
        return found->c_str();
    WNDCLASSA wc = {};
    if (!::GetClassInfoA(instance, name, &wc)) {
        wc.style = nClassStyle;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = instance;
        wc.hCursor = hCursor;
        wc.hbrBackground = hbrBackground;
        wc.hIcon = hIcon;
        wc.lpszClassName = name;
        if (!::RegisterClassA(&wc))
            AfxThrowResourceException();
    }
    return names.insert(name).first->c_str();
}

CWnd* AFXAPI AfxGetMainWnd()
{
    CWinApp* app = AfxGetApp();
    return app ? app->m_pMainWnd : nullptr;
}

// ---------------------------------------------------------------------------------------------

CWnd* CWnd::GetTopLevelParent() const
{
    HWND top = m_hWnd;
    while (top && (::GetWindowLongA(top, GWL_STYLE) & WS_CHILD))
        top = ::GetParent(top);
    return FromHandle(top);
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    const DWORD style = GetStyle();
    const DWORD changed = (style & ~dwRemove) | dwAdd;
    if (style == changed)
        return FALSE;
    ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(changed));
    if (nFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    const DWORD style = GetExStyle();
    const DWORD changed = (style & ~dwRemove) | dwAdd;
    if (style == changed)
        return FALSE;
    ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, static_cast<LONG>(changed));
    if (nFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

void CWnd::ClientToScreen(LPRECT lpRect) const
{
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

void CWnd::ScreenToClient(LPRECT lpRect) const
{
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    RECT mine, area;
    ::GetWindowRect(m_hWnd, &mine);
    HWND around = pAlternateOwner ? pAlternateOwner->m_hWnd : ::GetParent(m_hWnd);
    if (around)
        ::GetWindowRect(around, &area);
    else
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const int width = mine.right - mine.left, height = mine.bottom - mine.top;
    POINT topLeft = {(area.left + area.right - width) / 2, (area.top + area.bottom - height) / 2};
    if (GetStyle() & WS_CHILD)
        ::ScreenToClient(::GetParent(m_hWnd), &topLeft);
    ::SetWindowPos(m_hWnd, nullptr, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CWnd::ReleaseDC(CDC* pDC)
{
    return pDC ? ::ReleaseDC(m_hWnd, pDC->m_hDC) : 0;
}

void CWnd::GetWindowText(CString& rString) const
{
    const int length = ::GetWindowTextLengthA(m_hWnd);
    char* buffer = rString.GetBuffer(length + 1);
    ::GetWindowTextA(m_hWnd, buffer, length + 1);
    rString.ReleaseBuffer();
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    rString.Empty();
    HWND item = ::GetDlgItem(m_hWnd, nID);
    if (!item)
        return 0;
    const int length = ::GetWindowTextLengthA(item);
    char* buffer = rString.GetBuffer(length + 1);
    ::GetWindowTextA(item, buffer, length + 1);
    rString.ReleaseBuffer();
    return rString.GetLength();
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm)
{
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        CWnd* permanent = FromHandlePermanent(child);
        if (!bOnlyPerm)
            ::SendMessageA(child, message, wParam, lParam);
        else if (permanent)
            permanent->WindowProc(message, wParam, lParam);
        if (bDeep && ::GetWindow(child, GW_CHILD)) {
            CWnd holder;
            holder.m_hWnd = child;
            holder.SendMessageToDescendants(message, wParam, lParam, bDeep, bOnlyPerm);
            holder.m_hWnd = nullptr;
        }
    }
}

int CWnd::MessageBox(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType)
{
    return ::MessageBoxA(m_hWnd, lpszText, lpszCaption ? lpszCaption : AfxGetAppName(), nType);
}

int CWnd::OnCreate(LPCREATESTRUCTA) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }

// ---------------------------------------------------------------------------------------------

CPaintDC::CPaintDC(CWnd* pWnd) : m_ps(), m_hWnd(pWnd ? pWnd->m_hWnd : nullptr)
{
    if (!m_hWnd || !Attach(::BeginPaint(m_hWnd, &m_ps)))
        AfxThrowResourceException();
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
    Detach();
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr)
{
    if (!Attach(::GetDC(m_hWnd)))
        AfxThrowResourceException();
}

CClientDC::~CClientDC() { ::ReleaseDC(m_hWnd, Detach()); }

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr)
{
    if (!Attach(::GetWindowDC(m_hWnd)))
        AfxThrowResourceException();
}

CWindowDC::~CWindowDC() { ::ReleaseDC(m_hWnd, Detach()); }

const MSG* AfxGetCurrentMessage()
{
    if (t_current.hWnd) {
        t_currentMsg = MSG{t_current.hWnd, t_current.message, t_current.wParam, t_current.lParam, ::GetMessageTime(), {0, 0}};
        const DWORD pos = ::GetMessagePos();
        t_currentMsg.pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
        return &t_currentMsg;
    }
    CWinApp* app = AfxGetApp();
    return app ? &app->m_msgCur : &t_currentMsg;
}
