#pragma once
// Dispatch maps: automation methods and properties of a command target, found by name through
// IDispatch::GetIDsOfNames and called through IDispatch::Invoke.
//
//   BEGIN_DISPATCH_MAP(CSite, CCmdTarget)
//       DISP_FUNCTION(CSite, "InsertControl", InsertControl, VT_EMPTY, VTS_UNKNOWN VTS_I4 VTS_I4)
//   END_DISPATCH_MAP()
//
// The parameter string lists the automation type of each parameter in call order; arguments are
// converted to those types before the member function is called with its own C++ types.
#include "ClString.h"

#include <tuple>
#include <type_traits>
#include <utility>

class CCmdTarget;

// Parameter type codes (one character each, concatenated).
#define VTS_NONE ""
#define VTS_I2 "\x02"
#define VTS_I4 "\x03"
#define VTS_R4 "\x04"
#define VTS_R8 "\x05"
#define VTS_CY "\x06"
#define VTS_DATE "\x07"
#define VTS_BSTR "\x08"      // received as LPCSTR
#define VTS_DISPATCH "\x09"
#define VTS_SCODE "\x0A"
#define VTS_BOOL "\x0B"      // received as BOOL (TRUE or FALSE)
#define VTS_VARIANT "\x0C"   // received as const VARIANT& or VARIANT*
#define VTS_UNKNOWN "\x0D"
#define VTS_UI1 "\x11"
#define VTS_PI2 "\x42"
#define VTS_PI4 "\x43"
#define VTS_PR4 "\x44"
#define VTS_PR8 "\x45"
#define VTS_PBSTR "\x48"
#define VTS_PDISPATCH "\x49"
#define VTS_PBOOL "\x4B"
#define VTS_PVARIANT "\x4C"
#define VTS_PUNKNOWN "\x4D"

// Calls one member with arguments already converted to the parameter string's types, in call
// order; stores the C++ result in *pResult (which the caller converts to the entry's type).
typedef HRESULT (*AFX_DISPCALL)(CCmdTarget* pTarget, VARIANT* pArgs, UINT nArgs, VARIANT* pResult);

struct AFX_DISPMAP_ENTRY
{
    LPCSTR lpszName;
    long lDispID;            // DISPID_UNKNOWN: numbered by the map
    LPCSTR lpszParams;       // null for a property
    VARTYPE vt;              // result of a method, type of a property
    AFX_DISPCALL pfnCall;    // method, or property get
    AFX_DISPCALL pfnSet;     // property put (null: read-only)
};

struct AFX_DISPMAP
{
    const AFX_DISPMAP* (PASCAL* pfnGetBaseMap)();
    const AFX_DISPMAP_ENTRY* lpEntries;
};

// Parameter types are converted from VARTYPE codes in the parameter string (VTS_BYREF = 0x40).
inline VARTYPE AfxVtsToVarType(char code)
{
    const BYTE b = static_cast<BYTE>(code);
    return (b & 0x40) ? static_cast<VARTYPE>((b & ~0x40) | VT_BYREF) : static_cast<VARTYPE>(b);
}

