// Pages and the page list: stored records, placements, centre-line marking, damaged counts.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ClException.h"
#include "StreamHelpers.h"
#include "SiteRecords.h"
#include "Styles.h"
#include "TarnPage.h"

namespace {

DWORD U32At(const std::vector<unsigned char>& bytes, size_t at)
{
    DWORD v = 0;
    (void)bytes.at(at + 3);
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

bool Refused(const std::vector<unsigned char>& bytes, CObject& target)
{
    try {
        ReadArchive(bytes, [&](CArchive& ar) { target.Serialize(ar); });
    } catch (CException* e) {
        e->Delete();
        return true;
    }
    return false;
}

TEST(Page, NewPageHasLetterSizeAndInchMargins)
{
    CTarnPage page;
    page.InitNew();
    const auto* p = page.GetProperties();
    EXPECT_EQ(8.5, p->m_width);
    EXPECT_EQ(11.0, p->m_height);
    EXPECT_EQ(CRectF(1, 1, 1, 1), p->m_margins);
    EXPECT_EQ(0, p->m_overridePageSetup);
    EXPECT_EQ(1, p->m_centerlinesForAlignment);
}

TEST(Page, MarginIdsAreCrossedAndKeepTheirPlaces)
{
    CTarnPage page;
    page.InitNew();
    page.GetProperties()->m_margins = CRectF(0.1, 0.2, 0.3, 0.4);
    const auto bytes = ArchiveBytes([&](CArchive& ar) { page.Serialize(ar); });
    // Records by id: width, height, left (3), top (5), right (4), bottom (6), two flags.
    const DWORD expectedIds[] = {0x40001001, 0x40001002, 0x40001003, 0x40001005,
                                 0x40001004, 0x40001006, 0x40001007, 0x40001008};
    size_t at = 0;
    for (DWORD id : expectedIds) {
        EXPECT_EQ(id, U32At(bytes, at));
        at += 8 + U32At(bytes, at + 4);
    }
    EXPECT_EQ(0u, U32At(bytes, at));      // end of the properties
    EXPECT_EQ(0u, U32At(bytes, at + 4));  // no placements
    EXPECT_EQ(at + 8, bytes.size());

    CTarnPage loaded;
    ReadArchive(bytes, [&](CArchive& ar) { loaded.Serialize(ar); });
    EXPECT_EQ(CRectF(0.1, 0.2, 0.3, 0.4), loaded.GetProperties()->m_margins);
}

TEST(Page, PlacementsSurviveSaveAndLoad)
{
    CTarnPage page;
    page.InitNew();
    page.AddSiteInfo(3, tagPointF{0.5, 1.5}, 0);
    page.AddSiteInfo(7, tagPointF{2.0, 3.0}, 0);
    page.GetSitePosInfo(1)->m_rotateAngle = 3.14159;
    page.GetSitePosInfo(1)->m_hFlip = 1;
    page.GetSitePosInfo(0)->m_print = 0;
    const auto bytes = ArchiveBytes([&](CArchive& ar) { page.Serialize(ar); });
    CTarnPage loaded;
    ReadArchive(bytes, [&](CArchive& ar) { loaded.Serialize(ar); });
    ASSERT_EQ(2, loaded.GetSitesCount());
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(loaded.GetSitePosInfo(i)->Equal(*page.GetSitePosInfo(i)));
        EXPECT_EQ(&loaded, loaded.GetSitePosInfo(i)->GetMaster());
    }
    EXPECT_EQ(bytes, ArchiveBytes([&](CArchive& ar) { loaded.Serialize(ar); }));
}

TEST(Page, AddAndRemoveWorkOnTheLastPlacementOfASite)
{
    CTarnPage page;
    page.InitNew();
    page.AddSiteInfo(1, tagPointF{0, 0}, 0);
    page.AddSiteInfo(2, tagPointF{0, 0}, 0);
    page.AddSiteInfo(1, tagPointF{5, 5}, 0);  // moves the existing placement
    EXPECT_EQ(2, page.GetSitesCount());
    EXPECT_EQ(5.0, page.GetSitePosInfo(0)->m_position.x);
    EXPECT_EQ(1, page.RemoveSiteInfo(1));
    EXPECT_EQ(0, page.RemoveSiteInfo(1));
    ASSERT_EQ(1, page.GetSitesCount());
    EXPECT_EQ(2, page.GetSitePosInfo(0)->m_siteId);
    // Without a document no placed site exists.
    EXPECT_FALSE(page.IsSiteOnPage(2));
    EXPECT_EQ(nullptr, page.GetSitePosInfo(0)->GetSite());
}

// The page setup record carries paper and margins both ways; the page's two flags stay.
TEST(Page, PageSetupDataCarriesPaperAndMarginsOnly)
{
    CTarnPage page;
    page.InitNew();
    page.GetProperties()->m_overridePageSetup = 1;
    page.GetProperties()->m_centerlinesForAlignment = 3;
    CPageSetupData setup;
    setup.m_width = 5.5;
    setup.m_height = 4.25;
    const double margins[4] = {0.5, 0.25, 0.75, 1.5};
    std::memcpy(setup.m_margins, margins, sizeof margins);
    page.SetPageSetupData(&setup);
    EXPECT_EQ(5.5, page.GetProperties()->m_width);
    EXPECT_EQ(4.25, page.GetProperties()->m_height);
    EXPECT_EQ(CRectF(0.5, 0.25, 0.75, 1.5), page.GetProperties()->m_margins);
    EXPECT_EQ(1, page.GetProperties()->m_overridePageSetup);
    EXPECT_EQ(3, page.GetProperties()->m_centerlinesForAlignment);
    CPageSetupData back;
    page.GetPageSetupData(&back);
    EXPECT_EQ(5.5, back.m_width);
    EXPECT_EQ(4.25, back.m_height);
    EXPECT_EQ(0, std::memcmp(margins, back.m_margins, sizeof margins));
}

TEST(Page, PlacementTakesPositionPrintingAndOrientationFromAStyle)
{
    CSitePosStyle style;
    style.m_Pos = tagPointF{1.25, 2.5};
    style.m_bPrint = 0;
    style.m_dRotateAngle = 1.5;
    style.m_bHFlip = 1;
    style.m_bVFlip = 1;
    CTarnPage::CSitePosInfo placement;
    placement.m_siteId = 9;
    placement.SetStyle(&style);
    EXPECT_EQ(9, placement.m_siteId) << "the caller sets the site";
    EXPECT_EQ(1.25, placement.m_position.x);
    EXPECT_EQ(2.5, placement.m_position.y);
    EXPECT_EQ(0, placement.m_print);
    EXPECT_EQ(1.5, placement.m_rotateAngle);
    EXPECT_EQ(1, placement.m_hFlip);
    EXPECT_EQ(1, placement.m_vFlip);
}

TEST(Page, CentreLineMarkingFollowsTheMode)
{
    struct Case {
        int mode, placements, mark;
        std::vector<int> marked;
    } cases[] = {
        {4, 1, 1, {1}},          {4, 3, 1, {1, 0, 1}},    {3, 4, 1, {0, 1, 0, 1}},
        {1, 2, 1, {1, 1}},       {0, 2, 1, {0, 0}},       {2, 2, 1, {0, 0}},
        {9, 2, 1, {1, 1}},       {1, 3, 0, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        CTarnPage page;
        page.InitNew();
        page.GetProperties()->m_centerlinesForAlignment = c.mode;
        for (int i = 0; i < c.placements; ++i)
            page.AddSiteInfo(i, tagPointF{0, 0}, 0);
        for (int i = 0; i < c.placements; ++i)
            EXPECT_EQ(c.marked[i], page.IsPlacementMarked(i, c.mark)) << "mode " << c.mode << " #" << i;
    }
}

// A page class of its own, as a derived application makes.
class CDerivedPage : public CTarnPage {
    DECLARE_SERIAL(CDerivedPage)
};
IMPLEMENT_SERIAL(CDerivedPage, CTarnPage, 0)

TEST(PageList, SavedListReadsBackWithPageClasses)
{
    CTarnPageList list;
    auto* first = new CTarnPage;
    first->InitNew();
    first->AddSiteInfo(0, tagPointF{1, 1}, 0);
    auto* second = new CDerivedPage;
    second->InitNew();
    second->GetProperties()->m_width = 5;
    list.Add(first);
    list.Add(second);
    const auto bytes = ArchiveBytes([&](CArchive& ar) { list.Serialize(ar); });
    EXPECT_EQ(2u, U32At(bytes, 0));

    CTarnPageList loaded;
    ReadArchive(bytes, [&](CArchive& ar) { loaded.Serialize(ar); });
    ASSERT_EQ(2, loaded.GetSize());
    EXPECT_EQ(1, loaded.GetAt(0)->GetSitesCount());
    EXPECT_NE(nullptr, dynamic_cast<CDerivedPage*>(loaded.GetAt(1)));
    EXPECT_EQ(5.0, loaded.GetAt(1)->GetProperties()->m_width);

    CTarnPageList copy;
    copy.CopyFrom(loaded);
    ASSERT_EQ(2, copy.GetSize());
    EXPECT_NE(nullptr, dynamic_cast<CDerivedPage*>(copy.GetAt(1)));
    EXPECT_EQ(bytes, ArchiveBytes([&](CArchive& ar) { copy.Serialize(ar); }));
}

TEST(PageList, CountsLargerThanTheFileAreRefused)
{
    // Page count far beyond the bytes that follow.
    std::vector<unsigned char> bytes = {0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0};
    CTarnPageList list;
    EXPECT_TRUE(Refused(bytes, list));
    EXPECT_EQ(0, list.GetSize());

    // A page whose placement count is huge.
    CTarnPage page;
    page.InitNew();
    auto pageBytes = ArchiveBytes([&](CArchive& ar) { page.Serialize(ar); });
    const size_t countAt = pageBytes.size() - 4;
    pageBytes[countAt] = 0xFF;
    pageBytes[countAt + 1] = 0xFF;
    pageBytes[countAt + 2] = 0xFF;
    CTarnPage damaged;
    EXPECT_TRUE(Refused(pageBytes, damaged));
}

TEST(PageList, EveryTruncationIsRefusedCleanly)
{
    CTarnPageList list;
    for (int i = 0; i < 3; ++i) {
        auto* page = new CTarnPage;
        page->InitNew();
        page->AddSiteInfo(i, tagPointF{double(i), 0}, 0);
        list.Add(page);
    }
    const auto bytes = ArchiveBytes([&](CArchive& ar) { list.Serialize(ar); });
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        CTarnPageList loaded;
        EXPECT_TRUE(Refused(std::vector<unsigned char>(bytes.begin(), bytes.begin() + cut), loaded)) << cut;
    }
}

}  // namespace
