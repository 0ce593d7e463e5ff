#pragma once
// The order in which the MDI client's children were last activated, most recent first, so that
// Ctrl+Tab steps through the documents in the order the user used them. The list is brought up
// to date on idle, but not while Ctrl is held: a run of Ctrl+Tab walks the order as it stood
// when Ctrl went down.
#include <windows.h>

#include <vector>

#include "TarnApi.h"

class TARN_API CMdiActivationOrder {
public:
    // A new child comes first.
    void Created(HWND child);
    void Destroyed(HWND child);
    // The child Ctrl+Tab (or Ctrl+Shift+Tab, previous) goes to from the active one: the next in
    // the list after it, round to the first; the one before it, round to the last. Null when the
    // list is empty.
    HWND Target(HWND active, bool previous) const;
    // Idle: the active child moves to the front unless Ctrl is down (a child the list did not know
    // yet joins it there). True when the list changed.
    bool Idle(HWND active, bool ctrlDown);

    const std::vector<HWND>& Order() const { return m_order; }

private:
    std::vector<HWND> m_order;
};
