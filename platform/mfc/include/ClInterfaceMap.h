#pragma once
// Interface maps: the COM interfaces a command target answers QueryInterface for, each
// implemented by a nested part object.
//
//   class CSite : public CCmdTarget {
//       BEGIN_INTERFACE_PART(Events, ISiteEvents)
//           STDMETHOD(OnChange)(long n) override;
//       END_INTERFACE_PART(Events)
//       DECLARE_INTERFACE_MAP()
//   };
//   BEGIN_INTERFACE_MAP(CSite, CCmdTarget)
//       INTERFACE_PART(CSite, IID_ISiteEvents, Events)
//   END_INTERFACE_MAP()
//   STDMETHODIMP CSite::XEvents::OnChange(long n) { METHOD_PROLOGUE(CSite, Events) ... pThis ... }
#include "ClassLibExport.h"

#include <cstddef>

class CCmdTarget;

struct AFX_INTERFACEMAP_ENTRY
{
    const IID* piid;
    IUnknown* (*pfnGetPart)(CCmdTarget* pThis);   // the part inside the object
};

struct AFX_INTERFACEMAP
{
    const AFX_INTERFACEMAP* (PASCAL* pfnGetBaseMap)();
    const AFX_INTERFACEMAP_ENTRY* pEntry;
};

#define DECLARE_INTERFACE_MAP() \
protected: \
    static const AFX_INTERFACEMAP* PASCAL GetThisInterfaceMap(); \
    virtual const AFX_INTERFACEMAP* GetInterfaceMap() const;

#define BEGIN_INTERFACE_MAP(theClass, baseClass) \
    const AFX_INTERFACEMAP* theClass::GetInterfaceMap() const { return GetThisInterfaceMap(); } \
    const AFX_INTERFACEMAP* PASCAL theClass::GetThisInterfaceMap() \
    { \
        typedef theClass ThisClass; \
        typedef baseClass TheBaseClass; \
        static const AFX_INTERFACEMAP_ENTRY _interfaceEntries[] = {

#define INTERFACE_PART(theClass, iid, localClass) \
            {&(iid), [](CCmdTarget* p) -> IUnknown* { \
                 return reinterpret_cast<IUnknown*>(&static_cast<ThisClass*>(p)->m_x##localClass); }},

#define END_INTERFACE_MAP() \
            {nullptr, nullptr} \
        }; \
        static const AFX_INTERFACEMAP interfaceMap = {&TheBaseClass::GetThisInterfaceMap, &_interfaceEntries[0]}; \
        return &interfaceMap; \
    }

#define BEGIN_INTERFACE_PART(localClass, baseClass) \
    class X##localClass : public baseClass \
    { \
    public: \
        STDMETHOD_(ULONG, AddRef)() override; \
        STDMETHOD_(ULONG, Release)() override; \
        STDMETHOD(QueryInterface)(REFIID iid, LPVOID* ppvObj) override;

#define END_INTERFACE_PART(localClass) \
    } m_x##localClass; \
    friend class X##localClass;

// Offset of a part inside its owner (the owner has no virtual base, so this is well defined in practice).
#define AFX_PART_OFFSET(theClass, member) \
    (reinterpret_cast<std::size_t>(&reinterpret_cast<theClass*>(0x1000)->member) - 0x1000)

// Inside a part's method: pThis is the object that owns the part.
#define METHOD_PROLOGUE(theClass, localClass) \
    theClass* pThis = reinterpret_cast<theClass*>(reinterpret_cast<BYTE*>(this) - AFX_PART_OFFSET(theClass, m_x##localClass)); \
    (void)pThis;
#define METHOD_PROLOGUE_EX(theClass, localClass) METHOD_PROLOGUE(theClass, localClass)
#define METHOD_PROLOGUE_EX_(theClass, localClass) METHOD_PROLOGUE(theClass, localClass)
