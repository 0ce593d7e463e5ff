// The sound panels' schedule, run with a fake MCI window and synthetic 50 ms ticks.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "FakeMci.h"
#include "MediaPlayback.h"
#include "SoundItem.h"
#include "SoundSourceList.h"

namespace {

// An item with an empty file of its own, whose length the fake window knows.
CSoundItem* Item(CSoundSourceList& list, CFakeMci& mci, const char*, double duration, double before,
                 unsigned plays, double between, double after)
{
    auto* item = new CSoundItem;
    item->m_duration = duration;
    item->m_delayBefore = before;
    item->m_playCount = plays;
    item->m_pauseBetween = between;
    item->m_pauseAfter = after;
    item->SetExtension("wav");
    item->NewTempFileName();
    mci.lengths[item->GetTempPath()] = duration < 2e6 ? static_cast<LONG>(duration * 1000) : 2000000000;
    list.InsertAfter(item, list.GetCount() - 1);
    return item;
}

// Runs ticks until the panel stops playing (or the limit); returns the ms that passed.
int RunUntilFinished(CMediaPlayback& playback, CFakeMci& mci, int limitMs = 200000)
{
    int elapsed = 0;
    while (playback.IsPlaying() && elapsed < limitMs) {
        playback.Tick();
        elapsed += CMediaPlayback::kTickMs;
        if (mci.Advance(CMediaPlayback::kTickMs))
            playback.OnModeStop();
    }
    return elapsed;
}

class ScheduleTest : public ::testing::Test
{
protected:
    CFakeMci mci;
    CMediaPlayback playback{mci};
    CSoundSourceList list{stWave};
};

TEST_F(ScheduleTest, OneItemOfThreePlaysMakesATenSecondPass)
{
    Item(list, mci, "a", 2, 1, 3, 0.5, 2);
    playback.SetList(&list);
    EXPECT_EQ(playback.TotalLength(), 10000);
    EXPECT_TRUE(playback.IsEnabled());
    ASSERT_EQ(playback.Seek(0), 1);
    ASSERT_EQ(playback.Play(), 1);
    const int elapsed = RunUntilFinished(playback, mci);
    // A stop notification lands between two ticks: each play may end a tick apart.
    EXPECT_NEAR(elapsed, 10000, 3 * CMediaPlayback::kTickMs);
    EXPECT_EQ(mci.Count("open"), 1);
    EXPECT_EQ(mci.Count("play") , 3) << "one play after opening, two from the start";
    EXPECT_EQ(mci.Count("playfrom -1"), 2);
    EXPECT_EQ(playback.GetState(), CMediaPlayback::kFinished);
    EXPECT_EQ(playback.GetSliderPos(), 0);
    EXPECT_EQ(playback.GetTimeText(), "00:00");
}

TEST_F(ScheduleTest, ALoopCountOfTwoPlaysTheListTwiceAndStopsAtTheStart)
{
    Item(list, mci, "a", 2, 1, 3, 0.5, 2);
    list.m_loopCount = 2;
    playback.SetList(&list);
    playback.Seek(0);
    playback.Play();
    const int elapsed = RunUntilFinished(playback, mci);
    EXPECT_NEAR(elapsed, 20000, 6 * CMediaPlayback::kTickMs);
    EXPECT_EQ(mci.Count("open"), 1) << "a single item's file is opened once";
    EXPECT_EQ(mci.Count("playfrom -1"), 5);
    EXPECT_FALSE(playback.IsPlaying());
    EXPECT_EQ(playback.GetSliderPos(), 0);
    // Pressing play again starts from the beginning.
    EXPECT_EQ(playback.Play(), 1);
    EXPECT_EQ(playback.GetState(), CMediaPlayback::kDelayBefore);
}

TEST_F(ScheduleTest, SeekFindsTheSegmentOfEveryOffset)
{
    Item(list, mci, "a", 2, 1, 3, 0.5, 2);
    playback.SetList(&list);
    struct Case {
        int at, state, remaining, playsLeft;
    };
    const Case cases[] = {
        {0, 0, 1000, 3},    {999, 0, 1, 3},     {1000, 0, 0, 3},    {1001, 1, 1999, 3}, {3000, 1, 0, 3},
        {3001, 2, 499, 2},  {3500, 2, 0, 2},    {3501, 1, 1999, 2}, {5500, 1, 0, 2},    {6000, 2, 0, 1},
        {7000, 1, 1000, 1}, {8000, 1, 0, 1},    {8001, 3, 1999, 0}, {9999, 3, 1, 0},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(playback.Seek(c.at), 1) << c.at;
        EXPECT_EQ(playback.GetState(), c.state) << c.at;
        EXPECT_EQ(playback.GetRemaining(), c.remaining) << c.at;
        EXPECT_EQ(playback.Position(), c.at) << "the position is where the seek went";
    }
    EXPECT_EQ(playback.Seek(10000), 0) << "the end is past the schedule";
    EXPECT_EQ(playback.Seek(-1), 0);
    // Play at the very end: the slider returns to 0 and nothing starts.
    playback.SetSliderPos(CMediaPlayback::kSliderRange);
    EXPECT_EQ(playback.Play(), 0);
    EXPECT_EQ(playback.GetSliderPos(), 0);
    EXPECT_EQ(playback.Play(), 1);
}

TEST_F(ScheduleTest, ASinglePlayCountsNoPauseBetween)
{
    Item(list, mci, "a", 2, 0.5, 1, 7, 0.25);
    Item(list, mci, "b", 1, 0, 1, 3, 0);
    playback.SetList(&list);
    EXPECT_EQ(playback.TotalLength(), 500 + 2000 + 250 + 1000);
    playback.Seek(0);
    playback.Play();
    RunUntilFinished(playback, mci);
    EXPECT_EQ(mci.Count("open"), 2);
    EXPECT_EQ(mci.Count("playfrom"), 0);
    EXPECT_EQ(mci.Count("play"), 2);
}

TEST_F(ScheduleTest, TimeTexts)
{
    EXPECT_EQ(CMediaPlayback::FormatTime(3605), "01:00:05");
    EXPECT_EQ(CMediaPlayback::FormatTime(3540), "59:00");
    EXPECT_EQ(CMediaPlayback::FormatTime(0), "00:00");
    EXPECT_EQ(CMediaPlayback::FormatTime(59), "00:59");
    // Two hours of one item: the slider's position names the time while paused.
    Item(list, mci, "a", 7200, 0, 1, 0, 0);
    playback.SetList(&list);
    playback.SetSliderPos(16000);
    playback.UpdateTime();
    EXPECT_EQ(playback.GetTimeText(), "01:00:00");
}

TEST_F(ScheduleTest, SliderCodes)
{
    Item(list, mci, "a", 32, 0, 1, 0, 0);  // 32,000 ms: one unit a millisecond, 1000 a second
    playback.SetList(&list);
    ASSERT_EQ(playback.SecondInUnits(), 1000);
    struct Case {
        int code, pos, thumb, lastThumb, expected;
    };
    const Case cases[] = {
        {TB_LINEUP, 2500, 0, 0, 2000},    {TB_LINEUP, 2000, 0, 0, 1000},   {TB_LINEDOWN, 2500, 0, 0, 3000},
        {TB_LINEDOWN, 2000, 0, 0, 3000},  {TB_PAGEUP, 2500, 0, 0, 0},      {TB_PAGEUP, 6000, 0, 0, 3000},
        {TB_PAGEDOWN, 2500, 0, 0, 5000},  {TB_PAGEDOWN, 2000, 0, 0, 5000}, {TB_THUMBPOSITION, 2500, 11, 10, 3500},
        {TB_THUMBPOSITION, 2500, 9, 10, 1500}, {TB_THUMBPOSITION, 2500, 15, 10, 2500}, {TB_THUMBTRACK, 2500, 0, 0, 2500},
        {TB_TOP, 2500, 0, 0, 2500},       {TB_BOTTOM, 2500, 0, 0, 2500},   {TB_LINEUP, 500, 0, 0, 0},
        {TB_PAGEDOWN, 31500, 0, 0, 32000},
    };
    for (const Case& c : cases) {
        playback.OnScroll(TB_THUMBTRACK, c.lastThumb);  // sets the last thumb position
        playback.SetSliderPos(c.pos);
        playback.OnScroll(c.code, c.thumb);
        EXPECT_EQ(playback.GetSliderPos(), c.expected) << "code " << c.code << " at " << c.pos;
    }
    // A drag pauses playback and the end of the drag resumes it from the slider's place.
    playback.SetSliderPos(0);
    ASSERT_EQ(playback.Play(), 1);
    playback.OnScroll(TB_THUMBTRACK, 100);
    EXPECT_FALSE(playback.IsPlaying());
    playback.SetSliderPos(16000);
    playback.OnScroll(TB_ENDTRACK, 0);
    EXPECT_TRUE(playback.IsPlaying());
    EXPECT_EQ(playback.Position(), 16000);
}

TEST_F(ScheduleTest, LongSchedulesKeepAOneUnitSecond)
{
    Item(list, mci, "a", 40000, 0, 1, 0, 0);  // 40,000 s: a second is less than one slider unit
    playback.SetList(&list);
    EXPECT_EQ(playback.SecondInUnits(), 1);
    playback.SetSliderPos(100);
    playback.OnScroll(TB_LINEDOWN, 0);
    EXPECT_EQ(playback.GetSliderPos(), 101);
    playback.OnScroll(TB_PAGEUP, 0);
    EXPECT_EQ(playback.GetSliderPos(), 98);
}

TEST_F(ScheduleTest, EmptyAndZeroLengthSchedulesDisableThePanel)
{
    playback.SetList(&list);
    EXPECT_FALSE(playback.IsEnabled());
    EXPECT_EQ(playback.Play(), 0);
    Item(list, mci, "a", 0, 0, 3, 0, 0);
    playback.SetList(&list);
    EXPECT_EQ(playback.TotalLength(), 0);
    EXPECT_FALSE(playback.IsEnabled());
    EXPECT_EQ(playback.Play(), 0);
    playback.SetList(nullptr);
    EXPECT_FALSE(playback.IsEnabled());
    // Huge stored values stay within the slider's arithmetic.
    CSoundSourceList huge(stWave);
    Item(huge, mci, "h", 1e300, 1e300, 0xFFFFFFFFu, 1e300, 1e300);
    playback.SetList(&huge);
    EXPECT_EQ(playback.TotalLength(), 0x7FFFFFFF);
    EXPECT_EQ(playback.Seek(0x7FFFFFFE), 1);
    playback.SetList(nullptr);
}

TEST_F(ScheduleTest, FilesThatCannotBePlayedRunOnSilently)
{
    CSoundItem* broken = Item(list, mci, "a", 1, 0.5, 2, 0.5, 0.5);
    mci.unopenable.insert(broken->GetTempPath());
    playback.SetList(&list);
    playback.Seek(0);
    playback.Play();
    const int elapsed = RunUntilFinished(playback, mci);
    EXPECT_EQ(elapsed, playback.TotalLength()) << "silent plays keep the schedule to the tick";
    EXPECT_EQ(playback.GetState(), CMediaPlayback::kFinished);

    // A device that takes the file but never plays nor notifies (MIDI without a MIDI device).
    CSoundSourceList midi(stMIDI);
    Item(midi, mci, "m", 1, 0, 1, 0, 0);
    mci.silentDevice = true;
    playback.SetList(&midi);
    playback.Seek(0);
    playback.Play();
    EXPECT_LE(RunUntilFinished(playback, mci), 1000 + 2000 + 2 * CMediaPlayback::kTickMs);
    EXPECT_FALSE(playback.IsPlaying());
}

TEST_F(ScheduleTest, AListGoingAwayLetsItsPanelGo)
{
    auto owned = std::make_unique<CSoundSourceList>(stWave);
    Item(*owned, mci, "a", 1, 0, 1, 0, 0);
    playback.SetList(owned.get());
    playback.Seek(0);
    playback.Play();
    owned.reset();
    EXPECT_EQ(playback.GetList(), nullptr);
    EXPECT_FALSE(playback.IsPlaying());
    playback.Tick();
}

}  // namespace
