#include "TarnSite.h"
#include "TarnDoc.h"
#include "ViewUpdateHint.h"

#include <algorithm>
#include <cstring>

#include "ClModule.h"
#include "SiteRecords.h"
#include "TarnBackground.h"
#include "UndoData.h"
#include "UndoManager.h"

IMPLEMENT_SERIAL(CTarnSite, CCmdTarget, VERSIONABLE_SCHEMA | 1)

int CTarnSite::m_bIsTemplate = 0;

// {DED41F90-7B19-11D2-A3B5-4854E827BD45}
static const IID IID_ITarnSiteDispatch = {0xded41f90, 0x7b19, 0x11d2, {0xa3, 0xb5, 0x48, 0x54, 0xe8, 0x27, 0xbd, 0x45}};

BEGIN_INTERFACE_MAP(CTarnSite, CCmdTarget)
    INTERFACE_PART(CTarnSite, IID_ITarnSiteEvents, SiteEvents)
    INTERFACE_PART(CTarnSite, IID_IControlOwnerHooks, OwnerHooks)
    INTERFACE_PART(CTarnSite, IID_IControlSerializer, Serializer)
END_INTERFACE_MAP()

CTarnSite::CTarnSite() : m_undoManager(new CUndoManager) { EnableAutomation(); }

CTarnSite::~CTarnSite()
{
    DeleteAllControlsWOUndo();
    ClearSerializationArray();
    delete m_undoManager;
    for (CachedFactory& entry : m_factories)
        entry.factory->Release();
    delete m_background;
    delete m_startData;
    delete m_finishData;
    delete m_properties;
}

ULONG CTarnSite::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_siteRefs)); }

