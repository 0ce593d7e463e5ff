#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "OptionsManager.h"
#include "RegistryFixture.h"
#include "SiteIcon.h"
#include "StyleLibrary.h"

namespace {

const std::string kFamily = "TarnStyleTests";
const std::string kRoot = "SOFTWARE\\" + kFamily;
const std::string kStyles = kRoot + "\\Card\\Styles";

class StyleOptions : public COptionsManager {
public:
    StyleOptions() : COptionsManager(nullptr, kFamily.c_str(), "Engine", "Card") { Initialize(); }
};

class StyleTest : public ::testing::Test {
protected:
    void SetUp() override { regtest::DeleteTree(HKEY_LOCAL_MACHINE, kRoot); }
    void TearDown() override { SetUp(); }
};

TEST_F(StyleTest, NewStylesHaveTheirDefaults)
{
    StyleOptions options;
    CTarnStyleLib& library = *options.m_pStyleLib;
    std::unique_ptr<CTarnSiteStyle> site(library.CreateSiteStyle());
    EXPECT_EQ(site->m_nID, -1);
    EXPECT_DOUBLE_EQ(site->m_Size.cx, 8.5);
    EXPECT_DOUBLE_EQ(site->m_Size.cy, 11.0);
    EXPECT_EQ(site->m_nIconID, -1);
    std::unique_ptr<CTarnPageStyle> page(library.CreatePageStyle());
    EXPECT_DOUBLE_EQ(page->m_Margins.left, 1.0);
    EXPECT_DOUBLE_EQ(page->m_Margins.bottom, 1.0);
    EXPECT_TRUE(page->m_bCenterlinesForAlignment);
    EXPECT_FALSE(page->m_bOverridePageSetup);
    EXPECT_EQ(CTarnStyleLib::Instance(), options.m_pStyleLib);
}

TEST_F(StyleTest, LibraryRoundTripsThroughTheRegistry)
{
    {
        StyleOptions options;
        CTarnStyleLib& library = *options.m_pStyleLib;
        library.EnsureDefaultStyles();
        CTarnSiteStyle* panel = library.CreateSiteStyle();
        panel->m_nID = 7;
        panel->m_strName = "Panel";
        panel->m_Size = {4.25, 5.5};
        panel->m_nIconID = 3;
        library.m_SiteStyles.Add(panel);
        for (int i = 1; i < 10; ++i) {
            CTarnPageStyle* page = library.CreatePageStyle();
            page->m_nID = 100 + i;
            page->m_Margins = {0.5, 0.25, 0.5, 0.25};
            CSitePosStyle* placement = page->CreateSiteInfo();
            placement->m_pSiteStyle = panel;
            placement->m_Pos = {4.25, 0.0};
            placement->m_dRotateAngle = 3.14159265;
            placement->m_bHFlip = TRUE;
            page->m_SitePositions.Add(placement);
            library.m_PageStyles.Add(page);
        }
        CTarnDocStyle* doc = library.CreateDocStyle();
        doc->m_nID = 55;
        doc->m_strName = "Quarter fold";
        doc->m_SiteStyles = {panel, panel};
        doc->m_PageStyles = {library.GetPageStyleByID(101)};
        library.m_DocStyles.Add(doc);
        library.SetModified(false);
        EXPECT_TRUE(options.StoreStyleLibrary()) << "nothing written while unmodified";
        EXPECT_FALSE(regtest::KeyExists(HKEY_LOCAL_MACHINE, kStyles + "\\PageStyles"));
        library.SetModified(true);
        EXPECT_TRUE(options.StoreStyleLibrary());
        EXPECT_FALSE(library.IsModified());
    }
    for (int i = 0; i < 10; ++i) {
        char key[32];
        std::snprintf(key, sizeof key, "\\PageStyles\\PageStyle%04x", i);
        EXPECT_TRUE(regtest::KeyExists(HKEY_LOCAL_MACHINE, kStyles + key)) << key;
    }

    StyleOptions options;
    ASSERT_TRUE(options.LoadStyleLibrary());
    CTarnStyleLib& library = *options.m_pStyleLib;
    EXPECT_EQ(library.m_PageStyles.GetSize(), 10);
    CTarnSiteStyle* panel = library.GetSiteStyleByID(7);
    ASSERT_NE(panel, nullptr);
    EXPECT_STREQ(panel->m_strName, "Panel");
    EXPECT_DOUBLE_EQ(panel->m_Size.cx, 4.25);
    EXPECT_EQ(panel->m_nIconID, 3);
    CTarnPageStyle* page = library.GetPageStyleByID(105);
    ASSERT_NE(page, nullptr);
    EXPECT_DOUBLE_EQ(page->m_Margins.top, 0.25);
    ASSERT_EQ(page->GetSiteNumber(7), 1);
    CSitePosStyle* placement = page->GetSiteInfo(7, 0);
    EXPECT_EQ(placement->m_pSiteStyle, panel);
    EXPECT_DOUBLE_EQ(placement->m_dRotateAngle, 3.14159265);
    EXPECT_TRUE(placement->m_bHFlip);
    EXPECT_EQ(page->GetSiteInfo(7, 5), placement) << "fewer placements: the last one";
    EXPECT_EQ(page->GetSiteInfo(99, 0), nullptr);
    CTarnDocStyle* doc = library.GetDocStyleByID(55);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetSitesCount(), 2);
    ASSERT_EQ(doc->GetPagesCount(), 1);
    EXPECT_EQ(doc->m_PageStyles[0], library.GetPageStyleByID(101));
    EXPECT_EQ(library.DocID2Index(12345), -1);
}

