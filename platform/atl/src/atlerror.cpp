#include "atlerror.h"

HRESULT AtlReportError(const CLSID& clsid, LPCOLESTR description, const IID& iid, HRESULT hr) {
    ICreateErrorInfo* create = nullptr;
    if (FAILED(::CreateErrorInfo(&create))) return hr;
    create->SetGUID(iid);
    LPOLESTR progId = nullptr;
    if (SUCCEEDED(::ProgIDFromCLSID(clsid, &progId))) {
        create->SetSource(progId);
        ::CoTaskMemFree(progId);
    }
    create->SetDescription(const_cast<LPOLESTR>(description ? description : L""));
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
        ::SetErrorInfo(0, info);
        info->Release();
    }
    create->Release();
    return hr;
}
