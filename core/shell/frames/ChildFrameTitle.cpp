#include "ChildFrameTitle.h"

CString MakeChildFrameTitle(const CString& documentTitle, const CString& additionalDescription, int windowNumber,
                            int windowCount)
{
    CString title = documentTitle;
    if (!additionalDescription.IsEmpty()) {
        CString extra;
        extra.Format(" - %s", static_cast<LPCSTR>(additionalDescription));
        title += extra;
    }
    if (windowCount > 1) {
        CString number;
        number.Format(":%d", windowNumber);
        title += number;
    }
    return title;
}
