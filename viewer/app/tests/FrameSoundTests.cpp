// The frame's sound panels on a card whose sites 1 and 3 have sound lists and site 2 has none,
// with site ids other than their positions. Played through the test machine's wave device.
#include "CardComposer.h"
#include "MemoryCardFrame.h"
#include "MediaPanelDlg.h"
#include "SoundStore.h"
#include "SoundsStreamFormat.h"
#include "ViewerApp.h"
#include "ViewerDoc.h"
#include "ViewerMessages.h"
#include "WaveFile.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace {

using cardcomposer::Bytes;


const int kSiteIds[3] = {10, 20, 30};

Bytes ToneBytes(double seconds, double hz)
{
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "frame_sound_tone_" + std::to_string(GetCurrentProcessId()) + ".wav";
    WriteToneWave(path, seconds, hz);
    std::ifstream in(path, std::ios::binary);
    Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    DeleteFileA(path.c_str());
    return bytes;
}

void WriteList(soundsformat::Writer& out, int site, SourceType type, const char* ext, const Bytes& data,
               double duration, double before, unsigned plays, double between, double after)
{
    for (uint32_t v : {1u, 0u, 1u, static_cast<uint32_t>(type), static_cast<uint32_t>(site), 1u})
        out.U32(v);
    out.U32(1);
    out.F64(after);
    out.F64(before);
    out.F64(between);
    out.F64(duration);
    out.U32(plays);
    out.Text("sound");
    out.Text(ext);
    out.U32(static_cast<uint32_t>(data.size()));
    out.Bytes(data.data(), data.size());
}

// Site 10 (first): one second of 440 Hz played twice; site 20: nothing; site 30 (third): a wave
// and a MIDI list.
Bytes SoundCard()
{
    cardcomposer::CardPlan card;
    for (int i = 0; i < 3; ++i) {
        cardcomposer::SitePlan site;
        site.id = kSiteIds[i];
        site.name = "Panel " + std::to_string(i + 1);
        site.rectRight = 6.0;
        site.rectBottom = 4.0;
        card.sites.push_back(site);
    }
    cardcomposer::PagePlan page;
    page.placements = {{10, 0.0, 0.0}};
    card.pages = {page};
    soundsformat::Writer sounds;
    sounds.U32(3);
    WriteList(sounds, 10, stWave, "wav", ToneBytes(1.0, 440), 1.0, 0.2, 2, 0.3, 0.2);
    WriteList(sounds, 30, stWave, "wav", ToneBytes(0.5, 880), 0.5, 0, 1, 0, 0);
    const Bytes midi = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96};
    WriteList(sounds, 30, stMIDI, "mid", midi, 1.0, 0, 1, 0, 0);
    return cardbytes::CompoundFile({{"Contents", cardcomposer::ComposeContents(card)},
                                    {"Sounds", cardbytes::Frame(sounds.Content())}});
}

void Pump(DWORD ms)
{
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < ms) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    }
}

bool Enabled(CMediaPanelDlg* panel, int control) { return IsWindowEnabled(GetDlgItem(panel->GetHwnd(), control)); }

class FrameSounds : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InitCommonControls();
        m_frame = std::make_unique<CMemoryCardFrame>(SoundCard());
        ASSERT_TRUE(m_frame->Create(nullptr, m_app.GetTitle(), WS_OVERLAPPEDWINDOW, RECT{0, 0, 0, 0}, 0));
        ASSERT_FALSE(m_frame->HasNoCard());
        m_hwnd = m_frame->GetHwnd();
        ShowWindow(m_hwnd, SW_SHOW);
        m_wave = m_frame->GetSoundPanel(0);
        m_midi = m_frame->GetSoundPanel(1);
        ASSERT_NE(m_wave, nullptr);
        ASSERT_NE(m_midi, nullptr);
    }
    const CSoundStore& Store() const { return m_frame->GetDocument()->GetSoundStore(); }

    CCardViewerApp m_app;
    std::unique_ptr<CMemoryCardFrame> m_frame;
    HWND m_hwnd = nullptr;
    CMediaPanelDlg* m_wave = nullptr;
    CMediaPanelDlg* m_midi = nullptr;
};

TEST_F(FrameSounds, PanelsTakeTheStripAndFollowTheSitesById)
{
    RECT client = {}, view = {}, wave = {}, midi = {};
    GetClientRect(m_hwnd, &client);
    GetWindowRect(m_frame->GetView()->GetHwnd(), &view);
    GetWindowRect(m_wave->GetHwnd(), &wave);
    GetWindowRect(m_midi->GetHwnd(), &midi);
    EXPECT_TRUE(IsWindowVisible(m_wave->GetHwnd()));
    EXPECT_TRUE(IsWindowVisible(m_midi->GetHwnd()));
    EXPECT_EQ(wave.bottom - wave.top, 25);
    EXPECT_EQ(midi.top, wave.top);
    EXPECT_EQ(wave.right, midi.left);
    EXPECT_EQ(view.bottom, wave.top) << "the view ends where the strip begins";

    struct Step {
        int page;
        bool waveList, midiList;
    } steps[] = {{0, true, false}, {1, false, false}, {2, true, true}, {0, true, false}};
    for (const Step& step : steps) {
        SendMessageA(m_hwnd, VWM_GOTOPAGE, step.page, 0);
        const int id = kSiteIds[step.page];
        EXPECT_EQ(m_wave->GetList(), Store().FindList(id, stWave)) << step.page;
        EXPECT_EQ(m_midi->GetList(), Store().FindList(id, stMIDI)) << step.page;
        EXPECT_EQ(m_wave->GetList() != nullptr, step.waveList);
        EXPECT_EQ(m_midi->GetList() != nullptr, step.midiList);
        EXPECT_EQ(m_wave->IsPlaying(), step.waveList) << "a site's lists start when it is shown";
        EXPECT_EQ(Enabled(m_wave, CMediaPanelDlg::kSliderId), step.waveList);
        EXPECT_EQ(Enabled(m_wave, CMediaPanelDlg::kButtonId), step.waveList);
        EXPECT_EQ(Enabled(m_midi, CMediaPanelDlg::kSliderId), step.midiList);
        if (step.waveList) {
            EXPECT_LT(m_wave->Position(), 300) << "from the start";
        }
        Pump(150);
    }
    // Leaving a site stops its lists.
    SendMessageA(m_hwnd, VWM_GOTOPAGE, 1, 0);
    EXPECT_FALSE(m_wave->IsPlaying());
    EXPECT_FALSE(m_wave->GetMci().IsPlaying());
}

TEST_F(FrameSounds, TheFirstSitesWaveListPlaysToItsEnd)
{
    ASSERT_EQ(m_frame->CurrentPageIndex(), 0);
    ASSERT_TRUE(m_wave->IsPlaying());
    // The item's two plays, the pause between them, then the end.
    std::vector<int> states = {m_wave->GetState()};
    const DWORD start = GetTickCount();
    while (m_wave->IsPlaying() && GetTickCount() - start < 15000) {
        Pump(10);
        if (m_wave->GetState() != states.back())
            states.push_back(m_wave->GetState());
    }
    EXPECT_FALSE(m_wave->IsPlaying()) << "the list ends";
    EXPECT_EQ(states, std::vector<int>({0, 1, 2, 1, 3, 4}));
    // Silent plays would last their duration plus a grace period: these ended with the device.
    EXPECT_LT(GetTickCount() - start, 4000u);
    EXPECT_EQ(m_wave->GetState(), CMediaPlayback::kFinished);
    EXPECT_EQ(m_wave->GetMci().GetLength(), 1000);
}

}  // namespace
