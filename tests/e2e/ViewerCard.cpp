#include "ViewerCard.h"

#include "ViewerDoc.h"

namespace viewercard {
namespace {

const char* Reason(CardLoadResult result)
{
    switch (result) {
    case CardLoadResult::kNoCard: return "no card";
    case CardLoadResult::kNoContents: return "no readable Contents stream";
    case CardLoadResult::kBadSignature: return "bad signature";
    case CardLoadResult::kDamaged: return "damaged contents";
    default: return "loaded";
    }
}

cardsummary::SiteSummary SummaryOf(const CViewerSite& site)
{
    cardsummary::SiteSummary out;
    out.id = site.GetID();
    if (const CViewerSiteProperties* properties = site.GetSiteProperties())
        out.name = properties->GetName();
    if (const CViewerBackground* background = site.GetBackground()) {
        out.background.color = background->color;
        out.background.useWindowColor = background->useWindowColor;
        out.background.printBackground = background->printBackground;
        out.background.imageType = background->imageType;
        out.background.imageWidth = background->imageWidth;
        out.background.imageHeight = background->imageHeight;
    }
    return out;
}

cardsummary::PageSummary SummaryOf(const CViewerPage& page)
{
    cardsummary::PageSummary out;
    if (const CViewerPageProperties* properties = page.GetPageProperties()) {
        const CPageGeometry& geometry = properties->geometry;
        out.width = geometry.width;
        out.height = geometry.height;
        out.left = geometry.leftMargin;
        out.top = geometry.topMargin;
        out.right = geometry.rightMargin;
        out.bottom = geometry.bottomMargin;
    }
    for (size_t i = 0; i < page.GetPlacementCount(); ++i) {
        const CViewerPlacement& stored = page.GetPlacement(i);
        cardsummary::PlacementSummary placement;
        placement.siteId = stored.siteId;
        placement.x = stored.x;
        placement.y = stored.y;
        placement.printed = stored.printed;
        placement.angle = stored.angle;
        placement.horizontalFlip = stored.horizontalFlip;
        placement.verticalFlip = stored.verticalFlip;
        out.placements.push_back(placement);
    }
    return out;
}

}  // namespace

Outcome ReadCard(const std::vector<unsigned char>& file, cardsummary::CardSummary& card, std::string& error)
{
    card = cardsummary::CardSummary();
    CViewerDoc doc;
    const CardLoadResult result = doc.LoadCardFile(file.data(), file.size());
    if (result != CardLoadResult::kCardLoaded) {
        error = Reason(result);
        if (doc.GetSiteCount() != 0 || doc.GetPageCount() != 0)
            error += ", and the refused card left sites or pages behind";
        return Outcome::kRefused;
    }
    for (size_t i = 0; i < doc.GetSiteCount(); ++i)
        card.sites.push_back(SummaryOf(doc.GetSiteByIndex(i)));
    for (size_t i = 0; i < doc.GetPageCount(); ++i)
        card.pages.push_back(SummaryOf(doc.GetPage(i)));
    return Outcome::kLoaded;
}

}  // namespace viewercard
