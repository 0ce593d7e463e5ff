// The card document's own entry points for leaving the application: a viewer program holding the
// card, and the card sent by mail.
#include "TarnDocViewerCopy.h"

#include "ClDocView.h"
#include "ClWnd.h"

BOOL CTarnDoc::OnSaveToViewer(const char* newFile) { return SaveDocumentToViewer(*this, newFile); }

BOOL CTarnDoc::IsCanSend() { return IsDocumentMailAvailable(); }

CString CTarnDoc::GetEmptyViewerName() { return ::GetEmptyViewerName(); }

BOOL CTarnDoc::SendMailTo(const char* attachmentPath, const char* attachmentTitle, char* recipientName,
                          char* recipientAddress, char* subject, char* noteText)
{
    // An attachment named after the title carries the extension of the card's file type.
    CString extension;
    if (CDocTemplate* docTemplate = GetDocTemplate())
        docTemplate->GetDocString(extension, CDocTemplate::filterExt);
    CWnd* mainWindow = AfxGetMainWnd();
    return SendDocumentByMail(*this, mainWindow ? mainWindow->GetSafeHwnd() : nullptr, attachmentPath,
                              attachmentTitle, recipientName, recipientAddress, subject, noteText,
                              extension.IsEmpty() ? nullptr : static_cast<LPCSTR>(extension), GetMailLibrary());
}
