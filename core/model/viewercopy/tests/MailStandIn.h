#pragma once
// What the stand-in mail library recorded of the last MAPISendMail call.
#include <windows.h>

#include <string>
#include <vector>

struct StandInMailCall
{
    int calls = 0;
    ULONG_PTR session = 0;
    ULONG_PTR uiParam = 0;
    ULONG flags = 0;
    std::string subject;
    std::string noteText;
    bool hasSubject = false, hasNoteText = false;
    ULONG recipientCount = 0;
    ULONG recipientClass = 0;
    std::string recipientName, recipientAddress;
    ULONG fileCount = 0;
    ULONG filePosition = 0;
    std::string filePath, fileName;
    std::vector<char> fileBytes;   // the attachment's bytes as they were during the call
    bool ownerWasEnabled = true;
};

using StandInLastCallFn = const StandInMailCall* (*)();
using StandInSetResultFn = void (*)(ULONG);
using StandInResetFn = void (*)();
