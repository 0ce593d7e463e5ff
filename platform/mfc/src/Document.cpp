#include "ClDocument.h"
#include "ClDocView.h"
#include "ClOleDoc.h"
#include "ClWinApp.h"
#include "ClArchive.h"
#include "ClException.h"
#include "ClFile.h"
#include "ClOleStreamFile.h"
#include "ClResourceIds.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)
IMPLEMENT_DYNAMIC(COleDocument, CDocument)

namespace {
const char kContents[] = "Contents";

// The file exists but holds no compound file: a format error, not a file error.
bool IsNotACompoundFile(SCODE sc)
{
    return sc == STG_E_FILEALREADYEXISTS || sc == STG_E_INVALIDHEADER || sc == STG_E_OLDFORMAT ||
           sc == STG_E_DOCFILECORRUPT || sc == STG_E_INVALIDNAME;
}

std::vector<WCHAR> Wide(LPCSTR text)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, text ? text : "", -1, nullptr, 0);
    std::vector<WCHAR> wide(static_cast<size_t>(n > 0 ? n : 1), 0);
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, text ? text : "", -1, wide.data(), n);
    return wide;
}
}

CDocument::CDocument()
    : m_pDocTemplate(nullptr), m_bModified(FALSE), m_bAutoDelete(TRUE), m_bEmbedded(FALSE)
{
}

