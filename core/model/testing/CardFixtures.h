#pragma once
// A card document for tests: messages are kept instead of shown, the test controls are the known
// controls, and a save can be made to fail half way.
#include <string>
#include <vector>

#include "TarnDoc.h"

class CTestCardDoc : public CTarnDoc {
public:
    int ShowMessage(const CString& text, UINT) override
    {
        messages.push_back(static_cast<LPCSTR>(text));
        return IDOK;
    }
    const std::vector<KnownControl>& GetKnownControls() const override;
    void AfterSerialize(CArchive& ar) override;

    std::vector<std::string> messages;
    bool failNextSave = false;
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