ULONG CTarnSite::Release()
{
    const LONG left = InterlockedDecrement(&m_siteRefs);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

CTarnSiteProperties* CTarnSite::CreateSiteProperties() { return new CTarnSiteProperties; }
CSiteStartData* CTarnSite::CreateStartData() { return new CSiteStartData; }
CSiteFinishData* CTarnSite::CreateFinishData() { return new CSiteFinishData; }
CTarnBackground* CTarnSite::CreateBackground() { return new CTarnBackground; }

void CTarnSite::InitNew()
{
    delete m_properties;
    m_properties = CreateSiteProperties();
    delete m_startData;
    m_startData = CreateStartData();
    delete m_finishData;
    m_finishData = CreateFinishData();
    m_properties->InitNew();
    m_startData->InitNew();
    m_finishData->InitNew();
    delete m_background;
    m_background = CreateBackground();
    m_background->InitializeBkParams();
    m_background->InitNew();
    m_background->SetMaster(this, 0);
}

void CTarnSite::SetMaster(CTarnDoc* document, int id)
{
    m_master = document;
    if (id != -1)
        SetID(id);
    if (m_background)
        m_background->SetMaster(this, 0);
}

void CTarnSite::SetID(int id)
{
    if (!m_properties)
        m_properties = CreateSiteProperties();
    m_properties->m_siteId = id;
}

int CTarnSite::GetID() const { return m_properties ? m_properties->m_siteId : -1; }

// ---- control list

IBaseControl* CTarnSite::GetControlAt(int index) const
{
    return index >= 0 && index < GetControlCount() ? m_controls[static_cast<size_t>(index)].control : nullptr;
}

int CTarnSite::GetControlPosition(IBaseControl* control) const
{
    for (size_t i = 0; i < m_controls.size(); ++i) {
        if (m_controls[i].control == control)
            return static_cast<int>(i);
    }
    return -1;
}

void CTarnSite::InsertControlWOUndo(IBaseControl* control, long position)
{
    if (!control)
        return;
    control->AddRef();
    HeldControl held{control, 0};
    BindConnectionPoint(control, &held.cookie);
    control->put_Owner(reinterpret_cast<IUnknown*>(GetIOwnerHooks()));
    if (position < 0 || position >= GetControlCount())
        m_controls.push_back(held);
    else
        m_controls.insert(m_controls.begin() + position, held);
}

void CTarnSite::DeleteControlWOUndo(IBaseControl* control)
{
    const int at = GetControlPosition(control);
    if (at < 0)
        return;
    HeldControl held = m_controls[static_cast<size_t>(at)];
    m_controls.erase(m_controls.begin() + at);
    if (held.cookie)
        UnbindConnectionPoint(held.control, held.cookie);
    held.control->put_Owner(nullptr);
    held.control->Release();
}

void CTarnSite::DeleteAllControlsWOUndo()
{
    while (!m_controls.empty())
        DeleteControlWOUndo(m_controls.back().control);
}

int CTarnSite::GetWritableControlsNumber()
{
    int count = 0;
    for (const HeldControl& held : m_controls) {
        long storable = 0;
        if (SUCCEEDED(held.control->get_Storable(&storable)) && storable)
            ++count;
    }
    return count;
}

void CTarnSite::SetFlag_SaveForViewer(int on)
{
    for (const HeldControl& held : m_controls)
        held.control->put_SaveForViewer(on);
    if (m_background && m_background->GetParams()) {
        if (IBaseControl* fill = m_background->GetParams()->m_fillControl)
            fill->put_SaveForViewer(on);
        if (IBaseControl* image = m_background->GetParams()->m_imageControl)
            image->put_SaveForViewer(on);
    }
}

namespace {
// The share of the sheet's size added around it, in percent.
constexpr int kExtraSpacePercent = 100;
constexpr double kFarAway = 1000000000.0;
}  // namespace

CRectF CTarnSite::GetExtraSpace()
{
    const CRectF sheet = m_background ? m_background->GetBoundingRect(0) : CRectF(0, 0, 0, 0);
    const double share = kExtraSpacePercent / 100;
    return CRectF(sheet.Width() * share, sheet.Height() * share, sheet.Width() * share, sheet.Height() * share);
}

CRectF CTarnSite::GetTotalArea(int withExtra, int visibleOnly, int)
{
    if (!m_background)
        return CRectF(0, 0, 0, 0);
    CRectF area = m_background->GetBoundingRect(visibleOnly && !withExtra ? 1 : 0);
    if (withExtra) {
        const CRectF extra = GetExtraSpace();
        area.left -= extra.left;
        area.top -= extra.top;
        area.right += extra.right;
        area.bottom += extra.bottom;
    }
    return area;
}

double CTarnSite::GetExtremeSitePoint(unsigned direction, int visibleOnly, int withControls)
{
    if (direction < 37 || direction > 40)
        return kFarAway;
    const bool lowest = direction == 37 || direction == 38;
    double extreme = lowest ? kFarAway : -kFarAway;
    auto take = [&](const tagRectF& r) {
        const double value = direction == 37 ? r.left : direction == 38 ? r.top : direction == 39 ? r.right : r.bottom;
        extreme = lowest ? std::min(extreme, value) : std::max(extreme, value);
    };
    if (withControls) {
        for (const HeldControl& held : m_controls) {
            tagRectF bounds = {};
            if (SUCCEEDED(held.control->get_BoundingRect(&bounds)))
                take(bounds);
        }
    }
    take(GetTotalArea(0, visibleOnly, 0));
    return extreme;
}

int CTarnSite::GetContourLines(SegmentDesc*& out, int withCentreLines)
{
    out = nullptr;
    return m_background ? m_background->GetContourLines(out, withCentreLines) : 0;
}

BOOL CTarnSite::BindConnectionPoint(IUnknown* control, DWORD* cookie)
{
    if (cookie)
        *cookie = 0;
    if (!control)
        return FALSE;
    IConnectionPointContainer* container = nullptr;
    if (FAILED(control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))))
        return FALSE;
    IConnectionPoint* point = nullptr;
    HRESULT hr = container->FindConnectionPoint(IID_ITarnSiteEvents, &point);
    container->Release();
    if (FAILED(hr))
        return FALSE;
    DWORD got = 0;
    hr = point->Advise(reinterpret_cast<IUnknown*>(GetISiteEvents()), &got);
    point->Release();
    if (cookie && SUCCEEDED(hr))
        *cookie = got;
    return SUCCEEDED(hr);
}

