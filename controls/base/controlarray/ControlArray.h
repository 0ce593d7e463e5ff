#pragma once
// An ordered list of drawing controls, each entry holding one reference, that the site, the view,
// the selection and the group use to hand sets of controls across interfaces. An added object
// without IBaseControl leaves a null entry, so that indexes keep matching the caller's list.
#include <windows.h>

#include <vector>

#include "TarnControls.h"
#include "atlbase.h"
#include "atlcom.h"

class CControlArray : public CComObjectRoot,
                      public CComCoClass<CControlArray, &CLSID_ControlArray>,
                      public IControlArray {
public:
    DECLARE_REGISTRY_RESOURCEID(21026)
    DECLARE_NOT_AGGREGATABLE(CControlArray)

    BEGIN_COM_MAP(CControlArray)
    COM_INTERFACE_ENTRY_IID(IID_IControlArray, IControlArray)
    END_COM_MAP()

    ~CControlArray();

    // IControlArray
    STDMETHOD(AddControl)(IBaseControl* control) override;
    STDMETHOD(AddControlArray)(IControlArray* array) override;
    STDMETHOD(RemoveControl)(IBaseControl* control) override;
    STDMETHOD(RemoveControlByNum)(int n) override;
    STDMETHOD(RemoveAllControls)() override;
    STDMETHOD(get_Count)(int* nCount) override;
    STDMETHOD(get_ControlByNum)(int n, IBaseControl** control) override;
    STDMETHOD(IsAllSupportInterface)(REFIID riid, long* pBool) override;

private:
    std::vector<IBaseControl*> controls_;
};
