#pragma once
// Concrete objects made from a class derived from CComObjectRoot: standalone, aggregated,
// and the creators the class factories call.
#include <new>
#include "atlobjectroot.h"
#include "atlmodule.h"

// A standalone object: owns its count and keeps the module loaded while it lives.
template <class Base>
class CComObject final : public Base {
public:
    explicit CComObject(void* = nullptr) { AtlModuleLock(); }
    ~CComObject() {
        // A large count keeps references taken and dropped during FinalRelease from deleting twice.
        this->m_dwRef = 1 << 28;
        this->FinalRelease();
        AtlModuleUnlock();
    }
    STDMETHOD_(ULONG, AddRef)() { return this->InternalAddRef(); }
    STDMETHOD_(ULONG, Release)() {
        ULONG count = this->InternalRelease();
        if (count == 0) delete this;
        return count;
    }
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) { return this->InternalQueryInterface(iid, ppv); }

    // Makes an object with a count of 0 after FinalConstruct; the caller takes the first reference.
    static HRESULT CreateInstance(CComObject<Base>** pp) {
        if (!pp) return E_POINTER;
        *pp = nullptr;
        auto* object = new (std::nothrow) CComObject<Base>();
        if (!object) return E_OUTOFMEMORY;
        object->InternalAddRef();
        HRESULT hr = object->FinalConstruct();
        object->InternalRelease();
        if (FAILED(hr)) {
            delete object;
            return hr;
        }
        *pp = object;
        return S_OK;
    }
};

// Like CComObject but leaves the module's lock count alone: used for cached class factories,
// which live as long as the module and must not keep it from unloading.
template <class Base>
class CComObjectNoLock final : public Base {
public:
    explicit CComObjectNoLock(void* = nullptr) {}
    ~CComObjectNoLock() {
        this->m_dwRef = 1 << 28;
        this->FinalRelease();
    }
    STDMETHOD_(ULONG, AddRef)() { return this->InternalAddRef(); }
    STDMETHOD_(ULONG, Release)() {
        ULONG count = this->InternalRelease();
        if (count == 0) delete this;
        return count;
    }
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) { return this->InternalQueryInterface(iid, ppv); }
};

// The inner part of an aggregate: its IUnknown methods all go to the outer object.
template <class Base>
class CComContainedObject : public Base {
public:
    explicit CComContainedObject(void* outer) { this->m_pOuterUnknown = static_cast<IUnknown*>(outer); }
    STDMETHOD_(ULONG, AddRef)() { return this->OuterAddRef(); }
    STDMETHOD_(ULONG, Release)() { return this->OuterRelease(); }
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) { return this->OuterQueryInterface(iid, ppv); }
    IUnknown* GetControllingUnknown() { return this->m_pOuterUnknown; }
};

// The object an aggregating outer holds: its own IUnknown counts and answers for the inner part,
// which it owns by value.
template <class Contained>
class CComAggObject : public IUnknown {
public:
    explicit CComAggObject(void* outer) : m_contained(outer) { AtlModuleLock(); }
    virtual ~CComAggObject() {
        m_dwRef = 1 << 28;
        m_contained.FinalRelease();
        AtlModuleUnlock();
    }
    HRESULT FinalConstruct() { return m_contained.FinalConstruct(); }
    void SetVoid(void* pv) { m_contained.SetVoid(pv); }
    ULONG InternalAddRef() { return static_cast<ULONG>(++m_dwRef); }
    ULONG InternalRelease() { return static_cast<ULONG>(--m_dwRef); }

    STDMETHOD_(ULONG, AddRef)() { return InternalAddRef(); }
    STDMETHOD_(ULONG, Release)() {
        ULONG count = InternalRelease();
        if (count == 0) delete this;
        return count;
    }
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (IsEqualIID(iid, IID_IUnknown)) {
            *ppv = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        return m_contained.InternalQueryInterface(iid, ppv);
    }

    CComContainedObject<Contained> m_contained;

private:
    LONG m_dwRef = 0;
};

// Signature of every creator in an object map: (outer unknown or creator argument, iid, out pointer).
typedef HRESULT(WINAPI* AtlCreatorFunction)(void* pv, REFIID iid, void** ppv);

// Makes one T (a CComObject, CComObjectNoLock or CComAggObject) and queries it for iid.
template <class T>
class CComCreator {
public:
    static HRESULT WINAPI CreateInstance(void* pv, REFIID iid, void** ppv) {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        T* object = new (std::nothrow) T(pv);
        if (!object) return E_OUTOFMEMORY;
        object->SetVoid(pv);
        // The extra reference keeps FinalConstruct's own AddRef/Release pairs from deleting the object.
        object->InternalAddRef();
        HRESULT hr = object->FinalConstruct();
        if (SUCCEEDED(hr)) hr = object->QueryInterface(iid, ppv);
        object->Release();
        return hr;
    }
};

// Chooses the standalone form without an outer unknown and the aggregated form with one.
template <class Standalone, class Aggregated>
class CComCreator2 {
public:
    static HRESULT WINAPI CreateInstance(void* pv, REFIID iid, void** ppv) {
        return pv ? Aggregated::CreateInstance(pv, iid, ppv) : Standalone::CreateInstance(nullptr, iid, ppv);
    }
};

template <HRESULT hr>
class CComFailCreator {
public:
    static HRESULT WINAPI CreateInstance(void*, REFIID, void** ppv) {
        if (ppv) *ppv = nullptr;
        return hr;
    }
};

#define DECLARE_AGGREGATABLE(x)                                                                \
public:                                                                                         \
    typedef CComCreator2<CComCreator<CComObject<x>>, CComCreator<CComAggObject<x>>> _CreatorClass;

#define DECLARE_NOT_AGGREGATABLE(x)                                                            \
public:                                                                                         \
    typedef CComCreator2<CComCreator<CComObject<x>>, CComFailCreator<CLASS_E_NOAGGREGATION>>  \
        _CreatorClass;

#define DECLARE_ONLY_AGGREGATABLE(x)                                                           \
public:                                                                                         \
    typedef CComCreator2<CComFailCreator<E_FAIL>, CComCreator<CComAggObject<x>>> _CreatorClass;

#define DECLARE_REGISTRY_RESOURCEID(id)                                                        \
public:                                                                                         \
    static HRESULT WINAPI UpdateRegistry(BOOL bRegister) {                                      \
        return AtlModule()->UpdateRegistryFromResource(id, bRegister);                          \
    }

#define DECLARE_NO_REGISTRY()                                                                  \
public:                                                                                         \
    static HRESULT WINAPI UpdateRegistry(BOOL) { return S_OK; }