namespace afx_dispatch {

[[noreturn]] CLASSLIB_API void ThrowTypeMismatch();

// A converted argument as the member function's C++ parameter type.
template <class T, class Enable = void>
struct Arg;

template <class T>
struct Arg<T, typename std::enable_if<std::is_integral<T>::value || std::is_enum<T>::value>::type> {
    T value{};
    explicit Arg(VARIANT& v)
    {
        switch (v.vt) {
        case VT_BOOL: value = static_cast<T>(v.boolVal != VARIANT_FALSE ? 1 : 0); break;
        case VT_I1: value = static_cast<T>(v.cVal); break;
        case VT_UI1: value = static_cast<T>(v.bVal); break;
        case VT_I2: value = static_cast<T>(v.iVal); break;
        case VT_UI2: value = static_cast<T>(v.uiVal); break;
        case VT_I4: case VT_INT: value = static_cast<T>(v.lVal); break;
        case VT_UI4: case VT_UINT: value = static_cast<T>(v.ulVal); break;
        case VT_ERROR: value = static_cast<T>(v.scode); break;
        default: {
            VARIANT c;
            VariantInit(&c);
            if (FAILED(VariantChangeType(&c, &v, 0, VT_I4)))
                ThrowTypeMismatch();
            value = static_cast<T>(c.lVal);
        }
        }
    }
    T get() const { return value; }
};

template <class T>
struct Arg<T, typename std::enable_if<std::is_floating_point<T>::value>::type> {
    T value{};
    explicit Arg(VARIANT& v)
    {
        VARIANT c;
        VariantInit(&c);
        if (FAILED(VariantChangeType(&c, &v, 0, VT_R8)))
            ThrowTypeMismatch();
        value = static_cast<T>(c.dblVal);
    }
    T get() const { return value; }
};

template <>
struct Arg<LPCSTR> {
    CString value;
    explicit Arg(VARIANT& v)
    {
        if (v.vt == VT_BSTR) {
            value = v.bstrVal ? static_cast<LPCWSTR>(v.bstrVal) : L"";
            return;
        }
        VARIANT c;
        VariantInit(&c);
        if (FAILED(VariantChangeType(&c, &v, 0, VT_BSTR)))
            ThrowTypeMismatch();
        value = c.bstrVal ? static_cast<LPCWSTR>(c.bstrVal) : L"";
        VariantClear(&c);
    }
    LPCSTR get() const { return value; }
};

template <>
struct Arg<BSTR> {
    BSTR value;
    explicit Arg(VARIANT& v) : value(v.vt == VT_BSTR ? v.bstrVal : nullptr)
    {
        if (v.vt != VT_BSTR)
            ThrowTypeMismatch();
    }
    BSTR get() const { return value; }
};

template <>
struct Arg<IUnknown*> {
    IUnknown* value;
    explicit Arg(VARIANT& v) : value(nullptr)
    {
        if (v.vt == VT_UNKNOWN || v.vt == VT_DISPATCH)
            value = v.punkVal;
        else if (v.vt != VT_EMPTY && v.vt != VT_NULL)
            ThrowTypeMismatch();
    }
    IUnknown* get() const { return value; }
};

template <>
struct Arg<IDispatch*> {
    IDispatch* value;
    explicit Arg(VARIANT& v) : value(nullptr)
    {
        if (v.vt == VT_DISPATCH)
            value = v.pdispVal;
        else if (v.vt != VT_EMPTY && v.vt != VT_NULL)
            ThrowTypeMismatch();
    }
    IDispatch* get() const { return value; }
};

template <>
struct Arg<const VARIANT&> {
    VARIANT* value;
    explicit Arg(VARIANT& v) : value(v.vt == (VT_VARIANT | VT_BYREF) ? v.pvarVal : &v) {}
    const VARIANT& get() const { return *value; }
};

template <>
struct Arg<VARIANT*> {
    VARIANT* value;
    explicit Arg(VARIANT& v) : value(v.vt == (VT_VARIANT | VT_BYREF) ? v.pvarVal : &v) {}
    VARIANT* get() const { return value; }
};

template <>
struct Arg<const VARIANT*> : Arg<VARIANT*> {
    using Arg<VARIANT*>::Arg;
};

// By-reference parameters: the caller's variable itself.
template <class T, VARTYPE vt>
struct RefArg {
    T* value;
    explicit RefArg(VARIANT& v) : value(v.vt == (vt | VT_BYREF) ? static_cast<T*>(v.byref) : nullptr)
    {
        if (!value)
            ThrowTypeMismatch();
    }
    T* get() const { return value; }
};
template <> struct Arg<short*> : RefArg<short, VT_I2> { using RefArg::RefArg; };
template <> struct Arg<long*> : RefArg<long, VT_I4> { using RefArg::RefArg; };
template <> struct Arg<float*> : RefArg<float, VT_R4> { using RefArg::RefArg; };
template <> struct Arg<double*> : RefArg<double, VT_R8> { using RefArg::RefArg; };
template <> struct Arg<BSTR*> : RefArg<BSTR, VT_BSTR> { using RefArg::RefArg; };
template <> struct Arg<IUnknown**> : RefArg<IUnknown*, VT_UNKNOWN> { using RefArg::RefArg; };
template <> struct Arg<IDispatch**> : RefArg<IDispatch*, VT_DISPATCH> { using RefArg::RefArg; };

// A C++ result as a VARIANT (ownership of strings and interfaces passes to the VARIANT).
template <class R>
void ToVariant(R value, VARIANT* out)
{
    VariantInit(out);
    if constexpr (std::is_same<R, bool>::value) {
        out->vt = VT_BOOL;
        out->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    } else if constexpr (std::is_integral<R>::value || std::is_enum<R>::value) {
        out->vt = VT_I4;
        out->lVal = static_cast<LONG>(value);
    } else if constexpr (std::is_floating_point<R>::value) {
        out->vt = VT_R8;
        out->dblVal = static_cast<double>(value);
    } else if constexpr (std::is_same<R, BSTR>::value) {
        out->vt = VT_BSTR;
        out->bstrVal = value;
    } else if constexpr (std::is_same<R, CString>::value) {
        out->vt = VT_BSTR;
        out->bstrVal = value.AllocSysString();
    } else if constexpr (std::is_convertible<R, IDispatch*>::value) {
        out->vt = VT_DISPATCH;
        out->pdispVal = value;
    } else if constexpr (std::is_convertible<R, IUnknown*>::value) {
        out->vt = VT_UNKNOWN;
        out->punkVal = value;
    } else if constexpr (std::is_same<R, VARIANT>::value) {
        *out = value;
    } else {
        static_assert(std::is_same<R, void>::value, "result type has no automation form");
    }
}

template <class C, class R, class... A, std::size_t... I>
HRESULT CallWith(C* target, R (C::*pfn)(A...), VARIANT* args, VARIANT* result, std::index_sequence<I...>)
{
    std::tuple<Arg<A>...> converted{Arg<A>(args[I])...};
    if constexpr (std::is_void<R>::value) {
        (target->*pfn)(std::get<I>(converted).get()...);
    } else {
        ToVariant<R>((target->*pfn)(std::get<I>(converted).get()...), result);
    }
    (void)converted;
    return S_OK;
}

template <class C, class R, class... A>
HRESULT Call(R (C::*pfn)(A...), CCmdTarget* pTarget, VARIANT* args, UINT nArgs, VARIANT* result)
{
    if (nArgs != sizeof...(A))
        return DISP_E_BADPARAMCOUNT;
    return CallWith(static_cast<C*>(pTarget), pfn, args, result, std::index_sequence_for<A...>{});
}

template <class C, class R, class... A>
HRESULT Call(R (C::*pfn)(A...) const, CCmdTarget* pTarget, VARIANT* args, UINT nArgs, VARIANT* result)
{
    return Call(reinterpret_cast<R (C::*)(A...)>(pfn), pTarget, args, nArgs, result);
}

template <auto pfn>
HRESULT Method(CCmdTarget* pTarget, VARIANT* args, UINT nArgs, VARIANT* result)
{
    return Call(pfn, pTarget, args, nArgs, result);
}

template <class C, class T>
C* OwnerOf(T C::*);

// Property over a data member.
template <auto pm>
HRESULT GetMember(CCmdTarget* pTarget, VARIANT*, UINT nArgs, VARIANT* result)
{
    using C = std::remove_pointer_t<decltype(OwnerOf(pm))>;
    if (nArgs != 0)
        return DISP_E_BADPARAMCOUNT;
    ToVariant(static_cast<C*>(pTarget)->*pm, result);
    return S_OK;
}

template <auto pm>
HRESULT SetMember(CCmdTarget* pTarget, VARIANT* args, UINT nArgs, VARIANT*)
{
    using C = std::remove_pointer_t<decltype(OwnerOf(pm))>;
    using T = std::remove_reference_t<decltype(static_cast<C*>(nullptr)->*pm)>;
    if (nArgs != 1)
        return DISP_E_BADPARAMCOUNT;
    if constexpr (std::is_same<T, CString>::value)
        static_cast<C*>(pTarget)->*pm = Arg<LPCSTR>(args[0]).get();
    else
        static_cast<C*>(pTarget)->*pm = Arg<T>(args[0]).get();
    return S_OK;
}

}  // namespace afx_dispatch

