#pragma once
// A card whose version this program doesn't read: made by an older (reason 0) or a newer
// (reason 1) version of the program.
#include "ClException.h"
#include "TarnApi.h"

class TARN_API CUnsupportedTarnFormatException : public CException {
    DECLARE_DYNAMIC(CUnsupportedTarnFormatException)
public:
    enum { tooOld = 0, tooNew = 1 };
    explicit CUnsupportedTarnFormatException(int reason = tooOld) : m_reason(reason) {}

    BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) override;
    int ReportError(UINT nType = MB_OK, UINT nMessageID = 0) override;
    UINT GetMessageId() const;

    int m_reason;
};
