#include "UnsupportedFormatException.h"

#include "TarnStrings.h"

IMPLEMENT_DYNAMIC(CUnsupportedTarnFormatException, CException)

UINT CUnsupportedTarnFormatException::GetMessageId() const
{
    return m_reason == tooOld ? kIdsCardTooOld : kIdsCardTooNew;
}

BOOL CUnsupportedTarnFormatException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (!lpszError || nMaxError == 0)
        return FALSE;
    const CString text = TarnString(GetMessageId());
    lstrcpynA(lpszError, text, static_cast<int>(nMaxError));
    return TRUE;
}

int CUnsupportedTarnFormatException::ReportError(UINT, UINT)
{
    return MessageBoxA(nullptr, TarnString(GetMessageId()), nullptr, MB_OK);
}
