// The text layer's COM face: the dispatch setters called by name record undo calls that the site
// replays by name to restore the text's records byte for byte, and the plain interface reads and
// writes the model.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "ControlFixtures.h"
#include "ModelRecords.h"
#include "TestFonts.h"
#include "TextComTestControl.h"
#include "atlbstr.h"
#include "com/TextServerObjects.h"
#include "model/PropertyBagRecords.h"

namespace {

std::vector<BYTE> Records(const CTextModel& model) { return ModelRecords(model); }

VARIANT I4(long v) {
    VARIANT r;
    V_VT(&r) = VT_I4;
    V_I4(&r) = v;
    return r;
}
VARIANT R8(double v) {
    VARIANT r;
    V_VT(&r) = VT_R8;
    V_R8(&r) = v;
    return r;
}
VARIANT Unknown(IUnknown* p) {
    VARIANT r;
    V_VT(&r) = VT_UNKNOWN;
    V_UNKNOWN(&r) = p;
    return r;
}

// Calls a method of the dispatch twin by name, as property pages and undo do; args in call order.
HRESULT CallByName(IDispatch* target, const wchar_t* method, std::vector<VARIANT> args) {
    LPOLESTR name = const_cast<LPOLESTR>(method);
    DISPID id = 0;
    HRESULT hr = target->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    VARIANT result;
    VariantInit(&result);
    hr = target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
    VariantClear(&result);
    return hr;
}

class TextOwnerComTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testfonts::Register());
        UseServerResources();
        control_ = NewTextComTestControl();
        ASSERT_NE(control_, nullptr);
        IConnectionPointContainer* container = nullptr;
        ASSERT_EQ(S_OK, AsBase(control_)->QueryInterface(IID_IConnectionPointContainer,
                                                          reinterpret_cast<void**>(&container)));
        ASSERT_EQ(S_OK, container->FindConnectionPoint(IID_ITarnSiteEvents, &point_));
        container->Release();
        ASSERT_EQ(S_OK, point_->Advise(static_cast<ITarnSiteEvents*>(&site_), &cookie_));
        ASSERT_EQ(S_OK, AsBase(control_)->QueryInterface(IID_ITextOwnerControl, reinterpret_cast<void**>(&text_)));
        ASSERT_EQ(S_OK, AsBase(control_)->QueryInterface(IID_ITextOwnerControlDispatch,
                                                          reinterpret_cast<void**>(&dispatch_)));
        CComBSTR text(L"Undo me\r\nplease, twice");
        ASSERT_EQ(S_OK, text_->put_Text(text));
        control_->model.SetRangeStyle(0, 4, kStyleItalic);
        control_->model.SetRangeFontSize(8, 14, 20);
        control_->layout.Layout(0, true);
        site_.Clear();
    }
    void TearDown() override {
        if (dispatch_) dispatch_->Release();
        if (text_) text_->Release();
        if (point_) {
            point_->Unadvise(cookie_);
            point_->Release();
        }
        site_.Clear();
        if (control_) control_->Release();
    }

    TextComTestControlObject* control_ = nullptr;
    ITextOwnerControl* text_ = nullptr;
    ITextOwnerControlDispatch* dispatch_ = nullptr;
    IConnectionPoint* point_ = nullptr;
    DWORD cookie_ = 0;
    CFakeSite site_;
};

}  // namespace

