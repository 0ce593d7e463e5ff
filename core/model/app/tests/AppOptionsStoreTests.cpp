// The controls' option values: kinds and scopes kept apart, moved to and from the "TarnControls"
// section of the right key, and nothing read that could overrun what a caller receives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppOptionsStore.h"

namespace {
const char kFamily[] = "TarnTestsOptions";

void DeleteFamily() {
    RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\TarnTestsOptions");
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\TarnTestsOptions");
}

std::string ReadText(HKEY root, const char* path, const char* name) {
    char buffer[512] = {};
    DWORD size = sizeof(buffer), type = 0;
    if (RegGetValueA(root, path, name, RRF_RT_REG_SZ, &type, buffer, &size) != ERROR_SUCCESS) return "<missing>";
    return buffer;
}

DWORD ReadDword(HKEY root, const char* path, const char* name) {
    DWORD value = 0xDEADBEEF, size = sizeof(value);
    RegGetValueA(root, path, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

class OptionsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteFamily(); }
    void TearDown() override { DeleteFamily(); }
};

TEST_F(OptionsStoreTest, DefaultsAndKinds) {
    CAppOptionsStore store(kFamily, "Engine");
    int value = -1;
    EXPECT_TRUE(store.GetControlsInt("ParseMetafiles", &value));
    EXPECT_EQ(1, value);
    EXPECT_TRUE(store.GetControlsInt("parsecircgrad", &value));  // names compare without case
    EXPECT_EQ(0, value);
    std::string text;
    EXPECT_FALSE(store.GetControlsText("ParseMetafiles", text));  // stored as a number
    EXPECT_FALSE(store.GetControlsInt("Unknown", &value));
    EXPECT_FALSE(store.GetControlsInt(nullptr, &value));

    const std::string longText(5000, 'x');
    ASSERT_TRUE(store.SetControlsText("Long", longText.c_str(), 0, 1));
    ASSERT_TRUE(store.GetControlsText("Long", text));
    EXPECT_EQ(longText, text);
    std::vector<BYTE> block;
    EXPECT_FALSE(store.GetControlsBlock("Long", block));
    const std::vector<BYTE> bytes = {0, 1, 2, 255};
    ASSERT_TRUE(store.SetControlsBlock("Bytes", bytes.data(), 4, 1, 0));
    ASSERT_TRUE(store.GetControlsBlock("Bytes", block));
    EXPECT_EQ(bytes, block);
    EXPECT_FALSE(store.SetControlsBlock("Huge", bytes.data(), 0x10000, 0, 0));
    EXPECT_FALSE(store.SetControlsBlock("Negative", bytes.data(), -1, 0, 0));
    EXPECT_FALSE(store.SetControlsText("", "x", 0, 0));
    EXPECT_FALSE(store.SetControlsText("NoText", nullptr, 0, 0));
}

struct ScopeCase {
    int hive, level;
    HKEY root;
    const char* path;
};

TEST_F(OptionsStoreTest, EachValueIsStoredUnderItsOwnScopeOnly) {
    CAppOptionsStore store(kFamily, "Engine");
    const ScopeCase cases[] = {
        {0, 0, HKEY_CURRENT_USER, "SOFTWARE\\TarnTestsOptions\\Engine\\TarnControls"},
        {1, 0, HKEY_LOCAL_MACHINE, "SOFTWARE\\TarnTestsOptions\\Engine\\TarnControls"},
        {0, 1, HKEY_CURRENT_USER, "SOFTWARE\\TarnTestsOptions\\App\\TarnControls"},
        {1, 1, HKEY_LOCAL_MACHINE, "SOFTWARE\\TarnTestsOptions\\App\\TarnControls"},
    };
    for (const ScopeCase& c : cases) {
        const std::string name = "Scope" + std::to_string(c.hive) + std::to_string(c.level);
        ASSERT_TRUE(store.SetControlsText(name.c_str(), name.c_str(), c.hive, c.level));
    }
    for (const ScopeCase& c : cases) ASSERT_TRUE(store.StoreOptions(c.hive, c.level ? "App" : nullptr));
    for (const ScopeCase& c : cases) {
        for (const ScopeCase& other : cases) {
            const std::string name = "Scope" + std::to_string(other.hive) + std::to_string(other.level);
            const bool same = &c == &other;
            EXPECT_EQ(same ? name : std::string("<missing>"), ReadText(c.root, c.path, name.c_str()))
                << c.path << " " << name;
        }
    }
    // The two format switches live with their own option fields, never in the section.
    EXPECT_EQ("<missing>", ReadText(HKEY_LOCAL_MACHINE, cases[3].path, "SupportGif"));
    EXPECT_EQ(1u, ReadDword(HKEY_CURRENT_USER, cases[2].path, "ParseMetafiles"));
}

TEST_F(OptionsStoreTest, LoadingTakesEveryValueOfTheSectionWithTheKeysScope) {
    HKEY section = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\TarnTestsOptions\\App\\TarnControls", 0,
                                             nullptr, 0, KEY_ALL_ACCESS, nullptr, &section, nullptr));
    const DWORD seven = 7;
    const BYTE raw[3] = {9, 8, 7};
    RegSetValueExA(section, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>("hello"), 6);
    RegSetValueExA(section, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&seven), 4);
    RegSetValueExA(section, "Raw", 0, REG_BINARY, raw, 3);
    RegSetValueExA(section, "SUPPORTGIF", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&seven), 4);
    // A value longer than the section's limit is skipped, not truncated into the store.
    std::vector<BYTE> tooLong(9000, 'a');
    tooLong.back() = 0;
    RegSetValueExA(section, "TooLong", 0, REG_SZ, tooLong.data(), static_cast<DWORD>(tooLong.size()));
    RegCloseKey(section);

    CAppOptionsStore store(kFamily, "Engine");
    ASSERT_TRUE(store.LoadOptions(1, nullptr));  // missing keys keep the defaults
    ASSERT_TRUE(store.LoadOptions(0, "App"));
    std::string text;
    int number = 0;
    std::vector<BYTE> block;
    EXPECT_TRUE(store.GetControlsText("Text", text));
    EXPECT_EQ("hello", text);
    EXPECT_TRUE(store.GetControlsInt("Number", &number));
    EXPECT_EQ(7, number);
    EXPECT_TRUE(store.GetControlsBlock("Raw", block));
    EXPECT_EQ((std::vector<BYTE>{9, 8, 7}), block);
    EXPECT_TRUE(store.GetControlsInt("SupportGif", &number));
    EXPECT_EQ(0, number);
    EXPECT_FALSE(store.GetControlsText("TooLong", text));

    // Stored back, they land where they came from and nowhere else.
    DeleteFamily();
    for (int hive : {1, 0}) {
        store.StoreOptions(hive, nullptr);
        store.StoreOptions(hive, "App");
    }
    EXPECT_EQ("hello", ReadText(HKEY_CURRENT_USER, "SOFTWARE\\TarnTestsOptions\\App\\TarnControls", "Text"));
    EXPECT_EQ("<missing>", ReadText(HKEY_CURRENT_USER, "SOFTWARE\\TarnTestsOptions\\Engine\\TarnControls", "Text"));
    EXPECT_EQ(7u, ReadDword(HKEY_CURRENT_USER, "SOFTWARE\\TarnTestsOptions\\App\\TarnControls", "Number"));
}
}  // namespace
