#pragma once
// The root every COM object of a server derives from: a plain reference count, the outer unknown of
// an aggregate, and the interface map through which QueryInterface answers.
#include <windows.h>
#include <unknwn.h>
#include <cstdint>

// One row of an interface map. A plain row names an interface at a fixed offset inside the object;
// a row with a function lets a class answer an interface by code (tear-offs, aggregated inner objects).
struct ComMapEntry {
    const IID* piid;
    std::uintptr_t offset;
    HRESULT (*resolve)(void* object, REFIID iid, void** ppv, std::uintptr_t data);
};

template <class Class, class Interface>
std::uintptr_t ComMapOffset() {
    // Any aligned non-null address serves: only the distance between the two views is wanted.
    Class* probe = reinterpret_cast<Class*>(0x1000);
    return reinterpret_cast<std::uintptr_t>(static_cast<Interface*>(probe)) - 0x1000;
}

template <class Class, class Interface, class Via>
std::uintptr_t ComMapOffsetVia() {
    Class* probe = reinterpret_cast<Class*>(0x1000);
    return reinterpret_cast<std::uintptr_t>(static_cast<Interface*>(static_cast<Via*>(probe))) - 0x1000;
}

class CComObjectRootBase {
public:
    CComObjectRootBase() = default;
    CComObjectRootBase(const CComObjectRootBase&) = delete;
    CComObjectRootBase& operator=(const CComObjectRootBase&) = delete;

    HRESULT FinalConstruct() { return S_OK; }
    void FinalRelease() {}
    // Receives the creator's argument; class factories take their instance creator through it.
    void SetVoid(void*) {}

    ULONG OuterAddRef() { return m_pOuterUnknown->AddRef(); }
    ULONG OuterRelease() { return m_pOuterUnknown->Release(); }
    HRESULT OuterQueryInterface(REFIID iid, void** ppv) { return m_pOuterUnknown->QueryInterface(iid, ppv); }

    // Walks an interface map; the first row also answers IUnknown, which fixes the object's identity.
    static HRESULT QueryByMap(void* object, const ComMapEntry* map, REFIID iid, void** ppv);

    // The reference count of a standalone object; an aggregated part counts nothing of its own.
    LONG m_dwRef = 0;
    // Set only while this object is the inner part of an aggregate.
    IUnknown* m_pOuterUnknown = nullptr;
};

// Objects of these servers are used from one thread at a time, so the count needs no interlock.
class CComObjectRoot : public CComObjectRootBase {
public:
    ULONG InternalAddRef() { return static_cast<ULONG>(++m_dwRef); }
    ULONG InternalRelease() { return static_cast<ULONG>(--m_dwRef); }
};

#define BEGIN_COM_MAP(cls)                                                                       \
public:                                                                                          \
    typedef cls ComMapClass;                                                                     \
    IUnknown* GetUnknown() {                                                                     \
        return reinterpret_cast<IUnknown*>(reinterpret_cast<char*>(this) + GetComMap()[0].offset); \
    }                                                                                            \
    HRESULT InternalQueryInterface(REFIID iid, void** ppv) {                                     \
        return CComObjectRootBase::QueryByMap(this, GetComMap(), iid, ppv);                      \
    }                                                                                            \
    static const ComMapEntry* GetComMap() {                                                      \
        static const ComMapEntry entries[] = {

#define COM_INTERFACE_ENTRY(I) {&__uuidof(I), ComMapOffset<ComMapClass, I>(), nullptr},
#define COM_INTERFACE_ENTRY_IID(iid, I) {&(iid), ComMapOffset<ComMapClass, I>(), nullptr},
#define COM_INTERFACE_ENTRY2(I, Via) {&__uuidof(I), ComMapOffsetVia<ComMapClass, I, Via>(), nullptr},
#define COM_INTERFACE_ENTRY_FUNC(iid, data, fn) {&(iid), static_cast<std::uintptr_t>(data), fn},

#define END_COM_MAP()              \
        {nullptr, 0, nullptr}};    \
        return entries;            \
    }
