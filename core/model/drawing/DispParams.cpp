#include "DispParams.h"

#include <new>

void CopyDispParams(DISPPARAMS* dst, const DISPPARAMS* src, int counted)
{
    if (!dst)
        return;
    dst->rgvarg = nullptr;
    dst->rgdispidNamedArgs = nullptr;
    dst->cArgs = 0;
    dst->cNamedArgs = 0;
    if (!src)
        return;

    dst->cArgs = src->cArgs;
    if (src->cArgs && src->rgvarg) {
        dst->rgvarg = new VARIANT[src->cArgs];
        for (UINT i = 0; i < src->cArgs; ++i)
            VariantInit(&dst->rgvarg[i]);
        for (UINT i = 0; i < src->cArgs; ++i) {
            const HRESULT hr = VariantCopy(&dst->rgvarg[i], const_cast<VARIANT*>(&src->rgvarg[i]));
            if (FAILED(hr) && counted) {
                dst->rgvarg[i].vt = VT_ERROR;
                dst->rgvarg[i].scode = hr;
            }
        }
    } else {
        dst->cArgs = 0;
    }

    dst->cNamedArgs = src->cNamedArgs;
    if (src->cNamedArgs && src->rgdispidNamedArgs) {
        dst->rgdispidNamedArgs = new DISPID[src->cNamedArgs];
        for (UINT i = 0; i < src->cNamedArgs; ++i)
            dst->rgdispidNamedArgs[i] = src->rgdispidNamedArgs[i];
    } else {
        dst->cNamedArgs = 0;
    }
}

void FreeDispParams(DISPPARAMS* dst, int)
{
    if (!dst)
        return;
    if (dst->rgvarg) {
        for (UINT i = 0; i < dst->cArgs; ++i)
            VariantClear(&dst->rgvarg[i]);
        delete[] dst->rgvarg;
    }
    delete[] dst->rgdispidNamedArgs;
    dst->rgvarg = nullptr;
    dst->rgdispidNamedArgs = nullptr;
    dst->cArgs = 0;
    dst->cNamedArgs = 0;
}
