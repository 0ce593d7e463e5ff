// The registrar against the real registry of the test prefix: scripts register and unregister,
// flags behave, and malformed scripts are refused before anything is written.
#include <gtest/gtest.h>
#include <atlbase.h>
#include <string>

namespace {

const wchar_t kRoot[] = L"Software\\TarnRegistrarTest";

bool KeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

std::wstring Text(const std::wstring& path, const wchar_t* name = L"") {
    wchar_t buffer[512];
    DWORD size = sizeof buffer, type = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                       &type, buffer, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return buffer;
}

DWORD Number(const std::wstring& path, const wchar_t* name) {
    DWORD value = 0xDEADBEEF, size = sizeof value;
    ::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

class RegistrarTest : public ::testing::Test {
protected:
    void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kRoot); }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kRoot); }
    std::wstring Key(const std::wstring& rest = L"") const {
        return rest.empty() ? std::wstring(kRoot) : std::wstring(kRoot) + L"\\" + rest;
    }
    CRegistrar registrar;
};

const wchar_t kClassScript[] =
    L"HKCU\n"
    L"{\n"
    L"  NoRemove Software\n"
    L"  {\n"
    L"    NoRemove TarnRegistrarTest\n"
    L"    {\n"
    L"      Sample.Thing.1 = s 'Thing Class'\n"
    L"      {\n"
    L"        CLSID = s '{11111111-2222-3333-4444-555555555555}'\n"
    L"      }\n"
    L"      ForceRemove {11111111-2222-3333-4444-555555555555} = s 'Thing Class'\n"
    L"      {\n"
    L"        InprocServer32 = s '%MODULE%'\n"
    L"        {\n"
    L"          val ThreadingModel = s 'both'\n"
    L"        }\n"
    L"        'Quoted Name' = s 'it''s %% done'\n"
    L"        Counter = d 0x2A\n"
    L"        Programmable\n"
    L"      }\n"
    L"    }\n"
    L"  }\n"
    L"}\n";

}  // namespace

TEST_F(RegistrarTest, RegistersKeysValuesAndReplacements) {
    registrar.AddReplacement(L"MODULE", L"C:\\Program Files\\It's\\Thing.dll");
    ASSERT_EQ(S_OK, registrar.StringRegister(kClassScript)) << std::string(registrar.LastError().begin(), registrar.LastError().end());
    const std::wstring classKey = Key(L"{11111111-2222-3333-4444-555555555555}");
    EXPECT_EQ(L"Thing Class", Text(Key(L"Sample.Thing.1")));
    EXPECT_EQ(L"{11111111-2222-3333-4444-555555555555}", Text(Key(L"Sample.Thing.1\\CLSID")));
    EXPECT_EQ(L"Thing Class", Text(classKey));
    EXPECT_EQ(L"C:\\Program Files\\It's\\Thing.dll", Text(classKey + L"\\InprocServer32"));
    EXPECT_EQ(L"both", Text(classKey + L"\\InprocServer32", L"ThreadingModel"));
    EXPECT_EQ(L"it's % done", Text(classKey + L"\\Quoted Name"));
    EXPECT_EQ(42u, Number(classKey + L"\\Counter", L""));
    EXPECT_TRUE(KeyExists(classKey + L"\\Programmable"));
}

TEST_F(RegistrarTest, ForceRemoveReplacesTheWholeKey) {
    registrar.AddReplacement(L"module", L"first.dll");
    ASSERT_EQ(S_OK, registrar.StringRegister(kClassScript));
    const std::wstring classKey = Key(L"{11111111-2222-3333-4444-555555555555}");
    HKEY stray = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyW(HKEY_CURRENT_USER, (classKey + L"\\Stray").c_str(), &stray));
    ::RegCloseKey(stray);
    registrar.AddReplacement(L"MODULE", L"second.dll");
    ASSERT_EQ(S_OK, registrar.StringRegister(kClassScript));
    EXPECT_FALSE(KeyExists(classKey + L"\\Stray"));
    EXPECT_EQ(L"second.dll", Text(classKey + L"\\InprocServer32"));
}

TEST_F(RegistrarTest, UnregisterRemovesWhatItWroteAndKeepsNoRemoveKeys) {
    registrar.AddReplacement(L"MODULE", L"thing.dll");
    ASSERT_EQ(S_OK, registrar.StringRegister(kClassScript));
    // Something else living under a plain key keeps that key alive.
    HKEY other = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyW(HKEY_CURRENT_USER, Key(L"Sample.Thing.1\\Other").c_str(), &other));
    ::RegCloseKey(other);
    ASSERT_EQ(S_OK, registrar.StringUnregister(kClassScript));
    EXPECT_FALSE(KeyExists(Key(L"{11111111-2222-3333-4444-555555555555}")));
    EXPECT_FALSE(KeyExists(Key(L"Sample.Thing.1\\CLSID")));
    EXPECT_TRUE(KeyExists(Key(L"Sample.Thing.1\\Other")));
    EXPECT_TRUE(KeyExists(Key()));
    // Unregistering what is not there is no error.
    EXPECT_EQ(S_OK, registrar.StringUnregister(kClassScript));
}

TEST_F(RegistrarTest, MalformedScriptsAreRefusedBeforeWriting) {
    struct Case {
        const wchar_t* script;
        const wchar_t* complaint;
    } cases[] = {
        {L"HKCU { Software { TarnRegistrarTest { A = s 'x' ", L"missing '}'"},
        {L"HKXX { A }", L"unknown registry root"},
        {L"HKCU Software { }", L"expected '{'"},
        {L"HKCU { NoRemove Software { TarnRegistrarTest { A = s 'unterminated } } }", L"unterminated quoted"},
        {L"HKCU { NoRemove Software { TarnRegistrarTest { A = q 'x' } } }", L"unknown value type"},
        {L"HKCU { NoRemove Software { TarnRegistrarTest { A = d 'twelve' } } }", L"not a number"},
        {L"HKCU { NoRemove Software { TarnRegistrarTest { A = s bare } } }", L"must be quoted"},
        {L"HKCU { NoRemove Software { TarnRegistrarTest { A = s '%NOSUCH%' } } }", L"unknown replacement"},
        {L"HKCU { NoRemove Software { TarnRegistrarTest { A = s '%MODULE' } } }", L"unterminated %"},
        {L"HKCU { val X = s 'y' }", L"needs a key"},
        {L"HKCU { NoRemove Software { TarnRegistrarTest { A\\B = s 'x' } } }", L"backslash"},
        {L"HKCU { NoRemove Software { TarnRegistrarTest { Good = s 'x' } } ForceRemove }", L"key name missing"},
    };
    registrar.AddReplacement(L"MODULE", L"m.dll");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.complaint, c.complaint + wcslen(c.complaint)));
        EXPECT_EQ(REGDB_E_INVALIDVALUE, registrar.StringRegister(c.script));
        EXPECT_NE(std::wstring::npos, registrar.LastError().find(c.complaint))
            << std::string(registrar.LastError().begin(), registrar.LastError().end());
        EXPECT_NE(std::wstring::npos, registrar.LastError().find(L"line "));
        EXPECT_FALSE(KeyExists(Key()));
    }
}

TEST_F(RegistrarTest, MissingScriptResourceIsReported) {
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND),
              registrar.ResourceRegister(::GetModuleHandleW(nullptr), 4242));
    EXPECT_NE(std::wstring::npos, registrar.LastError().find(L"4242"));
}
