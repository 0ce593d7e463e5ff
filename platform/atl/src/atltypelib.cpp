#include "atlregistrar.h"
#include <oleauto.h>
#include <string>

namespace {

std::wstring TypeLibPath(HINSTANCE module, UINT index) {
    wchar_t buffer[MAX_PATH + 16];
    DWORD length = ::GetModuleFileNameW(module, buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    std::wstring path(buffer, length);
    if (index > 1) path += L"\\" + std::to_wstring(index);
    return path;
}

}  // namespace

HRESULT AtlRegisterTypeLib(HINSTANCE module, UINT index) {
    std::wstring path = TypeLibPath(module, index);
    if (path.empty()) return HRESULT_FROM_WIN32(::GetLastError());
    ITypeLib* typeLib = nullptr;
    HRESULT hr = ::LoadTypeLibEx(path.c_str(), REGKIND_NONE, &typeLib);
    if (FAILED(hr)) return hr;
    std::wstring moduleFile = TypeLibPath(module, 1);
    std::wstring helpDir = moduleFile.substr(0, moduleFile.find_last_of(L"\\/"));
    hr = ::RegisterTypeLib(typeLib, const_cast<LPOLESTR>(path.c_str()), const_cast<LPOLESTR>(helpDir.c_str()));
    typeLib->Release();
    return hr;
}

HRESULT AtlUnRegisterTypeLib(HINSTANCE module, UINT index) {
    std::wstring path = TypeLibPath(module, index);
    if (path.empty()) return HRESULT_FROM_WIN32(::GetLastError());
    ITypeLib* typeLib = nullptr;
    HRESULT hr = ::LoadTypeLibEx(path.c_str(), REGKIND_NONE, &typeLib);
    if (FAILED(hr)) return hr;
    TLIBATTR* attributes = nullptr;
    hr = typeLib->GetLibAttr(&attributes);
    if (SUCCEEDED(hr)) {
        hr = ::UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                                 attributes->lcid, attributes->syskind);
        typeLib->ReleaseTLibAttr(attributes);
    }
    typeLib->Release();
    return hr;
}
