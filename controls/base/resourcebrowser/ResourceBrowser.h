#pragma once
// Hands the shell the resources the drawing-controls server keeps in its resource library:
// strings, the main frame's and the documents' menus, the library's module, and the ids of the
// component toolbar and the accelerator table. Keeps no state.
#include <windows.h>

#include "TarnControls.h"
#include "atlbase.h"
#include "atlcom.h"

class CResourceBrowser : public CComObjectRoot,
                         public CComCoClass<CResourceBrowser, &CLSID_ResourceBrowser>,
                         public IResourceBrowser {
public:
    DECLARE_REGISTRY_RESOURCEID(21001)
    DECLARE_NOT_AGGREGATABLE(CResourceBrowser)

    BEGIN_COM_MAP(CResourceBrowser)
    COM_INTERFACE_ENTRY_IID(IID_IResourceBrowser, IResourceBrowser)
    END_COM_MAP()

    STDMETHOD(FindString)(UINT id, LPSTR buffer, long bufferLength, VARIANT_BOOL* found) override;
    STDMETHOD(GetMainFrameMenuHandle)(HMENU* menu) override;
    STDMETHOD(GetDocumentMenuHandle)(HMENU* menu) override;
    STDMETHOD(GetResourceInstance)(LONG_PTR* instance) override;
    STDMETHOD(GetComponentToolbarID)(UINT* id) override;
    STDMETHOD(GetAcceleratorTableID)(UINT* id) override;
};

// Ids of the resource library's shell resources.
constexpr UINT kDocumentMenuId = 21101;
constexpr UINT kMainFrameMenuId = 21102;
constexpr UINT kComponentToolbarId = 21028;
constexpr UINT kAcceleratorTableId = 21308;