TEST_F(TextOwnerComTest, EveryDispatchSetterByNameIsUndoneAndRedoneByReplayingItsRecord) {
    // Objects for the setters that take one: another text's snapshot, a range's formats, a font.
    ITextData* otherData = nullptr;
    {
        TextComTestControlObject* other = NewTextComTestControl();
        CComBSTR otherText(L"Another\r\ntext");
        other->put_Text(otherText);
        other->put_LeftMargin(0.5);
        other->put_TextType(paragraphText);
        ASSERT_EQ(S_OK, other->GetTextData(&otherData));
        other->Release();
    }
    IRangeFormat* range = nullptr;
    ASSERT_EQ(S_OK, text_->get_RangeFormatData(9, 12, &range));
    IUnknown* font = nullptr;
    ASSERT_EQ(S_OK, NewFontHolder(testfonts::Logical("DejaVu Sans"), &font));

    struct Case {
        const wchar_t* method;
        std::vector<VARIANT> args;
        long start, end;  // the active range
        const wchar_t* undoMethod;
        int description;
        const char* caption;
    };
    const Case cases[] = {
        {L"SetTextData_Disp", {Unknown(otherData), I4(21244)}, 0, -1, L"SetTextData_Disp", 21244, "Edit Text"},
        {L"SetRangeFormat_Disp", {I4(2), I4(5), Unknown(range), I4(21247)}, 0, -1, L"SetRangeFormat_Disp", 21247, "Text Type"},
        {L"SetFontSize", {R8(30)}, 3, 11, L"SetRangeFormat_Disp", 21296, "Font Size"},
        {L"SetFont2", {Unknown(font)}, 0, -1, L"SetRangeFormat_Disp", 21313, "Font"},
        {L"SetBold", {}, 1, 6, L"SetRangeFormat_Disp", 21300, "Bold"},
        {L"SetItalic", {}, 0, 9, L"SetRangeFormat_Disp", 21294, "Italic"},
        {L"SetUnderscore", {}, 5, -1, L"SetRangeFormat_Disp", 21311, "Underline"},
        {L"SetStrikeout", {}, 0, 2, L"SetRangeFormat_Disp", 21318, "Strikeout"},
        {L"SetTextDir", {I4(backwardText)}, 0, -1, L"SetTextDir", 21328, "Text Direction"},
        {L"SetWrapText", {I4(0)}, 0, -1, L"SetWrapText", 21262, "Wrap Text"},
        {L"SetHorizontalAlignment", {I4(horzAlignRight)}, 0, -1, L"SetHorizontalAlignment", 21317, "Align Right"},
        {L"SetHorizontalAlignment", {I4(horzAlignCenter)}, 0, -1, L"SetHorizontalAlignment", 21305, "Align Center"},
        {L"SetVerticalAlignment", {I4(vertAlignBottom)}, 0, -1, L"SetVerticalAlignment", 21309, "Align Bottom"},
        {L"SetVerticalAlignment", {I4(vertAlignCenter)}, 0, -1, L"SetVerticalAlignment", 21310, "Align Middle"},
        {L"SetTextType", {I4(paragraphText)}, 0, -1, L"SetTextType", 21247, "Text Type"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.method, c.method + wcslen(c.method)));
        control_->start = c.start;
        control_->end = c.end;
        const std::vector<BYTE> before = Records(control_->model);
        site_.Clear();
        ASSERT_EQ(S_OK, CallByName(dispatch_, c.method, c.args));
        const std::vector<BYTE> after = Records(control_->model);
        EXPECT_NE(before, after) << "changed nothing";
        ASSERT_EQ(1u, site_.undo.size());
        const CapturedUndo inverse = site_.undo[0];
        EXPECT_EQ(c.undoMethod, inverse.method);
        EXPECT_EQ(c.caption, inverse.caption) << "the description's text from TarnObjRes";
        // The target is the dispatch twin: the site replays the record on it by name.
        IDispatch* target = nullptr;
        ASSERT_EQ(S_OK, dispatch_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&target)));
        EXPECT_TRUE(inverse.target != nullptr);
        target->Release();
        site_.undo.clear();
        ASSERT_EQ(S_OK, Replay(inverse));
        EXPECT_EQ(before, Records(control_->model)) << "undo did not restore the records";
        ASSERT_EQ(1u, site_.undo.size()) << "undo records its redo";
        const CapturedUndo redo = site_.undo[0];
        site_.undo.clear();
        ASSERT_EQ(S_OK, Replay(redo));
        EXPECT_EQ(after, Records(control_->model)) << "redo did not bring the edit back";
        ASSERT_EQ(1u, site_.undo.size());
        const CapturedUndo again = site_.undo[0];
        site_.undo.clear();
        ASSERT_EQ(S_OK, Replay(again));
        EXPECT_EQ(before, Records(control_->model));
        // Each replayed record's objects are released with the record.
        for (CapturedUndo* r : {const_cast<CapturedUndo*>(&inverse), const_cast<CapturedUndo*>(&redo),
                                const_cast<CapturedUndo*>(&again)}) {
            for (VARIANT& v : r->args) VariantClear(&v);
            if (r->target) r->target->Release();
        }
    }
    otherData->Release();
    range->Release();
    font->Release();
}

