#include "ViewerCopyMessages.h"

#include <cstdio>
#include <vector>

namespace {

const char* FallbackText(UINT id)
{
    switch (id) {
    case kMsgCardSaveFailed: return "The card could not be saved.";
    case kMsgViewerTemplateMissing: return "The viewer program %s cannot be found.";
    case kMsgViewerCopyNotWritten: return "The card could not be stored in the viewer program.";
    case kMsgViewerCopyCaption: return "Save as viewer program";
    case kMsgMailLoadFailed: return "Unable to load mail system support.";
    case kMsgMailInvalidLibrary: return "Mail system DLL is invalid.";
    case kMsgMailSendFailed: return "Send Mail failed to send message.";
    default: return "";
    }
}

std::string LoadText(UINT id)
{
    // The core resource library carries the texts; before it is loaded the built-in ones serve.
    if (HMODULE resources = GetModuleHandleA("TarnRes")) {
        char text[1024] = "";
        if (LoadStringA(resources, id, text, sizeof text) > 0)
            return text;
    }
    return FallbackText(id);
}

std::string SystemErrorText(DWORD error)
{
    char* text = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                        reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = length && text ? std::string(text, length) : "Error " + std::to_string(error);
    if (text)
        LocalFree(text);
    return result;
}

}  // namespace

std::string UserMessageText(const UserMessage& message)
{
    if (message.id == kMsgViewerCopyCaption)
        return SystemErrorText(message.systemError);
    const std::string pattern = LoadText(message.id);
    if (pattern.find("%s") == std::string::npos)
        return pattern;
    std::vector<char> text(pattern.size() + message.argument.size() + 1);
    std::snprintf(text.data(), text.size(), pattern.c_str(), message.argument.c_str());
    return text.data();
}

void ShowUserMessage(HWND owner, const UserMessage& message)
{
    const std::string text = UserMessageText(message);
    if (message.id == kMsgViewerCopyCaption) {
        MessageBoxA(owner, text.c_str(), LoadText(kMsgViewerCopyCaption).c_str(), MB_OK | MB_ICONINFORMATION);
        return;
    }
    MessageBoxA(owner, text.c_str(), nullptr, MB_OK | MB_ICONEXCLAMATION);
}
