// The resource browser hands out the resource library's strings, fresh menu copies, the library's
// module and the ids of its toolbar and accelerators.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "TarnControls.h"
#include "tests/ServerClassRegistration.h"

namespace {
class ResourceBrowserTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(server_.Result(), S_OK);
        ASSERT_EQ(::CoCreateInstance(CLSID_ResourceBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IResourceBrowser,
                                     reinterpret_cast<void**>(&browser_)),
                  S_OK);
    }
    void TearDown() override {
        if (browser_) browser_->Release();
    }

    CServerClassRegistration server_{CLSID_ResourceBrowser};
    IResourceBrowser* browser_ = nullptr;
};

TEST_F(ResourceBrowserTest, FindsTheLibrarysStringsAndReportsMissingOnes) {
    struct Case {
        UINT id;
        long length;
        bool found;
        const char* text;
    };
    const Case cases[] = {
        {21215, 64, true, "Move"},
        {21226, 64, true, "Transform"},
        {21226, 5, true, "Tran"},      // cut to the buffer, terminated
        {21214, 64, false, ""},        // a block that exists, a string that does not
        {0, 64, false, ""},            // block 1 is not in the library
        {65535, 64, false, ""},
        {21215, 0, false, ""},         // no room at all
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        char buffer[64];
        std::memset(buffer, 0, sizeof buffer);
        VARIANT_BOOL found = 7;
        EXPECT_EQ(browser_->FindString(c.id, buffer, c.length, &found), S_OK);
        EXPECT_EQ(found, c.found ? VARIANT_TRUE : VARIANT_FALSE);
        if (c.found) {
            EXPECT_STREQ(buffer, c.text);
        }
    }
    VARIANT_BOOL found = 7;
    EXPECT_EQ(browser_->FindString(21215, nullptr, 64, &found), S_OK);
    EXPECT_EQ(found, VARIANT_FALSE);
    EXPECT_EQ(browser_->FindString(21215, nullptr, 64, nullptr), E_POINTER);
}

TEST_F(ResourceBrowserTest, MenusAreFreshCopiesTheCallerOwns) {
    using Getter = HRESULT (STDMETHODCALLTYPE IResourceBrowser::*)(HMENU*);
    for (Getter get : {&IResourceBrowser::GetMainFrameMenuHandle, &IResourceBrowser::GetDocumentMenuHandle}) {
        HMENU first = nullptr, second = nullptr;
        ASSERT_EQ((browser_->*get)(&first), S_OK);
        ASSERT_EQ((browser_->*get)(&second), S_OK);
        ASSERT_TRUE(::IsMenu(first));
        ASSERT_TRUE(::IsMenu(second));
        EXPECT_NE(first, second);
        EXPECT_GT(::GetMenuItemCount(first), 0);
        EXPECT_TRUE(::DestroyMenu(first));
        EXPECT_TRUE(::IsMenu(second)) << "destroying one copy leaves the other";
        ::DestroyMenu(second);
        EXPECT_EQ((browser_->*get)(nullptr), E_POINTER);
    }
}

TEST_F(ResourceBrowserTest, NamesTheResourceLibraryAndItsIds) {
    LONG_PTR instance = 0;
    ASSERT_EQ(browser_->GetResourceInstance(&instance), S_OK);
    // The whole handle, also where modules load above 4 GB.
    EXPECT_EQ(reinterpret_cast<HMODULE>(instance), ::GetModuleHandleA("TarnObjRes.dll"));
    EXPECT_NE(instance, 0);
    EXPECT_NE(::LoadAcceleratorsA(reinterpret_cast<HINSTANCE>(instance), MAKEINTRESOURCEA(21308)), nullptr);

    UINT id = 0;
    EXPECT_EQ(browser_->GetComponentToolbarID(&id), S_OK);
    EXPECT_EQ(id, 21028u);
    EXPECT_EQ(browser_->GetAcceleratorTableID(&id), S_OK);
    EXPECT_EQ(id, 21308u);
}
}  // namespace
