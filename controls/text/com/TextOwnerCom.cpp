#include "TextOwnerCom.h"

#include <cmath>
#include <cstring>
#include <new>

#include "TextServerObjects.h"
#include "fonts/FontTable.h"
#include "tarn/UndoCallRecord.h"

namespace {
// The dispatch id of SetFont in the type library.
const DISPID kDispidSetFont = 4;

unsigned StyleBits(const FontEntry* entry) {
    if (!entry) return 0;
    const LOGFONTA& f = entry->logFont;
    return (f.lfWeight != FW_NORMAL ? kStyleBold : 0u) | (f.lfItalic ? kStyleItalic : 0u) |
           (f.lfUnderline ? kStyleUnderline : 0u) | (f.lfStrikeOut ? kStyleStrikeOut : 0u);
}
}  // namespace

CTextOwnerCom::CTextOwnerCom(CDrawControlBase& control, CTextModel& model, CTextLayout& layout)
    : control_(control), model_(model), layout_(layout), setters_(*this, model, layout) {}

HRESULT CTextOwnerCom::QueryTextInterface(REFIID iid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (IsEqualIID(iid, IID_ITextOwnerControl))
        *ppv = static_cast<ITextOwnerControl*>(this);
    else if (IsEqualIID(iid, IID_ITextOwnerControlDispatch))
        *ppv = static_cast<ITextOwnerControlDispatch*>(this);
    else
        return E_NOINTERFACE;
    static_cast<ITextOwnerControl*>(this)->AddRef();
    return S_OK;
}

STDMETHODIMP CTextOwnerCom::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* excepInfo, UINT* argError) {
    if (id == kDispidSetFont) return DISP_E_MEMBERNOTFOUND;
    return IDispatchFromTypeLib::Invoke(id, riid, lcid, flags, params, result, excepInfo, argError);
}

void CTextOwnerCom::ActiveTextRange(long& start, long& end) const {
    start = 0;
    end = -1;
}

void CTextOwnerCom::BeforeTextChange() { control_.Invalidate(); }

void CTextOwnerCom::AfterTextChange() {
    control_.Invalidate();
    control_.SetModified(true);
}

void CTextOwnerCom::ClampedActiveRange(size_t& first, size_t& last) const {
    long start, end;
    ActiveTextRange(start, end);
    model_.ClampRange(start, end, first, last);
}

void CTextOwnerCom::UndoFirer::Record(const TextUndoCall& call) {
    CUndoCallRecord record(&owner_.control_, static_cast<int>(call.arguments.size()));
    for (const TextUndoArgument& argument : call.arguments) {
        IUnknown* object = nullptr;
        switch (argument.kind) {
        case TextUndoArgument::kInteger:
            record.AddArg(argument.integer);
            continue;
        case TextUndoArgument::kReal:
            record.AddArg(argument.real);
            continue;
        case TextUndoArgument::kTextData:
            if (argument.textData) NewTextData(*argument.textData, reinterpret_cast<ITextData**>(&object));
            break;
        case TextUndoArgument::kRangeFormat:
            if (argument.rangeFormat) NewRangeFormat(*argument.rangeFormat, reinterpret_cast<IRangeFormat**>(&object));
            break;
        }
        VARIANT value;
        if (object) {
            V_VT(&value) = VT_UNKNOWN;
            V_UNKNOWN(&value) = object;
        } else {
            V_VT(&value) = VT_ERROR;
            V_ERROR(&value) = E_OUTOFMEMORY;
        }
        record.AddArg(value);  // the record keeps its own reference
        if (object) object->Release();
    }
    record.Fire(call.method.c_str(), owner_.TextDispatch(), static_cast<UINT>(call.description));
}

// ITextOwnerControl --------------------------------------------------------------------------------------

HRESULT CTextOwnerCom::GetMargin(TextMargin which, double* value) {
    if (!value) return E_POINTER;
    *value = model_.Margin(which);
    return S_OK;
}

HRESULT CTextOwnerCom::PutMargin(TextMargin which, double value) {
    const HRESULT hr = setters_.SetMargin(which, value);
    return SUCCEEDED(hr) ? S_OK : hr;
}

STDMETHODIMP CTextOwnerCom::get_HorizontalAlignment(TEXT_HORZ_ALIGNMENT* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = static_cast<TEXT_HORZ_ALIGNMENT>(model_.HorizontalAlignment());
    return S_OK;
}

STDMETHODIMP CTextOwnerCom::put_HorizontalAlignment(TEXT_HORZ_ALIGNMENT newVal) {
    return Put([&] { return model_.PutHorizontalAlignment(newVal); });
}

STDMETHODIMP CTextOwnerCom::get_VerticalAlignment(TEXT_VERT_ALIGNMENT* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = static_cast<TEXT_VERT_ALIGNMENT>(model_.VerticalAlignment());
    return S_OK;
}