TEST_F(StyleTest, LoadingSkipsWhatTheLibraryDoesNotHold)
{
    const std::string sites = kStyles + "\\SiteStyles\\SiteStyle0000";
    regtest::PutDword(HKEY_LOCAL_MACHINE, sites, "ID", 1);
    const std::string page = kStyles + "\\PageStyles\\PageStyle0000";
    regtest::PutDword(HKEY_LOCAL_MACHINE, page, "ID", 10);
    regtest::PutDword(HKEY_LOCAL_MACHINE, page + "\\Site0000", "SiteStyleID", 1);
    regtest::PutDword(HKEY_LOCAL_MACHINE, page + "\\Site0002", "SiteStyleID", 1);
    regtest::PutDword(HKEY_LOCAL_MACHINE, page + "\\Site0003", "SiteStyleID", 99);  // unknown: dropped
    const std::string doc = kStyles + "\\DocStyles\\DocStyle0000";
    regtest::PutDword(HKEY_LOCAL_MACHINE, doc, "ID", 20);
    regtest::PutDword(HKEY_LOCAL_MACHINE, doc, "PageStyleID0001", 77);
    regtest::PutDword(HKEY_LOCAL_MACHINE, doc, "PageStyleID0002", 10);
    const std::string shortDoc = kStyles + "\\DocStyles\\DocStyle0001";
    regtest::PutDword(HKEY_LOCAL_MACHINE, shortDoc, "ID", 21);
    regtest::PutDword(HKEY_LOCAL_MACHINE, shortDoc, "PageStyleID0001", 77);
    regtest::PutDword(HKEY_LOCAL_MACHINE, shortDoc, "PageStyleID0003", 10);
    regtest::PutText(HKEY_LOCAL_MACHINE, kStyles + "\\SiteStyles\\SiteStyle0001", "ID", "not a number");

    StyleOptions options;
    ASSERT_TRUE(options.LoadStyleLibrary());
    CTarnStyleLib& library = *options.m_pStyleLib;
    CTarnPageStyle* loaded = library.GetPageStyleByID(10);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->m_SitePositions.GetSize(), 2);
    EXPECT_EQ(library.GetDocStyleByID(20)->GetPagesCount(), 1);
    EXPECT_EQ(library.GetDocStyleByID(21)->GetPagesCount(), 0) << "reading stops at the first missing number";
}

TEST_F(StyleTest, MissingStylesKeyIsReportedAndComparisonRulesHold)
{
    StyleOptions options;
    EXPECT_FALSE(options.LoadStyleLibrary());
    CTarnStyleLib& library = *options.m_pStyleLib;
    library.EnsureDefaultStyles();
    auto* page = static_cast<CTarnPageStyle*>(library.m_PageStyles[0]);
    std::unique_ptr<CTarnPageStyle> copy(library.CreatePageStyle());
    copy->Duplicate(page);
    EXPECT_FALSE(copy->Equal(*page)) << "copies of placements are other objects";
    std::unique_ptr<CTarnPageStyle> a(library.CreatePageStyle()), b(library.CreatePageStyle());
    a->m_nID = b->m_nID = 4;
    b->m_Margins = {2, 2, 2, 2};
    EXPECT_TRUE(a->Equal(*b)) << "margins are not compared";
    b->m_strName = "other";
    EXPECT_FALSE(a->Equal(*b));
    CTarnDocType type;
    EXPECT_FALSE(type.Equal(type));

    std::unique_ptr<CTarnSiteStyle> clone(static_cast<CTarnSiteStyle*>(library.m_SiteStyles[0])->Clone());
    EXPECT_TRUE(clone->Equal(*library.m_SiteStyles[0]));

    CTarnStyleLib duplicate;
    duplicate.Duplicate(library);
    EXPECT_EQ(duplicate.m_SiteStyles.GetSize(), 1);
    EXPECT_EQ(static_cast<CTarnDocStyle*>(duplicate.m_DocStyles[0])->m_PageStyles[0], page)
        << "copies point at the source library's styles";
}

