// Names, quality factors and render sizes of an export, as tables.
#include <gtest/gtest.h>
#include "ExportGeometry.h"
#include "HtmlPageWriter.h"

namespace {

TEST(ExportGeometry, QualityFactor)
{
    struct Case { int quality, factor; };
    for (const Case& c : {Case{100, 2}, Case{0, 255}, Case{50, 129}, Case{1, 254}, Case{99, 4}, Case{25, 193}, Case{75, 65}})
        EXPECT_EQ(c.factor, ExportGeometry::QualityFactor(c.quality)) << c.quality;
}

TEST(ExportGeometry, SitesFitTheResolution)
{
    struct Case { double w, h; int rw, rh, width, height; };
    for (const Case& c : {Case{10, 5, 640, 480, 640, 320}, Case{5, 10, 640, 480, 240, 480},
                          Case{4, 3, 800, 600, 800, 600}, Case{1, 1, 1024, 768, 768, 768}}) {
        const auto size = ExportGeometry::FitIntoResolution(c.w, c.h, c.rw, c.rh);
        EXPECT_EQ(c.width, size.width) << c.w << "x" << c.h;
        EXPECT_EQ(c.height, size.height) << c.w << "x" << c.h;
    }
    const auto exact = ExportGeometry::ExactSize(10, 5, 300, 100);
    EXPECT_EQ(300, exact.width);
    EXPECT_EQ(100, exact.height);
    EXPECT_DOUBLE_EQ(20.0, exact.zoom);
}

TEST(ExportGeometry, HtmlTableWidth)
{
    const int arrow = GetSystemMetrics(SM_CXHSCROLL);
    EXPECT_GT(arrow, 0);
    EXPECT_EQ(640 - 2 * arrow, ExportGeometry::HtmlTargetWidth(640));
}

TEST(ExportGeometry, FileNames)
{
    EXPECT_EQ(CString("card_Frame00.jpg"), ExportGeometry::ImageFileName("card", 0, ".jpg"));
    EXPECT_EQ(CString("card_Frame09.png"), ExportGeometry::ImageFileName("card", 9, ".png"));
    EXPECT_EQ(CString("card_Frame12.bmp"), ExportGeometry::ImageFileName("card", 12, ".bmp"));
    EXPECT_EQ(CString("card.htm"), ExportGeometry::PageFileName("card", 0));
    EXPECT_EQ(CString("card_Page01.htm"), ExportGeometry::PageFileName("card", 1));
    EXPECT_EQ(CString("card_Page12.htm"), ExportGeometry::PageFileName("card", 12));
}

TEST(HtmlEscape, MarkupCharacters)
{
    EXPECT_EQ("a &amp; b &lt;c&gt; &quot;d&quot; 'e'", HtmlEscape("a & b <c> \"d\" 'e'"));
}

} // namespace
