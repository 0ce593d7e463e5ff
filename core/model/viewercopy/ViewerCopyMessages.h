#pragma once
#include <windows.h>

#include <functional>
#include <string>

// Ids of the messages that saving a card as a viewer program and mailing it may show. The first four
// are texts of the core resource library; the last three are the class library's own mail messages.
enum ViewerCopyMessageId : UINT
{
    kMsgCardSaveFailed = 10007,
    kMsgViewerTemplateMissing = 12021,   // formatted with the template's path
    kMsgViewerCopyNotWritten = 12022,
    kMsgViewerCopyCaption = 12209,       // caption of the system's error text when copying fails
    kMsgMailLoadFailed = 61840,
    kMsgMailInvalidLibrary = 61841,
    kMsgMailSendFailed = 61842,
};

// One message for the user: its id, the text that fills its "%s" (template path), and for a failed copy
// the system error whose text is shown.
struct UserMessage
{
    UINT id = 0;
    std::string argument;
    DWORD systemError = 0;
};

using MessageSink = std::function<void(const UserMessage&)>;

// Shows the message in a box owned by owner: the text comes from the core resource library when it is
// loaded, otherwise a built-in English text stands in.
void ShowUserMessage(HWND owner, const UserMessage& message);
// The text that ShowUserMessage shows (without the caption).
std::string UserMessageText(const UserMessage& message);
