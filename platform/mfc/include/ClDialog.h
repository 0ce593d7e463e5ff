#pragma once
// CDialog: a dialog box from a template in the resource chain, modal or modeless, with dialog data
// exchange (DDX_/DDV_ functions) between its controls and member variables.
#include "ClWnd.h"

class CDialog;

// One exchange between a dialog's controls and its variables.
class CLASSLIB_API CDataExchange
{
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;   // TRUE: controls to variables (with validation)
    CWnd* m_pDlgWnd;
    int m_idLastControl;
    BOOL m_bEditLastControl;

    // The control's window; a missing control is a programming fault (CNotSupportedException).
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // Ends a failed validation: the last control gets the focus, CUserException is thrown.
    [[noreturn]] void Fail();
};

class CLASSLIB_API CDialog : public CWnd
{
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Modeless: the dialog shows (when its template says so) and Create returns.
    BOOL Create(LPCSTR lpszTemplateName, CWnd* pParentWnd = nullptr);
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr) { return Create(MAKEINTRESOURCEA(nIDTemplate), pParentWnd); }
    BOOL CreateIndirect(LPCDLGTEMPLATEA lpDialogTemplate, CWnd* pParentWnd = nullptr);
    // Modal: runs until EndDialog and answers its result; -1 when the template cannot be found
    // or the dialog cannot be made.
    virtual INT_PTR DoModal();
    BOOL InitModalIndirect(LPCDLGTEMPLATEA lpDialogTemplate, CWnd* pParentWnd = nullptr);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int nResult);

    // Exchanges data with the controls; FALSE when a value failed validation.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* pDX);

    void NextDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
    void PrevDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
    void GotoDlgCtrl(CWnd* pWndCtrl);
    void SetDefID(UINT nID) { ::SendMessageA(m_hWnd, DM_SETDEFID, nID, 0); }
    DWORD GetDefID() const { return static_cast<DWORD>(::SendMessageA(m_hWnd, DM_GETDEFID, 0, 0)); }
    BOOL PreTranslateMessage(MSG* pMsg) override;

    LPCSTR m_lpszTemplateName;
    LPCDLGTEMPLATEA m_lpDialogTemplate;
    CWnd* m_pParentWnd;
    UINT m_nIDHelp;
    BOOL m_bModal;

protected:
    // The template: given directly, or found through the resource chain.
    LPCDLGTEMPLATEA FindTemplate() const;
    HWND ParentHandle() const;
    DECLARE_MESSAGE_MAP()
};

// Exchange of one control with one variable. Text that does not parse tells the user (through
// the application's message box) and fails the exchange.
CLASSLIB_API void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, int& value);
CLASSLIB_API void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
CLASSLIB_API void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, long& value);
CLASSLIB_API void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value);
CLASSLIB_API void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, short& value);
CLASSLIB_API void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value);
CLASSLIB_API void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, double& value);
CLASSLIB_API void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, float& value);
CLASSLIB_API void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
CLASSLIB_API void AFXAPI DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// The index of the checked button of the group that starts at nIDC (-1: none).
CLASSLIB_API void AFXAPI DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
CLASSLIB_API void AFXAPI DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
CLASSLIB_API void AFXAPI DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
CLASSLIB_API void AFXAPI DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
CLASSLIB_API void AFXAPI DDX_LBString(CDataExchange* pDX, int nIDC, CString& value);
// Subclasses the control with rControl on the first exchange.
CLASSLIB_API void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

CLASSLIB_API void AFXAPI DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
CLASSLIB_API void AFXAPI DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
CLASSLIB_API void AFXAPI DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal);
CLASSLIB_API void AFXAPI DDV_MinMaxDouble(CDataExchange* pDX, const double& value, double minVal, double maxVal);
CLASSLIB_API void AFXAPI DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
