#pragma once
// By-name edits over a range the test picks, counting the change notifications.
#include "owner/TextOwnerSetters.h"

class RangeSetters : public CTextOwnerSetters {
public:
    using CTextOwnerSetters::CTextOwnerSetters;
    void ActiveRange(long& s, long& e) const override {
        s = start;
        e = end;
    }
    void BeforeChange() override { ++before; }
    void AfterChange() override { ++after; }
    long start = 0, end = -1;
    int before = 0, after = 0;
};
