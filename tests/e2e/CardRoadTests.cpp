// A card made and saved by the framework's document is read whole by the viewer, which must see the
// same sites, backgrounds, pages and placements, whether the card was stored compressed or plain.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "CardSummary.h"
#include "FrameworkCard.h"
#include "ViewerCard.h"

using namespace cardsummary;

namespace {

class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }
};
::testing::Environment* const kComEnvironment = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

std::string TempCardPath(const char* stem)
{
    static int counter = 0;
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    char name[MAX_PATH * 2];
    std::snprintf(name, sizeof name, "%s%s-%lu-%d.crd", folder, stem, GetCurrentProcessId(), ++counter);
    DeleteFileA(name);
    return name;
}

std::vector<unsigned char> FileBytes(const std::string& path)
{
    std::vector<unsigned char> bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    unsigned char buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(f);
    return bytes;
}

// The first bytes of the file's "Contents" stream, read through the system's compound files.
std::string ContentsStart(const std::string& path)
{
    std::wstring wide(path.begin(), path.end());
    IStorage* storage = nullptr;
    if (FAILED(StgOpenStorage(wide.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, &storage)))
        return std::string();
    std::string start;
    IStream* stream = nullptr;
    if (SUCCEEDED(storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream))) {
        char bytes[4] = {};
        ULONG got = 0;
        if (SUCCEEDED(stream->Read(bytes, sizeof bytes, &got)))
            start.assign(bytes, got);
        stream->Release();
    }
    storage->Release();
    return start;
}

// Sites with scattered ids and varied backgrounds; pages of different sizes placing them at
// positions that are not round in binary, so that any re-rounding on the way shows.
CardSummary ManySitesCard(int siteCount, int pageCount)
{
    CardSummary card;
    for (int i = 0; i < siteCount; ++i) {
        SiteSummary site;
        site.id = 5 + 3 * i;
        site.name = i == 7 ? std::string() : "Panel " + std::to_string(i) + " / inside, left";
        site.background.color = static_cast<uint32_t>((0x010203 * (i + 1)) & 0xFFFFFF);
        site.background.useWindowColor = i % 3 == 0;
        site.background.printBackground = i % 2;
        site.background.imageType = i % 4;
        site.background.imageWidth = 0.5 + i / 7.0;
        site.background.imageHeight = 2.0 - i / 11.0;
        card.sites.push_back(site);
    }
    const int perPage = pageCount > 1 ? siteCount / (pageCount - 1) : siteCount;
    for (int p = 0; p < pageCount; ++p) {
        PageSummary page;
        page.width = 8.5 + p / 3.0;
        page.height = 11.0 - p * 0.1;
        page.left = 0.25 * (p + 1);
        page.top = 0.2;
        page.right = 1.0 / 3.0;
        page.bottom = 0.75 + p;
        // The last page places nothing.
        for (int k = 0; p < pageCount - 1 && k < perPage; ++k) {
            const int site = p * perPage + k;
            if (site >= siteCount)
                break;
            PlacementSummary placement;
            placement.siteId = card.sites[site].id;
            placement.x = 0.1 * k + 1.0 / 7.0;
            placement.y = k / 3.0 - 0.05 * p;
            placement.printed = k % 2;
            placement.angle = k % 4 == 3 ? 12.5 : 90.0 * (k % 4);
            placement.horizontalFlip = k % 3 == 1;
            placement.verticalFlip = k % 5 == 2;
            page.placements.push_back(placement);
        }
        card.pages.push_back(page);
    }
    return card;
}

