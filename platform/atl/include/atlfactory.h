#pragma once
// The standard class factory and the co-class base that ties a class to its factory, creator,
// registration script and object-map hooks.
#include "atlobject.h"
#include "atlerror.h"

class CComClassFactory : public IClassFactory, public CComObjectRoot {
public:
    BEGIN_COM_MAP(CComClassFactory)
        COM_INTERFACE_ENTRY(IClassFactory)
    END_COM_MAP()

    // The object map hands each factory the instance creator of its class.
    void SetVoid(void* pv) { m_createInstance = reinterpret_cast<AtlCreatorFunction>(pv); }

    STDMETHOD(CreateInstance)(IUnknown* outer, REFIID iid, void** ppv);
    STDMETHOD(LockServer)(BOOL lock);

private:
    AtlCreatorFunction m_createInstance = nullptr;
};

#define DECLARE_CLASSFACTORY()                                                                  \
public:                                                                                          \
    typedef CComCreator<CComObjectNoLock<CComClassFactory>> _ClassFactoryCreatorClass;

struct AtlCategoryMapEntry;

template <class T, const CLSID* pclsid>
class CComCoClass {
public:
    DECLARE_CLASSFACTORY()
    DECLARE_AGGREGATABLE(T)

    static const CLSID& WINAPI GetObjectCLSID() { return *pclsid; }
    static LPCTSTR WINAPI GetObjectDescription() { return nullptr; }
    static const AtlCategoryMapEntry* WINAPI GetCategoryMap() { return nullptr; }
    static void WINAPI ObjectMain(bool /*starting*/) {}

    static HRESULT WINAPI Error(LPCOLESTR description, const IID& iid = GUID_NULL, HRESULT hr = E_FAIL) {
        return AtlReportError(*pclsid, description, iid, hr);
    }
};
