// The text model's records: what a save holds, loading it back, earlier and damaged streams.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "FakeTextFrame.h"
#include "StreamBytes.h"
#include "TestFonts.h"
#include "fonts/FontTable.h"
#include "model/PropertyBagRecords.h"
#include "model/TextModel.h"

namespace {

using Bytes = std::vector<BYTE>;

Bytes Save(const CTextModel& model) {
    IStream* stream = nullptr;
    EXPECT_HRESULT_SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream));
    StreamRecordSink sink(stream);
    EXPECT_HRESULT_SUCCEEDED(model.Save(sink));
    EXPECT_HRESULT_SUCCEEDED(WriteRecordTerminator(stream));
    Bytes bytes = StreamBytes(stream);
    stream->Release();
    return bytes;
}

HRESULT Load(const Bytes& bytes, CTextModel& model) {
    IStream* stream = StreamOf(bytes);
    if (!stream) return E_FAIL;
    CTarnPropertyBag bag;
    HRESULT hr = bag.ReadFrom(stream);
    stream->Release();
    if (FAILED(hr)) return hr;
    PropertyBagRecordSource source(bag);
    return model.Load(source);
}

// Records written one by one, for streams of other writers.
struct RecordWriter {
    Bytes bytes;
    void Raw(const void* p, size_t n) {
        const BYTE* b = static_cast<const BYTE*>(p);
        bytes.insert(bytes.end(), b, b + n);
    }
    void Named(const char* name, const void* data, uint32_t size) {
        const uint32_t length = uint32_t(std::strlen(name));
        Raw(&length, 4);
        Raw(name, length);
        Raw(&size, 4);
        Raw(data, size);
    }
    void Id(uint32_t id, const void* data, uint32_t size) {
        Raw(&id, 4);
        Raw(&size, 4);
        Raw(data, size);
    }
    template <class T>
    void Value(const char* name, T v) { Named(name, &v, sizeof v); }
    Bytes Done() {
        const uint32_t zero = 0;
        Raw(&zero, 4);
        return bytes;
    }
};

class TextRecordsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(testfonts::Register()); }
    FakeTextFrame frame{3, 2};
};

CTextModel& Formatted(CTextModel& model) {
    model.PutText(L"One\r\ntwo \x416\r\n\r\nthree");
    model.SetRangeStyle(0, 3, kStyleBold);
    model.SetRangeFontSize(4, 7, 20);
    LOGFONTA sans = testfonts::Logical("DejaVu Sans");
    model.SetRangeFont(8, -1, sans);
    model.SetRangeStyle(11, -1, kStyleUnderline);
    model.PutMargin(kLeftMargin, 0.5);
    model.PutMargin(kTopMargin, 0.25);
    model.PutVerticalAlignment(kAlignMiddle);
    model.PutWrapText(0);
    model.PutTextType(kParagraphText);
    return model;
}

}  // namespace

TEST_F(TextRecordsTest, SaveLoadSaveIsByteIdentical) {
    CTextModel model(&frame);
    const Bytes first = Save(Formatted(model));
    CTextModel loaded(&frame);
    ASSERT_HRESULT_SUCCEEDED(Load(first, loaded));
    EXPECT_EQ(model.Text(), loaded.Text());
    ASSERT_EQ(model.Chars().size(), loaded.Chars().size());
    for (size_t i = 0; i < model.Chars().size(); ++i) {
        EXPECT_EQ(model.Chars()[i].font, loaded.Chars()[i].font) << i;
        EXPECT_EQ(model.Chars()[i].yScale, loaded.Chars()[i].yScale) << i;
    }
    EXPECT_EQ(0.5, loaded.Margin(kLeftMargin));
    EXPECT_EQ(kAlignMiddle, loaded.VerticalAlignment());
    EXPECT_EQ(0, loaded.WrapText());
    EXPECT_EQ(kParagraphText, loaded.Type());
    EXPECT_EQ(first, Save(loaded));
}

TEST_F(TextRecordsTest, TextLenCountsTheCarriageReturns) {
    CTextModel model(&frame);
    model.PutText(L"a\nb\n");
    const Bytes bytes = Save(model);
    // TextLen is the first record: key 7, "TextLen", size 4, value.
    uint32_t textLen = 0;
    std::memcpy(&textLen, bytes.data() + 4 + 7 + 4, 4);
    EXPECT_EQ(6u, textLen);
    EXPECT_EQ(4u, model.Chars().size());
}

TEST_F(TextRecordsTest, EightBitTextLoadsInTheFontsCodePage) {
    LOGFONTA cyrillic = testfonts::Logical("DejaVu Sans", FW_NORMAL, false, false, false, RUSSIAN_CHARSET);
    struct { LOGFONTA font; std::string text; std::wstring want; } cases[] = {
        {cyrillic, "\xC6\xFB\n", L"\x416\x44B"},               // a final LF is dropped
        {testfonts::Logical("DejaVu Sans"), "caf\xE9\r\nx", L"caf\xE9\r\nx"},
    };
    for (const auto& c : cases) {
        RecordWriter w;
        w.Value("TextLen", uint32_t(c.text.size()));  // not half the size: 8-bit text
        w.Named("Text", c.text.data(), uint32_t(c.text.size()));
        w.Named("Font", &c.font, sizeof c.font);
        CTextModel model(&frame);
        ASSERT_HRESULT_SUCCEEDED(Load(w.Done(), model));
        EXPECT_EQ(c.want, model.Text());
    }
}

