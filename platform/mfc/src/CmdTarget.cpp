#include "ClCmdTarget.h"
#include "ClException.h"
#include "ClModule.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

// The root maps: no entries, no base.
const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }
const AFX_MSGMAP* PASCAL CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_INTERFACEMAP* CCmdTarget::GetInterfaceMap() const { return GetThisInterfaceMap(); }
const AFX_INTERFACEMAP* PASCAL CCmdTarget::GetThisInterfaceMap()
{
    static const AFX_INTERFACEMAP_ENTRY entries[] = {{nullptr, nullptr}};
    static const AFX_INTERFACEMAP map = {nullptr, &entries[0]};
    return &map;
}

CCmdTarget::CCmdTarget()
    : m_dwRef(1), m_pOuterUnknown(nullptr), m_pModuleState(AfxGetModuleState()), m_bAutomation(FALSE)
{
}

CCmdTarget::~CCmdTarget() = default;

namespace {
BOOL DispatchCmdMsg(CCmdTarget* pTarget, UINT nID, int nCode, AFX_PMSG pfn, void* pExtra, UINT_PTR nSig)
{
    switch (nSig) {
    case AfxSig_vv:
        (pTarget->*pfn)();
        return TRUE;
    case AfxSig_bv:
        return (pTarget->*reinterpret_cast<BOOL (CCmdTarget::*)()>(pfn))();
    case AfxSig_vw:
        (pTarget->*reinterpret_cast<void (CCmdTarget::*)(UINT)>(pfn))(nID);
        return TRUE;
    case AfxSig_bw:
        return (pTarget->*reinterpret_cast<BOOL (CCmdTarget::*)(UINT)>(pfn))(nID);
    case AfxSig_cmdui:
    case AfxSig_cmduiw: {
        auto* pCmdUI = static_cast<CCmdUI*>(pExtra);
        if (!pCmdUI)
            return FALSE;
        pCmdUI->m_bContinueRouting = FALSE;
        if (nSig == AfxSig_cmdui)
            (pTarget->*reinterpret_cast<void (CCmdTarget::*)(CCmdUI*)>(pfn))(pCmdUI);
        else
            (pTarget->*reinterpret_cast<void (CCmdTarget::*)(CCmdUI*, UINT)>(pfn))(pCmdUI, nID);
        return !pCmdUI->m_bContinueRouting;
    }
    case AfxSig_vNMHDRpl: {
        auto* notify = static_cast<AFX_NOTIFY*>(pExtra);
        if (!notify)
            return FALSE;
        (pTarget->*reinterpret_cast<void (CCmdTarget::*)(NMHDR*, LRESULT*)>(pfn))(notify->pNMHDR, notify->pResult);
        return TRUE;
    }
    default:
        (void)nCode;
        return FALSE;
    }
}
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // Control notifications carry their message in the high word of the code.
    UINT nMsg = 0;
    UINT code = static_cast<UINT>(nCode);
    if (code != CN_UPDATE_COMMAND_UI) {
        nMsg = HIWORD(code);
        code = LOWORD(code);
    }
    if (nMsg == 0)
        nMsg = WM_COMMAND;

    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nSig != AfxSig_end; ++entry) {
            if (entry->nMessage != nMsg || entry->nCode != code || nID < entry->nID || nID > entry->nLastID)
                continue;
            if (pHandlerInfo) {
                pHandlerInfo->pTarget = this;
                pHandlerInfo->pmf = entry->pfn;
                return TRUE;
            }
            return DispatchCmdMsg(this, nID, nCode, entry->pfn, pExtra, entry->nSig);
        }
    }
    return FALSE;
}

void CCmdTarget::EnableAutomation() { m_bAutomation = TRUE; }

LPDISPATCH CCmdTarget::GetIDispatch(BOOL bAddRef)
{
    if (!m_bAutomation)
        return nullptr;
    if (bAddRef)
        ExternalAddRef();
    return &m_xDispatch;
}

CCmdTarget* PASCAL CCmdTarget::FromIDispatch(LPDISPATCH lpDispatch)
{
    static CCmdTarget::XDispatch probe;
    if (!lpDispatch || *reinterpret_cast<void**>(lpDispatch) != *reinterpret_cast<void**>(&probe))
        return nullptr;
    return reinterpret_cast<CCmdTarget*>(reinterpret_cast<BYTE*>(lpDispatch) - AFX_PART_OFFSET(CCmdTarget, m_xDispatch));
}

LPUNKNOWN CCmdTarget::GetInterface(const void* iid)
{
    const IID& wanted = *static_cast<const IID*>(iid);
    LPUNKNOWN first = nullptr;
    for (const AFX_INTERFACEMAP* map = GetInterfaceMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_INTERFACEMAP_ENTRY* entry = map->pEntry; entry->piid; ++entry) {
            if (!first)
                first = entry->pfnGetPart(this);
            if (IsEqualIID(*entry->piid, wanted))
                return entry->pfnGetPart(this);
        }
    }
    if (m_bAutomation && IsEqualIID(wanted, IID_IDispatch))
        return &m_xDispatch;
    if (IsEqualIID(wanted, IID_IUnknown))
        return first ? first : (m_bAutomation ? &m_xDispatch : nullptr);
    return nullptr;
}

DWORD CCmdTarget::InternalQueryInterface(const void* iid, LPVOID* ppvObj)
{
    if (!ppvObj)
        return static_cast<DWORD>(E_POINTER);
    LPUNKNOWN part = GetInterface(iid);
    *ppvObj = part;
    if (!part)
        return static_cast<DWORD>(E_NOINTERFACE);
    part->AddRef();
    return S_OK;
}

DWORD CCmdTarget::InternalAddRef() { return static_cast<DWORD>(InterlockedIncrement(&m_dwRef)); }

DWORD CCmdTarget::InternalRelease()
{
    const LONG count = InterlockedDecrement(&m_dwRef);
    if (count == 0)
        OnFinalRelease();
    return static_cast<DWORD>(count);
}

DWORD CCmdTarget::ExternalQueryInterface(const void* iid, LPVOID* ppvObj)
{
    if (m_pOuterUnknown)
        return static_cast<DWORD>(m_pOuterUnknown->QueryInterface(*static_cast<const IID*>(iid), ppvObj));
    return InternalQueryInterface(iid, ppvObj);
}

DWORD CCmdTarget::ExternalAddRef()
{
    return m_pOuterUnknown ? m_pOuterUnknown->AddRef() : InternalAddRef();
}

DWORD CCmdTarget::ExternalRelease()
{
    return m_pOuterUnknown ? m_pOuterUnknown->Release() : InternalRelease();
}

void CCmdTarget::OnFinalRelease() { delete this; }

namespace {
int g_waitCount = 0;
HCURSOR g_cursorBeforeWait = nullptr;
}

void AFXAPI AfxDoWaitCursor(int nCode)
{
    if (nCode > 0) {
        if (g_waitCount++ == 0)
            g_cursorBeforeWait = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    } else if (nCode < 0) {
        if (g_waitCount > 0 && --g_waitCount == 0)
            SetCursor(g_cursorBeforeWait ? g_cursorBeforeWait : LoadCursor(nullptr, IDC_ARROW));
    } else if (g_waitCount > 0) {
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
    }
}

void CCmdTarget::BeginWaitCursor() { AfxDoWaitCursor(1); }
void CCmdTarget::EndWaitCursor() { AfxDoWaitCursor(-1); }
void CCmdTarget::RestoreWaitCursor() { AfxDoWaitCursor(0); }
