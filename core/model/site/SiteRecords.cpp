#include "SiteRecords.h"

#include <cstring>

#include "OptionsManager.h"
#include "SiteIcon.h"
#include "StyleLibrary.h"
#include "TarnPropertyBag.h"
#include "TarnStrings.h"

IMPLEMENT_SERIAL(CSiteStartData, CPersistent, VERSIONABLE_SCHEMA | 1)
IMPLEMENT_SERIAL(CSiteFinishData, CPersistent, VERSIONABLE_SCHEMA | 1)
IMPLEMENT_SERIAL(CTarnSiteProperties, CPersistent, VERSIONABLE_SCHEMA | 1)
IMPLEMENT_SERIAL(CPageSetupData, CPersistent, VERSIONABLE_SCHEMA | 1)

namespace {
constexpr long kSiteNameId = 0x40001001;
constexpr long kStyleId = 0x40001002;
constexpr long kSiteId = 0x40001003;
constexpr long kIconId = 0x40001004;

constexpr long kPaperWidthId = 0x40001001;
constexpr long kPaperHeightId = 0x40001002;
constexpr long kFirstMarginId = 0x40001003;
bool SitesBarEnabled()
{
    const COptionsManager* options = GetOptionsManager();
    return options && options->m_bSitesBarEnabled;
}
}  // namespace

CTarnSiteProperties::~CTarnSiteProperties() { delete m_icon; }

void CTarnSiteProperties::SetIcon(CSiteIcon* icon)
{
    if (icon == m_icon)
        return;
    delete m_icon;
    m_icon = icon;
}

void CTarnSiteProperties::InitNew() { m_siteName = TarnString(kIdsDefaultSiteName); }

HRESULT CTarnSiteProperties::OnPropSave(IStream* stream)
{
    HRESULT hr = __SaveProp(stream, kSiteNameId, static_cast<LPCSTR>(m_siteName), m_siteName.GetLength());
    if (SUCCEEDED(hr))
        hr = __SaveProp(stream, kStyleId, &m_styleId, sizeof m_styleId);
    if (SUCCEEDED(hr))
        hr = __SaveProp(stream, kSiteId, &m_siteId, sizeof m_siteId);
    if (SUCCEEDED(hr) && m_icon && SitesBarEnabled())
        hr = SavePersist(stream, kIconId, m_icon);
    return hr;
}

HRESULT CTarnSiteProperties::OnPropLoad(CTarnPropertyBag* bag)
{
    if (!bag)
        return E_POINTER;
    bag->LoadPropString("SiteName", kSiteNameId, m_siteName);
    bag->LoadPropVar("StyleID", kStyleId, m_styleId);
    bag->LoadPropVar("SiteID", kSiteId, m_siteId);
    const void* iconRecord = nullptr;
    ULONG iconSize = 0;
    if (SitesBarEnabled() && bag->FindProperty("IconImage", kIconId, iconRecord, iconSize)) {
        // A damaged icon costs the site its icon, not the card.
        CSiteIcon* icon = new CSiteIcon;
        if (SUCCEEDED(LoadPersist(static_cast<BYTE*>(const_cast<void*>(iconRecord)), iconSize, icon))) {
            SetIcon(icon);
        } else {
            delete icon;
            SetIcon(nullptr);
        }
    }
    // The style's name wins over the stored one, so renaming a style renames its sites.
    if (CTarnStyleLib* styles = CTarnStyleLib::Instance()) {
        if (const CTarnSiteStyle* style = styles->GetSiteStyleByID(m_styleId))
            m_siteName = style->m_strName;
    }
    return S_OK;
}

void CTarnSiteProperties::Duplicate(const CPersistent* source)
{
    if (const auto* other = dynamic_cast<const CTarnSiteProperties*>(source)) {
        if (other == this)
            return;
        m_siteName = other->m_siteName;
        m_styleId = other->m_styleId;
        m_siteId = other->m_siteId;
        if (other->m_icon) {
            CSiteIcon* icon = new CSiteIcon;
            icon->Duplicate(other->m_icon);
            SetIcon(icon);
        }
    }
}

bool CTarnSiteProperties::Equal(const CPersistent& source) const
{
    const auto* other = dynamic_cast<const CTarnSiteProperties*>(&source);
    return other && m_siteName == other->m_siteName && m_styleId == other->m_styleId && m_siteId == other->m_siteId;
}

HRESULT CPageSetupData::OnPropSave(IStream* stream)
{
    HRESULT hr = __SaveProp(stream, kPaperWidthId, &m_width, sizeof m_width);
    if (SUCCEEDED(hr))
        hr = __SaveProp(stream, kPaperHeightId, &m_height, sizeof m_height);
    for (int i = 0; i < 4 && SUCCEEDED(hr); ++i)
        hr = __SaveProp(stream, kFirstMarginId + i, &m_margins[i], sizeof m_margins[i]);
    return hr;
}

HRESULT CPageSetupData::OnPropLoad(CTarnPropertyBag* bag)
{
    if (!bag)
        return E_POINTER;
    bag->LoadPropVar(nullptr, kPaperWidthId, m_width);
    bag->LoadPropVar(nullptr, kPaperHeightId, m_height);
    for (int i = 0; i < 4; ++i)
        bag->LoadPropVar(nullptr, kFirstMarginId + i, m_margins[i]);
    return S_OK;
}
