#include "ClDialog.h"
#include "ClException.h"
#include "ClModule.h"
#include "ClResourceIds.h"
#include "ClWinApp.h"
#include "InitDialogGuard.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <new>

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

namespace {
// The dialog procedure behind DefDlgProc: only WM_INITDIALOG needs it; everything else reaches
// the dialog's object through its window procedure first.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* dialog = DYNAMIC_DOWNCAST(CDialog, CWnd::FromHandlePermanent(hWnd));
    if (!dialog)
        return TRUE;
    bool failed = false;
    const BOOL result = CallOnInitDialogGuarded(dialog, hWnd, &failed);
    if (failed) {
        if (dialog->m_bModal)
            ::EndDialog(hWnd, -1);
        else
            ::DestroyWindow(hWnd);
        return FALSE;
    }
    return result;
}

HINSTANCE TemplateModule(LPCSTR name)
{
    return AfxFindResourceHandle(name, MAKEINTRESOURCEA(5) /* RT_DIALOG */);
}
}

BOOL CallOnInitDialogGuarded(CDialog* dialog, HWND hWnd, bool* failed)
{
    CException* failure = nullptr;
    BOOL result = TRUE;
    try {
        result = dialog->OnInitDialog();
    } catch (CException* e) {
        failure = e;
    } catch (const std::bad_alloc&) {
        failure = new CMemoryException;
    }
    *failed = failure != nullptr;
    if (!failure)
        return result;
    MSG msg = {hWnd, WM_INITDIALOG, 0, 0, 0, {0, 0}};
    if (CWinApp* app = AfxGetApp())
        app->ProcessWndProcException(failure, &msg);
    else
        failure->ReportError();
    failure->Delete();
    return FALSE;
}

CDialog::CDialog()
    : m_lpszTemplateName(nullptr), m_lpDialogTemplate(nullptr), m_pParentWnd(nullptr), m_nIDHelp(0), m_bModal(FALSE)
{
}

CDialog::CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd) : CDialog()
{
    m_lpszTemplateName = lpszTemplateName;
    m_pParentWnd = pParentWnd;
    if (IS_INTRESOURCE(lpszTemplateName))
        m_nIDHelp = LOWORD(reinterpret_cast<ULONG_PTR>(lpszTemplateName));
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : CDialog(MAKEINTRESOURCEA(nIDTemplate), pParentWnd) {}

CDialog::~CDialog() = default;

LPCDLGTEMPLATEA CDialog::FindTemplate() const
{
    if (m_lpDialogTemplate)
        return m_lpDialogTemplate;
    if (!m_lpszTemplateName)
        return nullptr;
    HINSTANCE module = TemplateModule(m_lpszTemplateName);
    HRSRC found = ::FindResourceA(module, m_lpszTemplateName, MAKEINTRESOURCEA(5));
    if (!found)
        return nullptr;
    return static_cast<LPCDLGTEMPLATEA>(::LockResource(::LoadResource(module, found)));
}

HWND CDialog::ParentHandle() const
{
    if (m_pParentWnd && m_pParentWnd->m_hWnd)
        return m_pParentWnd->m_hWnd;
    CWnd* main = AfxGetMainWnd();
    return main ? main->m_hWnd : nullptr;
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATEA lpDialogTemplate, CWnd* pParentWnd)
{
    m_lpDialogTemplate = lpDialogTemplate;
    m_pParentWnd = pParentWnd;
    return lpDialogTemplate != nullptr;
}

INT_PTR CDialog::DoModal()
{
    LPCDLGTEMPLATEA dialogTemplate = FindTemplate();
    if (!dialogTemplate || m_hWnd)
        return -1;
    HINSTANCE module = m_lpszTemplateName ? TemplateModule(m_lpszTemplateName) : AfxGetResourceHandle();
    m_bModal = TRUE;
    INT_PTR result;
    {
        AfxCreationScope scope(this);
        result = ::DialogBoxIndirectParamA(module, dialogTemplate, ParentHandle(), &AfxDlgProc, 0);
    }
    m_bModal = FALSE;
    return result;
}

BOOL CDialog::Create(LPCSTR lpszTemplateName, CWnd* pParentWnd)
{
    m_lpszTemplateName = lpszTemplateName;
    m_pParentWnd = pParentWnd;
    LPCDLGTEMPLATEA dialogTemplate = FindTemplate();
    if (!dialogTemplate)
        return FALSE;
    return CreateIndirect(dialogTemplate, pParentWnd);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATEA lpDialogTemplate, CWnd* pParentWnd)
{
    if (!lpDialogTemplate || m_hWnd)
        return FALSE;
    m_pParentWnd = pParentWnd;
    HINSTANCE module = m_lpszTemplateName ? TemplateModule(m_lpszTemplateName) : AfxGetResourceHandle();
    HWND hWnd;
    {
        AfxCreationScope scope(this);
        hWnd = ::CreateDialogIndirectParamA(module, lpDialogTemplate, ParentHandle(), &AfxDlgProc, 0);
    }
    return hWnd != nullptr;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int nResult)
{
    if (m_hWnd)
        ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange exchange(this, bSaveAndValidate);
    try {
        DoDataExchange(&exchange);
    } catch (CUserException* e) {
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl)
{
    if (pWndCtrl && pWndCtrl->m_hWnd)
        ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->m_hWnd), TRUE);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    // A modal dialog's own loop does the dialog keys; a modeless one needs them done here.
    if (!m_bModal && m_hWnd && pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST)
        return ::IsDialogMessageA(m_hWnd, pMsg);
    return FALSE;
}