TEST_F(TextOwnerComTest, MarginSettersRecordNoUndoAndUnchangedValuesRecordTheirOldValue) {
    const std::vector<BYTE> before = Records(control_->model);
    for (const wchar_t* method : {L"SetLeftMargin", L"SetRightMargin", L"SetTopMargin", L"SetBottomMargin"}) {
        EXPECT_EQ(S_OK, CallByName(dispatch_, method, {R8(0.25)}));
    }
    EXPECT_TRUE(site_.undo.empty());
    EXPECT_NE(before, Records(control_->model));
    double left = 0;
    ASSERT_EQ(S_OK, text_->get_LeftMargin(&left));
    EXPECT_EQ(0.25, left);
    // A margin beyond the frame (4 wide) is capped at it and pushes the opposite one to 0.
    EXPECT_EQ(S_OK, CallByName(dispatch_, L"SetLeftMargin", {R8(10)}));
    double right = -1;
    text_->get_LeftMargin(&left);
    text_->get_RightMargin(&right);
    EXPECT_EQ(4, left);
    EXPECT_EQ(0, right);
    // Putting an unchanged setting changes nothing but still leaves its old value for undo.
    site_.undo.clear();
    const std::vector<BYTE> unchanged = Records(control_->model);
    EXPECT_EQ(S_FALSE, dispatch_->SetHorizontalAlignment(horzAlignLeft));
    ASSERT_EQ(1u, site_.undo.size());
    EXPECT_EQ("Align Left", site_.undo[0].caption);
    EXPECT_EQ(S_OK, CallByName(dispatch_, L"SetVerticalAlignment", {I4(vertAlignTop)}));
    EXPECT_EQ(unchanged, Records(control_->model));
    ASSERT_EQ(2u, site_.undo.size());
    EXPECT_EQ("Align Top", site_.undo[1].caption);
    site_.Clear();
}

TEST_F(TextOwnerComTest, SetFontServesCallersInThisProcessButNotInvoke) {
    LOGFONTA sans = testfonts::Logical("DejaVu Sans");
    const std::vector<BYTE> before = Records(control_->model);
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND,
              CallByName(dispatch_, L"SetFont", {I4(static_cast<long>(reinterpret_cast<LONG_PTR>(&sans)))}));
    EXPECT_EQ(before, Records(control_->model));
    EXPECT_TRUE(site_.undo.empty());
    EXPECT_EQ(E_INVALIDARG, dispatch_->SetFont(0));
    ASSERT_EQ(S_OK, dispatch_->SetFont(reinterpret_cast<LONG_PTR>(&sans)));
    ASSERT_EQ(1u, site_.undo.size());
    EXPECT_EQ(L"SetRangeFormat_Disp", site_.undo[0].method);
    EXPECT_EQ("Font", site_.undo[0].caption);
    LOGFONTA read{};
    ASSERT_EQ(S_OK, text_->get_Font(-1, -1, reinterpret_cast<LONG*>(&read)));
    EXPECT_STREQ("DejaVu Sans", read.lfFaceName);
    site_.Clear();
}

TEST_F(TextOwnerComTest, ObjectsNotMadeByThisServerAreRefused) {
    // A foreign object that claims the markers and even the private interface's id.
    struct Foreign : ITextData {
        STDMETHOD(QueryInterface)(REFIID, void** ppv) override {
            *ppv = this;  // answers every interface: a cast of it would read garbage
            return S_OK;
        }
        STDMETHOD_(ULONG, AddRef)() override { return 2; }
        STDMETHOD_(ULONG, Release)() override { return 1; }
        // What the private interface's tag slot would hold: the address of something else.
        virtual const void* STDMETHODCALLTYPE Tag() { return this; }
    } foreign;
    const std::vector<BYTE> before = Records(control_->model);
    EXPECT_EQ(E_INVALIDARG, text_->SetTextData(&foreign));
    EXPECT_EQ(E_INVALIDARG, dispatch_->SetTextData_Disp(&foreign, 21244));
    EXPECT_EQ(E_INVALIDARG, dispatch_->SetRangeFormat_Disp(0, 2, &foreign, 21244));
    EXPECT_EQ(E_INVALIDARG, dispatch_->SetFont2(&foreign));
    EXPECT_EQ(E_INVALIDARG, text_->put_RangeFormatData(0, 2, reinterpret_cast<IRangeFormat*>(&foreign)));
    // This server's objects of the wrong kind are refused too.
    ITextData* data = nullptr;
    ASSERT_EQ(S_OK, text_->GetTextData(&data));
    EXPECT_EQ(E_INVALIDARG, dispatch_->SetFont2(data));
    EXPECT_EQ(E_INVALIDARG, dispatch_->SetRangeFormat_Disp(0, 2, data, 21244));
    EXPECT_EQ(E_INVALIDARG, dispatch_->SetFont2(nullptr));
    // Null objects change nothing.
    EXPECT_EQ(S_FALSE, text_->SetTextData(nullptr));
    EXPECT_EQ(S_FALSE, dispatch_->SetTextData_Disp(nullptr, 21244));
    EXPECT_EQ(S_FALSE, text_->Clone_Text(nullptr));
    EXPECT_EQ(S_FALSE, text_->Compare_Text(nullptr));
    EXPECT_EQ(before, Records(control_->model));
    EXPECT_TRUE(site_.undo.empty());
    data->Release();
}

