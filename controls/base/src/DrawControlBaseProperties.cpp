// The geometry and property slots of IBaseControl that the base answers itself.
#include <cstring>

#include "tarn/ControlsModuleState.h"
#include "tarn/DrawControlBase.h"

namespace {
std::string Narrow(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string narrow(length > 0 ? length : 0, '\0');
    if (length > 0)
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), &narrow[0], length, nullptr,
                            nullptr);
    return narrow;
}
}  // namespace

STDMETHODIMP CDrawControlBase::get_CenterPoint(tagPointF* pVal) {
    if (!pVal) return E_POINTER;
    tagRectF r;
    HRESULT hr = get_Rect(&r);
    if (FAILED(hr)) return hr;
    pVal->x = (r.left + r.right) / 2.0;
    pVal->y = (r.top + r.bottom) / 2.0;
    return S_OK;
}

STDMETHODIMP CDrawControlBase::put_CenterPoint(tagPointF newVal) {
    tagPointF centre;
    HRESULT hr = get_CenterPoint(&centre);
    if (FAILED(hr)) return hr;
    return MoveBy(tagSizeF{newVal.x - centre.x, newVal.y - centre.y});
}

STDMETHODIMP CDrawControlBase::get_BoundingRect(tagRectF*) { return E_NOTIMPL; }
STDMETHODIMP CDrawControlBase::get_Rect(tagRectF*) { return E_NOTIMPL; }

STDMETHODIMP CDrawControlBase::put_Rect(tagRectF newVal) {
    Invalidate();
    HRESULT hr = FitToRect(newVal);
    if (FAILED(hr)) return hr;
    OnChanged(false);
    SetModified(true);
    FreeTemporaryData();
    Invalidate();
    // The change succeeded: say so (callers of this system ignore the result either way).
    return S_OK;
}

STDMETHODIMP CDrawControlBase::get_FilledRect(tagRectF*) { return E_NOTIMPL; }
STDMETHODIMP CDrawControlBase::get_RectForAlignment(tagRectF*) { return E_NOTIMPL; }
STDMETHODIMP CDrawControlBase::get_FrameRect(tagRectF*) { return E_NOTIMPL; }

STDMETHODIMP CDrawControlBase::get_Size(tagSizeF* pVal) {
    if (!pVal) return E_POINTER;
    tagRectF r;
    HRESULT hr = get_Rect(&r);
    if (FAILED(hr)) return hr;
    pVal->cx = r.right - r.left;
    pVal->cy = r.bottom - r.top;
    return S_OK;
}

STDMETHODIMP CDrawControlBase::put_Size(tagSizeF newVal) {
    tagRectF r;
    HRESULT hr = get_Rect(&r);
    if (FAILED(hr)) return hr;
    return put_Rect(tagRectF{r.left, r.top, r.left + newVal.cx, r.top + newVal.cy});
}

STDMETHODIMP CDrawControlBase::get_Width(double* pVal) {
    if (!pVal) return E_POINTER;
    tagRectF r;
    HRESULT hr = get_Rect(&r);
    if (SUCCEEDED(hr)) *pVal = r.right - r.left;
    return hr;
}

STDMETHODIMP CDrawControlBase::put_Width(double newVal) {
    tagRectF r;
    HRESULT hr = get_Rect(&r);
    if (FAILED(hr)) return hr;
    r.right = r.left + newVal;
    return put_Rect(r);
}

STDMETHODIMP CDrawControlBase::get_Height(double* pVal) {
    if (!pVal) return E_POINTER;
    tagRectF r;
    HRESULT hr = get_Rect(&r);
    if (SUCCEEDED(hr)) *pVal = r.bottom - r.top;
    return hr;
}

STDMETHODIMP CDrawControlBase::put_Height(double newVal) {
    tagRectF r;
    HRESULT hr = get_Rect(&r);
    if (FAILED(hr)) return hr;
    r.bottom = r.top + newVal;
    return put_Rect(r);
}

