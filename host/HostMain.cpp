// The program's entry: one application object for the life of the process, run by the class library.
#include <windows.h>

#include "HostApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    CHostApp app;
    const int code = AfxWinMain(instance, previous, commandLine, show);
    // A refused start-up ends the program with a code that says so.
    return app.Started() ? code : 1;
}