CDocument::~CDocument()
{
    // Views outliving the document no longer show it.
    for (POSITION pos = m_viewList.GetHeadPosition(); pos;)
        static_cast<CView*>(m_viewList.GetNext(pos))->m_pDocument = nullptr;
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::AddView(CView* pView)
{
    if (!pView || m_viewList.Find(pView))
        return;
    m_viewList.AddTail(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView)
{
    POSITION pos = m_viewList.Find(pView);
    if (!pos)
        return;
    m_viewList.RemoveAt(pos);
    pView->m_pDocument = nullptr;
    OnChangedViewList();
}

void CDocument::OnChangedViewList()
{
    if (m_viewList.IsEmpty() && m_bAutoDelete) {
        OnCloseDocument();
        return;
    }
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    for (POSITION pos = m_viewList.GetHeadPosition(); pos;) {
        CView* view = static_cast<CView*>(m_viewList.GetNext(pos));
        if (view != pSender)
            view->OnUpdate(pSender, lHint, pHint);
    }
}

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocTemplate && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CDocument::SaveModified()
{
    if (!IsModified())
        return TRUE;
    CString name = m_strPathName.IsEmpty() ? m_strTitle : m_strPathName;
    if (name.IsEmpty())
        name.LoadString(AFX_IDS_UNTITLED);
    CString format, prompt;
    if (!format.LoadString(AFX_IDP_ASK_TO_SAVE))
        format = "%1";
    prompt.FormatMessage(static_cast<LPCSTR>(format), static_cast<LPCSTR>(name));
    switch (AfxMessageBox(prompt, MB_YESNOCANCEL, AFX_IDP_ASK_TO_SAVE)) {
    case IDCANCEL:
        return FALSE;
    case IDYES:
        return DoFileSave();
    default:
        SetModifiedFlag(FALSE);
        return TRUE;
    }
}

BOOL CDocument::CanCloseFrame(CFrameWnd* pFrame)
{
    // Only closing the last frame that shows the document closes the document.
    for (POSITION pos = m_viewList.GetHeadPosition(); pos;) {
        CView* view = static_cast<CView*>(m_viewList.GetNext(pos));
        CFrameWnd* frame = view->GetParentFrame();
        if (frame && frame != pFrame)
            return TRUE;
    }
    return SaveModified();
}

BOOL CDocument::DoFileSave()
{
    if (m_strPathName.IsEmpty())
        return DoSave(nullptr);
    return DoSave(m_strPathName);
}

BOOL CDocument::DoSave(LPCSTR lpszPathName, BOOL bReplace)
{
    CString name = lpszPathName;
    if (name.IsEmpty()) {
        CWinApp* app = AfxGetApp();
        name = m_strPathName.IsEmpty() ? m_strTitle : m_strPathName;
        if (!app || !app->m_pDocManager ||
            !app->m_pDocManager->DoPromptFileName(name, bReplace ? AFX_IDS_SAVEFILE : AFX_IDS_SAVEFILECOPY,
                                                  OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, FALSE, m_pDocTemplate))
            return FALSE;
    }
    if (!OnSaveDocument(name))
        return FALSE;
    if (bReplace)
        SetPathName(name);
    return TRUE;
}

void CDocument::OnFileClose()
{
    if (!SaveModified())
        return;
    OnCloseDocument();
}

void CDocument::SetTitle(LPCSTR lpszTitle) { m_strTitle = lpszTitle; }

void CDocument::SetPathName(LPCSTR lpszPathName, BOOL)
{
    char full[MAX_PATH];
    LPSTR name = nullptr;
    const DWORD n = GetFullPathNameA(lpszPathName, MAX_PATH, full, &name);
    m_strPathName = (n > 0 && n < MAX_PATH) ? full : lpszPathName;
    const int slash = std::max(m_strPathName.ReverseFind('\\'), m_strPathName.ReverseFind('/'));
    SetTitle(m_strPathName.Mid(slash + 1));
}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::DeleteContents() {}

CFile* CDocument::GetFile(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    auto* file = new CFile;
    if (!file->Open(lpszFileName, nOpenFlags, pError)) {
        delete file;
        return nullptr;
    }
    return file;
}

void CDocument::ReleaseFile(CFile* pFile, BOOL bAbort)
{
    if (!pFile)
        return;
    if (bAbort) {
        pFile->Abort();
    } else {
        try {
            pFile->Close();
        } catch (CException* e) {
            e->Delete();
            pFile->Abort();
        }
    }
    delete pFile;
}

BOOL CDocument::OnOpenDocument(LPCSTR lpszPathName)
{
    CFileException fileError;
    CFile* file = GetFile(lpszPathName, CFile::modeRead | CFile::shareDenyWrite, &fileError);
    if (!file) {
        ReportSaveLoadException(lpszPathName, &fileError, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        return FALSE;
    }
    DeleteContents();
    SetModifiedFlag();   // dirty while half loaded
    try {
        CArchive ar(file, CArchive::load | CArchive::bNoFlushOnDelete);
        ar.m_pDocument = this;
        Serialize(ar);
        ar.Close();
        ReleaseFile(file, FALSE);
    } catch (CException* e) {
        ReleaseFile(file, TRUE);
        DeleteContents();
        ReportSaveLoadException(lpszPathName, e, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        e->Delete();
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCSTR lpszPathName)
{
    CFileException fileError;
    CFile* file = GetFile(lpszPathName, CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive, &fileError);
    if (!file) {
        ReportSaveLoadException(lpszPathName, &fileError, TRUE, AFX_IDP_FAILED_TO_SAVE_DOC);
        return FALSE;
    }
    try {
        CArchive ar(file, CArchive::store | CArchive::bNoFlushOnDelete);
        ar.m_pDocument = this;
        Serialize(ar);
        ar.Close();
        ReleaseFile(file, FALSE);
    } catch (CException* e) {
        ReleaseFile(file, TRUE);
        DeleteFileA(lpszPathName);   // no half-written file is left under the name
        ReportSaveLoadException(lpszPathName, e, TRUE, AFX_IDP_FAILED_TO_SAVE_DOC);
        e->Delete();
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::OnCloseDocument()
{
    // The frames go first (and their views with them); the document must survive that.
    const BOOL autoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;
    while (!m_viewList.IsEmpty()) {
        CView* view = static_cast<CView*>(m_viewList.GetHead());
        CFrameWnd* frame = view->GetParentFrame();
        if (frame && frame->m_hWnd)
            frame->DestroyWindow();
        else if (view->m_hWnd)
            view->DestroyWindow();
        if (!m_viewList.IsEmpty() && m_viewList.GetHead() == view)
            RemoveView(view);   // a view without a window leaves by hand
    }
    m_bAutoDelete = autoDelete;
    DeleteContents();
    if (m_bAutoDelete)
        delete this;
}

void CDocument::ReportSaveLoadException(LPCSTR lpszPathName, CException* e, BOOL, UINT nIDPDefault)
{
    if (e && e->IsKindOf(RUNTIME_CLASS(CUserException)))
        return;
    char text[512] = "";
    CString prompt;
    if (e && e->GetErrorMessage(text, sizeof text))
        prompt = text;
    if (prompt.IsEmpty()) {
        CString format;
        if (!format.LoadString(nIDPDefault))
            format = "%1";
        prompt.FormatMessage(static_cast<LPCSTR>(format), lpszPathName ? lpszPathName : "");
    }
    AfxMessageBox(prompt, MB_ICONEXCLAMATION);
}

// ---------------------------------------------------------------------------------------------

COleDocument::COleDocument() : m_lpRootStg(nullptr), m_bCompoundFile(TRUE), m_bRemember(TRUE) {}

COleDocument::~COleDocument()
{
    while (!m_docItemList.IsEmpty()) {
        auto* item = static_cast<CDocItem*>(m_docItemList.RemoveHead());
        item->m_pDocument = nullptr;
        delete item;
    }
    ReleaseRootStorage();
}

void COleDocument::AddItem(CDocItem* pItem)
{
    if (!pItem || m_docItemList.Find(pItem))
        return;
    m_docItemList.AddTail(pItem);
    pItem->m_pDocument = this;
}

void COleDocument::RemoveItem(CDocItem* pItem)
{
    if (POSITION pos = m_docItemList.Find(pItem)) {
        m_docItemList.RemoveAt(pos);
        pItem->m_pDocument = nullptr;
    }
}

COleClientItem* COleDocument::GetNextClientItem(POSITION& pos) const
{
    while (pos)
        if (auto* item = DYNAMIC_DOWNCAST(COleClientItem, GetNextItem(pos)))
            return item;
    return nullptr;
}

COleServerItem* COleDocument::GetNextServerItem(POSITION& pos) const
{
    while (pos)
        if (auto* item = DYNAMIC_DOWNCAST(COleServerItem, GetNextItem(pos)))
            return item;
    return nullptr;
}

void COleDocument::ReleaseRootStorage()
{
    if (m_lpRootStg) {
        m_lpRootStg->Release();
        m_lpRootStg = nullptr;
    }
}

BOOL COleDocument::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return FALSE;
    if (!m_bCompoundFile)
        return TRUE;
    // A new document keeps its data in a temporary compound file until it is saved.
    ReleaseRootStorage();
    const SCODE sc = StgCreateDocfile(nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE |
                                          STGM_DELETEONRELEASE | STGM_TRANSACTED, 0, &m_lpRootStg);
    if (FAILED(sc)) {
        m_lpRootStg = nullptr;
        COleException error(sc);
        ReportSaveLoadException(nullptr, &error, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        return FALSE;
    }
    return TRUE;
}

BOOL COleDocument::OnOpenDocument(LPCSTR lpszPathName)
{
    if (!m_bCompoundFile)
        return CDocument::OnOpenDocument(lpszPathName);

    const std::vector<WCHAR> path = Wide(lpszPathName);
    LPSTORAGE storage = nullptr;
    SCODE sc = StgOpenStorage(path.data(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_TRANSACTED, nullptr, 0,
                              &storage);
    if (FAILED(sc) && sc != STG_E_FILENOTFOUND && sc != STG_E_PATHNOTFOUND && !IsNotACompoundFile(sc))
        sc = StgOpenStorage(path.data(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE | STGM_TRANSACTED, nullptr, 0,
                            &storage);
    if (FAILED(sc)) {
        if (IsNotACompoundFile(sc)) {
            CArchiveException error(CArchiveException::badSchema, lpszPathName);
            ReportSaveLoadException(lpszPathName, &error, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        } else {
            CFileException error(COleStreamFile::ScodeToFileCause(sc), sc, lpszPathName);
            ReportSaveLoadException(lpszPathName, &error, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        }
        return FALSE;
    }
    DeleteContents();
    ReleaseRootStorage();
    m_lpRootStg = storage;
    SetModifiedFlag();
    try {
        LoadFromStorage();
    } catch (CException* e) {
        DeleteContents();
        if (!m_bRemember)
            ReleaseRootStorage();
        ReportSaveLoadException(lpszPathName, e, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
        e->Delete();
        return FALSE;
    }
    if (!m_bRemember)
        ReleaseRootStorage();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL COleDocument::OnSaveDocument(LPCSTR lpszPathName)
{
    if (!m_bCompoundFile)
        return CDocument::OnSaveDocument(lpszPathName);

    const bool sameFile = m_lpRootStg && !m_strPathName.IsEmpty() && lpszPathName &&
                          m_strPathName.CompareNoCase(lpszPathName) == 0;
    LPSTORAGE target = nullptr;
    if (sameFile) {
        target = m_lpRootStg;
        target->AddRef();
    } else {
        const std::vector<WCHAR> path = Wide(lpszPathName);
        const SCODE sc = StgCreateDocfile(path.data(), STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_TRANSACTED,
                                          0, &target);
        if (FAILED(sc)) {
            CFileException error(COleStreamFile::ScodeToFileCause(sc), sc, lpszPathName);
            ReportSaveLoadException(lpszPathName, &error, TRUE, AFX_IDP_FAILED_TO_SAVE_DOC);
            return FALSE;
        }
    }

    LPSTORAGE previous = m_lpRootStg;
    m_lpRootStg = target;
    try {
        SaveToStorage(nullptr);
    } catch (CException* e) {
        m_lpRootStg = previous;
        target->Release();
        if (!sameFile)
            DeleteFileA(lpszPathName);   // no half-written file is left under the name
        ReportSaveLoadException(lpszPathName, e, TRUE, AFX_IDP_FAILED_TO_SAVE_DOC);
        e->Delete();
        return FALSE;
    }
    if (sameFile || !m_bRemember) {
        m_lpRootStg = previous;
        target->Release();
    } else if (previous) {
        previous->Release();
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

void COleDocument::OnCloseDocument()
{
    ReleaseRootStorage();
    CDocument::OnCloseDocument();
}

void COleDocument::LoadFromStorage()
{
    if (!m_lpRootStg)
        AfxThrowArchiveException(CArchiveException::generic);
    COleStreamFile file;
    CFileException error;
    if (!file.OpenStream(m_lpRootStg, kContents, CFile::modeRead | CFile::shareExclusive, &error)) {
        if (error.m_cause == CFileException::fileNotFound)
            AfxThrowArchiveException(CArchiveException::badSchema);
        AfxThrowFileException(error.m_cause, error.m_lOsError);
    }
    try {
        CArchive ar(&file, CArchive::load | CArchive::bNoFlushOnDelete);
        ar.m_pDocument = this;
        Serialize(ar);
        ar.Close();
    } catch (...) {
        file.Abort();
        throw;
    }
    file.Close();
}

void COleDocument::SaveToStorage(CObject* pObject)
{
    if (!m_lpRootStg)
        AfxThrowArchiveException(CArchiveException::generic);
    COleStreamFile file;
    CFileException error;
    if (!file.CreateStream(m_lpRootStg, kContents, CFile::modeReadWrite | CFile::shareExclusive | CFile::modeCreate, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError);
    try {
        CArchive ar(&file, CArchive::store | CArchive::bNoFlushOnDelete);
        ar.m_pDocument = this;
        if (pObject)
            pObject->Serialize(ar);
        else
            Serialize(ar);
        ar.Close();
        file.Close();
        CommitItems(TRUE);
        const SCODE sc = m_lpRootStg->Commit(STGC_ONLYIFCURRENT);
        if (FAILED(sc))
            AfxThrowOleException(sc);
    } catch (...) {
        file.Abort();
        CommitItems(FALSE);
        throw;
    }
}

void COleDocument::CommitItems(BOOL) {}
