#include "BackgroundParams.h"

#include <cmath>
#include <cstring>

#include "TarnControls.h"
#include "TarnPropertyBag.h"

IMPLEMENT_DYNCREATE(CBackgroundParams, CPersistent)

namespace {

const char kRectLeft[] = "RECT_LEFT";
const char kRectTop[] = "RECT_TOP";
const char kRectRight[] = "RECT_RIGHT";
const char kRectBottom[] = "RECT_BOTTOM";
const char kMarginLeft[] = "MARGIN_LEFT";
const char kMarginTop[] = "MARGIN_TOP";
const char kMarginRight[] = "MARGIN_RIGHT";
const char kMarginBottom[] = "MARGIN_BOTTOM";
const char kUseWindowColor[] = "USEWINDOWCOLOR";
const char kColor[] = "COLOR";
const char kPrintBackground[] = "PRINTBACKGROUND";
const char kPrintOutline[] = "PRINTOUTLINE";
const char kFillControl[] = "FILL_CONTROL";
const char kImageControl[] = "IMAGE_CONTROL";
const char kImageWidth[] = "IMAGESIZE_CX";
const char kImageHeight[] = "IMAGESIZE_CY";
const char kKeepAspect[] = "KAR";
const char kImageType[] = "IMAGETYPE";

template <class T>
HRESULT SaveValue(IStream* stream, const char* name, const T& value)
{
    return __SaveProp(stream, name, &value, sizeof value, false);
}

void Replace(IBaseControl*& slot, IBaseControl* control)
{
    if (slot == control) {
        if (control)
            control->Release();  // the caller's reference is not needed twice
        return;
    }
    if (slot)
        slot->Release();
    slot = control;
}

IBaseControl* CopyControl(IBaseControl* source)
{
    if (!source)
        return nullptr;
    IBaseControl* copy = nullptr;
    if (FAILED(source->DuplicateTo(0, &copy)))
        return nullptr;
    return copy;
}

}  // namespace

HRESULT SaveControlRecord(IStream* stream, const char* name, IBaseControl* control)
{
    IStream* memory = nullptr;
    HRESULT hr = CreateStreamOnHGlobal(nullptr, TRUE, &memory);
    if (FAILED(hr))
        return hr;
    if (control) {
        IPersistStream* persist = nullptr;
        if (SUCCEEDED(control->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist)))) {
            OleSaveToStream(persist, memory);
            persist->Release();
        }
    }
    // The record holds the bytes written, not the (rounded-up) size of the memory block.
    STATSTG stat = {};
    HGLOBAL block = nullptr;
    hr = memory->Stat(&stat, STATFLAG_NONAME);
    if (SUCCEEDED(hr))
        hr = GetHGlobalFromStream(memory, &block);
    if (SUCCEEDED(hr)) {
        const ULONG size = static_cast<ULONG>(stat.cbSize.QuadPart);
        const void* data = size ? GlobalLock(block) : nullptr;
        if (size && !data)
            hr = E_OUTOFMEMORY;
        else
            hr = __SaveProp(stream, name, data, size, false);
        if (data)
            GlobalUnlock(block);
    }
    memory->Release();
    return hr;
}

IBaseControl* LoadControlRecord(const void* data, ULONG size)
{
    if (!data || size < sizeof(CLSID))
        return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
        return nullptr;
    void* target = GlobalLock(block);
    if (!target) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(target, data, size);
    GlobalUnlock(block);
    IStream* memory = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &memory))) {
        GlobalFree(block);
        return nullptr;
    }
    IBaseControl* control = nullptr;
    if (FAILED(OleLoadFromStream(memory, IID_IBaseControl, reinterpret_cast<void**>(&control))))
        control = nullptr;
    memory->Release();
    return control;
}

CBackgroundParams::CBackgroundParams()
    : m_margins(kDefaultMargin, kDefaultMargin, kDefaultMargin, kDefaultMargin),
      m_rect(0, 0, kDefaultPageWidth - 2 * kDefaultMargin, kDefaultPageHeight - 2 * kDefaultMargin)
{
}

CBackgroundParams::~CBackgroundParams()
{
    SetFillControl(nullptr);
    SetImageControl(nullptr);
}

void CBackgroundParams::SetFillControl(IBaseControl* control)
{
    Replace(m_fillControl, control);
    m_keptFillRecord.clear();
}

void CBackgroundParams::SetImageControl(IBaseControl* control)
{
    Replace(m_imageControl, control);
    m_keptImageRecord.clear();
}

void CBackgroundParams::TuneFillControl()
{
    if (!m_fillControl)
        return;
    m_fillControl->IgnoreInvalidate(TRUE);
}

COLORREF CBackgroundParams::GetMarginsColor()
{
    // The fill colour lives in the figure control's colour part; without it the stored colour
    // is the margins' colour.
    return static_cast<COLORREF>(m_color);
}

BOOL CBackgroundParams::CanPrintOutline() { return FALSE; }