STDMETHODIMP CTextOwnerCom::put_VerticalAlignment(TEXT_VERT_ALIGNMENT newVal) {
    return Put([&] { return model_.PutVerticalAlignment(newVal); });
}

STDMETHODIMP CTextOwnerCom::get_Text(BSTR* pVal) {
    if (!pVal) return E_POINTER;
    const std::wstring text = model_.Text();
    *pVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *pVal ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CTextOwnerCom::put_Text(BSTR newVal) {
    const std::wstring text(newVal ? newVal : L"", newVal ? SysStringLen(newVal) : 0);
    return Put([&] { return model_.PutText(text); });
}

STDMETHODIMP CTextOwnerCom::get_Font(LONG nStart, LONG nEnd, LONG* pVal) {
    if (!pVal) return E_POINTER;
    FontTable& table = FontTable::Shared();
    CriticalSectionHolder hold(CacheLock());
    int font = model_.DefaultFont();
    if (nStart || nEnd) {
        size_t first, last;
        ClampedActiveRange(first, last);
        const auto& chars = model_.Chars();
        if (first < last) {
            font = chars[first].font;
            const FontEntry* entry = table.Entry(font);
            for (size_t i = first + 1; i < last && entry; ++i) {
                const FontEntry* other = table.Entry(chars[i].font);
                if (!other || lstrcmpA(other->logFont.lfFaceName, entry->logFont.lfFaceName) != 0) return S_FALSE;
            }
        }
    }
    const FontEntry* entry = table.Entry(font);
    if (!entry) return E_FAIL;
    std::memcpy(pVal, &entry->logFont, sizeof(LOGFONTA));
    return S_OK;
}

STDMETHODIMP CTextOwnerCom::put_Font(LONG, LONG, LONG_PTR newVal) {
    if (!newVal) return S_FALSE;
    LOGFONTA font;
    std::memcpy(&font, reinterpret_cast<const void*>(newVal), sizeof font);
    long start, end;
    ActiveTextRange(start, end);
    return Put([&] {
        model_.SetRangeFont(start, end, font);
        return true;
    });
}

STDMETHODIMP CTextOwnerCom::get_WrapText(LONG* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = model_.WrapText();
    return S_OK;
}

STDMETHODIMP CTextOwnerCom::put_WrapText(LONG newVal) {
    return Put([&] { return model_.PutWrapText(newVal); });
}

STDMETHODIMP CTextOwnerCom::get_FontRatio(double* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = model_.FontRatio();
    return S_OK;
}

STDMETHODIMP CTextOwnerCom::put_FontRatio(double newVal) {
    if (!std::isfinite(newVal)) return E_INVALIDARG;
    return Put([&] { return model_.PutFontRatio(newVal); });
}

STDMETHODIMP CTextOwnerCom::get_TextDir(TEXT_DIRECTION* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = static_cast<TEXT_DIRECTION>(model_.TextDir());
    return S_OK;
}

STDMETHODIMP CTextOwnerCom::put_TextDir(TEXT_DIRECTION newVal) {
    return Put([&] { return model_.PutTextDir(newVal); });
}

STDMETHODIMP CTextOwnerCom::get_TextType(TEXT_TYPE* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = static_cast<TEXT_TYPE>(model_.Type());
    return S_OK;
}

STDMETHODIMP CTextOwnerCom::put_TextType(TEXT_TYPE newVal) {
    return Put([&] { return model_.PutTextType(newVal); });
}

STDMETHODIMP CTextOwnerCom::Clone_Text(ITextOwnerControl* pDst) {
    if (!pDst) return S_FALSE;
    ITextData* data = nullptr;
    HRESULT hr = GetTextData(&data);
    if (FAILED(hr)) return hr;
    hr = pDst->SetTextData(data);
    data->Release();
    return hr;
}

STDMETHODIMP CTextOwnerCom::Compare_Text(ITextOwnerControl* pDst) {
    if (!pDst) return S_FALSE;
    LONG modified = 0;
    if (FAILED(pDst->get_Modified(&modified)) || modified) return S_FALSE;
    double margins[4];
    if (FAILED(pDst->get_LeftMargin(&margins[kLeftMargin])) || FAILED(pDst->get_RightMargin(&margins[kRightMargin])) ||
        FAILED(pDst->get_TopMargin(&margins[kTopMargin])) || FAILED(pDst->get_BottomMargin(&margins[kBottomMargin])))
        return S_FALSE;
    for (TextMargin m : {kLeftMargin, kRightMargin, kTopMargin, kBottomMargin})
        if (margins[m] != model_.Margin(m)) return S_FALSE;
    BSTR text = nullptr;
    if (FAILED(pDst->get_Text(&text))) return S_FALSE;
    const bool sameText = model_.Text() == std::wstring(text ? text : L"", text ? SysStringLen(text) : 0);
    SysFreeString(text);
    TEXT_HORZ_ALIGNMENT horizontal;
    TEXT_VERT_ALIGNMENT vertical;
    LONG wrap;
    TEXT_DIRECTION direction;
    TEXT_TYPE type;
    if (!sameText || FAILED(pDst->get_HorizontalAlignment(&horizontal)) || FAILED(pDst->get_VerticalAlignment(&vertical)) ||
        FAILED(pDst->get_WrapText(&wrap)) || FAILED(pDst->get_TextDir(&direction)) || FAILED(pDst->get_TextType(&type)))
        return S_FALSE;
    const bool same = horizontal == model_.HorizontalAlignment() && vertical == model_.VerticalAlignment() &&
                      wrap == model_.WrapText() && direction == model_.TextDir() && type == model_.Type();
    return same ? S_OK : S_FALSE;
}

STDMETHODIMP CTextOwnerCom::SetTextData(ITextData* pData) {
    if (!pData) return S_FALSE;
    const TextSnapshot* snapshot = ServerSnapshot(pData);
    if (!snapshot) return E_INVALIDARG;
    return Put([&] {
        model_.ApplySnapshot(*snapshot);
        return true;
    });
}

STDMETHODIMP CTextOwnerCom::GetTextData(ITextData** ppData) {
    if (!ppData) return E_POINTER;
    *ppData = nullptr;
    TextSnapshot snapshot;
    try {
        CriticalSectionHolder hold(CacheLock());
        snapshot = model_.Snapshot();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return NewTextData(snapshot, ppData);
}

STDMETHODIMP CTextOwnerCom::RangeFormatRegisterUndo(LONG nStart, LONG nSize, LONG nStrID) {
    return setters_.RangeFormatRegisterUndo(nStart, nSize, nStrID);
}

STDMETHODIMP CTextOwnerCom::TextDataRegisterUndo(LONG nStrID) { return setters_.TextDataRegisterUndo(nStrID); }

STDMETHODIMP CTextOwnerCom::ImportFromRichEdit(LONG_PTR) { return E_NOTIMPL; }

STDMETHODIMP CTextOwnerCom::get_FontSize(LONG nStart, LONG nEnd, double* pVal) {
    if (!pVal) return E_POINTER;
    CriticalSectionHolder hold(CacheLock());
    double size = model_.PointSize(-1);
    if (nStart || nEnd) {
        size_t first, last;
        ClampedActiveRange(first, last);
        if (first < last) size = model_.PointSize(static_cast<int>(first));
        for (size_t i = first + 1; i < last && size != 0; ++i)
            if (std::fabs(model_.PointSize(static_cast<int>(i)) - size) >= 1e-10) size = 0;
    }
    *pVal = size;
    return size == 0 ? S_FALSE : S_OK;
}

STDMETHODIMP CTextOwnerCom::put_FontSize(LONG, LONG, double) { return E_NOTIMPL; }

STDMETHODIMP CTextOwnerCom::get_TextStyle(LONG nStart, LONG nEnd, int* pVal) {
    if (!pVal) return E_POINTER;
    FontTable& table = FontTable::Shared();
    CriticalSectionHolder hold(CacheLock());
    unsigned bits = StyleBits(table.Entry(model_.DefaultFont()));
    if (nStart || nEnd) {
        size_t first, last;
        ClampedActiveRange(first, last);
        for (size_t i = first; i < last; ++i) bits &= StyleBits(table.Entry(model_.Chars()[i].font));
    }
    *pVal = static_cast<int>(bits);
    return S_OK;
}

STDMETHODIMP CTextOwnerCom::put_TextStyle(LONG, LONG, int newVal) {
    long start, end;
    ActiveTextRange(start, end);
    return Put([&] {
        model_.SetRangeStyle(start, end, static_cast<unsigned>(newVal));
        return true;
    });
}

STDMETHODIMP CTextOwnerCom::get_FormatData(LONG** pVal) {
    if (!pVal) return E_INVALIDARG;
    auto* records = reinterpret_cast<std::vector<TextCharRecord>*>(pVal);
    try {
        CriticalSectionHolder hold(CacheLock());
        *records = model_.Chars();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

STDMETHODIMP CTextOwnerCom::put_FormatData(LONG* newVal) {
    if (!newVal) return E_INVALIDARG;
    const auto* records = reinterpret_cast<const std::vector<TextCharRecord>*>(newVal);
    return Put([&] {
        model_.PutFormatData(*records);
        return true;
    });
}

STDMETHODIMP CTextOwnerCom::get_RangeFormatData(LONG nStart, LONG nEnd, IRangeFormat** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    TextRangeFormat format;
    try {
        CriticalSectionHolder hold(CacheLock());
        format = TextRangeFormat{model_.RangeFormat(nStart, nEnd), model_.DefaultFont(), model_.FontX(), model_.FontY()};
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return NewRangeFormat(format, pVal);
}

STDMETHODIMP CTextOwnerCom::put_RangeFormatData(LONG nStart, LONG nEnd, IRangeFormat* newVal) {
    if (!newVal) return S_FALSE;
    const TextRangeFormat* format = ServerRangeFormat(newVal);
    if (!format) return E_INVALIDARG;
    return Put([&] {
        model_.PutRangeFormat(nStart, nEnd, format->chars);
        return true;
    });
}

STDMETHODIMP CTextOwnerCom::get_ActiveRange(LONG*, LONG*) { return E_NOTIMPL; }
STDMETHODIMP CTextOwnerCom::get_RichTextFormat(BYTE**) { return E_NOTIMPL; }
STDMETHODIMP CTextOwnerCom::put_RichTextFormat(BYTE*) { return E_NOTIMPL; }

STDMETHODIMP CTextOwnerCom::get_Modified(LONG* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = model_.Modified();
    return S_OK;
}

STDMETHODIMP CTextOwnerCom::put_Modified(LONG newVal) {
    model_.PutModified(newVal);
    return S_OK;
}

// ITextOwnerControlDispatch ------------------------------------------------------------------------------

STDMETHODIMP CTextOwnerCom::SetTextData_Disp(IUnknown* pData, LONG nStrID) {
    if (!pData) return S_FALSE;
    const TextSnapshot* snapshot = ServerSnapshot(pData);
    if (!snapshot) return E_INVALIDARG;
    return setters_.SetTextData_Disp(*snapshot, nStrID);
}

STDMETHODIMP CTextOwnerCom::SetRangeFormat_Disp(LONG nStart, LONG nEnd, IUnknown* pRange, LONG nStrID) {
    if (!pRange) return S_FALSE;
    const TextRangeFormat* format = ServerRangeFormat(pRange);
    if (!format) return E_INVALIDARG;
    return setters_.SetRangeFormat_Disp(nStart, nEnd, *format, nStrID);
}

STDMETHODIMP CTextOwnerCom::SetFontSize(double newVal) { return setters_.SetFontSize(newVal); }

STDMETHODIMP CTextOwnerCom::SetFont(LONG_PTR pLogFont) {
    if (!pLogFont) return E_INVALIDARG;
    IUnknown* holder = nullptr;
    HRESULT hr = NewFontHolder(*reinterpret_cast<const LOGFONTA*>(pLogFont), &holder);
    if (FAILED(hr)) return hr;
    hr = SetFont2(holder);
    holder->Release();
    return hr;
}

STDMETHODIMP CTextOwnerCom::SetTextDir(LONG newVal) { return setters_.SetTextDir(newVal); }
STDMETHODIMP CTextOwnerCom::SetWrapText(LONG newVal) { return setters_.SetWrapText(newVal); }
STDMETHODIMP CTextOwnerCom::SetBottomMargin(double newVal) { return setters_.SetMargin(kBottomMargin, newVal); }
STDMETHODIMP CTextOwnerCom::SetRightMargin(double newVal) { return setters_.SetMargin(kRightMargin, newVal); }
STDMETHODIMP CTextOwnerCom::SetTopMargin(double newVal) { return setters_.SetMargin(kTopMargin, newVal); }
STDMETHODIMP CTextOwnerCom::SetLeftMargin(double newVal) { return setters_.SetMargin(kLeftMargin, newVal); }
STDMETHODIMP CTextOwnerCom::SetHorizontalAlignment(LONG newVal) { return setters_.SetHorizontalAlignment(newVal); }
STDMETHODIMP CTextOwnerCom::SetVerticalAlignment(LONG newVal) { return setters_.SetVerticalAlignment(newVal); }

STDMETHODIMP CTextOwnerCom::SetFont2(IUnknown* pFont) {
    const LOGFONTA* font = ServerLogFont(pFont);
    if (!font) return E_INVALIDARG;
    return setters_.SetFont2(*font);
}

STDMETHODIMP CTextOwnerCom::SetBold() { return setters_.SetBold(); }
STDMETHODIMP CTextOwnerCom::SetItalic() { return setters_.SetItalic(); }
STDMETHODIMP CTextOwnerCom::SetUnderscore() { return setters_.SetUnderscore(); }
STDMETHODIMP CTextOwnerCom::SetStrikeout() { return setters_.SetStrikeout(); }
STDMETHODIMP CTextOwnerCom::SetTextType(LONG newVal) { return setters_.SetTextType(newVal); }
