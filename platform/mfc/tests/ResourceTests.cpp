// Strings from the resource chain: the module's own resources, then its extension libraries.
#include "TestResources.h"

#include <classlib.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

HINSTANCE ThisProgram() { return GetModuleHandleA(nullptr); }
HINSTANCE LibraryWithoutTestStrings() { return GetModuleHandleA("ClassLib.dll"); }

// Points the application's resources elsewhere for one test.
class ResourceHandleScope {
public:
    explicit ResourceHandleScope(HINSTANCE h) : m_previous(AfxGetResourceHandle()) { AfxSetResourceHandle(h); }
    ~ResourceHandleScope() { AfxSetResourceHandle(m_previous); }
private:
    HINSTANCE m_previous;
};

TEST(ResourceStrings, LoadFromTheProgramsOwnResources)
{
    struct Case { UINT id; const char* expected; };
    const Case cases[] = {
        {IDS_GREETING, "Hello from the resources"},
        {IDS_LAST_OF_BLOCK, "last string of its block"},
    };
    for (const Case& c : cases) {
        CString s;
        EXPECT_TRUE(s.LoadString(c.id)) << c.id;
        EXPECT_STREQ(s, c.expected);
    }
    CString fromId(MAKEINTRESOURCEA(IDS_GREETING));
    EXPECT_STREQ(fromId, "Hello from the resources");

    CString formatted;
    formatted.Format(IDS_FORMAT, 3, "box");
    EXPECT_STREQ(formatted, "3 items in box");
}

TEST(ResourceStrings, MissingStringsLeaveTheTargetUnchanged)
{
    for (UINT id : {UINT(IDS_EMPTY_NEIGHBOUR), 100u, 5000u, 65535u}) {
        CString s("kept");
        EXPECT_FALSE(s.LoadString(id)) << id;
        EXPECT_STREQ(s, "kept");
    }
}

TEST(ResourceStrings, ExtensionLibrariesJoinAndLeaveTheChain)
{
    ASSERT_NE(LibraryWithoutTestStrings(), nullptr);
    ResourceHandleScope scope(LibraryWithoutTestStrings());
    CString s;
    EXPECT_FALSE(s.LoadString(IDS_GREETING));

    AFX_EXTENSION_MODULE module = {};
    ASSERT_TRUE(AfxInitExtensionModule(module, ThisProgram()));
    {
        auto link = std::make_unique<CDynLinkLibrary>(module);
        EXPECT_TRUE(s.LoadString(IDS_GREETING));
        EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEA(IDS_GREETING / 16 + 1), MAKEINTRESOURCEA(6)), ThisProgram());
        const std::vector<HINSTANCE> chain = AfxGetResourceChain();
        ASSERT_EQ(chain.size(), 2u);   // the library itself is the resource handle, so it is not repeated
        EXPECT_EQ(chain[0], LibraryWithoutTestStrings());
        EXPECT_EQ(chain[1], ThisProgram());
    }
    EXPECT_FALSE(s.LoadString(IDS_LAST_OF_BLOCK));

    new CDynLinkLibrary(module);   // freed by AfxTermExtensionModule
    EXPECT_TRUE(s.LoadString(IDS_LAST_OF_BLOCK));
    AfxTermExtensionModule(module);
    EXPECT_FALSE(s.LoadString(IDS_GREETING));
}

TEST(ResourceStrings, TheLibrarysOwnStringsComeLastAndCanBeOverridden)
{
    CString s;
    EXPECT_TRUE(s.LoadString(AFX_IDP_FAILED_TO_OPEN_DOC));
    EXPECT_NE(s.Find("%1"), -1);
    const std::vector<HINSTANCE> chain = AfxGetResourceChain();
    ASSERT_EQ(chain.size(), 2u);
    EXPECT_EQ(chain[0], ThisProgram());
    EXPECT_EQ(chain[1], LibraryWithoutTestStrings());
    EXPECT_TRUE(s.LoadString(IDS_OVERRIDDEN_UNTITLED));
    EXPECT_STREQ(s, "Nameless");   // the program's own text wins
}

TEST(ResourceStrings, ModuleStateSwitchesForAScope)
{
    AFX_MODULE_STATE dllState(TRUE, LibraryWithoutTestStrings());
    EXPECT_EQ(AfxGetModuleState(), AfxGetAppModuleState());
    {
        AFX_MANAGE_STATE(&dllState);
        EXPECT_EQ(AfxGetModuleState(), &dllState);
        EXPECT_EQ(AfxGetResourceHandle(), LibraryWithoutTestStrings());
        // The application's resources follow the module's own in the chain.
        CString s;
        EXPECT_TRUE(s.LoadString(IDS_GREETING));
    }
    EXPECT_EQ(AfxGetModuleState(), AfxGetAppModuleState());
    EXPECT_EQ(AfxGetStaticModuleState()->m_hCurrentInstanceHandle, ThisProgram());
}

}  // namespace
