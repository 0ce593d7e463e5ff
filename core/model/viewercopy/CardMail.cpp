#include "CardMail.h"

#include "TemporaryFile.h"

#include <memory>

CMailLibrary::CMailLibrary(std::string libraryName) : m_libraryName(std::move(libraryName)) {}

CMailLibrary::~CMailLibrary()
{
    if (m_module)
        FreeLibrary(m_module);
}

CMailLibrary::State CMailLibrary::Load()
{
    if (!m_module) {
        m_module = LoadLibraryA(m_libraryName.c_str());
        if (!m_module)
            return State::kNotLoaded;
        m_sendMail = reinterpret_cast<LPMAPISENDMAIL>(GetProcAddress(m_module, "MAPISendMail"));
    }
    return m_sendMail ? State::kReady : State::kNoSendMail;
}

CMailLibrary& CMailLibrary::System()
{
    static CMailLibrary library;
    return library;
}

bool ComputeMailAvailability(const char* libraryName)
{
    if (GetProfileIntA("MAIL", "MAPI", 0) == 0)
        return false;
    char found[MAX_PATH] = "";
    return SearchPathA(nullptr, libraryName, nullptr, MAX_PATH, found, nullptr) != 0;
}

bool IsCanSendMail()
{
    static const bool available = ComputeMailAvailability("MAPI32.DLL");
    return available;
}

std::string DefaultAttachmentTitle(const MailDocument& document)
{
    if (!document.pathName.empty()) {
        const size_t slash = document.pathName.find_last_of("\\/:");
        return slash == std::string::npos ? document.pathName : document.pathName.substr(slash + 1);
    }
    if (document.title.find('.') == std::string::npos)
        return document.title + document.filterExtension;
    return document.title;
}

namespace {

// Keeps the owner disabled during the modal mail call and gives it back its activation afterwards.
class CModalMailCall
{
public:
    explicit CModalMailCall(HWND owner) : m_owner(owner)
    {
        if (m_owner && IsWindow(m_owner))
            m_wasEnabled = !EnableWindow(m_owner, FALSE);
        SetFocus(nullptr);
    }
    ~CModalMailCall()
    {
        if (m_owner && IsWindow(m_owner)) {
            if (m_wasEnabled)
                EnableWindow(m_owner, TRUE);
            SetActiveWindow(m_owner);
            SetFocus(m_owner);
        }
    }

private:
    HWND m_owner;
    bool m_wasEnabled = false;
};

ULONG CallSendMail(LPMAPISENDMAIL sendMail, HWND owner, const std::string& path, const std::string& title,
                   const MailRequest& request)
{
    MapiFileDesc file = {};
    file.nPosition = static_cast<ULONG>(-1);
    file.lpszPathName = const_cast<LPSTR>(path.c_str());
    file.lpszFileName = const_cast<LPSTR>(title.c_str());

    MapiRecipDesc recipient = {};
    recipient.ulRecipClass = MAPI_TO;
    recipient.lpszName = const_cast<LPSTR>(request.recipientName ? request.recipientName : request.recipientAddress);
    recipient.lpszAddress = const_cast<LPSTR>(request.recipientAddress);

    MapiMessage message = {};
    message.lpszSubject = const_cast<LPSTR>(request.subject);
    message.lpszNoteText = const_cast<LPSTR>(request.noteText);
    message.nFileCount = 1;
    message.lpFiles = &file;
    if (request.recipientName || request.recipientAddress) {
        message.nRecipCount = 1;
        message.lpRecips = &recipient;
    }
    CModalMailCall modal(owner);
    return sendMail(0, reinterpret_cast<ULONG_PTR>(owner), &message, MAPI_LOGON_UI | MAPI_DIALOG, 0);
}

}  // namespace

MailOutcome SendCardByMail(CMailLibrary& library, const MailRequest& request, const MailDocument& document,
                           const MessageSink& report)
{
    UserMessage message;
    switch (library.Load()) {
    case CMailLibrary::State::kNotLoaded:
        message.id = kMsgMailLoadFailed;
        report(message);
        return MailOutcome::kNoLibrary;
    case CMailLibrary::State::kNoSendMail:
        message.id = kMsgMailInvalidLibrary;
        report(message);
        return MailOutcome::kNoSendMail;
    case CMailLibrary::State::kReady:
        break;
    }

    std::unique_ptr<CTemporaryFile> copy;
    std::string path;
    if (request.attachmentPath) {
        path = request.attachmentPath;
    } else if (document.pathName.empty() || document.modified) {
        copy = std::make_unique<CTemporaryFile>("afx");
        // A failed save has told the user why already.
        if (!copy->IsValid() || !document.save || !document.save(copy->Path().c_str()))
            return MailOutcome::kNotSaved;
        path = copy->Path();
    } else {
        path = document.pathName;
    }
    const std::string title = request.attachmentTitle ? request.attachmentTitle : DefaultAttachmentTitle(document);

    const ULONG result = CallSendMail(library.SendMail(), request.owner, path, title, request);
    if (result == SUCCESS_SUCCESS)
        return MailOutcome::kSent;
    if (result == MAPI_USER_ABORT || result == MAPI_E_LOGIN_FAILURE)
        return MailOutcome::kQuietlyEnded;
    message.id = kMsgMailSendFailed;
    report(message);
    return MailOutcome::kSendFailed;
}