TEST_F(TextOwnerComTest, TextDataCarriesAWholeTextToAnotherControl) {
    TextComTestControlObject* copy = NewTextComTestControl();
    ASSERT_NE(copy, nullptr);
    control_->put_LeftMargin(0.5);
    control_->put_HorizontalAlignment(horzAlignCenter);
    EXPECT_EQ(S_FALSE, text_->Compare_Text(copy));
    ASSERT_EQ(S_OK, text_->Clone_Text(copy));
    EXPECT_EQ(Records(control_->model), Records(copy->model));
    EXPECT_EQ(S_OK, text_->Compare_Text(copy));
    // A copy that reports itself modified never compares equal.
    copy->put_Modified(1);
    EXPECT_EQ(S_FALSE, text_->Compare_Text(copy));
    copy->put_Modified(0);
    copy->put_VerticalAlignment(vertAlignBottom);
    EXPECT_EQ(S_FALSE, text_->Compare_Text(copy));
    copy->Release();
}

TEST_F(TextOwnerComTest, TextGetWritesLineEndsAsCrLfAndAnEqualPutChangesNothing) {
    BSTR text = nullptr;
    ASSERT_EQ(S_OK, text_->get_Text(&text));
    EXPECT_STREQ(L"Undo me\r\nplease, twice", text);
    const std::vector<BYTE> before = Records(control_->model);
    site_.Clear();
    EXPECT_EQ(S_OK, text_->put_Text(text));
    EXPECT_EQ(before, Records(control_->model)) << "the formats survive an equal text";
    EXPECT_EQ(0, site_.selectionChanges) << "an equal text is no change";
    SysFreeString(text);
    EXPECT_EQ(E_POINTER, text_->get_Text(nullptr));
    CComBSTR other(L"a\r\nb");
    ASSERT_EQ(S_OK, text_->put_Text(other));
    EXPECT_LT(0, site_.selectionChanges) << "a change is reported to the site";
    EXPECT_EQ(3u, control_->model.Chars().size()) << "CRs are dropped";
    ASSERT_EQ(S_OK, text_->put_Text(nullptr));
    EXPECT_TRUE(control_->model.Chars().empty());
}

TEST_F(TextOwnerComTest, FormatAndRangeDataCopyTheRecords) {
    EXPECT_EQ(E_INVALIDARG, text_->get_FormatData(nullptr));
    EXPECT_EQ(E_INVALIDARG, text_->put_FormatData(nullptr));
    std::vector<TextCharRecord> records;
    ASSERT_EQ(S_OK, text_->get_FormatData(reinterpret_cast<LONG**>(&records)));
    ASSERT_EQ(control_->model.Chars().size(), records.size());
    EXPECT_EQ(0, std::memcmp(records.data(), control_->model.Chars().data(), records.size() * sizeof records[0]));
    // The formats of one control onto another of the same text.
    TextComTestControlObject* other = NewTextComTestControl();
    CComBSTR text(L"Undo me\r\nplease, twice");
    other->put_Text(text);
    ASSERT_EQ(S_OK, other->put_FormatData(reinterpret_cast<LONG*>(&records)));
    ASSERT_EQ(records.size(), other->model.Chars().size());
    EXPECT_EQ(0, std::memcmp(records.data(), other->model.Chars().data(), records.size() * sizeof records[0]));
    EXPECT_EQ(records[0].font, other->model.DefaultFont()) << "the first character's font becomes the default";
    EXPECT_EQ(records[0].xScale, other->model.FontX());
    other->Release();

    // A range's formats, clamped to the text, put back elsewhere.
    IRangeFormat* range = nullptr;
    ASSERT_EQ(S_OK, text_->get_RangeFormatData(20, 400, &range));
    const TextRangeFormat* format = ServerRangeFormat(range);
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(control_->model.Chars().size() - 20, format->chars.size());
    ASSERT_EQ(S_OK, text_->put_RangeFormatData(0, 0, range));
    EXPECT_EQ(records.size() + format->chars.size(), control_->model.Chars().size());
    range->Release();
}

