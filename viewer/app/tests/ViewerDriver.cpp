// Drives a viewer program from outside, as a user would, and prints what it sees:
//   pavane-driver nocard <program>              expects the no-card message, closes it, prints the exit code
//   pavane-driver pages <program> <shot.bmp>    prints the title and page buttons after each accelerator,
//                                               keeps a screenshot of the first window, closes the program
//   pavane-driver buttons <program>             prints the number of page buttons, then the title after
//                                               stepping back from the first page and after a page command
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Search
{
    DWORD processId;
    const char* className;
    HWND found;
};

BOOL CALLBACK FindTopWindow(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    char className[64] = "";
    GetClassNameA(hwnd, className, sizeof className);
    if (owner == search->processId && IsWindowVisible(hwnd) && std::string(className) == search->className) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForWindow(DWORD processId, const char* className, HANDLE process, int milliseconds)
{
    for (int waited = 0; waited < milliseconds; waited += 100) {
        Search search = {processId, className, nullptr};
        EnumWindows(FindTopWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        if (WaitForSingleObject(process, 100) == WAIT_OBJECT_0)
            return nullptr;
    }
    return nullptr;
}

bool Start(const char* program, PROCESS_INFORMATION& process)
{
    STARTUPINFOA startup = {sizeof startup};
    std::string command = std::string("\"") + program + "\"";
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::printf("cannot start %s (error %lu)\n", program, GetLastError());
        return false;
    }
    return true;
}

DWORD Finish(PROCESS_INFORMATION& process, int milliseconds)
{
    DWORD exitCode = 259;
    if (WaitForSingleObject(process.hProcess, milliseconds) != WAIT_OBJECT_0) {
        std::printf("still running: terminated\n");
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 5000);
    }
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return exitCode;
}

BOOL CALLBACK CollectText(HWND child, LPARAM param)
{
    char className[64] = "", text[1024] = "";
    GetClassNameA(child, className, sizeof className);
    GetWindowTextA(child, text, sizeof text);
    if (std::string(className) == "Static" && text[0])
        *reinterpret_cast<std::string*>(param) += text;
    return TRUE;
}

int NoCard(const char* program)
{
    PROCESS_INFORMATION process = {};
    if (!Start(program, process))
        return 2;
    HWND box = WaitForWindow(process.dwProcessId, "#32770", process.hProcess, 30000);
    Search frame = {process.dwProcessId, "PavaneApp", nullptr};
    EnumWindows(FindTopWindow, reinterpret_cast<LPARAM>(&frame));
    std::printf("frame shown %d\n", frame.found ? 1 : 0);
    if (box) {
        char caption[256] = "";
        GetWindowTextA(box, caption, sizeof caption);
        std::string text;
        EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&text));
        std::printf("message caption \"%s\"\n", caption);
        std::printf("message text \"%s\"\n", text.c_str());
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    } else {
        std::printf("no message\n");
    }
    std::printf("exit code %lu\n", Finish(process, 30000));
    return 0;
}

HWND ChildOfClass(HWND parent, const char* className) { return FindWindowExA(parent, nullptr, className, nullptr); }

void PrintState(HWND frame, const char* step)
{
    char title[256] = "";
    GetWindowTextA(frame, title, sizeof title);
    std::string pressed;
    HWND toolbar = ChildOfClass(frame, TOOLBARCLASSNAMEA);
    for (UINT n = 0; n < 101; ++n) {
        if (SendMessageA(toolbar, TB_COMMANDTOINDEX, 50000 + n, 0) < 0)
            break;
        pressed += SendMessageA(toolbar, TB_ISBUTTONPRESSED, 50000 + n, 0) ? '1' : '0';
    }
    const bool zoomToPage = SendMessageA(toolbar, TB_ISBUTTONENABLED, 1004, 0) != 0;
    std::printf("%s: title \"%s\" buttons %s zoom-to-page %s\n", step, title, pressed.c_str(),
                zoomToPage ? "enabled" : "disabled");
}

void PressKeys(const std::vector<WORD>& keys)
{
    for (WORD key : keys)
        keybd_event(static_cast<BYTE>(key), 0, 0, 0);
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        keybd_event(static_cast<BYTE>(*key), 0, KEYEVENTF_KEYUP, 0);
}

// Waits until the title changes from what it was, or a short while when it is expected to stay.
void Settle(HWND frame, const std::string& before)
{
    char title[256] = "";
    for (int waited = 0; waited < 3000; waited += 50) {
        Sleep(50);
        GetWindowTextA(frame, title, sizeof title);
        if (before != title)
            break;
    }
    Sleep(200);
}

