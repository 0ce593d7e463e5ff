#pragma once
// The inverse call of one edit, built on the stack of the operation that records it and handed to
// the control's hosting sites (ITarnSiteEvents::AddUndo) or to one direct sink.
#include <windows.h>
#include <oaidl.h>

#include "TarnControls.h"

class CDrawControlBase;

class CUndoCallRecord {
public:
    CUndoCallRecord(CDrawControlBase* control, int argumentCount);
    CUndoCallRecord(ITarnSiteEvents* directSink, int argumentCount);
    ~CUndoCallRecord();
    CUndoCallRecord(const CUndoCallRecord&) = delete;
    CUndoCallRecord& operator=(const CUndoCallRecord&) = delete;

    // Arguments are added in their natural order and stored last-first, as Invoke expects.
    HRESULT AddArg(const VARIANT& value);
    HRESULT AddArg(double value);
    HRESULT AddArg(long value);
    HRESULT AddArg(const wchar_t* text);
    HRESULT AddBoolArg(bool value);

    void Fire(const wchar_t* methodName, IDispatch* target, UINT captionId, long recordType = UDT_Plain);

    const DISPPARAMS& Arguments() const { return params_; }

private:
    CDrawControlBase* control_;
    ITarnSiteEvents* directSink_;
    int nextSlot_;
    DISPPARAMS params_;
};
