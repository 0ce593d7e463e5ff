// Which controls are selected, which of them is active in the view, buddies, and the frame.
#include <algorithm>

#include "ComControlList.h"
#include "atlcomptr.h"
#include "controlarray/ControlArray.h"
#include "selection/SelectionControl.h"

namespace {
tagRectF Union(const tagRectF& a, const tagRectF& b) {
    return tagRectF{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                    std::max(a.bottom, b.bottom)};
}

// The control a control is bound to, with a reference; null when it has none.
IBaseControl* BuddyOf(IBaseControl* control) {
    IBaseControl* buddy = nullptr;
    if (control->GetNextBuddy(&buddy) != S_OK) return nullptr;
    return buddy;
}
}  // namespace

std::vector<IBaseControl*> ControlsOfList(IUnknown* list) {
    std::vector<IBaseControl*> controls;
    if (!list) return controls;
    // The list Tarn hands over is its CComControlList, compiled into this server as well.
    CComControlList* typed = static_cast<CComControlList*>(list);
    for (POSITION pos = typed->GetHeadPosition(); pos;) controls.push_back(typed->GetNext(pos));
    return controls;
}

CSelectionControl::CSelectionControl() = default;

CSelectionControl::~CSelectionControl() { DeleteList(); }

HRESULT CSelectionControl::QueryControlInterface(REFIID iid, void** ppv) {
    if (IsEqualIID(iid, IID_ISelectionControl)) {
        *ppv = static_cast<ISelectionControl*>(this);
    } else if (IsEqualIID(iid, IID_ISpecifyPropertyPages)) {
        *ppv = static_cast<ISpecifyPropertyPages*>(this);
    } else if (IsEqualIID(iid, IID_ISelectionControlDispatch)) {
        *ppv = static_cast<ISelectionControlDispatch*>(this);
    } else {
        return CRectControlBase::QueryControlInterface(iid, ppv);
    }
    GetUnknown()->AddRef();
    return S_OK;
}

ITarnViewEvents* CSelectionControl::FirstView() const { return views_.empty() ? nullptr : views_[0]->view; }

void CSelectionControl::SetControlActive(IBaseControl* control, bool active) {
    if (control) control->put_Active(FirstView(), active ? 1 : 0);
}

void CSelectionControl::SetSelfActive(bool active) { CRectControlBase::put_Active(FirstView(), active ? 1 : 0); }

bool CSelectionControl::IsSelected(IBaseControl* control) const {
    return std::find(selected_.begin(), selected_.end(), control) != selected_.end();
}

IBaseControl* CSelectionControl::FindBuddyLeader() const {
    if (selected_.size() < 2) return nullptr;
    for (IBaseControl* control : selected_) {
        size_t links = 0;
        CComPtr<IBaseControl> current(control);
        // A chain never has more links than controls selected; a longer one is a loop.
        while (links < selected_.size()) {
            CComPtr<IBaseControl> next;
            next.Attach(BuddyOf(current));
            if (!next) break;
            ++links;
            current = next;
        }
        if (links == selected_.size() - 1) return control;
    }
    return nullptr;
}

void CSelectionControl::AddBuddiesToSelection() {
    if (selected_.size() < 2) return;
    for (size_t i = 0; i < selected_.size(); ++i) {
        IBaseControl* buddy = BuddyOf(selected_[i]);
        if (!buddy) continue;
        if (IsSelected(buddy)) {
            buddy->Release();
            continue;
        }
        // Right after its control; after the last one means back at the head.
        const size_t at = i + 1 < selected_.size() ? i + 1 : 0;
        selected_.insert(selected_.begin() + at, buddy);  // the reference of GetNextBuddy is the entry's
        SetControlActive(buddy, false);
        if (at == 0) ++i;
    }
}

void CSelectionControl::DeleteList() {
    ControlVector released;
    released.swap(selected_);
    for (IBaseControl* control : released) control->Release();
    hasList_ = false;
}

void CSelectionControl::ResetAngles() {
    appliedRotation_ = 0;
    appliedSkew_ = 0;
    defRotationPoint_ = tagPointF{0, 0};
}

void CSelectionControl::GetListRects(const ControlVector& list, tagRectF* frame, tagRectF* bounding) {
    // A control that cannot answer adds nothing to either union.
    tagRectF f{0, 0, 0, 0}, b{0, 0, 0, 0};
    bool firstFrame = true, firstBounds = true;
    for (IBaseControl* control : list) {
        tagRectF r;
        if (SUCCEEDED(control->get_FrameRect(&r))) {
            f = firstFrame ? r : Union(f, r);
            firstFrame = false;
        }
        if (SUCCEEDED(control->get_BoundingRect(&r))) {
            b = firstBounds ? r : Union(b, r);
            firstBounds = false;
        }
    }
    if (frame) *frame = f;
    if (bounding) *bounding = b;
}

void CSelectionControl::UpdateSelectionFrame() {
    GetListRects(selected_, &frame_, &bounding_);
    transform_.XOffset = (frame_.left + frame_.right) / 2;
    transform_.YOffset = (frame_.top + frame_.bottom) / 2;
    transform_.XScale = (frame_.right - frame_.left) / 2;
    transform_.YScale = (frame_.bottom - frame_.top) / 2;
    transform_.RotateAngle = 0;
    transform_.SkewAngle = 0;
}

