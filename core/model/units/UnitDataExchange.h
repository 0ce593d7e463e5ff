#pragma once
#include "ClDialog.h"
#include "TarnApi.h"

// Dialog data exchange of a length edit field holding unit text. Saving parses up to 63
// characters (arithmetic and a unit allowed, the default unit otherwise) and fails the exchange on
// malformed text; loading writes the length in the default unit.
TARN_API void DDX_Text_Unit(CDataExchange* pDX, int controlId, double& inches, int precision);
// When saving, fails the exchange for a value outside min .. max (with a tolerance of 1e-10).
TARN_API void DDV_MinMaxDouble_Unit(CDataExchange* pDX, double& value, double min, double max);
