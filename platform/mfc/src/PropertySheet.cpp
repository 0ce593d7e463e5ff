#include "ClPropertySheet.h"
#include "ClException.h"
#include "ClModule.h"
#include "ClWinApp.h"
#include "InitDialogGuard.h"

#include <new>
#include <vector>

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

// The page procedure: the page's object takes the window at WM_INITDIALOG, from then on its
// messages come through the object's window procedure first.
INT_PTR CALLBACK AfxPropPageDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* psp = reinterpret_cast<PROPSHEETPAGEA*>(lParam);
    auto* page = psp ? reinterpret_cast<CPropertyPage*>(psp->lParam) : nullptr;
    if (!page || !page->SubclassWindow(hWnd))
        return TRUE;
    bool failed = false;
    return CallOnInitDialogGuarded(page, hWnd, &failed);
}

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption)
    : CPropertyPage(MAKEINTRESOURCEA(nIDTemplate), nIDCaption)
{
}

CPropertyPage::CPropertyPage(LPCSTR lpszTemplateName, UINT nIDCaption)
    : CDialog(lpszTemplateName), m_psp(), m_bFirstSetActive(TRUE), m_pSheet(nullptr)
{
    if (nIDCaption)
        m_strCaption.LoadString(nIDCaption);
}

CPropertyPage::~CPropertyPage() = default;

BOOL CPropertyPage::PreparePage()
{
    LPCDLGTEMPLATEA pageTemplate = FindTemplate();
    if (!pageTemplate)
        return FALSE;
    m_psp = {};
    m_psp.dwSize = sizeof m_psp;
    m_psp.dwFlags = PSP_DLGINDIRECT;
    m_psp.hInstance = m_lpszTemplateName ? AfxFindResourceHandle(m_lpszTemplateName, MAKEINTRESOURCEA(5))
                                         : AfxGetResourceHandle();
    m_psp.pResource = pageTemplate;
    m_psp.pfnDlgProc = &AfxPropPageDlgProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
    if (!m_strCaption.IsEmpty()) {
        m_psp.dwFlags |= PSP_USETITLE;
        m_psp.pszTitle = m_strCaption;
    }
    m_bFirstSetActive = TRUE;
    return TRUE;
}

BOOL CPropertyPage::OnSetActive()
{
    if (m_bFirstSetActive)
        m_bFirstSetActive = FALSE;
    else
        UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }

BOOL CPropertyPage::OnApply()
{
    OnOK();
    return TRUE;
}

void CPropertyPage::OnReset() { OnCancel(); }
BOOL CPropertyPage::OnQueryCancel() { return TRUE; }
void CPropertyPage::OnOK() {}
void CPropertyPage::OnCancel() {}

void CPropertyPage::SetModified(BOOL bChanged)
{
    HWND sheet = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
    if (sheet)
        ::SendMessageA(sheet, bChanged ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CPropertyPage::CancelToClose()
{
    HWND sheet = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
    if (sheet)
        ::SendMessageA(sheet, PSM_CANCELTOCLOSE, 0, 0);
}

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    LRESULT result;
    switch (header ? header->code : 0) {
    case PSN_SETACTIVE: result = OnSetActive() ? 0 : -1; break;
    case PSN_KILLACTIVE: result = OnKillActive() ? FALSE : TRUE; break;
    case PSN_APPLY: result = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE; break;
    case PSN_RESET: OnReset(); result = 0; break;
    case PSN_QUERYCANCEL: result = OnQueryCancel() ? FALSE : TRUE; break;
    default: return CDialog::OnNotify(wParam, lParam, pResult);
    }
    // The sheet reads a dialog's answer from its message result.
    ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    *pResult = result;
    return TRUE;
}

// ---------------------------------------------------------------------------------------------

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_psh(), m_pParentWnd(pParentWnd), m_bModeless(FALSE)
{
    if (nIDCaption)
        m_strCaption.LoadString(nIDCaption);
    m_psh.nStartPage = iSelectPage;
}

CPropertySheet::CPropertySheet(LPCSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_psh(), m_strCaption(pszCaption), m_pParentWnd(pParentWnd), m_bModeless(FALSE)
{
    m_psh.nStartPage = iSelectPage;
}

CPropertySheet::~CPropertySheet() = default;

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    if (!pPage)
        AfxThrowInvalidArgException();
    pPage->m_pSheet = this;
    m_pages.Add(pPage);
    if (m_hWnd && pPage->PreparePage()) {
        HPROPSHEETPAGE handle = ::CreatePropertySheetPageA(&pPage->m_psp);
        if (handle)
            SendMessage(PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(handle));
    }
}

void CPropertySheet::RemovePage(CPropertyPage* pPage) { RemovePage(GetPageIndex(pPage)); }

void CPropertySheet::RemovePage(int nPage)
{
    if (nPage < 0 || nPage >= m_pages.GetSize())
        return;
    if (m_hWnd)
        SendMessage(PSM_REMOVEPAGE, static_cast<WPARAM>(nPage));
    GetPage(nPage)->m_pSheet = nullptr;
    m_pages.RemoveAt(nPage);
}

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const
{
    for (int i = 0; i < m_pages.GetSize(); ++i)
        if (m_pages.GetAt(i) == pPage)
            return i;
    return -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
    const int index = GetActiveIndex();
    return index >= 0 && index < m_pages.GetSize() ? GetPage(index) : nullptr;
}

int CPropertySheet::GetActiveIndex() const
{
    if (!m_hWnd)
        return static_cast<int>(m_psh.nStartPage);
    HWND tabs = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETTABCONTROL, 0, 0));
    return tabs ? static_cast<int>(::SendMessageA(tabs, TCM_GETCURSEL, 0, 0)) : -1;
}

