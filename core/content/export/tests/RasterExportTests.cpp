// The raster export's loop with a renderer that writes plain files: names, sizes, the current
// site alone, the three answers to the overwrite question and the failed-save rule.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "RasterExport.h"

namespace {

struct Call
{
    int site, width, height, bits, factor;
    std::string path;
};

struct FakeRenderer : ISiteImageRenderer
{
    std::vector<Call> calls;
    int failFrom = -1;
    bool SaveSiteImage(int site, int width, int height, double, const CString& path, const ExportFormat&,
                       int bitsPerPixel, int qualityFactor) override
    {
        calls.push_back({site, width, height, bitsPerPixel, qualityFactor, static_cast<LPCSTR>(path)});
        if (failFrom >= 0 && static_cast<int>(calls.size()) > failFrom)
            return false;
        HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(f);
        return true;
    }
};

struct ScriptedPrompts : IExportPrompts
{
    int answer = IDYES;
    int questions = 0;
    int saveFailures = 0;
    int AskOverwrite(const CString&) override { ++questions; return answer; }
    void ReportPageFileError(const CString&) override {}
    void ReportSaveFailed(const CString&) override { ++saveFailures; }
};

class RasterExportTest : public testing::Test
{
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "tarn_raster_export\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        settings.m_folder = folder.c_str();
        settings.SelectFormat(5);  // PNG
        settings.m_quality = 50;
        settings.SelectResolution(0);  // 640 x 480
    }
    void TearDown() override
    {
        for (int i = 0; i < 4; ++i)
            DeleteFileA((folder + "card_Frame0" + std::to_string(i) + ".png").c_str());
        RemoveDirectoryA(folder.c_str());
    }
    bool Exists(int n) const
    {
        return GetFileAttributesA((folder + "card_Frame0" + std::to_string(n) + ".png").c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    std::string folder;
    CExportSettings settings;
    std::vector<ExportSite> sites = {{11, 10, 5}, {12, 5, 10}, {13, 1, 1}};
    FakeRenderer renderer;
    ScriptedPrompts prompts;
};

TEST_F(RasterExportTest, EverySiteFittedIntoTheResolution)
{
    CRasterExport exporter(settings, "card", sites, renderer, prompts);
    EXPECT_TRUE(exporter.ExportToRaster(11));
    ASSERT_EQ(3u, renderer.calls.size());
    EXPECT_EQ(640, renderer.calls[0].width);
    EXPECT_EQ(320, renderer.calls[0].height);
    EXPECT_EQ(240, renderer.calls[1].width);
    EXPECT_EQ(480, renderer.calls[1].height);
    EXPECT_EQ(129, renderer.calls[0].factor);
    EXPECT_EQ(folder + "card_Frame02.png", renderer.calls[2].path);
    EXPECT_EQ(0, prompts.questions);
}

TEST_F(RasterExportTest, CurrentSiteAloneKeepsItsIndex)
{
    settings.m_allPages = false;
    CRasterExport exporter(settings, "card", sites, renderer, prompts);
    EXPECT_TRUE(exporter.ExportToRaster(12));
    ASSERT_EQ(1u, renderer.calls.size());
    EXPECT_EQ(12, renderer.calls[0].site);
    EXPECT_TRUE(Exists(1));
    EXPECT_FALSE(Exists(0));
}

TEST_F(RasterExportTest, OverwriteAnswers)
{
    CRasterExport first(settings, "card", sites, renderer, prompts);
    ASSERT_TRUE(first.ExportToRaster(0));
    struct Case { int answer; bool completes; size_t renders; };
    for (const Case& c : {Case{IDYES, true, 3}, Case{IDNO, true, 0}, Case{IDCANCEL, false, 0}}) {
        FakeRenderer again;
        ScriptedPrompts asked;
        asked.answer = c.answer;
        CRasterExport exporter(settings, "card", sites, again, asked);
        EXPECT_EQ(c.completes, exporter.ExportToRaster(0)) << c.answer;
        EXPECT_EQ(c.renders, again.calls.size()) << c.answer;
        // Cancel ends the whole export at the first question.
        EXPECT_EQ(c.answer == IDCANCEL ? 1 : 3, asked.questions) << c.answer;
    }
}

TEST_F(RasterExportTest, FailedSaveStopsLaterSaves)
{
    renderer.failFrom = 1;
    CRasterExport exporter(settings, "card", sites, renderer, prompts);
    EXPECT_TRUE(exporter.ExportToRaster(0));
    EXPECT_EQ(2u, renderer.calls.size());
    EXPECT_EQ(1, prompts.saveFailures);
    EXPECT_TRUE(exporter.SaveFailed());
    // Names still come for pages that refer to the images.
    EXPECT_EQ(CString("card_Frame07.png"), exporter.SaveOneSiteToFile(7, sites[0], 10, 10));
    EXPECT_EQ(2u, renderer.calls.size());
}

TEST_F(RasterExportTest, HtmlCellsGetTheirExactSize)
{
    CRasterExport exporter(settings, "card", sites, renderer, prompts);
    EXPECT_EQ(CString("card_Frame03.png"), exporter.WriteSiteImage(3, 13, 120, 45));
    ASSERT_EQ(1u, renderer.calls.size());
    EXPECT_EQ(120, renderer.calls[0].width);
    EXPECT_EQ(45, renderer.calls[0].height);
    DeleteFileA((folder + "card_Frame03.png").c_str());
}

} // namespace
