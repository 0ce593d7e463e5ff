#include "CardComposer.h"
#include "ViewerDoc.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace cardcomposer;

namespace {

const double kTolerance = 1e-12;

CardLoadResult LoadCard(CViewerDoc& doc, const CardPlan& plan, bool compressed = false)
{
    const Bytes file = ComposeCardFile(plan, compressed);
    return doc.LoadCardFile(file.data(), file.size());
}

// Two sides of a quarter-fold card: four panels, two per side.
CardPlan QuarterFold()
{
    CardPlan plan;
    for (int id = 0; id < 4; ++id) {
        SitePlan site;
        site.id = id;
        site.name = "Panel " + std::to_string(id);
        site.relativeWidth = 1.0;
        site.relativeHeight = 0.5;
        plan.sites.push_back(site);
    }
    PagePlan front;
    front.placements = {{0, 0.0, 0.0}, {1, 0.0, 0.5, 0.0, 1, 1}};
    PagePlan back;
    back.frontSide = 0;
    back.spacing = 0.5;
    back.placements = {{2, 0.0, 0.0}, {3, 0.0, 0.5}};
    plan.pages = {front, back};
    return plan;
}

void ExpectRect(const CRectD& rect, double left, double top, double right, double bottom, const std::string& what)
{
    EXPECT_NEAR(rect.left, left, kTolerance) << what;
    EXPECT_NEAR(rect.top, top, kTolerance) << what;
    EXPECT_NEAR(rect.right, right, kTolerance) << what;
    EXPECT_NEAR(rect.bottom, bottom, kTolerance) << what;
}

TEST(CardDocument, LoadsPanelsAndSidesWithTheirGeometry)
{
    for (bool compressed : {false, true}) {
        SCOPED_TRACE(compressed ? "compressed" : "plain");
        CCardViewerDoc doc;
        ASSERT_EQ(LoadCard(doc, QuarterFold(), compressed), CardLoadResult::kCardLoaded);
        ASSERT_EQ(doc.GetSiteCount(), 4u);
        ASSERT_EQ(doc.GetPageCount(), 2u);
        EXPECT_EQ(doc.GetSite(2)->GetSiteProperties()->GetName(), "Panel 2");
        EXPECT_EQ(doc.GetSiteByIndex(3).GetClassName(), std::string("CKDXSite"));

        // Printable 8 x 10.5; front spacing 0.2, back spacing 0.5 between the halves.
        struct Expected
        {
            int site;
            double left, top, right, bottom;
        } expected[] = {
            {0, 0, 0, 8, 5.25 - 0.1}, {1, 0, 5.25 + 0.1, 8, 10.5},
            {2, 0, 0, 8, 5.25 - 0.25}, {3, 0, 5.25 + 0.25, 8, 10.5},
        };
        for (const Expected& e : expected) {
            const CViewerBackground& background = *doc.GetSite(e.site)->GetBackground();
            const std::string what = "site " + std::to_string(e.site);
            ExpectRect(background.rect, 0, 0, e.right - e.left, e.bottom - e.top, what);
            ExpectRect(background.margins, 0, 0, 0, 0, what);
            const int page = doc.PageOfSite(e.site);
            const CViewerPlacement* placement = doc.GetPage(page).FindPlacement(e.site);
            EXPECT_NEAR(placement->x, e.left, kTolerance) << what;
            EXPECT_NEAR(placement->y, e.top, kTolerance) << what;
        }
        const CCardViewerPage& back = static_cast<const CCardViewerPage&>(doc.GetPage(1));
        EXPECT_EQ(back.GetProperties()->frontSide, 0);
        EXPECT_EQ(static_cast<const CCardViewerPage&>(doc.GetPage(0)).GetProperties()->frontSide, 1)
            << "a flag stored in one byte";
        EXPECT_NEAR(back.GetProperties()->spacing, 0.5, kTolerance);
    }
}

struct SiteRectCase
{
    const char* name;
    double relX, relY, width, height, spacing;
    CRectD expected;   // printable rectangle 8 x 10.5
};

class CardSiteRect : public testing::TestWithParam<SiteRectCase> {};

TEST_P(CardSiteRect, InnerEdgesMoveApartBorderEdgesStay)
{
    const SiteRectCase& c = GetParam();
    CardPlan plan;
    SitePlan site;
    site.id = 5;
    site.relativeWidth = c.width;
    site.relativeHeight = c.height;
    plan.sites = {site};
    PagePlan page;
    page.spacing = c.spacing;
    page.placements = {{5, c.relX, c.relY}};
    plan.pages = {page};
    CCardViewerDoc doc;
    ASSERT_EQ(LoadCard(doc, plan), CardLoadResult::kCardLoaded);
    CRectD rect;
    ASSERT_TRUE(doc.GetSiteRect(5, rect));
    ExpectRect(rect, c.expected.left, c.expected.top, c.expected.right, c.expected.bottom, c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Panels, CardSiteRect,
    testing::Values(SiteRectCase{"WholeSide", 0, 0, 1, 1, 0.2, {0, 0, 8, 10.5}},
                    SiteRectCase{"RightHalf", 0.5, 0, 0.5, 1, 0.2, {4.1, 0, 8, 10.5}},
                    SiteRectCase{"LeftHalf", 0, 0, 0.5, 1, 0.2, {0, 0, 3.9, 10.5}},
                    SiteRectCase{"MiddleQuarter", 0.25, 0.25, 0.5, 0.5, 0.4, {2.2, 2.825, 5.8, 7.675}},
                    SiteRectCase{"NearlyOnBorder", 1e-11, 0, 1 - 1e-11, 1, 0.2, {8e-11, 0, 8, 10.5}},
                    SiteRectCase{"NoSpacing", 0.5, 0.5, 0.5, 0.5, 0.0, {4, 5.25, 8, 10.5}}),
    [](const testing::TestParamInfo<SiteRectCase>& info) { return std::string(info.param.name); });

TEST(CardDocument, SiteOnTwoPagesTakesItsFirstPage)
{
    CardPlan plan;
    SitePlan site;
    site.id = 1;
    site.relativeWidth = 0.5;
    plan.sites = {site};
    PagePlan first;
    first.placements = {{1, 0.5, 0.0}};
    PagePlan second;
    second.width = 20;
    second.placements = {{1, 0.0, 0.0}};
    plan.pages = {first, second};

    CCardViewerDoc card;
    ASSERT_EQ(LoadCard(card, plan), CardLoadResult::kCardLoaded);
    ExpectRect(card.GetSite(1)->GetBackground()->rect, 0, 0, 4 - 0.1, 10.5, "card site");

    plan.card = false;
    CViewerDoc base;
    ASSERT_EQ(LoadCard(base, plan), CardLoadResult::kCardLoaded);
    // A core site takes each page's printable rectangle in turn: the later page wins.
    ExpectRect(base.GetSite(1)->GetBackground()->rect, 0, 0, 19.5, 10.5, "core site");
    ExpectRect(base.GetSite(1)->GetBackground()->margins, 0.25, 0.25, 0.25, 0.25, "core site margins");
    EXPECT_EQ(base.GetSiteByIndex(0).GetClassName(), std::string("CTarnSite"));
}

TEST(CardDocument, UnplacedSiteKeepsItsStoredRectangle)
{
    CardPlan plan = QuarterFold();
    SitePlan loose;
    loose.id = 9;
    loose.rectRight = 3.5;
    loose.rectBottom = 2.5;
    plan.sites.push_back(loose);
    plan.pages[0].placements.push_back({42, 0.5, 0.5});   // names no site
    CCardViewerDoc doc;
    ASSERT_EQ(LoadCard(doc, plan), CardLoadResult::kCardLoaded);
    ExpectRect(doc.GetSite(9)->GetBackground()->rect, 0, 0, 3.5, 2.5, "unplaced");
    CRectD rect;
    EXPECT_FALSE(doc.GetSiteRect(9, rect));
    EXPECT_EQ(doc.PageOfSite(9), -1);

    std::unique_ptr<CPlacementList> list = doc.CreatePlacementList();
    doc.FillPlacementList(*list);
    ASSERT_EQ(list->size(), 2u);
    EXPECT_EQ((*list)[0].placements.size(), 2u) << "the placement of no site is left out";
}

TEST(CardDocument, PlacementListCarriesSizesAndTurns)
{
    CCardViewerDoc doc;
    ASSERT_EQ(LoadCard(doc, QuarterFold()), CardLoadResult::kCardLoaded);
    std::unique_ptr<CPlacementList> list = doc.CreatePlacementList();
    doc.FillPlacementList(*list);
    ASSERT_EQ(list->size(), 2u);
    const CPageLayout& front = (*list)[0];
    EXPECT_NEAR(front.geometry.width, 8.5, kTolerance);
    ASSERT_EQ(front.placements.size(), 2u);
    const CPlacementRecord& upper = front.placements[0];
    const CPlacementRecord& lower = front.placements[1];
    EXPECT_EQ(upper.siteId, 0);
    EXPECT_NEAR(upper.siteWidth, 8, kTolerance);
    EXPECT_NEAR(upper.siteHeight, 5.15, kTolerance);
    EXPECT_NEAR(upper.scale, 1.0, 0);
    EXPECT_NEAR(upper.angle, 0, kTolerance);
    EXPECT_NEAR(lower.angle, 3.14159265358979323846, kTolerance) << "flipped both ways";
    EXPECT_NEAR(lower.y, 5.35, kTolerance);
}

TEST(CardDocument, ReadsBackgroundsIconsHotSpotsAndControls)
{
    CardPlan plan = QuarterFold();
    plan.sites[0].icon = SmallBitmapFile();
    plan.sites[0].storeHotSpots = true;
    plan.sites[0].hotSpots = {{3, 1}, {4, 0}};
    plan.sites[0].controls = {kTextControl, kLineControl, kTextAlongCurveControl};
    plan.sites[0].color = 0x3366CC;
    plan.sites[1].storeImageType = false;
    CCardViewerDoc doc;
    ASSERT_EQ(LoadCard(doc, plan, true), CardLoadResult::kCardLoaded);

    const CViewerSite& site = *doc.GetSite(0);
    const auto& background = static_cast<const CCardViewerBackground&>(*site.GetBackground());
    EXPECT_EQ(background.color, 0x3366CCu);
    EXPECT_EQ(background.printBackground, 1);
    EXPECT_EQ(background.imageType, kImageCentred);
    EXPECT_EQ(background.drawOutline, 0);
    EXPECT_NEAR(background.imageWidth, 2.5, 0);
    ASSERT_EQ(background.GetHotSpots().size(), 2u);
    EXPECT_EQ(background.GetHotSpots()[0].shape, 3);
    EXPECT_EQ(background.GetHotSpots()[0].targetPage, 1);
    EXPECT_EQ(background.GetHotSpots()[1].shape, 4);
    EXPECT_EQ(doc.GetSite(1)->GetBackground()->imageType, kImageNone);

    const auto* fill = dynamic_cast<const CStoredControl*>(background.GetFillControl());
    ASSERT_NE(fill, nullptr);
    uint32_t colour = 0;
    EXPECT_TRUE(fill->GetRecords().GetValue(0x40050001u, colour));
    EXPECT_EQ(colour, 0x3366CCu) << "the fill control read the bytes after its class identifier";

    ASSERT_EQ(site.GetControls().size(), 3u);
    const GUID order[] = {kTextControl, kLineControl, kTextAlongCurveControl};
    for (size_t i = 0; i < 3; ++i) {
        const auto* control = dynamic_cast<const CStoredControl*>(site.GetControls()[i].get());
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(IsEqualGUID(control->GetClassId(), order[i])) << i;
        EXPECT_TRUE(control->GetRecords().GetValue(0x40050001u, colour));
        EXPECT_EQ(colour, 0x100u + i);
    }

    const CViewerSiteIcon* icon = site.GetSiteProperties()->GetIcon();
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->GetImage(), SmallBitmapFile());
    EXPECT_EQ(icon->GetExtraValue(), 0xFFFFFFu);
    EXPECT_EQ(doc.GetSite(1)->GetSiteProperties()->GetIcon(), nullptr);
}

TEST(CardDocument, PrintBackgroundDefaultsToTheCardsWhenNotStored)
{
    struct Case
    {
        bool stored;
        int value;
        int expected;
    } cases[] = {{false, 0, 1}, {true, 0, 0}, {true, 1, 1}};
    for (const Case& c : cases) {
        CardPlan plan = QuarterFold();
        plan.storePrintBackgnd = c.stored;
        plan.printBackgnd = c.value;
        CCardViewerDoc doc;
        ASSERT_EQ(LoadCard(doc, plan), CardLoadResult::kCardLoaded);
        EXPECT_EQ(doc.GetProperties()->GetPrintBackground(), c.expected);
        EXPECT_EQ(doc.GetProperties()->HasStoredPrintBackground(), c.stored);
    }
}

// Records what the sound list would be handed.
class CSoundProbeDoc : public CCardViewerDoc
{
public:
    void LoadSounds(IStorage* storage) override
    {
        ++calls;
        IStream* sounds = nullptr;
        if (storage && SUCCEEDED(storage->OpenStream(L"Sounds", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &sounds))) {
            STATSTG stat{};
            sounds->Stat(&stat, STATFLAG_NONAME);
            soundBytes = static_cast<size_t>(stat.cbSize.QuadPart);
            sounds->Release();
        }
    }
    int calls = 0;
    size_t soundBytes = 0;
};

TEST(CardDocument, SoundsAreReadWhileTheCardIsOpen)
{
    const Bytes contents = ComposeContents(QuarterFold());
    const Bytes sounds(300, 0x5A);
    struct Case
    {
        const char* name;
        Bytes contents;
        int calls;
        size_t soundBytes;
    } cases[] = {
        {"whole card", contents, 1, sounds.size()},
        {"damaged card", Bytes(contents.begin(), contents.end() - 2), 0, 0},
    };
    for (const Case& c : cases) {
        const Bytes file = cardbytes::CompoundFile({{"Contents", c.contents}, {"Sounds", sounds}});
        CSoundProbeDoc doc;
        doc.LoadCardFile(file.data(), file.size());
        EXPECT_EQ(doc.calls, c.calls) << c.name;
        EXPECT_EQ(doc.soundBytes, c.soundBytes) << c.name;
    }
}

TEST(CardDocument, EmptyCardLoadsEmpty)
{
    CCardViewerDoc doc;
    ASSERT_EQ(LoadCard(doc, CardPlan()), CardLoadResult::kCardLoaded);
    EXPECT_EQ(doc.GetSiteCount(), 0u);
    EXPECT_EQ(doc.GetPageCount(), 0u);
}

TEST(CardDocument, ManySitesAndPagesReadWhole)
{
    CardPlan plan;
    const int sites = 7000, pages = 3000;
    for (int id = 0; id < sites; ++id) {
        SitePlan site;
        site.id = id;
        site.relativeHeight = 0.5;
        plan.sites.push_back(site);
    }
    for (int p = 0; p < pages; ++p) {
        PagePlan page;
        page.placements = {{p * 2, 0, 0}, {p * 2 + 1, 0, 0.5}};
        plan.pages.push_back(page);
    }
    // With objects numbered too, the side's class is first seen beyond index 0x7FFF and needs the long tag.
    CCardViewerDoc doc;
    ASSERT_EQ(LoadCard(doc, plan, true), CardLoadResult::kCardLoaded);
    ASSERT_EQ(doc.GetSiteCount(), static_cast<size_t>(sites));
    ASSERT_EQ(doc.GetPageCount(), static_cast<size_t>(pages));
    EXPECT_EQ(doc.GetSiteByIndex(sites - 1).GetID(), sites - 1);
    EXPECT_EQ(doc.PageOfSite(2 * pages - 1), pages - 1);
    ExpectRect(doc.GetSite(2 * pages - 1)->GetBackground()->rect, 0, 0, 8, 5.15, "last placed site");
}

TEST(CardDocument, RefusedCardsLeaveTheDocumentEmpty)
{
    CardPlan oldVersion = QuarterFold();
    oldVersion.version = 1;
    CardPlan foreign = QuarterFold();
    foreign.signature = "TARX";
    CardPlan nullSite = QuarterFold();
    nullSite.nullSite = true;
    CardPlan nullPage = QuarterFold();
    nullPage.nullPage = true;
    const Bytes good = ComposeContents(QuarterFold());

    struct Case
    {
        const char* name;
        Bytes file;
        CardLoadResult expected;
    } cases[] = {
        {"version 1", ComposeCardFile(oldVersion, false), CardLoadResult::kBadSignature},
        {"foreign signature", ComposeCardFile(foreign, true), CardLoadResult::kBadSignature},
        {"cut inside the signature", CardFileWithContents(Bytes(good.begin(), good.begin() + 6), false),
         CardLoadResult::kDamaged},
        {"cut before the finish data", CardFileWithContents(Bytes(good.begin(), good.end() - 3), true),
         CardLoadResult::kDamaged},
        {"null site", ComposeCardFile(nullSite, false), CardLoadResult::kDamaged},
        {"null page", ComposeCardFile(nullPage, true), CardLoadResult::kDamaged},
        {"no Contents", cardbytes::CompoundFile({{"Thumbnails", good}}), CardLoadResult::kNoContents},
        {"not a compound file", good, CardLoadResult::kNoCard},
    };
    for (const Case& c : cases) {
        CCardViewerDoc doc;
        ASSERT_EQ(LoadCard(doc, QuarterFold()), CardLoadResult::kCardLoaded);
        EXPECT_EQ(doc.LoadCardFile(c.file.data(), c.file.size()), c.expected) << c.name;
        EXPECT_EQ(doc.GetSiteCount(), 0u) << c.name;
        EXPECT_EQ(doc.GetPageCount(), 0u) << c.name;
    }
}

}  // namespace