TEST_F(TextRecordsTest, MissingRecordsKeepTheirValuesAndTinyScalesAreIgnored) {
    CTextModel model(&frame);
    const double fontY = model.FontY();
    RecordWriter w;
    const std::wstring text = L"hi";
    w.Value("TextLen", uint32_t(text.size()));
    w.Named("Text", text.data(), uint32_t(2 * text.size()));
    w.Value("FontX", 1e-12);
    w.Value("LeftMargin", double(NAN));
    w.Value("WrapText", int32_t(0));
    ASSERT_HRESULT_SUCCEEDED(Load(w.Done(), model));
    EXPECT_EQ(fontY, model.FontY());
    EXPECT_EQ(fontY, model.FontX());
    EXPECT_EQ(0, model.Margin(kLeftMargin));
    EXPECT_EQ(0, model.WrapText());
    EXPECT_EQ(kForwardText, model.TextDir());
    for (const TextCharRecord& r : model.Chars()) EXPECT_EQ(model.DefaultFont(), r.font);
}

TEST_F(TextRecordsTest, FontIndicesNameTheStoredEntriesInAscendingOrder) {
    CTextModel source(&frame);
    source.PutText(L"abc");
    LOGFONTA sans = testfonts::Logical("DejaVu Sans", FW_BOLD);
    FontEntry entries[2]{};
    entries[0].logFont = sans;
    entries[1].logFont = testfonts::Logical("Liberation Serif", FW_NORMAL, true);
    std::memset(entries[1].logFont.lfFaceName + 16, 0, 16);
    auto records = source.Chars();
    records[0].font = 77;  // the second distinct index: the second entry
    records[1].font = 5;   // the first
    records[2].font = 90;  // a third index with no stored entry: the default font
    records[0].yScale = 2 * records[0].yScale;
    RecordWriter w;
    const std::wstring text = L"abc";
    w.Value("TextLen", uint32_t(3));
    w.Named("Text", text.data(), 6);
    w.Id(0x40060001, records.data(), uint32_t(records.size() * sizeof(TextCharRecord)));
    w.Id(0x40060002, entries, sizeof entries);
    CTextModel model(&frame);
    ASSERT_HRESULT_SUCCEEDED(Load(w.Done(), model));
    const auto& chars = model.Chars();
    EXPECT_STREQ("Liberation Serif", FontTable::Shared().Entry(chars[0].font)->logFont.lfFaceName);
    EXPECT_TRUE(FontTable::Shared().Entry(chars[0].font)->logFont.lfItalic);
    EXPECT_EQ(records[0].yScale, chars[0].yScale);
    EXPECT_STREQ("DejaVu Sans", FontTable::Shared().Entry(chars[1].font)->logFont.lfFaceName);
    EXPECT_EQ(model.DefaultFont(), chars[2].font);
    EXPECT_EQ(model.FontY(), chars[2].yScale);
}

TEST_F(TextRecordsTest, UnterminatedFaceNamesAndShortRecordsAreSafe) {
    LOGFONTA font = testfonts::Logical("");
    std::memset(font.lfFaceName, 'Q', sizeof font.lfFaceName);
    RecordWriter w;
    w.Named("Font", &font, 40);  // short: the rest reads as zeros
    w.Named("Text", "xyz", 3);   // no TextLen: 8-bit text
    w.Id(0x40060001, "\x01\x02", 2);
    w.Id(0x40060003, "\x02", 1);
    CTextModel model(&frame);
    ASSERT_HRESULT_SUCCEEDED(Load(w.Done(), model));
    EXPECT_EQ(L"xyz", model.Text());
    EXPECT_EQ(kAlongCurveText, model.Type());
    ASSERT_NE(nullptr, FontTable::Shared().Entry(model.DefaultFont()));
}

TEST_F(TextRecordsTest, TenThousandMutatedStreamsLoadOrAreRefused) {
    CTextModel model(&frame);
    const Bytes good = Save(Formatted(model));
    std::mt19937 random(1105);
    int refused = 0;
    for (int i = 0; i < 10000; ++i) {
        Bytes bytes = good;
        const int hits = 1 + int(random() % 6);
        for (int h = 0; h < hits; ++h) bytes[random() % bytes.size()] = BYTE(random());
        if (random() % 8 == 0) bytes.resize(random() % bytes.size());
        CTextModel loaded(&frame);
        const HRESULT hr = Load(bytes, loaded);
        if (FAILED(hr)) {
            ++refused;
            continue;
        }
        // Nothing beyond the stream: at most one character per byte, every font in the table.
        EXPECT_LE(loaded.Chars().size(), bytes.size());
        ASSERT_NE(nullptr, FontTable::Shared().Entry(loaded.DefaultFont()));
        for (const TextCharRecord& r : loaded.Chars()) {
            ASSERT_NE(nullptr, FontTable::Shared().Entry(r.font));
            ASSERT_TRUE(std::isfinite(r.xScale) && std::isfinite(r.yScale));
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_LT(refused, 10000);
}
