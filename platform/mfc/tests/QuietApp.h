#pragma once
// An application object for tests: it records the messages the library would show instead of
// opening message boxes.
#include <classlib.h>

#include <string>
#include <vector>

class CQuietApp : public CWinApp
{
public:
    std::vector<std::string> messages;
    int DoMessageBox(LPCSTR lpszPrompt, UINT, UINT) override
    {
        messages.push_back(lpszPrompt);
        return IDOK;
    }
};