TEST(SiteIconTest, RegistryAndRecordsCarryTheImage)
{
    // A 1x1 24-bit bitmap file image.
    BYTE image[58] = {'B', 'M'};
    BITMAPFILEHEADER file = {0x4D42, sizeof image, 0, 0, 54};
    BITMAPINFOHEADER info = {sizeof(BITMAPINFOHEADER), 1, 1, 1, 24, BI_RGB, 4, 0, 0, 0, 0};
    std::memcpy(image, &file, sizeof file);
    std::memcpy(image + sizeof file, &info, sizeof info);
    image[54] = 0x10;
    CSiteIcon icon;
    EXPECT_FALSE(icon.SetData(nullptr, 5));
    ASSERT_TRUE(icon.SetData(image, sizeof image));
    EXPECT_NE(icon.GetIcon(), nullptr);

    CSiteIcon damaged;
    BITMAPINFOHEADER huge = info;
    huge.biWidth = 5000;
    huge.biHeight = 5000;
    std::memcpy(image + sizeof file, &huge, sizeof huge);
    damaged.SetData(image, sizeof image);
    EXPECT_EQ(damaged.GetIcon(), nullptr) << "bits beyond the data give no bitmap";
}

// A picture given to an icon is kept as a 16-colour .bmp: each pixel the nearest standard colour,
// the top-left pixel's own colour the transparent one, the checksum the sum of the bytes.
TEST(SiteIconTest, PicturesBecomeSixteenColourBitmapsWithTheCornerTransparent)
{
    // 3 x 2 pixels, 24 bits, bottom-up rows of 12 bytes (9 used).
    const BYTE bottom[9] = {0, 0, 250, 0, 250, 0, 250, 0, 0};      // red, green, blue (B G R order)
    const BYTE top[9] = {200, 100, 50, 255, 255, 255, 10, 10, 10};  // corner, white, near black
    BYTE image[54 + 24] = {};
    BITMAPFILEHEADER file = {0x4D42, sizeof image, 0, 0, 54};
    BITMAPINFOHEADER info = {sizeof(BITMAPINFOHEADER), 3, 2, 1, 24, BI_RGB, 24, 0, 0, 0, 0};
    std::memcpy(image, &file, sizeof file);
    std::memcpy(image + sizeof file, &info, sizeof info);
    std::memcpy(image + 54, bottom, sizeof bottom);
    std::memcpy(image + 54 + 12, top, sizeof top);
    const HRESULT com = CoInitialize(nullptr);  // the picture codecs are COM objects
    CSiteIcon icon;
    ASSERT_TRUE(icon.SetData(image, sizeof image));
    EXPECT_EQ(RGB(50, 100, 200), icon.GetTransColor());
    const std::vector<BYTE>& data = icon.m_IconData;
    ASSERT_GE(data.size(), 14u + 40u + 64u + 8u);
    BITMAPFILEHEADER storedFile;
    BITMAPINFOHEADER storedInfo;
    std::memcpy(&storedFile, data.data(), sizeof storedFile);
    std::memcpy(&storedInfo, data.data() + sizeof storedFile, sizeof storedInfo);
    EXPECT_EQ(0x4D42, storedFile.bfType);
    EXPECT_EQ(data.size(), storedFile.bfSize);
    EXPECT_EQ(4, storedInfo.biBitCount);
    EXPECT_EQ(3, storedInfo.biWidth);
    EXPECT_EQ(2, storedInfo.biHeight);
    // Standard palette indices: red 9, green 10, blue 12 on the bottom row; the corner's nearest
    // (0, 128, 128 is 6), white 15, black 0 on the top row.
    const BYTE* bits = data.data() + storedFile.bfOffBits;
    EXPECT_EQ(0x9A, bits[0]);
    EXPECT_EQ(0xC0, bits[1] & 0xF0);
    EXPECT_EQ(0x6F, bits[4]);
    EXPECT_EQ(0x00, bits[5] & 0xF0);
    DWORD sum = 0;
    for (BYTE b : data)
        sum += b;
    EXPECT_EQ(sum, icon.m_nCheckSum);
    EXPECT_NE(nullptr, icon.GetIcon());
    if (SUCCEEDED(com))
        CoUninitialize();
}

}  // namespace
