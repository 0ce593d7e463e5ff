#include "FrameLayout.h"
#include "ViewerMessages.h"
#include "ViewerResources.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct WalkCase
{
    int current, count, next, previous;
};

class PageWalking : public ::testing::TestWithParam<WalkCase> {};

TEST_P(PageWalking, NextAndPreviousWrapAround)
{
    EXPECT_EQ(NextPageIndex(GetParam().current, GetParam().count), GetParam().next);
    EXPECT_EQ(PreviousPageIndex(GetParam().current, GetParam().count), GetParam().previous);
}

INSTANTIATE_TEST_SUITE_P(Sites, PageWalking,
                         ::testing::Values(WalkCase{0, 3, 1, 2}, WalkCase{1, 3, 2, 0}, WalkCase{2, 3, 0, 1},
                                           WalkCase{0, 1, 0, 0}, WalkCase{-1, 3, 0, 2}, WalkCase{150, 200, 151, 149}));

struct SizingCase
{
    UINT edge;
    RECT before;
    double aspect;
    RECT after;
};

class SizingKeepsAspect : public ::testing::TestWithParam<SizingCase> {};

TEST_P(SizingKeepsAspect, AdjustsTheSideAwayFromTheDraggedEdge)
{
    RECT rect = GetParam().before;
    KeepAspectWhileSizing(GetParam().edge, rect, GetParam().aspect);
    EXPECT_EQ(rect.left, GetParam().after.left);
    EXPECT_EQ(rect.top, GetParam().after.top);
    EXPECT_EQ(rect.right, GetParam().after.right);
    EXPECT_EQ(rect.bottom, GetParam().after.bottom);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, SizingKeepsAspect,
    ::testing::Values(SizingCase{WMSZ_RIGHT, {10, 20, 310, 100}, 1.5, {10, 20, 310, 220}},
                      SizingCase{WMSZ_LEFT, {10, 20, 311, 100}, 2.0, {10, 20, 311, 170}},
                      SizingCase{WMSZ_BOTTOM, {10, 20, 50, 220}, 0.75, {10, 20, 160, 220}},
                      SizingCase{WMSZ_TOPRIGHT, {10, 20, 50, 221}, 0.5, {10, 20, 110, 221}},
                      SizingCase{WMSZ_BOTTOMLEFT, {10, 20, 400, 220}, 1.5, {100, 20, 400, 220}},
                      SizingCase{WMSZ_TOPLEFT, {0, 0, 400, 99}, 1.0 / 3.0, {367, 0, 400, 99}},
                      SizingCase{WMSZ_RIGHT, {10, 20, 310, 100}, 0.0, {10, 20, 310, 100}}));

TEST(StartupFrameSize, WidthFollowsTheToolbarAndHeightThePage)
{
    const SIZE portrait = StartupFrameSize(380, 6.0 / 9.0);
    EXPECT_EQ(portrait.cx, 400);
    EXPECT_EQ(portrait.cy, 600);
    const SIZE landscape = StartupFrameSize(280, 3.0);
    EXPECT_EQ(landscape.cx, 300);
    EXPECT_EQ(landscape.cy, 100);
    EXPECT_EQ(StartupFrameSize(280, 0).cy, 300) << "an empty page must not divide by zero";
}

TEST(LayOutFrame, SoundStripOnlyWithSoundLists)
{
    const RECT client = {0, 0, 401, 300};
    const FrameLayoutRects quiet = LayOutFrame(client, 28, false);
    EXPECT_EQ(quiet.view.top, 28);
    EXPECT_EQ(quiet.view.bottom, 300);
    EXPECT_FALSE(quiet.soundPanelsPlaced);

    const FrameLayoutRects sounding = LayOutFrame(client, 28, true);
    EXPECT_EQ(sounding.view.bottom, 275);
    EXPECT_TRUE(sounding.soundPanelsPlaced);
    EXPECT_EQ(sounding.soundPanelOne.right, 200);
    EXPECT_EQ(sounding.soundPanelTwo.left, 200);
    EXPECT_EQ(sounding.soundPanelTwo.right, 401);
    EXPECT_EQ(sounding.soundPanelTwo.top, 275);

    const FrameLayoutRects tiny = LayOutFrame(RECT{0, 0, 300, 20}, 28, true);
    EXPECT_GE(tiny.view.bottom, tiny.view.top) << "a view of negative height";
}

TEST(AccessKeyOf, FirstSingleAmpersandGivesTheKey)
{
    EXPECT_EQ(AccessKeyOf("&Print"), 'P');
    EXPECT_EQ(AccessKeyOf("Zoom &tool"), 'T');
    EXPECT_EQ(AccessKeyOf("Zoom &&Tool"), 0);
    EXPECT_EQ(AccessKeyOf("P&&an &tool"), 'T');
    EXPECT_EQ(AccessKeyOf("Pan Tool"), 0);
    EXPECT_EQ(AccessKeyOf("trailing &"), 0);
    EXPECT_EQ(AccessKeyOf(nullptr), 0);
}

TEST(BuildKeyTable, NumericStarZoomsAndTheFirstToolOfAKeyWins)
{
    const auto texts = [](UINT id) -> std::string {
        switch (id) {
        case IDS_PRINT: return "&Print";
        case IDS_PAN_TOOL: return "&Pan Tool";       // same key as Print: Print came first
        case IDS_ZOOM_TOOL: return "&Zoom Tool";
        default: return "No key";                    // key 0
        }
    };
    std::map<UINT, UINT> table = BuildKeyTable(texts);
    EXPECT_EQ(table[VK_MULTIPLY], ID_ZOOMTOPAGE);
    EXPECT_EQ(table['P'], ID_PRINT);
    EXPECT_EQ(table['Z'], ID_ZOOM);
    EXPECT_EQ(table[0], ID_ZOOMTOPAGE) << "the first text without a key takes key 0";
    EXPECT_EQ(table.size(), 4u);
}

}  // namespace
