// The user-interface thread edits a text by name while the preview thread rebuilds it: the edits
// and the rebuilds take the cache lock, and the shared font table and glyph cache stay whole.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "FakeTextFrame.h"
#include "TestFonts.h"
#include "fonts/FontTable.h"
#include "fonts/GlyphCache.h"
#include "RangeSetters.h"
#include "render/EngineState.h"

namespace {

class DiscardingSink : public TextUndoSink {
public:
    void Record(const TextUndoCall&) override { ++records; }
    long records = 0;
};

}  // namespace

TEST(TextThreads, SettersAgainstARebuildOnAnotherThreadForFiveSeconds) {
    ASSERT_TRUE(testfonts::Register());
    FakeTextFrame frame(2, 1);
    CTextModel model(&frame);
    CTextLayout layout(model, frame, GlyphCache::Shared());
    DiscardingSink undo;
    RangeSetters setters(model, layout, undo);
    model.PutText(L"Preview text\nwith lines");
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
        {
            // Replacing characters holds the lock, as in-place editing does.
            CriticalSectionHolder hold(CacheLock());
            wchar_t text[] = L"edit 0000 \x416\x44B";
            for (int d = 0; d < 4; ++d) text[5 + d] = wchar_t(L'0' + (edits >> (3 * d)) % 8);
            text[0] = wchar_t(0x100 + edits % 0x80);  // new glyphs keep the cache growing
            model.PutText(text);
        }
        setters.start = edits % 5;
        setters.end = 4 + edits % 9;
        switch (edits % 6) {
        case 0: setters.SetBold(); break;
        case 1: setters.SetItalic(); break;
        case 2: setters.SetFont2(testfonts::Logical(faces[edits % 3])); break;
        case 3: setters.SetFontSize(10 + edits % 30); break;
        case 4: setters.SetHorizontalAlignment(edits % 3); break;
        default: setters.SetUnderscore(); break;
        }
        ++edits;
    }
    stop = true;
    preview.join();
    EXPECT_GT(edits, 10);
    EXPECT_GT(rebuilds, 10);
    EXPECT_GT(undo.records, 10);
    for (const TextCharRecord& c : model.Chars()) ASSERT_NE(nullptr, FontTable::Shared().Entry(c.font));
}