bool SaveScreenshot(HWND frame, const char* path)
{
    RECT rect = {};
    GetWindowRect(frame, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = ((width * 3) + 3) & ~3u;
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info.bmiHeader;
    header.bfSize = header.bfOffBits + stride * height;
    bool written = false;
    if (FILE* out = std::fopen(path, "wb")) {
        written = std::fwrite(&header, sizeof header, 1, out) == 1 &&
                  std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
                  std::fwrite(bits, stride, height, out) == static_cast<size_t>(height);
        std::fclose(out);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return written;
}

int Pages(const char* program, const char* screenshot)
{
    PROCESS_INFORMATION process = {};
    if (!Start(program, process))
        return 2;
    HWND frame = WaitForWindow(process.dwProcessId, "PavaneApp", process.hProcess, 30000);
    if (!frame) {
        std::printf("no frame; exit code %lu\n", Finish(process, 1000));
        return 3;
    }
    Sleep(1500);
    RECT rect = {};
    GetWindowRect(frame, &rect);
    std::printf("frame at %ld %ld size %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top);
    HWND toolbar = ChildOfClass(frame, TOOLBARCLASSNAMEA);
    SIZE toolbarSize = {};
    DWORD_PTR ignored = 0;
    // The toolbar's size is read through a buffer in this process only for a window of this process, so
    // its button count and rectangles tell the width instead.
    const int buttons = static_cast<int>(SendMessageTimeoutA(toolbar, TB_BUTTONCOUNT, 0, 0, SMTO_BLOCK, 5000, &ignored));
    (void)toolbarSize;
    std::printf("toolbar buttons %lu\n", static_cast<unsigned long>(ignored));
    (void)buttons;
    std::printf("screenshot %s\n", SaveScreenshot(frame, screenshot) ? "kept" : "failed");
    PrintState(frame, "start");

    SetForegroundWindow(frame);
    SetActiveWindow(frame);
    Sleep(300);
    const struct
    {
        const char* step;
        std::vector<WORD> keys;
    } steps[] = {
        {"ctrl+tab", {VK_CONTROL, VK_TAB}},
        {"ctrl+tab", {VK_CONTROL, VK_TAB}},
        {"ctrl+tab", {VK_CONTROL, VK_TAB}},
        {"ctrl+shift+tab", {VK_CONTROL, VK_SHIFT, VK_TAB}},
        {"ctrl+3", {VK_CONTROL, '3'}},
        {"ctrl+2", {VK_CONTROL, '2'}},
        {"ctrl+9", {VK_CONTROL, '9'}},
        {"ctrl+1", {VK_CONTROL, '1'}},
        {"numpad+", {VK_ADD}},
        {"right", {VK_RIGHT}},
        {"numpad*", {VK_MULTIPLY}},
    };
    for (const auto& step : steps) {
        char before[256] = "";
        GetWindowTextA(frame, before, sizeof before);
        SetForegroundWindow(frame);
        PressKeys(step.keys);
        Settle(frame, before);
        PrintState(frame, step.step);
    }
    // The button of the panel already shown: it stays pressed and the panel stays.
    SendMessageA(frame, WM_COMMAND, 50000, 0);
    PrintState(frame, "button 1");
    SendMessageA(frame, WM_COMMAND, 50001, 0);
    PrintState(frame, "button 2");
    PostMessageA(frame, WM_CLOSE, 0, 0);
    std::printf("exit code %lu\n", Finish(process, 30000));
    return 0;
}

int Buttons(const char* program)
{
    PROCESS_INFORMATION process = {};
    if (!Start(program, process))
        return 2;
    HWND frame = WaitForWindow(process.dwProcessId, "PavaneApp", process.hProcess, 30000);
    if (!frame) {
        std::printf("no frame; exit code %lu\n", Finish(process, 1000));
        return 3;
    }
    Sleep(1000);
    HWND toolbar = ChildOfClass(frame, TOOLBARCLASSNAMEA);
    int pageButtons = 0;
    for (UINT command = 50000; command < 50300; ++command)
        if (SendMessageA(toolbar, TB_COMMANDTOINDEX, command, 0) >= 0)
            ++pageButtons;
    std::printf("page buttons %d\n", pageButtons);
    char title[256] = "";
    SendMessageA(frame, WM_COMMAND, 50201, 0);
    GetWindowTextA(frame, title, sizeof title);
    std::printf("previous: title \"%s\"\n", title);
    SendMessageA(frame, WM_COMMAND, 50100, 0);
    GetWindowTextA(frame, title, sizeof title);
    std::printf("page 101: title \"%s\"\n", title);
    PostMessageA(frame, WM_CLOSE, 0, 0);
    std::printf("exit code %lu\n", Finish(process, 30000));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "nocard")
        return NoCard(argv[2]);
    if (argc == 4 && std::string(argv[1]) == "pages")
        return Pages(argv[2], argv[3]);
    if (argc == 3 && std::string(argv[1]) == "buttons")
        return Buttons(argv[2]);
    std::fprintf(stderr, "usage: pavane-driver nocard <program> | pages <program> <screenshot.bmp> | buttons <program>\n");
    return 4;
}
