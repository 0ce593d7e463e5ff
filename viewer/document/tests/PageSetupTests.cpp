#include "CardComposer.h"
#include "ViewerDoc.h"

#include <gtest/gtest.h>

using namespace cardcomposer;

namespace {

CardPlan TwoSides(double width, double height, uint8_t firstFront, uint8_t secondFront)
{
    CardPlan plan;
    for (int id = 0; id < 2; ++id) {
        SitePlan site;
        site.id = id;
        site.relativeWidth = 0.5;
        plan.sites.push_back(site);
    }
    PagePlan first;
    first.width = width;
    first.height = height;
    first.left = 0.1;
    first.top = 0.2;
    first.right = 0.3;
    first.bottom = 0.4;
    first.frontSide = firstFront;
    first.placements = {{0, 0.5, 0}};
    PagePlan second;
    second.frontSide = secondFront;
    second.placements = {{1, 0, 0}};
    plan.pages = {first, second};
    return plan;
}

CardLoadResult Load(CCardViewerDoc& doc, const CardPlan& plan)
{
    const Bytes file = ComposeCardFile(plan, false);
    return doc.LoadCardFile(file.data(), file.size());
}

struct PairCase
{
    const char* name;
    double width, height;
    uint8_t firstFront, secondFront;
    bool paired;
    double left, top, right, bottom;   // the second side's margins after the setup
};

class CardPageSetup : public testing::TestWithParam<PairCase> {};

TEST_P(CardPageSetup, TheOtherSideOfTheSheetFollows)
{
    const PairCase& c = GetParam();
    CCardViewerDoc doc;
    ASSERT_EQ(Load(doc, TwoSides(c.width, c.height, c.firstFront, c.secondFront)), CardLoadResult::kCardLoaded);
    const int answer = doc.PageSetup([](CViewerPageSetupData& data) {
        data.Apply();   // the dialog applies what it shows, then the user confirms
        return true;
    });
    EXPECT_EQ(answer, 1);
    const auto& second = static_cast<const CCardViewerPage&>(doc.GetPage(1));
    const CPageGeometry g = second.GetGeometry();
    if (c.paired) {
        EXPECT_DOUBLE_EQ(g.width, c.width);
        EXPECT_DOUBLE_EQ(g.height, c.height);
    } else {
        EXPECT_DOUBLE_EQ(g.width, 8.5);
    }
    EXPECT_DOUBLE_EQ(g.leftMargin, c.left);
    EXPECT_DOUBLE_EQ(g.topMargin, c.top);
    EXPECT_DOUBLE_EQ(g.rightMargin, c.right);
    EXPECT_DOUBLE_EQ(g.bottomMargin, c.bottom);
    EXPECT_EQ(second.GetProperties()->frontSide, c.secondFront) << "each side keeps its own flag";
}

INSTANTIATE_TEST_SUITE_P(
    Sides, CardPageSetup,
    testing::Values(PairCase{"PortraitFrontAndBack", 8.5, 11, 1, 0, true, 0.1, 0.4, 0.3, 0.2},
                    PairCase{"LandscapeFrontAndBack", 11, 8.5, 1, 0, true, 0.3, 0.2, 0.1, 0.4},
                    PairCase{"TwoFronts", 8.5, 11, 1, 1, false, 0.25, 0.25, 0.25, 0.25},
                    PairCase{"BackFirst", 8.5, 11, 0, 1, false, 0.25, 0.25, 0.25, 0.25}),
    [](const testing::TestParamInfo<PairCase>& info) { return std::string(info.param.name); });

TEST(PageSetup, ConfirmedSetupLaysThePanelsOutAgain)
{
    CCardViewerDoc doc;
    ASSERT_EQ(Load(doc, TwoSides(8.5, 11, 1, 0)), CardLoadResult::kCardLoaded);
    // Printable 8.1 x 10.4 on the first side: the right half panel, spacing 0.2.
    EXPECT_NEAR(doc.GetSite(0)->GetBackground()->rect.right, 4.05 - 0.1, 1e-12);

    const int answer = doc.PageSetup([](CViewerPageSetupData& data) {
        EXPECT_DOUBLE_EQ(data.maximumMargins.left, 8.5 / 2 - 0.1);
        EXPECT_DOUBLE_EQ(data.maximumMargins.top, 11.0 / 2 - 0.1);
        data.width = 10.0;
        data.margins = {0.5, 0.5, 0.5, 0.5};
        data.Apply();
        return true;
    });
    EXPECT_EQ(answer, 1);
    EXPECT_DOUBLE_EQ(doc.GetPage(0).GetGeometry().width, 10.0);
    EXPECT_NEAR(doc.GetSite(0)->GetBackground()->rect.right, 4.5 - 0.1, 1e-12);
    EXPECT_NEAR(doc.GetPage(0).FindPlacement(0)->x, 4.5 + 0.1, 1e-12);
}

TEST(PageSetup, CancelledSetupLeavesTheDocumentAlone)
{
    CCardViewerDoc doc;
    ASSERT_EQ(Load(doc, TwoSides(8.5, 11, 1, 0)), CardLoadResult::kCardLoaded);
    const int answer = doc.PageSetup([](CViewerPageSetupData& data) {
        data.width = 20;
        data.Apply();
        return false;
    });
    EXPECT_EQ(answer, 2);
    EXPECT_DOUBLE_EQ(doc.GetPage(0).GetGeometry().width, 8.5);
    EXPECT_DOUBLE_EQ(doc.GetPage(1).GetGeometry().leftMargin, 0.25);
}

TEST(PageSetup, EmptyDocumentHasNothingToSetUp)
{
    CCardViewerDoc doc;
    bool asked = false;
    EXPECT_EQ(doc.PageSetup([&](CViewerPageSetupData&) { return asked = true; }), 2);
    EXPECT_FALSE(asked);
}

}  // namespace