BOOL CTarnSite::UnbindConnectionPoint(IUnknown* control, DWORD cookie)
{
    if (!control || !cookie)
        return FALSE;
    IConnectionPointContainer* container = nullptr;
    if (FAILED(control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))))
        return FALSE;
    IConnectionPoint* point = nullptr;
    HRESULT hr = container->FindConnectionPoint(IID_ITarnSiteEvents, &point);
    container->Release();
    if (FAILED(hr))
        return FALSE;
    hr = point->Unadvise(cookie);
    point->Release();
    return SUCCEEDED(hr);
}

// ---- host interfaces

#define SITE_PART_IUNKNOWN(Part)                                                                   \
    STDMETHODIMP_(ULONG) CTarnSite::X##Part::AddRef()                                              \
    {                                                                                              \
        METHOD_PROLOGUE(CTarnSite, Part)                                                           \
        return pThis->ExternalAddRef();                                                            \
    }                                                                                              \
    STDMETHODIMP_(ULONG) CTarnSite::X##Part::Release()                                             \
    {                                                                                              \
        METHOD_PROLOGUE(CTarnSite, Part)                                                           \
        return pThis->ExternalRelease();                                                           \
    }                                                                                              \
    STDMETHODIMP CTarnSite::X##Part::QueryInterface(REFIID iid, LPVOID* ppv)                       \
    {                                                                                              \
        METHOD_PROLOGUE(CTarnSite, Part)                                                           \
        return static_cast<HRESULT>(pThis->ExternalQueryInterface(&iid, ppv));                     \
    }

SITE_PART_IUNKNOWN(SiteEvents)
SITE_PART_IUNKNOWN(OwnerHooks)
SITE_PART_IUNKNOWN(Serializer)

void CTarnSite::ClearUndoStacks()
{
    m_undoManager->ClearUndoStack();
    m_undoManager->ClearRedoStack();
}

void CTarnSite::AddUndoItem(CUndoData* record)
{
    if (!record)
        return;
    if (m_controlUndoMode)
        m_controlUndoRecorded = 1;
    m_undoManager->AddItem(record);
}

BOOL CTarnSite::IsModified() { return !m_undoManager->HasOriginalState(); }

void CTarnSite::AfterSave() { m_undoManager->SetOriginalState(); }

STDMETHODIMP CTarnSite::XSiteEvents::AddUndo(tagUndoData* data)
{
    METHOD_PROLOGUE(CTarnSite, SiteEvents)
    if (!data)
        return S_OK;
    ++pThis->m_controlUndoNesting;
    // The control keeps what it passed; the site keeps its own copy.
    pThis->AddUndoItem(new CUndoData(data));
    --pThis->m_controlUndoNesting;
    return S_OK;
}

STDMETHODIMP CTarnSite::XSiteEvents::SetUndoMode(long on)
{
    METHOD_PROLOGUE(CTarnSite, SiteEvents)
    if (on) {
        pThis->m_controlUndoRecorded = 0;
    } else if (pThis->m_controlUndoRecorded) {
        pThis->m_undoManager->ClearRedoStack();
    }
    pThis->m_controlUndoMode = on ? 1 : 0;
    return S_OK;
}

STDMETHODIMP CTarnSite::XSiteEvents::Invalidate(tagRectF* rect, int all, int flag)
{
    METHOD_PROLOGUE(CTarnSite, SiteEvents)
    const CRectF area = rect ? CRectF(*rect) : CRectF(0.0, 0.0, 0.0, 0.0);
    pThis->Invalidate(rect ? &area : nullptr, all, flag);
    return S_OK;
}

void CTarnSite::UpdateDocument(CViewUpdateHint& hint)
{
    if (m_master) m_master->UpdateAllViews(nullptr, GetID(), &hint);
}

void CTarnSite::Invalidate(const CRectF* rect, int all, int flag)
{
    // Everything, or nothing said: the views redraw all of the site. (A site never validates:
    // kind 1 would tell the views to validate.)
    if (all || !rect) {
        CViewUpdateHint hint(CViewUpdateHint::InvalidateAll, flag);
        UpdateDocument(hint);
        return;
    }
    CViewUpdateHint hint(CViewUpdateHint::InvalidateDocRect, *rect, flag);
    UpdateDocument(hint);
}

STDMETHODIMP CTarnSite::XSiteEvents::SelectionChanged(IUnknown*)
{
    METHOD_PROLOGUE(CTarnSite, SiteEvents)
    ++pThis->m_selectionChanges;
    return S_OK;
}

