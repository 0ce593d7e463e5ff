// The by-name edits: each records its inverse, and replaying that by name restores the text's
// records byte for byte; replaying the redo brings the edit back.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "FakeTextFrame.h"
#include "ModelRecords.h"
#include "TestFonts.h"
#include "fonts/GlyphCache.h"
#include "model/PropertyBagRecords.h"
#include "RangeSetters.h"

namespace {

std::vector<BYTE> Records(const CTextModel& model) { return ModelRecords(model); }

class RecordingSink : public TextUndoSink {
public:
    void Record(const TextUndoCall& call) override { calls.push_back(call); }
    std::vector<TextUndoCall> calls;
};

class TextOwnerSettersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testfonts::Register());
        model.PutText(L"Undo me\r\nplease, twice");
        model.SetRangeStyle(0, 4, kStyleItalic);
        model.SetRangeFontSize(8, 14, 20);
        layout.Layout(0, true);
    }
    FakeTextFrame frame{3, 2};
    CTextModel model{&frame};
    CTextLayout layout{model, frame, GlyphCache::Shared()};
    RecordingSink undo;
    RangeSetters setters{model, layout, undo};
};

}  // namespace

TEST_F(TextOwnerSettersTest, EverySetterReplayedByNameRestoresTheRecords) {
    struct Case {
        const char* what;
        long start, end;
        std::function<HRESULT(RangeSetters&)> edit;
        const wchar_t* undoMethod;
        int description;
    };
    const LOGFONTA sans = testfonts::Logical("DejaVu Sans");
    TextSnapshot other = model.Snapshot();
    other.chars.resize(3);
    other.leftMargin = 0.5;
    other.textType = kParagraphText;
    const Case cases[] = {
        {"SetTextData_Disp", 0, -1, [&](RangeSetters& s) { return s.SetTextData_Disp(other, 777); }, L"SetTextData_Disp", 777},
        {"SetRangeFormat_Disp", 2, 5,
         [&](RangeSetters& s) {
             return s.SetRangeFormat_Disp(2, 5, {model.RangeFormat(9, 12), model.DefaultFont(), model.FontX(), model.FontY()}, 778);
         }, L"SetRangeFormat_Disp", 778},
        {"SetFontSize", 3, 11, [](RangeSetters& s) { return s.SetFontSize(30); }, L"SetRangeFormat_Disp", kUndoFontSize},
        {"SetFont2", 0, -1, [&](RangeSetters& s) { return s.SetFont2(sans); }, L"SetRangeFormat_Disp", kUndoFont},
        {"SetBold", 1, 6, [](RangeSetters& s) { return s.SetBold(); }, L"SetRangeFormat_Disp", kUndoBold},
        {"SetItalic", 0, 9, [](RangeSetters& s) { return s.SetItalic(); }, L"SetRangeFormat_Disp", kUndoItalic},
        {"SetUnderscore", 5, -1, [](RangeSetters& s) { return s.SetUnderscore(); }, L"SetRangeFormat_Disp", kUndoUnderline},
        {"SetStrikeout", 0, 2, [](RangeSetters& s) { return s.SetStrikeout(); }, L"SetRangeFormat_Disp", kUndoStrikeOut},
        {"SetTextDir", 0, -1, [](RangeSetters& s) { return s.SetTextDir(kBackwardText); }, L"SetTextDir", kUndoTextDir},
        {"SetWrapText", 0, -1, [](RangeSetters& s) { return s.SetWrapText(0); }, L"SetWrapText", kUndoWrapText},
        {"SetHorizontalAlignment", 0, -1, [](RangeSetters& s) { return s.SetHorizontalAlignment(kAlignCenter); },
         L"SetHorizontalAlignment", kUndoAlignCenter},
        {"SetVerticalAlignment", 0, -1, [](RangeSetters& s) { return s.SetVerticalAlignment(kAlignBottom); },
         L"SetVerticalAlignment", kUndoAlignBottom},
        {"SetTextType", 0, -1, [](RangeSetters& s) { return s.SetTextType(kParagraphText); }, L"SetTextType", kUndoTextType},
    };
    for (const Case& c : cases) {
        const std::vector<BYTE> before = Records(model);
        setters.start = c.start;
        setters.end = c.end;
        undo.calls.clear();
        ASSERT_EQ(S_OK, c.edit(setters)) << c.what;
        const std::vector<BYTE> after = Records(model);
        EXPECT_NE(before, after) << c.what << " changed nothing";
        ASSERT_EQ(1u, undo.calls.size()) << c.what;
        const TextUndoCall inverse = undo.calls[0];
        EXPECT_EQ(c.undoMethod, inverse.method) << c.what;
        EXPECT_EQ(c.description, inverse.description) << c.what;
        undo.calls.clear();
        ASSERT_EQ(S_OK, setters.Invoke(inverse)) << c.what;
        EXPECT_EQ(before, Records(model)) << c.what << ": undo did not restore the records";
        ASSERT_EQ(1u, undo.calls.size()) << c.what << ": undo records its redo";
        const TextUndoCall redo = undo.calls[0];
        undo.calls.clear();
        setters.Invoke(redo);
        EXPECT_EQ(after, Records(model)) << c.what << ": redo did not bring the edit back";
        ASSERT_EQ(1u, undo.calls.size()) << c.what;
        setters.Invoke(undo.calls[0]);  // back to the start for the next case
        EXPECT_EQ(before, Records(model)) << c.what;
    }
}

TEST_F(TextOwnerSettersTest, UnchangedValuesAnswerFalseAndEmptyRangesRecordNothing) {
    EXPECT_EQ(S_FALSE, setters.SetWrapText(model.WrapText()));
    EXPECT_EQ(S_FALSE, setters.SetMargin(kLeftMargin, 0));
    const int before = setters.before;
    setters.start = setters.end = 3;
    undo.calls.clear();
    EXPECT_EQ(S_OK, setters.SetBold());  // toggles the style of new text, no range to restore
    EXPECT_TRUE(undo.calls.empty());
    EXPECT_EQ(before + 1, setters.before);
    EXPECT_EQ(E_INVALIDARG, setters.SetFontSize(-3));
    TextUndoCall bogus{L"SetNothing", {TextUndoArgument::Integer(1)}, 0};
    EXPECT_EQ(DISP_E_UNKNOWNNAME, setters.Invoke(bogus));
    TextUndoCall wrongArguments{L"SetTextData_Disp", {TextUndoArgument::Integer(1)}, 0};
    EXPECT_EQ(E_INVALIDARG, setters.Invoke(wrongArguments));
}
