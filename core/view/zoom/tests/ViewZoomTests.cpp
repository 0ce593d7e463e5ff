// The view's zoom rules: limits, clamping, and fitting a rectangle into the client area.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ViewZoom.h"

namespace {

struct LimitsCase {
    const char* name;
    CRectF area;
    CSize client;
    bool restrict;
    bool oldRange;
    double minZoom;
    double maxZoom;
};

const LimitsCase kLimitsCases[] = {
    {"free", CRectF(0, 0, 4, 6), CSize(800, 600), false, false, 0.05, 32767.0 / (96 * 6)},
    {"old scroll range", CRectF(0, 0, 4, 6), CSize(800, 600), false, true, 0.05, 16383.0 / (96 * 6)},
    // The wider of the two ratios wins: the site covers the client area on both axes.
    {"restricted", CRectF(-1, -1, 3, 5), CSize(800, 600), true, false, 800.0 / (96 * 4), 32767.0 / (96 * 6)},
    {"restricted, tall client", CRectF(0, 0, 4, 6), CSize(100, 1152), true, false, 2.0, 32767.0 / (96 * 6)},
    // A site with no extent: no division by zero.
    {"flat site", CRectF(0, 2, 4, 2), CSize(800, 600), true, false, 800.0 / (96 * 4), 32767.0 / (96 * 4)},
    {"point site", CRectF(1, 1, 1, 1), CSize(800, 600), true, false, 0.05, 32767.0 / 96},
};

TEST(ViewZoom, LimitsFollowSiteClientAndScrollRange)
{
    for (const LimitsCase& c : kLimitsCases) {
        SCOPED_TRACE(c.name);
        const ViewZoomLimits l = ComputeViewZoomLimits(c.area, c.client, c.restrict, c.oldRange);
        EXPECT_DOUBLE_EQ(c.minZoom, l.minZoom);
        EXPECT_DOUBLE_EQ(c.maxZoom, l.maxZoom);
        EXPECT_TRUE(std::isfinite(l.minZoom) && std::isfinite(l.maxZoom));
    }
}

TEST(ViewZoom, RequestsAreClampedToTheLimits)
{
    const ViewZoomLimits limits{0.05, 8.0};
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double requested;
        double expected;
    } cases[] = {
        {1.0, 1.0}, {0.01, 0.05}, {0.05, 0.05}, {-2.0, 0.05}, {7.999, 7.999}, {8.0, 8.0}, {100.0, 8.0},
        // Not a number: the current zoom (1.5) stays.
        {nan, 1.5}, {inf, 1.5}, {-inf, 1.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.requested);
        EXPECT_DOUBLE_EQ(c.expected, ClampViewZoom(c.requested, 1.5, limits));
    }
}

TEST(ViewZoom, TinyChangesCountOnlyWhenForced)
{
    EXPECT_FALSE(IsViewZoomChange(1.0, 1.0, false));
    EXPECT_FALSE(IsViewZoomChange(1.0, 1.0 + 5e-11, false));
    EXPECT_TRUE(IsViewZoomChange(1.0, 1.0 + 5e-11, true));
    EXPECT_TRUE(IsViewZoomChange(1.0, 1.0 + 2e-10, false));
    // A view starts from zoom 0, so its first zoom always lays it out.
    EXPECT_TRUE(IsViewZoomChange(0.0, 1.0, false));
}

TEST(ViewZoom, FitLeavesRoomForScrollBarsNotShownYet)
{
    struct Case {
        bool horz, vert;
        CSize expected;
    } cases[] = {
        {true, true, CSize(800, 600)},
        {false, true, CSize(800, 583)},
        {true, false, CSize(783, 600)},
        {false, false, CSize(783, 583)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, ViewFitClientSize(CSize(800, 600), c.horz, c.vert, 17, 17));
    }
}

TEST(ViewZoom, MarginsTakeFivePercentOffEachSide)
{
    struct Case {
        int extent, expected;
    } cases[] = {{800, 720}, {600, 540}, {101, 90}, {10, 9}, {0, 0}, {1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extent);
        EXPECT_EQ(c.expected, ViewExtentWithoutMargins(c.extent));
    }
}

struct FitCase {
    const char* name;
    CRectF rect;
    bool withMargins;
    bool setZoom;
    double zoom;
    CPointF centre;
};

const FitCase kFitCases[] = {
    {"page with margins", CRectF(0, 0, 4, 6), true, true, 540.0 / 576, CPointF(2, 3)},
    {"page without margins", CRectF(0, 0, 4, 6), false, true, 600.0 / 576, CPointF(2, 3)},
    {"wide rectangle", CRectF(1, 1, 9, 2), false, true, 800.0 / 768, CPointF(5, 1.5)},
    // A line limits the zoom only along its length; a point only centres.
    {"horizontal line", CRectF(0, 2, 4, 2), true, true, 720.0 / 384, CPointF(2, 2)},
    {"vertical line", CRectF(3, 0, 3, 1), true, true, 540.0 / 96, CPointF(3, 0.5)},
    {"point", CRectF(1.5, 2.5, 1.5, 2.5), true, false, 0.0, CPointF(1.5, 2.5)},
    {"reversed corners", CRectF(4, 6, 0, 0), true, true, 540.0 / 576, CPointF(2, 3)},
};

TEST(ViewZoom, FittingARectangle)
{
    for (const FitCase& c : kFitCases) {
        SCOPED_TRACE(c.name);
        const ViewRectFit fit = FitViewToRect(c.rect, CSize(800, 600), c.withMargins);
        EXPECT_EQ(c.setZoom, fit.setZoom);
        if (c.setZoom) {
            EXPECT_DOUBLE_EQ(c.zoom, fit.zoom);
            EXPECT_TRUE(std::isfinite(fit.zoom));
        }
        EXPECT_DOUBLE_EQ(c.centre.x, fit.centre.x);
        EXPECT_DOUBLE_EQ(c.centre.y, fit.centre.y);
    }
}

TEST(ViewZoom, PageZoomIsTheFitWithMarginsAndNoBarCorrection)
{
    EXPECT_DOUBLE_EQ(540.0 / 576, ViewPageZoom(CRectF(0, 0, 4, 6), CSize(800, 600)));
    EXPECT_DOUBLE_EQ(1.0, ViewPageZoom(CRectF(1, 1, 1, 1), CSize(800, 600)));
}

}  // namespace
