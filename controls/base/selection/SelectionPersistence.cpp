// A saved selection: a "Count" record, each control with its class, then the layer's records.
// Loading puts each control at the head, so a selection comes back in reverse order.
#include <cstring>

#include "selection/SelectionControl.h"
#include "tarn/PropertyRecords.h"

namespace {
const char kCountName[] = "Count";
// The least a stored control takes: its class identifier.
const ULONGLONG kSmallestControl = sizeof(CLSID);

bool ReadExact(IStream* stream, void* data, ULONG size) {
    ULONG read = 0;
    return SUCCEEDED(stream->Read(data, size, &read)) && read == size;
}

// Bytes between the stream's position and its end; false when the stream cannot tell.
bool RemainingBytes(IStream* stream, ULONGLONG& remaining) {
    STATSTG stat = {};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME))) return false;
    LARGE_INTEGER zero = {};
    ULARGE_INTEGER position = {};
    if (FAILED(stream->Seek(zero, STREAM_SEEK_CUR, &position))) return false;
    remaining = stat.cbSize.QuadPart > position.QuadPart ? stat.cbSize.QuadPart - position.QuadPart : 0;
    return true;
}

// The "Count" record: its name and a 4-byte number no larger than the rest of the stream can hold.
HRESULT ReadCount(IStream* stream, LONG& count) {
    ULONG nameLength = 0;
    if (!ReadExact(stream, &nameLength, sizeof nameLength)) return E_FAIL;
    if (nameLength != sizeof kCountName - 1) return E_FAIL;
    char name[sizeof kCountName] = {};
    if (!ReadExact(stream, name, nameLength) || std::memcmp(name, kCountName, nameLength) != 0) return E_FAIL;
    ULONG size = 0;
    if (!ReadExact(stream, &size, sizeof size) || size != sizeof count) return E_FAIL;
    if (!ReadExact(stream, &count, sizeof count)) return E_FAIL;
    ULONGLONG remaining = 0;
    if (count < 0 || !RemainingBytes(stream, remaining)) return E_FAIL;
    if (static_cast<ULONGLONG>(count) * kSmallestControl > remaining) return E_FAIL;
    return S_OK;
}

// One stored control: its class identifier and its own data. Unlike OleLoadFromStream, a control
// that fails to load is released here, on every path.
HRESULT LoadControl(IStream* stream, IBaseControl** control) {
    *control = nullptr;
    CLSID clsid;
    if (FAILED(ReadClassStm(stream, &clsid))) return E_FAIL;
    IPersistStream* persist = nullptr;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPersistStream,
                                reinterpret_cast<void**>(&persist))) ||
        !persist)
        return E_FAIL;
    HRESULT hr = persist->Load(stream);
    if (SUCCEEDED(hr)) hr = persist->QueryInterface(IID_IBaseControl, reinterpret_cast<void**>(control));
    persist->Release();
    if (FAILED(hr) || !*control) {
        if (*control) (*control)->Release();
        *control = nullptr;
        return E_FAIL;
    }
    return S_OK;
}

void ReleaseAll(std::vector<IBaseControl*>& controls) {
    for (IBaseControl* control : controls) control->Release();
    controls.clear();
}
}  // namespace

STDMETHODIMP CSelectionControl::Save(IStream* stream, BOOL clearDirty) {
    if (!stream) return E_POINTER;
    const LONG count = static_cast<LONG>(selected_.size());
    HRESULT hr = __SaveProp(stream, kCountName, &count, sizeof count);
    for (size_t i = 0; SUCCEEDED(hr) && i < selected_.size(); ++i) {
        IPersistStream* persist = nullptr;
        hr = selected_[i]->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist));
        if (FAILED(hr)) break;
        hr = OleSaveToStream(persist, stream);
        persist->Release();
    }
    if (FAILED(hr)) return hr;
    return CRectControlBase::Save(stream, clearDirty);
}

STDMETHODIMP CSelectionControl::Load(IStream* stream) {
    if (!stream) return E_POINTER;
    LONG count = 0;
    if (FAILED(ReadCount(stream, count))) return E_FAIL;
    // Everything is read before the selection changes: a damaged stream leaves it as it was.
    std::vector<IBaseControl*> loaded;
    for (LONG i = 0; i < count; ++i) {
        IBaseControl* control = nullptr;
        if (FAILED(LoadControl(stream, &control))) {
            ReleaseAll(loaded);
            return E_FAIL;
        }
        loaded.push_back(control);
    }
    if (FAILED(CRectControlBase::Load(stream))) {
        ReleaseAll(loaded);
        return E_FAIL;
    }
    ResetSelectionList();
    for (IBaseControl* control : loaded) selected_.insert(selected_.begin(), control);  // the load's reference
    if (selected_.empty())
        DeleteList();
    else
        UpdateSelectionFrame();
    return S_OK;
}
