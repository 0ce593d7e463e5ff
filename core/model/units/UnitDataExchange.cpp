#include "UnitDataExchange.h"

#include <cmath>

#include "UnitText.h"

void DDX_Text_Unit(CDataExchange* pDX, int controlId, double& inches, int precision)
{
    HWND edit = pDX->PrepareEditCtrl(controlId);
    if (pDX->m_bSaveAndValidate) {
        char text[64] = {};
        GetWindowTextA(edit, text, sizeof text);
        const double value = ParseUnitsText(text, 1);
        if (value == -HUGE_VAL)
            pDX->Fail();
        inches = value;
    } else {
        char text[kUnitTextSize] = {};
        FormatUnitsText(inches, text, precision);
        SetWindowTextA(edit, text);
    }
}

void DDV_MinMaxDouble_Unit(CDataExchange* pDX, double& value, double min, double max)
{
    if (pDX->m_bSaveAndValidate && (value < min - 1e-10 || value > max + 1e-10))
        pDX->Fail();
}
