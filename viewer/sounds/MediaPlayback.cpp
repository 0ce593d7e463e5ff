#include "MediaPlayback.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include <commctrl.h>

#include "SoundItem.h"

namespace {

constexpr int64_t kMaxMs = INT_MAX;
// A play the MCI window never reports finished (a device that takes the file but never plays it,
// as MIDI without a MIDI device) ends this long after its duration.
constexpr int64_t kLatePlayMs = 2000;

int64_t Ms(double seconds)
{
    const double ms = seconds * 1000;
    if (!(ms >= 0))
        return 0;
    return ms >= static_cast<double>(kMaxMs) ? kMaxMs : static_cast<int64_t>(ms);
}

int64_t Clamp(int64_t ms) { return std::min<int64_t>(std::max<int64_t>(ms, 0), kMaxMs); }

// Marks the calls into the MCI window made by the panel itself.
struct CallGuard {
    explicit CallGuard(int& depth) : m_depth(depth) { ++m_depth; }
    ~CallGuard() { --m_depth; }
    int& m_depth;
};

}  // namespace

int64_t CMediaPlayback::ItemTimes::Total() const
{
    // Every term stays below 2^62 and is clamped: no overflow whatever the stored values.
    const int64_t plays = std::min<int64_t>(this->plays, kMaxMs);
    return Clamp(before + Clamp(play * plays) + Clamp(between * std::max<int64_t>(plays - 1, 0)) + after);
}

CMediaPlayback::ItemTimes CMediaPlayback::TimesOf(const CSoundItem& item)
{
    return ItemTimes{Ms(item.m_delayBefore), Ms(item.m_duration), Ms(item.m_pauseBetween), Ms(item.m_pauseAfter),
                     static_cast<int64_t>(item.m_playCount)};
}

