#pragma once
// The host's application: the library's application object with the host's registry names. With
// "/answer" on the command line, messages are written to standard output and answered with OK
// instead of being shown, so that start-up can run unattended; with "/answer" or "/values" the
// program ends after start-up instead of showing the editor.
#include "TarnApp.h"

class CHostApp : public CTarnApp {
public:
    CHostApp();

    BOOL InitInstance() override;
    int ExitInstance() override;
    CString GetAppRegistryRootName() override { return "TarnHost"; }
    CString GetAppEngineRootName() override { return "Engine"; }
    CString GetAppFamilyRootName() override { return "TarnTest"; }
    bool Started() const { return started_; }

private:
    bool HasSwitch(const char* name) const;
    // Registers the card template, shows the main frame and opens the card named on the command line.
    BOOL StartEditor();
    bool started_ = false;
};