STDMETHODIMP CTarnSite::XOwnerHooks::Customize_GetText(IUnknown*, LPCWSTR, BSTR*) { return E_NOTIMPL; }
STDMETHODIMP CTarnSite::XOwnerHooks::Customize_GetObjectMenu(IUnknown*, int, BYTE*) { return E_NOTIMPL; }
namespace {

// The only control kind whose menus and dialogs a site customises: text on a page.
constexpr long kCustomisedTypeId = 201;
constexpr UINT kTextPopupMenu = 12260;

bool IsCustomised(IUnknown* control)
{
    IBaseControl* base = nullptr;
    if (!control || FAILED(control->QueryInterface(IID_IBaseControl, reinterpret_cast<void**>(&base))) || !base)
        return false;
    long typeId = 0;
    const HRESULT hr = base->get_TypeID(&typeId);
    base->Release();
    return SUCCEEDED(hr) && typeId == kCustomisedTypeId;
}

}  // namespace

STDMETHODIMP CTarnSite::XOwnerHooks::Customize_GetPopupMenu(IUnknown* control, int size, BYTE* buffer)
{
    if (!IsCustomised(control))
        return E_NOTIMPL;
    if (!buffer)
        return E_POINTER;
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEA(kTextPopupMenu), reinterpret_cast<LPCSTR>(RT_MENU));
    HRSRC found = module ? FindResourceA(module, MAKEINTRESOURCEA(kTextPopupMenu), reinterpret_cast<LPCSTR>(RT_MENU))
                         : nullptr;
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* menu = loaded ? LockResource(loaded) : nullptr;
    if (!menu)
        return E_FAIL;
    const int templateSize = static_cast<int>(SizeofResource(module, found));
    // The size answer is an int: a smaller buffer can't take it.
    if (size < static_cast<int>(sizeof templateSize))
        return E_INVALIDARG;
    if (size == static_cast<int>(sizeof templateSize)) {
        std::memcpy(buffer, &templateSize, sizeof templateSize);
        return S_OK;
    }
    if (size < templateSize)
        return S_FALSE;
    std::memcpy(buffer, menu, static_cast<size_t>(templateSize));
    return S_OK;
}
STDMETHODIMP CTarnSite::XOwnerHooks::Customize_GetPages(IUnknown*, CAUUID*) { return E_NOTIMPL; }
STDMETHODIMP CTarnSite::XOwnerHooks::Customize_GetDefaultProperty(IUnknown*, short, long*) { return E_NOTIMPL; }
STDMETHODIMP CTarnSite::XOwnerHooks::Customize_ExecInitDialog(IUnknown* control, IUnknown* viewEvents, int*)
{
    if (!IsCustomised(control))
        return E_NOTIMPL;
    ITarnViewEvents* events = nullptr;
    if (!viewEvents || FAILED(viewEvents->QueryInterface(IID_ITarnViewEvents, reinterpret_cast<void**>(&events))))
        return E_POINTER;
    events->Release();
    // The picture dialog belongs to the editing view, which isn't part of the document model.
    return E_NOTIMPL;
}

STDMETHODIMP CTarnSite::XSerializer::IndexOf(IUnknown* control, long* index)
{
    METHOD_PROLOGUE(CTarnSite, Serializer)
    if (!index)
        return E_POINTER;
    for (size_t i = 0; control && i < pThis->m_serialization.size(); ++i) {
        if (reinterpret_cast<IUnknown*>(pThis->m_serialization[i]) == control) {
            *index = static_cast<long>(i + 1);
            return S_OK;
        }
    }
    *index = -1;
    return E_FAIL;
}

STDMETHODIMP CTarnSite::XSerializer::ControlAt(long index, IBaseControl** control)
{
    METHOD_PROLOGUE(CTarnSite, Serializer)
    if (!control)
        return E_POINTER;
    *control = nullptr;
    if (index < 1 || static_cast<size_t>(index) > pThis->m_serialization.size())
        return E_FAIL;
    *control = pThis->m_serialization[static_cast<size_t>(index - 1)];
    if (*control)
        (*control)->AddRef();
    return S_OK;
}
