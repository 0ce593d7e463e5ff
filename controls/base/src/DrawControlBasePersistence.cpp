// Saving and loading the common records, and duplication through a memory stream.
#include <cstring>
#include <string>

#include "tarn/DrawControlBase.h"

STDMETHODIMP CDrawControlBase::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = GetControlClsid();
    return S_OK;
}

STDMETHODIMP CDrawControlBase::IsDirty() { return modified_ ? S_OK : S_FALSE; }

STDMETHODIMP CDrawControlBase::GetSizeMax(ULARGE_INTEGER*) { return E_NOTIMPL; }

STDMETHODIMP CDrawControlBase::InitNew() {
    if (state_ != kStateFresh) return E_UNEXPECTED;
    visible_ = true;
    state_ = kStateIdle;
    SetModified(false);
    FreeTemporaryData();
    Invalidate();
    return S_OK;
}

STDMETHODIMP CDrawControlBase::Save(IStream* stream, BOOL clearDirty) {
    if (!stream) return E_POINTER;
    HRESULT hr = SaveProperties(stream);
    if (FAILED(hr)) return hr;
    hr = WriteRecordTerminator(stream);
    if (FAILED(hr)) return hr;
    if (clearDirty) modified_ = false;
    return S_OK;
}

HRESULT CDrawControlBase::SaveProperties(IStream* stream) {
    const LONG visible = visible_ ? 1 : 0;
    HRESULT hr = __SaveProp(stream, kRecordVisible, &visible, sizeof visible);
    if (SUCCEEDED(hr))
        hr = __SaveProp(stream, kRecordControlName, narrowName_.data(), static_cast<ULONG>(narrowName_.size()));
    if (SUCCEEDED(hr)) hr = __SaveProp(stream, kRecordTypeID, &typeId_, sizeof typeId_);
    for (auto it = parameters_.begin(); SUCCEEDED(hr) && it != parameters_.end(); ++it) {
        std::string name;
        const int length = WideCharToMultiByte(CP_ACP, 0, it->first.c_str(), -1, nullptr, 0, nullptr, nullptr);
        if (length > 1) {
            name.resize(length - 1);
            WideCharToMultiByte(CP_ACP, 0, it->first.c_str(), -1, &name[0], length, nullptr, nullptr);
        }
        if (name.empty()) continue;  // a record needs a name of at least one byte
        hr = __SaveProp(stream, name.c_str(), it->second.data(), static_cast<ULONG>(it->second.size()));
    }
    return hr;
}

STDMETHODIMP CDrawControlBase::Load(IStream* stream) {
    if (!stream) return E_POINTER;
    // Every record is read before anything changes, so a damaged stream leaves the control as it was.
    CTarnPropertyBag bag;
    HRESULT hr = bag.ReadFrom(stream);
    if (FAILED(hr)) return hr;
    if (state_ == kStateFresh) state_ = kStateIdle;
    SetModified(false);
    FreeTemporaryData();
    hr = LoadProperties(bag);
    if (SUCCEEDED(hr)) {
        OnChanged(false);
        Invalidate();
    }
    return hr;
}

HRESULT CDrawControlBase::LoadProperties(CTarnPropertyBag& bag) {
    LONG visible = 0;
    const void* data = nullptr;
    ULONG size = 0;
    if (bag.FindProperty("Visible", kRecordVisible, data, size)) {
        visible = 0;
        std::memcpy(&visible, data, size < sizeof visible ? size : sizeof visible);
        visible_ = visible != 0;
    } else {
        visible_ = true;  // stored controls always carry the record; a missing one shows the control
    }
    std::string name;
    if (bag.LoadPropString("ControlName", kRecordControlName, name)) {
        narrowName_ = name;
        name_.clear();
        const int length = MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
        if (length > 0) {
            name_.resize(length);
            MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), &name_[0], length);
        }
    }
    bag.LoadPropVar("TypeID", kRecordTypeID, typeId_);

    const char* unreadName = nullptr;
    if (bag.BeginUnreadedEnumeration()) {
        while (bag.GetUnreaded(unreadName, data, size)) {
            const int length = MultiByteToWideChar(CP_ACP, 0, unreadName, -1, nullptr, 0);
            if (length <= 1) continue;
            std::wstring key(length - 1, L'\0');
            MultiByteToWideChar(CP_ACP, 0, unreadName, -1, &key[0], length);
            const BYTE* bytes = static_cast<const BYTE*>(data);
            parameters_[key].assign(bytes, bytes + size);
        }
    }
    return S_OK;
}

STDMETHODIMP CDrawControlBase::DuplicateTo(LONG bForPropPages, IBaseControl** ppDest) {
    if (!ppDest) return E_POINTER;
    *ppDest = nullptr;
    duplicatingForPages_ = bForPropPages;
    HRESULT result = E_FAIL;
    IStream* stream = nullptr;
    if (SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) {
        IPersistStream* persist = nullptr;
        InternalQueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist));
        LARGE_INTEGER start{};
        if (persist && SUCCEEDED(OleSaveToStream(persist, stream)) &&
            SUCCEEDED(stream->Seek(start, STREAM_SEEK_SET, nullptr)) &&
            SUCCEEDED(OleLoadFromStream(stream, IID_IBaseControl, reinterpret_cast<void**>(ppDest))))
            result = S_OK;
        if (persist) persist->Release();
        stream->Release();
    }
    if (FAILED(result)) *ppDest = nullptr;
    duplicatingForPages_ = 0;
    return result;
}
