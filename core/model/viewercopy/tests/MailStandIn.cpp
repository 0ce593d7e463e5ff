// A mail library that records what it is asked to send instead of sending it.
#include "MailStandIn.h"

#include <mapi.h>

#include <fstream>
#include <iterator>

namespace {
StandInMailCall g_lastCall;
ULONG g_result = SUCCESS_SUCCESS;

std::string Text(const char* text) { return text ? text : ""; }
}  // namespace

extern "C" {

__declspec(dllexport) ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR uiParam, lpMapiMessage message,
                                                FLAGS flags, ULONG)
{
    const int calls = g_lastCall.calls + 1;
    g_lastCall = StandInMailCall();
    g_lastCall.calls = calls;
    g_lastCall.session = session;
    g_lastCall.uiParam = uiParam;
    g_lastCall.flags = flags;
    if (uiParam)
        g_lastCall.ownerWasEnabled = IsWindowEnabled(reinterpret_cast<HWND>(uiParam)) != FALSE;
    if (!message)
        return MAPI_E_FAILURE;
    g_lastCall.hasSubject = message->lpszSubject != nullptr;
    g_lastCall.subject = Text(message->lpszSubject);
    g_lastCall.hasNoteText = message->lpszNoteText != nullptr;
    g_lastCall.noteText = Text(message->lpszNoteText);
    g_lastCall.recipientCount = message->nRecipCount;
    if (message->nRecipCount && message->lpRecips) {
        g_lastCall.recipientClass = message->lpRecips[0].ulRecipClass;
        g_lastCall.recipientName = Text(message->lpRecips[0].lpszName);
        g_lastCall.recipientAddress = Text(message->lpRecips[0].lpszAddress);
    }
    g_lastCall.fileCount = message->nFileCount;
    if (message->nFileCount && message->lpFiles) {
        g_lastCall.filePosition = message->lpFiles[0].nPosition;
        g_lastCall.filePath = Text(message->lpFiles[0].lpszPathName);
        g_lastCall.fileName = Text(message->lpFiles[0].lpszFileName);
        std::ifstream in(g_lastCall.filePath, std::ios::binary);
        g_lastCall.fileBytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return g_result;
}

const StandInMailCall* StandInLastCall() { return &g_lastCall; }
void StandInSetResult(ULONG result) { g_result = result; }
void StandInReset()
{
    g_lastCall = StandInMailCall();
    g_result = SUCCESS_SUCCESS;
}

}  // extern "C"
