// The view's events interface: what the drawing controls, the canvas and the notificator ask of
// the view. Each method works in the framework library's module state.
#include "ClModule.h"
#include "TarnDoc.h"
#include "TarnSite.h"
#include "TarnView.h"
#include "UndoManager.h"

#define VIEW_EVENTS_PROLOGUE          \
    AFX_MANAGE_STATE(AfxGetStaticModuleState()) \
    METHOD_PROLOGUE(CTarnView, ViewEvents)

STDMETHODIMP_(ULONG) CTarnView::XViewEvents::AddRef()
{
    METHOD_PROLOGUE(CTarnView, ViewEvents)
    return pThis->ExternalAddRef();
}

STDMETHODIMP_(ULONG) CTarnView::XViewEvents::Release()
{
    METHOD_PROLOGUE(CTarnView, ViewEvents)
    return pThis->ExternalRelease();
}

STDMETHODIMP CTarnView::XViewEvents::QueryInterface(REFIID iid, LPVOID* ppvObj)
{
    METHOD_PROLOGUE(CTarnView, ViewEvents)
    return static_cast<HRESULT>(pThis->ExternalQueryInterface(&iid, ppvObj));
}

STDMETHODIMP CTarnView::XViewEvents::RegisterNewControlInserter(IControlInserter*)
{
    // Insertion tools are not part of this view yet: outside a control command the request is
    // ignored anyway, and no command passes one on.
    return S_OK;
}

STDMETHODIMP CTarnView::XViewEvents::UpdateCanvas(RECT* pRect)
{
    VIEW_EVENTS_PROLOGUE
    CRect area(pRect ? *pRect : RECT{0, 0, 0, 0});
    if (pRect) pThis->DrawToCanvas(&area);
    return S_OK;
}

STDMETHODIMP CTarnView::XViewEvents::TransferCoordinates(tagPointData* point)
{
    VIEW_EVENTS_PROLOGUE
    return pThis->GetMapping().TransferCoordinates(point);
}

STDMETHODIMP CTarnView::XViewEvents::TransferSize(tagSizeData* sizeData)
{
    VIEW_EVENTS_PROLOGUE
    return pThis->GetMapping().TransferSize(sizeData);
}

STDMETHODIMP CTarnView::XViewEvents::Invalidate(RECT* viewRect, long MakeValid, long IncludingOffscreenDCs)
{
    VIEW_EVENTS_PROLOGUE
    if (MakeValid) {
        if (!viewRect) return E_INVALIDARG;
        pThis->ValidateRect(IncludingOffscreenDCs, CRect(*viewRect));
    } else if (viewRect) {
        pThis->InvalidateRect(IncludingOffscreenDCs, CRect(*viewRect));
    } else {
        pThis->Invalidate(IncludingOffscreenDCs, 1);
    }
    return S_OK;
}

STDMETHODIMP CTarnView::XViewEvents::GetDC(HDC* hdc)
{
    VIEW_EVENTS_PROLOGUE
    if (!hdc) return E_POINTER;
    // The caller gives the context back with ReleaseDC on the view's window.
    *hdc = pThis->m_hWnd ? ::GetDC(pThis->m_hWnd) : nullptr;
    return *hdc ? S_OK : E_FAIL;
}

STDMETHODIMP CTarnView::XViewEvents::GetControlIndex(IBaseControl* control, long* index)
{
    VIEW_EVENTS_PROLOGUE
    if (!index) return E_POINTER;
    CTarnDoc* doc = pThis->GetDocument();
    *index = doc ? doc->GetControlPosition(pThis->m_nSiteID, control) : -1;
    return S_OK;
}

STDMETHODIMP CTarnView::XViewEvents::RegisterNewControl(IBaseControl* control, long)
{
    VIEW_EVENTS_PROLOGUE
    CTarnDoc* doc = pThis->GetDocument();
    if (doc && control) doc->InsertControl(pThis->m_nSiteID, control, -1);
    return S_OK;
}

STDMETHODIMP CTarnView::XViewEvents::InsertControl(IBaseControl* control, long index)
{
    VIEW_EVENTS_PROLOGUE
    CTarnDoc* doc = pThis->GetDocument();
    if (doc && control) doc->InsertControl(pThis->m_nSiteID, control, index);
    return S_OK;
}

