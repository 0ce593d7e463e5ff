#pragma once
#include "SaveToViewer.h"
#include "ViewerCopyMessages.h"

#include <windows.h>
#include <mapi.h>

#include <string>

// The Simple MAPI library, loaded on first use and kept until the object goes.
class CMailLibrary
{
public:
    enum class State { kReady, kNotLoaded, kNoSendMail };

    explicit CMailLibrary(std::string libraryName = "MAPI32.DLL");
    ~CMailLibrary();
    CMailLibrary(const CMailLibrary&) = delete;
    CMailLibrary& operator=(const CMailLibrary&) = delete;

    // Loads the library once; a failed load is tried again on the next call.
    State Load();
    LPMAPISENDMAIL SendMail() const { return m_sendMail; }

    // The process's own instance over "MAPI32.DLL".
    static CMailLibrary& System();

private:
    std::string m_libraryName;
    HMODULE m_module = nullptr;
    LPMAPISENDMAIL m_sendMail = nullptr;
};

// Whether mail can be sent: the "MAPI" value of the "MAIL" section of the Windows profile is non-zero
// and the library is found on the search path.
bool ComputeMailAvailability(const char* libraryName);
// The same for "MAPI32.DLL", computed at the first call and kept for the life of the process.
bool IsCanSendMail();

// What the card looks like to the mail command when no attachment is named.
struct MailDocument
{
    std::string pathName;          // empty: never saved
    std::string title;
    std::string filterExtension;   // of the document template, such as ".crd"
    bool modified = false;
    CardSaver save;                // saves the card into a file for sending
};

// One message with one attached file; null texts are left out.
struct MailRequest
{
    HWND owner = nullptr;
    const char* attachmentPath = nullptr;
    const char* attachmentTitle = nullptr;
    const char* recipientName = nullptr;
    const char* recipientAddress = nullptr;
    const char* subject = nullptr;
    const char* noteText = nullptr;
};

enum class MailOutcome
{
    kSent,
    kQuietlyEnded,    // the user cancelled or did not log on
    kSendFailed,      // reported with kMsgMailSendFailed
    kNoLibrary,       // kMsgMailLoadFailed
    kNoSendMail,      // kMsgMailInvalidLibrary
    kNotSaved,        // the card could not be saved for sending (the save tells why)
};

// True for the outcomes after which mail was reached (the command's success).
inline bool MailWasReached(MailOutcome outcome)
{
    return outcome == MailOutcome::kSent || outcome == MailOutcome::kQuietlyEnded ||
           outcome == MailOutcome::kSendFailed;
}

// The title the attachment is shown under when none is given.
std::string DefaultAttachmentTitle(const MailDocument& document);

// Sends the card through Simple MAPI with the recipients dialog (MAPI_LOGON_UI | MAPI_DIALOG). Without an
// attachment path, the document's own file is attached unless it was never saved or is modified, in which
// case a temporary copy is saved, attached and deleted afterwards. The owner is disabled during the call.
MailOutcome SendCardByMail(CMailLibrary& library, const MailRequest& request, const MailDocument& document,
                           const MessageSink& report);
