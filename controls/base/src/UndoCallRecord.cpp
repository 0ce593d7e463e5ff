#include "tarn/UndoCallRecord.h"

#include <string>

#include "tarn/ControlsModuleState.h"
#include "tarn/DrawControlBase.h"

namespace {
VARIANT* AllocateArguments(int count) {
    if (count <= 0) return nullptr;
    VARIANT* args = new VARIANT[count];
    for (int i = 0; i < count; ++i) VariantInit(&args[i]);
    return args;
}
}  // namespace

CUndoCallRecord::CUndoCallRecord(CDrawControlBase* control, int argumentCount)
    : control_(control), directSink_(nullptr), nextSlot_(argumentCount > 0 ? argumentCount : 0) {
    params_.rgvarg = AllocateArguments(argumentCount);
    params_.rgdispidNamedArgs = nullptr;
    params_.cArgs = nextSlot_;
    params_.cNamedArgs = 0;
}

CUndoCallRecord::CUndoCallRecord(ITarnSiteEvents* directSink, int argumentCount)
    : CUndoCallRecord(static_cast<CDrawControlBase*>(nullptr), argumentCount) {
    directSink_ = directSink;
}

CUndoCallRecord::~CUndoCallRecord() {
    for (UINT i = 0; i < params_.cArgs; ++i) VariantClear(&params_.rgvarg[i]);
    delete[] params_.rgvarg;
}

HRESULT CUndoCallRecord::AddArg(const VARIANT& value) {
    if (nextSlot_ <= 0) return E_UNEXPECTED;
    VARIANT& slot = params_.rgvarg[--nextSlot_];
    HRESULT hr = VariantCopy(&slot, const_cast<VARIANT*>(&value));
    if (FAILED(hr)) {
        VariantClear(&slot);
        V_VT(&slot) = VT_ERROR;
        V_ERROR(&slot) = hr;
    }
    return hr;
}

HRESULT CUndoCallRecord::AddArg(double value) {
    VARIANT v;
    V_VT(&v) = VT_R8;
    V_R8(&v) = value;
    return AddArg(v);
}

HRESULT CUndoCallRecord::AddArg(long value) {
    VARIANT v;
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return AddArg(v);
}

HRESULT CUndoCallRecord::AddBoolArg(bool value) {
    VARIANT v;
    V_VT(&v) = VT_BOOL;
    V_BOOL(&v) = value ? VARIANT_TRUE : VARIANT_FALSE;
    return AddArg(v);
}

HRESULT CUndoCallRecord::AddArg(const wchar_t* text) {
    VARIANT v;
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = SysAllocString(text ? text : L"");
    if (!V_BSTR(&v)) {
        if (nextSlot_ <= 0) return E_UNEXPECTED;
        VARIANT& slot = params_.rgvarg[--nextSlot_];
        V_VT(&slot) = VT_ERROR;
        V_ERROR(&slot) = E_OUTOFMEMORY;
        return E_OUTOFMEMORY;
    }
    HRESULT hr = AddArg(v);
    VariantClear(&v);
    return hr;
}

void CUndoCallRecord::Fire(const wchar_t* methodName, IDispatch* target, UINT captionId, long recordType) {
    std::string caption = LoadResourceString(captionId);
    BSTR method = SysAllocString(methodName);
    tagUndoData data;
    data.Description = &caption[0];
    data.Method = method;
    data.Arguments = &params_;
    data.Target = target;
    data.ExtraReference = 0;
    data.ArgumentForm = 1;
    data.Type = recordType;
    if (target) target->AddRef();
    if (control_)
        control_->FireAddUndo(&data);
    else if (directSink_)
        directSink_->AddUndo(&data);
    if (target) target->Release();
    SysFreeString(method);
}
