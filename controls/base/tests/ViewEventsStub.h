#pragma once
// A view's event sink for tests that answers E_NOTIMPL everywhere; a test overrides the events
// it records and the reference counting it needs.
#include <windows.h>

#include "TarnControls.h"

class CViewEventsStub : public ITarnViewEvents {
public:
    virtual ~CViewEventsStub() = default;

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ITarnViewEvents)) {
            *ppv = static_cast<ITarnViewEvents*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(RegisterNewControlInserter)(IControlInserter*) override { return E_NOTIMPL; }
    STDMETHOD(UpdateCanvas)(RECT*) override { return E_NOTIMPL; }
    STDMETHOD(TransferCoordinates)(tagPointData*) override { return E_NOTIMPL; }
    STDMETHOD(TransferSize)(tagSizeData*) override { return E_NOTIMPL; }
    STDMETHOD(Invalidate)(RECT*, long, long) override { return E_NOTIMPL; }
    STDMETHOD(GetDC)(HDC*) override { return E_NOTIMPL; }
    STDMETHOD(GetControlIndex)(IBaseControl*, long*) override { return E_NOTIMPL; }
    STDMETHOD(RegisterNewControl)(IBaseControl*, long) override { return E_NOTIMPL; }
    STDMETHOD(InsertControl)(IBaseControl*, long) override { return E_NOTIMPL; }
    STDMETHOD(InsertControlList)(IBaseControl**, long*, int) override { return E_NOTIMPL; }
    STDMETHOD(DeleteControl)(IBaseControl*) override { return E_NOTIMPL; }
    STDMETHOD(DeleteControlList)(IBaseControl**, int) override { return E_NOTIMPL; }
    STDMETHOD(GetHWND)(LONG_PTR*) override { return E_NOTIMPL; }
    STDMETHOD(HitTestControlList)(tagPointF, long, IBaseControl**) override { return E_NOTIMPL; }
    STDMETHOD(SetSelMode)(long) override { return E_NOTIMPL; }
    STDMETHOD(GetSelMode)(long*) override { return E_NOTIMPL; }
    STDMETHOD(IsControlSelected)(IBaseControl*) override { return E_NOTIMPL; }
    STDMETHOD(SelectControl)(IBaseControl*) override { return E_NOTIMPL; }
    STDMETHOD(FreezeView)(long) override { return E_NOTIMPL; }
    STDMETHOD(SnapPoint)(tagPointF*, long) override { return E_NOTIMPL; }
    STDMETHOD(SnapRect)(tagRectF*) override { return E_NOTIMPL; }
    STDMETHOD(ForceUndo)(long) override { return E_NOTIMPL; }
    STDMETHOD(ForceRedo)(long) override { return E_NOTIMPL; }
};
