#pragma once
// Property sheets: a tabbed dialog of property pages (dialog templates in the resource chain),
// shown modal or modeless through the system's property sheet.
#include "ClCollections.h"
#include "ClDialog.h"

#include <commctrl.h>

#include <vector>

class CPropertySheet;

class CLASSLIB_API CPropertyPage : public CDialog
{
    DECLARE_DYNAMIC(CPropertyPage)
public:
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
    explicit CPropertyPage(LPCSTR lpszTemplateName, UINT nIDCaption = 0);
    ~CPropertyPage() override;

    // The page became the current one: answer FALSE to refuse.
    virtual BOOL OnSetActive();
    // The page stops being the current one (another page, or OK): answer FALSE to stay, as when
    // its data do not validate.
    virtual BOOL OnKillActive();
    // OK or Apply: answer FALSE to keep the sheet open on this page.
    virtual BOOL OnApply();
    // Cancel.
    virtual void OnReset();
    virtual BOOL OnQueryCancel();
    void OnOK() override;
    void OnCancel() override;

    // Enables the sheet's Apply button (TRUE) or takes this page's change back (FALSE).
    void SetModified(BOOL bChanged = TRUE);
    void CancelToClose();
    CPropertySheet* GetSheet() const { return m_pSheet; }
    // Whether the page's template can be found through the resource chain.
    BOOL HasTemplate() const { return FindTemplate() != nullptr; }

    PROPSHEETPAGEA m_psp;
    CString m_strCaption;
    BOOL m_bFirstSetActive;
    CPropertySheet* m_pSheet;

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    // Fills m_psp for the sheet; FALSE when the template cannot be found.
    BOOL PreparePage();
    friend class CPropertySheet;
    friend INT_PTR CALLBACK AfxPropPageDlgProc(HWND, UINT, WPARAM, LPARAM);
};

class CLASSLIB_API CPropertySheet : public CWnd
{
    DECLARE_DYNAMIC(CPropertySheet)
public:
    explicit CPropertySheet(UINT nIDCaption = 0, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    explicit CPropertySheet(LPCSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CPropertySheet() override;

    // Pages stay the caller's.
    void AddPage(CPropertyPage* pPage);
    void RemovePage(CPropertyPage* pPage);
    void RemovePage(int nPage);
    int GetPageCount() const { return m_pages.GetSize(); }
    CPropertyPage* GetPage(int nPage) const { return static_cast<CPropertyPage*>(m_pages.GetAt(nPage)); }
    int GetPageIndex(CPropertyPage* pPage) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const;
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage) { return SetActivePage(GetPageIndex(pPage)); }
    void SetTitle(LPCSTR lpszText, UINT nStyle = 0);

    // Runs the sheet: IDOK after OK, IDCANCEL after Cancel, -1 when it cannot be shown (no
    // pages, or a page without its template).
    virtual INT_PTR DoModal();
    // Modeless; FALSE when the sheet cannot be made.
    virtual BOOL Create(CWnd* pParentWnd = nullptr, DWORD dwStyle = static_cast<DWORD>(-1), DWORD dwExStyle = 0);
    void PressButton(int nButton) { SendMessage(PSM_PRESSBUTTON, static_cast<WPARAM>(nButton)); }
    void EndDialog(int nEndID);

    PROPSHEETHEADERA m_psh;
    CString m_strCaption;
    CWnd* m_pParentWnd;
    BOOL m_bModeless;

protected:
    // Builds m_psh over the pages; FALSE when a page cannot be shown.
    BOOL BuildHeader(std::vector<PROPSHEETPAGEA>& pages);
    CPtrArray m_pages;
};
