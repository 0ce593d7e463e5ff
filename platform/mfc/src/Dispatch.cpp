// IDispatch of command targets over their dispatch maps.
#include "ClCmdTarget.h"
#include "ClException.h"
#include "ClModule.h"

#include <cstring>
#include <vector>

namespace afx_dispatch {
void ThrowTypeMismatch() { AfxThrowOleException(DISP_E_TYPEMISMATCH); }
}

const AFX_DISPMAP* CCmdTarget::GetDispatchMap() const { return GetThisDispatchMap(); }
const AFX_DISPMAP* PASCAL CCmdTarget::GetThisDispatchMap()
{
    static const AFX_DISPMAP_ENTRY entries[] = {{nullptr, 0, nullptr, VT_EMPTY, nullptr, nullptr}};
    static const AFX_DISPMAP map = {nullptr, &entries[0]};
    return &map;
}

namespace {
// Member ids given by the map: low word the 1-based entry index, high word the map's depth
// below the object's own class (0 for the class itself).
DISPID EntryDispID(const AFX_DISPMAP_ENTRY& entry, int level, int index)
{
    return entry.lDispID != DISPID_UNKNOWN ? entry.lDispID : static_cast<DISPID>(MAKELONG(index + 1, level));
}

template <class Visit>
const AFX_DISPMAP_ENTRY* FindEntry(const AFX_DISPMAP* map, Visit matches)
{
    for (int level = 0; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr, ++level)
        for (int index = 0; map->lpEntries[index].lpszName; ++index)
            if (matches(map->lpEntries[index], level, index))
                return &map->lpEntries[index];
    return nullptr;
}

CString Narrow(LPCOLESTR text) { return CString(text ? text : L""); }

void FillException(EXCEPINFO* pExcepInfo, CException* e)
{
    if (!pExcepInfo)
        return;
    memset(pExcepInfo, 0, sizeof *pExcepInfo);
    pExcepInfo->scode = COleException::Process(e);
    char text[512];
    if (e->GetErrorMessage(text, sizeof text))
        pExcepInfo->bstrDescription = CString(text).AllocSysString();
    pExcepInfo->bstrSource = CString(AfxGetAppName()).AllocSysString();
}

// Arguments converted to the parameter string's types, in call order, cleared on destruction.
struct ConvertedArgs {
    std::vector<VARIANT> values;
    explicit ConvertedArgs(size_t n) : values(n)
    {
        for (VARIANT& v : values)
            VariantInit(&v);
    }
    ~ConvertedArgs()
    {
        for (VARIANT& v : values)
            VariantClear(&v);
    }
};

HRESULT Convert(VARIANT* source, VARTYPE vt, VARIANT* target)
{
    if (vt == (VT_VARIANT | VT_BYREF)) {
        if (source->vt == (VT_VARIANT | VT_BYREF)) {
            *target = *source;
        } else {
            target->vt = VT_VARIANT | VT_BYREF;
            target->pvarVal = source;
        }
        return S_OK;
    }
    if (vt & VT_BYREF) {
        if (source->vt != vt)
            return DISP_E_TYPEMISMATCH;
        *target = *source;   // a reference owns nothing, clearing it is harmless
        return S_OK;
    }
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = VariantCopyInd(&value, source);
    if (SUCCEEDED(hr) && vt != VT_VARIANT && value.vt != vt)
        hr = VariantChangeType(&value, &value, 0, vt);
    if (FAILED(hr)) {
        VariantClear(&value);
        return DISP_E_TYPEMISMATCH;
    }
    *target = value;
    return S_OK;
}
}

const AFX_DISPMAP_ENTRY* CCmdTarget::FindDispatchEntry(DISPID dispid) const
{
    return FindEntry(GetDispatchMap(), [dispid](const AFX_DISPMAP_ENTRY& entry, int level, int index) {
        return EntryDispID(entry, level, index) == dispid;
    });
}

HRESULT CCmdTarget::GetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, DISPID* rgDispId)
{
    if (!rgszNames || !rgDispId || cNames == 0)
        return E_INVALIDARG;
    for (UINT i = 0; i < cNames; ++i)
        rgDispId[i] = DISPID_UNKNOWN;
    const CString name = Narrow(rgszNames[0]);
    DISPID found = DISPID_UNKNOWN;
    FindEntry(GetDispatchMap(), [&](const AFX_DISPMAP_ENTRY& entry, int level, int index) {
        if (_stricmp(entry.lpszName, name) != 0)
            return false;
        found = EntryDispID(entry, level, index);
        return true;
    });
    rgDispId[0] = found;
    // Named parameters are not supported: their names stay unknown.
    return found == DISPID_UNKNOWN || cNames > 1 ? DISP_E_UNKNOWNNAME : S_OK;
}

