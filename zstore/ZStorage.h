#pragma once
// ZStorage: an IStorage that forwards to its donor storage and wraps every stream it creates or
// opens in a ZStream and every sub-storage in another ZStorage, so a whole tree is stored compressed
// stream by stream while names, structure and property sets stay the donor's.
#include <vector>
#include <atlcom.h>
#include "Mosk.h"
#include "resource.h"

class CZStorage : public CComObjectRoot,
                  public CComCoClass<CZStorage, &CLSID_ZStorage>,
                  public IZStorage,
                  public IZParent,
                  public IZChild,
                  public IPropertySetStorage {
public:
    DECLARE_REGISTRY_RESOURCEID(IDR_ZSTORAGE)
    DECLARE_AGGREGATABLE(CZStorage)

    BEGIN_COM_MAP(CZStorage)
        COM_INTERFACE_ENTRY(IZStorage)
        COM_INTERFACE_ENTRY(IStorage)
        COM_INTERFACE_ENTRY(IZParent)
        COM_INTERFACE_ENTRY(IZChild)
        COM_INTERFACE_ENTRY(IPropertySetStorage)
    END_COM_MAP()

    void FinalRelease();

    // IStorage
    STDMETHOD(CreateStream)(LPCOLESTR name, DWORD mode, DWORD reserved1, DWORD reserved2, IStream** stream) override;
    STDMETHOD(OpenStream)(LPCOLESTR name, void* reserved1, DWORD mode, DWORD reserved2, IStream** stream) override;
    STDMETHOD(CreateStorage)(LPCOLESTR name, DWORD mode, DWORD reserved1, DWORD reserved2,
                             IStorage** storage) override;
    STDMETHOD(OpenStorage)(LPCOLESTR name, IStorage* priority, DWORD mode, SNB exclude, DWORD reserved,
                           IStorage** storage) override;
    STDMETHOD(CopyTo)(DWORD excludeCount, const IID* excludeIids, SNB excludeNames, IStorage* target) override;
    STDMETHOD(MoveElementTo)(LPCOLESTR name, IStorage* target, LPCOLESTR newName, DWORD flags) override;
    STDMETHOD(Commit)(DWORD flags) override;
    STDMETHOD(Revert)() override;
    STDMETHOD(EnumElements)(DWORD reserved1, void* reserved2, DWORD reserved3, IEnumSTATSTG** elements) override;
    STDMETHOD(DestroyElement)(LPCOLESTR name) override;
    STDMETHOD(RenameElement)(LPCOLESTR oldName, LPCOLESTR newName) override;
    STDMETHOD(SetElementTimes)(LPCOLESTR name, const FILETIME* created, const FILETIME* accessed,
                               const FILETIME* modified) override;
    STDMETHOD(SetClass)(REFCLSID clsid) override;
    STDMETHOD(SetStateBits)(DWORD bits, DWORD mask) override;
    STDMETHOD(Stat)(STATSTG* stat, DWORD flags) override;
    // IZStorage
    STDMETHOD(get_Donor)(IStorage** donor) override;
    STDMETHOD(put_Donor)(IStorage* donor) override;
    // IZParent
    STDMETHOD(ChildStreamClosed)(IZStream* child) override;
    STDMETHOD(ChildStorageClosed)(IZStorage* child) override;
    // IZChild
    STDMETHOD(SetParent)(IUnknown* parent) override;
    STDMETHOD(SetMode)(DWORD mode) override;
    STDMETHOD(Flush)() override;
    // IPropertySetStorage: property sets stay uncompressed in the donor.
    STDMETHOD(Create)(REFFMTID fmtid, const CLSID* clsid, DWORD flags, DWORD mode, IPropertyStorage** set) override;
    STDMETHOD(Open)(REFFMTID fmtid, DWORD mode, IPropertyStorage** set) override;
    STDMETHOD(Delete)(REFFMTID fmtid) override;
    STDMETHOD(Enum)(IEnumSTATPROPSETSTG** sets) override;

    // How many wrapped children are open (for diagnostics and tests through the private interface).
    size_t OpenStreamCount() const { return m_childStreams.size(); }
    size_t OpenStorageCount() const { return m_childStorages.size(); }

private:
    HRESULT AdoptStream(IStream* element, DWORD requestedMode, IStream** stream);
    HRESULT AdoptStorage(IStorage* element, DWORD requestedMode, IStorage** storage);
    template <class Wrapper, class WrapperInterface, class Element>
    HRESULT Adopt(Element* element, DWORD requestedMode, std::vector<WrapperInterface*>& children,
                  Element** result);
    HRESULT PropertySets(IPropertySetStorage** sets);

    CComPtr<IStorage> m_donor;
    CComPtr<IZStorage> m_parent;
    DWORD m_mode = 0;
    // Weak: each child leaves through IZParent at its final release.
    std::vector<IZStorage*> m_childStorages;
    std::vector<IZStream*> m_childStreams;
};
