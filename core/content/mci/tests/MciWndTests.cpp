// The MCI window wrapper over the platform's own MCI window, on the test machine's wave device
// (a silent sink that keeps what was played) and without any MIDI device.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <windows.h>
#include <mmsystem.h>

#include "MciWnd.h"
#include "WaveFile.h"

namespace {

std::string TempPath(const char* name)
{
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    char path[MAX_PATH];
    std::snprintf(path, sizeof path, "%smci%lu_%s", folder, GetCurrentProcessId(), name);
    return path;
}

void Pump(DWORD ms)
{
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < ms) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(5);
    }
}

TEST(MciWnd, MakesOneHiddenWindowAndForgetsItOnClose)
{
    CMCIWnd mci;
    EXPECT_EQ(mci.Close(), 0) << "no window: nothing to close";
    EXPECT_FALSE(mci.IsPlaying());
    ASSERT_TRUE(mci.Create(nullptr, GetModuleHandleA(nullptr)));
    HWND window = mci.GetHandle();
    ASSERT_TRUE(IsWindow(window));
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & 0xFFFF & CMCIWnd::kStyles, CMCIWnd::kStyles);
    mci.Close();
    EXPECT_EQ(mci.GetHandle(), nullptr);
    EXPECT_FALSE(IsWindow(window));
}

TEST(MciWnd, MeasuresAndPlaysAWaveFile)
{
    waveOutGetNumDevs();
    ASSERT_GT(waveOutGetNumDevs(), 0u) << "the test machine's wave device is missing";
    const std::string path = TempPath("tone.wav");
    ASSERT_TRUE(WriteToneWave(path, 2.5, 440));
    {
        CMCIWnd mci;
        ASSERT_TRUE(mci.Create(nullptr, GetModuleHandleA(nullptr)));
        ASSERT_TRUE(mci.Open(path.c_str()));
        EXPECT_EQ(mci.GetLength(), 2500);
        EXPECT_EQ(mci.GetPosition(), 0);
        EXPECT_EQ(mci.Play(), 0);
        Pump(20);
        EXPECT_TRUE(mci.IsPlaying());
        ASSERT_TRUE(mci.PlayFrom(-1));
        // The silent sink plays faster than real time; the length bounds the wait all the same.
        const DWORD start = GetTickCount();
        while (mci.IsPlaying() && GetTickCount() - start < 10000)
            Pump(20);
        EXPECT_FALSE(mci.IsPlaying());
        EXPECT_EQ(mci.GetPosition(), 2500);
        EXPECT_EQ(mci.Seek(1000), 0);
        EXPECT_EQ(mci.GetPosition(), 1000);
    }
    {
        CMCIWnd mci;
        ASSERT_TRUE(mci.Create(nullptr, GetModuleHandleA(nullptr)));
        mci.Open(TempPath("missing.wav").c_str());
        EXPECT_EQ(mci.GetLength(), 0) << "nothing to measure in a missing file";
    }
    DeleteFileA(path.c_str());
}

}  // namespace
