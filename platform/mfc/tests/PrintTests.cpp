// Print jobs: page ranges, and what happens without a printer or when the job cannot start.
// (The test machine has no printer, so no page reaches paper here.)
#include <classlib.h>

#include "QuietApp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CPrintingView : public CView
{
public:
    std::vector<std::string> steps;
    bool useMemoryDC = false;
    bool direct = true;
    void OnDraw(CDC*) override { steps.push_back("draw"); }
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override
    {
        steps.push_back("prepare");
        pInfo->m_bDirect = direct;
        pInfo->SetMaxPage(3);
        if (useMemoryDC) {
            pInfo->m_pPD->m_pd.hDC = ::CreateCompatibleDC(nullptr);
            return TRUE;
        }
        return DoPreparePrinting(pInfo);
    }
    void OnBeginPrinting(CDC* pDC, CPrintInfo*) override { steps.push_back(pDC->IsPrinting() ? "begin printing" : "begin"); }
    void OnEndPrinting(CDC*, CPrintInfo*) override { steps.push_back("end printing"); }
};

TEST(Printing, PageRangesFollowTheDialogsChoice)
{
    CPrintInfo info;
    info.SetMinPage(2);
    info.SetMaxPage(9);
    EXPECT_EQ(info.GetFromPage(), 2u);   // all pages
    EXPECT_EQ(info.GetToPage(), 9u);
    info.m_pPD->m_pd.Flags |= PD_PAGENUMS;
    info.m_pPD->m_pd.nFromPage = 1;      // clipped to the document's pages
    info.m_pPD->m_pd.nToPage = 4;
    EXPECT_EQ(info.GetFromPage(), 2u);
    EXPECT_EQ(info.GetToPage(), 4u);
    EXPECT_TRUE(info.m_bContinuePrinting);
}

TEST(Printing, WithoutAPrinterNothingStarts)
{
    CQuietApp app;
    CPrintingView view;
    view.OnFilePrint();
    EXPECT_EQ(view.steps, (std::vector<std::string>{"prepare"}));
    PRINTDLGA pd = {};
    EXPECT_FALSE(app.GetPrinterDeviceDefaults(&pd));
    CDC dc;
    EXPECT_FALSE(app.CreatePrinterDC(dc));
}

TEST(Printing, AJobThatCannotStartIsReportedAndEnded)
{
    CQuietApp app;
    CPrintingView view;
    view.useMemoryDC = true;   // a device that takes no print jobs
    view.OnFilePrint();
    EXPECT_EQ(view.steps, (std::vector<std::string>{"prepare", "begin printing", "end printing"}));
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_NE(app.messages[0].find("print job"), std::string::npos);
}

}  // namespace