HRESULT CCmdTarget::Invoke(DISPID dispid, WORD wFlags, DISPPARAMS* pDispParams, VARIANT* pVarResult,
                           EXCEPINFO* pExcepInfo, UINT* puArgErr)
{
    if (!pDispParams)
        return E_INVALIDARG;
    const AFX_DISPMAP_ENTRY* entry = FindDispatchEntry(dispid);
    if (!entry)
        return DISP_E_MEMBERNOTFOUND;

    AFX_DISPCALL call = nullptr;
    std::vector<VARTYPE> types;
    const bool isProperty = entry->lpszParams == nullptr;
    if (isProperty && (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))) {
        if (!entry->pfnSet)
            return DISP_E_MEMBERNOTFOUND;
        if (pDispParams->cArgs != 1)
            return DISP_E_BADPARAMCOUNT;
        if (pDispParams->cNamedArgs > 1 ||
            (pDispParams->cNamedArgs == 1 && pDispParams->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))
            return DISP_E_PARAMNOTFOUND;
        call = entry->pfnSet;
        types.push_back(entry->vt);
        pVarResult = nullptr;
    } else if (wFlags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) {
        if (pDispParams->cNamedArgs != 0)
            return DISP_E_NONAMEDARGS;
        call = entry->pfnCall;
        if (!isProperty)
            for (LPCSTR p = entry->lpszParams; *p; ++p)
                types.push_back(AfxVtsToVarType(*p));
        if (pDispParams->cArgs != types.size())
            return DISP_E_BADPARAMCOUNT;
    } else {
        return DISP_E_MEMBERNOTFOUND;
    }

    const UINT n = static_cast<UINT>(types.size());
    ConvertedArgs args(n);
    for (UINT i = 0; i < n; ++i) {
        // Automation passes the last argument first.
        const UINT source = n - 1 - i;
        const HRESULT hr = Convert(&pDispParams->rgvarg[source], types[i], &args.values[i]);
        if (FAILED(hr)) {
            if (puArgErr)
                *puArgErr = source;
            return hr;
        }
    }

    VARIANT result;
    VariantInit(&result);
    HRESULT hr;
    try {
        hr = call(this, args.values.data(), n, &result);
    } catch (COleException* e) {
        const SCODE sc = e->m_sc;
        if (sc == DISP_E_TYPEMISMATCH) {
            e->Delete();
            return sc;
        }
        FillException(pExcepInfo, e);
        e->Delete();
        return DISP_E_EXCEPTION;
    } catch (CException* e) {
        FillException(pExcepInfo, e);
        e->Delete();
        return DISP_E_EXCEPTION;
    }
    if (FAILED(hr))
        return hr;

    const VARTYPE wanted = isProperty || entry->vt != VT_EMPTY ? entry->vt : VT_EMPTY;
    if (wanted == VT_EMPTY || !pVarResult) {
        VariantClear(&result);
        return S_OK;
    }
    if (wanted != VT_VARIANT && result.vt != wanted) {
        hr = VariantChangeType(&result, &result, 0, wanted);
        if (FAILED(hr)) {
            VariantClear(&result);
            return hr;
        }
    }
    *pVarResult = result;
    return S_OK;
}

STDMETHODIMP_(ULONG) CCmdTarget::XDispatch::AddRef()
{
    METHOD_PROLOGUE(CCmdTarget, Dispatch)
    return pThis->ExternalAddRef();
}

STDMETHODIMP_(ULONG) CCmdTarget::XDispatch::Release()
{
    METHOD_PROLOGUE(CCmdTarget, Dispatch)
    return pThis->ExternalRelease();
}

STDMETHODIMP CCmdTarget::XDispatch::QueryInterface(REFIID iid, LPVOID* ppvObj)
{
    METHOD_PROLOGUE(CCmdTarget, Dispatch)
    return static_cast<HRESULT>(pThis->ExternalQueryInterface(&iid, ppvObj));
}

STDMETHODIMP CCmdTarget::XDispatch::GetTypeInfoCount(UINT* pctinfo)
{
    if (!pctinfo)
        return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

STDMETHODIMP CCmdTarget::XDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** pptinfo)
{
    if (pptinfo)
        *pptinfo = nullptr;
    return DISP_E_BADINDEX;
}

STDMETHODIMP CCmdTarget::XDispatch::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID, DISPID* rgdispid)
{
    METHOD_PROLOGUE(CCmdTarget, Dispatch)
    if (!IsEqualIID(riid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    return pThis->GetIDsOfNames(rgszNames, cNames, rgdispid);
}

STDMETHODIMP CCmdTarget::XDispatch::Invoke(DISPID dispid, REFIID riid, LCID, WORD wFlags, DISPPARAMS* pdispparams,
                                           VARIANT* pvarResult, EXCEPINFO* pexcepinfo, UINT* puArgErr)
{
    METHOD_PROLOGUE(CCmdTarget, Dispatch)
    if (!IsEqualIID(riid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    return pThis->Invoke(dispid, wFlags, pdispparams, pvarResult, pexcepinfo, puArgErr);
}
