#pragma once
// A VARIANT that clears itself.
#include <windows.h>
#include <oleauto.h>

class CComVariant : public tagVARIANT {
public:
    CComVariant() { ::VariantInit(this); }
    ~CComVariant() { Clear(); }
    CComVariant(const VARIANT& other) { ::VariantInit(this); InternalCopy(&other); }
    CComVariant(const CComVariant& other) { ::VariantInit(this); InternalCopy(&other); }
    CComVariant(LPCOLESTR text);
    CComVariant(LPCSTR text);
    CComVariant(bool value) { ::VariantInit(this); vt = VT_BOOL; boolVal = value ? VARIANT_TRUE : VARIANT_FALSE; }
    CComVariant(int value) { ::VariantInit(this); vt = VT_I4; lVal = value; }
    CComVariant(long value) { ::VariantInit(this); vt = VT_I4; lVal = value; }
    CComVariant(unsigned long value) { ::VariantInit(this); vt = VT_UI4; ulVal = value; }
    CComVariant(short value) { ::VariantInit(this); vt = VT_I2; iVal = value; }
    CComVariant(float value) { ::VariantInit(this); vt = VT_R4; fltVal = value; }
    CComVariant(double value) { ::VariantInit(this); vt = VT_R8; dblVal = value; }
    CComVariant(IUnknown* unknown);
    CComVariant(IDispatch* dispatch);

    CComVariant& operator=(const CComVariant& other) { if (this != &other) InternalCopy(&other); return *this; }
    CComVariant& operator=(const VARIANT& other) { if (this != &other) InternalCopy(&other); return *this; }
    bool operator==(const VARIANT& other) const;
    bool operator!=(const VARIANT& other) const { return !(*this == other); }

    HRESULT Clear() { return ::VariantClear(this); }
    HRESULT Copy(const VARIANT* source) { return ::VariantCopy(this, const_cast<VARIANT*>(source)); }
    HRESULT Attach(VARIANT* source);
    HRESULT Detach(VARIANT* target);
    HRESULT ChangeType(VARTYPE type, const VARIANT* source = nullptr);

private:
    void InternalCopy(const VARIANT* source);
};
