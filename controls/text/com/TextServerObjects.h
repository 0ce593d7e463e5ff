#pragma once
// The objects the text layer hands across its COM face: the TextData snapshot, the formats of a
// range and the font holder of SetFont. Callers know them only as markers (ITextData,
// IRangeFormat, IUnknown); the text layer takes their contents back only from objects of this
// server, recognised by a private interface whose answer carries this server's own tag, never by
// casting whatever pointer arrives.
#include <windows.h>

#include <memory>

#include "TarnControls.h"
#include "atlbase.h"
#include "atlcom.h"
#include "owner/TextUndoCall.h"

// {5012043E-36C8-4FA3-81A0-C9A64A201A7B}: not in the type library, never marshalled.
extern const IID IID_ITextServerObject;

struct ITextServerObject : public IUnknown {
    // The address of this server's tag: equal to TextServerTag() only for objects made here.
    virtual const void* STDMETHODCALLTYPE ServerTag() = 0;
    // What the object carries; null for the kinds it is not.
    virtual const TextSnapshot* STDMETHODCALLTYPE Snapshot() = 0;
    virtual const TextRangeFormat* STDMETHODCALLTYPE RangeFormat() = 0;
    virtual const LOGFONTA* STDMETHODCALLTYPE LogFont() = 0;
};

const void* TextServerTag();

// The contents of one of this server's objects, or null for null, foreign or other kinds.
const TextSnapshot* ServerSnapshot(IUnknown* object);
const TextRangeFormat* ServerRangeFormat(IUnknown* object);
const LOGFONTA* ServerLogFont(IUnknown* object);

// The TextData coclass: a whole text's snapshot. Made by the class factory (empty) or by the text
// layer (filled); its count is 0 until the first QueryInterface.
class CTextData : public CComObjectRoot,
                  public CComCoClass<CTextData, &CLSID_TextData>,
                  public ITextData,
                  public ITextServerObject {
public:
    DECLARE_REGISTRY_RESOURCEID(21009)
    DECLARE_NOT_AGGREGATABLE(CTextData)

    BEGIN_COM_MAP(CTextData)
    COM_INTERFACE_ENTRY_IID(IID_ITextData, ITextData)
    COM_INTERFACE_ENTRY_IID(IID_ITextServerObject, ITextServerObject)
    END_COM_MAP()

    const void* STDMETHODCALLTYPE ServerTag() override { return TextServerTag(); }
    const TextSnapshot* STDMETHODCALLTYPE Snapshot() override { return &snapshot; }
    const TextRangeFormat* STDMETHODCALLTYPE RangeFormat() override { return nullptr; }
    const LOGFONTA* STDMETHODCALLTYPE LogFont() override { return nullptr; }

    TextSnapshot snapshot;
};

// Makes a TextData object holding the snapshot, returned with one reference as ITextData.
HRESULT NewTextData(const TextSnapshot& snapshot, ITextData** out);
// Makes a range object holding the formats, returned with one reference as IRangeFormat.
HRESULT NewRangeFormat(const TextRangeFormat& format, IRangeFormat** out);
// Makes the font holder of SetFont: a copy of the 60-byte font description, with one reference.
HRESULT NewFontHolder(const LOGFONTA& font, IUnknown** out);
