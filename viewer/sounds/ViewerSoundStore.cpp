#include "ViewerSoundStore.h"

#include "CompressedReadStream.h"

HRESULT CViewerSoundStore::OpenForReading(IStorage* storage, IStream** stream)
{
    *stream = nullptr;
    IStream* raw = nullptr;
    HRESULT hr = storage->OpenStream(L"Sounds", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &raw);
    if (FAILED(hr) || !raw)
        return FAILED(hr) ? hr : E_FAIL;
    CCompressedReadStream* reader = nullptr;
    hr = CCompressedReadStream::Create(&reader);
    if (SUCCEEDED(hr))
        hr = reader->put_Donor(raw);
    // The reader holds what it needs of the raw stream.
    raw->Release();
    if (FAILED(hr)) {
        if (reader)
            reader->Release();
        return hr;
    }
    *stream = reader;
    return S_OK;
}
