#pragma once
// Drawing controls for card tests, made on the controls' base and registered with COM inside the
// test program: a plain control with a label, a control that names another one by index (and may
// keep it as its buddy), and a control whose stored data can never be read.
#include <windows.h>

#include "TarnControls.h"
#include "atlobject.h"
#include "tarn/DrawControlBase.h"

// {7C1D2E3F-4A5B-4C6D-8E9F-0A1B2C3D4E01}
const CLSID CLSID_CardTestControl = {0x7c1d2e3f, 0x4a5b, 0x4c6d, {0x8e, 0x9f, 0x0a, 0x1b, 0x2c, 0x3d, 0x4e, 0x01}};
// {7C1D2E3F-4A5B-4C6D-8E9F-0A1B2C3D4E02}
const CLSID CLSID_CardUnreadableControl = {0x7c1d2e3f, 0x4a5b, 0x4c6d, {0x8e, 0x9f, 0x0a, 0x1b, 0x2c, 0x3d, 0x4e, 0x02}};

class CCardTestControl : public CDrawControlBase {
public:
    const CLSID& GetControlClsid() const override { return CLSID_CardTestControl; }
    HRESULT SaveProperties(IStream* stream) override;
    HRESULT LoadProperties(CTarnPropertyBag& bag) override;
    STDMETHOD(put_Serializer)(IUnknown* newVal) override;
    STDMETHOD(GetNextBuddy)(IBaseControl** buddy) override;
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
    long referredIndex = 0;  // as read, until the pass resolves it
    bool buddy = false;
    LONG storable = 1;

private:
    IBaseControl* m_referred = nullptr;
    IControlSerializer* m_pendingSerializer = nullptr;
};

class CCardUnreadableControl : public CCardTestControl {
public:
    const CLSID& GetControlClsid() const override { return CLSID_CardUnreadableControl; }
    STDMETHOD(Load)(IStream*) override { return E_FAIL; }
};

// Registers both classes for the life of the object.
class TestControlClasses {
public:
    TestControlClasses();
    ~TestControlClasses();
    // Control objects created through the factories so far.
    static long created;

private:
    DWORD m_cookies[2] = {};
};

// A new plain control with one reference.
IBaseControl* NewCardControl(long label);
CCardTestControl* AsCardControl(IBaseControl* control);
long LabelOf(IBaseControl* control);
