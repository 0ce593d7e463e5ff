#include "ComHelpers.h"

#include <cstdio>

#include "ClException.h"

namespace {

const char kGeneralError[] = "The following error occured.";
const char kCaption[] = "Utility Error Message Box.";
constexpr size_t kMessageLimit = 1024;

IConnectionPoint* FindConnectionPoint(IUnknown* source, REFIID iid)
{
    if (!source)
        AfxThrowOleException(E_POINTER);
    IConnectionPointContainer* container = nullptr;
    HRESULT hr = source->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    if (FAILED(hr) || !container)
        AfxThrowOleException(FAILED(hr) ? hr : E_NOINTERFACE);
    IConnectionPoint* point = nullptr;
    hr = container->FindConnectionPoint(iid, &point);
    container->Release();
    if (FAILED(hr) || !point)
        AfxThrowOleException(FAILED(hr) ? hr : CONNECT_E_NOCONNECTION);
    return point;
}

}  // namespace

CString FormatUtilityErrorMessage(const char* text, DWORD code)
{
    if (!text)
        text = kGeneralError;
    char* system = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&system), 0, nullptr);
    char message[kMessageLimit + 1] = {};
    if (system && *system)
        std::snprintf(message, sizeof message, "%s\r\nError: (0x%lx) - %s", text, static_cast<unsigned long>(code),
                      system);
    else
        std::snprintf(message, sizeof message, "%s\r\nError: (0x%lx)", text, static_cast<unsigned long>(code));
    if (system)
        LocalFree(system);
    return CString(message);
}

void ShowUtilityErrorMessage(const char* text, DWORD code)
{
    const CString message = FormatUtilityErrorMessage(text, code);
    MessageBoxA(nullptr, message, kCaption, MB_OK);
}

void AdviseConnectionPoint(IUnknown* source, REFIID iid, IUnknown* sink, DWORD* cookie)
{
    IConnectionPoint* point = FindConnectionPoint(source, iid);
    DWORD local = 0;
    const HRESULT hr = point->Advise(sink, cookie ? cookie : &local);
    point->Release();
    if (FAILED(hr))
        AfxThrowOleException(hr);
}

void UnadviseConnectionPoint(IUnknown* source, REFIID iid, DWORD cookie)
{
    if (cookie == 0)
        return;
    IConnectionPoint* point = FindConnectionPoint(source, iid);
    const HRESULT hr = point->Unadvise(cookie);
    point->Release();
    if (FAILED(hr))
        AfxThrowOleException(hr);
}
