#include "TextServerObjects.h"

#include <new>

#include "atlobject.h"

const IID IID_ITextServerObject = {0x5012043e, 0x36c8, 0x4fa3, {0x81, 0xa0, 0xc9, 0xa6, 0x4a, 0x20, 0x1a, 0x7b}};

namespace {
const char kServerTag = 0;

// The formats of a range (IRangeFormat).
class CRangeFormat : public CComObjectRoot, public IRangeFormat, public ITextServerObject {
public:
    BEGIN_COM_MAP(CRangeFormat)
    COM_INTERFACE_ENTRY_IID(IID_IRangeFormat, IRangeFormat)
    COM_INTERFACE_ENTRY_IID(IID_ITextServerObject, ITextServerObject)
    END_COM_MAP()

    const void* STDMETHODCALLTYPE ServerTag() override { return TextServerTag(); }
    const TextSnapshot* STDMETHODCALLTYPE Snapshot() override { return nullptr; }
    const TextRangeFormat* STDMETHODCALLTYPE RangeFormat() override { return &format; }
    const LOGFONTA* STDMETHODCALLTYPE LogFont() override { return nullptr; }

    TextRangeFormat format;
};

// The small reference-counted holder SetFont hands to SetFont2.
class CFontHolder : public CComObjectRoot, public ITextServerObject {
public:
    BEGIN_COM_MAP(CFontHolder)
    COM_INTERFACE_ENTRY_IID(IID_ITextServerObject, ITextServerObject)
    END_COM_MAP()

    const void* STDMETHODCALLTYPE ServerTag() override { return TextServerTag(); }
    const TextSnapshot* STDMETHODCALLTYPE Snapshot() override { return nullptr; }
    const TextRangeFormat* STDMETHODCALLTYPE RangeFormat() override { return nullptr; }
    const LOGFONTA* STDMETHODCALLTYPE LogFont() override { return &font; }

    LOGFONTA font{};
};

// The object's own view of itself, or null when it is not one of this server's.
ITextServerObject* AsServerObject(IUnknown* object) {
    if (!object) return nullptr;
    ITextServerObject* server = nullptr;
    if (FAILED(object->QueryInterface(IID_ITextServerObject, reinterpret_cast<void**>(&server))) || !server)
        return nullptr;
    // The caller holds the object; the answer lives as long as it does.
    server->Release();
    return server->ServerTag() == TextServerTag() ? server : nullptr;
}

// Creates the object, lets fill set it up and hands out one reference to the interface.
template <class Object, class Interface, class Fill>
HRESULT MakeObject(const IID& iid, Interface** out, Fill fill) {
    if (!out) return E_POINTER;
    *out = nullptr;
    CComObject<Object>* object = nullptr;
    HRESULT hr = CComObject<Object>::CreateInstance(&object);
    if (FAILED(hr)) return hr;
    try {
        fill(*object);
    } catch (const std::bad_alloc&) {
        delete object;
        return E_OUTOFMEMORY;
    }
    hr = object->QueryInterface(iid, reinterpret_cast<void**>(out));
    if (FAILED(hr)) delete object;
    return hr;
}
}  // namespace

const void* TextServerTag() { return &kServerTag; }

const TextSnapshot* ServerSnapshot(IUnknown* object) {
    ITextServerObject* server = AsServerObject(object);
    return server ? server->Snapshot() : nullptr;
}

const TextRangeFormat* ServerRangeFormat(IUnknown* object) {
    ITextServerObject* server = AsServerObject(object);
    return server ? server->RangeFormat() : nullptr;
}

const LOGFONTA* ServerLogFont(IUnknown* object) {
    ITextServerObject* server = AsServerObject(object);
    return server ? server->LogFont() : nullptr;
}

HRESULT NewTextData(const TextSnapshot& snapshot, ITextData** out) {
    return MakeObject<CTextData>(IID_ITextData, out, [&](CTextData& data) { data.snapshot = snapshot; });
}

HRESULT NewRangeFormat(const TextRangeFormat& format, IRangeFormat** out) {
    return MakeObject<CRangeFormat>(IID_IRangeFormat, out, [&](CRangeFormat& range) { range.format = format; });
}

HRESULT NewFontHolder(const LOGFONTA& font, IUnknown** out) {
    return MakeObject<CFontHolder>(IID_IUnknown, out, [&](CFontHolder& holder) { holder.font = font; });
}
