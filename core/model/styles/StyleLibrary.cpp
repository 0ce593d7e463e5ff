#include "StyleLibrary.h"

#include "OptionsManager.h"
#include "Registry.h"
#include "SiteIcon.h"

CTarnStyleLib::CTarnStyleLib(COptionsManager* owner) : m_pOwner(owner) {}

CTarnStyleLib::~CTarnStyleLib() = default;

CTarnStyleLib* CTarnStyleLib::Instance()
{
    COptionsManager* manager = GetOptionsManager();
    return manager ? manager->m_pStyleLib : nullptr;
}

CTarnSiteStyle* CTarnStyleLib::CreateSiteStyle()
{
    auto* style = new CTarnSiteStyle;
    style->SetStyleLib(this);
    return style;
}

CTarnPageStyle* CTarnStyleLib::CreatePageStyle()
{
    auto* style = new CTarnPageStyle;
    style->SetStyleLib(this);
    return style;
}

CTarnDocStyle* CTarnStyleLib::CreateDocStyle()
{
    auto* style = new CTarnDocStyle;
    style->SetStyleLib(this);
    return style;
}

CTarnDocType* CTarnStyleLib::CreateDocType()
{
    auto* type = new CTarnDocType;
    type->SetStyleLib(this);
    return type;
}

CSiteIcon* CTarnStyleLib::CreateSiteIcon()
{
    return new CSiteIcon;
}

CPersistent* CTarnStyleLib::NewSiteIcon()
{
    return CreateSiteIcon();
}

CRegistry* CTarnStyleLib::OwnerRegistry()
{
    return m_pOwner ? &m_pOwner->Registry() : nullptr;
}

BOOL CTarnStyleLib::Load()
{
    CRegistry* registry = OwnerRegistry();
    if (!registry || !registry->Open("Styles"))
        return FALSE;
    // Icons and site styles first: placements, document styles and types look up what the
    // lists before them hold.
    LoadSiteIcons(registry);
    LoadSiteStyles(registry);
    LoadPageStyles(registry);
    LoadDocStyles(registry);
    LoadDocTypes(registry);
    registry->Close();
    return TRUE;
}

BOOL CTarnStyleLib::Store()
{
    if (!m_bModified)
        return TRUE;
    CRegistry* registry = OwnerRegistry();
    if (!registry || !registry->CreateKey("Styles"))
        return FALSE;  // the library stays marked as modified
    StoreSubkeys(registry, m_SiteStyles, "SiteStyle", true);
    StoreSubkeys(registry, m_DocStyles, "DocStyle", true);
    StoreSubkeys(registry, m_PageStyles, "PageStyle", true);
    registry->Close();
    m_bModified = false;
    return TRUE;
}

BOOL CTarnStyleLib::LoadSiteStyles(CRegistry* registry)
{
    return LoadSubkeys(registry, m_SiteStyles, "SiteStyle", static_cast<PersistentCreator>(&CTarnStyleLib::NewSiteStyle),
                       true);
}

BOOL CTarnStyleLib::LoadPageStyles(CRegistry* registry)
{
    return LoadSubkeys(registry, m_PageStyles, "PageStyle", static_cast<PersistentCreator>(&CTarnStyleLib::NewPageStyle),
                       true);
}

BOOL CTarnStyleLib::LoadDocStyles(CRegistry* registry)
{
    return LoadSubkeys(registry, m_DocStyles, "DocStyle", static_cast<PersistentCreator>(&CTarnStyleLib::NewDocStyle),
                       true);
}

BOOL CTarnStyleLib::LoadDocTypes(CRegistry* registry)
{
    return LoadSubkeys(registry, m_DocTypes, "DocType", static_cast<PersistentCreator>(&CTarnStyleLib::NewDocType),
                       true);
}

BOOL CTarnStyleLib::LoadSiteIcons(CRegistry* registry)
{
    return LoadSubkeys(registry, m_SiteIcons, "SiteIcon", static_cast<PersistentCreator>(&CTarnStyleLib::NewSiteIcon),
                       true);
}

