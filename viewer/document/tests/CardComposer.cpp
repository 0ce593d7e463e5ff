#include "CardComposer.h"

namespace cardcomposer {

using namespace cardbytes;

const GUID kLineControl = {0xCBEFDE7E, 0x6FE2, 0x11D2, {0x8B, 0x83, 0x48, 0x54, 0xE8, 0x28, 0x35, 0x14}};
const GUID kFigureControl = {0xFCA18D84, 0xE068, 0x11D2, {0x8E, 0xB7, 0x48, 0x54, 0xE8, 0x27, 0xC1, 0x32}};
const GUID kTextControl = {0xC01F877F, 0xBF39, 0x11D2, {0xB7, 0x71, 0x48, 0x54, 0xE8, 0x27, 0xE1, 0xF5}};
const GUID kImageControl = {0xCBEFDE84, 0x6FE2, 0x11D2, {0x8B, 0x83, 0x48, 0x54, 0xE8, 0x28, 0x35, 0x14}};
// Not one the viewer draws.
const GUID kTextAlongCurveControl = {0x12345678, 0x1111, 0x2222, {0x33, 0x33, 0x44, 0x44, 0x55, 0x55, 0x66, 0x66}};

namespace {

Bytes Guid(const GUID& id)
{
    Bytes out;
    Append(out, &id, sizeof id);
    return out;
}

// A stored control: its class identifier, then its own record list.
Bytes StoredControl(const GUID& id, uint32_t colour)
{
    return Join({Guid(id), Records().Named("Visible", U32(1)).Id(0x40050001, U32(colour)).End()});
}

void PutObject(Bytes& out, Tags& tags, const std::string& className, const Bytes& payload)
{
    tags.Object(out, className);
    Append(out, payload.data(), payload.size());
}

Bytes SiteProperties(const CardPlan& card, const SitePlan& site)
{
    Records records;
    records.Id(0x40001001, Text(site.name)).Id(0x40001002, U32(7)).Id(0x40001003, U32(site.id));
    if (!site.icon.empty()) {
        Bytes icon = Records().Id(0x40010003, U32(1)).Id(0x40010002, U32(0xFFFFFF)).Id(0x40010001, site.icon).End();
        icon.resize(icon.size() + 6, 0xEE);   // old writers sized nested records by their memory block
        records.Id(0x40001004, icon);
    }
    Bytes list = records.End();
    if (!card.card)
        return list;
    // The card's own records come first.
    Bytes size = Records().Named("Size", Doubles(site.relativeWidth, site.relativeHeight)).End();
    size.resize(size.size() - 4);
    return Join({size, list});
}

Bytes Background(const CardPlan& card, const SitePlan& site)
{
    Records records;
    if (card.card && site.storeHotSpots) {
        Bytes spots = U32(static_cast<uint32_t>(site.hotSpots.size()));
        for (const auto& spot : site.hotSpots) {
            Bytes one = Records().Id(0x40001001, U32(spot.first)).Id(0x40001002, U32(spot.second)).End();
            Append(spots, one.data(), one.size());
        }
        records.Named("HotSpots", spots);
    }
    records.Named("RECT_LEFT", Double(0))
        .Named("RECT_TOP", Double(0))
        .Named("RECT_RIGHT", Double(site.rectRight))
        .Named("RECT_BOTTOM", Double(site.rectBottom))
        .Named("MARGIN_LEFT", Double(1))
        .Named("MARGIN_TOP", Double(1))
        .Named("MARGIN_RIGHT", Double(1))
        .Named("MARGIN_BOTTOM", Double(1))
        .Named("USEWINDOWCOLOR", U32(0))
        .Named("COLOR", U32(site.color))
        .Named("PRINTBACKGROUND", U32(site.printBackground))
        .Named("PRINTOUTLINE", U32(1))
        .Named("FILL_CONTROL", StoredControl(kFigureControl, site.color))
        .Named("IMAGE_CONTROL", StoredControl(kImageControl, 0x010203))
        .Named("IMAGESIZE_CX", Double(2.5))
        .Named("IMAGESIZE_CY", Double(1.5))
        .Named("KAR", U32(1));
    if (site.storeImageType)
        records.Named("IMAGETYPE", U32(site.imageType));
    return records.End();
}

Bytes Site(Tags& tags, const CardPlan& card, const SitePlan& site)
{
    Bytes out;
    PutObject(out, tags, card.card ? "CKDXSiteProperties" : "CTarnSiteProperties", SiteProperties(card, site));
    PutObject(out, tags, card.card ? "CKDXBackground" : "CTarnBackground", Background(card, site));
    PutObject(out, tags, "CSiteStartData", U32(0));
    PutU32(out, static_cast<uint32_t>(site.controls.size()));
    uint32_t colour = 0x100;
    for (const GUID& control : site.controls) {
        Bytes stored = StoredControl(control, colour++);
        Append(out, stored.data(), stored.size());
    }
    PutObject(out, tags, "CSiteFinishData", U32(0));
    return out;
}

Bytes Page(const CardPlan& card, const PagePlan& page)
{
    Records properties;
    properties.Id(0x40001001, Double(page.width))
        .Id(0x40001002, Double(page.height))
        .Id(0x40001003, Double(page.left))
        .Id(0x40001005, Double(page.top))
        .Id(0x40001004, Double(page.right))
        .Id(0x40001006, Double(page.bottom))
        .Id(0x40001007, U32(0))
        .Id(0x40001008, U32(1));
    if (card.card)
        properties.Id(0x40002001, Double(page.spacing)).Id(0x40002002, U8(page.frontSide)).Id(0x40002003, U32(page.foldLine));
    Bytes out = properties.End();
    PutU32(out, static_cast<uint32_t>(page.placements.size()));
    for (const PlacementPlan& placement : page.placements) {
        Records records;
        records.Id(0x40001001, Double(0.75))
            .Id(0x40001002, Double(0.5))
            .Id(0x40001003, U32(1))
            .Id(0x40001004, U32(placement.siteId))
            .Id(0x40001005, Double(placement.angle))
            .Id(0x40001006, U32(placement.horizontalFlip))
            .Id(0x40001007, U32(placement.verticalFlip));
        if (card.card)
            records.Named("RelativPos", Doubles(placement.relativeX, placement.relativeY));
        Bytes list = records.End();
        Append(out, list.data(), list.size());
    }
    return out;
}

}  // namespace

Bytes ComposeContents(const CardPlan& card)
{
    Tags tags;
    Bytes out = Text(card.signature);
    PutU32(out, card.version);

    Records documentProperties;
    if (card.card)
        documentProperties.Named("FoldType", Text("Quarter fold"));
    documentProperties.Named("CurrSiteID", U32(0)).Named("HtmlHeader", Bytes{}).Named("HtmlFooter", Bytes{});
    documentProperties.Named("DocStyleID", U32(3));
    if (card.storePrintBackgnd)
        documentProperties.Named("PrintBackgnd", U32(card.printBackgnd));
    PutObject(out, tags, card.card ? "CKDXDocProperties" : "CTarnDocProperties", documentProperties.End());
    PutObject(out, tags, "CDocStartData", U32(0));

    PutU32(out, static_cast<uint32_t>(card.sites.size()));
    for (const SitePlan& site : card.sites) {
        if (card.nullSite && &site == &card.sites.front()) {
            PutU16(out, 0);
            continue;
        }
        // The site's tag is numbered before the tags of its parts.
        tags.Object(out, card.card ? "CKDXSite" : "CTarnSite");
        const Bytes payload = Site(tags, card, site);
        Append(out, payload.data(), payload.size());
    }

    // The page list's payload holds tagged pages, so its tag comes first and the pages follow.
    tags.Object(out, "CTarnPageList");
    PutU32(out, static_cast<uint32_t>(card.pages.size()));
    for (const PagePlan& page : card.pages) {
        if (card.nullPage && &page == &card.pages.front())
            PutU16(out, 0);
        else
            PutObject(out, tags, card.card ? "CKDPage" : "CTarnPage", Page(card, page));
    }

    PutObject(out, tags, "CDocFinishData", U32(0));
    return out;
}

Bytes CardFileWithContents(const Bytes& contents, bool compressed)
{
    return CompoundFile({{"Contents", compressed ? Frame(contents) : contents}});
}

Bytes ComposeCardFile(const CardPlan& card, bool compressed)
{
    return CardFileWithContents(ComposeContents(card), compressed);
}

Bytes SmallBitmapFile()
{
    // 4 x 2 pixels, 4 bits, 16 colours.
    const uint32_t colours = 16, stride = 4, height = 2;
    const uint32_t bitsOffset = 14 + 40 + colours * 4;
    Bytes out = {'B', 'M'};
    PutU32(out, bitsOffset + stride * height);
    PutU32(out, 0);
    PutU32(out, bitsOffset);
    PutU32(out, 40);
    PutU32(out, 4);
    PutU32(out, height);
    PutU16(out, 1);
    PutU16(out, 4);
    PutU32(out, BI_RGB);
    PutU32(out, stride * height);
    PutU32(out, 2835);
    PutU32(out, 2835);
    PutU32(out, colours);
    PutU32(out, 0);
    for (uint32_t i = 0; i < colours; ++i)
        PutU32(out, i * 0x00101010);
    for (uint32_t i = 0; i < stride * height; ++i)
        out.push_back(static_cast<BYTE>(0x12 + i));
    return out;
}

}  // namespace cardcomposer
