// Identity, class information, error information, the connection point and the small interfaces.
#include <olectl.h>

#include "tarn/ControlsModuleState.h"
#include "tarn/DrawControlBase.h"

CControlViewData::CControlViewData(ITarnViewEvents* v) : view(v) {
    if (view) view->AddRef();
}

CControlViewData::~CControlViewData() {
    if (view) view->Release();
}

CDrawControlBase::CDrawControlBase() = default;

CDrawControlBase::~CDrawControlBase() {
    for (CControlViewData* record : views_) delete record;
    views_.clear();
    parameters_.clear();
    if (inserter_) inserter_->Release();
    if (serializer_) serializer_->Release();
    if (owner_) owner_->Release();
    delete dragRecord_;
}

HRESULT CDrawControlBase::InternalQueryInterface(REFIID iid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(iid, IID_IUnknown)) {
        *ppv = GetUnknown();
        GetUnknown()->AddRef();
        return S_OK;
    }
    return QueryControlInterface(iid, ppv);
}

HRESULT CDrawControlBase::QueryControlInterface(REFIID iid, void** ppv) {
    void* found = nullptr;
    if (IsEqualIID(iid, IID_IProvideClassInfo) || IsEqualIID(iid, IID_IProvideClassInfo2))
        found = static_cast<IProvideClassInfo2*>(this);
    else if (IsEqualIID(iid, IID_ISupportErrorInfo))
        found = static_cast<ISupportErrorInfo*>(this);
    else if (IsEqualIID(iid, IID_IPersistStreamInit) || IsEqualIID(iid, IID_IPersistStream) ||
             IsEqualIID(iid, IID_IPersist))
        found = static_cast<IPersistStreamInit*>(this);  // the first slots of both tables agree
    else if (IsEqualIID(iid, IID_IBaseControlDispatch) || IsEqualIID(iid, IID_IDispatch))
        found = static_cast<IBaseControlDispatch*>(this);
    else if (IsEqualIID(iid, IID_IConnectionPointContainer))
        found = static_cast<IConnectionPointContainer*>(this);
    else if (IsEqualIID(iid, IID_ISelfInserter))
        found = static_cast<ISelfInserter*>(this);
    else if (IsEqualIID(iid, IID_IPerPropertyBrowsing))
        found = static_cast<IPerPropertyBrowsing*>(this);
    else if (IsEqualIID(iid, IID_IBaseControl))
        found = static_cast<IBaseControl*>(this);
    else if (IsEqualIID(iid, IID_IControlControl))
        found = static_cast<IControlControl*>(this);
    else if (IsEqualIID(iid, IID_IPropChanger))
        found = static_cast<IPropChanger*>(this);
    else if (IsEqualIID(iid, IID_IUIUpdater))
        found = static_cast<IUIUpdater*>(this);
    if (!found) return E_NOINTERFACE;
    *ppv = found;
    GetUnknown()->AddRef();
    return S_OK;
}

// IProvideClassInfo2 ------------------------------------------------------------------------------

STDMETHODIMP CDrawControlBase::GetClassInfo(ITypeInfo** info) {
    return GetControlsTypeInfo(GetControlClsid(), info);
}

STDMETHODIMP CDrawControlBase::GetGUID(DWORD kind, GUID* guid) {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = IID_ITarnSiteEvents;
    return S_OK;
}

STDMETHODIMP CDrawControlBase::InterfaceSupportsErrorInfo(REFIID iid) {
    return IsEqualIID(iid, IID_IBaseControl) ? S_OK : S_FALSE;
}

// Events ---------------------------------------------------------------------------------------------

void CDrawControlBase::FireAddUndo(tagUndoData* data) {
    ForEachSink([&](ITarnSiteEvents* sink) { sink->AddUndo(data); });
}

void CDrawControlBase::FireInvalidate(const tagRectF& rect, int makeValid) {
    ForEachSink([&](ITarnSiteEvents* sink) {
        tagRectF copy = rect;
        sink->Invalidate(&copy, makeValid, 1);
    });
}

void CDrawControlBase::FireSelectionChanged() {
    ForEachSink([&](ITarnSiteEvents* sink) { sink->SelectionChanged(static_cast<IBaseControl*>(this)); });
}

// ISelfInserter --------------------------------------------------------------------------------------

STDMETHODIMP CDrawControlBase::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult,
                                         ITarnViewEvents*) {
    LRESULT result = 0;
    const BOOL handled = ProcessWindowMessage(nullptr, msg, wParam, lParam, result, messageMapId_);
    if (plResult) *plResult = result;
    return handled ? S_OK : S_FALSE;
}

STDMETHODIMP CDrawControlBase::CheckInsertingState(tagControlInsertingResult* result) {
    if (!result) return E_POINTER;
    *result = static_cast<tagControlInsertingResult>(insertState_);
    return S_OK;
}

STDMETHODIMP CDrawControlBase::SetInserterInterface(IControlInserter* inserter) {
    if (inserter) inserter->AddRef();
    if (inserter_) inserter_->Release();
    inserter_ = inserter;
    if (inserter) {
        state_ = kStateFresh;
        messageMapId_ = kMapInserting;
        LONG id = typeId_;
        if (SUCCEEDED(inserter->get_ControlID(&id))) typeId_ = id;
    } else {
        state_ = kStateIdle;
        messageMapId_ = kMapNormal;
    }
    return S_OK;
}

