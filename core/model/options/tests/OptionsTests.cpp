#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ClWinApp.h"
#include "OptionsManager.h"
#include "PaletteBytes.h"
#include "RegistryFixture.h"
#include "StyleLibrary.h"
#include "TempFiles.h"

namespace {

const std::string kFamily = "TarnOptionsTests";
const std::string kRoot = "SOFTWARE\\" + kFamily;
const std::string kEngine = kRoot + "\\Engine";
const std::string kApp = kRoot + "\\Card";

// A manager that records a failed store instead of showing a box.
class TestOptions : public COptionsManager {
public:
    explicit TestOptions(CRecentFileList* recent = nullptr) : COptionsManager(recent, kFamily.c_str(), "Engine", "Card")
    {
        Initialize();
    }
    int failures = 0;

protected:
    void ReportStoreFailure() override { ++failures; }
};

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        regtest::DeleteTree(HKEY_CURRENT_USER, kRoot);
        regtest::DeleteTree(HKEY_LOCAL_MACHINE, kRoot);
    }
    void TearDown() override { SetUp(); }

    static void LoadAll(COptionsManager& options)
    {
        options.BeforeLoading();
        options.LoadOptions(1, nullptr);
        options.LoadOptions(0, nullptr);
        options.LoadOptions(1, "Card");
        options.LoadOptions(0, "Card");
        options.AfterLoading();
    }
    static void StoreAll(COptionsManager& options)
    {
        EXPECT_TRUE(options.StoreOptions(1, nullptr));
        EXPECT_TRUE(options.StoreOptions(0, nullptr));
        EXPECT_TRUE(options.StoreOptions(1, "Card"));
        EXPECT_TRUE(options.StoreOptions(0, "Card"));
    }
};

TEST_F(OptionsTest, DefaultsHoldWithoutAnyKey)
{
    TestOptions options;
    EXPECT_EQ(options.m_nRecentFilesNum, 5);
    EXPECT_DOUBLE_EQ(options.m_dZoomFactor, 2.0);
    EXPECT_DOUBLE_EQ(options.m_DuplicateOffset.x, 24.0);
    EXPECT_EQ(options.m_clGridColor, 0xFF0000u);
    EXPECT_EQ(options.m_nDefPrintRangeSelection, -1);
    EXPECT_STREQ(options.m_strDownloadDirectory, "Download");
    EXPECT_EQ(options.m_strExportDirectory.Right(1), CString("\\"));
    EXPECT_EQ(options.m_FavoriteURLs.size(), 1u);
    int value = -1;
    EXPECT_TRUE(options.VC_GetValue("ParseMetafiles", &value));
    EXPECT_EQ(value, 1);
    EXPECT_TRUE(options.VC_GetValue("ParseCircGrad", &value));
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(options.VC_GetValue("SupportGif", &value));
    EXPECT_EQ(options.m_ControlValues.size(), 6u);
    EXPECT_EQ(options.m_ControlValues["SupportTif"].scope, 3);

    EXPECT_FALSE(options.LoadOptions(0, "Card"));  // no key: FALSE, defaults kept
    EXPECT_EQ(options.m_nRecentFilesNum, 5);
    EXPECT_NE(options.m_pStyleLib, nullptr);
}

