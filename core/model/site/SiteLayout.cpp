// The site's place in the card's layout: the page setup it is printed with, the site style it
// was made from, and the short description of its size shown with previews.
#include "SiteIcon.h"
#include "SiteRecords.h"
#include "StyleLibrary.h"
#include "TarnBackground.h"
#include "TarnSite.h"
#include "UnitText.h"

void CTarnSite::ProcessPageSetupData(const CPageSetupData& setup)
{
    if (m_background)
        m_background->ProcessPageSetupData(setup.m_width, setup.m_height,
                                           CRectF(setup.m_margins[0], setup.m_margins[1], setup.m_margins[2],
                                                  setup.m_margins[3]));
}

void CTarnSite::SetStyle(int style)
{
    CTarnStyleLib* library = CTarnStyleLib::Instance();
    const CTarnSiteStyle* siteStyle = library ? library->GetSiteStyleByID(style) : nullptr;
    if (!siteStyle)
        return;
    if (!m_properties)
        m_properties = CreateSiteProperties();
    CSiteIcon* icon = library->CreateSiteIcon();
    if (icon) {
        if (const CSiteIcon* styleIcon = library->GetIconByID(siteStyle->m_nIconID))
            icon->Duplicate(styleIcon);
        m_properties->SetIcon(icon);
    }
    m_properties->m_siteName = siteStyle->m_strName;
    m_properties->m_styleId = style;
}

CString CTarnSite::GetBriefDescription()
{
    const CRectF area = GetTotalArea(0, 1, 0);
    return SizeInDefaultUnitText(area.Width(), area.Height());
}