// Doubles travel as their stored bytes: they must arrive exactly.
void ExpectSameCard(const CardSummary& made, const CardSummary& read)
{
    ASSERT_EQ(made.sites.size(), read.sites.size());
    for (size_t i = 0; i < made.sites.size(); ++i) {
        const SiteSummary& a = made.sites[i];
        const SiteSummary& b = read.sites[i];
        SCOPED_TRACE("site " + std::to_string(i));
        EXPECT_EQ(a.id, b.id);
        EXPECT_EQ(a.name, b.name);
        EXPECT_EQ(a.background.color, b.background.color);
        EXPECT_EQ(a.background.useWindowColor, b.background.useWindowColor);
        EXPECT_EQ(a.background.printBackground, b.background.printBackground);
        EXPECT_EQ(a.background.imageType, b.background.imageType);
        EXPECT_EQ(a.background.imageWidth, b.background.imageWidth);
        EXPECT_EQ(a.background.imageHeight, b.background.imageHeight);
    }
    ASSERT_EQ(made.pages.size(), read.pages.size());
    for (size_t p = 0; p < made.pages.size(); ++p) {
        const PageSummary& a = made.pages[p];
        const PageSummary& b = read.pages[p];
        SCOPED_TRACE("page " + std::to_string(p));
        EXPECT_EQ(a.width, b.width);
        EXPECT_EQ(a.height, b.height);
        EXPECT_EQ(a.left, b.left);
        EXPECT_EQ(a.top, b.top);
        EXPECT_EQ(a.right, b.right);
        EXPECT_EQ(a.bottom, b.bottom);
        ASSERT_EQ(a.placements.size(), b.placements.size());
        for (size_t k = 0; k < a.placements.size(); ++k) {
            const PlacementSummary& x = a.placements[k];
            const PlacementSummary& y = b.placements[k];
            SCOPED_TRACE("placement " + std::to_string(k));
            EXPECT_EQ(x.siteId, y.siteId);
            EXPECT_EQ(x.x, y.x);
            EXPECT_EQ(x.y, y.y);
            EXPECT_EQ(x.printed, y.printed);
            EXPECT_EQ(x.angle, y.angle);
            EXPECT_EQ(x.horizontalFlip, y.horizontalFlip);
            EXPECT_EQ(x.verticalFlip, y.verticalFlip);
        }
    }
}

class CardRoad : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(frameworkcard::RegisterCompressedStorage(error)) << error;
    }
    bool Compressed() const { return GetParam(); }

    // Saves the card through the framework and reads it back through the viewer.
    void SaveAndRead(const CardSummary& card, const char* stem)
    {
        const std::string path = TempCardPath(stem);
        std::string error;
        ASSERT_TRUE(frameworkcard::SaveCard(card, path, Compressed(), error)) << error;
        EXPECT_EQ(ContentsStart(path), Compressed() ? "NRAT" : "TARN") << "the card is stored as asked";
        const std::vector<unsigned char> file = FileBytes(path);
        DeleteFileA(path.c_str());
        CardSummary read;
        ASSERT_EQ(viewercard::ReadCard(file, read, error), viewercard::Outcome::kLoaded) << error;
        ExpectSameCard(card, read);
    }
};

TEST_P(CardRoad, ViewerReadsTheFrameworksCardWhole)
{
    SaveAndRead(ManySitesCard(40, 6), "road");
}

TEST_P(CardRoad, EmptyCardArrivesEmpty)
{
    SaveAndRead(CardSummary(), "empty");
}

// Hundreds of sites, two pages placing hundreds each: every class tag after the first site must
// name the writer's class entry among thousands of numbered objects.
TEST_P(CardRoad, ManySitesOnFewPagesArriveWhole)
{
    SaveAndRead(ManySitesCard(1000, 3), "large");
}

INSTANTIATE_TEST_SUITE_P(Storage, CardRoad, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Compressed" : "Plain");
                         });

struct DamageCase {
    const char* name;
    bool compressed;
    size_t keep;   // bytes of the saved file the viewer is given; 0 for none, SIZE_MAX for half
};

class DamagedCardFile : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedCardFile, IsRefusedAndLeavesNothingBehind)
{
    const DamageCase& c = GetParam();
    std::string error;
    ASSERT_TRUE(frameworkcard::RegisterCompressedStorage(error)) << error;
    const std::string path = TempCardPath("damaged");
    ASSERT_TRUE(frameworkcard::SaveCard(ManySitesCard(40, 6), path, c.compressed, error)) << error;
    std::vector<unsigned char> file = FileBytes(path);
    DeleteFileA(path.c_str());
    file.resize(c.keep == SIZE_MAX ? file.size() / 2 : std::min(c.keep, file.size()));
    CardSummary read;
    read.sites.resize(1);
    EXPECT_EQ(viewercard::ReadCard(file, read, error), viewercard::Outcome::kRefused);
    EXPECT_EQ(error.find("left sites or pages behind"), std::string::npos) << error;
    EXPECT_TRUE(read.sites.empty());
    EXPECT_TRUE(read.pages.empty());
}

INSTANTIATE_TEST_SUITE_P(Truncated, DamagedCardFile,
                         ::testing::Values(DamageCase{"PlainNothing", false, 0},
                                           DamageCase{"PlainHeaderOnly", false, 512},
                                           DamageCase{"PlainHalf", false, SIZE_MAX},
                                           DamageCase{"CompressedHeaderOnly", true, 512},
                                           DamageCase{"CompressedHalf", true, SIZE_MAX}),
                         [](const ::testing::TestParamInfo<DamageCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
