#pragma once
// The host's application: the library's application object with the host's registry names. With
// "/answer" on the command line, messages are written to standard output and answered with OK
// instead of being shown, so that start-up can run unattended.
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
    bool started_ = false;
};
