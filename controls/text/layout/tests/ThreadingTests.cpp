// The user-interface thread edits one text while the preview thread rebuilds another: the shared
// font table and glyph cache stay whole.
#include <atomic>
#include <thread>

#include "LayoutFixture.h"
#include "render/EngineState.h"

TEST_F(LayoutTest, SettersAgainstARebuildOnAnotherThread) {
    Text(L"Preview text\nwith lines", 24);
    std::atomic<bool> stop{false};
    std::atomic<long> rebuilds{0};
    std::thread preview([&] {
        while (!stop) {
            {
                CriticalSectionHolder hold(CacheLock());  // as the smart cache holds it while it rebuilds
                layout.Layout(0, true);
                layout.BuildTextOutline();
                ++rebuilds;
            }
            Sleep(0);
        }
    });
    const DWORD start = GetTickCount();
    const char* faces[] = {"DejaVu Sans", "Liberation Serif", "Times New Roman"};
    long edits = 0;
    while (GetTickCount() - start < 5000) {
        Sleep(0);
        CriticalSectionHolder hold(CacheLock());  // as the control's setters hold it
        wchar_t text[] = L"edit 0000 \x416\x44B";
        for (int d = 0; d < 4; ++d) text[5 + d] = wchar_t(L'0' + (edits >> (3 * d)) % 8);
        text[0] = wchar_t(0x100 + edits % 0x80);  // new glyphs keep the cache growing
        model.PutText(text);
        model.SetRangeStyle(0, 4, unsigned(1 << (edits % 4)));
        LOGFONTA face = testfonts::Logical(faces[edits % 3]);
        model.SetRangeFont(2, -1, face);
        model.SetRangeFontSize(0, 3, 10 + edits % 30);
        ++edits;
    }
    stop = true;
    preview.join();
    EXPECT_GT(edits, 10);
    EXPECT_GT(rebuilds, 10);
    for (const TextCharRecord& c : model.Chars()) ASSERT_NE(nullptr, FontTable::Shared().Entry(c.font));
}
