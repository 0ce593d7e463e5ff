#include "ViewerSiteProperties.h"

namespace {
const uint32_t kSiteName = 0x40001001;
const uint32_t kStyleId = 0x40001002;
const uint32_t kSiteId = 0x40001003;
const uint32_t kIconImage = 0x40001004;
}

int CViewerSiteProperties::OnLoadProperties(CViewerPropertyBag& bag)
{
    // Older cards stored these records under names; either form is found.
    bag.GetValue("SiteID", kSiteId, m_siteId);
    bag.GetValue("StyleID", kStyleId, m_styleId);
    bag.GetText("SiteName", kSiteName, m_name);
    if (const CViewerPropertyBag::Record* icon = bag.FindByNameOrId("IconImage", kIconImage)) {
        auto loaded = std::make_unique<CViewerSiteIcon>();
        if (!LoadFromBytes(icon->data.data(), icon->data.size(), *loaded))
            return 1;
        m_icon = std::move(loaded);
    }
    return 0;
}

int CCardViewerSiteProperties::OnLoadProperties(CViewerPropertyBag& bag)
{
    bag.GetValue("Size", m_size);
    return CViewerSiteProperties::OnLoadProperties(bag);
}
