#include "ZStorage.h"
#include <algorithm>
#include <utility>
#include "ZStream.h"

namespace {

// A compressed element is read when it is attached, so a request to write is widened to read and
// write; share, create and transaction flags pass unchanged. (STGM_READWRITE alone would drop the
// share flags that a compound file insists on.)
DWORD DonorMode(DWORD requested) {
    if (requested & STGM_WRITE) return (requested & ~static_cast<DWORD>(STGM_WRITE | STGM_READWRITE)) | STGM_READWRITE;
    return requested;
}

// Copying into another compressed storage must land the stored frames in its donor; through the
// wrapper they would be compressed a second time.
CComPtr<IStorage> PlainTarget(IStorage* target) {
    CComPtr<IStorage> plain(target);
    CComPtr<IZStorage> wrapped;
    if (target && SUCCEEDED(target->QueryInterface(IID_IZStorage, reinterpret_cast<void**>(&wrapped)))) {
        CComPtr<IStorage> donor;
        wrapped->Commit(STGC_DEFAULT);
        if (SUCCEEDED(wrapped->get_Donor(&donor)) && donor) plain = donor;
    }
    return plain;
}

}  // namespace

void CZStorage::FinalRelease() {
    if (m_donor) {
        Flush();
        m_donor.Release();
    }
    if (m_parent) {
        CComPtr<IZParent> parent;
        if (SUCCEEDED(m_parent.QueryInterface(&parent))) parent->ChildStorageClosed(static_cast<IZStorage*>(this));
        parent.Release();
        m_parent.Release();
    }
    m_childStorages.clear();
    m_childStreams.clear();
}

// Wraps a donor element in this server's own wrapper class, whatever the registry says, and
// files the wrapper as a child of this storage.
template <class Wrapper, class WrapperInterface, class Element>
HRESULT CZStorage::Adopt(Element* element, DWORD requestedMode, std::vector<WrapperInterface*>& children,
                         Element** result) {
    CComPtr<WrapperInterface> wrapper;
    HRESULT hr = Wrapper::_CreatorClass::CreateInstance(nullptr, __uuidof(WrapperInterface),
                                                        reinterpret_cast<void**>(&wrapper));
    if (FAILED(hr)) {
        element->Release();
        return hr;
    }
    hr = wrapper->put_Donor(element);
    element->Release();
    if (FAILED(hr)) return hr;
    CComPtr<IZChild> child;
    if (SUCCEEDED(wrapper.QueryInterface(&child))) {
        child->SetParent(static_cast<IZStorage*>(this));
        child->SetMode(requestedMode);
    }
    children.push_back(wrapper.p);
    *result = wrapper.Detach();
    return S_OK;
}

HRESULT CZStorage::AdoptStream(IStream* element, DWORD requestedMode, IStream** stream) {
    return Adopt<CZStream>(element, requestedMode, m_childStreams, stream);
}

HRESULT CZStorage::AdoptStorage(IStorage* element, DWORD requestedMode, IStorage** storage) {
    return Adopt<CZStorage>(element, requestedMode, m_childStorages, storage);
}

STDMETHODIMP CZStorage::CreateStream(LPCOLESTR name, DWORD mode, DWORD reserved1, DWORD reserved2,
                                     IStream** stream) {
    if (!stream) return STG_E_INVALIDPOINTER;
    *stream = nullptr;
    if (!m_donor) return E_FAIL;
    IStream* element = nullptr;
    HRESULT hr = m_donor->CreateStream(name, DonorMode(mode), reserved1, reserved2, &element);
    if (FAILED(hr)) return hr;
    return AdoptStream(element, mode, stream);
}

STDMETHODIMP CZStorage::OpenStream(LPCOLESTR name, void* reserved1, DWORD mode, DWORD reserved2, IStream** stream) {
    if (!stream) return STG_E_INVALIDPOINTER;
    *stream = nullptr;
    if (!m_donor) return E_FAIL;
    IStream* element = nullptr;
    HRESULT hr = m_donor->OpenStream(name, reserved1, DonorMode(mode), reserved2, &element);
    if (FAILED(hr)) return hr;
    return AdoptStream(element, mode, stream);
}

