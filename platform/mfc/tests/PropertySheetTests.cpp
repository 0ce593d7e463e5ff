// Property sheets: pages from the resource chain, data exchange on leaving a page, OK applying
// every page that was shown, Cancel resetting them.
#include "TestResources.h"

#include <classlib.h>

#include "QuietApp.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

class CNumberPage : public CPropertyPage
{
public:
    CNumberPage() : CPropertyPage(IDD_PAGE_ONE) {}
    int m_number = 5;
    std::vector<std::string> events;
    std::function<void(CNumberPage&)> onFirstShow;   // what the "user" does

    BOOL OnSetActive() override
    {
        events.push_back("active");
        const bool first = m_bFirstSetActive != FALSE;
        const BOOL result = CPropertyPage::OnSetActive();
        if (first && onFirstShow)
            onFirstShow(*this);
        return result;
    }
    BOOL OnApply() override
    {
        events.push_back("apply");
        return CPropertyPage::OnApply();
    }
    void OnReset() override { events.push_back("reset"); }
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_PAGE_NUMBER, m_number);
        DDV_MinMaxInt(pDX, m_number, 0, 10);
    }
};

class CTextPage : public CPropertyPage
{
public:
    CTextPage() : CPropertyPage(IDD_PAGE_TWO) {}
    CString m_text = "two";
    int applied = 0;
    BOOL OnApply() override
    {
        ++applied;
        return TRUE;
    }
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_PAGE_TEXT, m_text); }
};

void Post(CNumberPage& page, UINT message, WPARAM wParam)
{
    ::PostMessageA(::GetParent(page.m_hWnd), message, wParam, 0);
}

TEST(PropertySheetTest, OkAppliesThePagesThatWereShown)
{
    CQuietApp app;
    CNumberPage one;
    CTextPage two;
    one.onFirstShow = [](CNumberPage& page) {
        page.SetDlgItemText(IDC_PAGE_NUMBER, "8");
        Post(page, PSM_PRESSBUTTON, PSBTN_OK);
        Post(page, PSM_PRESSBUTTON, PSBTN_CANCEL);   // only reached if OK was refused
    };
    CPropertySheet sheet("Options");
    sheet.AddPage(&one);
    sheet.AddPage(&two);
    EXPECT_EQ(sheet.GetPageCount(), 2);
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(one.m_number, 8);
    EXPECT_EQ(one.events, (std::vector<std::string>{"active", "apply"}));
    EXPECT_EQ(two.applied, 0);   // never shown, never applied
    EXPECT_TRUE(app.messages.empty());
    EXPECT_EQ(sheet.m_hWnd, nullptr);
    EXPECT_EQ(one.m_hWnd, nullptr);
}

TEST(PropertySheetTest, InvalidDataKeepsThePageAndCancelResetsIt)
{
    CQuietApp app;
    CNumberPage one;
    one.onFirstShow = [](CNumberPage& page) {
        page.SetDlgItemText(IDC_PAGE_NUMBER, "80");
        Post(page, PSM_PRESSBUTTON, PSBTN_OK);
        Post(page, PSM_PRESSBUTTON, PSBTN_CANCEL);
    };
    CPropertySheet sheet("Options");
    sheet.AddPage(&one);
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_NE(app.messages[0].find("between 0 and 10"), std::string::npos);
    EXPECT_EQ(one.events, (std::vector<std::string>{"active", "reset"}));
}

TEST(PropertySheetTest, SwitchingPagesExchangesDataAndAppliesBoth)
{
    CQuietApp app;
    CNumberPage one;
    CTextPage two;
    one.onFirstShow = [](CNumberPage& page) {
        Post(page, PSM_SETCURSEL, 1);
        Post(page, PSM_PRESSBUTTON, PSBTN_OK);
        Post(page, PSM_PRESSBUTTON, PSBTN_CANCEL);
    };
    CPropertySheet sheet("Options");
    sheet.AddPage(&one);
    sheet.AddPage(&two);
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(one.events, (std::vector<std::string>{"active", "apply"}));
    EXPECT_EQ(two.applied, 1);
    EXPECT_STREQ(two.m_text, "two");
}

TEST(PropertySheetTest, PagesWithoutTemplatesAreRefused)
{
    CPropertyPage missing(9999u);
    EXPECT_FALSE(missing.HasTemplate());
    CNumberPage present;
    EXPECT_TRUE(present.HasTemplate());
    CPropertySheet empty("Nothing");
    EXPECT_EQ(empty.DoModal(), -1);
    CPropertySheet broken("Broken");
    broken.AddPage(&present);
    broken.AddPage(&missing);
    EXPECT_EQ(broken.DoModal(), -1);
    broken.RemovePage(&missing);
    EXPECT_EQ(broken.GetPageCount(), 1);
    EXPECT_EQ(missing.GetSheet(), nullptr);
}

}  // namespace