void CSelectionControl::StoreDocRotationPoint(const tagPointF& doc) {
    // A flat frame has no local coordinates across its flat axis: its point stays at the centre.
    if (transform_.XScale == 0 || transform_.YScale == 0) {
        defRotationPoint_ = tagPointF{0, 0};
        return;
    }
    StoreRotationPoint(doc.x, doc.y);
}

HRESULT CSelectionControl::StandardFinish() {
    if (!hasList_) return S_FALSE;
    Invalidate();
    UpdateSelectionFrame();
    SetModified(true);
    Invalidate();
    return S_OK;
}

STDMETHODIMP CSelectionControl::Add(IBaseControl* control) {
    if (!control) return E_POINTER;
    ResetAngles();
    hasList_ = true;
    if (!IsSelected(control)) {
        if (!selected_.empty() && selectionMode_ != 0) return E_FAIL;
        if (FAILED(control->SetSelMode(selectionMode_, FirstView()))) return E_FAIL;
        tagRectF f{0, 0, 0, 0}, b{0, 0, 0, 0};
        control->get_FrameRect(&f);
        control->get_BoundingRect(&b);
        Invalidate();
        if (!selected_.empty()) {
            frame_ = Union(frame_, f);
            bounding_ = Union(bounding_, b);
            SetControlActive(control, false);
            if (selected_.size() == 1) {
                SetSelfActive(true);
                SetControlActive(selected_.front(), false);
            }
            if (IBaseControl* leader = FindBuddyLeader()) SetControlActive(leader, false);
        } else {
            frame_ = f;
            bounding_ = b;
            SetControlActive(control, true);
        }
        control->AddRef();
        selected_.insert(selected_.begin(), control);
    }
    if (IBaseControl* leader = FindBuddyLeader()) SetControlActive(leader, true);
    AddBuddiesToSelection();
    UpdateSelectionFrame();
    defRotationPoint_ = tagPointF{0, 0};
    Invalidate();
    return S_OK;
}

STDMETHODIMP CSelectionControl::Remove(IBaseControl* control) {
    if (replacing_) return S_OK;
    const auto found = std::find(selected_.begin(), selected_.end(), control);
    if (found == selected_.end()) return S_FALSE;
    Invalidate();
    ResetAngles();
    selected_.erase(found);
    if (selected_.empty()) {
        SetControlActive(control, false);
        control->Release();
        DeleteList();
        return S_OK;
    }
    control->Release();
    if (selected_.size() == 1) {
        SetSelfActive(false);
        SetControlActive(selected_.front(), true);
    }
    UpdateSelectionFrame();
    defRotationPoint_ = tagPointF{0, 0};
    if (IBaseControl* leader = FindBuddyLeader()) SetControlActive(leader, true);
    Invalidate();
    return S_OK;
}

STDMETHODIMP CSelectionControl::Find(IBaseControl* control) { return IsSelected(control) ? S_OK : S_FALSE; }

STDMETHODIMP CSelectionControl::Count(long* count) {
    if (!count) return E_POINTER;
    *count = static_cast<long>(selected_.size());
    return S_OK;
}

STDMETHODIMP CSelectionControl::RemoveAll() {
    Invalidate();
    frame_ = bounding_ = tagRectF{0, 0, 0, 0};
    ResetAngles();
    ControlVector released;
    released.swap(selected_);
    for (IBaseControl* control : released) {
        SetControlActive(control, false);
        control->Release();
    }
    SetSelfActive(false);
    hasList_ = false;
    return S_OK;
}

STDMETHODIMP CSelectionControl::GetControlList(IUnknown* pList) {
    if (!hasList_) return S_FALSE;
    if (!pList) return E_POINTER;
    CComControlList* list = static_cast<CComControlList*>(pList);
    for (IBaseControl* control : selected_) list->Add(control, 0);
    return S_OK;
}

STDMETHODIMP CSelectionControl::Update() {
    if (selected_.empty() || track_ || (State() != kStateIdle && State() != kStateFresh)) return S_FALSE;
    Invalidate();
    UpdateSelectionFrame();
    Invalidate();
    return S_OK;
}

