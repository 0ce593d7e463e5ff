#pragma once
// A card document for tests: messages are kept instead of shown, the test controls are the known
// controls, and a save can be made to fail half way.
#include <string>
#include <vector>

#include "OptionsManager.h"
#include "TarnDoc.h"

class CTestCardDoc : public CTarnDoc {
public:
    int ShowMessage(const CString& text, UINT) override
    {
        messages.push_back(static_cast<LPCSTR>(text));
        return messageAnswer;
    }
    // The file dialog: answers with chosenName, or cancels when it is empty.
    BOOL PromptSaveFileName(CString& name, BOOL replace) override
    {
        prompts.push_back(static_cast<LPCSTR>(name));
        promptedForCopy = !replace;
        if (chosenName.empty())
            return FALSE;
        name = chosenName.c_str();
        return TRUE;
    }
    const std::vector<KnownControl>& GetKnownControls() const override;
    void AfterSerialize(CArchive& ar) override;

    std::vector<std::string> messages;
    int messageAnswer = IDOK;
    std::string chosenName;
    std::vector<std::string> prompts;
    bool promptedForCopy = false;
    bool failNextSave = false;
};

// Options of a test application: nothing is read from or written to the registry, and the style
// library holds the default styles (one site style, one page style placing it, one document
// style with both), so new cards get their pages.
class CDefaultStyleOptions : public COptionsManager {
public:
    CDefaultStyleOptions();
};

// Makes the compressed-storage server's classes available in this process (from Mosk.dll beside
// the program). False when the library is missing.
bool RegisterCompressedStorage();

// A card with three sites holding controls, two pages and a changed background.
void FillSampleCard(CTarnDoc& doc, int controlsPerSite = 3);

std::vector<unsigned char> FileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<unsigned char>& bytes);
// The raw bytes of one stream of a compound file's root storage; empty when missing.
std::vector<unsigned char> StreamBytes(const std::string& path, const wchar_t* name);
// A fresh path in the temporary folder.
std::string TempCardPath(const char* stem);