TEST_F(OptionsTest, RecentFilesNumberIsClampedAndSizesTheRecentFileList)
{
    struct Case {
        DWORD stored;
        int expected;
    } const cases[] = {{0, 1}, {12, 9}, {7, 7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        regtest::PutDword(HKEY_CURRENT_USER, kEngine + "\\General", "RecentFilesNum", c.stored);
        regtest::PutText(HKEY_CURRENT_USER, kApp + "\\RecentFilesList", "File1", "C:\\cards\\one.krd");
        CRecentFileList recent(0, "Recent File List", "File%d", 5);
        TestOptions options(&recent);
        LoadAll(options);
        EXPECT_EQ(options.m_nRecentFilesNum, c.expected);
        EXPECT_EQ(recent.GetSize(), c.expected);
        EXPECT_STREQ(recent[0], "C:\\cards\\one.krd");
    }
}

TEST_F(OptionsTest, ValuesOfTheWrongTypeOrSizeKeepTheDefaults)
{
    const float four = 3.0f;
    regtest::PutBinary(HKEY_CURRENT_USER, kEngine + "\\General", "ZoomFactor", &four, sizeof four);
    const double offset[3] = {1, 2, 3};
    regtest::PutBinary(HKEY_CURRENT_USER, kEngine + "\\General", "DuplicateOffset", offset, sizeof offset);
    regtest::PutText(HKEY_CURRENT_USER, kEngine + "\\General", "ScrollTimerRate", "fast");
    regtest::PutBinary(HKEY_CURRENT_USER, kApp + "\\General", "ShowGrid", "\x01", 1);
    regtest::PutDword(HKEY_CURRENT_USER, kApp + "\\General", "LastOpened", 5);
    TestOptions options;
    LoadAll(options);
    EXPECT_DOUBLE_EQ(options.m_dZoomFactor, 2.0);
    EXPECT_DOUBLE_EQ(options.m_DuplicateOffset.y, 24.0);
    EXPECT_EQ(options.m_nScrollTimerRate, 50);
    EXPECT_EQ(options.m_bShowGrid, 0);
    EXPECT_TRUE(options.m_strLastOpened.IsEmpty());

    const double zoom = 3.5;
    regtest::PutBinary(HKEY_CURRENT_USER, kEngine + "\\General", "ZoomFactor", &zoom, sizeof zoom);
    TestOptions again;
    LoadAll(again);
    EXPECT_DOUBLE_EQ(again.m_dZoomFactor, 3.5);
}

TEST_F(OptionsTest, MachineApplicationKeySetsDefaultsThatTheUserOverrides)
{
    regtest::PutText(HKEY_LOCAL_MACHINE, kApp + "\\General", "MeasurementUnits", "cm");
    regtest::PutDword(HKEY_LOCAL_MACHINE, kApp + "\\General", "DefaultDocStyle", 3);
    regtest::PutDword(HKEY_LOCAL_MACHINE, kApp + "\\General", "SoundsEnabled", 1);
    regtest::PutText(HKEY_LOCAL_MACHINE, kApp + "\\General", "TemplatesLocation", "C:\\templates");
    regtest::PutText(HKEY_CURRENT_USER, kApp + "\\General", "MeasurementUnits", "mm");
    regtest::PutText(HKEY_CURRENT_USER, kApp + "\\General", "LastOpenedSound", "ding.wav");
    regtest::PutDword(HKEY_CURRENT_USER, kApp + "\\Printing", "PrintBackground", 1);
    TestOptions options;
    LoadAll(options);
    EXPECT_STREQ(options.m_strMeasurementUnits, "mm");
    EXPECT_EQ(options.m_nDefaultDocStyle, 3);
    EXPECT_TRUE(options.m_bSoundsEnabled);
    EXPECT_STREQ(options.m_strLastOpenedSound, "ding.wav");  // read because sounds are enabled
    EXPECT_STREQ(options.m_strTemplatesLocation, "C:\\templates");
    EXPECT_EQ(options.m_bPrintBackground, 1);
}

// Byte-sized switches follow the registry's boolean rule: only 1 is true.
TEST_F(OptionsTest, ByteSwitchesAreTrueOnlyForOne)
{
    struct Case {
        DWORD stored;
        bool expected;
    } cases[] = {{0, false}, {1, true}, {2, false}, {0xFF, false}};
    for (const Case& c : cases) {
        regtest::PutDword(HKEY_LOCAL_MACHINE, kApp + "\\General", "SoundsEnabled", c.stored);
        regtest::PutDword(HKEY_LOCAL_MACHINE, kApp + "\\General", "SitesBarEnabled", c.stored);
        TestOptions options;
        LoadAll(options);
        EXPECT_EQ(c.expected, options.m_bSoundsEnabled) << c.stored;
        EXPECT_EQ(c.expected, options.m_bSitesBarEnabled) << c.stored;
    }
}

TEST_F(OptionsTest, ControlValuesStayWithTheKeyTheyCameFrom)
{
    regtest::PutDword(HKEY_LOCAL_MACHINE, kApp + "\\TarnControls", "MachineOnly", 11);
    regtest::PutText(HKEY_CURRENT_USER, kApp + "\\TarnControls", "ImageClipartDir", "C:\\clips");
    regtest::PutDword(HKEY_CURRENT_USER, kApp + "\\TarnControls", "supportgif", 1);
    regtest::PutBinary(HKEY_CURRENT_USER, kEngine + "\\TarnControls", "Blob", "\x01\x02\x03", 3);
    {
        TestOptions options;
        LoadAll(options);
        int value = 0;
        EXPECT_TRUE(options.VC_GetValue("MachineOnly", &value));
        EXPECT_EQ(value, 11);
        EXPECT_TRUE(options.VC_GetValue("SupportGif", &value));
        EXPECT_EQ(value, 0) << "the registry's support value is not taken";
        EXPECT_EQ(options.m_ControlValues.count("supportgif"), 0u);
        char text[260];
        EXPECT_TRUE(options.VC_GetValue("ImageClipartDir", text));
        EXPECT_STREQ(text, "C:\\clips");
        BYTE blob[8] = {};
        EXPECT_TRUE(options.VC_GetValue("Blob", static_cast<void*>(blob)));
        EXPECT_EQ(blob[2], 3);
        EXPECT_FALSE(options.VC_GetValue("Blob", &value)) << "another kind";
        regtest::DeleteTree(HKEY_CURRENT_USER, kRoot);
        regtest::DeleteTree(HKEY_LOCAL_MACHINE, kRoot);
        StoreAll(options);
    }
    EXPECT_TRUE(regtest::Exists(HKEY_LOCAL_MACHINE, kApp + "\\TarnControls", "MachineOnly"));
    EXPECT_FALSE(regtest::Exists(HKEY_CURRENT_USER, kApp + "\\TarnControls", "MachineOnly"));
    EXPECT_FALSE(regtest::Exists(HKEY_LOCAL_MACHINE, kEngine + "\\TarnControls", "MachineOnly"));
    EXPECT_TRUE(regtest::Exists(HKEY_CURRENT_USER, kApp + "\\TarnControls", "ParseMetafiles"));
    EXPECT_TRUE(regtest::Exists(HKEY_CURRENT_USER, kEngine + "\\TarnControls", "Blob"));
    for (HKEY hive : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        for (const std::string& key : {kApp, kEngine}) {
            EXPECT_FALSE(regtest::Exists(hive, key + "\\TarnControls", "SupportGif"));
            EXPECT_FALSE(regtest::Exists(hive, key + "\\TarnControls", "SupportTif"));
        }
}

TEST_F(OptionsTest, ControlValuesLargerThanTheBufferAreCutAndReported)
{
    TestOptions options;
    const std::string longText(400, 'p');
    options.VC_SetValue("ImageImportDir", longText.c_str(), 0, 1);
    char text[260];
    std::memset(text, 'x', sizeof text);
    EXPECT_FALSE(options.VC_GetValue("ImageImportDir", text));
    EXPECT_EQ(std::strlen(text), 259u);
    char small[8];
    EXPECT_FALSE(options.VC_GetValue("ImageImportDir", small, sizeof small));
    EXPECT_STREQ(small, "ppppppp");

    std::string bytes(300, '\x5A');
    options.VC_SetValue("Pattern", bytes.data(), static_cast<int>(bytes.size()), 0, 1);
    BYTE buffer[261] = {};
    EXPECT_FALSE(options.VC_GetValue("Pattern", static_cast<void*>(buffer)));
    EXPECT_EQ(buffer[259], 0x5A);
    EXPECT_EQ(buffer[260], 0) << "nothing beyond the buffer";
    EXPECT_FALSE(options.VC_GetValue("Missing", text));
    EXPECT_FALSE(options.VC_GetValue("ImageImportDir", static_cast<int*>(nullptr)));
}

TEST_F(OptionsTest, ItemListsFindCreateAndRoundTrip)
{
    {
        TestOptions options;
        auto* printer =
            dynamic_cast<CPrinterCalibrationItem*>(options.GetItemByName(options.m_nPrintersList, "hp laserjet", 1, 1));
        ASSERT_NE(printer, nullptr);
        printer->m_OffsetPoint = CPointF(0.25, -0.5);
        EXPECT_EQ(options.GetItemByName(options.m_nPrintersList, "HP LaserJet", 0, 0), printer);
        EXPECT_EQ(options.GetItemByName(options.m_nPrintersList, "HP LaserJet", 1, 0), nullptr);
        auto* mail = dynamic_cast<CMailMessageItem*>(options.GetMailOptions("Greeting"));
        ASSERT_NE(mail, nullptr);
        mail->m_strSubject = "Hello";
        StoreAll(options);
    }
    EXPECT_STREQ(regtest::Text(HKEY_LOCAL_MACHINE, kApp + "\\Printers\\Item0", "Name").c_str(), "hp laserjet");
    EXPECT_STREQ(regtest::Text(HKEY_CURRENT_USER, kApp + "\\Mail\\Item0", "Subject").c_str(), "Hello");

    TestOptions loaded;
    LoadAll(loaded);
    auto* printer = dynamic_cast<CPrinterCalibrationItem*>(loaded.GetItemByName(loaded.m_nPrintersList, "HP LASERJET", 0, 0));
    ASSERT_NE(printer, nullptr);
    EXPECT_DOUBLE_EQ(printer->m_OffsetPoint.x, 0.25);
    EXPECT_DOUBLE_EQ(printer->m_OffsetPoint.y, -0.5);
    auto* attached = dynamic_cast<CMailMessageItem*>(loaded.GetItemByName(loaded.m_nMailList, "AttachedDoc", 1, 0));
    ASSERT_NE(attached, nullptr);
    EXPECT_FALSE(attached->m_strMessageType.IsEmpty());
}

TEST_F(OptionsTest, StoringReplacesOldItemsButKeepsTheInstallersMenuEntries)
{
    regtest::PutText(HKEY_LOCAL_MACHINE, kApp + "\\Printers\\Stale", "Name", "old printer");
    regtest::PutText(HKEY_LOCAL_MACHINE, kApp + "\\CustomMenu\\Extra", "Name", "Shop");
    regtest::PutDword(HKEY_LOCAL_MACHINE, kApp + "\\CustomMenu\\Extra", "ID", 777);
    TestOptions options;
    LoadAll(options);
    ASSERT_EQ(options.GetItemListByIndex(options.m_nCustomMenuList)->GetSize(), 1);
    auto* menu = dynamic_cast<CCustomMenuItem*>(options.GetItemListByIndex(options.m_nCustomMenuList)->GetItem(0));
    EXPECT_EQ(menu->m_nID, 777u);
    ASSERT_EQ(options.GetItemListByIndex(options.m_nPrintersList)->GetSize(), 1);
    options.GetItemListByIndex(options.m_nPrintersList)->Clear();
    StoreAll(options);
    EXPECT_FALSE(regtest::KeyExists(HKEY_LOCAL_MACHINE, kApp + "\\Printers\\Stale"));
    EXPECT_TRUE(regtest::KeyExists(HKEY_LOCAL_MACHINE, kApp + "\\CustomMenu\\Extra"));
}

TEST_F(OptionsTest, InstallerToolbarCustomisationsSurviveAStoreAndLoadAgain)
{
    regtest::PutText(HKEY_LOCAL_MACHINE, kApp + "\\CustomToolbar\\Button", "Name", "Shop");
    regtest::PutDword(HKEY_LOCAL_MACHINE, kApp + "\\CustomToolbar\\Button", "SrcBarID", 5);
    regtest::PutBinary(HKEY_LOCAL_MACHINE, kApp + "\\CustomToolbar\\Button", "ButtonImage", "\x42\x4D", 2);
    {
        TestOptions options;
        LoadAll(options);
        StoreAll(options);
    }
    TestOptions options;
    EXPECT_TRUE(options.LoadOptions(1, "Card"));
    CItemsList* toolbar = options.GetItemListByIndex(options.m_nCustomToolbarList);
    ASSERT_EQ(toolbar->GetSize(), 1);
    auto* button = dynamic_cast<CCustomToolbarItem*>(toolbar->GetItem(0));
    EXPECT_EQ(button->m_nSrcBarID, 5u);
    EXPECT_EQ(button->m_ButtonImage.size(), 2u);
    EXPECT_EQ(button->m_clTransColor, 0xC0C0C0u);
    EXPECT_TRUE(button->m_bInsBefore);
}

TEST_F(OptionsTest, FavouritesAreReplacedOnlyByNonEmptyValues)
{
    regtest::Create(HKEY_CURRENT_USER, kApp + "\\FavoriteURLList");
    RegCloseKey(regtest::Create(HKEY_CURRENT_USER, kApp + "\\FavoriteURLList"));
    {
        TestOptions options;
        LoadAll(options);
        EXPECT_EQ(options.m_FavoriteURLs.size(), 1u);
        EXPECT_EQ(options.m_FavoriteURLs.count(kDefaultFavoriteName), 1u);
    }
    regtest::PutText(HKEY_CURRENT_USER, kApp + "\\FavoriteURLList", "Mine", "http://cards.example/");
    TestOptions options;
    LoadAll(options);
    ASSERT_EQ(options.m_FavoriteURLs.size(), 1u);
    EXPECT_STREQ(options.m_FavoriteURLs["Mine"], "http://cards.example/");
}

TEST_F(OptionsTest, StringListsReadUntilTheFirstGapAndShrinkWhenStored)
{
    regtest::PutText(HKEY_CURRENT_USER, kApp + "\\MRUFontList", "MRUFont0", "Arial");
    regtest::PutText(HKEY_CURRENT_USER, kApp + "\\MRUFontList", "MRUFont1", "Tahoma");
    regtest::PutText(HKEY_CURRENT_USER, kApp + "\\MRUFontList", "MRUFont3", "Lost");
    {
        TestOptions options;
        LoadAll(options);
        ASSERT_EQ(options.m_MRUFonts.size(), 2u);
        options.m_MRUFonts.pop_back();
        StoreAll(options);
    }
    TestOptions options;
    LoadAll(options);
    ASSERT_EQ(options.m_MRUFonts.size(), 1u);
    EXPECT_STREQ(options.m_MRUFonts[0], "Arial");
}

TEST_F(OptionsTest, ValuesStoredAreReadBack)
{
    {
        TestOptions options;
        options.m_dZoomFactor = 1.25;
        options.m_DuplicateOffset = CPointF(3, 4);
        options.m_dGridMajorSpacing = 0.125;
        options.m_clGridColor = 0x00AB12;
        options.m_strLastSaved = "C:\\out";
        options.m_bAskPrinterAdjustment = 1;
        options.m_strTemplatesLocation = "D:\\tpl";
        StoreAll(options);
    }
    TestOptions options;
    LoadAll(options);
    EXPECT_DOUBLE_EQ(options.m_dZoomFactor, 1.25);
    EXPECT_DOUBLE_EQ(options.m_DuplicateOffset.y, 4.0);
    EXPECT_DOUBLE_EQ(options.m_dGridMajorSpacing, 0.125);
    EXPECT_EQ(options.m_clGridColor, 0x00AB12u);
    EXPECT_STREQ(options.m_strLastSaved, "C:\\out");
    EXPECT_EQ(options.m_bAskPrinterAdjustment, 1);
    EXPECT_STREQ(options.m_strTemplatesLocation, "D:\\tpl");
    EXPECT_STREQ(regtest::Text(HKEY_CURRENT_USER, kApp + "\\General", "GridMajorSpacing").c_str(), "0.125");
}

TEST_F(OptionsTest, PaletteFilesLoadInListOrderAndBadOnesLeaveTheList)
{
    TempFile first("pal_first"), third("pal_third"), lower("pal_lower");
    first.Write(PaletteFileBytes("TARN", "First", {{1, "a"}}));
    third.Write(PaletteFileBytes("TARN", "Third", {}));
    lower.Write(PaletteFileBytes("tarn", "Lower", {}));
    TestOptions options;
    options.m_CPLFiles = {first.Path().c_str(), "C:\\missing\\gone.cpl", lower.Path().c_str(), third.Path().c_str()};
    EXPECT_TRUE(options.LoadColorPalettes());
    ASSERT_EQ(options.m_Palettes.size(), 2u);
    EXPECT_STREQ(options.m_Palettes[0]->m_name, "First");
    EXPECT_STREQ(options.m_Palettes[1]->m_name, "Third");
    ASSERT_EQ(options.m_CPLFiles.size(), 2u);
    EXPECT_STREQ(options.m_CPLFiles[1], third.Path().c_str());

    TestOptions fresh;
    EXPECT_TRUE(fresh.LoadColorPalettes());
    ASSERT_EQ(fresh.m_Palettes.size(), 1u);
    EXPECT_EQ(fresh.m_Palettes[0]->m_items.size(), 295u);
    ASSERT_EQ(fresh.m_CPLFiles.size(), 1u);
    EXPECT_EQ(fresh.m_CPLFiles[0].Right(4), CString(".cpl"));
    EXPECT_EQ(fresh.m_CPLFiles[0].Find(".exe"), -1);
}

// Fails in the "Printing" writer, as a registry refusing a value would.
class FailingPrintingOptions : public TestOptions {
public:
    void WritePrintingSection() override { Fail(); }
};

TEST_F(OptionsTest, AFailedWriterEndsTheStoreAndIsReportedOnce)
{
    FailingPrintingOptions options;
    EXPECT_TRUE(options.StoreOptions(0, nullptr));
    EXPECT_FALSE(options.StoreOptions(0, "Card"));
    EXPECT_EQ(options.failures, 1);
    EXPECT_TRUE(regtest::KeyExists(HKEY_CURRENT_USER, kApp + "\\RecentFilesList"));
    EXPECT_FALSE(regtest::KeyExists(HKEY_CURRENT_USER, kApp + "\\General")) << "sections after the failure";
    // The keys were closed: the next call works from the hive's root again.
    EXPECT_TRUE(options.StoreOptions(1, "Card"));
    EXPECT_TRUE(regtest::Exists(HKEY_LOCAL_MACHINE, kApp + "\\General", "TemplatesLocation"));
}

TEST_F(OptionsTest, AnItemThatCannotLoadEndsThatLoadCall)
{
    regtest::PutText(HKEY_LOCAL_MACHINE, kApp + "\\Printers\\Item0", "Name", "good");
    regtest::PutDword(HKEY_LOCAL_MACHINE, kApp + "\\Printers\\Item1", "NoName", 1);
    regtest::PutText(HKEY_LOCAL_MACHINE, kApp + "\\FavoriteURLList", "Later", "http://later.example/");
    regtest::PutText(HKEY_LOCAL_MACHINE, kApp + "\\General", "DownloadDirectory", "Fetched");
    TestOptions options;
    EXPECT_FALSE(options.LoadOptions(1, "Card"));
    EXPECT_STREQ(options.m_strDownloadDirectory, "Fetched") << "sections before the list were read";
    EXPECT_EQ(options.GetItemListByIndex(options.m_nPrintersList)->GetSize(), 1);
    EXPECT_EQ(options.m_FavoriteURLs.count("Later"), 0u) << "sections after the list were not";
}

TEST_F(OptionsTest, ControlValuesOfOtherRegistryTypesAreNotTaken)
{
    HKEY key = regtest::Create(HKEY_CURRENT_USER, kApp + "\\TarnControls");
    const char multi[] = "a\0b\0";
    RegSetValueExA(key, "Multi", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi), sizeof multi);
    const BYTE shortDword[2] = {1, 2};
    RegSetValueExA(key, "ShortNumber", 0, REG_DWORD, shortDword, sizeof shortDword);
    RegCloseKey(key);
    TestOptions options;
    LoadAll(options);
    EXPECT_EQ(options.m_ControlValues.count("Multi"), 0u);
    EXPECT_EQ(options.m_ControlValues.count("ShortNumber"), 0u);
}

}  // namespace
