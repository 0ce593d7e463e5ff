#include "CardDump.h"

void PrintCard(std::FILE* out, const CCardViewerDoc& doc, CardLoadResult result)
{
    std::fprintf(out, "result %d\n", static_cast<int>(result));
    const CCardViewerDocProperties* properties = doc.GetProperties();
    std::fprintf(out, "document printbackground %d stored %d\n", properties ? properties->GetPrintBackground() : 1,
                 properties && properties->HasStoredPrintBackground() ? 1 : 0);
    for (size_t i = 0; i < doc.GetSiteCount(); ++i) {
        const CViewerSite& site = doc.GetSiteByIndex(i);
        const auto& background = static_cast<const CCardViewerBackground&>(*site.GetBackground());
        std::fprintf(out, "site %d name \"%s\" rect %.17g %.17g %.17g %.17g margins %.17g %.17g %.17g %.17g "
                    "color %lu printbackground %d imagetype %d hotspots %u controls %u icon %u\n",
                    site.GetID(), site.GetSiteProperties()->GetName().c_str(), background.rect.left,
                    background.rect.top, background.rect.right, background.rect.bottom, background.margins.left,
                    background.margins.top, background.margins.right, background.margins.bottom,
                    static_cast<unsigned long>(background.color), background.printBackground, background.imageType,
                    static_cast<unsigned>(background.GetHotSpots().size()),
                    static_cast<unsigned>(site.GetControls().size()),
                    site.GetSiteProperties()->GetIcon()
                        ? static_cast<unsigned>(site.GetSiteProperties()->GetIcon()->GetImage().size())
                        : 0u);
    }
    for (size_t p = 0; p < doc.GetPageCount(); ++p) {
        const auto& page = static_cast<const CCardViewerPage&>(doc.GetPage(p));
        const CPageGeometry g = page.GetGeometry();
        const CCardViewerPageProperties* card = page.GetProperties();
        std::fprintf(out, "page %u size %.17g %.17g margins %.17g %.17g %.17g %.17g spacing %.17g front %d fold %d\n",
                    static_cast<unsigned>(p), g.width, g.height, g.leftMargin, g.topMargin, g.rightMargin,
                    g.bottomMargin, card ? card->spacing : 0.0, card ? card->frontSide : 0, card ? card->foldLine : 0);
        for (size_t i = 0; i < page.GetPlacementCount(); ++i) {
            const CViewerPlacement& placement = page.GetPlacement(i);
            std::fprintf(out, "placement %u site %d at %.17g %.17g angle %.17g\n", static_cast<unsigned>(p), placement.siteId,
                        placement.x, placement.y, placement.angle);
        }
    }
}
