#pragma once
// Printing: the print dialog, the state of one print job (CPrintInfo), and the application's
// printer settings.
#include "ClDialog.h"

#include <commdlg.h>
// The dialog header renames GetFileTitle, which CFile has as a member.
#ifdef GetFileTitle
#undef GetFileTitle
#endif

#define ID_FILE_PRINT_SETUP 0xE106
#define ID_FILE_PRINT 0xE107
#define ID_FILE_PRINT_DIRECT 0xE108

class CLASSLIB_API CPrintDialog : public CDialog
{
    DECLARE_DYNAMIC(CPrintDialog)
public:
    explicit CPrintDialog(BOOL bPrintSetupOnly,
                          DWORD dwFlags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE | PD_NOSELECTION,
                          CWnd* pParentWnd = nullptr);
    ~CPrintDialog() override;

    // The system's print (or print setup) dialog: IDOK or IDCANCEL.
    INT_PTR DoModal() override;
    // The default printer's settings without showing anything; FALSE when there is no printer.
    BOOL GetDefaults();
    // A DC for the chosen printer (the caller deletes it); null without one.
    HDC CreatePrinterDC();
    HDC GetPrinterDC() const { return m_pd.hDC; }
    int GetCopies() const;
    BOOL PrintAll() const { return (m_pd.Flags & (PD_PAGENUMS | PD_SELECTION)) == 0; }
    BOOL PrintRange() const { return (m_pd.Flags & PD_PAGENUMS) != 0; }
    BOOL PrintSelection() const { return (m_pd.Flags & PD_SELECTION) != 0; }
    int GetFromPage() const { return PrintRange() ? m_pd.nFromPage : -1; }
    int GetToPage() const { return PrintRange() ? m_pd.nToPage : -1; }
    CString GetDeviceName() const;
    CString GetDriverName() const;
    CString GetPortName() const;

    PRINTDLGA m_pd;
};

// The state of one print job, shared by the view's printing steps.
struct CLASSLIB_API CPrintInfo
{
    CPrintInfo();
    ~CPrintInfo();
    CPrintInfo(const CPrintInfo&) = delete;
    CPrintInfo& operator=(const CPrintInfo&) = delete;

    void SetMinPage(UINT nMinPage) { m_pPD->m_pd.nMinPage = static_cast<WORD>(nMinPage); }
    void SetMaxPage(UINT nMaxPage) { m_pPD->m_pd.nMaxPage = static_cast<WORD>(nMaxPage); }
    UINT GetMinPage() const { return m_pPD->m_pd.nMinPage; }
    UINT GetMaxPage() const { return m_pPD->m_pd.nMaxPage; }
    // The pages to print: the chosen range, or all pages.
    UINT GetFromPage() const;
    UINT GetToPage() const;

    CPrintDialog* m_pPD;        // owned
    BOOL m_bDirect;             // print without the dialog
    BOOL m_bPreview;
    BOOL m_bContinuePrinting;   // cleared to end the job after the current page
    UINT m_nCurPage;
    UINT m_nNumPreviewPages;
    CString m_strPageDesc;
    LPVOID m_lpUserData;
    CRect m_rectDraw;           // the printable area of the current page
};
