// A control carrying the text layer saves the text after its rectangle and loads it back whole.
#include <gtest/gtest.h>

#include <vector>

#include "StreamBytes.h"
#include "TestFonts.h"
#include "TextTestControl.h"
#include "fonts/FontTable.h"

namespace {

std::vector<BYTE> SaveControl(CTextTestControl* control) {
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    IPersistStreamInit* persist = nullptr;
    AsBase(control)->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist));
    EXPECT_HRESULT_SUCCEEDED(persist->Save(stream, TRUE));
    persist->Release();
    std::vector<BYTE> bytes = StreamBytes(stream);
    stream->Release();
    return bytes;
}

HRESULT LoadControl(CTextTestControl* control, const std::vector<BYTE>& bytes) {
    return LoadSavedBytes(AsBase(control), bytes);
}

}  // namespace

TEST(TextControlPersistence, ATextSavedWithItsControlLoadsBackWhole) {
    ASSERT_TRUE(testfonts::Register());
    TextTestControlObject* control = NewTextTestControl();
    ASSERT_NE(nullptr, control);
    control->rect = tagRectF{1, 1, 5, 3};
    control->model.PutText(L"Happy\r\nbirthday");
    control->model.PutTextType(kParagraphText);
    control->model.SetRangeStyle(0, 5, kStyleBold);
    control->model.SetRangeFontSize(6, -1, 20);
    control->model.PutHorizontalAlignment(kAlignCenter);
    control->layout.Layout(0, true);
    const std::vector<BYTE> saved = SaveControl(control);

    TextTestControlObject* loaded = NewTextTestControl();
    ASSERT_HRESULT_SUCCEEDED(LoadControl(loaded, saved));
    EXPECT_EQ(control->model.Text(), loaded->model.Text());
    EXPECT_EQ(1, loaded->rect.left);
    EXPECT_EQ(5, loaded->rect.right);
    EXPECT_EQ(kParagraphText, loaded->model.Type());
    ASSERT_EQ(control->model.Chars().size(), loaded->model.Chars().size());
    for (size_t i = 0; i < control->model.Chars().size(); ++i) {
        const TextCharRecord& a = control->model.Chars()[i];
        const TextCharRecord& b = loaded->model.Chars()[i];
        EXPECT_EQ(a.font, b.font) << i;
        EXPECT_EQ(a.yScale, b.yScale) << i;
        EXPECT_EQ(a.x, b.x) << i;  // laid out again in the same frame
        EXPECT_EQ(a.y, b.y) << i;
    }
    EXPECT_EQ(saved, SaveControl(loaded));
    control->Release();
    loaded->Release();
}

TEST(TextControlPersistence, ADamagedTextRecordIsRefusedOrLoadsSafely) {
    ASSERT_TRUE(testfonts::Register());
    TextTestControlObject* control = NewTextTestControl();
    control->model.PutText(L"damage");
    const std::vector<BYTE> saved = SaveControl(control);
    for (size_t cut = 0; cut < saved.size(); cut += 7) {
        TextTestControlObject* loaded = NewTextTestControl();
        std::vector<BYTE> bytes(saved.begin(), saved.begin() + cut);
        const HRESULT hr = LoadControl(loaded, bytes);
        if (SUCCEEDED(hr)) {
            for (const TextCharRecord& c : loaded->model.Chars()) ASSERT_NE(nullptr, FontTable::Shared().Entry(c.font));
        }
        loaded->Release();
    }
    control->Release();
}
