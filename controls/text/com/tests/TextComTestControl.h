#pragma once
// The text test control with the text layer's COM face: what the text control will answer.
#include "TextTestControl.h"
#include "com/TextOwnerCom.h"

class CTextComTestControl : public CTextTestControl, public CTextOwnerCom {
public:
    CTextComTestControl() : CTextOwnerCom(*this, model, layout) {}
    HRESULT QueryControlInterface(REFIID iid, void** ppv) override;

    // The range the range edits work on; the whole text unless a test narrows it.
    void ActiveTextRange(long& s, long& e) const override {
        s = start;
        e = end;
    }
    long start = 0, end = -1;
};

typedef CComObject<CTextComTestControl> TextComTestControlObject;
// Makes one with one reference.
TextComTestControlObject* NewTextComTestControl();