BOOL CPropertySheet::SetActivePage(int nPage)
{
    if (nPage < 0 || nPage >= m_pages.GetSize())
        return FALSE;
    if (!m_hWnd) {
        m_psh.nStartPage = static_cast<UINT>(nPage);
        return TRUE;
    }
    return static_cast<BOOL>(SendMessage(PSM_SETCURSEL, static_cast<WPARAM>(nPage)));
}

void CPropertySheet::SetTitle(LPCSTR lpszText, UINT nStyle)
{
    m_strCaption = lpszText;
    m_psh.dwFlags = (m_psh.dwFlags & ~PSH_PROPTITLE) | (nStyle & PSH_PROPTITLE);
    if (m_hWnd)
        SendMessage(PSM_SETTITLEA, nStyle, reinterpret_cast<LPARAM>(lpszText));
}

BOOL CPropertySheet::BuildHeader(std::vector<PROPSHEETPAGEA>& pages)
{
    if (m_pages.GetSize() == 0)
        return FALSE;
    pages.clear();
    for (int i = 0; i < m_pages.GetSize(); ++i) {
        CPropertyPage* page = GetPage(i);
        if (!page->PreparePage())
            return FALSE;
        pages.push_back(page->m_psp);
    }
    const DWORD keep = m_psh.dwFlags & PSH_PROPTITLE;
    const UINT start = m_psh.nStartPage < pages.size() ? m_psh.nStartPage : 0;
    m_psh = {};
    m_psh.dwSize = sizeof m_psh;
    m_psh.dwFlags = PSH_PROPSHEETPAGE | keep | (m_bModeless ? PSH_MODELESS : 0);
    m_psh.hwndParent = m_pParentWnd ? m_pParentWnd->m_hWnd : (AfxGetMainWnd() ? AfxGetMainWnd()->m_hWnd : nullptr);
    m_psh.hInstance = AfxGetResourceHandle();
    m_psh.pszCaption = m_strCaption;
    m_psh.nPages = static_cast<UINT>(pages.size());
    m_psh.nStartPage = start;
    m_psh.ppsp = pages.data();
    return TRUE;
}

INT_PTR CPropertySheet::DoModal()
{
    if (m_hWnd)
        return -1;
    m_bModeless = FALSE;
    std::vector<PROPSHEETPAGEA> pages;
    if (!BuildHeader(pages))
        return -1;
    INT_PTR result;
    {
        AfxCreationScope scope(this);
        result = ::PropertySheetA(&m_psh);
    }
    if (m_hWnd)   // the sheet's window is gone with the sheet
        Detach();
    return result < 0 ? -1 : result > 0 ? IDOK : IDCANCEL;
}

BOOL CPropertySheet::Create(CWnd* pParentWnd, DWORD dwStyle, DWORD dwExStyle)
{
    (void)dwStyle;
    (void)dwExStyle;
    if (m_hWnd)
        return FALSE;
    if (pParentWnd)
        m_pParentWnd = pParentWnd;
    m_bModeless = TRUE;
    std::vector<PROPSHEETPAGEA> pages;
    if (!BuildHeader(pages))
        return FALSE;
    INT_PTR result;
    {
        AfxCreationScope scope(this);
        result = ::PropertySheetA(&m_psh);
    }
    return result != 0 && result != -1 && m_hWnd != nullptr;
}

void CPropertySheet::EndDialog(int nEndID)
{
    if (!m_hWnd)
        return;
    if (m_bModeless)
        DestroyWindow();
    else
        PressButton(nEndID == IDOK ? PSBTN_OK : PSBTN_CANCEL);
}