TEST_F(TextOwnerComTest, RangeAccessorsReadTheActiveRange) {
    // Characters 0-3 are italic at 12 points, 8-13 plain at 20 points; the italic became the
    // default format.
    control_->start = 0;
    control_->end = 4;
    int style = -1;
    ASSERT_EQ(S_OK, text_->get_TextStyle(-1, -1, &style));
    EXPECT_EQ(int(kStyleItalic), style);
    control_->end = -1;
    ASSERT_EQ(S_OK, text_->get_TextStyle(-1, -1, &style));
    EXPECT_EQ(0, style) << "nothing is common to the whole text";
    control_->end = 4;
    double size = 0;
    ASSERT_EQ(S_OK, text_->get_FontSize(-1, -1, &size));
    EXPECT_NEAR(12, size, 0.05);
    control_->start = 6;
    control_->end = 12;
    EXPECT_EQ(S_FALSE, text_->get_FontSize(-1, -1, &size)) << "mixed sizes";
    EXPECT_EQ(0, size);
    control_->start = 8;
    control_->end = 14;
    ASSERT_EQ(S_OK, text_->get_FontSize(-1, -1, &size));
    EXPECT_NEAR(20, size, 0.05);
    ASSERT_EQ(S_OK, text_->put_TextStyle(-1, -1, kStyleBold));
    ASSERT_EQ(S_OK, text_->get_TextStyle(-1, -1, &style));
    EXPECT_EQ(int(kStyleBold), style);
    // A face change inside the range leaves the caller's record alone.
    LOGFONTA sans = testfonts::Logical("DejaVu Sans");
    control_->end = 10;
    ASSERT_EQ(S_OK, text_->put_Font(-1, -1, reinterpret_cast<LONG_PTR>(&sans)));
    control_->start = 0;
    control_->end = -1;
    LOGFONTA read;
    std::memset(&read, 0x5A, sizeof read);
    const LOGFONTA untouched = read;
    EXPECT_EQ(S_FALSE, text_->get_Font(-1, -1, reinterpret_cast<LONG*>(&read)));
    EXPECT_EQ(0, std::memcmp(&read, &untouched, sizeof read));
    // The text layer alone has no active range or size put; the text control supplies them.
    LONG a, b;
    EXPECT_EQ(E_NOTIMPL, text_->get_ActiveRange(&a, &b));
    EXPECT_EQ(E_NOTIMPL, text_->put_FontSize(0, 0, 10));
}

TEST_F(TextOwnerComTest, PagesRegisterUndoBeforePlainPutsAndReplayingItRestoresTheText) {
    // A property page's road: record the text data's undo, then change through plain puts.
    const std::vector<BYTE> before = Records(control_->model);
    ASSERT_EQ(S_OK, text_->TextDataRegisterUndo(21244));
    CComBSTR text(L"Changed on a page");
    ASSERT_EQ(S_OK, text_->put_Text(text));
    ASSERT_EQ(S_OK, text_->put_WrapText(0));
    ASSERT_EQ(S_OK, text_->put_FontRatio(1.5));
    ASSERT_EQ(1u, site_.undo.size()) << "plain puts record nothing";
    const CapturedUndo& record = site_.undo[0];  // the site releases it
    EXPECT_EQ(L"SetTextData_Disp", record.method);
    ASSERT_EQ(2u, record.args.size());
    EXPECT_EQ(VT_UNKNOWN, V_VT(&record.args[1])) << "the TextData object travels as an unknown";
    ASSERT_EQ(S_OK, Replay(CapturedUndo(record)));
    EXPECT_EQ(before, Records(control_->model));
    // An empty range has nothing to record.
    site_.Clear();
    EXPECT_EQ(S_FALSE, text_->RangeFormatRegisterUndo(3, 3, 21296));
    EXPECT_TRUE(site_.undo.empty());
    EXPECT_EQ(S_OK, text_->RangeFormatRegisterUndo(3, 6, 21296));
    ASSERT_EQ(1u, site_.undo.size());
    EXPECT_EQ("Font Size", site_.undo[0].caption);
    site_.Clear();
}
