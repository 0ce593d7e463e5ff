#include "ServerClassRegistration.h"

#include <objbase.h>

CServerClassRegistration::CServerClassRegistration(REFCLSID clsid) {
    server_ = ::LoadLibraryA("TarnControls.dll");
    if (!server_) return;
    typedef HRESULT(WINAPI * GetClassObjectFn)(REFCLSID, REFIID, void**);
    auto getClassObject = reinterpret_cast<GetClassObjectFn>(::GetProcAddress(server_, "DllGetClassObject"));
    if (!getClassObject) return;
    IUnknown* factory = nullptr;
    result_ = getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(result_)) return;
    result_ = ::CoRegisterClassObject(clsid, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
    factory->Release();
}

CServerClassRegistration::~CServerClassRegistration() {
    if (cookie_) ::CoRevokeClassObject(cookie_);
    // The server stays loaded: COM may still hold its objects until the apartment ends.
}
