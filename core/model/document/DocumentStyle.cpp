// Document styles: a style of the style library decides how many sites a card has, which site
// style each takes, and the pages the sites are printed on.
#include "SiteRecords.h"
#include "StyleLibrary.h"
#include "TarnDoc.h"
#include "TarnPage.h"
#include "TarnSite.h"

CPageSetupData* CTarnDoc::CreatePageSetupData() { return new CPageSetupData; }

CTarnSite* CTarnDoc::GetSiteByStyleID(int styleId) const
{
    for (CTarnSite* site : m_sites) {
        if (site->GetProperties() && site->GetProperties()->m_styleId == styleId)
            return site;
    }
    return nullptr;
}

void CTarnDoc::ProcessPageSetupData(int page)
{
    CTarnPage* target = GetPage(page);
    if (!target)
        return;
    CPageSetupData* setup = CreatePageSetupData();
    target->GetPageSetupData(setup);
    for (int i = 0; i < target->GetSitesCount(); ++i) {
        if (CTarnSite* site = target->GetSitePosInfo(i)->GetSite())
            site->ProcessPageSetupData(*setup);
    }
    delete setup;
}

void CTarnDoc::SetStyleWOUndo(int styleId)
{
    CTarnStyleLib* library = CTarnStyleLib::Instance();
    SetStyleWOUndo(library ? library->GetDocStyleByID(styleId) : nullptr);
}

void CTarnDoc::SetStyleWOUndo(const CTarnDocStyle* style)
{
    if (!style)
        return;
    if (!m_properties) {
        m_properties = CreateTarnDocProperties();
        m_properties->InitNew();
    }
    m_properties->m_docStyleId = style->m_nID;
    const int siteStyles = static_cast<int>(style->m_SiteStyles.size());
    for (int i = GetSiteNumber(); i < siteStyles; ++i) {
        CTarnSite* site = CreateNewSite(i);
        site->InitNew();
        site->SetMaster(this, GetSite(i) ? m_nextSiteId : i);
        AddSite(site);
        RecomputeNextSiteId();
    }
    for (int i = 0; i < siteStyles; ++i) {
        if (style->m_SiteStyles[static_cast<size_t>(i)])
            m_sites[static_cast<size_t>(i)]->SetStyle(style->m_SiteStyles[static_cast<size_t>(i)]->m_nID);
    }
    // A card read from a file keeps every site it holds: only a document being laid out anew
    // gives up sites the style has no place for.
    if (!m_keepSurplusSites) {
        while (GetSiteNumber() > siteStyles && GetSiteNumber() > 0)
            RemoveSite(m_sites.back());
    }
    m_newSiteCount = GetSiteNumber();
    RecomputeNextSiteId();

    if (!m_pageList) {
        m_pageList = CreatePageList();
        m_pageList->SetMaster(this);
    }
    m_pageList->RemoveAll();
    for (size_t i = 0; i < style->m_PageStyles.size(); ++i) {
        const CTarnPageStyle* pageStyle = style->m_PageStyles[i];
        if (!pageStyle)
            continue;
        const int index = GetPageCount();
        CTarnPage* page = CreateNewPage(index);
        page->InitNew();
        AddPage(page);
        page->SetStyle(pageStyle->m_nID);
        ProcessPageSetupData(index);
    }
}
