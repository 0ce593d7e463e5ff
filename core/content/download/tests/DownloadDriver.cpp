// Runs downloads against the loopback server of check_downloads.py and prints what the requests
// saw, one line per call, for the script to check: "<name> PROGRESS received total failed finished"
// and "<name> END elapsed-ms".
// Arguments: base URL (http://127.0.0.1:port), output folder, then scenario names.
#include <cstdio>
#include <string>
#include <vector>
#include "DownloadQueue.h"

namespace {

class RecordingRequest : public CDownloadRequest
{
public:
    RecordingRequest(const std::string& name, const std::string& url, const std::string& path)
        : CDownloadRequest(url.c_str(), path.c_str()), m_name(name), m_done(CreateEventA(nullptr, TRUE, FALSE, nullptr))
    {
    }
    ~RecordingRequest() override { CloseHandle(m_done); }

    BOOL CheckContent(const CString& mediaType, const CString& parameter) override
    {
        Line("CONTENT [%s] [%s]", static_cast<LPCSTR>(mediaType), static_cast<LPCSTR>(parameter));
        return FALSE;
    }
    BOOL Progress(int received, int total, BOOL failed, BOOL finished) override
    {
        Line("PROGRESS %d %d %d %d", received, total, failed ? 1 : 0, finished ? 1 : 0);
        if (failed || finished)
            SetEvent(m_done);
        if (m_stopAfter >= 0 && received >= m_stopAfter && !failed && !finished)
            return TRUE;
        return FALSE;
    }

    template <typename... Args> void Line(const char* format, Args... args)
    {
        std::string text = m_name + " " + format + "\n";
        std::printf(text.c_str(), args...);
        std::fflush(stdout);
    }

    std::string m_name;
    HANDLE m_done;
    int m_stopAfter = -1;
};

std::string g_base, g_folder;

std::string Target(const std::string& name)
{
    return g_folder + "\\" + name + ".bin";
}

bool Wait(RecordingRequest& request, DWORD ms)
{
    return WaitForSingleObject(request.m_done, ms) == WAIT_OBJECT_0;
}

void Run(const std::string& name, DWORD stallLimit = CDownloadQueue::kDefaultStallLimit, int stopAfter = -1,
         std::string target = "")
{
    CDownloadQueue queue;
    queue.SetStallLimit(stallLimit);
    RecordingRequest request(name, g_base + "/" + name, target.empty() ? Target(name) : target);
    request.m_stopAfter = stopAfter;
    const DWORD start = GetTickCount();
    if (!queue.Add(&request) || !queue.AnyJobAccepts(&request)) {
        request.Line("REFUSED");
        return;
    }
    if (!Wait(request, 60000))
        request.Line("TIMEOUT");
    request.Line("END %lu", static_cast<unsigned long>(GetTickCount() - start));
    // The worker ends by itself; the queue is empty once it has.
    for (int i = 0; i < 200 && queue.GetJobCount() > 0; ++i)
        Sleep(10);
    request.Line("JOBS %d", queue.GetJobCount());
}

void Refused(const std::string& name, const std::string& url)
{
    CDownloadQueue queue;
    RecordingRequest request(name, url, Target(name));
    request.Line(queue.Add(&request) ? "ACCEPTED" : "REFUSED");
}

void Cancel()
{
    CDownloadQueue queue;
    RecordingRequest request("cancel", g_base + "/cancel", Target("cancel"));
    queue.Add(&request);
    queue.AnyJobAccepts(&request);
    Sleep(500);
    const DWORD start = GetTickCount();
    queue.Remove(&request, FALSE);
    request.Line("REMOVED %lu %d", static_cast<unsigned long>(GetTickCount() - start), queue.GetJobCount());
    // The request may go now: the detached job never calls it again.
}

void Many()
{
    CDownloadQueue queue;
    std::vector<RecordingRequest*> requests;
    for (int i = 0; i < 20; ++i) {
        const std::string name = "many" + std::to_string(i);
        auto* request = new RecordingRequest(name, g_base + "/" + name, Target(name));
        if (!queue.Add(request) || !queue.AnyJobAccepts(request))
            request->Line("REFUSED");
        requests.push_back(request);
    }
    for (RecordingRequest* request : requests) {
        if (!Wait(*request, 60000))
            request->Line("TIMEOUT");
    }
    for (int i = 0; i < 500 && queue.GetJobCount() > 0; ++i)
        Sleep(10);
    std::printf("many JOBS %d\n", queue.GetJobCount());
    for (RecordingRequest* request : requests)
        delete request;
}

void DestroyWhileRunning()
{
    auto* queue = new CDownloadQueue;
    RecordingRequest request("destroy", g_base + "/cancel", Target("destroy"));
    queue->Add(&request);
    queue->AnyJobAccepts(&request);
    Sleep(300);
    delete queue;
    request.Line("DESTROYED");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    g_base = argv[1];
    g_folder = argv[2];
    for (int i = 3; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "refused") {
            Refused("ftp", "ftp://127.0.0.1/x.bmp");
            Refused("file", "file:///c:/x.bmp");
            Refused("https", "https://127.0.0.1/x.bmp");
        } else if (name == "stall") {
            Run(name, 1500);
        } else if (name == "stopped") {
            Run(name, CDownloadQueue::kDefaultStallLimit, 1024);
        } else if (name == "unwritable") {
            Run(name, CDownloadQueue::kDefaultStallLimit, -1, g_folder + "\\no such folder\\x.bin");
        } else if (name == "cancel") {
            Cancel();
        } else if (name == "destroy") {
            DestroyWhileRunning();
        } else if (name == "many") {
            Many();
        } else {
            Run(name);
        }
    }
    // Detached workers finish on their own; give them their time before the process ends.
    Sleep(200);
    return 0;
}
