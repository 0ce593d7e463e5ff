// Commands the application answers itself, whichever window is active, and the walks over every
// open document they share.
#include <windows.h>
#include <commdlg.h>

#include "ClDocView.h"
#include "ClDocument.h"
#include "ClMessageMap.h"
#include "ClModule.h"
#include "TarnApp.h"

namespace {
const UINT kCmdWindowsCloseAll = 10028;
const UINT kCmdFileSaveAll = 10074;
const UINT kCmdFileNew = 57600;
const UINT kCmdFileOpen = 57601;
const UINT kCmdFilePrintSetup = 57606;
}  // namespace

BEGIN_MESSAGE_MAP(CTarnApp, CWinApp)
    ON_COMMAND(kCmdWindowsCloseAll, OnWindowsCloseAll)
    ON_COMMAND(kCmdFileNew, OnFileNewCommand)
    ON_COMMAND(kCmdFileOpen, OnFileOpenCommand)
    ON_COMMAND(kCmdFilePrintSetup, OnFilePrintSetup)
    ON_COMMAND(kCmdFileSaveAll, OnFileSaveAll)
END_MESSAGE_MAP()

void CTarnApp::OnWindowsCloseAll() {
    if (SaveAllModified()) CloseAllDocuments(FALSE);
}

void CTarnApp::OnFileSaveAll() {
    if (!m_pDocManager) return;
    for (POSITION templates = m_pDocManager->GetFirstDocTemplatePosition(); templates;) {
        CDocTemplate* docTemplate = m_pDocManager->GetNextDocTemplate(templates);
        for (POSITION docs = docTemplate->GetFirstDocPosition(); docs;) {
            if (CDocument* doc = docTemplate->GetNextDoc(docs)) doc->DoFileSave();
        }
    }
}

void CTarnApp::UpdateAllViews() {
    if (!m_pDocManager) return;
    for (POSITION templates = m_pDocManager->GetFirstDocTemplatePosition(); templates;) {
        CDocTemplate* docTemplate = m_pDocManager->GetNextDocTemplate(templates);
        for (POSITION docs = docTemplate->GetFirstDocPosition(); docs;) {
            if (CDocument* doc = docTemplate->GetNextDoc(docs)) doc->UpdateAllViews(nullptr);
        }
    }
}

void CTarnApp::OnFilePrintSetup() {
    DoWaitCursor(1);
    PRINTDLGA request = {};
    request.lStructSize = sizeof(request);
    request.hwndOwner = AfxGetMainWindowHandle();
    request.hDevMode = m_hDevMode;
    request.hDevNames = m_hDevNames;
    request.Flags = PD_PRINTSETUP;
    DoWaitCursor(-1);
    if (PrintDlgA(&request)) {
        // The dialog may hand back new blocks; the old ones are then the application's to free.
        if (m_hDevMode && m_hDevMode != request.hDevMode) GlobalFree(m_hDevMode);
        if (m_hDevNames && m_hDevNames != request.hDevNames) GlobalFree(m_hDevNames);
        m_hDevMode = request.hDevMode;
        m_hDevNames = request.hDevNames;
    }
}
