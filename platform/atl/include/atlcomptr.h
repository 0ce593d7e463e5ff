#pragma once
// Smart pointers that hold one reference on a COM interface.
#include <windows.h>
#include <unknwn.h>
#include <objbase.h>
#include <memory>

template <class T>
class CComPtr {
public:
    T* p = nullptr;

    CComPtr() = default;
    CComPtr(T* lp) : p(lp) { if (p) p->AddRef(); }
    CComPtr(const CComPtr& other) : CComPtr(other.p) {}
    CComPtr(CComPtr&& other) noexcept : p(other.p) { other.p = nullptr; }
    ~CComPtr() { if (p) p->Release(); }

    CComPtr& operator=(T* lp) {
        if (lp) lp->AddRef();
        T* old = p;
        p = lp;
        if (old) old->Release();
        return *this;
    }
    CComPtr& operator=(const CComPtr& other) { return *this = other.p; }
    CComPtr& operator=(CComPtr&& other) noexcept {
        if (this != std::addressof(other)) {
            T* old = p;
            p = other.p;
            other.p = nullptr;
            if (old) old->Release();
        }
        return *this;
    }

    operator T*() const { return p; }
    T& operator*() const { return *p; }
    T* operator->() const { return p; }
    bool operator!() const { return p == nullptr; }
    // Used as an out-argument: whatever was held is dropped first so that it cannot leak.
    T** operator&() { Release(); return &p; }

    void Release() {
        T* old = p;
        p = nullptr;
        if (old) old->Release();
    }
    void Attach(T* lp) {
        T* old = p;
        p = lp;
        if (old) old->Release();
    }
    T* Detach() {
        T* old = p;
        p = nullptr;
        return old;
    }
    HRESULT CopyTo(T** ppT) const {
        if (!ppT) return E_POINTER;
        *ppT = p;
        if (p) p->AddRef();
        return S_OK;
    }
    template <class Q>
    HRESULT QueryInterface(Q** pp) const {
        if (!pp) return E_POINTER;
        *pp = nullptr;
        if (!p) return E_POINTER;
        return p->QueryInterface(__uuidof(Q), reinterpret_cast<void**>(pp));
    }
    HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer = nullptr, DWORD context = CLSCTX_ALL) {
        Release();
        return ::CoCreateInstance(clsid, outer, context, __uuidof(T), reinterpret_cast<void**>(&p));
    }
    // COM identity: two pointers name the same object when their IUnknowns are equal.
    bool IsEqualObject(IUnknown* other) const {
        if (!p && !other) return true;
        if (!p || !other) return false;
        CComPtr<IUnknown> a, b;
        p->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&a.p));
        other->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&b.p));
        return a.p == b.p;
    }
};

// Takes its interface by QueryInterface from whatever it is given.
template <class T, const IID* piid = &__uuidof(T)>
class CComQIPtr : public CComPtr<T> {
public:
    CComQIPtr() = default;
    CComQIPtr(T* lp) : CComPtr<T>(lp) {}
    CComQIPtr(const CComQIPtr& other) : CComPtr<T>(other.p) {}
    explicit CComQIPtr(IUnknown* unknown) {
        if (unknown) unknown->QueryInterface(*piid, reinterpret_cast<void**>(&this->p));
    }
    CComQIPtr& operator=(T* lp) { CComPtr<T>::operator=(lp); return *this; }
    CComQIPtr& operator=(const CComQIPtr& other) { CComPtr<T>::operator=(other.p); return *this; }
};

// For IUnknown the query is for the object's identity.
template <const IID* piid>
class CComQIPtr<IUnknown, piid> : public CComPtr<IUnknown> {
public:
    CComQIPtr() = default;
    CComQIPtr(const CComQIPtr& other) : CComPtr<IUnknown>(other.p) {}
    explicit CComQIPtr(IUnknown* unknown) {
        if (unknown) unknown->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&this->p));
    }
    CComQIPtr& operator=(const CComQIPtr& other) { CComPtr<IUnknown>::operator=(other.p); return *this; }
};
