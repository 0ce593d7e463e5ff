#include "tarn/SingleConnectionPoint.h"

#include <new>

namespace {
template <class Interface, const IID* piid, class Item>
class CSnapshotEnum : public Interface {
public:
    explicit CSnapshotEnum(std::vector<Item> items) : items_(std::move(items)) {}

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, *piid)) {
            *ppv = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHOD_(ULONG, Release)() override {
        const LONG count = InterlockedDecrement(&refs_);
        if (count == 0) delete this;
        return static_cast<ULONG>(count);
    }
    STDMETHOD(Next)(ULONG count, Item* out, ULONG* fetched) override {
        if (!out || (count > 1 && !fetched)) return E_POINTER;
        ULONG n = 0;
        for (; n < count && position_ < items_.size(); ++n, ++position_) {
            out[n] = items_[position_];
            Hold(out[n]);
        }
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    STDMETHOD(Skip)(ULONG count) override {
        const size_t left = items_.size() - position_;
        position_ += count < left ? count : left;
        return count <= left ? S_OK : S_FALSE;
    }
    STDMETHOD(Reset)() override {
        position_ = 0;
        return S_OK;
    }
    STDMETHOD(Clone)(Interface** copy) override {
        if (!copy) return E_POINTER;
        auto* twin = new (std::nothrow) CSnapshotEnum(items_);
        if (!twin) return E_OUTOFMEMORY;
        twin->HoldAll();
        twin->position_ = position_;
        twin->AddRef();
        *copy = twin;
        return S_OK;
    }

    ~CSnapshotEnum() {
        for (Item& item : items_) Drop(item);
    }
    void HoldAll() {
        for (Item& item : items_) Hold(item);
    }

private:
    static void Hold(CONNECTDATA& data) { data.pUnk->AddRef(); }
    static void Drop(CONNECTDATA& data) { data.pUnk->Release(); }
    static void Hold(IConnectionPoint*& point) { point->AddRef(); }
    static void Drop(IConnectionPoint*& point) { point->Release(); }

    std::vector<Item> items_;
    size_t position_ = 0;
    LONG refs_ = 0;
};

typedef CSnapshotEnum<IEnumConnections, &IID_IEnumConnections, CONNECTDATA> CConnectionsEnum;
typedef CSnapshotEnum<IEnumConnectionPoints, &IID_IEnumConnectionPoints, IConnectionPoint*> CPointsEnum;
}  // namespace

HRESULT CreateConnectionsEnum(const std::vector<IUnknown*>& sinks, IEnumConnections** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    std::vector<CONNECTDATA> items;
    for (size_t i = 0; i < sinks.size(); ++i)
        if (sinks[i]) items.push_back(CONNECTDATA{sinks[i], static_cast<DWORD>(i + 1)});
    auto* enumerator = new (std::nothrow) CConnectionsEnum(items);
    if (!enumerator) return E_OUTOFMEMORY;
    enumerator->HoldAll();
    enumerator->AddRef();
    *result = enumerator;
    return S_OK;
}

HRESULT CreateConnectionPointsEnum(IConnectionPoint* point, IEnumConnectionPoints** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    auto* enumerator = new (std::nothrow) CPointsEnum(std::vector<IConnectionPoint*>{point});
    if (!enumerator) return E_OUTOFMEMORY;
    enumerator->HoldAll();
    enumerator->AddRef();
    *result = enumerator;
    return S_OK;
}

CSinkList::CSinkList() { InitializeCriticalSection(&lock_); }

CSinkList::~CSinkList() {
    for (IUnknown* sink : sinks_)
        if (sink) sink->Release();
    DeleteCriticalSection(&lock_);
}

HRESULT CSinkList::Advise(IUnknown* sink, REFIID iid, DWORD* cookie) {
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!sink) return E_POINTER;
    IUnknown* events = nullptr;
    if (FAILED(sink->QueryInterface(iid, reinterpret_cast<void**>(&events))) || !events)
        return CONNECT_E_CANNOTCONNECT;
    EnterCriticalSection(&lock_);
    sinks_.push_back(events);
    *cookie = static_cast<DWORD>(sinks_.size());
    LeaveCriticalSection(&lock_);
    return S_OK;
}

HRESULT CSinkList::Unadvise(DWORD cookie) {
    IUnknown* sink = nullptr;
    EnterCriticalSection(&lock_);
    if (cookie >= 1 && cookie <= sinks_.size()) {
        sink = sinks_[cookie - 1];
        sinks_[cookie - 1] = nullptr;
    }
    LeaveCriticalSection(&lock_);
    if (!sink) return CONNECT_E_NOCONNECTION;
    sink->Release();
    return S_OK;
}

HRESULT CSinkList::Enumerate(IEnumConnections** result) {
    EnterCriticalSection(&lock_);
    const HRESULT hr = CreateConnectionsEnum(sinks_, result);
    LeaveCriticalSection(&lock_);
    return hr;
}
