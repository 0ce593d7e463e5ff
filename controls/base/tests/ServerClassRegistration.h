#pragma once
// Makes a class of the built TarnControls.dll creatable by CoCreateInstance in this test process
// only, so that tests running beside the registration tests do not depend on the registry.
#include <windows.h>

class CServerClassRegistration {
public:
    explicit CServerClassRegistration(REFCLSID clsid);
    ~CServerClassRegistration();
    CServerClassRegistration(const CServerClassRegistration&) = delete;
    CServerClassRegistration& operator=(const CServerClassRegistration&) = delete;

    HRESULT Result() const { return result_; }

private:
    HMODULE server_ = nullptr;
    DWORD cookie_ = 0;
    HRESULT result_ = E_FAIL;
};
