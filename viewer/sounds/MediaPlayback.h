#pragma once
// The playing logic of one sound panel: a playlist's schedule (for every item its delay, its plays
// separated by pauses, and the pause after), the position over the whole list, seeking, the 50 ms
// tick and the position slider's scroll codes. It plays through an MCI window wrapper and shows
// its state through the few hooks a window fills in.
#include <cstdint>
#include <string>

#include "MciWnd.h"
#include "SoundSourceList.h"

class CMediaPlayback : public ISoundListPlayer
{
public:
    static constexpr int kSliderRange = 32000;
    static constexpr int kTickMs = 50;
    enum State { kDelayBefore = 0, kPlaying = 1, kPauseBetween = 2, kPauseAfter = 3, kFinished = 4 };

    explicit CMediaPlayback(CMCIWnd& mci);
    virtual ~CMediaPlayback();
    CMediaPlayback(const CMediaPlayback&) = delete;
    CMediaPlayback& operator=(const CMediaPlayback&) = delete;

    // Takes the list to play (none: stops); returns the previous one.
    CSoundSourceList* SetList(CSoundSourceList* list) override;
    CSoundSourceList* GetList() const { return m_list; }
    // Starts from the slider's position; 1 when playing started.
    int Play();
    void Pause();
    // The whole schedule's length, in ms.
    int TotalLength() const;
    // Where the schedule stands, in ms.
    int Position();
    // Makes the segment holding ms current; 0 when ms is not inside the schedule.
    int Seek(int ms);
    void Reset();
    void Tick();
    void UpdateTime();
    void Step();
    // The MCI window's notifications.
    void OnModeStop();
    void OnMciError();
    // A scroll of the slider: the scroll code and the thumb position it came with.
    void OnScroll(int code, int thumb);

    bool IsPlaying() const { return m_playing; }
    bool IsEnabled() const { return m_enabled; }
    int GetState() const { return m_state; }
    int GetItemIndex() const { return m_item; }
    int GetRemaining() const { return m_remaining; }
    int GetSliderPos() const { return m_sliderPos; }
    // The slider's position as the window shows it (the user may have moved it).
    void SetSliderPos(int pos) { m_sliderPos = pos; }
    const std::string& GetTimeText() const { return m_timeText; }
    // One second in slider units: never below one unit.
    int SecondInUnits() const;

    // The schedule of one item, in whole ms; public for the panels' tests.
    struct ItemTimes {
        int64_t before, play, between, after, plays;
        int64_t Total() const;
    };
    static ItemTimes TimesOf(const CSoundItem& item);
    // Time text of a number of seconds: "mm:ss" below an hour, "hh:mm:ss" from an hour on.
    static std::string FormatTime(int seconds);

protected:
    // What a window shows of the state; the logic works without any.
    virtual void ShowPlaying(bool /*playing*/) {}
    virtual void ShowSlider(int /*pos*/) {}
    virtual void ShowTime(const char* /*text*/) {}
    virtual void ShowEnabled(bool /*enabled*/) {}

private:
    void SetState(int state);
    // The current play has ended: the next pause, or the pause after the item.
    void OnPlayEnded();
    // Opens the current item's file unless it is the one already open; false when it can't be.
    bool OpenCurrentItem(bool& reopened);
    // Starts the current play from the start of the item's file; a file that can't be played
    // runs on silently for the item's duration.
    void StartPlay();
    int64_t ItemsBefore(int index) const;
    void SetSlider(int pos);

    CMCIWnd& m_mci;
    CSoundSourceList* m_list = nullptr;
    int m_state = kFinished;
    int m_remaining = 0;
    int64_t m_playsLeft = 0;
    int m_item = 0;
    int64_t m_loopsLeft = 0;
    bool m_playing = false;
    bool m_resumeAfterDrag = false;
    bool m_mciError = false;
    // The current play has no sound (the file could not be opened or played): it lasts its
    // duration in ticks instead of ending with the MCI window's notification.
    bool m_silent = false;
    int64_t m_playElapsed = 0;
    // Depth of the panel's own calls into the MCI window (whose errors arrive meanwhile).
    int m_inMciCall = 0;
    bool m_enabled = false;
    int m_lastPosition = 0;
    int m_total = 0;
    int m_lastThumb = 0;
    int m_sliderPos = 0;
    std::string m_openName;
    double m_unitsPerMs = 0;
    int m_lastSecond = -1;
    std::string m_timeText;
};
