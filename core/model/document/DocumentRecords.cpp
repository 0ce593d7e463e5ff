#include "DocumentRecords.h"

#include <objbase.h>

#include "ControlInfo.h"
#include "OptionsManager.h"
#include "TarnControls.h"
#include "TarnPropertyBag.h"

IMPLEMENT_SERIAL(CDocStartData, CPersistent, VERSIONABLE_SCHEMA | 1)
IMPLEMENT_SERIAL(CDocFinishData, CPersistent, VERSIONABLE_SCHEMA | 1)
IMPLEMENT_SERIAL(CTarnDocProperties, CPersistent, VERSIONABLE_SCHEMA | 1)

int CTarnDocProperties::m_nInitialSiteID = 0;

namespace {
const char kCurrentSite[] = "CurrSiteID";
const char kHtmlHeader[] = "HtmlHeader";
const char kHtmlFooter[] = "HtmlFooter";
const char kDocStyle[] = "DocStyleID";

HRESULT SaveString(IStream* stream, const char* name, const CString& text)
{
    return __SaveProp(stream, name, static_cast<LPCSTR>(text), text.GetLength(), false);
}
}  // namespace

CTarnDocProperties::CTarnDocProperties()
{
    if (const COptionsManager* options = GetOptionsManager())
        m_docStyleId = options->m_nDefaultDocStyle;
}

CTarnDocProperties::~CTarnDocProperties() { ClearDefaultControls(); }

void CTarnDocProperties::InitNew()
{
    m_currentSiteId = m_nInitialSiteID;
    m_htmlHeader.Empty();
    m_htmlFooter.Empty();
}

HRESULT CTarnDocProperties::OnPropSave(IStream* stream)
{
    HRESULT hr = __SaveProp(stream, kCurrentSite, &m_currentSiteId, sizeof m_currentSiteId, false);
    if (SUCCEEDED(hr))
        hr = SaveString(stream, kHtmlHeader, m_htmlHeader);
    if (SUCCEEDED(hr))
        hr = SaveString(stream, kHtmlFooter, m_htmlFooter);
    if (SUCCEEDED(hr))
        hr = __SaveProp(stream, kDocStyle, &m_docStyleId, sizeof m_docStyleId, false);
    return hr;
}

HRESULT CTarnDocProperties::OnPropLoad(CTarnPropertyBag* bag)
{
    if (!bag)
        return E_POINTER;
    bag->LoadPropVar(kCurrentSite, m_currentSiteId);
    bag->LoadPropString(kHtmlHeader, m_htmlHeader);
    bag->LoadPropString(kHtmlFooter, m_htmlFooter);
    bag->LoadPropVar(kDocStyle, m_docStyleId);
    return S_OK;
}

void CTarnDocProperties::Duplicate(const CPersistent* source)
{
    const auto* other = dynamic_cast<const CTarnDocProperties*>(source);
    if (!other || other == this)
        return;
    m_currentSiteId = other->m_currentSiteId;
    m_htmlHeader = other->m_htmlHeader;
    m_htmlFooter = other->m_htmlFooter;
    m_docStyleId = other->m_docStyleId;
    CopyFrom(*other);
    // Each default control is made anew by its kind's class and takes the source's settings
    // through its property changer; kinds the application doesn't know are left out.
    ClearDefaultControls();
    for (const auto& entry : other->m_defaultControls) {
        const CLSID* clsid = FindControlCLSIDByTypeID(entry.first);
        IBaseControl* copy = nullptr;
        if (!entry.second || !clsid ||
            FAILED(CoCreateInstance(*clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseControl,
                                    reinterpret_cast<void**>(&copy))) ||
            !copy)
            continue;
        copy->IgnoreInvalidate(1);
        m_defaultControls[entry.first] = copy;
        IPropChanger* target = nullptr;
        IPropChanger* source = nullptr;
        if (SUCCEEDED(copy->QueryInterface(IID_IPropChanger, reinterpret_cast<void**>(&target))) && target &&
            SUCCEEDED(entry.second->QueryInterface(IID_IPropChanger, reinterpret_cast<void**>(&source))) && source)
            target->Copy(source);
        if (source)
            source->Release();
        if (target)
            target->Release();
    }
}

bool CTarnDocProperties::Equal(const CPersistent& source) const
{
    const auto* other = dynamic_cast<const CTarnDocProperties*>(&source);
    return other && m_currentSiteId == other->m_currentSiteId && m_htmlHeader == other->m_htmlHeader &&
           m_htmlFooter == other->m_htmlFooter && m_docStyleId == other->m_docStyleId;
}

IBaseControl* CTarnDocProperties::GetDefaultControl(int typeId) const
{
    const auto found = m_defaultControls.find(typeId);
    return found == m_defaultControls.end() ? nullptr : found->second;
}

void CTarnDocProperties::SetDefaultControl(int typeId, IBaseControl* control)
{
    if (control)
        control->AddRef();
    IBaseControl*& slot = m_defaultControls[typeId];
    if (slot)
        slot->Release();
    slot = control;
    if (!control)
        m_defaultControls.erase(typeId);
}

void CTarnDocProperties::ClearDefaultControls()
{
    for (auto& entry : m_defaultControls) {
        if (entry.second)
            entry.second->Release();
    }
    m_defaultControls.clear();
}