STDMETHODIMP CDrawControlBase::GetInsertingControl(IBaseControl** control) {
    if (!control) return E_POINTER;
    return InternalQueryInterface(IID_IBaseControl, reinterpret_cast<void**>(control));
}

// IPerPropertyBrowsing --------------------------------------------------------------------------------

STDMETHODIMP CDrawControlBase::GetDisplayString(DISPID dispid, BSTR* text) {
    if (!text) return E_POINTER;
    *text = nullptr;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = static_cast<IBaseControlDispatch*>(this)->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT,
                                                                   DISPATCH_PROPERTYGET, &none, &value, nullptr,
                                                                   nullptr);
    if (FAILED(hr)) return S_FALSE;
    hr = VariantChangeType(&value, &value, 0, VT_BSTR);
    if (FAILED(hr)) {
        VariantClear(&value);
        return S_FALSE;
    }
    *text = V_BSTR(&value);  // ownership passes to the caller
    return S_OK;
}

STDMETHODIMP CDrawControlBase::MapPropertyToPage(DISPID dispid, CLSID* page) {
    if (!page) return E_POINTER;
    const PropMapEntry* entry = FindPropMapEntry(GetPropertyMap(), dispid);
    if (!entry) return E_NOTIMPL;
    *page = *entry->pclsidPropPage;
    return S_OK;
}

STDMETHODIMP CDrawControlBase::GetPredefinedStrings(DISPID, CALPOLESTR* strings, CADWORD* cookies) {
    if (!strings || !cookies) return E_POINTER;
    strings->cElems = 0;
    strings->pElems = nullptr;
    cookies->cElems = 0;
    cookies->pElems = nullptr;
    return S_OK;
}

STDMETHODIMP CDrawControlBase::GetPredefinedValue(DISPID, DWORD, VARIANT*) { return E_NOTIMPL; }

// Small interfaces --------------------------------------------------------------------------------------

STDMETHODIMP CDrawControlBase::EnterDirectDataMode() {
    ++directDataDepth_;
    return S_OK;
}

STDMETHODIMP CDrawControlBase::LeaveDirectDataMode() {
    if (directDataDepth_ == 0) return E_INVALIDARG;
    --directDataDepth_;
    return S_OK;
}

STDMETHODIMP CDrawControlBase::Copy(IUnknown* source) { return source ? S_OK : E_POINTER; }

STDMETHODIMP CDrawControlBase::Update(LONG_PTR lParam, LONG* enabled, LONG* checked, LONG* isRadioButton) {
    if (LOWORD(lParam) != kCommandProperties) return S_FALSE;
    if (enabled) *enabled = 1;
    if (checked) *checked = 0;
    if (isRadioButton) *isRadioButton = 0;
    return S_OK;
}

// Error information ---------------------------------------------------------------------------------------

HRESULT CDrawControlBase::ReportError(const wchar_t* text, DWORD helpContext, const wchar_t* helpFile,
                                      const IID& iid, HRESULT hr) {
    ICreateErrorInfo* create = nullptr;
    if (SUCCEEDED(CreateErrorInfo(&create))) {
        create->SetGUID(iid);
        create->SetDescription(const_cast<LPOLESTR>(text ? text : L""));
        create->SetHelpContext(helpContext);
        if (helpFile) create->SetHelpFile(const_cast<LPOLESTR>(helpFile));
        IErrorInfo* info = nullptr;
        if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
            SetErrorInfo(0, info);
            info->Release();
        }
        create->Release();
    }
    return hr != 0 ? hr : E_FAIL;
}

HRESULT CDrawControlBase::ReportError(const char* text, DWORD helpContext, const wchar_t* helpFile, const IID& iid,
                                      HRESULT hr) {
    std::wstring wide;
    const int length = MultiByteToWideChar(CP_ACP, 0, text ? text : "", -1, nullptr, 0);
    if (length > 0) {
        wide.resize(length - 1);
        MultiByteToWideChar(CP_ACP, 0, text ? text : "", -1, &wide[0], length);
    }
    return ReportError(wide.c_str(), helpContext, helpFile, iid, hr);
}

HRESULT CDrawControlBase::ReportError(UINT textId, DWORD helpContext, const wchar_t* helpFile, const IID& iid,
                                      HRESULT hr) {
    return ReportError(LoadResourceString(textId).c_str(), helpContext, helpFile, iid, hr);
}

HRESULT CDrawControlBase::ReportError(const wchar_t* text, const IID& iid, HRESULT hr) {
    return ReportError(text, 0, nullptr, iid, hr);
}

HRESULT CDrawControlBase::ReportError(const char* text, const IID& iid, HRESULT hr) {
    return ReportError(text, 0, nullptr, iid, hr);
}

HRESULT CDrawControlBase::ReportError(UINT textId, const IID& iid, HRESULT hr) {
    return ReportError(textId, 0, nullptr, iid, hr);
}
