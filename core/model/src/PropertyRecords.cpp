#include <cstring>

#include "Persistent.h"

namespace {

HRESULT WriteAll(IStream* stream, const void* data, ULONG size)
{
    if (size == 0)
        return S_OK;
    ULONG written = 0;
    HRESULT hr = stream->Write(data, size, &written);
    if (FAILED(hr))
        return hr;
    return written == size ? S_OK : STG_E_MEDIUMFULL;
}

}  // namespace

HRESULT __SaveProp(IStream* stream, const char* name, const void* data, ULONG size, bool byId)
{
    if (!stream)
        return E_POINTER;
    HRESULT hr;
    if (byId) {
        // The name argument carries the record's id.
        const DWORD key = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(name));
        hr = WriteAll(stream, &key, sizeof key);
    } else {
        const DWORD key = name ? static_cast<DWORD>(std::strlen(name)) : 0;
        hr = WriteAll(stream, &key, sizeof key);
        if (SUCCEEDED(hr))
            hr = WriteAll(stream, name, key);
    }
    if (SUCCEEDED(hr))
        hr = WriteAll(stream, &size, sizeof size);
    if (SUCCEEDED(hr))
        hr = WriteAll(stream, data, size);
    return hr;
}

HRESULT __SaveProp(IStream* stream, long id, const void* data, ULONG size)
{
    return __SaveProp(stream, reinterpret_cast<const char*>(static_cast<UINT_PTR>(static_cast<DWORD>(id))), data,
                      size, true);
}