namespace {

int IndexOf(CPersistentArray& styles, int id)
{
    for (int i = 0; i < styles.GetSize(); ++i)
        if (static_cast<CTarnStyle*>(styles[i])->m_nID == id)
            return i;
    return -1;
}

}  // namespace

int CTarnStyleLib::SiteID2Index(int id)
{
    return IndexOf(m_SiteStyles, id);
}

int CTarnStyleLib::PageID2Index(int id)
{
    return IndexOf(m_PageStyles, id);
}

int CTarnStyleLib::DocID2Index(int id)
{
    return IndexOf(m_DocStyles, id);
}

CTarnSiteStyle* CTarnStyleLib::GetSiteStyleByID(int id)
{
    const int index = SiteID2Index(id);
    return index < 0 ? nullptr : static_cast<CTarnSiteStyle*>(m_SiteStyles[index]);
}

CTarnPageStyle* CTarnStyleLib::GetPageStyleByID(int id)
{
    const int index = PageID2Index(id);
    return index < 0 ? nullptr : static_cast<CTarnPageStyle*>(m_PageStyles[index]);
}

CTarnDocStyle* CTarnStyleLib::GetDocStyleByID(int id)
{
    const int index = DocID2Index(id);
    return index < 0 ? nullptr : static_cast<CTarnDocStyle*>(m_DocStyles[index]);
}

CSiteIcon* CTarnStyleLib::GetIconByID(int id)
{
    for (int i = 0; i < m_SiteIcons.GetSize(); ++i) {
        auto* icon = static_cast<CSiteIcon*>(m_SiteIcons[i]);
        if (icon->m_nID == id)
            return icon;
    }
    return nullptr;
}

void CTarnStyleLib::Duplicate(const CTarnStyleLib& source)
{
    if (&source == this)
        return;
    m_bModified = source.m_bModified;
    auto copyAll = [](CPersistentArray& target, const CPersistentArray& from, auto create) {
        target.RemoveAll();
        for (int i = 0; i < from.GetSize(); ++i) {
            CPersistent* copy = create();
            copy->Duplicate(from[i]);
            target.Add(copy);
        }
    };
    copyAll(m_SiteStyles, source.m_SiteStyles, [this] { return CreateSiteStyle(); });
    copyAll(m_PageStyles, source.m_PageStyles, [this] { return CreatePageStyle(); });
    copyAll(m_DocStyles, source.m_DocStyles, [this] { return CreateDocStyle(); });
    copyAll(m_DocTypes, source.m_DocTypes, [this] { return CreateDocType(); });
}

void CTarnStyleLib::EnsureDefaultStyles()
{
    if (m_SiteStyles.IsEmpty()) {
        CTarnSiteStyle* site = CreateSiteStyle();
        site->m_nID = 0;
        site->m_strName = "Default";
        m_SiteStyles.Add(site);
        m_bModified = true;
    }
    auto* site = static_cast<CTarnSiteStyle*>(m_SiteStyles[0]);
    if (m_PageStyles.IsEmpty()) {
        CTarnPageStyle* page = CreatePageStyle();
        page->m_nID = 0;
        page->m_strName = "Default";
        page->m_Size = site->m_Size;
        CSitePosStyle* placement = page->CreateSiteInfo();
        placement->m_pSiteStyle = site;
        page->m_SitePositions.Add(placement);
        m_PageStyles.Add(page);
        m_bModified = true;
    }
    auto* page = static_cast<CTarnPageStyle*>(m_PageStyles[0]);
    if (m_DocStyles.IsEmpty()) {
        CTarnDocStyle* doc = CreateDocStyle();
        doc->m_nID = 0;
        doc->m_strName = "Default";
        doc->m_SiteStyles.push_back(site);
        doc->m_PageStyles.push_back(page);
        m_DocStyles.Add(doc);
        m_bModified = true;
    }
}
