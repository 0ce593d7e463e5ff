// Downloads handed over to a user-interface thread: a window that answers WM_USER+10 and
// WM_USER+11 as the main frame does. Prints one line per event for check_downloads.py:
// "<name> STATUS progress total remove", "<name> INSERT doc site x y flags path exists",
// "<name> RECORD <296 bytes in hex>", "<name> END ms".
// Arguments: base URL, output folder, scenario names (insert, closed, failed, unknown, blocked).
#include <cstdio>
#include <string>
#include "DownloadList.h"
#include "DownloadQueue.h"

namespace {

constexpr uint32_t kOpenDocument = 7;

std::string g_name;

struct Frame : IDownloadStatusSink, IDownloadInsertTarget
{
    void UpdateDownloadStatus(CDownloadNotificator* n, int remove) override
    {
        std::printf("%s STATUS %d %d %d\n", g_name.c_str(), n->GetProgress(), n->GetTotal(), remove);
    }
    BOOL InsertDownloadedImage(uint32_t documentId, const char* path, double x, double y, long siteId,
                               long flags) override
    {
        const bool exists = GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
        std::printf("%s INSERT %u %ld %g %g %ld %s %d\n", g_name.c_str(), documentId, siteId, x, y, flags, path,
                    exists ? 1 : 0);
        return documentId == kOpenDocument;
    }
};

Frame g_frame;
CDownloadList* g_list = nullptr;

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DOWNLOAD_INSERT_IMAGE) {
        auto record = reinterpret_cast<HGLOBAL>(lParam);
        if (auto* bytes = static_cast<const unsigned char*>(GlobalLock(record))) {
            std::printf("%s RECORD %lu ", g_name.c_str(), static_cast<unsigned long>(GlobalSize(record)));
            for (size_t i = 0; i < sizeof(InsertImageRecord); ++i)
                std::printf("%02x", bytes[i]);
            std::printf("\n");
            GlobalUnlock(record);
        }
        HandleInsertImageRecord(record, g_frame);
        return 0;
    }
    if (message == WM_DOWNLOAD_STATUS) {
        g_list->OnStatusMessage(wParam, lParam);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void Scenario(HWND window, const std::string& base, const std::string& folder, const std::string& name)
{
    g_name = name;
    CDownloadQueue queue;
    queue.SetStallLimit(10000);
    {
        CDownloadList list(queue, &g_frame);
        g_list = &list;
        list.SetDeleteDownloadedFiles(name == "blocked");
        const std::string route = name == "failed" ? "missing" : name == "unknown" ? "chunks" : "length";
        const uint32_t document = name == "closed" ? 8 : kOpenDocument;
        const std::string path = folder + "\\" + name + ".bin";
        auto* n = new CDownloadNotificator((base + "/" + route).c_str(), path.c_str(), window, document, 0x10, 1.5,
                                           2.25, 3);
        const DWORD start = GetTickCount();
        std::printf("%s START %d\n", name.c_str(), list.Download(n) ? 1 : 0);
        if (name == "blocked")
            Sleep(7000);  // the user-interface thread is busy past the hand-over wait
        if (name == "busy") {
            // The first download now waits for its hand-over; a second one starts at once.
            Sleep(1500);
            const DWORD second = GetTickCount();
            auto* other = new CDownloadNotificator((base + "/exact1024").c_str(), (folder + "\\busy2.bin").c_str(),
                                                   window, kOpenDocument, 0, 0, 0, 3);
            const BOOL started = list.Download(other);
            std::printf("%s SECOND %d %lu\n", name.c_str(), started ? 1 : 0,
                        static_cast<unsigned long>(GetTickCount() - second));
        }
        MSG msg;
        while (list.GetCount() > 0 && GetTickCount() - start < 30000) {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            Sleep(5);
        }
        // Whatever is still queued for the window (a late status post) is handled too.
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        const bool fileLeft = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
        std::printf("%s END %lu left=%d file=%d\n", name.c_str(), static_cast<unsigned long>(GetTickCount() - start),
                    list.GetCount(), fileLeft ? 1 : 0);
        g_list = nullptr;
    }
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TarnDownloadTestFrame";
    RegisterClassA(&wc);
    HWND window = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    for (int i = 3; i < argc; ++i)
        Scenario(window, argv[1], argv[2], argv[i]);
    DestroyWindow(window);
    return 0;
}