STDMETHODIMP CDrawControlBase::get_Visible(LONG* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = visible_ ? 1 : 0;
    return S_OK;
}

STDMETHODIMP CDrawControlBase::put_Visible(LONG newVal) {
    visible_ = newVal != 0;
    OnChanged(true);
    SetModified(true);
    Invalidate();
    return S_OK;
}

STDMETHODIMP CDrawControlBase::get_ControlNameID(int* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = static_cast<int>(GetCaptionID());
    return S_OK;
}

STDMETHODIMP CDrawControlBase::get_ControlName(BSTR* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    if (name_.empty()) return S_OK;
    *pVal = SysAllocStringLen(name_.data(), static_cast<UINT>(name_.size()));
    return *pVal ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CDrawControlBase::put_ControlName(BSTR newVal) {
    try {
        name_.assign(newVal ? newVal : L"", newVal ? SysStringLen(newVal) : 0);
        narrowName_ = Narrow(name_);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    SetModified(true);
    return S_OK;
}

STDMETHODIMP CDrawControlBase::get_Storable(LONG* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = 1;
    return S_OK;
}

STDMETHODIMP CDrawControlBase::put_Storable(LONG) {
    SetModified(true);
    return S_OK;
}

STDMETHODIMP CDrawControlBase::RotateBy(double, tagPointF) { return E_NOTIMPL; }

STDMETHODIMP CDrawControlBase::RotateBy180() {
    tagRectF r;
    HRESULT hr = get_Rect(&r);
    if (FAILED(hr)) return hr;
    return put_Rect(tagRectF{r.right, r.bottom, r.left, r.top});
}

STDMETHODIMP CDrawControlBase::SkewBy(double, double, double, tagPointF) { return E_NOTIMPL; }

STDMETHODIMP CDrawControlBase::MoveBy(tagSizeF offset) {
    tagRectF r;
    HRESULT hr = get_Rect(&r);
    if (FAILED(hr)) return hr;
    return put_Rect(tagRectF{r.left + offset.cx, r.top + offset.cy, r.right + offset.cx, r.bottom + offset.cy});
}

STDMETHODIMP CDrawControlBase::ScaleBy(double scaleX, double scaleY) {
    tagRectF r;
    tagPointF c;
    if (FAILED(get_Rect(&r)) || FAILED(get_CenterPoint(&c))) return S_OK;
    put_Rect(tagRectF{c.x + (r.left - c.x) * scaleX, c.y + (r.top - c.y) * scaleY, c.x + (r.right - c.x) * scaleX,
                      c.y + (r.bottom - c.y) * scaleY});
    return S_OK;
}

STDMETHODIMP CDrawControlBase::FlipHorizontally() {
    tagRectF r;
    HRESULT hr = get_Rect(&r);
    if (FAILED(hr)) return hr;
    return put_Rect(tagRectF{r.right, r.top, r.left, r.bottom});
}

STDMETHODIMP CDrawControlBase::FlipVertically() {
    tagRectF r;
    HRESULT hr = get_Rect(&r);
    if (FAILED(hr)) return hr;
    return put_Rect(tagRectF{r.left, r.bottom, r.right, r.top});
}

STDMETHODIMP CDrawControlBase::ContainsPoint(tagPointF, double, ITarnViewEvents*) { return E_NOTIMPL; }
STDMETHODIMP CDrawControlBase::OverlapsWithRect(tagRectF, ITarnViewEvents*) { return E_NOTIMPL; }

STDMETHODIMP CDrawControlBase::GetObjectMenu(int nSize, BYTE* buffer) {
    if (directDataDepth_ == 0) {
        if (IControlOwnerHooks* hooks = OwnerHooks()) {
            hooks->Customize_GetObjectMenu(GetUnknown(), nSize, buffer);
            hooks->Release();
        }
    }
    return S_OK;
}

STDMETHODIMP CDrawControlBase::GetPopupMenu(int nSize, BYTE* buffer) {
    if (directDataDepth_ == 0) {
        if (IControlOwnerHooks* hooks = OwnerHooks()) {
            const HRESULT hr = hooks->Customize_GetPopupMenu(GetUnknown(), nSize, buffer);
            hooks->Release();
            if (hr == S_OK) return S_OK;
        }
    }
    return GetMenuResource(nSize, buffer);
}

STDMETHODIMP CDrawControlBase::GetObjectToolbar(int, BYTE*) { return S_OK; }
STDMETHODIMP CDrawControlBase::ControlAdded(IBaseControl*) { return S_OK; }

STDMETHODIMP CDrawControlBase::ControlDeleted(IBaseControl* control) {
    if (control == static_cast<IBaseControl*>(this)) beingDeleted_ = false;
    return S_OK;
}

STDMETHODIMP CDrawControlBase::ControlDeleting(IBaseControl* control) {
    if (control == static_cast<IBaseControl*>(this)) beingDeleted_ = true;
    return S_OK;
}

STDMETHODIMP CDrawControlBase::ControlChanged(IBaseControl*) { return S_OK; }
STDMETHODIMP CDrawControlBase::ControlReplaced(IBaseControl*, IBaseControl*) { return S_OK; }
STDMETHODIMP CDrawControlBase::DocumentChanged() { return S_OK; }

STDMETHODIMP CDrawControlBase::Validate() {
    tagRectF bounds;
    if (SUCCEEDED(get_BoundingRect(&bounds))) FireInvalidate(bounds, 1);
    for (size_t i = 0; i < views_.size(); ++i)
        if (views_[i]->active) InvalidateUIShapesInView(views_[i]->view);
    return S_OK;
}

STDMETHODIMP CDrawControlBase::FreeTemporaryData() { return S_OK; }

STDMETHODIMP CDrawControlBase::Invalidate() {
    tagRectF bounds;
    if (SUCCEEDED(get_BoundingRect(&bounds))) FireInvalidate(bounds, 0);
    for (size_t i = 0; i < views_.size(); ++i)
        if (views_[i]->active) InvalidateUIShapesInView(views_[i]->view);
    return S_OK;
}

STDMETHODIMP CDrawControlBase::Inserter_Redraw() {
    if (!inserter_) return S_OK;
    tagRectF bounds;
    if (SUCCEEDED(get_BoundingRect(&bounds))) inserter_->Invalidate(&bounds, 0);
    return S_OK;
}

STDMETHODIMP CDrawControlBase::Draw(tagDrawOptions*) { return E_NOTIMPL; }
STDMETHODIMP CDrawControlBase::DrawUIShapes(HDC, ITarnViewEvents*, tagDrawOptions*) { return E_NOTIMPL; }
STDMETHODIMP CDrawControlBase::InvalidateUIShapesInView(ITarnViewEvents*) { return E_NOTIMPL; }
STDMETHODIMP CDrawControlBase::DrawOutlineFast(HDC, tagDrawOptions*, ITarnViewEvents*, double*) {
    return E_NOTIMPL;
}
STDMETHODIMP CDrawControlBase::InvalidateOutlineFast(ITarnViewEvents*, double*) { return E_NOTIMPL; }

void CDrawControlBase::InvalidateUIShapesInAllViews() {
    for (size_t i = 0; i < views_.size(); ++i) InvalidateUIShapesInView(views_[i]->view);
}

// Per-view records --------------------------------------------------------------------------------------

CControlViewData* CDrawControlBase::FindViewData(ITarnViewEvents* view, bool create) {
    if (!view) return nullptr;
    CControlViewData* found = nullptr;
    EnterCriticalSection(&ControlViewDataLock());
    for (CControlViewData* record : views_)
        if (record->view == view) found = record;
    if (!found && create) {
        found = CreateViewData(view);
        if (found) views_.push_back(found);
    }
    LeaveCriticalSection(&ControlViewDataLock());
    return found;
}

CControlViewData* CDrawControlBase::CreateViewData(ITarnViewEvents* view) { return new CControlViewData(view); }

STDMETHODIMP CDrawControlBase::get_Active(ITarnViewEvents* view, LONG* pVal) {
    if (!pVal) return E_POINTER;
    CControlViewData* record = FindViewData(view, true);
    *pVal = record && record->active ? 1 : 0;
    return S_OK;
}

STDMETHODIMP CDrawControlBase::put_Active(ITarnViewEvents* view, LONG newVal) {
    CControlViewData* record = FindViewData(view, true);
    if (!record) return S_OK;
    const bool active = newVal != 0;
    if (record->active != active) {
        record->active = active;
        InvalidateUIShapesInView(view);
    }
    return S_OK;
}

STDMETHODIMP CDrawControlBase::RegisterView(ITarnViewEvents* view) {
    FindViewData(view, true);
    return S_OK;
}

STDMETHODIMP CDrawControlBase::UnregisterView(ITarnViewEvents* view) {
    CControlViewData* removed = nullptr;
    EnterCriticalSection(&ControlViewDataLock());
    for (auto it = views_.begin(); it != views_.end(); ++it)
        if ((*it)->view == view) {
            removed = *it;
            views_.erase(it);
            break;
        }
    LeaveCriticalSection(&ControlViewDataLock());
    delete removed;
    return S_OK;
}

STDMETHODIMP CDrawControlBase::UnregisterAllViews() {
    EnterCriticalSection(&ControlViewDataLock());
    std::vector<CControlViewData*> records;
    records.swap(views_);
    LeaveCriticalSection(&ControlViewDataLock());
    for (CControlViewData* record : records) delete record;
    return S_OK;
}

// Flags and small properties ------------------------------------------------------------------------------

STDMETHODIMP CDrawControlBase::get_UseSetDirty(LONG* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = useSetDirty_ ? 1 : 0;
    return S_OK;
}

STDMETHODIMP CDrawControlBase::put_UseSetDirty(LONG newVal) {
    useSetDirty_ = newVal != 0;
    return S_OK;
}

STDMETHODIMP CDrawControlBase::ParseUnitsText(LPSTR text, LONG bUseRatio, double* value) {
    ITarnApp* app = GetTarnApp();
    if (!app) return S_FALSE;
    return app->ParseUnitsText(text, bUseRatio, value);
}

STDMETHODIMP CDrawControlBase::get_ResID(LONG* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = resId_;
    return S_OK;
}

STDMETHODIMP CDrawControlBase::put_ResID(LONG newVal) {
    resId_ = newVal;
    return S_OK;
}

STDMETHODIMP CDrawControlBase::get_PreviewMode(LONG* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = previewMode_ ? 1 : 0;
    return S_OK;
}

STDMETHODIMP CDrawControlBase::put_PreviewMode(LONG newVal) {
    previewMode_ = newVal == 1;
    OnChanged(true);
    return S_OK;
}

STDMETHODIMP CDrawControlBase::GetInserterCursor(HICON* cursor) {
    if (cursor) *cursor = nullptr;
    return S_FALSE;
}

STDMETHODIMP CDrawControlBase::get_PropMapEntries(IUnknown** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = reinterpret_cast<IUnknown*>(const_cast<PropMapEntry*>(GetPropertyMap()));
    return S_OK;
}

STDMETHODIMP CDrawControlBase::get_TypeID(LONG* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = typeId_;
    return S_OK;
}

STDMETHODIMP CDrawControlBase::put_TypeID(LONG newVal) {
    typeId_ = newVal;
    return S_OK;
}

// Parameter map ---------------------------------------------------------------------------------------------

STDMETHODIMP CDrawControlBase::SetParam(BSTR name, int nSize, BYTE* data) {
    if (!name) return E_POINTER;
    // A parameter is saved as a named record, which needs a name.
    if (!name[0] || nSize < 0 || (nSize > 0 && !data)) return E_INVALIDARG;
    try {
        const std::wstring key(name);
        if (nSize == 0)
            parameters_.erase(key);
        else
            parameters_[key].assign(data, data + nSize);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

STDMETHODIMP CDrawControlBase::GetParam(BSTR name, int nSize, BYTE* buffer) {
    if (!name) return E_POINTER;
    auto it = parameters_.find(std::wstring(name));
    if (it == parameters_.end()) return S_OK;
    if (nSize < 0 || static_cast<size_t>(nSize) < it->second.size()) return E_INVALIDARG;
    if (!buffer) return E_POINTER;
    std::memcpy(buffer, it->second.data(), it->second.size());
    return S_OK;
}

STDMETHODIMP CDrawControlBase::GetParamSize(BSTR name, int* size) {
    if (!name || !size) return E_POINTER;
    auto it = parameters_.find(std::wstring(name));
    *size = it == parameters_.end() ? 0 : static_cast<int>(it->second.size());
    return S_OK;
}

STDMETHODIMP CDrawControlBase::GetParamCount(int* count) {
    if (!count) return E_POINTER;
    *count = static_cast<int>(parameters_.size());
    return S_OK;
}

STDMETHODIMP CDrawControlBase::GetParamName(int index, BSTR* name) {
    if (!name) return E_POINTER;
    *name = nullptr;
    if (index < 0 || static_cast<size_t>(index) >= parameters_.size()) return E_INVALIDARG;
    auto it = parameters_.begin();
    std::advance(it, index);
    *name = SysAllocStringLen(it->first.data(), static_cast<UINT>(it->first.size()));
    return *name ? S_OK : E_OUTOFMEMORY;
}

// Owner, serializer and the rest -------------------------------------------------------------------------

STDMETHODIMP CDrawControlBase::get_Owner(IUnknown** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = owner_;
    if (owner_) owner_->AddRef();
    return S_OK;
}

STDMETHODIMP CDrawControlBase::put_Owner(IUnknown* newVal) {
    if (newVal) newVal->AddRef();
    if (owner_) owner_->Release();
    owner_ = newVal;
    return S_OK;
}

IControlOwnerHooks* CDrawControlBase::OwnerHooks() {
    IControlOwnerHooks* hooks = nullptr;
    if (owner_) owner_->QueryInterface(IID_IControlOwnerHooks, reinterpret_cast<void**>(&hooks));
    return hooks;
}

STDMETHODIMP CDrawControlBase::SetSelMode(LONG selMode, ITarnViewEvents*) {
    if (selMode == 0) return S_OK;
    EndDrag(false, false);
    return E_FAIL;
}

STDMETHODIMP CDrawControlBase::SupportsSelMode(LONG selMode) { return selMode == 0 ? S_OK : S_FALSE; }

STDMETHODIMP CDrawControlBase::SupportsInserterSelMode(LONG selMode) {
    return static_cast<IBaseControl*>(this)->SupportsSelMode(selMode);
}

STDMETHODIMP CDrawControlBase::CustomHitTest(tagPointF, LONG, ITarnViewEvents*) { return S_FALSE; }

STDMETHODIMP CDrawControlBase::get_SaveForViewer(LONG* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = saveForViewer_ ? 1 : 0;
    return S_OK;
}

STDMETHODIMP CDrawControlBase::put_SaveForViewer(LONG newVal) {
    saveForViewer_ = newVal == 1;
    return S_OK;
}

STDMETHODIMP CDrawControlBase::ShapeOperation(LONG, IBaseControl**, LONG, LONG, IBaseControl** result) {
    if (result) *result = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CDrawControlBase::SupportsShapeOperation(LONG, IBaseControl**, LONG) { return S_FALSE; }

STDMETHODIMP CDrawControlBase::GetNextBuddy(IBaseControl** buddy) {
    if (buddy) *buddy = nullptr;
    return S_FALSE;
}

STDMETHODIMP CDrawControlBase::get_Serializer(IUnknown** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = serializer_;  // no reference: the host holds it for the pass
    return S_OK;
}

STDMETHODIMP CDrawControlBase::put_Serializer(IUnknown* newVal) {
    if (newVal) newVal->AddRef();
    if (serializer_) serializer_->Release();
    serializer_ = newVal;
    return S_OK;
}

STDMETHODIMP CDrawControlBase::IsEqualTo(IUnknown*) { return S_FALSE; }

STDMETHODIMP CDrawControlBase::IgnoreInvalidate(LONG newVal) {
    ignoreInvalidate_ = newVal == 1;
    useSetDirty_ = newVal != 1;
    return S_OK;
}

STDMETHODIMP CDrawControlBase::FillClipboardData(LONG*, LONG*, LONG*) { return E_NOTIMPL; }

// Virtual operations -------------------------------------------------------------------------------------

double CDrawControlBase::GetLeft() {
    tagRectF r{};
    get_Rect(&r);
    return r.left;
}
double CDrawControlBase::GetRight() {
    tagRectF r{};
    get_Rect(&r);
    return r.right;
}
double CDrawControlBase::GetTop() {
    tagRectF r{};
    get_Rect(&r);
    return r.top;
}
double CDrawControlBase::GetBottom() {
    tagRectF r{};
    get_Rect(&r);
    return r.bottom;
}

HRESULT CDrawControlBase::PutLeft(double value) {
    tagRectF r;
    HRESULT hr = get_Rect(&r);
    if (FAILED(hr)) return hr;
    r.left = value;
    return put_Rect(r);
}
HRESULT CDrawControlBase::PutRight(double value) {
    tagRectF r;
    HRESULT hr = get_Rect(&r);
    if (FAILED(hr)) return hr;
    r.right = value;
    return put_Rect(r);
}
HRESULT CDrawControlBase::PutTop(double value) {
    tagRectF r;
    HRESULT hr = get_Rect(&r);
    if (FAILED(hr)) return hr;
    r.top = value;
    return put_Rect(r);
}
HRESULT CDrawControlBase::PutBottom(double value) {
    tagRectF r;
    HRESULT hr = get_Rect(&r);
    if (FAILED(hr)) return hr;
    r.bottom = value;
    return put_Rect(r);
}

HRESULT CDrawControlBase::GetMenuResource(int nSize, BYTE* buffer) {
    if (!buffer) return E_POINTER;
    HINSTANCE resources = ControlsResourceInstance();
    HRSRC found = FindResourceA(resources, MAKEINTRESOURCEA(GetResourceID()), reinterpret_cast<LPCSTR>(RT_MENU));
    if (!found) return E_FAIL;
    const DWORD size = SizeofResource(resources, found);
    if (nSize <= 4) {
        // A size query. A buffer under 4 bytes gets no write at all: it cannot hold the answer.
        if (nSize < 4) return E_INVALIDARG;
        const DWORD answer = size;
        std::memcpy(buffer, &answer, sizeof answer);
        return S_OK;
    }
    if (static_cast<DWORD>(nSize) < size) return S_FALSE;
    HGLOBAL loaded = LoadResource(resources, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return E_FAIL;
    std::memcpy(buffer, data, size);
    return S_OK;
}

HRESULT CDrawControlBase::FitToRect(const tagRectF&) { return E_NOTIMPL; }
void CDrawControlBase::OnChanged(bool) {}

const PropMapEntry* CDrawControlBase::GetPropertyMap() {
    static const PropMapEntry empty[] = {{nullptr, 0, nullptr, nullptr, 0, 0, 0}};
    return empty;
}

UINT CDrawControlBase::GetResourceID() { return 21117; }

void CDrawControlBase::SetModified(bool modified) {
    if (!modified || !useSetDirty_) return;
    modified_ = true;
    FireSelectionChanged();
}

bool CDrawControlBase::IsModified() { return modified_; }
UINT CDrawControlBase::GetCaptionID() { return 0; }
DISPID CDrawControlBase::GetPageForCommand(UINT) { return DISPID_UNKNOWN; }
bool CDrawControlBase::HitTestUIShapes(const tagPointF&, double, ITarnViewEvents*) { return false; }