STDMETHODIMP CTarnView::XViewEvents::InsertControlList(IBaseControl** controls, long* indices, int nCount)
{
    VIEW_EVENTS_PROLOGUE
    CTarnDoc* doc = pThis->GetDocument();
    if (!doc || !controls || nCount <= 0) return S_OK;
    for (int i = 0; i < nCount; ++i)
        if (controls[i]) doc->InsertControl(pThis->m_nSiteID, controls[i], indices ? indices[i] : -1);
    return S_OK;
}

STDMETHODIMP CTarnView::XViewEvents::DeleteControl(IBaseControl* control)
{
    VIEW_EVENTS_PROLOGUE
    CTarnDoc* doc = pThis->GetDocument();
    if (doc && control) doc->DeleteControl(pThis->m_nSiteID, control);
    return S_OK;
}

STDMETHODIMP CTarnView::XViewEvents::DeleteControlList(IBaseControl** controls, int nCount)
{
    VIEW_EVENTS_PROLOGUE
    CTarnDoc* doc = pThis->GetDocument();
    if (!doc || !controls || nCount <= 0) return S_OK;
    for (int i = 0; i < nCount; ++i)
        if (controls[i]) doc->DeleteControl(pThis->m_nSiteID, controls[i]);
    return S_OK;
}

STDMETHODIMP CTarnView::XViewEvents::GetHWND(LONG_PTR* hwnd)
{
    VIEW_EVENTS_PROLOGUE
    if (!hwnd) return E_POINTER;
    *hwnd = reinterpret_cast<LONG_PTR>(pThis->m_hWnd);
    return S_OK;
}

STDMETHODIMP CTarnView::XViewEvents::HitTestControlList(tagPointF, long, IBaseControl** control)
{
    // Hit tests of the site's list come with the mouse handling of the view.
    if (control) *control = nullptr;
    return S_FALSE;
}

STDMETHODIMP CTarnView::XViewEvents::SetSelMode(long mode)
{
    VIEW_EVENTS_PROLOGUE
    if (mode < 0 || mode > 2) return E_FAIL;
    pThis->m_nSelMode = static_cast<int>(mode);
    return S_OK;
}

STDMETHODIMP CTarnView::XViewEvents::GetSelMode(long* mode)
{
    VIEW_EVENTS_PROLOGUE
    if (!mode) return E_POINTER;
    *mode = pThis->m_nSelMode;
    return S_OK;
}

STDMETHODIMP CTarnView::XViewEvents::IsControlSelected(IBaseControl*)
{
    // No selection object: nothing is selected.
    return S_FALSE;
}

STDMETHODIMP CTarnView::XViewEvents::SelectControl(IBaseControl* control)
{
    // Without a selection object: emptying it succeeds, adding to it cannot.
    return control ? E_FAIL : S_OK;
}

STDMETHODIMP CTarnView::XViewEvents::FreezeView(long bFreeze)
{
    VIEW_EVENTS_PROLOGUE
    pThis->m_bFrozen = static_cast<int>(bFreeze);
    return S_OK;
}

STDMETHODIMP CTarnView::XViewEvents::SnapPoint(tagPointF*, long)
{
    // No snap grid yet: points stay where they are.
    return S_OK;
}

STDMETHODIMP CTarnView::XViewEvents::SnapRect(tagRectF*) { return S_OK; }

namespace {
// The undo manager of the site a view shows, or null.
CUndoManager* UndoManagerOf(CTarnView* view)
{
    CTarnDoc* doc = view->GetDocument();
    CTarnSite* site = doc ? doc->GetSite(view->GetSiteID()) : nullptr;
    return site ? site->GetUndoManager() : nullptr;
}
}  // namespace

STDMETHODIMP CTarnView::XViewEvents::ForceUndo(long bExecute)
{
    VIEW_EVENTS_PROLOGUE
    if (CUndoManager* undo = UndoManagerOf(pThis)) undo->Undo(bExecute == 1);
    return S_OK;
}

STDMETHODIMP CTarnView::XViewEvents::ForceRedo(long bExecute)
{
    VIEW_EVENTS_PROLOGUE
    if (CUndoManager* undo = UndoManagerOf(pThis)) undo->Redo(bExecute == 1);
    return S_OK;
}
