#pragma once
// IDispatch of a dual interface served from the server's own type library through
// ITypeInfo::Invoke, so that method names and argument coercion follow the library exactly.
#include <windows.h>
#include <oaidl.h>

// The type information of one interface of TARNCONTROLSLib: from the registered library when
// there is one, else from the TYPELIB resource of the module that holds this code.
HRESULT GetControlsTypeInfo(REFIID iid, ITypeInfo** info);
HRESULT GetControlsTypeLib(ITypeLib** lib);
// Drops the cached library (module shut-down).
void ReleaseControlsTypeLib();

template <class Interface, const IID* piid>
class IDispatchFromTypeLib : public Interface {
public:
    STDMETHOD(GetTypeInfoCount)(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    STDMETHOD(GetTypeInfo)(UINT index, LCID, ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        return GetControlsTypeInfo(*piid, info);
    }
    STDMETHOD(GetIDsOfNames)(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        ITypeInfo* info = nullptr;
        HRESULT hr = GetControlsTypeInfo(*piid, &info);
        if (FAILED(hr)) return hr;
        hr = info->GetIDsOfNames(names, count, ids);
        info->Release();
        return hr;
    }
    STDMETHOD(Invoke)(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* excepInfo, UINT* argError) override {
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        ITypeInfo* info = nullptr;
        HRESULT hr = GetControlsTypeInfo(*piid, &info);
        if (FAILED(hr)) return hr;
        hr = info->Invoke(static_cast<Interface*>(this), id, flags, params, result, excepInfo, argError);
        info->Release();
        return hr;
    }
};
