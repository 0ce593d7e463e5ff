// How the document manager reads paths, picks a template and registers the shell's "New" entry.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "DocumentPaths.h"
#include "ShellNewEntry.h"

namespace {

CString TempFolder()
{
    char dir[MAX_PATH];
    ::GetTempPathA(MAX_PATH, dir);
    return dir;
}

TEST(DocumentPaths, QuotesAreDroppedAndPathsMadeAbsolute)
{
    char cwd[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, cwd);
    CString here(cwd);
    if (here.Right(1) != "\\") here += "\\";
    struct Case {
        const char* raw;
        CString expected;
    } cases[] = {
        {"\"C:\\cards\\a b.crd\"", "C:\\cards\\a b.crd"},
        {"C:\\cards\\plain.crd", "C:\\cards\\plain.crd"},
        {"\"C:\\cards\\x.crd\" /extra", "C:\\cards\\x.crd"},
        {"C:\\cards\\..\\cards\\y.crd", "C:\\cards\\y.crd"},
        {"relative.crd", here + "relative.crd"},
        {"", ""},
        {"\"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raw);
        EXPECT_STREQ(c.expected, CleanDocumentPath(c.raw));
    }
}

TEST(DocumentPaths, ShortcutsLeadToTheirTarget)
{
    ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
    const CString target = TempFolder() + "shortcut-target.crd";
    const CString shortcut = TempFolder() + "shortcut-to-card.lnk";
    {
        HANDLE file = ::CreateFileA(target, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        ::CloseHandle(file);
    }
    IShellLinkA* link = nullptr;
    ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                             reinterpret_cast<void**>(&link))));
    link->SetPath(target);
    IPersistFile* file = nullptr;
    ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
    WCHAR wide[MAX_PATH];
    ::MultiByteToWideChar(CP_ACP, 0, shortcut, -1, wide, MAX_PATH);
    ASSERT_TRUE(SUCCEEDED(file->Save(wide, TRUE)));
    file->Release();
    link->Release();

    EXPECT_STREQ(target, CleanDocumentPath("\"" + shortcut + "\""));
    EXPECT_STREQ("", ResolveShortcut(target));   // not a shortcut
    ::DeleteFileA(shortcut);
    ::DeleteFileA(target);
    ::CoUninitialize();
}

TEST(DocumentPaths, TheBestTemplateWinsAndAnOpenDocumentEndsTheSearch)
{
    using C = CDocTemplate;
    struct Case {
        std::vector<C::Confidence> answers;
        int expected;
    } cases[] = {
        {{}, -1},
        {{C::noAttempt, C::noAttempt}, -1},
        {{C::maybeAttemptForeign, C::yesAttemptNative}, 1},
        {{C::yesAttemptNative, C::yesAttemptNative}, 0},   // the first of equals
        {{C::yesAttemptNative, C::yesAlreadyOpen, C::yesAlreadyOpen}, 1},
        {{C::maybeAttemptNative, C::noAttempt, C::yesAttemptForeign}, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, ChooseDocTemplate(c.answers));
    }
}

TEST(DocumentPaths, ZeroLengthFiles)
{
    const CString empty = TempFolder() + "zero-length.crd";
    const CString full = TempFolder() + "not-empty.crd";
    HANDLE file = ::CreateFileA(empty, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    ::CloseHandle(file);
    file = ::CreateFileA(full, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(file, "x", 1, &written, nullptr);
    ::CloseHandle(file);
    EXPECT_TRUE(IsZeroLengthFile(empty));
    EXPECT_FALSE(IsZeroLengthFile(full));
    EXPECT_FALSE(IsZeroLengthFile(TempFolder() + "no-such-file.crd"));
    EXPECT_FALSE(IsZeroLengthFile(TempFolder()));
    EXPECT_FALSE(IsZeroLengthFile(nullptr));
    ::DeleteFileA(empty);
    ::DeleteFileA(full);
}

TEST(ShellNewEntry, OwnExtensionsOnly)
{
    EXPECT_TRUE(MayRegisterShellNew("", "Tarn.Card"));
    EXPECT_TRUE(MayRegisterShellNew("Tarn.Card", "Tarn.Card"));
    EXPECT_FALSE(MayRegisterShellNew("Other.Document", "Tarn.Card"));
    const ShellNewEntry entry = MakeShellNewEntry(".crd", "Tarn.Card", "TarnHost");
    EXPECT_STREQ(".crd\\Tarn.Card\\ShellNew", entry.key);
    EXPECT_STREQ("TarnHost.crd", entry.fileName);
}

// In the registry of the test run's prefix, with extensions no other test uses.
TEST(ShellNewEntry, WrittenForOwnTypesNotForAnotherProgramsExtension)
{
    const char* ownExt = ".tarnshelltest";
    const char* foreignExt = ".tarnforeigntest";
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CLASSES_ROOT, foreignExt, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr));
    ::RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("Other.Document"), 15);
    ::RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CLASSES_ROOT, ".tarnshelltest\\ShellNew", 0, nullptr, 0, KEY_SET_VALUE,
                                              nullptr, &key, nullptr));
    ::RegSetValueExA(key, "NullFile", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
    ::RegCloseKey(key);

    EXPECT_TRUE(RegisterShellNew(ownExt, "Tarn.ShellTest", "TarnHost"));
    EXPECT_FALSE(RegisterShellNew(foreignExt, "Tarn.ShellTest", "TarnHost"));

    char value[64] = "";
    DWORD size = sizeof value;
    EXPECT_EQ(ERROR_SUCCESS, ::RegGetValueA(HKEY_CLASSES_ROOT, ".tarnshelltest\\Tarn.ShellTest\\ShellNew", "FileName",
                                            RRF_RT_REG_SZ, nullptr, value, &size));
    EXPECT_STREQ("TarnHost.tarnshelltest", value);
    size = sizeof value;
    EXPECT_NE(ERROR_SUCCESS, ::RegGetValueA(HKEY_CLASSES_ROOT, ".tarnshelltest\\ShellNew", "NullFile", RRF_RT_ANY,
                                            nullptr, value, &size));
    EXPECT_NE(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CLASSES_ROOT, ".tarnforeigntest\\Tarn.ShellTest", 0, KEY_READ, &key));

    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, ownExt);
    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, foreignExt);
}

}  // namespace