STDMETHODIMP CZStorage::CreateStorage(LPCOLESTR name, DWORD mode, DWORD reserved1, DWORD reserved2,
                                      IStorage** storage) {
    if (!storage) return STG_E_INVALIDPOINTER;
    *storage = nullptr;
    if (!m_donor) return E_FAIL;
    IStorage* element = nullptr;
    HRESULT hr = m_donor->CreateStorage(name, DonorMode(mode), reserved1, reserved2, &element);
    if (FAILED(hr)) return hr;
    return AdoptStorage(element, mode, storage);
}

STDMETHODIMP CZStorage::OpenStorage(LPCOLESTR name, IStorage* priority, DWORD mode, SNB exclude, DWORD reserved,
                                    IStorage** storage) {
    if (!storage) return STG_E_INVALIDPOINTER;
    *storage = nullptr;
    if (!m_donor) return E_FAIL;
    IStorage* element = nullptr;
    HRESULT hr = m_donor->OpenStorage(name, priority, DonorMode(mode), exclude, reserved, &element);
    if (FAILED(hr)) return hr;
    return AdoptStorage(element, mode, storage);
}

STDMETHODIMP CZStorage::CopyTo(DWORD excludeCount, const IID* excludeIids, SNB excludeNames, IStorage* target) {
    if (!m_donor) return E_FAIL;
    HRESULT hr = Commit(STGC_OVERWRITE | STGC_ONLYIFCURRENT);
    if (FAILED(hr)) return hr;
    return m_donor->CopyTo(excludeCount, excludeIids, excludeNames, PlainTarget(target));
}

STDMETHODIMP CZStorage::MoveElementTo(LPCOLESTR name, IStorage* target, LPCOLESTR newName, DWORD flags) {
    if (!m_donor) return E_FAIL;
    HRESULT hr = Commit(STGC_OVERWRITE | STGC_ONLYIFCURRENT);
    if (FAILED(hr)) return hr;
    return m_donor->MoveElementTo(name, PlainTarget(target), newName, flags);
}

STDMETHODIMP CZStorage::Commit(DWORD flags) {
    if (!m_donor) return E_FAIL;
    Flush();
    return m_donor->Commit(flags);
}

STDMETHODIMP CZStorage::Revert() {
    if (!m_donor) return E_FAIL;
    // Copies, because reverting a child may run code that changes the arrays.
    std::vector<IZStorage*> storages(m_childStorages);
    std::vector<IZStream*> streams(m_childStreams);
    for (IZStorage* child : storages) child->Revert();
    for (IZStream* child : streams) child->Revert();
    return m_donor->Revert();
}

STDMETHODIMP CZStorage::EnumElements(DWORD reserved1, void* reserved2, DWORD reserved3, IEnumSTATSTG** elements) {
    if (!m_donor) return E_FAIL;
    return m_donor->EnumElements(reserved1, reserved2, reserved3, elements);
}

STDMETHODIMP CZStorage::DestroyElement(LPCOLESTR name) {
    if (!m_donor) return E_FAIL;
    return m_donor->DestroyElement(name);
}

STDMETHODIMP CZStorage::RenameElement(LPCOLESTR oldName, LPCOLESTR newName) {
    if (!m_donor) return E_FAIL;
    return m_donor->RenameElement(oldName, newName);
}

STDMETHODIMP CZStorage::SetElementTimes(LPCOLESTR name, const FILETIME* created, const FILETIME* accessed,
                                        const FILETIME* modified) {
    if (!m_donor) return E_FAIL;
    return m_donor->SetElementTimes(name, created, accessed, modified);
}

STDMETHODIMP CZStorage::SetClass(REFCLSID clsid) {
    if (!m_donor) return E_FAIL;
    return m_donor->SetClass(clsid);
}

STDMETHODIMP CZStorage::SetStateBits(DWORD bits, DWORD mask) {
    if (!m_donor) return E_FAIL;
    return m_donor->SetStateBits(bits, mask);
}