// ---------------------------------------------------------------------------------------------

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd), m_idLastControl(0), m_bEditLastControl(FALSE)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND control = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    if (!control)
        AfxThrowNotSupportedException();
    m_idLastControl = nIDC;
    m_bEditLastControl = FALSE;
    return control;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND control = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return control;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_idLastControl) {
        HWND control = ::GetDlgItem(m_pDlgWnd->m_hWnd, m_idLastControl);
        if (control) {
            ::SetFocus(control);
            if (m_bEditLastControl)
                ::SendMessageA(control, EM_SETSEL, 0, -1);
        }
    }
    AfxThrowUserException();
}

namespace {
CString TextOf(HWND control)
{
    CString text;
    const int length = ::GetWindowTextLengthA(control);
    ::GetWindowTextA(control, text.GetBuffer(length + 1), length + 1);
    text.ReleaseBuffer();
    return text;
}

[[noreturn]] void FailWith(CDataExchange* pDX, UINT nIDPrompt)
{
    AfxMessageBox(nIDPrompt, MB_ICONEXCLAMATION);
    pDX->Fail();
}

// The whole text (spaces around allowed) as a number in [minValue, maxValue].
bool ParseSigned(const CString& text, long long minValue, long long maxValue, long long& out)
{
    CString trimmed = text;
    trimmed.TrimLeft();
    trimmed.TrimRight();
    if (trimmed.IsEmpty())
        return false;
    char* end = nullptr;
    errno = 0;
    const long long value = strtoll(trimmed, &end, 10);
    if (errno != 0 || *end != 0 || value < minValue || value > maxValue)
        return false;
    out = value;
    return true;
}

template <class T>
void ExchangeInteger(CDataExchange* pDX, int nIDC, T& value, long long minValue, long long maxValue, bool isSigned)
{
    HWND control = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        const CString text = TextOf(control);
        long long parsed = 0;
        if (!isSigned && text.Find('-') >= 0)
            FailWith(pDX, AFX_IDP_PARSE_INT);
        if (!ParseSigned(text, minValue, maxValue, parsed))
            FailWith(pDX, AFX_IDP_PARSE_INT);
        value = static_cast<T>(parsed);
    } else {
        char text[32];
        if (isSigned)
            snprintf(text, sizeof text, "%lld", static_cast<long long>(value));
        else
            snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(value));
        ::SetWindowTextA(control, text);
    }
}

template <class T>
void ExchangeReal(CDataExchange* pDX, int nIDC, T& value, int digits)
{
    HWND control = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        CString text = TextOf(control);
        text.TrimLeft();
        text.TrimRight();
        char* end = nullptr;
        errno = 0;
        const double parsed = text.IsEmpty() ? 0.0 : strtod(text, &end);
        if (text.IsEmpty() || errno != 0 || *end != 0)
            FailWith(pDX, AFX_IDP_PARSE_REAL);
        value = static_cast<T>(parsed);
    } else {
        char text[64];
        snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
        ::SetWindowTextA(control, text);
    }
}

void RangeFailure(CDataExchange* pDX, UINT nIDPrompt, LPCSTR low, LPCSTR high)
{
    CString format, prompt;
    format.LoadString(nIDPrompt);
    prompt.FormatMessage(static_cast<LPCSTR>(format), low, high);
    AfxMessageBox(prompt, MB_ICONEXCLAMATION, nIDPrompt);
    pDX->Fail();
}
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, int& value) { ExchangeInteger(pDX, nIDC, value, INT_MIN, INT_MAX, true); }
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) { ExchangeInteger(pDX, nIDC, value, 0, UINT_MAX, false); }
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, long& value) { ExchangeInteger(pDX, nIDC, value, LONG_MIN, LONG_MAX, true); }
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value) { ExchangeInteger(pDX, nIDC, value, 0, ULONG_MAX, false); }
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, short& value) { ExchangeInteger(pDX, nIDC, value, SHRT_MIN, SHRT_MAX, true); }
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, BYTE& value) { ExchangeInteger(pDX, nIDC, value, 0, UCHAR_MAX, false); }
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, double& value) { ExchangeReal(pDX, nIDC, value, DBL_DIG); }
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, float& value) { ExchangeReal(pDX, nIDC, value, FLT_DIG); }

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND control = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = TextOf(control);
    else
        ::SetWindowTextA(control, value);
}

