// Items measure the sounds they take through a hidden MCI window.
#include <gtest/gtest.h>

#include "SoundItem.h"
#include "SoundTestSupport.h"
#include "WaveFile.h"

namespace {

TEST(SoundMeasure, AWaveFileOfTwoAndAHalfSecondsMeasuresTwoAndAHalf)
{
    PrivateTempFolder temp;
    const std::string source = temp.Path() + "\\source.wav";
    ASSERT_TRUE(WriteToneWave(source, 2.5, 440));
    {
        CSoundItem item;
        item.SetExtension("wav");
        ASSERT_TRUE(item.LoadFromFile(source.c_str()));
        EXPECT_DOUBLE_EQ(item.m_duration, 2.5);
        EXPECT_EQ(SoundFileBytes(item.GetTempPath()), SoundFileBytes(source));

        // Bytes no media device can open measure 0.
        const std::string noise = temp.Path() + "\\noise.wav";
        HANDLE file = CreateFileA(noise.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, "not a sound", 11, &written, nullptr);
        CloseHandle(file);
        CSoundItem broken;
        broken.SetExtension("wav");
        EXPECT_TRUE(broken.LoadFromFile(noise.c_str()));
        EXPECT_EQ(broken.m_duration, 0.0);
        DeleteFileA(noise.c_str());
    }
    DeleteFileA(source.c_str());
    EXPECT_TRUE(temp.Files().empty());
}

}  // namespace