STDMETHODIMP CZStorage::Stat(STATSTG* stat, DWORD flags) {
    if (!stat) return STG_E_INVALIDPOINTER;
    if (!m_donor) return E_FAIL;
    HRESULT hr = m_donor->Stat(stat, flags);
    if (FAILED(hr)) return hr;
    stat->grfMode = m_mode;
    stat->grfLocksSupported = 0;
    return hr;
}

STDMETHODIMP CZStorage::get_Donor(IStorage** donor) {
    if (!donor) return E_POINTER;
    return m_donor.CopyTo(donor);
}

STDMETHODIMP CZStorage::put_Donor(IStorage* donor) {
    CComPtr<IStorage> incoming(donor);
    m_donor.Release();
    // The children stay alive with their own donors but are no longer flushed or reverted from here.
    m_childStorages.clear();
    m_childStreams.clear();
    m_donor = std::move(incoming);
    return S_OK;
}

STDMETHODIMP CZStorage::ChildStreamClosed(IZStream* child) {
    auto found = std::find(m_childStreams.begin(), m_childStreams.end(), child);
    if (found != m_childStreams.end()) m_childStreams.erase(found);
    return S_OK;
}

STDMETHODIMP CZStorage::ChildStorageClosed(IZStorage* child) {
    auto found = std::find(m_childStorages.begin(), m_childStorages.end(), child);
    if (found != m_childStorages.end()) m_childStorages.erase(found);
    return S_OK;
}

STDMETHODIMP CZStorage::SetParent(IUnknown* parent) {
    if (m_parent) return E_FAIL;
    if (!parent) return E_POINTER;
    return parent->QueryInterface(IID_IZStorage, reinterpret_cast<void**>(&m_parent));
}

STDMETHODIMP CZStorage::SetMode(DWORD mode) {
    m_mode = mode;
    return S_OK;
}

STDMETHODIMP CZStorage::Flush() {
    std::vector<IZStorage*> storages(m_childStorages);
    std::vector<IZStream*> streams(m_childStreams);
    for (IZStorage* storage : storages) {
        CComPtr<IZChild> child;
        if (SUCCEEDED(storage->QueryInterface(IID_IZChild, reinterpret_cast<void**>(&child)))) child->Flush();
    }
    for (IZStream* stream : streams) {
        CComPtr<IZChild> child;
        if (SUCCEEDED(stream->QueryInterface(IID_IZChild, reinterpret_cast<void**>(&child)))) child->Flush();
    }
    return S_OK;
}

HRESULT CZStorage::PropertySets(IPropertySetStorage** sets) {
    *sets = nullptr;
    if (!m_donor) return E_FAIL;
    return m_donor->QueryInterface(IID_IPropertySetStorage, reinterpret_cast<void**>(sets));
}

STDMETHODIMP CZStorage::Create(REFFMTID fmtid, const CLSID* clsid, DWORD flags, DWORD mode, IPropertyStorage** set) {
    CComPtr<IPropertySetStorage> sets;
    HRESULT hr = PropertySets(&sets);
    if (FAILED(hr)) return hr;
    return sets->Create(fmtid, clsid, flags, mode, set);
}

STDMETHODIMP CZStorage::Open(REFFMTID fmtid, DWORD mode, IPropertyStorage** set) {
    CComPtr<IPropertySetStorage> sets;
    HRESULT hr = PropertySets(&sets);
    if (FAILED(hr)) return hr;
    return sets->Open(fmtid, mode, set);
}

STDMETHODIMP CZStorage::Delete(REFFMTID fmtid) {
    CComPtr<IPropertySetStorage> sets;
    HRESULT hr = PropertySets(&sets);
    if (FAILED(hr)) return hr;
    return sets->Delete(fmtid);
}

STDMETHODIMP CZStorage::Enum(IEnumSTATPROPSETSTG** sets) {
    CComPtr<IPropertySetStorage> propertySets;
    HRESULT hr = PropertySets(&propertySets);
    if (FAILED(hr)) return hr;
    return propertySets->Enum(sets);
}