void AFXAPI DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND control = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageA(control, BM_GETCHECK, 0, 0));
    else
        ::SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void AFXAPI DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND control = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = -1;
    int index = 0;
    for (HWND button = control; button; button = ::GetWindow(button, GW_HWNDNEXT), ++index) {
        if (button != control && (::GetWindowLongA(button, GWL_STYLE) & WS_GROUP))
            break;
        if (!(::SendMessageA(button, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
            continue;
        if (pDX->m_bSaveAndValidate) {
            if (::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED)
                value = index;
        } else {
            ::SendMessageA(button, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
}

void AFXAPI DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND control = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = static_cast<int>(::SendMessageA(control, CB_GETCURSEL, 0, 0));
    else
        ::SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void AFXAPI DDX_CBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND control = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        const LRESULT selected = ::SendMessageA(control, CB_GETCURSEL, 0, 0);
        if (selected != CB_ERR) {
            const int length = static_cast<int>(::SendMessageA(control, CB_GETLBTEXTLEN, selected, 0));
            ::SendMessageA(control, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(value.GetBuffer(length + 1)));
            value.ReleaseBuffer();
        } else {
            value = TextOf(control);
        }
    } else if (::SendMessageA(control, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(static_cast<LPCSTR>(value))) == CB_ERR) {
        ::SetWindowTextA(control, value);
    }
}

void AFXAPI DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index)
{
    HWND control = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        index = static_cast<int>(::SendMessageA(control, LB_GETCURSEL, 0, 0));
    else
        ::SendMessageA(control, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void AFXAPI DDX_LBString(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND control = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        const LRESULT selected = ::SendMessageA(control, LB_GETCURSEL, 0, 0);
        value.Empty();
        if (selected != LB_ERR) {
            const int length = static_cast<int>(::SendMessageA(control, LB_GETTEXTLEN, selected, 0));
            ::SendMessageA(control, LB_GETTEXT, selected, reinterpret_cast<LPARAM>(value.GetBuffer(length + 1)));
            value.ReleaseBuffer();
        }
    } else {
        ::SendMessageA(control, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(static_cast<LPCSTR>(value)));
    }
}

void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd)
        return;
    if (!rControl.SubclassWindow(pDX->PrepareCtrl(nIDC)))
        AfxThrowNotSupportedException();
}

void AFXAPI DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    char low[16], high[16];
    snprintf(low, sizeof low, "%d", minVal);
    snprintf(high, sizeof high, "%d", maxVal);
    RangeFailure(pDX, AFX_IDP_PARSE_INT_RANGE, low, high);
}

void AFXAPI DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    char low[16], high[16];
    snprintf(low, sizeof low, "%u", minVal);
    snprintf(high, sizeof high, "%u", maxVal);
    RangeFailure(pDX, AFX_IDP_PARSE_INT_RANGE, low, high);
}

void AFXAPI DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    char low[24], high[24];
    snprintf(low, sizeof low, "%ld", minVal);
    snprintf(high, sizeof high, "%ld", maxVal);
    RangeFailure(pDX, AFX_IDP_PARSE_INT_RANGE, low, high);
}

void AFXAPI DDV_MinMaxDouble(CDataExchange* pDX, const double& value, double minVal, double maxVal)
{
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal))
        return;
    char low[32], high[32];
    snprintf(low, sizeof low, "%.*g", DBL_DIG, minVal);
    snprintf(high, sizeof high, "%.*g", DBL_DIG, maxVal);
    RangeFailure(pDX, AFX_IDP_PARSE_REAL_RANGE, low, high);
}

void AFXAPI DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars)
{
    if (!pDX->m_bSaveAndValidate) {
        if (pDX->m_idLastControl && pDX->m_bEditLastControl)
            ::SendMessageA(::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, pDX->m_idLastControl), EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
        return;
    }
    if (value.GetLength() <= nChars)
        return;
    char count[16];
    snprintf(count, sizeof count, "%d", nChars);
    CString format, prompt;
    format.LoadString(AFX_IDP_PARSE_STRING_SIZE);
    prompt.FormatMessage(static_cast<LPCSTR>(format), count);
    AfxMessageBox(prompt, MB_ICONEXCLAMATION, AFX_IDP_PARSE_STRING_SIZE);
    pDX->Fail();
}
