#include "HostApp.h"

#include <cstdio>
#include <cstring>

namespace {
int WriteMessage(void*, const char* text, const char* caption, UINT) {
    std::printf("message: %s: %s\n", caption, text);
    std::fflush(stdout);
    return IDOK;
}
}  // namespace

CHostApp::CHostApp() = default;

bool CHostApp::HasSwitch(const char* name) const { return m_lpCmdLine && std::strstr(m_lpCmdLine, name); }

BOOL CHostApp::InitInstance() {
    if (HasSwitch("/answer")) SetMessageSink(WriteMessage, nullptr);
    if (FAILED(CoInitialize(nullptr))) return FALSE;
    if (!CTarnApp::InitInstance()) {
        std::printf("start-up: failed\n");
        std::fflush(stdout);
        return FALSE;
    }
    started_ = true;
    std::printf("start-up: ok\n");
    if (HasSwitch("/values")) {
        // What a drawing control would be told, asked the way the controls ask.
        // Answered without a reference of its own, as the class library does: not released here.
        ITarnApp* app = static_cast<ITarnApp*>(GetInterface(&IID_ITarnApp));
        int parse = -1;
        BSTR probe = nullptr;
        app->GetValueInt("ParseMetafiles", &parse);
        app->GetValueText("Probe", &probe);
        std::printf("value ParseMetafiles: %d\nvalue Probe: %ls\n", parse, probe ? probe : L"<none>");
        SysFreeString(probe);
        app->SetValueInt("HostRan", 1, 0, 1);
    }
    std::fflush(stdout);
    // There is no main window yet: the loop runs until the quit posted here arrives.
    PostQuitMessage(0);
    return TRUE;
}

int CHostApp::ExitInstance() {
    const int code = CTarnApp::ExitInstance();
    CoUninitialize();
    std::printf("exit: %d\n", code);
    std::fflush(stdout);
    return code;
}
