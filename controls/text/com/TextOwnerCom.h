#pragma once
// The text layer's COM face: ITextOwnerControl and its dispatch twin over the text model, its
// layout and the by-name setters. It only translates: COM arguments and objects in, the model's
// and the setters' answers out, and the setters' recorded inverses into undo call records fired
// through the control. A control that carries text derives from it beside its drawing base and
// answers its interfaces through QueryTextInterface.
#include <windows.h>

#include "TarnControls.h"
#include "owner/TextOwnerSetters.h"
#include "tarn/DrawControlBase.h"
#include "tarn/TypeLibDispatch.h"

class CTextOwnerCom : public IDispatchFromTypeLib<ITextOwnerControlDispatch, &IID_ITextOwnerControlDispatch>,
                      public ITextOwnerControl {
public:
    CTextOwnerCom(CDrawControlBase& control, CTextModel& model, CTextLayout& layout);
    virtual ~CTextOwnerCom() = default;
    CTextOwnerCom(const CTextOwnerCom&) = delete;
    CTextOwnerCom& operator=(const CTextOwnerCom&) = delete;

    // ITextOwnerControl and ITextOwnerControlDispatch with a reference, else E_NOINTERFACE.
    HRESULT QueryTextInterface(REFIID iid, void** ppv);
    ITextOwnerControlDispatch* TextDispatch() { return this; }

    // IDispatch: SetFont takes an address, which only a caller in this process can give; it is
    // refused through Invoke.
    STDMETHOD(Invoke)(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* excepInfo, UINT* argError) override;

    // ITextOwnerControl
    STDMETHOD(get_LeftMargin)(double* pVal) override { return GetMargin(kLeftMargin, pVal); }
    STDMETHOD(put_LeftMargin)(double newVal) override { return PutMargin(kLeftMargin, newVal); }
    STDMETHOD(get_RightMargin)(double* pVal) override { return GetMargin(kRightMargin, pVal); }
    STDMETHOD(put_RightMargin)(double newVal) override { return PutMargin(kRightMargin, newVal); }
    STDMETHOD(get_TopMargin)(double* pVal) override { return GetMargin(kTopMargin, pVal); }
    STDMETHOD(put_TopMargin)(double newVal) override { return PutMargin(kTopMargin, newVal); }
    STDMETHOD(get_BottomMargin)(double* pVal) override { return GetMargin(kBottomMargin, pVal); }
    STDMETHOD(put_BottomMargin)(double newVal) override { return PutMargin(kBottomMargin, newVal); }
    STDMETHOD(get_HorizontalAlignment)(TEXT_HORZ_ALIGNMENT* pVal) override;
    STDMETHOD(put_HorizontalAlignment)(TEXT_HORZ_ALIGNMENT newVal) override;
    STDMETHOD(get_VerticalAlignment)(TEXT_VERT_ALIGNMENT* pVal) override;
    STDMETHOD(put_VerticalAlignment)(TEXT_VERT_ALIGNMENT newVal) override;
    STDMETHOD(get_Text)(BSTR* pVal) override;
    STDMETHOD(put_Text)(BSTR newVal) override;
    STDMETHOD(get_Font)(LONG nStart, LONG nEnd, LONG* pVal) override;
    STDMETHOD(put_Font)(LONG nStart, LONG nEnd, LONG_PTR newVal) override;
    STDMETHOD(get_WrapText)(LONG* pVal) override;
    STDMETHOD(put_WrapText)(LONG newVal) override;
    STDMETHOD(get_FontRatio)(double* pVal) override;
    STDMETHOD(put_FontRatio)(double newVal) override;
    STDMETHOD(get_TextDir)(TEXT_DIRECTION* pVal) override;
    STDMETHOD(put_TextDir)(TEXT_DIRECTION newVal) override;
    STDMETHOD(get_TextType)(TEXT_TYPE* pVal) override;
    STDMETHOD(put_TextType)(TEXT_TYPE newVal) override;
    STDMETHOD(Clone_Text)(ITextOwnerControl* pDst) override;
    STDMETHOD(Compare_Text)(ITextOwnerControl* pDst) override;
    STDMETHOD(SetTextData)(ITextData* pData) override;
    STDMETHOD(GetTextData)(ITextData** ppData) override;
    STDMETHOD(RangeFormatRegisterUndo)(LONG nStart, LONG nSize, LONG nStrID) override;
    STDMETHOD(TextDataRegisterUndo)(LONG nStrID) override;
    STDMETHOD(ImportFromRichEdit)(LONG_PTR hWndEdit) override;
    STDMETHOD(get_FontSize)(LONG nStart, LONG nEnd, double* pVal) override;
    STDMETHOD(put_FontSize)(LONG nStart, LONG nEnd, double newVal) override;
    STDMETHOD(get_TextStyle)(LONG nStart, LONG nEnd, int* pVal) override;
    STDMETHOD(put_TextStyle)(LONG nStart, LONG nEnd, int newVal) override;
    STDMETHOD(get_FormatData)(LONG** pVal) override;
    STDMETHOD(put_FormatData)(LONG* newVal) override;
    STDMETHOD(get_RangeFormatData)(LONG nStart, LONG nEnd, IRangeFormat** pVal) override;
    STDMETHOD(put_RangeFormatData)(LONG nStart, LONG nEnd, IRangeFormat* newVal) override;
    STDMETHOD(get_ActiveRange)(LONG* nStart, LONG* nEnd) override;
    STDMETHOD(get_RichTextFormat)(BYTE** pVal) override;
    STDMETHOD(put_RichTextFormat)(BYTE* newVal) override;
    STDMETHOD(get_Modified)(LONG* pVal) override;
    STDMETHOD(put_Modified)(LONG newVal) override;

    // ITextOwnerControlDispatch
    STDMETHOD(SetTextData_Disp)(IUnknown* pData, LONG nStrID) override;
    STDMETHOD(SetRangeFormat_Disp)(LONG nStart, LONG nEnd, IUnknown* pRange, LONG nStrID) override;
    STDMETHOD(SetFontSize)(double newVal) override;
    STDMETHOD(SetFont)(LONG_PTR pLogFont) override;
    STDMETHOD(SetTextDir)(LONG newVal) override;
    STDMETHOD(SetWrapText)(LONG newVal) override;
    STDMETHOD(SetBottomMargin)(double newVal) override;
    STDMETHOD(SetRightMargin)(double newVal) override;
    STDMETHOD(SetTopMargin)(double newVal) override;
    STDMETHOD(SetLeftMargin)(double newVal) override;
    STDMETHOD(SetHorizontalAlignment)(LONG newVal) override;
    STDMETHOD(SetVerticalAlignment)(LONG newVal) override;
    STDMETHOD(SetFont2)(IUnknown* pFont) override;
    STDMETHOD(SetBold)() override;
    STDMETHOD(SetItalic)() override;
    STDMETHOD(SetUnderscore)() override;
    STDMETHOD(SetStrikeout)() override;
    STDMETHOD(SetTextType)(LONG newVal) override;

protected:
    // The range the range edits and range accessors work on: the whole text here; the in-place
    // editor gives its selection.
    virtual void ActiveTextRange(long& start, long& end) const;
    // Around every change: the control is invalidated before and after, and after it is marked
    // modified; the text control adds its own change hook.
    virtual void BeforeTextChange();
    virtual void AfterTextChange();

private:
    class Setters : public CTextOwnerSetters {
    public:
        Setters(CTextOwnerCom& owner, CTextModel& model, CTextLayout& layout)
            : CTextOwnerSetters(model, layout, owner.undo_), owner_(owner) {}
        void ActiveRange(long& start, long& end) const override { owner_.ActiveTextRange(start, end); }
        void BeforeChange() override { owner_.BeforeTextChange(); }
        void AfterChange() override { owner_.AfterTextChange(); }

    private:
        CTextOwnerCom& owner_;
    };
    // Turns each recorded inverse into an undo call record on this object's dispatch twin.
    class UndoFirer : public TextUndoSink {
    public:
        explicit UndoFirer(CTextOwnerCom& owner) : owner_(owner) {}
        void Record(const TextUndoCall& call) override;

    private:
        CTextOwnerCom& owner_;
    };

    HRESULT GetMargin(TextMargin which, double* value);
    HRESULT PutMargin(TextMargin which, double value);
    // A plain put: done through the setters' change wrapper; S_OK whether or not it changed.
    template <class Edit>
    HRESULT Put(Edit edit) {
        const HRESULT hr = setters_.Change(edit);
        return SUCCEEDED(hr) ? S_OK : hr;
    }
    // The active range clamped to the text: [first, last).
    void ClampedActiveRange(size_t& first, size_t& last) const;

    CDrawControlBase& control_;
    CTextModel& model_;
    CTextLayout& layout_;
    UndoFirer undo_{*this};
    Setters setters_;
};
