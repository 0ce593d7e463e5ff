#include "atlvariant.h"
#include "atlbstr.h"

CComVariant::CComVariant(LPCOLESTR text) {
    ::VariantInit(this);
    vt = VT_BSTR;
    bstrVal = ::SysAllocString(text ? text : L"");
    if (!bstrVal) {
        vt = VT_ERROR;
        scode = E_OUTOFMEMORY;
    }
}

CComVariant::CComVariant(LPCSTR text) {
    ::VariantInit(this);
    CComBSTR converted(text ? text : "");
    vt = VT_BSTR;
    bstrVal = converted.Detach();
    if (!bstrVal) {
        vt = VT_ERROR;
        scode = E_OUTOFMEMORY;
    }
}

CComVariant::CComVariant(IUnknown* unknown) {
    ::VariantInit(this);
    vt = VT_UNKNOWN;
    punkVal = unknown;
    if (unknown) unknown->AddRef();
}

CComVariant::CComVariant(IDispatch* dispatch) {
    ::VariantInit(this);
    vt = VT_DISPATCH;
    pdispVal = dispatch;
    if (dispatch) dispatch->AddRef();
}

void CComVariant::InternalCopy(const VARIANT* source) {
    HRESULT hr = ::VariantCopy(this, const_cast<VARIANT*>(source));
    if (FAILED(hr)) {
        vt = VT_ERROR;
        scode = hr;
    }
}

bool CComVariant::operator==(const VARIANT& other) const {
    if (this == &other) return true;
    if (vt != other.vt) return false;
    switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
        return true;
    case VT_UNKNOWN:
    case VT_DISPATCH:
        return punkVal == other.punkVal;
    default:
        break;
    }
    return ::VarCmp(const_cast<VARIANT*>(static_cast<const VARIANT*>(this)), const_cast<VARIANT*>(&other),
                    LOCALE_USER_DEFAULT, 0) == static_cast<HRESULT>(VARCMP_EQ);
}

HRESULT CComVariant::Attach(VARIANT* source) {
    if (!source) return E_POINTER;
    HRESULT hr = Clear();
    if (FAILED(hr)) return hr;
    *static_cast<VARIANT*>(this) = *source;
    source->vt = VT_EMPTY;
    return S_OK;
}

HRESULT CComVariant::Detach(VARIANT* target) {
    if (!target) return E_POINTER;
    HRESULT hr = ::VariantClear(target);
    if (FAILED(hr)) return hr;
    *target = *static_cast<VARIANT*>(this);
    vt = VT_EMPTY;
    return S_OK;
}

HRESULT CComVariant::ChangeType(VARTYPE type, const VARIANT* source) {
    VARIANT* from = const_cast<VARIANT*>(source ? source : static_cast<VARIANT*>(this));
    return ::VariantChangeType(this, from, 0, type);
}
