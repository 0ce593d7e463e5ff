#pragma once
// The main frame's MDI client, subclassed so that Ctrl+Tab steps through the child frames in the
// order they were last activated rather than in the order they were made.
#include "ClWnd.h"
#include "MdiActivationOrder.h"
#include "TarnApi.h"

class TARN_API CMDIOrderClient : public CWnd {
public:
    const CMdiActivationOrder& Order() const { return m_order; }
    HMENU WindowMenu() const { return m_hWindowMenu; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HWND ActiveChild() const;
    CMdiActivationOrder m_order;
    HMENU m_hWindowMenu = nullptr;
};
