#include <cstring>

#include "Persistent.h"
#include "TarnPropertyBag.h"

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
    if (!stream || (!data && size))
        return E_POINTER;
    HRESULT hr;
    if (byId) {
        // The name argument carries the record's id. An id without its marker bit would be read
        // back as a name length, and 0 as the end of the list.
        const DWORD key = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(name));
        if (!(key & kPropertyIdBit))
            return E_INVALIDARG;
        hr = WriteAll(stream, &key, sizeof key);
    } else {
        // An empty name would be read back as the end of the list.
        const DWORD key = name ? static_cast<DWORD>(std::strlen(name)) : 0;
        if (key == 0 || (key & kPropertyIdBit))
            return E_INVALIDARG;
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
