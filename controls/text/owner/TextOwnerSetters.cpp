#include "TextOwnerSetters.h"

#include <cmath>

#include "render/EngineState.h"

void CTextOwnerSetters::Changed(bool changed) {
    if (!changed) return;
    layout_.Layout(0, true);
    AfterChange();
}

void CTextOwnerSetters::RecordOld(const wchar_t* method, long old, int description) {
    TextUndoCall call;
    call.method = method;
    call.arguments.push_back(TextUndoArgument::Integer(old));
    call.description = description;
    undo_.Record(call);
}

HRESULT CTextOwnerSetters::RangeFormatRegisterUndo(long start, long end, int description) {
    if (start == end) return S_FALSE;
    TextUndoCall call;
    call.method = L"SetRangeFormat_Disp";
    call.arguments.push_back(TextUndoArgument::Integer(start));
    call.arguments.push_back(TextUndoArgument::Integer(end));
    TextUndoArgument range;
    range.kind = TextUndoArgument::kRangeFormat;
    range.rangeFormat = std::make_shared<const TextRangeFormat>(
        TextRangeFormat{model_.RangeFormat(start, end), model_.DefaultFont(), model_.FontX(), model_.FontY()});
    call.arguments.push_back(range);
    call.arguments.push_back(TextUndoArgument::Integer(description));
    call.description = description;
    undo_.Record(call);
    return S_OK;
}

HRESULT CTextOwnerSetters::TextDataRegisterUndo(int description) {
    TextUndoCall call;
    call.method = L"SetTextData_Disp";
    TextUndoArgument data;
    data.kind = TextUndoArgument::kTextData;
    data.textData = std::make_shared<const TextSnapshot>(model_.Snapshot());
    call.arguments.push_back(data);
    call.arguments.push_back(TextUndoArgument::Integer(description));
    call.description = description;
    undo_.Record(call);
    return S_OK;
}

HRESULT CTextOwnerSetters::SetTextData_Disp(const TextSnapshot& data, int description) {
    CriticalSectionHolder hold(CacheLock());
    TextDataRegisterUndo(description);
    BeforeChange();
    model_.ApplySnapshot(data);
    Changed(true);
    return S_OK;
}

HRESULT CTextOwnerSetters::SetRangeFormat_Disp(long start, long end, const TextRangeFormat& format,
                                               int description) {
    CriticalSectionHolder hold(CacheLock());
    RangeFormatRegisterUndo(start, end, description);
    BeforeChange();
    model_.PutRangeFormat(start, end, format.chars);
    model_.SetDefaultFont(format.defaultFont, format.fontX, format.fontY);
    Changed(true);
    return S_OK;
}

template <class Edit>
HRESULT CTextOwnerSetters::EditActiveRange(int description, Edit edit) {
    CriticalSectionHolder hold(CacheLock());
    long start, end;
    ActiveRange(start, end);
    RangeFormatRegisterUndo(start, end, description);
    BeforeChange();
    edit(start, end);
    Changed(true);
    return S_OK;
}

HRESULT CTextOwnerSetters::SetFontSize(double points) {
    if (!std::isfinite(points) || points <= 0) return E_INVALIDARG;
    return EditActiveRange(kUndoFontSize, [&](long start, long end) { model_.SetRangeFontSize(start, end, points); });
}

HRESULT CTextOwnerSetters::SetFont2(const LOGFONTA& font) {
    return EditActiveRange(kUndoFont, [&](long start, long end) { model_.SetRangeFont(start, end, font); });
}

HRESULT CTextOwnerSetters::SetStyle(unsigned bits, int description) {
    return EditActiveRange(description, [&](long start, long end) { model_.SetRangeStyle(start, end, bits); });
}

HRESULT CTextOwnerSetters::SetSetting(const wchar_t* method, int32_t old, long value, int description,
                                      bool (CTextModel::*put)(int32_t)) {
    CriticalSectionHolder hold(CacheLock());
    RecordOld(method, old, description);
    if (old == value) return S_FALSE;
    BeforeChange();
    (model_.*put)(static_cast<int32_t>(value));
    Changed(true);
    return S_OK;
}

HRESULT CTextOwnerSetters::SetTextDir(long value) {
    return SetSetting(L"SetTextDir", model_.TextDir(), value, kUndoTextDir, &CTextModel::PutTextDir);
}

HRESULT CTextOwnerSetters::SetWrapText(long value) {
    return SetSetting(L"SetWrapText", model_.WrapText(), value, kUndoWrapText, &CTextModel::PutWrapText);
}

HRESULT CTextOwnerSetters::SetTextType(long value) {
    return SetSetting(L"SetTextType", model_.Type(), value, kUndoTextType, &CTextModel::PutTextType);
}

HRESULT CTextOwnerSetters::SetHorizontalAlignment(long value) {
    const int description = value == kAlignRight ? kUndoAlignRight : value == kAlignCenter ? kUndoAlignCenter : kUndoAlignLeft;
    return SetSetting(L"SetHorizontalAlignment", model_.HorizontalAlignment(), value, description,
                      &CTextModel::PutHorizontalAlignment);
}

HRESULT CTextOwnerSetters::SetVerticalAlignment(long value) {
    const int description = value == kAlignBottom ? kUndoAlignBottom : value == kAlignMiddle ? kUndoAlignMiddle : kUndoAlignTop;
    return SetSetting(L"SetVerticalAlignment", model_.VerticalAlignment(), value, description,
                      &CTextModel::PutVerticalAlignment);
}

HRESULT CTextOwnerSetters::SetMargin(TextMargin which, double value) {
    return Change([&] { return model_.PutMargin(which, value); });
}

HRESULT CTextOwnerSetters::Invoke(const TextUndoCall& call) {
    const auto& a = call.arguments;
    auto integer = [&a](size_t i) { return i < a.size() && a[i].kind == TextUndoArgument::kInteger ? a[i].integer : 0; };
    const std::wstring& m = call.method;
    if (m == L"SetTextData_Disp") {
        if (a.size() != 2 || a[0].kind != TextUndoArgument::kTextData || !a[0].textData) return E_INVALIDARG;
        return SetTextData_Disp(*a[0].textData, int(integer(1)));
    }
    if (m == L"SetRangeFormat_Disp") {
        if (a.size() != 4 || a[2].kind != TextUndoArgument::kRangeFormat || !a[2].rangeFormat) return E_INVALIDARG;
        return SetRangeFormat_Disp(integer(0), integer(1), *a[2].rangeFormat, int(integer(3)));
    }
    if (a.size() != 1) return E_INVALIDARG;
    if (m == L"SetTextDir") return SetTextDir(integer(0));
    if (m == L"SetWrapText") return SetWrapText(integer(0));
    if (m == L"SetTextType") return SetTextType(integer(0));
    if (m == L"SetHorizontalAlignment") return SetHorizontalAlignment(integer(0));
    if (m == L"SetVerticalAlignment") return SetVerticalAlignment(integer(0));
    return DISP_E_UNKNOWNNAME;
}