#define DECLARE_DISPATCH_MAP() \
protected: \
    static const AFX_DISPMAP* PASCAL GetThisDispatchMap(); \
    virtual const AFX_DISPMAP* GetDispatchMap() const;

#define BEGIN_DISPATCH_MAP(theClass, baseClass) \
    const AFX_DISPMAP* theClass::GetDispatchMap() const { return GetThisDispatchMap(); } \
    const AFX_DISPMAP* PASCAL theClass::GetThisDispatchMap() \
    { \
        typedef baseClass TheBaseClass; \
        static const AFX_DISPMAP_ENTRY _dispatchEntries[] = {

#define END_DISPATCH_MAP() \
            {nullptr, 0, nullptr, VT_EMPTY, nullptr, nullptr} \
        }; \
        static const AFX_DISPMAP dispatchMap = {&TheBaseClass::GetThisDispatchMap, &_dispatchEntries[0]}; \
        return &dispatchMap; \
    }

#define DISP_FUNCTION(theClass, szExternalName, pfnMember, vtRetVal, vtsParams) \
    {szExternalName, DISPID_UNKNOWN, vtsParams, vtRetVal, &afx_dispatch::Method<&theClass::pfnMember>, nullptr},
#define DISP_FUNCTION_ID(theClass, szExternalName, dispid, pfnMember, vtRetVal, vtsParams) \
    {szExternalName, dispid, vtsParams, vtRetVal, &afx_dispatch::Method<&theClass::pfnMember>, nullptr},
#define DISP_PROPERTY(theClass, szExternalName, memberName, vtPropType) \
    {szExternalName, DISPID_UNKNOWN, nullptr, vtPropType, &afx_dispatch::GetMember<&theClass::memberName>, \
     &afx_dispatch::SetMember<&theClass::memberName>},
#define DISP_PROPERTY_EX(theClass, szExternalName, pfnGet, pfnSet, vtPropType) \
    {szExternalName, DISPID_UNKNOWN, nullptr, vtPropType, &afx_dispatch::Method<&theClass::pfnGet>, \
     &afx_dispatch::Method<&theClass::pfnSet>},
