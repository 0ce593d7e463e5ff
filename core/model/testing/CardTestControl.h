#pragma once
// Drawing controls for card tests, made on the controls' base and registered with COM inside the
// test program: a plain control with a label, a control that names another one by index (and may
// keep it as its buddy), and a control whose stored data can never be read.
#include <windows.h>

#include "CardControls.h"
#include "atlobject.h"
#include "tarn/DrawControlBase.h"


class CCardTestControl : public CDrawControlBase {
public:
    const CLSID& GetControlClsid() const override { return CLSID_CardTestControl; }
    HRESULT SaveProperties(IStream* stream) override;
    HRESULT LoadProperties(CTarnPropertyBag& bag) override;
    STDMETHOD(put_Serializer)(IUnknown* newVal) override;
    STDMETHOD(GetNextBuddy)(IBaseControl** buddy) override;
    STDMETHOD(get_Rect)(tagRectF* pVal) override
    {
        if (!pVal)
            return E_POINTER;
        *pVal = rect;
        return S_OK;
    }
    STDMETHOD(put_Rect)(tagRectF newVal) override
    {
        rect = newVal;
        return S_OK;
    }
    STDMETHOD(get_BoundingRect)(tagRectF* pVal) override { return get_Rect(pVal); }
    // Kinds decide whether they are stored; a test control can be told not to be.
    STDMETHOD(get_Storable)(LONG* pVal) override
    {
        if (!pVal)
            return E_POINTER;
        *pVal = storable;
        return S_OK;
    }
    STDMETHOD(put_Storable)(LONG newVal) override
    {
        storable = newVal;
        return S_OK;
    }
    ~CCardTestControl() override;

    // Points at another control of the same site; stored as that control's index.
    void Refer(IBaseControl* other, bool asBuddy);
    IBaseControl* Referred() const { return m_referred; }

    long label = 0;
    // The control's SaveForViewer when it was last stored; -1 before.
    LONG savedForViewer = -1;
    long referredIndex = 0;  // as read, until the pass resolves it
    bool buddy = false;
    LONG storable = 1;
    tagRectF rect = {0, 0, 1, 1};

private:
    IBaseControl* m_referred = nullptr;
    IControlSerializer* m_pendingSerializer = nullptr;
};

class CCardUnreadableControl : public CCardTestControl {
public:
    const CLSID& GetControlClsid() const override { return CLSID_CardUnreadableControl; }
    STDMETHOD(Load)(IStream*) override { return E_FAIL; }
};

CCardTestControl* AsCardControl(IBaseControl* control);
