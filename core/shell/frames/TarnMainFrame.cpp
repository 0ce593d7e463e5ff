#include "TarnMainFrame.h"

#include <cstring>

#include "AppendedResources.h"
#include "ClCmdUI.h"
#include "ClModule.h"
#include "MdiOrderClient.h"
#include "TarnControls.h"

IMPLEMENT_DYNAMIC(CTarnMainFrame, CMDIFrameWnd)

BEGIN_MESSAGE_MAP(CTarnMainFrame, CMDIFrameWnd)
    ON_WM_CREATE()
    ON_UPDATE_COMMAND_UI(TARN_ID_INDICATOR_POSITION, OnUpdateIndicator)
    ON_UPDATE_COMMAND_UI(TARN_ID_INDICATOR_ZOOM, OnUpdateIndicator)
    ON_UPDATE_COMMAND_UI(TARN_ID_INDICATOR_UNITS, OnUpdateIndicator)
    ON_MESSAGE(TARN_WM_GET_FILL_COLOR, OnFillColorMessage)
    ON_MESSAGE(TARN_WM_GET_OUTLINE_COLOR, OnOutlineColorMessage)
END_MESSAGE_MAP()

namespace {
// Site commands share one prompt.
constexpr UINT kFirstSharedPromptId = 10096;
constexpr UINT kLastSharedPromptId = 10105;
}  // namespace

CTarnMainFrame::CTarnMainFrame()
{
    // Without the browser the window refuses to be made (OnCreate).
    if (FAILED(::CoCreateInstance(CLSID_ResourceBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IResourceBrowser,
                                  reinterpret_cast<void**>(&m_pResourceBrowser))))
        m_pResourceBrowser = nullptr;
    m_pMdiClient = new CMDIOrderClient;
}

CTarnMainFrame::~CTarnMainFrame()
{
    if (m_pResourceBrowser) m_pResourceBrowser->Release();
    if (m_hAccelTable) ::DestroyAcceleratorTable(m_hAccelTable);
    m_hAccelTable = nullptr;
    if (m_hMergedMenu) ::DestroyMenu(m_hMergedMenu);
    delete m_pMdiClient;
}

BOOL CTarnMainFrame::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    if (!CMDIFrameWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext)) return FALSE;
    AddAcceleratorsToEngine(TARN_IDR_MAINFRAME_ACCEL);
    LONG_PTR library = 0;
    UINT tableId = 0;
    if (m_pResourceBrowser && SUCCEEDED(m_pResourceBrowser->GetResourceInstance(&library)) &&
        SUCCEEDED(m_pResourceBrowser->GetAcceleratorTableID(&tableId))) {
        HINSTANCE previous = AfxGetResourceHandle();
        AfxSetResourceHandle(reinterpret_cast<HINSTANCE>(library));
        AddAcceleratorsToEngine(static_cast<int>(tableId));
        AfxSetResourceHandle(previous);
    }
    return TRUE;
}

void CTarnMainFrame::AddAcceleratorsToEngine(int resourceId)
{
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(9) /* RT_ACCELERATOR */);
    HACCEL loaded = ::LoadAcceleratorsA(module, MAKEINTRESOURCEA(resourceId));
    if (!loaded) return;
    AddAcceleratorsToEngine(loaded);
    ::DestroyAcceleratorTable(loaded);
}

void CTarnMainFrame::AddAcceleratorsToEngine(HACCEL table)
{
    HACCEL joined = AppendAccelerators(m_hAccelTable, table);
    if (!joined) return;
    if (m_hAccelTable) ::DestroyAcceleratorTable(m_hAccelTable);
    m_hAccelTable = joined;
}

HMENU CTarnMainFrame::AddMenuToEngine(HMENU menu)
{
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(TARN_IDR_MAINFRAME_MENU), MAKEINTRESOURCEA(4) /* RT_MENU */);
    HMENU merged = ::LoadMenuA(module, MAKEINTRESOURCEA(TARN_IDR_MAINFRAME_MENU));
    if (!merged) return nullptr;
    AppendMenuItems(merged, menu);
    HMENU server = nullptr;
    if (m_pResourceBrowser && SUCCEEDED(m_pResourceBrowser->GetMainFrameMenuHandle(&server)) && server) {
        AppendMenuItems(merged, server);
        ::DestroyMenu(server);
    }
    return merged;
}

int CTarnMainFrame::OnCreate(LPCREATESTRUCTA lpcs)
{
    if (!m_pResourceBrowser) return -1;
    HMENU old = ::GetMenu(m_hWnd);
    HMENU merged = AddMenuToEngine(old);
    if (!merged) return -1;
    ::SetMenu(m_hWnd, merged);
    if (old) ::DestroyMenu(old);
    if (m_hMenuDefault == old) m_hMenuDefault = merged;
    m_hMergedMenu = merged;

    if (CMDIFrameWnd::OnCreate(lpcs) == -1) return -1;
    if (!m_hWndMDIClient || !m_pMdiClient->SubclassWindow(m_hWndMDIClient)) return -1;
    if (!CreateStatusBar()) return -1;
    return 0;
}

BOOL CTarnMainFrame::CreateStatusBar()
{
    static const UINT indicators[] = {ID_SEPARATOR, TARN_ID_INDICATOR_POSITION, TARN_ID_INDICATOR_ZOOM,
                                      TARN_ID_INDICATOR_UNITS};
    return m_wndStatusBar.Create(this) &&
           m_wndStatusBar.SetIndicators(indicators, static_cast<int>(sizeof indicators / sizeof indicators[0]));
}

// Other parts write the panes' texts directly; the panes themselves stay disabled.
void CTarnMainFrame::OnUpdateIndicator(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }

BOOL CTarnMainFrame::FindServerString(UINT id, char* buffer, UINT size) const
{
    if (!m_pResourceBrowser || !buffer || size == 0) return FALSE;
    VARIANT_BOOL found = VARIANT_FALSE;
    if (FAILED(m_pResourceBrowser->FindString(id, buffer, static_cast<long>(size), &found))) return FALSE;
    return found == VARIANT_TRUE;
}

void CTarnMainFrame::GetMessageString(UINT nID, CString& rMessage) const
{
    if (nID >= kFirstSharedPromptId && nID <= kLastSharedPromptId) nID = kFirstSharedPromptId;
    CMDIFrameWnd::GetMessageString(nID, rMessage);
    if (!rMessage.IsEmpty()) return;
    char text[256] = {};
    if (!FindServerString(nID, text, 255)) return;
    if (char* newline = std::strchr(text, '\n')) *newline = '\0';
    rMessage = text;
}

LRESULT CTarnMainFrame::AskActiveView(UINT message) const
{
    CMDIChildWnd* child = MDIGetActive();
    CView* view = child ? child->GetActiveView() : nullptr;
    if (!view || !::IsWindow(view->m_hWnd)) return static_cast<LRESULT>(TARN_NO_COLOR);
    return ::SendMessageA(view->m_hWnd, message, 0, 0);
}

LRESULT CTarnMainFrame::OnGetFillColor(WPARAM, LPARAM) { return AskActiveView(TARN_WM_GET_FILL_COLOR); }

LRESULT CTarnMainFrame::OnGetOutlineColor(WPARAM, LPARAM) { return AskActiveView(TARN_WM_GET_OUTLINE_COLOR); }
