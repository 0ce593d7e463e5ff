// The view's coordinate rules: document inches, view pixels and window pixels, and the
// conversions the drawing controls ask for through the view's events interface.
#include <gtest/gtest.h>

#include <cstring>

#include "ViewMapping.h"

namespace {

struct MappingCase {
    const char* name;
    double zoom;
    CPoint scroll;
    CPoint offset;
    CPointF doc;
    CPoint view;
    CPoint win;
};

const MappingCase kMappingCases[] = {
    {"identity", 1.0, {0, 0}, {0, 0}, {1.0, 2.0}, {96, 192}, {96, 192}},
    {"zoomed and scrolled", 2.0, {100, 50}, {10, 20}, {0.5, 0.25}, {96, 48}, {6, 18}},
    // 48 pixels an inch: half a pixel goes to the even neighbour.
    {"halves round to even", 0.5, {0, 0}, {0, 0}, {1.0 / 96, 3.0 / 96}, {0, 2}, {0, 2}},
    {"left of the origin", 1.0, {0, 0}, {30, 40}, {-0.5, -1.0}, {-48, -96}, {-18, -56}},
    {"scrolled past the site", 1.5, {500, 0}, {0, 0}, {2.0, 0.0}, {288, 0}, {-212, 0}},
};

TEST(ViewMapping, ConvertsBetweenTheThreeSpaces)
{
    for (const MappingCase& c : kMappingCases) {
        SCOPED_TRACE(c.name);
        const CViewMapping m(c.zoom, c.scroll, c.offset);
        EXPECT_EQ(CPoint(c.view), m.DocToView(c.doc));
        EXPECT_EQ(CPoint(c.win), m.DocToWin(c.doc));
        EXPECT_EQ(CPoint(c.view), m.WinToView(c.win));
        EXPECT_EQ(CPoint(c.win), m.ViewToWin(c.view));
        // Back to inches: exact up to half a view pixel.
        const CPointF back = m.WinToDoc(c.win);
        const double halfPixel = 0.5 / m.GetPixelsPerZoomedInch() + 1e-12;
        EXPECT_NEAR(c.doc.x, back.x, halfPixel);
        EXPECT_NEAR(c.doc.y, back.y, halfPixel);
    }
}

TEST(ViewMapping, DocumentRectangleGoesCornerByCorner)
{
    const CViewMapping m(1.25, CPoint(10, 0), CPoint(0, 7));
    const CRect view = m.DocToView(CRectF(0.1, 0.2, 1.1, 2.3));
    EXPECT_EQ(CRect(12, 24, 132, 276), view);
    EXPECT_EQ(CRect(2, 31, 122, 283), m.ViewToWin(view));
}

TEST(ViewMapping, TransferCoordinatesFillsTheOtherTwoMembers)
{
    const CViewMapping m(2.0, CPoint(100, 50), CPoint(10, 20));
    struct Case {
        long source;
        tagPointData given;
    } cases[] = {
        {SS_WIN, {SS_WIN, {6, 18}, {0, 0}, {0, 0}}},
        {SS_VIEW, {SS_VIEW, {0, 0}, {96, 48}, {0, 0}}},
        {SS_DOC, {SS_DOC, {0, 0}, {0, 0}, {0.5, 0.25}}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.source);
        tagPointData d = c.given;
        ASSERT_EQ(S_OK, m.TransferCoordinates(&d));
        EXPECT_EQ(6, d.WinPoint.x);
        EXPECT_EQ(18, d.WinPoint.y);
        EXPECT_EQ(96, d.ViewPoint.x);
        EXPECT_EQ(48, d.ViewPoint.y);
        EXPECT_DOUBLE_EQ(0.5, d.DocPoint.x);
        EXPECT_DOUBLE_EQ(0.25, d.DocPoint.y);
    }
}

TEST(ViewMapping, DocumentPointSurvivesARoundTripThroughViewPixels)
{
    const CViewMapping m(0.37, CPoint(13, 29), CPoint(-4, 11));
    const double k = m.GetPixelsPerZoomedInch();
    for (double x = -3.0; x <= 3.0; x += 0.173) {
        tagPointData d{SS_DOC, {0, 0}, {0, 0}, {x, -x / 2}};
        ASSERT_EQ(S_OK, m.TransferCoordinates(&d));
        d.SourceSystem = SS_VIEW;
        ASSERT_EQ(S_OK, m.TransferCoordinates(&d));
        EXPECT_NEAR(x, d.DocPoint.x, 0.5 / k + 1e-12);
        EXPECT_NEAR(-x / 2, d.DocPoint.y, 0.5 / k + 1e-12);
    }
}

TEST(ViewMapping, TransferSizeScalesByThePixelsOfAZoomedInch)
{
    const CViewMapping m(1.5, CPoint(7, 7), CPoint(3, 3));  // 144 pixels an inch; offsets play no part
    tagSizeData fromDoc{SS_DOC, {0, 0}, {0, 0}, {1.0, 0.5}};
    ASSERT_EQ(S_OK, m.TransferSize(&fromDoc));
    EXPECT_EQ(144, fromDoc.ViewSize.cx);
    EXPECT_EQ(72, fromDoc.ViewSize.cy);
    EXPECT_EQ(144, fromDoc.WinSize.cx);
    EXPECT_EQ(72, fromDoc.WinSize.cy);

    // A fraction of a pixel rounds to the nearest.
    tagSizeData fraction{SS_DOC, {0, 0}, {0, 0}, {2.4 / 144, 3.6 / 144}};
    ASSERT_EQ(S_OK, m.TransferSize(&fraction));
    EXPECT_EQ(2, fraction.ViewSize.cx);
    EXPECT_EQ(4, fraction.WinSize.cy);

    tagSizeData fromWin{SS_WIN, {288, 36}, {0, 0}, {0, 0}};
    ASSERT_EQ(S_OK, m.TransferSize(&fromWin));
    EXPECT_EQ(288, fromWin.ViewSize.cx);
    EXPECT_DOUBLE_EQ(2.0, fromWin.DocSize.cx);
    EXPECT_DOUBLE_EQ(0.25, fromWin.DocSize.cy);

    tagSizeData fromView{SS_VIEW, {0, 0}, {72, 144}, {0, 0}};
    ASSERT_EQ(S_OK, m.TransferSize(&fromView));
    EXPECT_EQ(72, fromView.WinSize.cx);
    EXPECT_DOUBLE_EQ(0.5, fromView.DocSize.cx);
    EXPECT_DOUBLE_EQ(1.0, fromView.DocSize.cy);
}

TEST(ViewMapping, UnknownSourcesAreRefusedAndChangeNothing)
{
    const CViewMapping m(1.0, CPoint(0, 0), CPoint(0, 0));
    for (long source : {-1L, 3L, 100L}) {
        tagPointData point{source, {1, 2}, {3, 4}, {5.0, 6.0}};
        const tagPointData pointBefore = point;
        EXPECT_EQ(E_INVALIDARG, m.TransferCoordinates(&point));
        EXPECT_EQ(0, std::memcmp(&point, &pointBefore, sizeof point));

        tagSizeData size{source, {1, 2}, {3, 4}, {5.0, 6.0}};
        const tagSizeData sizeBefore = size;
        EXPECT_EQ(E_INVALIDARG, m.TransferSize(&size));
        EXPECT_EQ(0, std::memcmp(&size, &sizeBefore, sizeof size));
    }
    EXPECT_EQ(E_INVALIDARG, m.TransferCoordinates(nullptr));
    EXPECT_EQ(E_INVALIDARG, m.TransferSize(nullptr));
}

}  // namespace
