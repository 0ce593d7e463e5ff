#include "controlarray/ControlArray.h"

#include <algorithm>

CControlArray::~CControlArray() { RemoveAllControls(); }

STDMETHODIMP CControlArray::AddControl(IBaseControl* control) {
    controls_.push_back(control);
    if (control) control->AddRef();
    return S_OK;
}

STDMETHODIMP CControlArray::AddControlArray(IControlArray* array) {
    if (!array) return E_POINTER;
    int count = 0;
    if (FAILED(array->get_Count(&count))) return E_FAIL;
    for (int i = 0; i < count; ++i) {
        IBaseControl* entry = nullptr;
        IBaseControl* control = nullptr;
        if (SUCCEEDED(array->get_ControlByNum(i, &entry)) && entry) {
            entry->QueryInterface(IID_IBaseControl, reinterpret_cast<void**>(&control));
            entry->Release();
        }
        controls_.push_back(control);  // the reference of the query is the entry's
    }
    return S_OK;
}

STDMETHODIMP CControlArray::RemoveControl(IBaseControl* control) {
    const auto found = std::find(controls_.begin(), controls_.end(), control);
    if (found == controls_.end()) return E_INVALIDARG;
    controls_.erase(found);
    if (control) control->Release();
    return S_OK;
}

STDMETHODIMP CControlArray::RemoveControlByNum(int n) {
    if (n < 0 || static_cast<size_t>(n) >= controls_.size()) return E_INVALIDARG;
    IBaseControl* control = controls_[n];
    controls_.erase(controls_.begin() + n);
    if (control) control->Release();
    return S_OK;
}

STDMETHODIMP CControlArray::RemoveAllControls() {
    // Emptied first: a control's last release may reach this array again.
    std::vector<IBaseControl*> released;
    released.swap(controls_);
    for (IBaseControl* control : released)
        if (control) control->Release();
    return S_OK;
}

STDMETHODIMP CControlArray::get_Count(int* nCount) {
    if (!nCount) return E_POINTER;
    *nCount = static_cast<int>(controls_.size());
    return S_OK;
}

STDMETHODIMP CControlArray::get_ControlByNum(int n, IBaseControl** control) {
    if (!control) return E_POINTER;
    *control = nullptr;
    if (n < 0 || static_cast<size_t>(n) >= controls_.size()) return E_INVALIDARG;
    *control = controls_[n];
    if (*control) (*control)->AddRef();
    return S_OK;
}

STDMETHODIMP CControlArray::IsAllSupportInterface(REFIID riid, long* pBool) {
    if (!pBool) return E_POINTER;
    *pBool = controls_.empty() ? 0 : 1;
    for (IBaseControl* control : controls_) {
        IUnknown* found = nullptr;
        if (!control || FAILED(control->QueryInterface(riid, reinterpret_cast<void**>(&found))) || !found) {
            *pBool = 0;
            break;
        }
        found->Release();
    }
    return S_OK;
}
