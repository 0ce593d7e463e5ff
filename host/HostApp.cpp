#include "HostApp.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "TarnChildFrame.h"
#include "TarnDoc.h"
#include "TarnDocTemplate.h"
#include "TarnMainFrame.h"
#include "TarnView.h"

namespace {
int WriteMessage(void*, const char* text, const char* caption, UINT) {
    std::printf("message: %s: %s\n", caption, text);
    std::fflush(stdout);
    return IDOK;
}

// Menu of the card template's child frames.
constexpr UINT kCardTemplateMenu = 12026;

// The first argument that is not a switch, without its quotes; empty when there is none.
std::string CardArgument(const char* commandLine) {
    const char* at = commandLine ? commandLine : "";
    while (*at) {
        while (*at == ' ' || *at == '\t') ++at;
        if (!*at) break;
        std::string word;
        if (*at == '"') {
            for (++at; *at && *at != '"'; ++at) word += *at;
            if (*at == '"') ++at;
        } else {
            for (; *at && *at != ' ' && *at != '\t'; ++at) word += *at;
        }
        if (!word.empty() && word[0] != '/') return word;
    }
    return {};
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
    // The unattended switches check start-up only: the loop ends at once, without the editor.
    if (HasSwitch("/answer") || HasSwitch("/values")) {
        PostQuitMessage(0);
        return TRUE;
    }
    return StartEditor();
}

BOOL CHostApp::StartEditor() {
    AddDocTemplate(new CTarnDocTemplate(kCardTemplateMenu, RUNTIME_CLASS(CTarnDoc), RUNTIME_CLASS(CTarnChildFrame),
                                        RUNTIME_CLASS(CTarnView)));
    // The main frame builds its own menu from the shell's and the server's: its id names none.
    auto* frame = new CTarnMainFrame;
    if (!frame->LoadFrame(0)) {
        // A refused window takes its frame object with it.
        std::printf("start-up: no main window\n");
        std::fflush(stdout);
        return FALSE;
    }
    m_pMainWnd = frame;
    frame->ShowWindow(m_nCmdShow);
    frame->UpdateWindow();
    const std::string card = CardArgument(m_lpCmdLine);
    // A card that does not open has told the user why; the editor stays open without it.
    if (!card.empty()) OpenDocumentFile(card.c_str());
    return TRUE;
}

int CHostApp::ExitInstance() {
    const int code = CTarnApp::ExitInstance();
    CoUninitialize();
    std::printf("exit: %d\n", code);
    std::fflush(stdout);
    return code;
}
