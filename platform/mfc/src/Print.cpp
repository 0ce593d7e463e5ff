#include "ClPrint.h"
#include "ClDocView.h"
#include "ClException.h"
#include "ClWinApp.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CPrintDialog, CDialog)

CPrintDialog::CPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd) : m_pd()
{
    m_pParentWnd = pParentWnd;
    m_pd.lStructSize = sizeof m_pd;
    m_pd.Flags = dwFlags | (bPrintSetupOnly ? PD_PRINTSETUP : PD_RETURNDC);
    m_pd.nCopies = 1;
    m_pd.nFromPage = m_pd.nToPage = 1;
    m_pd.nMinPage = 1;
    m_pd.nMaxPage = 0xFFFF;
}

CPrintDialog::~CPrintDialog()
{
    // The settings' blocks belong to whoever set them (usually the application).
    if (m_pd.hDC)
        ::DeleteDC(m_pd.hDC);
}

INT_PTR CPrintDialog::DoModal()
{
    CWnd* owner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    m_pd.hwndOwner = owner ? owner->m_hWnd : nullptr;
    if (m_pd.hDC) {
        ::DeleteDC(m_pd.hDC);
        m_pd.hDC = nullptr;
    }
    return ::PrintDlgA(&m_pd) ? IDOK : IDCANCEL;
}

BOOL CPrintDialog::GetDefaults()
{
    const DWORD flags = m_pd.Flags;
    m_pd.Flags |= PD_RETURNDEFAULT;
    m_pd.Flags &= ~static_cast<DWORD>(PD_RETURNDC);
    const BOOL result = ::PrintDlgA(&m_pd);
    m_pd.Flags = flags;
    return result;
}

namespace {
CString DevNamesField(HGLOBAL devNames, int field)
{
    CString text;
    if (!devNames)
        return text;
    auto* names = static_cast<DEVNAMES*>(::GlobalLock(devNames));
    if (names) {
        const WORD offsets[] = {names->wDriverOffset, names->wDeviceOffset, names->wOutputOffset};
        text = reinterpret_cast<LPCSTR>(names) + offsets[field];
        ::GlobalUnlock(devNames);
    }
    return text;
}
}

CString CPrintDialog::GetDriverName() const { return DevNamesField(m_pd.hDevNames, 0); }
CString CPrintDialog::GetDeviceName() const { return DevNamesField(m_pd.hDevNames, 1); }
CString CPrintDialog::GetPortName() const { return DevNamesField(m_pd.hDevNames, 2); }

int CPrintDialog::GetCopies() const
{
    if (m_pd.hDevMode && (m_pd.Flags & PD_USEDEVMODECOPIES)) {
        auto* mode = static_cast<DEVMODEA*>(::GlobalLock(m_pd.hDevMode));
        const int copies = mode ? mode->dmCopies : m_pd.nCopies;
        ::GlobalUnlock(m_pd.hDevMode);
        return copies;
    }
    return m_pd.nCopies;
}

HDC CPrintDialog::CreatePrinterDC()
{
    if (!m_pd.hDevNames)
        return nullptr;
    const CString driver = GetDriverName(), device = GetDeviceName(), port = GetPortName();
    auto* mode = m_pd.hDevMode ? static_cast<DEVMODEA*>(::GlobalLock(m_pd.hDevMode)) : nullptr;
    HDC dc = ::CreateDCA(driver, device, port, mode);
    if (m_pd.hDevMode)
        ::GlobalUnlock(m_pd.hDevMode);
    return dc;
}

CPrintInfo::CPrintInfo()
    : m_pPD(new CPrintDialog(FALSE)), m_bDirect(FALSE), m_bPreview(FALSE), m_bContinuePrinting(TRUE), m_nCurPage(1),
      m_nNumPreviewPages(0), m_lpUserData(nullptr)
{
    SetMinPage(1);
    SetMaxPage(0xFFFF);
}

CPrintInfo::~CPrintInfo() { delete m_pPD; }

UINT CPrintInfo::GetFromPage() const
{
    return m_pPD->PrintRange() ? std::max<UINT>(m_pPD->m_pd.nFromPage, GetMinPage()) : GetMinPage();
}

UINT CPrintInfo::GetToPage() const
{
    return m_pPD->PrintRange() ? std::min<UINT>(m_pPD->m_pd.nToPage, GetMaxPage()) : GetMaxPage();
}