std::string CMediaPlayback::FormatTime(int seconds)
{
    char text[32];
    if (seconds < 3600)
        std::snprintf(text, sizeof text, "%02d:%02d", seconds / 60, seconds % 60);
    else
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

CMediaPlayback::CMediaPlayback(CMCIWnd& mci) : m_mci(mci) {}

CMediaPlayback::~CMediaPlayback()
{
    if (m_list)
        m_list->SetPlayer(nullptr);
}

CSoundSourceList* CMediaPlayback::SetList(CSoundSourceList* list)
{
    CSoundSourceList* previous = m_list;
    if (previous)
        previous->SetPlayer(nullptr);
    Pause();
    m_list = list;
    m_silent = false;
    if (list) {
        m_item = 0;
        m_remaining = 0;
        m_playsLeft = 0;
        m_loopsLeft = list->m_loopCount;
        list->SetPlayer(this);
    }
    Reset();
    return previous;
}

int CMediaPlayback::TotalLength() const
{
    if (!m_list)
        return 0;
    int64_t total = 0;
    for (int i = 0; i < m_list->GetCount(); ++i)
        total = Clamp(total + TimesOf(*m_list->GetAt(i)).Total());
    return static_cast<int>(total);
}

int64_t CMediaPlayback::ItemsBefore(int index) const
{
    int64_t sum = 0;
    for (int i = 0; i < index && i < m_list->GetCount(); ++i)
        sum = Clamp(sum + TimesOf(*m_list->GetAt(i)).Total());
    return sum;
}

void CMediaPlayback::Reset()
{
    m_total = TotalLength();
    m_lastPosition = 0;
    m_loopsLeft = m_list ? m_list->m_loopCount : 0;
    SetSlider(0);
    m_unitsPerMs = m_total > 0 ? static_cast<double>(kSliderRange) / m_total : 0;
    // A schedule that lasts nothing has nothing to show on a slider: the panel is disabled.
    m_enabled = m_list && m_list->GetCount() > 0 && m_total > 0;
    ShowEnabled(m_enabled);
    m_lastSecond = -1;
    UpdateTime();
}

int CMediaPlayback::SecondInUnits() const { return std::max(1, static_cast<int>(m_unitsPerMs * 1000)); }

void CMediaPlayback::SetSlider(int pos)
{
    m_sliderPos = std::min(std::max(pos, 0), static_cast<int>(kSliderRange));
    ShowSlider(m_sliderPos);
}

int CMediaPlayback::Position()
{
    if (!m_list || m_item >= m_list->GetCount() || m_state == kFinished)
        return 0;
    const ItemTimes t = TimesOf(*m_list->GetAt(m_item));
    const int64_t base = ItemsBefore(m_item);
    const int64_t done = std::max<int64_t>(t.plays - m_playsLeft, 0);  // plays finished
    int64_t position = base;
    switch (m_state) {
    case kDelayBefore:
        position += t.before - m_remaining;
        break;
    case kPlaying:
        position += t.before + Clamp(done * (t.play + t.between)) +
                    (m_silent ? t.play - m_remaining : static_cast<int64_t>(m_mci.GetPosition()));
        break;
    case kPauseBetween:
        position += t.before + Clamp(done * (t.play + t.between)) - m_remaining;
        break;
    default:
        position += t.Total() - m_remaining;
        break;
    }
    return static_cast<int>(Clamp(position));
}

bool CMediaPlayback::OpenCurrentItem(bool& reopened)
{
    CallGuard guard(m_inMciCall);
    reopened = false;
    if (!m_list || m_item >= m_list->GetCount())
        return false;
    const std::string& path = m_list->GetAt(m_item)->GetTempPath();
    if (path == m_openName && !path.empty())
        return true;
    m_mciError = false;
    m_openName.clear();
    if (path.empty() || !m_mci.Open(path.c_str()))
        return false;
    m_openName = path;
    reopened = true;
    return true;
}

void CMediaPlayback::StartPlay()
{
    CallGuard guard(m_inMciCall);
    bool reopened = false;
    m_playElapsed = 0;
    m_silent = true;
    if (OpenCurrentItem(reopened) && !m_mciError) {
        // A file just opened stands at its start; one played before is played again from there.
        m_silent = reopened ? m_mci.Play() != 0 : !m_mci.PlayFrom(-1);
    }
    if (m_silent)
        m_remaining = static_cast<int>(TimesOf(*m_list->GetAt(m_item)).play);
}

int CMediaPlayback::Seek(int ms)
{
    if (!m_list || ms < 0 || ms >= m_total)
        return 0;
    const int64_t a = ms;
    int64_t sum = 0;
    m_silent = false;
    for (int index = 0; index < m_list->GetCount(); ++index) {
        const ItemTimes t = TimesOf(*m_list->GetAt(index));
        m_item = index;
        if (sum + t.before >= a) {
            m_state = kDelayBefore;
            m_playsLeft = t.plays;
            m_remaining = static_cast<int>(sum + t.before - a);
            return 1;
        }
        sum += t.before;
        const int64_t plays = std::min<int64_t>(t.plays, kMaxMs);
        const int64_t region = Clamp(Clamp(t.play * plays) + Clamp(t.between * std::max<int64_t>(plays - 1, 0)));
        if (plays > 0 && sum + region >= a) {
            // Play j ends at j*cycle + play, the pause after it at (j+1)*cycle: the first segment
            // whose end reaches the offset holds it.
            const int64_t offset = a - sum;  // above 0: the delay ended before a
            const int64_t cycle = t.play + t.between;
            const int64_t j = cycle > 0 ? (offset - 1) / cycle : 0;
            const int64_t into = offset - j * cycle;
            if (into <= t.play) {
                m_state = kPlaying;
                m_playsLeft = plays - j;
                m_remaining = static_cast<int>(t.play - into);
                bool reopened = false;
                m_playElapsed = into;
                CallGuard guard(m_inMciCall);
                if (OpenCurrentItem(reopened) && !m_mciError)
                    m_silent = !m_mci.PlayFrom(std::max<LONG>(m_mci.GetLength() - m_remaining, 0));
                else
                    m_silent = true;
            } else {
                m_state = kPauseBetween;
                m_playsLeft = plays - j - 1;
                m_remaining = static_cast<int>(cycle - into);
            }
            return 1;
        }
        sum += region;
        if (sum + t.after >= a) {
            m_state = kPauseAfter;
            m_playsLeft = 0;
            m_remaining = static_cast<int>(sum + t.after - a);
            return 1;
        }
        sum += t.after;
    }
    return 0;
}

int CMediaPlayback::Play()
{
    if (m_playing || !m_list || !m_enabled)
        return 0;
    const int ms = static_cast<int>(m_sliderPos / m_unitsPerMs);
    if (!Seek(ms)) {
        SetSlider(0);
        UpdateTime();
        return 0;
    }
    if (m_mciError && m_state == kPlaying && !m_silent)
        return 0;
    m_playing = true;
    ShowPlaying(true);
    return 1;
}

void CMediaPlayback::Pause()
{
    CallGuard guard(m_inMciCall);
    if (!m_openName.empty())
        m_mci.Stop();
    m_playing = false;
    ShowPlaying(false);
}

void CMediaPlayback::SetState(int state)
{
    if (!m_list || !m_playing)
        return;
    switch (state) {
    case kDelayBefore:
        m_state = kDelayBefore;
        m_playsLeft = TimesOf(*m_list->GetAt(m_item)).plays;
        m_remaining = static_cast<int>(TimesOf(*m_list->GetAt(m_item)).before);
        break;
    case kPauseBetween:
        m_state = kPauseBetween;
        m_remaining = static_cast<int>(TimesOf(*m_list->GetAt(m_item)).between);
        break;
    case kPauseAfter:
        m_state = kPauseAfter;
        m_remaining = static_cast<int>(TimesOf(*m_list->GetAt(m_item)).after);
        break;
    default:
        m_state = kFinished;
        m_remaining = 0;
        m_item = 0;
        m_playing = false;
        SetSlider(0);
        UpdateTime();
        ShowPlaying(false);
        break;
    }
    Step();
}

void CMediaPlayback::OnPlayEnded()
{
    m_silent = false;
    --m_playsLeft;
    SetState(m_playsLeft <= 0 ? kPauseAfter : kPauseBetween);
}

void CMediaPlayback::Step()
{
    if (!m_list || m_item >= m_list->GetCount())
        return;
    switch (m_state) {
    case kDelayBefore:
    case kPauseBetween:
        if (m_remaining <= 0) {
            m_state = kPlaying;
            StartPlay();
        }
        break;
    case kPlaying:
        if (m_silent && m_remaining <= 0)
            OnPlayEnded();
        break;
    case kPauseAfter:
        if (m_remaining > 0)
            break;
        if (++m_item >= m_list->GetCount()) {
            --m_loopsLeft;
            if (!m_list->m_repeatForever && m_loopsLeft <= 0) {
                SetState(kFinished);
                break;
            }
            m_item = 0;
        }
        SetState(kDelayBefore);
        break;
    default:
        break;
    }
}

void CMediaPlayback::Tick()
{
    if (!m_playing)
        return;
    const int p = Position();
    if (p != m_lastPosition) {
        m_lastPosition = p;
        UpdateTime();
        SetSlider(static_cast<int>(p * m_unitsPerMs));
    }
    m_remaining -= kTickMs;
    if (m_state == kPlaying && !m_silent) {
        m_playElapsed += kTickMs;
        if (m_playElapsed >= TimesOf(*m_list->GetAt(m_item)).play + kLatePlayMs) {
            m_mci.Stop();
            OnPlayEnded();
            return;
        }
    }
    Step();
}

void CMediaPlayback::UpdateTime()
{
    int seconds = 0;
    if (m_playing)
        seconds = Position() / 1000;
    else if (m_unitsPerMs > 0)
        seconds = static_cast<int>((m_sliderPos / m_unitsPerMs + 5) * 0.001);
    if (seconds == m_lastSecond)
        return;
    m_lastSecond = seconds;
    m_timeText = FormatTime(seconds);
    ShowTime(m_timeText.c_str());
}

void CMediaPlayback::OnModeStop()
{
    if (m_playing && m_state == kPlaying && !m_silent && m_mci.GetPosition() == m_mci.GetLength())
        OnPlayEnded();
}

void CMediaPlayback::OnMciError()
{
    // An error of a call made here is answered by that call's result (a file that can't be opened
    // or played runs on silently); only errors of a sound under way stop the panel.
    if (m_inMciCall)
        return;
    m_mciError = true;
    Pause();
}

void CMediaPlayback::OnScroll(int code, int thumb)
{
    if (code == TB_ENDTRACK) {
        if (m_resumeAfterDrag)
            Play();
        m_resumeAfterDrag = false;
        return;
    }
    if (m_playing) {
        Pause();
        m_resumeAfterDrag = true;
    }
    int pos = m_sliderPos;
    const int u = SecondInUnits();
    const int b = u * (pos / u);
    switch (code) {
    case TB_LINEUP:
        pos = pos != b ? b : pos - u;
        break;
    case TB_LINEDOWN:
        pos = b + u;
        break;
    case TB_PAGEUP:
        pos = pos != b ? b - 2 * u : pos - 3 * u;
        break;
    case TB_PAGEDOWN:
        pos = b + 3 * u;
        break;
    case TB_THUMBPOSITION: {
        const int move = thumb - m_lastThumb;
        if (move == 1 || move == -1)
            pos += u * move;
        break;
    }
    default:
        break;
    }
    m_lastThumb = thumb;
    SetSlider(pos);
    UpdateTime();
}
