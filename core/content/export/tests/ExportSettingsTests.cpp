// The export's options: formats offered per mode, depth fallback, resolution entries, and the
// round trip through the options.
#include <gtest/gtest.h>
#include "ExportSettings.h"
#include "TarnOptions.h"

namespace {

int IndexOf(int imagingFormat)
{
    for (int i = 0; i < 6; ++i)
        if (CExportSettings::kFormats[i].imagingFormat == imagingFormat)
            return i;
    return -1;
}

TEST(ExportSettings, FormatsOfferedPerMode)
{
    CExportSettings raster(CExportSettings::kRaster);
    EXPECT_EQ((std::vector<int>{0, 2, 3, 4, 5}), raster.OfferedFormats());
    raster.m_supportGif = true;
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4, 5}), raster.OfferedFormats());
    CExportSettings html(CExportSettings::kHtml);
    EXPECT_EQ((std::vector<int>{0}), html.OfferedFormats());
    html.m_supportGif = true;
    EXPECT_EQ((std::vector<int>{0, 1}), html.OfferedFormats());
}

TEST(ExportSettings, DepthFallsBackToEight)
{
    CExportSettings s;
    s.SelectFormat(IndexOf(10));  // JPEG
    s.m_bitsPerPixel = 24;
    s.SelectFormat(IndexOf(75));  // PNG keeps 24
    EXPECT_EQ(24, s.m_bitsPerPixel);
    s.SelectFormat(IndexOf(2));   // GIF has no 24
    EXPECT_EQ(8, s.m_bitsPerPixel);
    s.m_bitsPerPixel = 16;
    s.SelectFormat(IndexOf(6));   // BMP allows 16
    EXPECT_EQ(16, s.m_bitsPerPixel);
    s.SelectFormat(IndexOf(1));   // PCX does not
    EXPECT_EQ(8, s.m_bitsPerPixel);
    for (const ExportFormat& f : CExportSettings::kFormats)
        EXPECT_FALSE(CExportSettings::AllowsDepth(f, 32)) << f.extension;
}

TEST(ExportSettings, TypedResolutionSelectsItsEntry)
{
    CExportSettings s;
    s.SetCustomResolution(1024, 768);
    EXPECT_EQ(2, s.m_resolutionIndex);
    s.SetCustomResolution(1000, 700);
    EXPECT_EQ(CExportSettings::kCustomResolution, s.m_resolutionIndex);
    EXPECT_EQ(1000, s.Resolution().width);
    s.SelectResolution(4);
    EXPECT_EQ(1280, s.Resolution().width);
    EXPECT_EQ(1024, s.m_custom.height);  // the custom entry takes the chosen size
}

TEST(ExportSettings, OptionsRoundTrip)
{
    CTarnOptions options;
    options.m_nDefExportType = 12345;  // not in the table: the first format
    options.m_bPlacePageNumber = 0;
    CExportSettings s;
    s.Load(options);
    EXPECT_EQ(0, s.m_formatIndex);
    EXPECT_TRUE(s.m_navigation);
    s.SelectFormat(IndexOf(1));
    s.m_bitsPerPixel = 4;
    s.m_quality = 33;
    s.m_folder = "C:\\out\\";
    s.m_allPages = false;
    s.SetCustomResolution(900, 700);
    s.Store(options);
    CExportSettings back;
    back.Load(options);
    EXPECT_EQ(IndexOf(1), back.m_formatIndex);
    EXPECT_EQ(4, back.m_bitsPerPixel);
    EXPECT_EQ(33, back.m_quality);
    EXPECT_EQ(CString("C:\\out\\"), back.m_folder);
    EXPECT_FALSE(back.m_allPages);
    EXPECT_EQ(CExportSettings::kCustomResolution, back.m_resolutionIndex);
    EXPECT_EQ(700, back.Resolution().height);
}

} // namespace
