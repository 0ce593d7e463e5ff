#pragma once
// The by-name edits of a text object, used by property pages and by undo: each records its
// inverse call first, then changes the text through the model and lays it out again. Range edits
// work on the active range and record the range's old formats.
#include "TextUndoCall.h"
#include "layout/TextLayout.h"
#include "render/EngineState.h"

// Description string ids of the text edits.
enum TextUndoDescription : int {
    kUndoWrapText = 21262,
    kUndoItalic = 21294,
    kUndoFontSize = 21296,
    kUndoBold = 21300,
    kUndoAlignLeft = 21302,
    kUndoAlignCenter = 21305,
    kUndoAlignTop = 21307,
    kUndoAlignBottom = 21309,
    kUndoAlignMiddle = 21310,
    kUndoUnderline = 21311,
    kUndoFont = 21313,
    kUndoAlignRight = 21317,
    kUndoStrikeOut = 21318,
    kUndoTextDir = 21328,
    kUndoTextType = 21247,
};

class CTextOwnerSetters {
public:
    CTextOwnerSetters(CTextModel& model, CTextLayout& layout, TextUndoSink& undo)
        : model_(model), layout_(layout), undo_(undo) {}
    virtual ~CTextOwnerSetters() = default;

    // The range the range edits work on: the in-place editor's selection; the whole text here.
    virtual void ActiveRange(long& start, long& end) const {
        start = 0;
        end = -1;
    }
    // Invalidation and change notification around every change; the control supplies them.
    virtual void BeforeChange() {}
    virtual void AfterChange() {}

    HRESULT SetTextData_Disp(const TextSnapshot& data, int description);
    HRESULT SetRangeFormat_Disp(long start, long end, const TextRangeFormat& format, int description);
    HRESULT SetFontSize(double points);
    HRESULT SetTextDir(long value);
    HRESULT SetWrapText(long value);
    HRESULT SetMargin(TextMargin which, double value);
    HRESULT SetHorizontalAlignment(long value);
    HRESULT SetVerticalAlignment(long value);
    HRESULT SetFont2(const LOGFONTA& font);
    HRESULT SetBold() { return SetStyle(kStyleBold, kUndoBold); }
    HRESULT SetItalic() { return SetStyle(kStyleItalic, kUndoItalic); }
    HRESULT SetUnderscore() { return SetStyle(kStyleUnderline, kUndoUnderline); }
    HRESULT SetStrikeout() { return SetStyle(kStyleStrikeOut, kUndoStrikeOut); }
    HRESULT SetTextType(long value);

    // Records SetRangeFormat_Disp(start, end, <old formats>) unless the range is empty.
    HRESULT RangeFormatRegisterUndo(long start, long end, int description);
    // Records SetTextData_Disp(<snapshot>).
    HRESULT TextDataRegisterUndo(int description);

    // A change without undo (the plain puts of the text's interface): the notifications around it,
    // and layout when edit reports that something changed; S_FALSE when nothing did.
    template <class Edit>
    HRESULT Change(Edit edit) {
        CriticalSectionHolder hold(CacheLock());
        BeforeChange();
        const bool changed = edit();
        Changed(changed);
        return changed ? S_OK : S_FALSE;
    }

    // Replays a recorded call by its name, as undo does through the dispatch interface.
    HRESULT Invoke(const TextUndoCall& call);

private:
    HRESULT SetStyle(unsigned bits, int description);
    // Records the range's old formats, then edits the active range and lays the text out.
    template <class Edit>
    HRESULT EditActiveRange(int description, Edit edit);
    // Records method(old), then puts the value when it differs (S_FALSE when it does not).
    HRESULT SetSetting(const wchar_t* method, int32_t old, long value, int description,
                       bool (CTextModel::*put)(int32_t));
    // Records method(old value) with the description.
    void RecordOld(const wchar_t* method, long old, int description);
    // Lays the text out again after a change, with the notifications around it.
    void Changed(bool changed);

    CTextModel& model_;
    CTextLayout& layout_;
    TextUndoSink& undo_;
};
