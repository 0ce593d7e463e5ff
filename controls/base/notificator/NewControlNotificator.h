#pragma once
// Turns a tool command of the editing view into a ready control inserter and hands it to every
// advised view; remembers which insertion tool is current so that tool buttons can show it checked.
#include <windows.h>
#include <ocidl.h>

#include "TarnControls.h"
#include "atlbase.h"
#include "atlcom.h"
#include "notificator/NewControlRequest.h"
#include "tarn/SingleConnectionPoint.h"

class CNewControlNotificator
    : public CComObjectRoot,
      public CComCoClass<CNewControlNotificator, &CLSID_NewControlNotificator>,
      public IOleInPlaceObjectWindowless,
      public IUIUpdater,
      public CSingleConnectionPoint<CNewControlNotificator, ITarnViewEvents, &IID_ITarnViewEvents> {
public:
    DECLARE_REGISTRY_RESOURCEID(21002)
    DECLARE_NOT_AGGREGATABLE(CNewControlNotificator)

    BEGIN_COM_MAP(CNewControlNotificator)
    COM_INTERFACE_ENTRY_IID(IID_IOleInPlaceObjectWindowless, IOleInPlaceObjectWindowless)
    COM_INTERFACE_ENTRY_IID(IID_IOleInPlaceObject, IOleInPlaceObjectWindowless)
    COM_INTERFACE_ENTRY_IID(IID_IOleWindow, IOleInPlaceObjectWindowless)
    COM_INTERFACE_ENTRY_IID(IID_IUIUpdater, IUIUpdater)
    COM_INTERFACE_ENTRY_IID(IID_IConnectionPointContainer, IConnectionPointContainer)
    END_COM_MAP()

    // IOleWindow: a window-less object has no window of its own.
    STDMETHOD(GetWindow)(HWND* window) override;
    STDMETHOD(ContextSensitiveHelp)(BOOL) override { return E_NOTIMPL; }
    // IOleInPlaceObject
    STDMETHOD(InPlaceDeactivate)() override { return S_OK; }
    STDMETHOD(UIDeactivate)() override { return S_OK; }
    STDMETHOD(SetObjectRects)(LPCRECT, LPCRECT) override { return S_OK; }
    STDMETHOD(ReactivateAndUndo)() override { return E_NOTIMPL; }
    // IOleInPlaceObjectWindowless: S_OK when the message was handled, S_FALSE when not.
    STDMETHOD(OnWindowMessage)(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    STDMETHOD(GetDropTarget)(IDropTarget** target) override;

    // IUIUpdater: a tool button is checked while its insertion tool is current.
    STDMETHOD(Update)(LONG_PTR lParam, long* enabled, long* checked, long* radio) override;

    WORD CurrentToolCommand() const { return currentTool_; }

private:
    // True when the message counts as handled.
    bool StartInserting(const NewControlRequest* request, LRESULT* result);

    WORD currentTool_ = 0;
};