STDMETHODIMP CSelectionControl::AddArray(IControlArray* array) {
    if (!array) return E_POINTER;
    if (IBaseControl* leader = FindBuddyLeader()) SetControlActive(leader, false);
    const bool wasEmpty = selected_.empty();
    hasList_ = true;
    int count = 0;
    array->get_Count(&count);
    for (int i = count - 1; i >= 0; --i) {
        CComPtr<IBaseControl> control;
        array->get_ControlByNum(i, &control);
        CComPtr<IUnknown> owner;
        if (control) control->get_Owner(&owner);
        if (!control || !owner || IsSelected(control)) array->RemoveControlByNum(i);
    }
    array->get_Count(&count);
    if (count == 0) {
        if (wasEmpty) DeleteList();
        return S_OK;
    }
    Invalidate();
    frame_ = bounding_ = tagRectF{0, 0, 0, 0};
    ResetAngles();
    if (selected_.size() == 1) SetControlActive(selected_.front(), false);
    for (int i = 0; i < count; ++i) {
        IBaseControl* control = nullptr;
        array->get_ControlByNum(i, &control);  // the reference is the entry's
        if (control) selected_.insert(selected_.begin(), control);
    }
    AddBuddiesToSelection();
    UpdateSelectionFrame();
    defRotationPoint_ = tagPointF{0, 0};
    if (selected_.size() == 1) {
        SetControlActive(selected_.front(), true);
    } else {
        for (IBaseControl* control : selected_) SetControlActive(control, false);
        SetSelfActive(true);
    }
    if (IBaseControl* leader = FindBuddyLeader()) SetControlActive(leader, true);
    Invalidate();
    return S_OK;
}

STDMETHODIMP CSelectionControl::GetArray(IControlArray** array) {
    if (!array) return E_POINTER;
    *array = nullptr;
    CComObject<CControlArray>* made = nullptr;
    HRESULT hr = CComObject<CControlArray>::CreateInstance(&made);
    if (FAILED(hr)) return hr;
    made->AddRef();
    for (IBaseControl* control : selected_) made->AddControl(control);
    *array = made;
    return S_OK;
}

STDMETHODIMP CSelectionControl::RemoveArray() { return E_NOTIMPL; }

STDMETHODIMP CSelectionControl::SetSelectionMode(long selMode, ITarnViewEvents* view) {
    selectionMode_ = selMode;
    if (selected_.empty()) return S_OK;
    CComPtr<IBaseControl> head(selected_.front());
    if (selMode != 0) {
        if (FAILED(head->SetSelMode(selMode, view))) {
            RemoveAll();
        } else if (selected_.size() > 1) {
            RemoveAll();
            Add(head);
        }
    } else {
        head->SetSelMode(0, view);
        UpdateSelectionFrame();
    }
    return S_OK;
}

STDMETHODIMP CSelectionControl::CreateNewSelectionControl(ISelectionControlDispatch** selection) {
    if (!selection) return E_POINTER;
    return CreateUndoSelection(selection);
}

HRESULT CSelectionControl::CreateUndoSelection(ISelectionControlDispatch** selection) {
    *selection = nullptr;
    // The same class, made directly: the undo target need not go through the registry.
    CComObject<CSelectionControl>* made = nullptr;
    HRESULT hr = CComObject<CSelectionControl>::CreateInstance(&made);
    if (FAILED(hr)) return hr;
    made->AddRef();
    made->InitNew();
    CComPtr<IEnumConnections> sinks;
    if (SUCCEEDED(EnumConnections(&sinks)) && sinks) {
        CONNECTDATA data = {};
        ULONG fetched = 0;
        if (sinks->Next(1, &data, &fetched) == S_OK && data.pUnk) {
            DWORD cookie = 0;
            hr = made->Advise(data.pUnk, &cookie);
            data.pUnk->Release();
        }
    }
    if (SUCCEEDED(hr))
        hr = made->SetLinearTransformParams(transform_.XScale, transform_.YScale,
                                            tagPointF{transform_.XOffset, transform_.YOffset}, transform_.RotateAngle,
                                            transform_.SkewAngle);
    if (SUCCEEDED(hr)) made->defRotationPoint_ = defRotationPoint_;
    if (FAILED(hr)) {
        made->Release();
        return hr;
    }
    *selection = static_cast<ISelectionControlDispatch*>(made);
    return S_OK;
}

void CSelectionControl::ResetSelectionList() {
    DeleteList();
    hasList_ = true;
}

void CSelectionControl::AdoptList(const ControlVector& list) {
    for (IBaseControl* control : list) {
        control->AddRef();
        selected_.push_back(control);
    }
}

STDMETHODIMP CSelectionControl::GetPages(CAUUID* pages) {
    if (!pages) return E_POINTER;
    pages->cElems = 0;
    pages->pElems = nullptr;
    if (IControlOwnerHooks* hooks = OwnerHooks()) {
        const HRESULT hr = hooks->Customize_GetPages(GetUnknown(), pages);
        hooks->Release();
        if (hr == S_OK) return S_OK;
        pages->cElems = 0;
        pages->pElems = nullptr;
    }
    std::vector<CLSID> distinct;
    for (const PropMapEntry* entry = GetPropertyMap(); entry && entry->pclsidPropPage; ++entry) {
        const CLSID& page = *entry->pclsidPropPage;
        if (IsEqualCLSID(page, CLSID_NULL)) continue;
        if (std::find_if(distinct.begin(), distinct.end(), [&](const CLSID& c) { return IsEqualCLSID(c, page); }) ==
            distinct.end())
            distinct.push_back(page);
    }
    if (distinct.empty()) return S_OK;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(distinct.size() * sizeof(GUID)));
    if (!pages->pElems) return E_OUTOFMEMORY;
    std::copy(distinct.begin(), distinct.end(), pages->pElems);
    pages->cElems = static_cast<ULONG>(distinct.size());
    return S_OK;
}