namespace {
// The control's record, or the kept bytes of one that could not be loaded.
HRESULT SaveControlOrKept(IStream* stream, const char* name, IBaseControl* control, const std::vector<BYTE>& kept)
{
    if (control || kept.empty())
        return SaveControlRecord(stream, name, control);
    return __SaveProp(stream, name, kept.data(), static_cast<ULONG>(kept.size()), false);
}

void KeepIfUnloaded(IBaseControl* control, const void* data, ULONG size, std::vector<BYTE>& kept)
{
    if (!control && data && size)
        kept.assign(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
}
}  // namespace

HRESULT CBackgroundParams::SaveControlProperties(IStream* stream)
{
    HRESULT hr = SaveControlOrKept(stream, kFillControl, m_fillControl, m_keptFillRecord);
    if (SUCCEEDED(hr))
        hr = SaveControlOrKept(stream, kImageControl, m_imageControl, m_keptImageRecord);
    return hr;
}

HRESULT CBackgroundParams::LoadControlProperties(CTarnPropertyBag* bag)
{
    const void* data = nullptr;
    ULONG size = 0;
    if (bag->FindProperty(kFillControl, data, size)) {
        IBaseControl* fill = LoadControlRecord(data, size);
        SetFillControl(fill);
        KeepIfUnloaded(fill, data, size, m_keptFillRecord);
        TuneFillControl();
    }
    if (bag->FindProperty(kImageControl, data, size)) {
        IBaseControl* image = LoadControlRecord(data, size);
        SetImageControl(image);
        KeepIfUnloaded(image, data, size, m_keptImageRecord);
    }
    return S_OK;
}

HRESULT CBackgroundParams::OnPropSave(IStream* stream)
{
    HRESULT hr = S_OK;
    auto step = [&](auto&& write) {
        if (SUCCEEDED(hr))
            hr = write();
    };
    step([&] { return SaveValue(stream, kRectLeft, m_rect.left); });
    step([&] { return SaveValue(stream, kRectTop, m_rect.top); });
    step([&] { return SaveValue(stream, kRectRight, m_rect.right); });
    step([&] { return SaveValue(stream, kRectBottom, m_rect.bottom); });
    step([&] { return SaveValue(stream, kMarginLeft, m_margins.left); });
    step([&] { return SaveValue(stream, kMarginTop, m_margins.top); });
    step([&] { return SaveValue(stream, kMarginRight, m_margins.right); });
    step([&] { return SaveValue(stream, kMarginBottom, m_margins.bottom); });
    step([&] { return SaveValue(stream, kUseWindowColor, m_useWindowColor); });
    step([&] { return SaveValue(stream, kColor, m_color); });
    step([&] { return SaveValue(stream, kPrintBackground, m_printBackground); });
    step([&] { return SaveValue(stream, kPrintOutline, m_printOutline); });
    step([&] { return SaveControlProperties(stream); });
    step([&] { return SaveValue(stream, kImageWidth, m_imageWidth); });
    step([&] { return SaveValue(stream, kImageHeight, m_imageHeight); });
    step([&] { return SaveValue(stream, kKeepAspect, m_keepAspectRatio); });
    step([&] { return SaveValue(stream, kImageType, m_imageType); });
    return hr;
}

HRESULT CBackgroundParams::OnPropLoad(CTarnPropertyBag* bag)
{
    if (!bag)
        return E_POINTER;
    bag->LoadPropVar(kRectLeft, m_rect.left);
    bag->LoadPropVar(kRectTop, m_rect.top);
    bag->LoadPropVar(kRectRight, m_rect.right);
    bag->LoadPropVar(kRectBottom, m_rect.bottom);
    bag->LoadPropVar(kMarginLeft, m_margins.left);
    bag->LoadPropVar(kMarginTop, m_margins.top);
    bag->LoadPropVar(kMarginRight, m_margins.right);
    bag->LoadPropVar(kMarginBottom, m_margins.bottom);
    bag->LoadPropVar(kUseWindowColor, m_useWindowColor);
    bag->LoadPropVar(kColor, m_color);
    bag->LoadPropVar(kPrintBackground, m_printBackground);
    bag->LoadPropVar(kPrintOutline, m_printOutline);
    bag->LoadPropVar(kImageWidth, m_imageWidth);
    bag->LoadPropVar(kImageHeight, m_imageHeight);
    bag->LoadPropVar(kKeepAspect, m_keepAspectRatio);
    int type = m_imageType;
    if (bag->LoadPropVar(kImageType, type))
        m_imageType = (type >= kImageNone && type <= kImageStretched) ? type : kImageNone;
    return LoadControlProperties(bag);
}

void CBackgroundParams::Duplicate(const CPersistent* source)
{
    const CBackgroundParams* other = dynamic_cast<const CBackgroundParams*>(source);
    if (!other || other == this)
        return;
    m_margins = other->m_margins;
    m_rect = other->m_rect;
    m_useWindowColor = other->m_useWindowColor;
    m_color = other->m_color;
    m_printBackground = other->m_printBackground;
    m_printOutline = other->m_printOutline;
    m_masterKind = other->m_masterKind;
    m_shadowSize = other->m_shadowSize;
    m_imageType = other->m_imageType;
    m_imageWidth = other->m_imageWidth;
    m_imageHeight = other->m_imageHeight;
    m_keepAspectRatio = other->m_keepAspectRatio;
    SetFillControl(CopyControl(other->m_fillControl));
    SetImageControl(CopyControl(other->m_imageControl));
    m_keptFillRecord = other->m_keptFillRecord;
    m_keptImageRecord = other->m_keptImageRecord;
    TuneFillControl();
}

bool CBackgroundParams::Equal(const CPersistent& source) const
{
    const CBackgroundParams* other = dynamic_cast<const CBackgroundParams*>(&source);
    if (!other)
        return false;
    return m_margins == other->m_margins && m_rect == other->m_rect && m_useWindowColor == other->m_useWindowColor &&
           m_color == other->m_color && m_printBackground == other->m_printBackground &&
           m_printOutline == other->m_printOutline && m_imageType == other->m_imageType &&
           m_imageWidth == other->m_imageWidth && m_imageHeight == other->m_imageHeight &&
           m_keepAspectRatio == other->m_keepAspectRatio &&
           (m_fillControl != nullptr) == (other->m_fillControl != nullptr) &&
           (m_imageControl != nullptr) == (other->m_imageControl != nullptr) &&
           m_keptFillRecord == other->m_keptFillRecord && m_keptImageRecord == other->m_keptImageRecord;
}
