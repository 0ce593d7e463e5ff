#pragma once
// An MCI window wrapper without a window: files "play" as the test advances its clock, and every
// call is written down.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "MciWnd.h"

class CFakeMci : public CMCIWnd
{
public:
    bool Create(HWND, HINSTANCE) override { return true; }
    bool Open(const char* path) override
    {
        calls.push_back(std::string("open ") + path);
        if (unopenable.count(path))
            return false;
        open = path;
        position = 0;
        playing = false;
        return true;
    }
    LONG GetLength() override { return lengths.count(open) ? lengths[open] : 0; }
    LONG GetPosition() override { return position; }
    LRESULT Play() override
    {
        calls.push_back("play");
        playing = !silentDevice;
        return 0;
    }
    bool PlayFrom(LONG from) override
    {
        calls.push_back("playfrom " + std::to_string(from));
        position = from < 0 ? 0 : from;
        playing = !silentDevice;
        return true;
    }
    LRESULT Stop() override
    {
        playing = false;
        return 0;
    }
    LRESULT Close() override { return 0; }
    bool IsPlaying() override { return playing; }

    // Moves the clock on; true when the file reached its end (the window then notifies a stop).
    bool Advance(LONG ms)
    {
        if (!playing)
            return false;
        position += ms;
        if (position < GetLength())
            return false;
        position = GetLength();
        playing = false;
        return true;
    }
    int Count(const std::string& prefix) const
    {
        int n = 0;
        for (const std::string& call : calls)
            n += call.compare(0, prefix.size(), prefix) == 0;
        return n;
    }

    std::map<std::string, LONG> lengths;
    std::set<std::string> unopenable;
    // A device that takes files but never plays them and never notifies (MIDI without a device).
    bool silentDevice = false;
    std::string open;
    LONG position = 0;
    bool playing = false;
    std::vector<std::string> calls;
};
