#include "TarnDocViewerCopy.h"

namespace {

// Saves a copy of the document into path without making it the document's file: the open storage, the
// path and the modified state stay as they were, whatever the save does.
class CDetachedSave
{
public:
    CDetachedSave(CTarnDoc& document, bool forViewer) : m_document(document), m_forViewer(forViewer)
    {
        m_modified = m_document.IsModified();
        m_remember = m_document.m_bRemember;
        m_document.m_bRemember = FALSE;
        if (m_forViewer)
            m_document.SetFlag_SaveForViewer(1);
    }
    ~CDetachedSave()
    {
        if (m_forViewer)
            m_document.SetFlag_SaveForViewer(0);
        m_document.SetModifiedFlag(m_modified);
        m_document.m_bRemember = m_remember;
    }
    CDetachedSave(const CDetachedSave&) = delete;
    CDetachedSave& operator=(const CDetachedSave&) = delete;

private:
    CTarnDoc& m_document;
    bool m_forViewer;
    BOOL m_modified = FALSE;
    BOOL m_remember = FALSE;
};

MessageSink DocumentMessages(CTarnDoc& document)
{
    return [&document](const UserMessage& message) {
        const UINT icon = message.id == kMsgViewerCopyCaption ? MB_ICONINFORMATION : MB_ICONEXCLAMATION;
        document.ShowMessage(CString(UserMessageText(message).c_str()), MB_OK | icon);
    };
}

}  // namespace

CString GetEmptyViewerName() { return CString(GetEmptyViewerName(nullptr).c_str()); }

BOOL SaveDocumentToViewer(CTarnDoc& document, LPCSTR newFile, LPCSTR templatePath)
{
    const CString defaultTemplate = templatePath ? CString() : GetEmptyViewerName();
    const CardSaver save = [&document](const char* path) {
        CDetachedSave detached(document, true);
        return document.DoSave(path, FALSE) != FALSE;
    };
    return SaveCardToViewer(templatePath ? templatePath : static_cast<LPCSTR>(defaultTemplate), newFile, save,
                            DocumentMessages(document))
               ? TRUE
               : FALSE;
}

BOOL IsDocumentMailAvailable() { return IsCanSendMail() ? TRUE : FALSE; }

BOOL SendDocumentByMail(CTarnDoc& document, HWND owner, LPCSTR attachmentPath, LPCSTR attachmentTitle,
                        LPCSTR recipientName, LPCSTR recipientAddress, LPCSTR subject, LPCSTR noteText,
                        LPCSTR filterExtension, CMailLibrary* library)
{
    // A copy saved for sending must not touch the open file: the storage is set aside for the call.
    IStorage* root = document.m_lpRootStg;
    document.m_lpRootStg = nullptr;
    const BOOL remember = document.m_bRemember;
    document.m_bRemember = FALSE;
    HCURSOR cursor = SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));   // the wait cursor

    MailDocument card;
    card.pathName = static_cast<LPCSTR>(document.GetPathName());
    card.title = static_cast<LPCSTR>(document.GetTitle());
    card.filterExtension = filterExtension ? filterExtension : "";
    card.modified = document.IsModified() != FALSE;
    card.save = [&document](const char* path) {
        CDetachedSave detached(document, false);
        return document.DoSave(path, FALSE) != FALSE;
    };
    MailRequest request;
    request.owner = owner;
    request.attachmentPath = attachmentPath;
    request.attachmentTitle = attachmentTitle;
    request.recipientName = recipientName;
    request.recipientAddress = recipientAddress;
    request.subject = subject;
    request.noteText = noteText;

    MailOutcome outcome = MailOutcome::kNotSaved;
    try {
        outcome = SendCardByMail(library ? *library : CMailLibrary::System(), request, card, DocumentMessages(document));
    } catch (...) {
        SetCursor(cursor);
        document.m_lpRootStg = root;
        document.m_bRemember = remember;
        throw;
    }
    SetCursor(cursor);
    document.m_lpRootStg = root;
    document.m_bRemember = remember;
    return MailWasReached(outcome) ? TRUE : FALSE;
}
