// The roads a save takes: save of a titled or untitled card, save-as with the file dialog and
// the folder saved into last, and the handling of cards opened read-only.
#include <windows.h>
#include <commdlg.h>

#include "ClDocView.h"
#include "ClResourceIds.h"
#include "ClWinApp.h"
#include "OptionsManager.h"
#include "TarnDoc.h"
#include "TarnSite.h"
#include "TarnStrings.h"
#include "WideText.h"

namespace {

// The name a new card is offered under: its title up to the first character a file name can't
// hold well, with the template's extension, in the folder saved into last.
CString ProposedName(const CString& title, CDocTemplate* docTemplate, const CString& lastSaved)
{
    CString name = title;
    const int cut = name.FindOneOf(" #%;/\\");
    if (cut >= 0)
        name = name.Left(cut);
    CString extension;
    if (docTemplate && docTemplate->GetDocString(extension, CDocTemplate::filterExt) && !extension.IsEmpty())
        name += extension;
    if (lastSaved.IsEmpty())
        return name;
    CString folder = lastSaved;
    if (folder[folder.GetLength() - 1] != '\\')
        folder += '\\';
    return folder + name;
}

}  // namespace

void CTarnDoc::SetFlag_SaveForViewer(int on)
{
    m_saveForViewer = on;
    for (CTarnSite* site : m_sites)
        site->SetFlag_SaveForViewer(on);
}

BOOL CTarnDoc::PromptSaveFileName(CString& name, BOOL replace)
{
    CWinApp* app = AfxGetApp();
    return app && app->m_pDocManager &&
           app->m_pDocManager->DoPromptFileName(name, replace ? AFX_IDS_SAVEFILE : AFX_IDS_SAVEFILECOPY,
                                                OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, FALSE, m_pDocTemplate);
}

BOOL CTarnDoc::DoSave(LPCSTR lpszPathName, BOOL bReplace)
{
    CString name = lpszPathName;
    const bool chosen = name.IsEmpty();
    if (chosen) {
        COptionsManager* options = GetOptionsManager();
        name = m_strPathName;
        if (bReplace && name.IsEmpty())
            name = ProposedName(m_strTitle, m_pDocTemplate, options ? options->m_strLastSaved : CString());
        if (!PromptSaveFileName(name, bReplace))
            return FALSE;
        // A card opened read-only can't be saved over its own file.
        if (m_readOnly && name.CompareNoCase(m_strPathName) == 0) {
            ShowMessage(TarnString(kIdsReadOnlySameName), MB_OK | MB_ICONEXCLAMATION);
            return FALSE;
        }
        const int slash = name.ReverseFind('\\');
        if (options && slash >= 0)
            options->m_strLastSaved = name.Left(slash + 1);
    }
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));  // the wait cursor
    // The save writes a new file and puts it in place only when complete: a failed save leaves
    // whatever file had that name as it was, so there is nothing to delete here.
    const BOOL saved = OnSaveDocument(name);
    SetCursor(previous);
    if (!saved)
        return FALSE;
    if (bReplace) {
        SetPathName(name);
        m_readOnly = FALSE;
    }
    return TRUE;
}

BOOL CTarnDoc::DoFileSave()
{
    if (m_strPathName.IsEmpty())
        return DoSave(nullptr, TRUE);
    const DWORD attributes = GetFileAttributesA(m_strPathName);
    const bool fileReadOnly = attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY);
    if (!fileReadOnly && m_readOnly) {
        // The file became writable: open it again for writing, keeping the old storage when that fails.
        IStorage* reopened = nullptr;
        const std::vector<WCHAR> wide = WideText(m_strPathName);
        IStorage* old = m_lpRootStg;
        m_lpRootStg = nullptr;
        if (old)
            old->Release();
        if (SUCCEEDED(StgOpenStorage(wide.data(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_TRANSACTED,
                                     nullptr, 0, &reopened)) &&
            reopened) {
            m_lpRootStg = reopened;
            m_readOnly = FALSE;
        } else if (FAILED(StgOpenStorage(wide.data(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE | STGM_TRANSACTED,
                                         nullptr, 0, &m_lpRootStg))) {
            m_lpRootStg = nullptr;
        }
    }
    if (!fileReadOnly && !m_readOnly)
        return DoSave(m_strPathName, TRUE);
    m_readOnly = TRUE;
    CString text;
    text.Format(static_cast<LPCSTR>(TarnString(kIdsReadOnlySaveAs)), static_cast<LPCSTR>(m_strPathName));
    if (ShowMessage(text, MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return FALSE;
    if (!DoSave(nullptr, TRUE))
        return FALSE;
    m_readOnly = FALSE;
    return TRUE;
}
