#pragma once
// A child frame's caption: the document's title, " - " and the frame's additional description
// when it has one, and ":n" with the window's number when the document shows in several windows.
#include "ClString.h"
#include "TarnApi.h"

TARN_API CString MakeChildFrameTitle(const CString& documentTitle, const CString& additionalDescription,
                                     int windowNumber, int windowCount);
